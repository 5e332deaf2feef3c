// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A menu of the resource module: Windows-1252 lines "POPUP<TAB>text", "ITEM<TAB>id<TAB>text
// <TAB>shortcut<TAB>flags", "SEPARATOR" and "END", read into a tree.
namespace meridal::platform::qt {

struct MenuEntry {
    enum class Kind { Popup, Item, Separator };
    Kind kind = Kind::Item;
    std::string text;     // Windows-1252, "&" marks the mnemonic
    int id = 0;           // items only
    std::string shortcut; // QKeySequence portable text, or empty
    bool checkable = false;
    bool checked = false;
    std::vector<MenuEntry> children; // popups only
};

// Lines the format does not know, and END lines without an open POPUP, are skipped; a POPUP
// left open at the end of the text is closed there.
std::vector<MenuEntry> parseMenuResource(std::string_view text);

} // namespace meridal::platform::qt
