#include "catalogue/decimal.h"

#include <charconv>
#include <clocale>
#include <locale.h>
#include <string>

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

// The "C" locale, made once, so that the conversion never depends on the process's locale.
locale_t classicLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

// Where the number that the decimal rule reads from `text` lies: after the leading white
// space, up to the first character that does not fit. Empty when the text holds no number.
struct DecimalSpan {
    std::size_t start = 0;
    std::size_t end = 0;
};

DecimalSpan findDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    const std::size_t start = i;

    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return {start, start};

    // An exponent counts only when at least one digit follows its letter and sign.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return {start, i};
}

// The number of a span that findDecimal found.
double convertDecimal(std::string_view text, DecimalSpan span)
{
    if (span.end == span.start)
        return 0.0;
    // The span is a plain decimal number: strtod in the "C" locale reads all of it and
    // rounds it correctly, and gives +-HUGE_VAL or 0 when it is out of range.
    const std::string number(text.substr(span.start, span.end - span.start));
    if (const locale_t c = classicLocale())
        return strtod_l(number.c_str(), nullptr, c);
    // newlocale failed (it does not for "C" in practice): from_chars is locale-free too.
    double value = 0.0;
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    std::from_chars(first, number.data() + number.size(), value);
    return value;
}

} // namespace

double parseDecimal(std::string_view text)
{
    return convertDecimal(text, findDecimal(text));
}

std::optional<double> parseWholeDecimal(std::string_view text)
{
    const DecimalSpan span = findDecimal(text);
    if (span.start != 0 || span.end == span.start || span.end != text.size())
        return std::nullopt;
    return convertDecimal(text, span);
}

} // namespace meridal
