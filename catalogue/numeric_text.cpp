// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/numeric_text.h"

namespace meridal {

std::string filterNumericText(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
        // The byte is taken as signed, so no byte above 127 is ever a digit.
        const auto value = static_cast<signed char>(c);
        if ((value >= '0' && value <= '9') || value == '.' || value == '-')
            kept += c;
    }
    return kept;
}

} // namespace meridal
