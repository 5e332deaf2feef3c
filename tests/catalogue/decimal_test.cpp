// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/environment.h"

#include "catalogue/decimal.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <locale>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace meridal {
namespace {

struct DecimalCase {
    std::string text;
    double value;
};

const std::vector<DecimalCase>& decimalCases()
{
    // Input-text cases ("-", ".", "1.5-2", "1.2.3") are in the conversion tests.
    static const std::vector<DecimalCase> cases = {
        {"1e3", 1000.0}, {"  2.5kg", 2.5}, {"\t\n2.5", 2.5},    {"abc", 0.0},          {"", 0.0},
        {"-.5", -0.5},   {"+7", 7.0},      {"1e", 1.0},         {"1e+", 1.0},          {"1E-2", 0.01},
        {"2.", 2.0},     {"--3", 0.0},     {"0.0254", 0.0254},  {"1,5", 1.0},          {"0x1A", 0.0},
        {"inf", 0.0},    {"nan", 0.0},     {"1e999", HUGE_VAL}, {"-1e999", -HUGE_VAL}, {"1e-999", 0.0},
    };
    return cases;
}

void expectDecimalCases()
{
    for (const auto& c : decimalCases())
        EXPECT_EQ(parseDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseDecimal, ReadsTheClassicPrefix)
{
    expectDecimalCases();
    EXPECT_TRUE(std::signbit(parseDecimal("-0")));
    EXPECT_FALSE(std::signbit(parseDecimal("-")));
}

TEST(ParseDecimal, GivesTheCLibrarysValueForEveryText)
{
    // Random texts of digits, points, exponent letters, signs and spaces, and numbers near
    // and beyond the ends of the double range. The value must be the C library's to the
    // bit, but for one thing the libraries disagree on: text without a number is +0 here,
    // and -0 for some of them after a minus sign.
    std::mt19937_64 random(20261209);
    const std::string alphabet = "0123456789.eE+- ";
    int compared = 0;
    for (int n = 0; n < 100000; ++n) {
        std::string text;
        if (n % 4 == 0) {
            text = std::to_string(random() % 1000) + (random() % 2 ? "e-" : "e") +
                   std::to_string(random() % 400);
        } else {
            const auto length = 1 + random() % 24;
            for (std::size_t k = 0; k < length; ++k)
                text += random() % 100 < 60 ? static_cast<char>('0' + random() % 10)
                                            : alphabet[random() % alphabet.size()];
        }
        const double ours = parseDecimal(text);
        const double library = std::strtod(text.c_str(), nullptr);
        if (ours == 0.0 && library == 0.0 && !std::signbit(ours))
            continue;
        ++compared;
        ASSERT_EQ(std::memcmp(&ours, &library, sizeof ours), 0)
            << '"' << text << "\" " << ours << " " << library;
    }
    EXPECT_GT(compared, 50000);
}

// The same rule over the whole text: the number, or nothing when any character is left over.
TEST(ParseWholeDecimal, ReadsOneNumberFromFirstToLastCharacter)
{
    const DecimalCase whole[] = {
        {"1e3", 1000.0},
        {"-2.5E-3", -0.0025},
        {"+4", 4.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"-0.5", -0.5},
        {"2.5E+3", 2500.0},
        {"0.0254", 0.0254},
        {"1e999", HUGE_VAL},
        {"1e-999", 0.0},
        {"1.602176634e-19", 1.602176634e-19},
    };
    for (const auto& c : whole)
        EXPECT_EQ(parseWholeDecimal(c.text), c.value) << '"' << c.text << '"';
    for (const char* partial : {"",    "-",   ".",  "-.", "1,5", "1e",   "1e+", "e5",  "12abc", "1.2.3",
                                "1-2", "--3", " 1", "1 ", "\t1", "0x1A", "inf", "nan", "-e5",   "1e5.5"})
        EXPECT_EQ(parseWholeDecimal(partial), std::nullopt) << '"' << partial << '"';
}

// A locale whose decimal point is a comma, for the C++ side of the process.
struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(ParseDecimal, PointStaysThePointUnderADecimalCommaLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    expectDecimalCases();
    std::locale::global(std::locale::classic());

    // The build compiles de_DE.UTF-8 into its own folder; the machine's locales count too.
    test::setEnvironment("LOCPATH", MERIDAL_TEST_LOCALE_DIR);
    bool found = false;
    for (const char* name :
         {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
            found = true;
            expectDecimalCases();
            break;
        }
    }
    std::setlocale(LC_ALL, saved.c_str());
    test::unsetEnvironment("LOCPATH");
    if (!found)
        GTEST_SKIP() << "no C locale with a decimal comma is installed";
}

} // namespace
} // namespace meridal
