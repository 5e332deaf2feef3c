// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows "TessaryRes.dll" against the Linux module made from the same sources: each
// resource the program uses is there, in the form Windows keeps it in, and holds what the
// Linux module holds; the strings of the Windows overlay are the only texts that differ. The
// module is resources only, and the programs carry the stamped version as their version
// resource.
#include "tests/resources/loaded_module.h"

#include "catalogue/windows1252.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

extern "C" {
#include "resources/module/resource_table.h"
}

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

extern "C" const char meridalVersion[];

namespace meridal {
namespace {

using test::loadedModule;

// The strings of resources/win32/strings-overlay.txt: font faces that Windows has, the
// calculator and opening messages, and the guide's pages relative to the program's folder.
const std::set<unsigned> overlay = {202, 209, 210, 211, 212, 213, 214, 230, 231, 243, 244, 247};

std::filesystem::path programFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::wstring(path, length)).parent_path();
}

std::filesystem::path modulePath()
{
    return programFolder() / "TessaryRes.dll";
}

// The module as the system maps it, for what the program hands to the system by number.
HMODULE systemModule()
{
    static const HMODULE module = LoadLibraryExW(modulePath().c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return module;
}

// A resource of the Linux module (linux_module_data.c).
std::optional<std::string_view> linuxResource(unsigned type, unsigned id)
{
    for (std::size_t i = 0; i < tessaryEntryCount; ++i) {
        if (tessaryEntries[i].type == type && tessaryEntries[i].id == id)
            return std::string_view(reinterpret_cast<const char*>(tessaryEntries[i].data),
                                    tessaryEntries[i].size);
    }
    return std::nullopt;
}

std::string windows1252(std::wstring_view text)
{
    return utf16ToWindows1252(std::u16string(text.begin(), text.end()));
}

template <typename T> T numberAt(std::string_view data, std::size_t at)
{
    T value{};
    if (at + sizeof(T) <= data.size())
        std::memcpy(&value, data.data() + at, sizeof(T));
    return value;
}

// A raw resource of the system's, by type and number.
std::string_view systemResource(LPCWSTR type, unsigned id)
{
    HRSRC found = FindResourceW(systemModule(), MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(systemModule(), found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? std::string_view(static_cast<const char*>(data), SizeofResource(systemModule(), found))
                : std::string_view();
}

TEST(WindowsModule, IsResourcesOnlyWithNoEntryPointNoImportDescriptorsAndNoExportedNames)
{
    std::ifstream file(modulePath(), std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GE(image.size(), sizeof(IMAGE_DOS_HEADER));
    const auto dos = numberAt<IMAGE_DOS_HEADER>(image, 0);
    ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
    const auto nt = numberAt<IMAGE_NT_HEADERS64>(image, static_cast<std::size_t>(dos.e_lfanew));
    ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
    ASSERT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_TRUE(nt.FileHeader.Characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(nt.OptionalHeader.AddressOfEntryPoint, 0u);
    EXPECT_EQ(nt.OptionalHeader.SizeOfCode, 0u);

    // Where a relative address lies in the file.
    const std::size_t sections = static_cast<std::size_t>(dos.e_lfanew) +
                                 offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                                 nt.FileHeader.SizeOfOptionalHeader;
    auto fileOffset = [&](DWORD rva) -> std::optional<std::size_t> {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            const auto section =
                numberAt<IMAGE_SECTION_HEADER>(image, sections + i * sizeof(IMAGE_SECTION_HEADER));
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.Misc.VirtualSize)
                return rva - section.VirtualAddress + section.PointerToRawData;
        }
        return std::nullopt;
    };
    const IMAGE_DATA_DIRECTORY& imports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress != 0) {
        const auto at = fileOffset(imports.VirtualAddress);
        ASSERT_TRUE(at);
        // The list of descriptors ends at once: a descriptor of zeros.
        const auto first = numberAt<IMAGE_IMPORT_DESCRIPTOR>(image, *at);
        EXPECT_EQ(first.Name, 0u);
        EXPECT_EQ(first.FirstThunk, 0u);
    }
    const IMAGE_DATA_DIRECTORY& exports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (exports.VirtualAddress != 0) {
        const auto at = fileOffset(exports.VirtualAddress);
        ASSERT_TRUE(at);
        const auto table = numberAt<IMAGE_EXPORT_DIRECTORY>(image, *at);
        EXPECT_EQ(table.NumberOfNames, 0u);
        EXPECT_EQ(table.NumberOfFunctions, 0u);
    }
    EXPECT_NE(nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].Size, 0u);
}

// Every string of the Linux module but those of the overlay reads the same here, after the
// module's UTF-16 is turned back into Windows-1252; and the module holds no other string.
TEST(WindowsModule, StringsOutsideTheOverlayAreTheLinuxModulesOnes)
{
    std::size_t linuxStrings = 0;
    for (std::size_t i = 0; i < tessaryEntryCount; ++i) {
        if (tessaryEntries[i].type != res::typeString)
            continue;
        const unsigned id = tessaryEntries[i].id;
        const std::string_view linuxText = *linuxResource(res::typeString, id);
        SCOPED_TRACE(id);
        if (overlay.count(id)) {
            EXPECT_NE(loadedModule().string(id), linuxText) << "the overlay leaves it as on Linux";
            ++linuxStrings;
        } else if (linuxText.empty()) {
            // 700, the slot before the first tip: a string table cannot hold an empty string,
            // so it is missing here. The tips are read with Resources::string, which gives
            // the empty text for a missing string, so they come out the same.
            EXPECT_FALSE(loadedModule().find(res::typeString, id));
            EXPECT_EQ(loadedModule().string(id), "");
        } else {
            EXPECT_EQ(loadedModule().string(id), linuxText);
            ++linuxStrings;
        }
    }
    EXPECT_GT(linuxStrings, overlay.size());

    // The blocks of sixteen strings that the module holds, each string of them.
    std::vector<unsigned> blocks;
    EnumResourceNamesW(
        systemModule(), MAKEINTRESOURCEW(6),
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) -> BOOL {
            reinterpret_cast<std::vector<unsigned>*>(list)->push_back(
                static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&blocks));
    std::size_t windowsStrings = 0;
    for (unsigned block : blocks) {
        for (unsigned id = (block - 1) * 16; id < block * 16; ++id) {
            if (!loadedModule().find(res::typeString, id))
                continue;
            ++windowsStrings;
            EXPECT_TRUE(linuxResource(res::typeString, id)) << id << " is no string of the Linux module";
        }
    }
    EXPECT_EQ(windowsStrings, linuxStrings);
}

// The program reads strings as UTF-16 and turns them into Windows-1252 itself, whatever the
// process's ANSI code page: the en dash of the first tip is one byte 0x96.
TEST(WindowsModule, StringsAreWindows1252WhateverTheAnsiCodePage)
{
    EXPECT_NE(loadedModule().string(res::strTipFirst).find("once \x96 picking"), std::string::npos);
    EXPECT_NE(loadedModule().string(res::strAboutCopyright).find("\xA9"), std::string::npos);
    const std::string_view cached = *loadedModule().find(res::typeString, res::strTipFirst);
    EXPECT_EQ(cached.data(), loadedModule().find(res::typeString, res::strTipFirst)->data()) << "read once";
    EXPECT_EQ(cached.data()[cached.size()], '\0');
}

int CALLBACK countFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return 1;
}

