// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A dialog template (DLGTEMPLATEEX) as the resource module holds it, read into fields and
// written back. The window reads a layout's template, changes what the system must not do
// for it (below) and hands the system the copy.
namespace meridal::platform::win32 {

// A name or a number, as a template names a menu, a window class or a control's text.
struct NameOrOrdinal {
    std::u16string name;
    std::uint16_t ordinal = 0; // in use when not 0
    bool present() const { return ordinal != 0 || !name.empty(); }
    friend bool operator==(const NameOrOrdinal&, const NameOrOrdinal&) = default;
};

// The kinds of control the window knows, by the system's predefined window classes.
enum class ControlKind { Button, Edit, Static, ListBox, ScrollBar, ComboBox, Other };

struct DialogItem {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    std::string creationData; // handed to the control at its creation; usually empty

    ControlKind kind() const;
    friend bool operator==(const DialogItem&, const DialogItem&) = default;
};

struct DialogTemplate {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string title;
    // The font, when the style has DS_SETFONT or DS_SHELLFONT.
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 0;
    std::u16string typeface;
    std::vector<DialogItem> items;

    friend bool operator==(const DialogTemplate&, const DialogTemplate&) = default;
};

// Reads an extended template (DLGTEMPLATEEX); nullopt when the bytes are none, or are cut
// short. The older DLGTEMPLATE form is not read: the module's templates are all extended.
std::optional<DialogTemplate> readDialogTemplate(std::string_view bytes);

// The template's bytes, as the system reads them: every item starts on a 4-byte boundary
// counted from the first byte, so the data must be handed over from an address divisible
// by 4 (a std::vector<std::uint32_t> holds them so).
std::vector<std::uint32_t> writeDialogTemplate(const DialogTemplate& dialog);

} // namespace meridal::platform::win32
