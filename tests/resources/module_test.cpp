// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/resources/loaded_module.h"

#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <gtest/gtest.h>
#include <string>

namespace meridal {
namespace {

using test::loadedModule;

TEST(ResourceModule, LoadsByBareNameAndOnlyWhenItIsOne)
{
    EXPECT_NE(ResourceModule::load("TessaryRes.dll"), nullptr);
    EXPECT_NE(ResourceModule::load(), nullptr);
    EXPECT_EQ(ResourceModule::load("NoSuch.dll"), nullptr);
    // A library of the system's, which loads but holds no resources of the program.
    EXPECT_EQ(ResourceModule::load(test::systemLibrary), nullptr);
}

TEST(ResourceModule, NumbersAreLookedUpWithTheirType)
{
    EXPECT_TRUE(loadedModule().find(res::typeIcon, res::iconMain));
    EXPECT_FALSE(loadedModule().find(res::typeBitmap, res::iconMain));
    EXPECT_TRUE(loadedModule().find(res::typeString, res::strDefaultFactor));
    EXPECT_FALSE(loadedModule().find(res::typeHtml, res::strDefaultFactor));
    EXPECT_FALSE(loadedModule().find(res::typeString, 220));
}

TEST(ResourceModule, AbsentStringLeavesTheCallersTextUnchanged)
{
    std::string text = "what the caller held";
    EXPECT_FALSE(loadedModule().loadString(220, text));
    EXPECT_EQ(text, "what the caller held");
    EXPECT_EQ(loadedModule().string(220), "");
}

} // namespace
} // namespace meridal
