// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/resources/loaded_module.h"

#include "catalogue/decimal.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace meridal {
namespace {

using test::loadedModule;

std::string text(unsigned id)
{
    return loadedModule().string(id);
}

// The conversions in a text, "%%" (a percent sign) aside.
std::vector<std::string> directives(const std::string& s)
{
    std::vector<std::string> found;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 1 < s.size() && s[i + 1] == '%')
            ++i;
        else if (s[i] == '%')
            found.push_back(s.substr(i, 2));
    }
    return found;
}

const std::set<unsigned> formats = {res::strConfirmDeleteDimension, res::strConfirmDeleteUnit,
                                    res::strCannotOpenTarget, res::strCatalogueSaveFailed,
                                    res::strCatalogueUnreadable};

// Every string the program looks up (700, the unused slot before the first tip, aside) is
// present, holds a "%s" only when formatted, and has its line breaks decoded.
TEST(StringTable, EveryUsedStringIsPresentWithConversionsOnlyInFormats)
{
    std::vector<unsigned> used = {res::strInvalidDate};
    for (unsigned id = 200; id <= 252; ++id)
        if (id != 220 && id != 235)
            used.push_back(id);
    for (unsigned id = res::strTipFirst; id <= res::strTipLast; ++id)
        used.push_back(id);
    used.push_back(res::strCatalogueUnreadable);
    used.push_back(res::strCatalogueTooLarge);
    for (unsigned id : used) {
        SCOPED_TRACE(id);
        std::string s = "absent";
        ASSERT_TRUE(loadedModule().loadString(id, s));
        EXPECT_FALSE(s.empty());
        // Targets are handed over as they stand: a URL may hold percent-escapes.
        if (id < res::strTargetFirst || id > res::strTargetLast) {
            EXPECT_EQ(directives(s),
                      formats.count(id) ? std::vector<std::string>{"%s"} : std::vector<std::string>{});
        }
        EXPECT_EQ(s.find("\\n"), std::string::npos) << "an undecoded line break";
    }
    EXPECT_NE(text(res::strCatalogueReadOnly).find(".\nChanges"), std::string::npos);
}

TEST(StringTable, FormatStringsTakeTheArgumentAsItStands)
{
    for (unsigned id : formats) {
        SCOPED_TRACE(id);
        const std::string formatted = formatWithArgument(text(id), "Fuel 50% \"x\"");
        EXPECT_NE(formatted.find("Fuel 50% \"x\""), std::string::npos);
        EXPECT_EQ(formatted.find("%s"), std::string::npos);
    }
}

TEST(StringTable, NonAsciiCharactersAreSingleWindows1252Bytes)
{
    // An en dash, which Latin-1 lacks and Windows-1252 has as 0x96.
    EXPECT_NE(text(res::strTipFirst).find("once \x96 picking"), std::string::npos);
}

TEST(StringTable, NewUnitsDefaultToFactorOneAndOffsetZero)
{
    EXPECT_EQ(parseDecimal(text(res::strDefaultFactor)), 1.0);
    EXPECT_EQ(parseDecimal(text(res::strDefaultOffset)), 0.0);
}

} // namespace
} // namespace meridal
