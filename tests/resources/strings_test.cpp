#include "tests/resources/loaded_module.h"

#include "catalogue/decimal.h"
#include "catalogue/numeric_text.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace meridal {
namespace {

using test::loadedModule;

// Every string number that the program looks up, the tips included (700 is the unused
// slot before the first tip).
std::vector<unsigned> usedStrings()
{
    std::vector<unsigned> ids;
    for (unsigned id = 200; id <= 252; ++id)
        if (id != 220 && id != 235)
            ids.push_back(id);
    for (unsigned id = res::strTipFirst; id <= res::strTipLast; ++id)
        ids.push_back(id);
    ids.push_back(res::strInvalidDate);
    return ids;
}

std::string text(unsigned id)
{
    return loadedModule().string(id);
}

TEST(StringTable, EveryUsedStringIsPresentAndNotEmpty)
{
    for (unsigned id : usedStrings()) {
        SCOPED_TRACE(id);
        std::string s = "absent";
        ASSERT_TRUE(loadedModule().loadString(id, s));
        EXPECT_FALSE(s.empty());
    }
}

// The conversions in a text, "%%" (a percent sign) aside.
std::vector<std::string> directives(const std::string& s)
{
    std::vector<std::string> found;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%')
            continue;
        if (i + 1 < s.size() && s[i + 1] == '%') {
            ++i;
            continue;
        }
        found.push_back(s.substr(i, 2));
    }
    return found;
}

TEST(StringTable, FormatStringsTakeExactlyOneTextArgument)
{
    for (unsigned id : {res::strConfirmDeleteDimension, res::strConfirmDeleteUnit, res::strCannotOpenTarget,
                        res::strCatalogueSaveFailed}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(directives(text(id)), std::vector<std::string>{"%s"});
        const std::string formatted = formatWithArgument(text(id), "Fuel 50% \"x\"");
        EXPECT_NE(formatted.find("Fuel 50% \"x\""), std::string::npos);
        EXPECT_EQ(formatted.find("%s"), std::string::npos);
    }
}

TEST(StringTable, TextsShownAsTheyStandHoldNoConversion)
{
    // A "%s" in a message that is never formatted would show literally.
    const std::set<unsigned> formats = {res::strConfirmDeleteDimension, res::strConfirmDeleteUnit,
                                        res::strCannotOpenTarget, res::strCatalogueSaveFailed};
    for (unsigned id : usedStrings()) {
        if (formats.count(id))
            continue;
        SCOPED_TRACE(id);
        EXPECT_TRUE(directives(text(id)).empty());
    }
}

TEST(StringTable, TextsAreWindows1252WithLineBreaksDecoded)
{
    for (unsigned id : usedStrings()) {
        SCOPED_TRACE(id);
        const std::string s = text(id);
        for (std::size_t i = 0; i < s.size(); ++i) {
            const auto byte = static_cast<unsigned char>(s[i]);
            // No control character but the line break; none of the five unassigned bytes.
            EXPECT_TRUE(byte >= 0x20 || byte == '\n') << "byte " << int(byte) << " at " << i;
            EXPECT_TRUE(byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D);
            // A UTF-8 lead byte followed by a continuation byte means the text was not converted.
            if (byte >= 0xC2 && byte <= 0xF4 && i + 1 < s.size()) {
                const auto next = static_cast<unsigned char>(s[i + 1]);
                EXPECT_FALSE(next >= 0x80 && next <= 0xBF) << "UTF-8 sequence at " << i;
            }
        }
        EXPECT_EQ(s.find("\\n"), std::string::npos) << "an undecoded line break";
    }
}

TEST(StringTable, NonAsciiCharactersAreSingleWindows1252Bytes)
{
    // The first tip holds an en dash, which Latin-1 lacks and Windows-1252 has as 0x96.
    const std::string tip = text(res::strTipFirst);
    EXPECT_NE(tip.find("once \x96 picking"), std::string::npos);
}

TEST(StringTable, DefaultNumbersSurviveTheNumericFilterAndMeanOneAndZero)
{
    // The edit dialog filters these like typed text; a base unit converts unchanged only
    // with factor one and offset zero.
    for (unsigned id : {res::strDefaultFactor, res::strDefaultOffset, res::strDefaultInput}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(filterNumericText(text(id)), text(id));
    }
    EXPECT_EQ(parseDecimal(text(res::strDefaultFactor)), 1.0);
    EXPECT_EQ(parseDecimal(text(res::strDefaultOffset)), 0.0);
}

TEST(StringTable, CaptionsAndFontFacesAreSingleLines)
{
    std::vector<unsigned> ids = {res::strErrorCaption,    res::strWarningCaption, res::strConfirmCaption,
                                 res::strClearLogCaption, res::strEditFontFace,   res::strAllUnits};
    for (unsigned id = res::strEditCaptionFirst; id <= res::strEditCaptionLast; ++id)
        ids.push_back(id);
    for (unsigned id = res::strAboutFontFirst; id <= res::strAboutFontLast; ++id)
        ids.push_back(id);
    for (unsigned id : ids) {
        SCOPED_TRACE(id);
        const std::string s = text(id);
        EXPECT_EQ(s.find('\n'), std::string::npos);
        EXPECT_NE(s.front(), ' ');
        EXPECT_NE(s.back(), ' ');
    }
}

TEST(StringTable, ShellTargetsAreWebOrMailAddresses)
{
    for (unsigned id = res::strTargetFirst; id <= res::strTargetLast; ++id) {
        SCOPED_TRACE(id);
        const std::string s = text(id);
        EXPECT_TRUE(s.rfind("https://", 0) == 0 || s.rfind("mailto:", 0) == 0) << s;
        EXPECT_EQ(s.find_first_of(" \t\n\"<>"), std::string::npos) << s;
    }
}

TEST(StringTable, TipsAreDistinct)
{
    std::set<std::string> tips;
    for (unsigned id = res::strTipFirst; id <= res::strTipLast; ++id)
        tips.insert(text(id));
    EXPECT_EQ(tips.size(), std::size_t{res::strTipLast - res::strTipFirst + 1});
}

} // namespace
} // namespace meridal
