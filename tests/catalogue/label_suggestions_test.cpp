// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/label_suggestions.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal {
namespace {

using Labels = std::vector<std::string>;

TEST(SuggestLabels, FirstKindThatMatchesAtMostThreeInItsOrder)
{
    // Labels are Windows-1252: "\xB2" is a superscript two, "\xB0" a degree sign.
    const Labels units = {"m", "km", "km\xB2", "km/h", "K", "mi", "nmi", "mil", "min", "thou", "arcsec"};
    const Labels dimensions = {"Length", "Area", "Temperature", "Mass"};
    struct Case {
        const char* typed;
        Labels labels;
        Labels suggested;
    };
    const Case cases[] = {
        // Equal ignoring case: that alone, not the labels that begin with it as well.
        {"KM", units, {"km"}},
        {"mm", {"MM", "mm", "Mm"}, {"MM", "Mm"}},
        {"\xB0r\xC9", {"\xB0R", "\xB0R\xE9"}, {"\xB0R\xE9"}}, // Windows-1252 folds E acute
        {"\x8A", {"\x9A", "s"}, {"\x9A"}},                    // and S caron
        {"KG", {"kg", "kg"}, {"kg"}},
        // Beginning with it, at most three, in catalogue order.
        {"k", {"m", "km", "kg", "kJ", "kW"}, {"km", "kg", "kJ"}},
        {"Temp", dimensions, {"Temperature"}},
        // Labels it begins with, two characters or more, longest first.
        {"mile", units, {"mil", "mi"}},
        {"miles", {"mi", "mile", "mil"}, {"mile", "mil", "mi"}},
        {"mile", {"m"}, {}},
        // One edit for texts of up to four characters, a swap counting as one.
        {"thuo", units, {"thou"}},
        {"tou", units, {"thou"}},
        {"thxx", units, {}},
        {"Mss", dimensions, {"Mass"}},
        {"Ara", dimensions, {"Area"}},
        // Two edits from five characters on; fewer edits first.
        {"Lenght", dimensions, {"Length"}},
        {"parsec", units, {"arcsec"}}, // p gone, c added
        {"arcsxx", units, {"arcsec"}},
        {"arxxxc", units, {}},
        {"grams", {"gxaxs", "gramz"}, {"gramz", "gxaxs"}},
        // Nothing to go by.
        {"", units, {}},
        {"furlong", units, {}},
        {"m", {"m"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(suggestLabels(c.typed, c.labels), c.suggested);
    }
    EXPECT_EQ(suggestLabels("k", {"km", "kg"}, 1), Labels{"km"});
}

} // namespace
} // namespace meridal
