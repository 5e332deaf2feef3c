// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 host beyond the platform contract: the module's dialog templates as the host reads
// and changes them, the text and pictures it hands the system, and its windows made from the
// module - sorted lists, the menu bar with its shortcuts, the keys of the dialog manager,
// pictures, fonts, tooltips and context menus - driven by the messages a user's actions send.
#include "tests/resources/loaded_module.h"
#include "tests/support/fake_resources.h"
#include "tests/support/win32/test_windows.h"
#include "tests/ui/fake_dialog_host.h"

#include "platform/win32/dialog_template.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_pictures.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"
#include "resources/resource_ids.h"

#include <commctrl.h>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace meridal::platform::win32 {
namespace {

using test::loadedModule;

std::string bytesOf(const std::vector<std::uint32_t>& words)
{
    return std::string(reinterpret_cast<const char*>(words.data()), words.size() * sizeof(std::uint32_t));
}

// The template's bytes as the module holds them, padded to whole words as the writer makes them.
std::string paddedTemplate(unsigned id)
{
    std::string bytes(*loadedModule().find(res::typeDialog, id));
    bytes.resize((bytes.size() + 3) / 4 * 4, '\0');
    return bytes;
}

TEST(DialogTemplate, readsTheModulesTemplatesAndWritesThemBackByteForByte)
{
    for (unsigned id : {res::dialogAbout, res::dialogConverter, res::dialogUnitEdit}) {
        SCOPED_TRACE(id);
        const auto dialog = readDialogTemplate(*loadedModule().find(res::typeDialog, id));
        ASSERT_TRUE(dialog);
        EXPECT_EQ(bytesOf(writeDialogTemplate(*dialog)), paddedTemplate(id));
    }
    const auto converter = readDialogTemplate(*loadedModule().find(res::typeDialog, res::dialogConverter));
    EXPECT_EQ(converter->menu.ordinal, res::menuConverterBar);
    EXPECT_EQ(converter->typeface, u"Tahoma");
    auto styleOf = [&](int id) {
        for (const DialogItem& item : converter->items)
            if (item.id == static_cast<std::uint32_t>(id))
                return std::pair(item.kind(), item.style);
        return std::pair(ControlKind::Other, std::uint32_t{0});
    };
    EXPECT_EQ(styleOf(res::idDimensionList),
              std::pair(ControlKind::ComboBox, styleOf(res::idDimensionList).second));
    EXPECT_TRUE(styleOf(res::idDimensionList).second & CBS_SORT);
    EXPECT_TRUE(styleOf(res::idStartUnitList).second & LBS_SORT);
    EXPECT_TRUE(styleOf(res::idEndUnitList).second & LBS_SORT);
    EXPECT_FALSE(styleOf(res::idLogList).second & LBS_SORT);
    EXPECT_TRUE(styleOf(res::idLogList).second & LBS_WANTKEYBOARDINPUT);
    EXPECT_EQ(styleOf(res::idBanner).first, ControlKind::Static);
    EXPECT_EQ(styleOf(res::idBanner).second & (SS_TYPEMASK | SS_NOTIFY),
              static_cast<std::uint32_t>(SS_BITMAP | SS_NOTIFY));
    EXPECT_TRUE(styleOf(res::idAddLogButton).second & BS_BITMAP);
}

TEST(DialogTemplate, aTemplateCutShortOrOfTheOldFormIsNotRead)
{
    const std::string whole(*loadedModule().find(res::typeDialog, res::dialogUnitEdit));
    for (std::size_t size = 0; size < whole.size(); ++size)
        ASSERT_FALSE(readDialogTemplate(std::string_view(whole).substr(0, size))) << size;
    std::string old = whole;
    old[2] = old[3] = '\0'; // no extended signature
    EXPECT_FALSE(readDialogTemplate(old));
}

TEST(DialogTemplate, namesOrdinalsFontAndCreationDataSurviveWritingAndReading)
{
    DialogTemplate dialog;
    dialog.style = DS_SETFONT | WS_POPUP;
    dialog.exStyle = WS_EX_TOOLWINDOW;
    dialog.cx = 100;
    dialog.cy = -3;
    dialog.menu.name = u"MENU";
    dialog.windowClass.ordinal = 0x8002;
    dialog.title = u"\u00B0C";
    dialog.pointSize = 9;
    dialog.weight = 700;
    dialog.italic = 1;
    dialog.charset = 1;
    dialog.typeface = u"Segoe UI";
    DialogItem named;
    named.windowClass.name = u"msctls_trackbar32";
    named.id = 70000;
    named.title.ordinal = 5;
    named.creationData = std::string("\x01\x00\x02", 3);
    DialogItem plain;
    plain.windowClass.ordinal = 0x82;
    plain.title.name = u"x";
    dialog.items = {named, plain, named};
    EXPECT_EQ(readDialogTemplate(bytesOf(writeDialogTemplate(dialog))), dialog);
    EXPECT_EQ(named.kind(), ControlKind::Other);
    DialogItem byName;
    byName.windowClass.name = u"LISTBOX";
    EXPECT_EQ(byName.kind(), ControlKind::ListBox);
}

TEST(Win32Text, everyWindows1252ByteSurvivesTheWayThroughUtf16)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_EQ(fromWide(toWide(all)), all);
    EXPECT_EQ(toWide("\x80\xB0"), L"\u20AC\u00B0");
    EXPECT_EQ(fromWide(L"a\u2713b\U0001F600c"), "a?b?c");
    EXPECT_EQ(firstUnrepresentable(L"ok \u00E9\U0001F600\u2713"), U'\U0001F600');
    EXPECT_EQ(firstUnrepresentable(L"\u20AC\u0178"), std::nullopt);
    EXPECT_EQ(toShownWide(std::string(400, 'x')).size(), shownTextLimit + 1);
}

