// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/conversion.h"
#include "catalogue/markup_element.h"
#include "catalogue/numeric_text.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace meridal {
namespace {

MarkupElement unit(std::string cf, std::string offset)
{
    return MarkupElement{
        "unit", {{"label", "u"}, {"cf", std::move(cf)}, {"offset", std::move(offset)}}, true, true};
}

TEST(Conversion, AffineStepThroughTheBaseUnit)
{
    Conversion c;
    c.setStartUnit(unit("2", "3"));
    c.setEndUnit(unit("4", "1"));
    EXPECT_EQ(c.convert("5"), "3.000000"); // ((5 * 2 + 3) - 1) * 0.25
    c.m_scientific = true;
    EXPECT_EQ(c.convert("5"), "3.000000e+000");

    c.m_scientific = false;
    c.setStartUnit(unit("0.0254", "0"));
    c.setEndUnit(unit("0.3048", "0"));
    EXPECT_EQ(c.convert("12"), "1.000000"); // inches to feet

    // The end factor's reciprocal is stored and multiplied: for 5 / 3 not the same double.
    c.setStartUnit(unit("1", "0"));
    c.setEndUnit(unit("3", "0"));
    EXPECT_EQ(c.apply(5.0), 5.0 * (1.0 / 3.0));
    EXPECT_NE(c.apply(5.0), 5.0 / 3.0);
}

TEST(Conversion, InputTextEdgeCases)
{
    Conversion c;
    EXPECT_EQ(c.convert(""), std::nullopt); // the last result stays on show
    EXPECT_EQ(c.convert("-"), "0.000000");
    EXPECT_EQ(c.convert("."), "0.000000");
    EXPECT_EQ(c.convert("1.5-2"), "1.500000");
    EXPECT_EQ(c.convert("1.2.3"), "1.200000");
}

TEST(Conversion, MissingNumbersCountAsZero)
{
    Conversion c;
    const MarkupElement bare{"unit", {{"label", "u"}}, true, true};
    c.setStartUnit(bare);
    EXPECT_EQ(c.convert("7"), "0.000000"); // 7 * 0 + 0
    c.setEndUnit(bare);
    EXPECT_EQ(c.convert("1"), "nan"); // (1 * 0 + 0 - 0) * (1 / 0)
}

TEST(FilterNumericText, KeepsDigitsPointsAndMinusSigns)
{
    EXPECT_EQ(filterNumericText("12a3"), "123");
    EXPECT_EQ(filterNumericText("1,234.5 kg"), "1234.5");
    EXPECT_EQ(filterNumericText("+1e5"), "15");
    EXPECT_EQ(filterNumericText("--1.2.3"), "--1.2.3");
    EXPECT_EQ(filterNumericText(" \t"), "");
    EXPECT_EQ(filterNumericText("\x96"
                                "5"),
              "5");                                   // en dash in Windows-1252
    EXPECT_EQ(filterNumericText("\xB2\xB3\xB9"), ""); // superscript digits are not digits
}

TEST(FormatResult, FixedAndScientificTexts)
{
    EXPECT_EQ(formatResult(1e20, false), "100000000000000000000.000000");
    EXPECT_EQ(formatResult(1e20, true), "1.000000e+020");
    EXPECT_EQ(formatResult(0.0000001, false), "0.000000");
    EXPECT_EQ(formatResult(0.0000001, true), "1.000000e-007");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (bool scientific : {false, true}) {
        EXPECT_EQ(formatResult(inf, scientific), "inf");
        EXPECT_EQ(formatResult(-inf, scientific), "-inf");
        EXPECT_EQ(formatResult(-nan, scientific), "nan");
    }
}

// printf's "%f" and "%e" round the exact binary value; the result text must agree with them
// digit for digit, apart from the three-digit exponent.
std::string printfText(double value, bool scientific)
{
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, scientific ? "%e" : "%f", value);
    std::string text = buffer;
    if (scientific) {
        const auto sign = text.find_last_of("+-");
        if (text.size() - sign - 1 < 3)
            text.insert(sign + 1, 3 - (text.size() - sign - 1), '0');
    }
    return text;
}

TEST(FormatResult, RoundsAsPrintfDoes)
{
    std::vector<double> values = {0.0,       0.5e-6,    2.5e-7,         1.5e-6,    0.0000005,
                                  0.0000015, 0.0000025, 1e21,           5e-324,    1.7976931348623157e308,
                                  3.0,       1234.5678, 123456.7890125, 2.675,     1.0000005,
                                  9.9999995, 0.1,       1.0 / 3.0,      2.0 / 3.0, 999999.9999995};
    for (int i = -30; i <= 30; ++i) {
        values.push_back(std::pow(10.0, i) * 1.2345675);
        values.push_back(std::pow(2.0, i) * 0.5000005);
    }
    for (double v : values) {
        for (double signedValue : {v, -v}) {
            EXPECT_EQ(formatResult(signedValue, false), printfText(signedValue, false)) << signedValue;
            EXPECT_EQ(formatResult(signedValue, true), printfText(signedValue, true)) << signedValue;
        }
    }
}

} // namespace
} // namespace meridal
