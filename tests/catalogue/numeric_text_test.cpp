#include "catalogue/numeric_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal {
namespace {

TEST(FilterNumericText, KeepsDigitsPointsAndMinusSigns)
{
    struct Case {
        std::string typed;
        std::string kept;
    };
    const std::vector<Case> cases = {
        {"123", "123"},
        {"12a3", "123"},
        {"1,234.5 kg", "1234.5"},
        {"1e5", "15"},
        {"+7", "7"},
        {"\x96"
         "5",
         "5"},                // en dash in Windows-1252
        {"\xB2\xB3\xB9", ""}, // superscript digits are not digits
        {"--3", "--3"},
        {"1.2.3", "1.2.3"},
        {" \t", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterNumericText(c.typed), c.kept) << c.typed;
}

} // namespace
} // namespace meridal