TEST(WindowsModule, OverlayNamesFacesWindowsHasAndGuidePagesBesideTheProgram)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    for (unsigned id : {res::strEditFontFace, 209u, 210u, 211u, 212u, 213u, 214u}) {
        const std::string face = loadedModule().string(id);
        LOGFONTW font{};
        font.lfCharSet = DEFAULT_CHARSET;
        const std::string utf8 = windows1252ToUtf8(face);
        const std::wstring wide(utf8.begin(), utf8.end());
        ASSERT_LT(wide.size(), std::size(font.lfFaceName)) << id;
        wcscpy(font.lfFaceName, wide.c_str());
        int faces = 0;
        EnumFontFamiliesExW(dc, &font, countFace, reinterpret_cast<LPARAM>(&faces), 0);
        EXPECT_GT(faces, 0) << id << ": no font \"" << face << "\"";
    }
    DeleteDC(dc);

    // Relative to the program's folder, wherever that was unpacked.
    for (unsigned id : {243u, 244u, 247u}) {
        const std::filesystem::path page(loadedModule().string(id));
        EXPECT_TRUE(page.is_relative() && !page.has_root_name()) << id << ": " << page.string();
        EXPECT_TRUE(std::filesystem::is_regular_file(programFolder() / page)) << id << ": " << page.string();
    }
}

