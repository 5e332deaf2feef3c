// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/menu_resource.h"

#include <gtest/gtest.h>

namespace meridal::platform::qt {
namespace {

using Kind = MenuEntry::Kind;

TEST(MenuResourceTest, readsNestedPopupsItemsAndFlags)
{
    const auto menu = parseMenuResource("POPUP\t&Edit\r\n"
                                        "ITEM\t57634\t&Copy\tCtrl+Shift+C\t\r\n"
                                        "SEPARATOR\r\n"
                                        "POPUP\tMore\r\n"
                                        "ITEM\t180\t&Scientific\t\tcheckable\r\n"
                                        "ITEM\t181\tOn\t\tchecked\r\n"
                                        "END\r\n"
                                        "END\r\n"
                                        "POPUP\t\xB0"
                                        "C\n"
                                        "ITEM\t1\tx\n"
                                        "END");
    ASSERT_EQ(menu.size(), 2u);
    const MenuEntry& edit = menu[0];
    EXPECT_EQ(edit.kind, Kind::Popup);
    EXPECT_EQ(edit.text, "&Edit");
    ASSERT_EQ(edit.children.size(), 3u);
    EXPECT_EQ(edit.children[0].id, 57634);
    EXPECT_EQ(edit.children[0].shortcut, "Ctrl+Shift+C");
    EXPECT_EQ(edit.children[1].kind, Kind::Separator);
    const MenuEntry& more = edit.children[2];
    ASSERT_EQ(more.children.size(), 2u);
    EXPECT_TRUE(more.children[0].checkable && !more.children[0].checked);
    EXPECT_TRUE(more.children[1].checkable && more.children[1].checked);
    // Text stays Windows-1252; an item may leave out its trailing fields.
    EXPECT_EQ(menu[1].text, "\xB0"
                            "C");
    ASSERT_EQ(menu[1].children.size(), 1u);
    EXPECT_EQ(menu[1].children[0].id, 1);
    EXPECT_EQ(menu[1].children[0].shortcut, "");
}

TEST(MenuResourceTest, skipsWhatItCannotPlace)
{
    const auto menu = parseMenuResource("END\n"                  // nothing open
                                        "ITEM\t5\toutside\t\t\n" // items only inside a popup
                                        "SEPARATOR\n"
                                        "POPUP\tA\n"
                                        "ITEM\tx\tbad number\t\t\n"
                                        "BOGUS\tline\n"
                                        "\n"
                                        "ITEM\t6\tkept\t\t\n"); // left open at the end
    ASSERT_EQ(menu.size(), 1u);
    ASSERT_EQ(menu[0].children.size(), 1u);
    EXPECT_EQ(menu[0].children[0].id, 6);
}

} // namespace
} // namespace meridal::platform::qt