TEST(Win32Text, positionsCountCharactersWhereTheSystemCountsUnits)
{
    const std::wstring text = L"a\U0001F600b";
    const struct {
        int units;
        int characters;
    } cases[] = {{0, 0}, {1, 1}, {3, 2}, {4, 3}, {6, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(unitsToCharacters(text, c.units), c.characters) << c.units;
        EXPECT_EQ(charactersToUnits(text, c.characters), c.units) << c.characters;
    }
}

// A packed bitmap: header, colours, then the rows from the bottom, each padded to 4 bytes.
std::string packedBitmap(int width, int height, int bits, const std::vector<std::uint32_t>& colours,
                         const std::vector<std::uint8_t>& rows)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    header.biClrUsed = static_cast<DWORD>(colours.size());
    std::string packed(reinterpret_cast<const char*>(&header), sizeof header);
    packed.append(reinterpret_cast<const char*>(colours.data()), colours.size() * 4);
    packed.append(reinterpret_cast<const char*>(rows.data()), rows.size());
    return packed;
}

TEST(Win32Pictures, bitmapsOfEveryDepthBecomeTopDownPixels)
{
    // 2 by 2, bottom row first: blue, green / red, white.
    const std::string deep =
        packedBitmap(2, 2, 24, {}, {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0});
    const std::optional<Image> image = decodeBitmap(deep);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (std::vector<std::uint32_t>{0xFF0000, 0xFFFFFF, 0x0000FF, 0x00FF00}));

    const std::string paletted = packedBitmap(3, 1, 8, {0x123456, 0xABCDEF}, {1, 0, 1, 0});
    ASSERT_TRUE(decodeBitmap(paletted));
    EXPECT_EQ(decodeBitmap(paletted)->pixels, (std::vector<std::uint32_t>{0xABCDEF, 0x123456, 0xABCDEF}));

    EXPECT_FALSE(decodeBitmap(deep.substr(0, deep.size() - 1)));
    EXPECT_FALSE(decodeBitmap(packedBitmap(0, 2, 24, {}, {})));
    EXPECT_FALSE(decodeBitmap(""));

    const std::optional<Image> banner = loadBitmap(loadedModule(), res::bitmapBanner);
    ASSERT_TRUE(banner);
    EXPECT_EQ(banner->width, 152);
    EXPECT_EQ(banner->height, 68);
}

TEST(Win32Pictures, iconCursorMenusAndShortcutsComeFromTheModule)
{
    HICON icon = loadIcon(loadedModule(), res::iconMain, 32);
    EXPECT_NE(icon, nullptr);
    if (icon)
        DestroyIcon(icon);
    EXPECT_NE(loadCursor(loadedModule(), res::cursorBanner), nullptr);
    // Not from elsewhere: the system reads a cursor's images from the module.
    const std::string group(*loadedModule().find(res::typeCursor, res::cursorBanner));
    EXPECT_EQ(
        loadCursor(test::FakeResources().set(res::typeCursor, res::cursorBanner, group), res::cursorBanner),
        nullptr);

    HACCEL shortcuts = loadAccelerators(loadedModule(), res::menuConverterBar);
    ASSERT_NE(shortcuts, nullptr);
    std::vector<ACCEL> entries(static_cast<std::size_t>(CopyAcceleratorTableW(shortcuts, nullptr, 0)));
    CopyAcceleratorTableW(shortcuts, entries.data(), static_cast<int>(entries.size()));
    DestroyAcceleratorTable(shortcuts);
    auto has = [&](WORD key, BYTE modifiers, WORD command) {
        for (const ACCEL& entry : entries)
            if (entry.key == key && (entry.fVirt & ~FNOINVERT) == (FVIRTKEY | modifiers) &&
                entry.cmd == command)
                return true;
        return false;
    };
    EXPECT_TRUE(has('Q', FCONTROL, res::cmdExit));
    EXPECT_TRUE(has('C', FCONTROL | FSHIFT, res::cmdCopy));
    EXPECT_TRUE(has(VK_F1, 0, res::cmdTarget2First + 3));

    HMENU menu = loadMenu(loadedModule(), res::menuUnit);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), static_cast<UINT>(res::cmdAddUnit));
    DestroyMenu(menu);
}