TEST(WindowsModule, DefaultCatalogueIsTheLinuxModulesBytes)
{
    const auto windows = loadedModule().find(res::typeHtml, res::htmlDefaultCatalogue);
    ASSERT_TRUE(windows);
    EXPECT_EQ(*windows, *linuxResource(res::typeHtml, res::htmlDefaultCatalogue));
    EXPECT_EQ(windows->find('\r'), std::string_view::npos);
}

TEST(WindowsModule, BitmapsAreTheLinuxOnesWithoutTheirFileHeaderAndLoad)
{
    for (unsigned id : {res::bitmapAddLog, res::bitmapDeleteLog, res::bitmapClearLog, res::bitmapRestoreLog,
                        res::bitmapBanner, res::bitmapBannerHot}) {
        SCOPED_TRACE(id);
        const auto windows = loadedModule().find(res::typeBitmap, id);
        const auto linuxBmp = linuxResource(res::typeBitmap, id);
        ASSERT_TRUE(windows && linuxBmp);
        EXPECT_EQ(*windows, linuxBmp->substr(sizeof(BITMAPFILEHEADER)));
        HANDLE bitmap =
            LoadImageW(systemModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, numberAt<LONG>(*linuxBmp, 18));
        EXPECT_EQ(info.bmHeight, std::abs(numberAt<LONG>(*linuxBmp, 22)));
        DeleteObject(bitmap);
    }
}

// An icon or cursor group names its one image, which holds the Linux module's PNG image (a
// cursor's after its hotspot, the top-left pixel).
TEST(WindowsModule, IconAndCursorHoldTheLinuxImagesAndLoad)
{
    struct Case {
        unsigned type, id;
        LPCWSTR imageType;
        WORD groupType;
        UINT loadType;
        std::size_t hotspotBytes;
    };
    for (const Case& c :
         {Case{res::typeIcon, res::iconMain, MAKEINTRESOURCEW(3), 1, IMAGE_ICON, 0},
          Case{res::typeCursor, res::cursorBanner, MAKEINTRESOURCEW(1), 2, IMAGE_CURSOR, 4}}) {
        SCOPED_TRACE(c.id);
        const auto group = loadedModule().find(c.type, c.id);
        ASSERT_TRUE(group && group->size() == 6 + 14u);
        EXPECT_EQ(numberAt<WORD>(*group, 2), c.groupType);
        EXPECT_EQ(numberAt<WORD>(*group, 4), 1u);
        const std::string_view image = systemResource(c.imageType, numberAt<WORD>(*group, 6 + 12));
        ASSERT_EQ(image.size(), numberAt<DWORD>(*group, 6 + 8));
        EXPECT_EQ(image.substr(0, c.hotspotBytes), std::string(c.hotspotBytes, '\0'));
        EXPECT_EQ(image.substr(c.hotspotBytes), *linuxResource(c.type, c.id));

        for (int side : {16, 32}) {
            HANDLE loaded = LoadImageW(systemModule(), MAKEINTRESOURCEW(c.id), c.loadType, side, side, 0);
            ASSERT_NE(loaded, nullptr) << side;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(static_cast<HICON>(loaded), &info));
            EXPECT_EQ(info.fIcon, c.loadType == IMAGE_ICON);
            EXPECT_EQ(info.xHotspot, c.loadType == IMAGE_ICON ? DWORD(side / 2) : 0u);
            EXPECT_EQ(info.yHotspot, c.loadType == IMAGE_ICON ? DWORD(side / 2) : 0u);
            BITMAP bitmap{};
            GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, side);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(static_cast<HICON>(loaded));
        }
    }
}

// A menu as lines: "POPUP text", "ITEM id text", "SEPARATOR", "END", with the Linux module's
// shortcut after a TAB in the text, as a Windows menu shows it.
std::vector<std::string> linuxMenuLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::vector<std::string> fields;
        std::string field;
        for (char c : text.substr(start, end - start)) {
            if (c == '\t') {
                fields.push_back(field);
                field.clear();
            } else {
                field += c;
            }
        }
        fields.push_back(field);
        start = end + 1;
        if (fields[0] == "POPUP")
            lines.push_back("POPUP " + fields[1]);
        else if (fields[0] == "ITEM")
            lines.push_back("ITEM " + fields[1] + " " + fields[2] +
                            (fields[3].empty() ? "" : "\t" + fields[3]) +
                            (fields.size() > 4 && fields[4] == "checked" ? " (checked)" : ""));
        else if (fields[0] == "SEPARATOR" || fields[0] == "END")
            lines.push_back(fields[0]);
    }
    return lines;
}

