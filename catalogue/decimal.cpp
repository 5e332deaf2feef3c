// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/decimal.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace meridal {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The decimal number at the start of a text, as the scan below finds it.
struct DecimalPrefix {
    std::size_t start = 0; // after the white space
    std::size_t end = 0;   // the first character that does not fit
    bool negative = false; // a "-" sign
    bool anyNonZero = false;
    // Where the first significant digit stands: 1 for 1.5, 2 for 15, 0 for 0.5, -1 for 0.05.
    long long magnitude = 0;
};

DecimalPrefix scanDecimal(std::string_view text)
{
    DecimalPrefix number;
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    number.start = i;
    number.end = i;

    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    std::size_t digits = 0;
    long long integerDigits = 0;
    long long leadingFractionZeros = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (text[i] != '0' || number.anyNonZero) {
            number.anyNonZero = true;
            ++integerDigits;
        }
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            if (text[i] != '0')
                number.anyNonZero = true;
            else if (!number.anyNonZero)
                ++leadingFractionZeros;
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return number; // no number: end == start

    // An exponent counts only when at least one digit follows its letter and sign.
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                // Far beyond any double either way; the figure only decides which way.
                if (exponent < 1'000'000'000)
                    exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            i = j;
            if (negativeExponent)
                exponent = -exponent;
        }
    }
    number.end = i;
    number.magnitude = (integerDigits > 0 ? integerDigits : -leadingFractionZeros) + exponent;
    return number;
}

// The value of a scanned number, rounded correctly and the same on every system: out of
// range it is +-HUGE_VAL, or a zero of the number's sign, as the C library's reader gives.
double valueOf(std::string_view text, const DecimalPrefix& number)
{
    // from_chars reads no "+" and no white space; it reads no locale either.
    const std::size_t digitsStart = number.start + ((text[number.start] == '+') ? 1 : 0);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + digitsStart, text.data() + number.end, value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const bool tooLarge = number.anyNonZero && number.magnitude > 0;
        const double magnitude = tooLarge ? HUGE_VAL : 0.0;
        return number.negative ? -magnitude : magnitude;
    }
    return value;
}

} // namespace

double parseDecimal(std::string_view text)
{
    const DecimalPrefix number = scanDecimal(text);
    if (number.end == number.start)
        return 0.0;
    return valueOf(text, number);
}

std::optional<double> parseWholeDecimal(std::string_view text)
{
    const DecimalPrefix number = scanDecimal(text);
    if (number.start != 0 || number.end == number.start || number.end != text.size())
        return std::nullopt;
    return valueOf(text, number);
}

} // namespace meridal