TEST(Win32Clipboard, holdsUnicodeTextMadeFromWindows1252)
{
    Win32Clipboard clipboard;
    ASSERT_TRUE(clipboard.setText("100 \xB0"
                                  "C \x80"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(data))), L"100 \u00B0C \u20AC");
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(clipboard.text(), "100 \xB0"
                                "C \x80");

    // Text that another program put there, with a character the code page lacks.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const wchar_t other[] = L"a\u2713b";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof other);
    std::memcpy(GlobalLock(block), other, sizeof other);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    EXPECT_EQ(clipboard.text(), "a?b");
}

// The windows of the module, driven as a user drives them. -----------------------------

class Recorder final : public DialogController {
  public:
    void onAttach(DialogHost& attached) override { host = &attached; }
    bool onInitDialog() override
    {
        if (onInit)
            onInit();
        return true;
    }
    void onNotify(const NotifyMessage& message) override { notes.push_back(message); }
    void onCommand(int commandId) override { commands.push_back(commandId); }
    void onClose() override { ++closes; }
    void onContextMenu(int controlId, Point screen) override { menus.push_back({controlId, screen}); }
    std::optional<std::string> onTooltipText(int controlId) override
    {
        tipsAskedFor.push_back(controlId);
        return tip;
    }

    bool notified(int id, Notification code, int index = -1) const
    {
        for (const NotifyMessage& note : notes)
            if (note.controlId == id && note.code == code && note.index == index)
                return true;
        return false;
    }

    DialogHost* host = nullptr;
    std::function<void()> onInit;
    std::vector<NotifyMessage> notes;
    std::vector<int> commands;
    int closes = 0;
    std::vector<std::pair<int, Point>> menus;
    std::vector<int> tipsAskedFor;
    std::optional<std::string> tip;
};

class Win32HostWindow : public ::testing::Test {
  protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        if (!test::systemMakesWindows())
            GTEST_SKIP() << test::noDisplayReason;
    }

    Win32DialogHost& open(unsigned layout)
    {
        host = std::make_unique<Win32DialogHost>(loadedModule(), layout, desktop);
        if (!host->window())
            throw std::runtime_error("the window cannot be made");
        host->setMessageBoxes(boxes);
        host->open(recorder);
        SetForegroundWindow(host->window());
        pump();
        return *host;
    }

    void pump() { test::runMessagesUntilQuiet(host.get()); }

    // A key pressed where the keyboard focus is, through the window's loop.
    void press(UINT key)
    {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
        pump();
    }

    void focus(int id)
    {
        host->setFocus(id);
        pump();
    }

    Recorder recorder; // declared first: the window goes before its controller
    test::FakeDesktop desktop;
    test::FakeMessageBoxes boxes;
    std::unique_ptr<Win32DialogHost> host;
};

std::vector<std::string> entries(const ListControl& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.entryCount(); ++i)
        texts.push_back(list.entryText(i));
    return texts;
}