void windowsMenuLines(HMENU menu, std::vector<std::string>& lines)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = std::size(text);
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item));
        if (item.fType & MFT_SEPARATOR) {
            lines.push_back("SEPARATOR");
        } else if (item.hSubMenu) {
            lines.push_back("POPUP " + windows1252(text));
            windowsMenuLines(item.hSubMenu, lines);
            lines.push_back("END");
        } else {
            lines.push_back("ITEM " + std::to_string(item.wID) + " " + windows1252(text) +
                            (item.fState & MFS_CHECKED ? " (checked)" : ""));
        }
    }
}

TEST(WindowsModule, MenusAreTheLinuxMenusWithTheirShortcutsAfterATab)
{
    for (unsigned id : {res::menuConverterBar, res::menuDimension, res::menuUnit, res::menuLog}) {
        SCOPED_TRACE(id);
        const auto data = loadedModule().find(res::typeMenu, id);
        ASSERT_TRUE(data);
        HMENU menu = LoadMenuIndirectW(data->data());
        ASSERT_NE(menu, nullptr);
        std::vector<std::string> lines;
        windowsMenuLines(menu, lines);
        DestroyMenu(menu);
        EXPECT_EQ(lines, linuxMenuLines(*linuxResource(res::typeMenu, id)));
    }
}

