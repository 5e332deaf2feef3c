// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace meridal {

struct MarkupElement;

// The four prepared numbers of a conversion and the notation of its result. The window
// and meridal-convert share this, so both give the same text for the same input.
//
// result = ((x * m_startFactor + m_startOffset) + m_endOffsetNegated) * m_endFactorInverse
struct Conversion {
    double m_startFactor = 1.0;
    double m_startOffset = 0.0;
    double m_endFactorInverse = 1.0;
    double m_endOffsetNegated = 0.0;
    bool m_scientific = false;

    // Reads "cf" and "offset" of a unit element (missing text counts as 0).
    void setStartUnit(const MarkupElement& unit);
    void setEndUnit(const MarkupElement& unit);

    double apply(double x) const;

    // The result text for the input text, or nullopt when the input is empty
    // (the output then keeps what it showed).
    std::optional<std::string> convert(std::string_view input) const;
};

// "%f", or "%e" with an exponent of at least three digits (1.234568e+003);
// non-finite values as "inf", "-inf" or "nan".
std::string formatResult(double value, bool scientific);

} // namespace meridal
