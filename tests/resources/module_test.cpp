#include "tests/resources/loaded_module.h"
#include "tests/resources/raw_module.h"

#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace meridal {
namespace {

using test::loadedModule;

TEST(ResourceModule, LoadsByBareNameAndOnlyWithItsLookup)
{
    EXPECT_NE(ResourceModule::load("TessaryRes.dll"), nullptr);
    EXPECT_NE(ResourceModule::load(), nullptr);
    EXPECT_EQ(ResourceModule::load("NoSuch.dll"), nullptr);
    // A library that loads but has no TessaryFindResource.
    EXPECT_EQ(ResourceModule::load(test::systemLibrary), nullptr);
}

TEST(ResourceModule, TextResourcesArePresentAndFollowedByAnUncountedNul)
{
    // Every layout and menu the program asks for, and the default catalogue.
    const std::pair<unsigned, unsigned> texts[] = {
        {res::typeDialog, res::dialogConverter}, {res::typeMenu, res::menuConverterBar},
        {res::typeMenu, res::menuDimension},     {res::typeMenu, res::menuUnit},
        {res::typeMenu, res::menuLog},           {res::typeHtml, res::htmlDefaultCatalogue}};
    for (const auto& [type, id] : texts) {
        auto data = loadedModule().find(type, id);
        ASSERT_TRUE(data && !data->empty()) << id;
        EXPECT_EQ(data->data()[data->size()], '\0') << id;
    }
}

TEST(ResourceModule, NumbersAreLookedUpWithTheirType)
{
    EXPECT_FALSE(loadedModule().find(res::typeBitmap, res::iconMain));
    EXPECT_FALSE(loadedModule().find(res::typeHtml, res::strDefaultFactor));
    EXPECT_FALSE(loadedModule().find(res::typeString, 220));
}

TEST(ResourceModule, ExportedLookupLeavesSizeAloneWhenAbsentAndAcceptsNoSize)
{
    const test::RawModule module;
    const TessaryFindResourceFn lookup = module.lookup();
    ASSERT_NE(lookup, nullptr);
    std::size_t size = 12345;
    EXPECT_EQ(lookup(res::typeString, 220, &size), nullptr);
    EXPECT_EQ(size, 12345u);
    EXPECT_STREQ(reinterpret_cast<const char*>(lookup(res::typeString, res::strDefaultInput, nullptr)), "1");
}

TEST(ResourceModule, AbsentStringLeavesTheCallersTextUnchangedAnEmptyOneEmptiesIt)
{
    std::string text = "what the caller held";
    EXPECT_FALSE(loadedModule().loadString(220, text));
    EXPECT_EQ(text, "what the caller held");
    EXPECT_TRUE(loadedModule().loadString(res::strTipBase, text)); // present and empty
    EXPECT_EQ(text, "");
}

} // namespace
} // namespace meridal
