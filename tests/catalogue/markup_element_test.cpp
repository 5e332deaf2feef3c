#include "catalogue/markup_element.h"

#include <gtest/gtest.h>

namespace meridal {
namespace {

TEST(FindAttribute, IgnoresCaseAndTakesTheFirstMatch)
{
    MarkupElement unit{
        "unit", {{"label", "in"}, {"CF", "0.0254"}, {"cf", "99"}, {"Offset", "0"}}, true, true};
    ASSERT_NE(findAttribute(unit, "cf"), nullptr);
    EXPECT_EQ(findAttribute(unit, "cf")->value, "0.0254");
    EXPECT_EQ(attributeValue(unit, "OFFSET"), "0");
    EXPECT_EQ(findAttribute(unit, "baseunit"), nullptr);
    EXPECT_EQ(attributeValue(unit, "baseunit"), "");
    EXPECT_EQ(findAttribute(unit, "c"), nullptr);
}

TEST(FindAttribute, FoldsWindows1252Letters)
{
    MarkupElement element{"x", {{"\xC9t\xC9", "summer"}}, false, true}; // "ETE" with acute accents
    EXPECT_EQ(attributeValue(element, "\xE9t\xE9"), "summer");
}

} // namespace
} // namespace meridal
