// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace meridal {

// Reads decimal text the classic way, with "." as the decimal point whatever the locale:
// leading white space, an optional sign, digits with an optional "." and more digits, an
// optional exponent (e or E, optional sign, digits). Reading stops at the first character
// that does not fit; text without a number gives 0. Hexadecimal numbers, "inf" and "nan"
// are not numbers here. Out-of-range values give +-HUGE_VAL or 0, as strtod does.
double parseDecimal(std::string_view text);

// The same rule for a text that must be one number from its first character to its last:
// no white space, nothing after the number. Gives what parseDecimal gives for it, or nullopt
// when the text is not one number ("", "-", ".", "1e", "1,5", "12abc", " 1").
std::optional<double> parseWholeDecimal(std::string_view text);

} // namespace meridal
