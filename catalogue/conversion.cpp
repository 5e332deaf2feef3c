// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/conversion.h"

#include "catalogue/decimal.h"
#include "catalogue/markup_element.h"

#include <array>
#include <charconv>
#include <cmath>

namespace meridal {

void Conversion::setStartUnit(const MarkupElement& unit)
{
    m_startFactor = parseDecimal(attributeValue(unit, "cf"));
    m_startOffset = parseDecimal(attributeValue(unit, "offset"));
}

void Conversion::setEndUnit(const MarkupElement& unit)
{
    // The end factor is kept as its reciprocal and applied by multiplication; a factor of 0
    // gives an infinite reciprocal, as it always has.
    m_endFactorInverse = 1.0 / parseDecimal(attributeValue(unit, "cf"));
    m_endOffsetNegated = parseDecimal(attributeValue(unit, "offset")) * -1.0;
}

// The order of operations is part of the result: no fused multiply-add.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif
double Conversion::apply(double x) const
{
    const double base = x * m_startFactor + m_startOffset;
    return (base + m_endOffsetNegated) * m_endFactorInverse;
}

std::optional<std::string> Conversion::convert(std::string_view input) const
{
    if (input.empty())
        return std::nullopt;
    return formatResult(apply(parseDecimal(input)), m_scientific);
}

std::string formatResult(double value, bool scientific)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";

    // to_chars is locale-free and rounds the exact binary value, as printf's "%f" and "%e" do.
    // "%f" of the largest double has 309 integer digits.
    std::array<char, 400> buffer{};
    const auto format = scientific ? std::chars_format::scientific : std::chars_format::fixed;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, 6);
    std::string text(buffer.data(), result.ptr);
    if (scientific) {
        // The exponent has at least three digits: 1.234568e+003.
        const std::size_t sign = text.find_last_of("+-");
        const std::size_t digits = text.size() - sign - 1;
        if (digits < 3)
            text.insert(sign + 1, 3 - digits, '0');
    }
    return text;
}

} // namespace meridal
