#include "tests/resources/loaded_module.h"

#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace meridal {
namespace {

using test::loadedModule;

TEST(ResourceModule, LoadsByBareNameFromTheProgramFolder)
{
    EXPECT_NE(ResourceModule::load("TessaryRes.dll"), nullptr);
    EXPECT_NE(ResourceModule::load(), nullptr);
}

TEST(ResourceModule, MissingLibraryGivesNoModule)
{
    EXPECT_EQ(ResourceModule::load("NoSuch.dll"), nullptr);
}

TEST(ResourceModule, LibraryWithoutTheLookupGivesNoModule)
{
    // libc loads, but has no TessaryFindResource.
    EXPECT_EQ(ResourceModule::load("libc.so.6"), nullptr);
}

struct Listed {
    unsigned type;
    unsigned id;
};

// Every resource the program asks for that is not a string.
const Listed everyPictureLayoutAndText[] = {
    {res::typeDialog, res::dialogConverter}, {res::typeMenu, res::menuConverterBar},
    {res::typeMenu, res::menuDimension},     {res::typeMenu, res::menuUnit},
    {res::typeMenu, res::menuLog},           {res::typeIcon, res::iconMain},
    {res::typeBitmap, res::bitmapBanner},    {res::typeBitmap, res::bitmapBannerHot},
    {res::typeBitmap, res::bitmapAddLog},    {res::typeBitmap, res::bitmapDeleteLog},
    {res::typeBitmap, res::bitmapClearLog},  {res::typeBitmap, res::bitmapRestoreLog},
    {res::typeCursor, res::cursorBanner},    {res::typeHtml, res::htmlDefaultCatalogue},
};

TEST(ResourceModule, HoldsEveryResourceFollowedByAnUncountedNul)
{
    for (const auto& [type, id] : everyPictureLayoutAndText) {
        SCOPED_TRACE("type " + std::to_string(type) + " id " + std::to_string(id));
        auto data = loadedModule().find(type, id);
        ASSERT_TRUE(data.has_value());
        EXPECT_FALSE(data->empty());
        EXPECT_EQ(data->data()[data->size()], '\0');
    }
}

TEST(ResourceModule, NumbersAreLookedUpWithTheirType)
{
    // Right number, wrong type; an unused number; the types of the two numbers swapped.
    EXPECT_FALSE(loadedModule().find(res::typeBitmap, res::iconMain));
    EXPECT_FALSE(loadedModule().find(res::typeString, 220));
    EXPECT_FALSE(loadedModule().find(res::typeString, 235));
    EXPECT_FALSE(loadedModule().find(res::typeHtml, res::strDefaultFactor));
    EXPECT_FALSE(loadedModule().find(0, 0));
}

TEST(ResourceModule, ExportedLookupLeavesSizeAloneWhenAbsentAndAcceptsNoSize)
{
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "TessaryRes.dll";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    auto lookup = reinterpret_cast<TessaryFindResourceFn>(dlsym(handle, TESSARY_FIND_RESOURCE_SYMBOL));
    ASSERT_NE(lookup, nullptr);

    std::size_t size = 12345;
    EXPECT_EQ(lookup(res::typeString, 220, &size), nullptr);
    EXPECT_EQ(size, 12345u);

    const unsigned char* data = lookup(res::typeString, res::strDefaultInput, nullptr);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(data), "1");
    dlclose(handle);
}

TEST(ResourceModule, AbsentStringLeavesTheCallersTextUnchanged)
{
    std::string text = "what the caller held";
    EXPECT_FALSE(loadedModule().loadString(220, text));
    EXPECT_EQ(text, "what the caller held");

    EXPECT_TRUE(loadedModule().loadString(res::strDefaultFactor, text));
    EXPECT_EQ(text, "1");
}

TEST(ResourceModule, PresentEmptyStringEmptiesTheCallersText)
{
    // String 700 is there and empty: nothing for the tip counter's unused slot.
    std::string text = "before";
    EXPECT_TRUE(loadedModule().loadString(res::strTipBase, text));
    EXPECT_EQ(text, "");
}

} // namespace
} // namespace meridal
