#pragma once

#include <string_view>

namespace meridal {

// Reads decimal text the classic way, with "." as the decimal point whatever the locale:
// leading white space, an optional sign, digits with an optional "." and more digits, an
// optional exponent (e or E, optional sign, digits). Reading stops at the first character
// that does not fit; text without a number gives 0. Hexadecimal numbers, "inf" and "nan"
// are not numbers here. Out-of-range values give +-HUGE_VAL or 0, as strtod does.
double parseDecimal(std::string_view text);

} // namespace meridal