// The menu bar's shortcuts work without the menu being open: its accelerator table, of the
// menu's number, holds each item's shortcut.
TEST(WindowsModule, AcceleratorsAreTheMenuBarsShortcuts)
{
    std::set<std::array<unsigned, 3>> expected; // flags, key, command
    for (const std::string& line : linuxMenuLines(*linuxResource(res::typeMenu, res::menuConverterBar))) {
        const std::size_t tab = line.find('\t');
        if (line.rfind("ITEM ", 0) != 0 || tab == std::string::npos)
            continue;
        const unsigned command = static_cast<unsigned>(std::stoul(line.substr(5)));
        std::string shortcut = line.substr(tab + 1);
        unsigned flags = FVIRTKEY;
        for (const auto& [name, flag] :
             {std::pair{"Ctrl+", FCONTROL}, std::pair{"Shift+", FSHIFT}, std::pair{"Alt+", FALT}}) {
            if (shortcut.rfind(name, 0) == 0) {
                flags |= flag;
                shortcut.erase(0, std::string_view(name).size());
            }
        }
        const unsigned key = shortcut.size() == 1
                                 ? static_cast<unsigned>(shortcut[0])
                                 : VK_F1 + static_cast<unsigned>(std::stoul(shortcut.substr(1))) - 1;
        expected.insert({flags, key, command});
    }
    ASSERT_EQ(expected.size(), 4u);

    HACCEL table = LoadAcceleratorsW(systemModule(), MAKEINTRESOURCEW(res::menuConverterBar));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(static_cast<std::size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
    CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
    DestroyAcceleratorTable(table);
    std::set<std::array<unsigned, 3>> found;
    for (const ACCEL& entry : entries)
        found.insert({entry.fVirt & ~0x80u, entry.key, entry.cmd}); // 0x80 marks the table's last entry
    EXPECT_EQ(found, expected);
    EXPECT_EQ(LoadAcceleratorsW(systemModule(), MAKEINTRESOURCEW(res::menuLog)), nullptr);
}

// A dialog template (DLGTEMPLATEEX) as far as the program relies on it.
struct DialogControl {
    std::wstring windowClass;
    DWORD style = 0;
};
struct DialogTemplate {
    DWORD style = 0;
    std::optional<WORD> menu;
    WORD points = 0;
    std::wstring face;
    std::multimap<int, DialogControl> controls;
};

std::optional<DialogTemplate> readTemplate(std::string_view data)
{
    std::size_t at = 0;
    bool whole = true;
    auto word = [&] {
        const auto value = numberAt<WORD>(data, at);
        whole = whole && at + 2 <= data.size();
        at += 2;
        return value;
    };
    auto dword = [&] {
        const auto value = numberAt<DWORD>(data, at);
        whole = whole && at + 4 <= data.size();
        at += 4;
        return value;
    };
    auto text = [&] {
        std::wstring value;
        while (whole && at + 2 <= data.size()) {
            const WORD unit = word();
            if (unit == 0)
                break;
            value += static_cast<wchar_t>(unit);
        }
        return value;
    };
    // A number (0xFFFF, then the number), nothing (0) or a text.
    auto nameOrNumber = [&]() -> std::pair<std::optional<WORD>, std::wstring> {
        const WORD first = numberAt<WORD>(data, at);
        if (first == 0xFFFF) {
            word();
            return {word(), {}};
        }
        return {std::nullopt, text()};
    };
    static const std::map<WORD, std::wstring> classes = {
        {0x80, L"button"}, {0x81, L"edit"}, {0x82, L"static"}, {0x83, L"listbox"}, {0x85, L"combobox"}};

    DialogTemplate dialog;
    if (word() != 1 || word() != 0xFFFF)
        return std::nullopt;
    dword(); // help context
    dword(); // extended style
    dialog.style = dword();
    const WORD count = word();
    at += 8; // position and size
    dialog.menu = nameOrNumber().first;
    nameOrNumber(); // window class
    text();         // caption
    if (dialog.style & DS_SETFONT) {
        dialog.points = word();
        word();  // weight
        at += 2; // italic, character set
        dialog.face = text();
    }
    for (WORD i = 0; i < count && whole; ++i) {
        at = (at + 3) & ~std::size_t(3);
        dword(); // help context
        dword(); // extended style
        DialogControl control;
        control.style = dword();
        at += 8;
        const int id = static_cast<int>(dword());
        auto [classNumber, className] = nameOrNumber();
        if (classNumber)
            className = classes.count(*classNumber) ? classes.at(*classNumber) : L"?";
        for (wchar_t& c : className)
            c = static_cast<wchar_t>(towlower(c));
        control.windowClass = className;
        nameOrNumber(); // text
        at += word();   // creation data
        dialog.controls.emplace(id, control);
    }
    return whole ? std::optional<DialogTemplate>(dialog) : std::nullopt;
}

// Every control the program looks for in each dialog, of the class it takes it for, with the
// styles it relies on.
TEST(WindowsModule, DialogTemplatesHoldEveryControlOfTheProgram)
{
    struct Expected {
        int id;
        const wchar_t* windowClass;
        DWORD styles;
    };
    const std::map<unsigned, std::vector<Expected>> dialogs = {
        {res::dialogConverter,
         {{res::idBanner, L"static", SS_BITMAP | SS_NOTIFY},
          {res::idTip, L"static", SS_NOPREFIX},
          {res::idNextTip, L"button", WS_TABSTOP},
          {res::idDimensionList, L"combobox", CBS_DROPDOWNLIST | WS_TABSTOP},
          {res::idStartUnitList, L"listbox", LBS_NOTIFY | WS_TABSTOP},
          {res::idEndUnitList, L"listbox", LBS_NOTIFY | WS_TABSTOP},
          {res::idInput, L"edit", ES_AUTOHSCROLL | WS_TABSTOP},
          {res::idOutput, L"edit", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP},
          {res::idStartCaption, L"static", SS_NOPREFIX},
          {res::idEndCaption, L"static", SS_NOPREFIX},
          {res::idLogList, L"listbox", LBS_NOTIFY | LBS_WANTKEYBOARDINPUT | WS_TABSTOP},
          {res::idAddLogButton, L"button", BS_BITMAP | WS_TABSTOP},
          {res::idDeleteLogButton, L"button", BS_BITMAP | WS_TABSTOP},
          {res::idClearLogButton, L"button", BS_BITMAP | WS_TABSTOP},
          {res::idRestoreLogButton, L"button", BS_BITMAP | WS_TABSTOP}}},
        {res::dialogAbout,
         {{1034, L"static", SS_NOPREFIX},
          {1035, L"static", SS_NOPREFIX},
          {1036, L"static", 0},
          {1037, L"static", 0},
          {1038, L"static", 0},
          {1039, L"static", SS_NOPREFIX},
          {res::idOk, L"button", WS_TABSTOP}}},
        {res::dialogUnitEdit,
         {{res::idEditDimension, L"edit", WS_TABSTOP},
          {res::idEditBaseUnit, L"edit", WS_TABSTOP},
          {res::idEditFactor, L"edit", WS_TABSTOP},
          {res::idEditUnit, L"edit", WS_TABSTOP},
          {res::idEditOffset, L"edit", WS_TABSTOP},
          {res::idEditNote, L"static", 0},
          {res::idOk, L"button", WS_TABSTOP},
          {res::idCancel, L"button", WS_TABSTOP}}},
    };
    for (const auto& [dialogId, controls] : dialogs) {
        SCOPED_TRACE(dialogId);
        const auto data = loadedModule().find(res::typeDialog, dialogId);
        ASSERT_TRUE(data);
        const std::optional<DialogTemplate> dialog = readTemplate(*data);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->face, L"Tahoma");
        EXPECT_EQ(dialog->points, 8);
        EXPECT_EQ(dialog->menu, dialogId == res::dialogConverter ? std::optional<WORD>(res::menuConverterBar)
                                                                 : std::nullopt);
        for (const Expected& control : controls) {
            SCOPED_TRACE(control.id);
            ASSERT_EQ(dialog->controls.count(control.id), 1u);
            const DialogControl& found = dialog->controls.find(control.id)->second;
            EXPECT_EQ(found.windowClass, control.windowClass);
            EXPECT_EQ(found.style & control.styles, control.styles);
            EXPECT_TRUE(found.style & WS_VISIBLE);
        }
        // The lists that the layouts sort say so with LBS_SORT or CBS_SORT, and no other list
        // does: the program's window takes the flag off before the system makes the control
        // (the system would sort by the user's locale) and sorts in Windows-1252 order itself.
        const std::set<int> sorted = {res::idDimensionList, res::idStartUnitList, res::idEndUnitList};
        for (const auto& [id, control] : dialog->controls) {
            if (control.windowClass == L"listbox") {
                EXPECT_EQ((control.style & LBS_SORT) != 0, sorted.count(id) != 0) << id;
            } else if (control.windowClass == L"combobox") {
                EXPECT_EQ((control.style & CBS_SORT) != 0, sorted.count(id) != 0) << id;
            }
        }
    }
}

