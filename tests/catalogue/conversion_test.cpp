#include "catalogue/conversion.h"
#include "catalogue/markup_element.h"

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

TEST(Conversion, AppliesStartFactorAndOffsetThenEndOffsetAndReciprocal)
{
    Conversion c;
    c.setStartUnit(unit("2", "3"));
    c.setEndUnit(unit("4", "1"));
    EXPECT_EQ(c.m_startFactor, 2.0);
    EXPECT_EQ(c.m_startOffset, 3.0);
    EXPECT_EQ(c.m_endFactorInverse, 0.25);
    EXPECT_EQ(c.m_endOffsetNegated, -1.0);
    EXPECT_EQ(c.convert("5"), "3.000000");
    c.m_scientific = true;
    EXPECT_EQ(c.convert("5"), "3.000000e+000");
}

TEST(Conversion, MultipliesByTheStoredReciprocal)
{
    // 1 / 3 stored, then a multiplication: for 5 not the same double as a division by 3.
    Conversion c;
    c.setEndUnit(unit("3", "0"));
    const double x = 5.0;
    EXPECT_EQ(c.apply(x), x * (1.0 / 3.0));
    EXPECT_NE(c.apply(x), x / 3.0);
}

TEST(Conversion, InchesToFeet)
{
    Conversion c;
    c.setStartUnit(unit("0.0254", "0"));
    c.setEndUnit(unit("0.3048", "0"));
    EXPECT_EQ(c.convert("12"), "1.000000");
}

TEST(Conversion, InputTextEdgeCases)
{
    Conversion c;
    EXPECT_EQ(c.convert(""), std::nullopt);
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
    EXPECT_EQ(c.m_startFactor, 0.0);
    EXPECT_EQ(c.m_startOffset, 0.0);
    c.setEndUnit(bare);
    EXPECT_TRUE(std::isinf(c.m_endFactorInverse));
    EXPECT_EQ(c.convert("1"), "nan"); // 0 * inf
}

TEST(FormatResult, FixedAndScientificTexts)
{
    struct Case {
        double value;
        const char* fixed;
        const char* scientific;
    };
    const std::vector<Case> cases = {
        {3.0, "3.000000", "3.000000e+000"},
        {1234.5678, "1234.567800", "1.234568e+003"},
        {1e20, "100000000000000000000.000000", "1.000000e+020"},
        {0.0000001, "0.000000", "1.000000e-007"},
        {-2.5, "-2.500000", "-2.500000e+000"},
        {0.0, "0.000000", "0.000000e+000"},
        {-0.0, "-0.000000", "-0.000000e+000"},
        {1e308, nullptr, "1.000000e+308"},
        {5e-324, "0.000000", "4.940656e-324"},
    };
    for (const auto& c : cases) {
        if (c.fixed) {
            EXPECT_EQ(formatResult(c.value, false), c.fixed);
        }
        EXPECT_EQ(formatResult(c.value, true), c.scientific);
    }
}

TEST(FormatResult, NonFiniteValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (bool scientific : {false, true}) {
        EXPECT_EQ(formatResult(inf, scientific), "inf");
        EXPECT_EQ(formatResult(-inf, scientific), "-inf");
        EXPECT_EQ(formatResult(nan, scientific), "nan");
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
    std::vector<double> values = {0.5e-6,         2.5e-7,    1.5e-6,
                                  0.0000005,      0.0000015, 0.0000025,
                                  1e20,           1e21,      1.7976931348623157e308,
                                  123456.7890125, 2.675,     1.0000005,
                                  9.9999995,      0.1,       1.0 / 3.0,
                                  2.0 / 3.0,      1e-5,      999999.9999995};
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