TEST_F(Win32HostWindow, theConverterWindowKeepsItsTemplatesSizeWithItsMenuBarAndSortsTheListsItsLayoutSorts)
{
    Win32DialogHost& window = open(res::dialogConverter);
    const LONG style = GetWindowLongW(window.window(), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    RECT expected{0, 0, 427, 369}; // the template's size in dialog units
    MapDialogRect(window.window(), &expected);
    RECT outer{};
    GetWindowRect(window.window(), &outer);
    EXPECT_EQ(window.clientSize(0), (Size{expected.right, expected.bottom}))
        << outer.top << " " << outer.bottom;
    EXPECT_NE(SendMessageW(window.window(), WM_GETICON, ICON_BIG, 0), 0);

    HMENU bar = GetMenu(window.window());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuState(bar, res::cmdToggleNotation, MF_BYCOMMAND) & MF_CHECKED, 0u);
    window.setMenuChecked(res::cmdToggleNotation, true);
    EXPECT_NE(GetMenuState(bar, res::cmdToggleNotation, MF_BYCOMMAND) & MF_CHECKED, 0u);

    for (int id : {res::idDimensionList, res::idStartUnitList, res::idLogList}) {
        ListControl& list = *window.list(id);
        for (const char* text : {"b", "a", "B", "\xE9t\xE9", "\xC9T\xC9"})
            list.addEntry(text);
        if (id == res::idLogList)
            EXPECT_EQ(entries(list), (std::vector<std::string>{"b", "a", "B", "\xE9t\xE9", "\xC9T\xC9"}));
        else
            EXPECT_EQ(entries(list), (std::vector<std::string>{"a", "B", "b", "\xC9T\xC9", "\xE9t\xE9"}))
                << id;
        // The control shows what the program holds, in the same order.
        wchar_t shown[16] = {};
        SendMessageW(GetDlgItem(window.window(), id), id == res::idDimensionList ? CB_GETLBTEXT : LB_GETTEXT,
                     3, reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(fromWide(shown), list.entryText(3));
    }
}

TEST_F(Win32HostWindow, keysReachTheControllerAsTheLayoutAndTheMenusSay)
{
    Win32DialogHost& window = open(res::dialogConverter);
    ListControl& log = *window.list(res::idLogList);
    log.addEntry("first");
    log.addEntry("second");
    log.selectIndex(1);
    ListControl& units = *window.list(res::idStartUnitList);
    units.addEntry("m");
    units.selectIndex(0);

    focus(res::idLogList);
    press(VK_DELETE);
    EXPECT_TRUE(recorder.notified(res::idLogList, Notification::DeletePressed, 1));
    press(VK_RETURN);
    EXPECT_TRUE(recorder.notified(res::idLogList, Notification::DoubleClicked, 1));
    focus(res::idStartUnitList);
    press(VK_RETURN);
    EXPECT_TRUE(recorder.notified(res::idStartUnitList, Notification::DoubleClicked, 0));
    // A list box that asks for no keys hears nothing of Delete.
    press(VK_DELETE);
    EXPECT_FALSE(recorder.notified(res::idStartUnitList, Notification::DeletePressed, 0));

    // The menu bar's shortcut, wherever the focus is; Enter in a field does nothing here, as
    // the window has no OK button; Escape asks to close, as it has no Cancel button.
    focus(res::idInput);
    press(VK_F1);
    EXPECT_EQ(recorder.commands, std::vector<int>{res::cmdTarget2First + 3});
    const std::size_t before = recorder.notes.size();
    press(VK_RETURN);
    for (std::size_t i = before; i < recorder.notes.size(); ++i)
        EXPECT_NE(recorder.notes[i].code, Notification::Clicked);
    EXPECT_EQ(recorder.closes, 0);
    press(VK_ESCAPE);
    EXPECT_EQ(recorder.closes, 1);
    EXPECT_FALSE(window.ended());
}

TEST_F(Win32HostWindow, enterAndEscapeInTheEditDialogClickItsButtons)
{
    recorder.onInit = [this] { recorder.host->setFocus(res::idEditFactor); };
    open(res::dialogUnitEdit);
    EXPECT_TRUE(recorder.notified(res::idEditFactor, Notification::FocusGained));
    press(VK_RETURN);
    EXPECT_TRUE(recorder.notified(res::idOk, Notification::Clicked));
    press(VK_ESCAPE);
    EXPECT_TRUE(recorder.notified(res::idCancel, Notification::Clicked));
    EXPECT_EQ(recorder.closes, 0);
    SendMessageW(host->window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(recorder.closes, 1);
}

TEST_F(Win32HostWindow, picturesFontsAndButtonBitmaps)
{
    Win32DialogHost& window = open(res::dialogConverter);
    HWND button = GetDlgItem(window.window(), res::idAddLogButton);
    RECT before{};
    GetWindowRect(button, &before);
    EXPECT_TRUE(window.setButtonBitmap(res::idAddLogButton, res::bitmapAddLog));
    EXPECT_EQ(window.clientSize(res::idAddLogButton), (Size{24, 24}));
    RECT after{};
    GetWindowRect(button, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_FALSE(window.setButtonBitmap(res::idAddLogButton, 999));
    EXPECT_FALSE(window.setButtonBitmap(res::idLogList, res::bitmapAddLog));

    // The picture at the banner's top-left corner, the window's colour beyond it.
    Image picture(4, 3, 0x102030);
    picture.set(0, 0, 0xFF0000);
    window.setPicture(res::idBanner, picture);
    HWND banner = GetDlgItem(window.window(), res::idBanner);
    UpdateWindow(banner);
    HDC context = GetDC(banner);
    EXPECT_EQ(GetPixel(context, 0, 0), RGB(0xFF, 0, 0));
    EXPECT_EQ(GetPixel(context, 3, 2), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(GetPixel(context, 5, 5), GetSysColor(COLOR_3DFACE));
    ReleaseDC(banner, context);

    window.setFont(res::idTip, "Courier New", 16, 700);
    LOGFONTW font{};
    GetObjectW(
        reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(window.window(), res::idTip), WM_GETFONT, 0, 0)),
        sizeof font, &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Courier New");
    EXPECT_EQ(font.lfHeight, -MulDiv(16, GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 72));
    EXPECT_EQ(font.lfWeight, FW_BOLD);
}

TEST_F(Win32HostWindow, contextMenusAndTooltipsNameTheirControl)
{
    Win32DialogHost& window = open(res::dialogConverter);
    HWND units = GetDlgItem(window.window(), res::idEndUnitList);
    SendMessageW(window.window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(units), MAKELPARAM(300, 200));
    SendMessageW(window.window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.window()),
                 MAKELPARAM(10, 20));
    ASSERT_EQ(recorder.menus.size(), 2u);
    EXPECT_EQ(recorder.menus[0], std::pair(res::idEndUnitList, Point{300, 200}));
    EXPECT_EQ(recorder.menus[1].first, 0); // the window itself

    // From the keyboard: over the list's current entry.
    ListControl& list = *window.list(res::idEndUnitList);
    for (const char* text : {"a", "b", "c"})
        list.addEntry(text);
    list.selectIndex(2);
    focus(res::idEndUnitList);
    SendMessageW(window.window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(units), -1);
    ASSERT_EQ(recorder.menus.size(), 3u);
    EXPECT_EQ(recorder.menus[2].first, res::idEndUnitList);
    EXPECT_EQ(list.entryAt(window.toClient(res::idEndUnitList, recorder.menus[2].second)), 2);

    // The tooltip asks the controller for the text of the control under the pointer.
    window.addTooltip(res::idEndUnitList);
    HWND tooltip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND found, LPARAM result) {
            wchar_t name[64] = {};
            GetClassNameW(found, name, 64);
            if (std::wstring(name) == TOOLTIPS_CLASSW)
                *reinterpret_cast<HWND*>(result) = found;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(tooltip, nullptr);
    auto ask = [&] {
        NMTTDISPINFOW request{};
        request.hdr = {tooltip, reinterpret_cast<UINT_PTR>(units), TTN_GETDISPINFOW};
        request.uFlags = TTF_IDISHWND;
        SendMessageW(window.window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
        return std::wstring(request.lpszText ? request.lpszText : L"(none)");
    };
    recorder.tip = "km \xB0";
    EXPECT_EQ(ask(), L"km \u00B0");
    recorder.tip.reset();
    EXPECT_EQ(ask(), L"");
    EXPECT_EQ(recorder.tipsAskedFor, (std::vector<int>{res::idEndUnitList, res::idEndUnitList}));
}

TEST_F(Win32HostWindow, aPopupMenuSendsTheChosenCommandAndAModalDialogDisablesItsOwner)
{
    Win32DialogHost& window = open(res::dialogConverter);
    // The keys wait for the menu's own loop: down to the first item, then Enter.
    PostMessageW(window.window(), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(window.window(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(window.popupMenu(res::menuUnit, {200, 200}));
    EXPECT_EQ(recorder.commands, std::vector<int>{res::cmdAddUnit});
    EXPECT_FALSE(window.popupMenu(999, {200, 200}));

    class Checker final : public DialogController {
      public:
        explicit Checker(HWND owner) : m_owner(owner) {}
        void onAttach(DialogHost& host) override { m_host = &host; }
        bool onInitDialog() override
        {
            m_host->post([this] {
                ownerEnabled = IsWindowEnabled(m_owner) != 0;
                m_host->endDialog(5);
            });
            return true;
        }
        void onNotify(const NotifyMessage&) override {}
        void onCommand(int) override {}
        void onClose() override {}
        bool ownerEnabled = true;

      private:
        HWND m_owner;
        DialogHost* m_host = nullptr;
    } checker(window.window());
    EXPECT_EQ(window.runDialog(res::dialogAbout, checker), 5);
    EXPECT_FALSE(checker.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(window.window()));
    EXPECT_EQ(window.runDialog(999, checker), -1);
}

} // namespace
} // namespace meridal::platform::win32