// The version of a file as the About box reads it: the first translation's "FileVersion".
std::string fileVersion(const std::filesystem::path& file, VS_FIXEDFILEINFO& fixed)
{
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(file.c_str(), &ignored));
    if (block.empty() ||
        !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
        return "(no version resource)";
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof fixed)
        return "(no fixed file information)";
    fixed = *static_cast<VS_FIXEDFILEINFO*>(value);
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return "(no translation)";
    const WORD language = static_cast<WORD*>(value)[0], codePage = static_cast<WORD*>(value)[1];
    EXPECT_EQ(language, 0x0409);
    EXPECT_EQ(codePage, 0x04E4);
    // "\StringFileInfo\%08lx\FileVersion", the number in small hexadecimal digits.
    std::wostringstream key;
    key << L"\\StringFileInfo\\" << std::hex;
    key.width(8);
    key.fill(L'0');
    key << (static_cast<unsigned long>(language) * 65536 + codePage) << L"\\FileVersion";
    if (!VerQueryValueW(block.data(), key.str().c_str(), &value, &length) || length == 0)
        return "(no FileVersion)";
    return windows1252(static_cast<const wchar_t*>(value));
}

TEST(WindowsModule, ProgramsAndTheModuleCarryTheStampedVersion)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    for (const std::filesystem::path& file : {std::filesystem::path(self), modulePath()}) {
        SCOPED_TRACE(file.filename().string());
        VS_FIXEDFILEINFO fixed{};
        EXPECT_EQ(fileVersion(file, fixed), meridalVersion);
        unsigned parts[4] = {};
        ASSERT_EQ(std::sscanf(meridalVersion, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]), 4);
        EXPECT_EQ(fixed.dwFileVersionMS, parts[0] << 16 | parts[1]);
        EXPECT_EQ(fixed.dwFileVersionLS, parts[2] << 16 | parts[3]);
    }
}

} // namespace
} // namespace meridal
