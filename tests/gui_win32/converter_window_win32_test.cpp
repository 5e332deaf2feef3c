// SPDX-License-Identifier: GPL-3.0-or-later
// The converter window on Windows as the user meets it: the window and its dialogs made by the
// system from the built resource module, in a scratch folder of their own, driven by the
// messages that the user's actions send - a list's new selection, typed characters, a button's
// click, a menu command, a context menu, the close box - with each modal window met as it shows.
#include "tests/support/temp_folder.h"
#include "tests/support/win32/display_environment.h"
#include "tests/ui/fake_dialog_host.h"

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_text.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <algorithm>
#include <commctrl.h>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>
#include <windows.h>

// The four-part version stamped into this program, as into meridal.exe.
extern "C" const char meridalVersion[];

namespace meridal {
namespace {

namespace fs = std::filesystem;
using platform::MessageResult;
using platform::win32::fromWide;
using platform::win32::Win32Desktop;
using platform::win32::Win32DialogHost;
using Entries = std::vector<std::string>;

// Two dimensions; the window starts on Time, 1 s to min.
const char* const catalogueText = "<root>\n"
                                  "\t<config dim=\"Time\" su=\"s\" eu=\"min\" sv=1/>\n"
                                  "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                                  "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                  "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "\t<dimension label=\"Time\" baseunit=\"s\">\n"
                                  "\t\t<unit label=\"s\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"min\" cf=60 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "</root>\n";

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::wstring wideTextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

std::string textOf(HWND window)
{
    return fromWide(wideTextOf(window));
}

bool isDropDown(HWND list)
{
    wchar_t name[32] = {};
    GetClassNameW(list, name, 32);
    return _wcsicmp(name, L"ComboBox") == 0;
}

// The entries of a list box or drop-down list as the control shows them, top first.
Entries entriesOf(HWND list)
{
    const bool dropDown = isDropDown(list);
    const LRESULT count = SendMessageW(list, dropDown ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    Entries entries;
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        const LRESULT length = SendMessageW(list, dropDown ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(list, dropDown ? CB_GETLBTEXT : LB_GETTEXT, index,
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(std::wcslen(text.c_str()));
        entries.push_back(fromWide(text));
    }
    return entries;
}

// Every line break is CR LF, and no CR stands alone.
bool everyLineEndsInCrLf(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
    }
    return true;
}

LOGFONTW fontOf(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

int pixelsOfPoints(int points)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(points, dpi, 72);
}

// The creation date of this program's file in the user's short form, read from the system.
std::string creationDateOfThisProgram()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME created{}, accessed{}, written{};
    const bool read = file != INVALID_HANDLE_VALUE && GetFileTime(file, &created, &accessed, &written);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    SYSTEMTIME universal{}, local{};
    wchar_t date[80] = {};
    if (!read || !FileTimeToSystemTime(&created, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) ||
        !GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80, nullptr))
        throw std::runtime_error("the creation date of the test program cannot be read");
    return fromWide(date);
}

// Should a modal window never meet the test's watcher (or the system's own message box come
// up), the test would wait for ever: after ten seconds every other window of the thread is
// asked to close and a menu on show ends, and the test fails.
class ModalWatchdog {
  public:
    explicit ModalWatchdog(HWND window)
    {
        s_window = window;
        s_fired = false;
        m_timer = SetTimer(nullptr, 0, 10000, &fire);
    }
    ~ModalWatchdog() { KillTimer(nullptr, m_timer); }
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

    static bool fired() { return s_fired; }

  private:
    static void CALLBACK fire(HWND, UINT, UINT_PTR, DWORD)
    {
        s_fired = true;
        EndMenu();
        EnumThreadWindows(GetCurrentThreadId(), &closeOther, 0);
    }
    static BOOL CALLBACK closeOther(HWND found, LPARAM)
    {
        if (found != s_window && IsWindowVisible(found)) {
            PostMessageW(found, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
            PostMessageW(found, WM_CLOSE, 0, 0);
        }
        return TRUE;
    }

    static inline HWND s_window = nullptr;
    static inline bool s_fired = false;
    UINT_PTR m_timer = 0;
};

// The converter window on the built module, in a scratch folder holding the small catalogue
// above; its message boxes are recorded and answered.
class Win32ConverterWindowTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        m_module = ResourceModule::load("TessaryRes.dll");
        ASSERT_NE(m_module, nullptr) << "the test runs next to the built resource module";
        m_previous = fs::current_path();
        m_folder = test::makeTempFolder("meridal-window");
        fs::current_path(m_folder);
        writeBytes("Meridal.xml", catalogueText);
    }

    void TearDown() override
    {
        // The controller goes before its window, as when the program ends.
        m_dialog.reset();
        m_host.reset();
        if (!m_folder.empty()) {
            fs::current_path(m_previous);
            test::removeTempFolder(m_folder);
        }
    }

    // Makes, initialises and shows the window, and makes it the active one.
    void open()
    {
        m_dialog.reset();
        m_host = std::make_unique<Win32DialogHost>(*m_module, res::dialogConverter, m_desktop);
        if (!m_host->window())
            throw std::runtime_error("the converter window cannot be made");
        m_desktop.setOwner(m_host->window(),
                           [this](std::function<void()> task) { m_host->post(std::move(task)); });
        m_host->setMessageBoxes(m_boxes);
        m_dialog = std::make_unique<CConverterDlg>(*m_module, *m_host);
        if (!m_host->open(*m_dialog))
            throw std::runtime_error("the converter window ended as it opened");
        SetForegroundWindow(m_host->window());
        pumpWaiting();
    }

    // Runs every message that waits, as the window's loop would.
    void pumpWaiting() { test::runWaitingMessages(m_host.get()); }

    HWND window() const { return m_host->window(); }
    HWND control(int id) const
    {
        HWND found = m_host->control(id);
        if (!found)
            throw std::runtime_error("control " + std::to_string(id) + " is missing");
        return found;
    }
    std::string text(int id) const { return textOf(control(id)); }
    Entries entries(int listId) const { return entriesOf(control(listId)); }

    // The user selects the entry `text` of a list: the list selects it and tells its window.
    void choose(int listId, const std::string& text) { chooseIndex(listId, indexOf(listId, text)); }
    void chooseIndex(int listId, int index)
    {
        HWND list = control(listId);
        const bool dropDown = isDropDown(list);
        SendMessageW(list, dropDown ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(window(), WM_COMMAND, MAKEWPARAM(listId, dropDown ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        pumpWaiting();
    }
    int indexOf(int listId, const std::string& text) const
    {
        const Entries all = entries(listId);
        const auto found = std::find(all.begin(), all.end(), text);
        if (found == all.end())
            throw std::runtime_error("list " + std::to_string(listId) + " has no entry " + text);
        return static_cast<int>(found - all.begin());
    }

    // The user types `text` over what the field holds.
    static void typeInto(HWND edit, const std::string& text)
    {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        for (const wchar_t character : platform::win32::toWide(text))
            SendMessageW(edit, WM_CHAR, character, 1);
    }
    void type(int editId, const std::string& text)
    {
        typeInto(control(editId), text);
        pumpWaiting();
    }
    void click(int buttonId)
    {
        SendMessageW(control(buttonId), BM_CLICK, 0, 0);
        pumpWaiting();
    }
    // A menu bar item, as the system sends it.
    void command(int commandId)
    {
        SendMessageW(window(), WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
        pumpWaiting();
    }

    // Runs `start`, which opens modal windows; `act` does what the user does in each as it
    // shows, and ends it. Returns how many showed. A window that `act` leaves open is closed,
    // and m_leftOpen tells of it.
    int duringModal(const std::function<void(Win32DialogHost&)>& act, const std::function<void()>& start)
    {
        int shown = 0;
        m_host->setModalWatcher([&](Win32DialogHost& dialog) {
            ++shown;
            act(dialog);
            if (!dialog.ended()) {
                m_leftOpen = true;
                SendMessageW(dialog.window(), WM_CLOSE, 0, 0);
            }
            if (!dialog.ended())
                dialog.endDialog(IDCANCEL);
        });
        {
            const ModalWatchdog watchdog(window());
            start();
            EXPECT_FALSE(ModalWatchdog::fired()) << "a modal window never met the test";
        }
        m_host->setModalWatcher({});
        return shown;
    }

    std::unique_ptr<Resources> m_module;
    Win32Desktop m_desktop; // the system's: the About box reads this program's file
    test::FakeMessageBoxes m_boxes;
    std::unique_ptr<Win32DialogHost> m_host;
    std::unique_ptr<CConverterDlg> m_dialog;
    bool m_leftOpen = false;
    fs::path m_folder;
    fs::path m_previous;
};

TEST_F(Win32ConverterWindowTest, aConversionFollowsTheListsTheTypedValueAndTheNotation)
{
    open();
    const std::string allUnits = m_module->string(res::strAllUnits);
    EXPECT_EQ(entries(res::idDimensionList), (Entries{allUnits, "Length", "Time"}));
    EXPECT_EQ(text(res::idDimensionList), "Time");
    EXPECT_EQ(text(res::idOutput), "0.016667"); // the remembered 1 s in min

    choose(res::idDimensionList, "Length");
    EXPECT_EQ(entries(res::idStartUnitList), (Entries{"ft", "in", "m"}));
    choose(res::idStartUnitList, "in");
    choose(res::idEndUnitList, "m");
    type(res::idInput, "1x2"); // the letter is dropped as it is typed
    EXPECT_EQ(text(res::idInput), "12");
    EXPECT_EQ(text(res::idOutput), "0.304800");
    EXPECT_EQ(text(res::idEndCaption), "m");
    choose(res::idEndUnitList, "ft");
    EXPECT_EQ(text(res::idOutput), "1.000000");
    EXPECT_EQ(text(res::idStartCaption), "in");
    EXPECT_EQ(text(res::idEndCaption), "ft");

    // The notation command of the View menu: its check mark and the result follow.
    HMENU bar = GetMenu(window());
    ASSERT_NE(bar, nullptr);
    command(res::cmdToggleNotation);
    EXPECT_EQ(text(res::idOutput), "1.000000e+000");
    EXPECT_TRUE(GetMenuState(bar, res::cmdToggleNotation, MF_BYCOMMAND) & MF_CHECKED);
    command(res::cmdToggleNotation);
    EXPECT_EQ(text(res::idOutput), "1.000000");
    EXPECT_FALSE(GetMenuState(bar, res::cmdToggleNotation, MF_BYCOMMAND) & MF_CHECKED);

    // Under the all-units entry the start list holds every unit; a start unit narrows the end
    // list to its own dimension.
    choose(res::idDimensionList, allUnits);
    EXPECT_EQ(entries(res::idStartUnitList), (Entries{"ft", "in", "m", "min", "s"}));
    choose(res::idStartUnitList, "min");
    EXPECT_EQ(entries(res::idEndUnitList), (Entries{"min", "s"}));
    EXPECT_TRUE(m_boxes.shown.empty());
}

TEST_F(Win32ConverterWindowTest, theLogButtonsAddRestoreDeleteAndClearAfterTheirQuestion)
{
    writeBytes("log.txt", "1 ft  =  12.000000 in\r\n");
    open();
    EXPECT_EQ(entries(res::idLogList), (Entries{"1 ft  =  12.000000 in"}));

    click(res::idAddLogButton);
    EXPECT_EQ(entries(res::idLogList), (Entries{"1 s  =  0.016667 min", "1 ft  =  12.000000 in"}));

    chooseIndex(res::idLogList, 1);
    click(res::idRestoreLogButton);
    EXPECT_EQ(text(res::idDimensionList), "Length");
    EXPECT_EQ(text(res::idInput), "1");
    EXPECT_EQ(text(res::idOutput), "12.000000");
    EXPECT_EQ(text(res::idStartCaption), "ft");
    EXPECT_EQ(text(res::idEndCaption), "in");

    chooseIndex(res::idLogList, 0);
    click(res::idDeleteLogButton);
    EXPECT_EQ(entries(res::idLogList), (Entries{"1 ft  =  12.000000 in"}));
    EXPECT_TRUE(m_boxes.shown.empty());

    // The question before the list is cleared: No keeps it, Yes empties it.
    m_boxes.answers = {MessageResult::No, MessageResult::Yes};
    click(res::idClearLogButton);
    EXPECT_EQ(entries(res::idLogList), (Entries{"1 ft  =  12.000000 in"}));
    click(res::idClearLogButton);
    EXPECT_EQ(entries(res::idLogList), Entries{});
    ASSERT_EQ(m_boxes.shown.size(), 2u);
    EXPECT_EQ(m_boxes.shown[0].text, m_module->string(res::strClearLogQuestion));
    EXPECT_EQ(m_boxes.shown[0].caption, m_module->string(res::strClearLogCaption));
    EXPECT_EQ(m_boxes.shown[0].buttons, platform::MessageButtons::YesNo);

    SendMessageW(window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(readBytes("log.txt"), "");
}

// A right click over a list shows its menu, whose first item's command reaches the window:
// the edit dialog opens for a new unit, or a new dimension.
TEST_F(Win32ConverterWindowTest, aContextMenuCommandReachesTheWindow)
{
    open();
    choose(res::idDimensionList, "Length");
    const struct {
        int listId;
        unsigned caption;
        int contextList;
    } cases[] = {
        {res::idEndUnitList, res::strEditCaptionFirst + 2, 1},   // New Unit
        {res::idStartUnitList, res::strEditCaptionFirst + 2, 0}, // New Unit
        {res::idDimensionList, res::strEditCaptionFirst, 0},     // New Dimension
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listId);
        HWND list = control(c.listId);
        RECT area{};
        GetWindowRect(list, &area);
        const POINT at{area.left + 12, area.top + 6}; // over the first entry, or the drop-down's text
        std::string caption;
        // The menu's own loop finds the keys waiting: down to the first item, then Enter.
        PostMessageW(window(), WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(window(), WM_KEYDOWN, VK_RETURN, 1);
        const int shown = duringModal(
            [&](Win32DialogHost& dialog) {
                caption = textOf(dialog.window());
                SendMessageW(dialog.control(res::idCancel), BM_CLICK, 0, 0);
            },
            [&] {
                SendMessageW(window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                             MAKELPARAM(at.x, at.y));
            });
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(caption, m_module->string(c.caption));
        EXPECT_EQ(m_dialog->contextList(), c.contextList);
    }
    EXPECT_FALSE(m_leftOpen);
    EXPECT_TRUE(m_boxes.shown.empty());
    EXPECT_EQ(m_dialog->catalogue().unitCount(), 5u);
}

TEST_F(Win32ConverterWindowTest, aNewUnitFromTheEditDialogReachesTheListsAndTheFileAtClose)
{
    open();
    choose(res::idDimensionList, "Length");
    struct {
        std::string caption, dimension, offset;
        bool focusOnUnit = false;
        bool dimensionReadOnly = false;
        bool unitWritable = false;
    } seen;
    const int shown = duringModal(
        [&](Win32DialogHost& dialog) {
            seen.caption = textOf(dialog.window());
            seen.dimension = textOf(dialog.control(res::idEditDimension));
            seen.offset = textOf(dialog.control(res::idEditOffset));
            seen.focusOnUnit = GetFocus() == dialog.control(res::idEditUnit);
            seen.dimensionReadOnly =
                GetWindowLongW(dialog.control(res::idEditDimension), GWL_STYLE) & ES_READONLY;
            seen.unitWritable = !(GetWindowLongW(dialog.control(res::idEditUnit), GWL_STYLE) & ES_READONLY);
            typeInto(dialog.control(res::idEditUnit), "yd");
            typeInto(dialog.control(res::idEditFactor), "0.9144");
            SendMessageW(dialog.control(res::idOk), BM_CLICK, 0, 0);
        },
        [&] { command(res::cmdAddUnit2); });
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(m_leftOpen);
    EXPECT_EQ(seen.caption, m_module->string(res::strEditCaptionFirst + 2));
    EXPECT_EQ(seen.dimension, "Length");
    EXPECT_EQ(seen.offset, m_module->string(res::strDefaultOffset));
    EXPECT_TRUE(seen.focusOnUnit);
    EXPECT_TRUE(seen.dimensionReadOnly);
    EXPECT_TRUE(seen.unitWritable);
    EXPECT_TRUE(m_boxes.shown.empty());
    EXPECT_TRUE(IsWindowEnabled(window()));

    EXPECT_EQ(entries(res::idStartUnitList), (Entries{"ft", "in", "m", "yd"}));
    choose(res::idStartUnitList, "yd");
    choose(res::idEndUnitList, "ft");
    type(res::idInput, "1");
    EXPECT_EQ(text(res::idOutput), "3.000000");

    SendMessageW(window(), WM_CLOSE, 0, 0);
    EXPECT_NE(readBytes("Meridal.xml")
                  .find("\t<dimension label=\"Length\" baseunit=\"m\">\r\n"
                        "\t\t<unit label=\"m\" cf=1 offset=0/>\r\n"
                        "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\r\n"
                        "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\r\n"
                        "\t\t<unit label=\"yd\" cf=0.9144 offset=0/>\r\n"
                        "\t</dimension>\r\n"),
              std::string::npos)
        << readBytes("Meridal.xml");
}

TEST_F(Win32ConverterWindowTest, theEditDialogRefusesAnEmptyFieldAndStaysOpen)
{
    open();
    choose(res::idDimensionList, "Length");
    bool stayedOpen = false;
    const int shown = duringModal(
        [&](Win32DialogHost& dialog) {
            typeInto(dialog.control(res::idEditUnit), "yd"); // no factor
            SendMessageW(dialog.control(res::idOk), BM_CLICK, 0, 0);
            stayedOpen = !dialog.ended() && IsWindowVisible(dialog.window());
            SendMessageW(dialog.control(res::idCancel), BM_CLICK, 0, 0);
        },
        [&] { command(res::cmdAddUnit2); });
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(m_leftOpen);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(m_boxes.shown.size(), 1u);
    EXPECT_EQ(m_boxes.shown[0].text, m_module->string(res::strEditFieldEmpty));
    EXPECT_EQ(m_boxes.shown[0].caption, m_module->string(res::strErrorCaption));
    EXPECT_EQ(m_boxes.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(entries(res::idStartUnitList), (Entries{"ft", "in", "m"}));
    EXPECT_EQ(m_dialog->catalogue().unitCount(), 5u);
}

TEST_F(Win32ConverterWindowTest, theAboutBoxShowsTheTitleAndThisProgramsDateAndVersion)
{
    open();
    struct {
        std::string caption, copyright, line;
        std::wstring title;
        LOGFONTW titleFont{}, boldFont{}, plainFont{};
    } seen;
    const int shown = duringModal(
        [&](Win32DialogHost& dialog) {
            seen.caption = textOf(dialog.window());
            seen.title = wideTextOf(dialog.control(1034));
            seen.copyright = textOf(dialog.control(1035));
            seen.line = textOf(dialog.control(1039));
            seen.titleFont = fontOf(dialog.control(1034));
            seen.boldFont = fontOf(dialog.control(1036));
            seen.plainFont = fontOf(dialog.control(1038));
            SendMessageW(dialog.control(res::idOk), BM_CLICK, 0, 0);
        },
        [&] { command(res::cmdAbout); });
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(m_leftOpen);
    EXPECT_EQ(seen.caption, "About Meridal");
    EXPECT_EQ(seen.title, L"Meridal\u00AE v2.1");
    EXPECT_EQ(seen.copyright, m_module->string(res::strAboutCopyright));
    // The version is this program's version resource, stamped as meridal.exe's is.
    EXPECT_TRUE(std::regex_match(meridalVersion, std::regex(R"(2\.1\.0\.[0-9]+)"))) << meridalVersion;
    EXPECT_EQ(seen.line, creationDateOfThisProgram() + " [" + meridalVersion + "]");
    EXPECT_EQ(seen.titleFont.lfHeight, -pixelsOfPoints(16));
    EXPECT_EQ(std::wstring(seen.titleFont.lfFaceName), L"Tahoma");
    EXPECT_EQ(seen.boldFont.lfWeight, FW_BOLD);
    EXPECT_EQ(seen.plainFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(seen.plainFont.lfHeight, -pixelsOfPoints(8));
    EXPECT_TRUE(m_boxes.shown.empty());
    EXPECT_FALSE(m_host->ended());
}

// The close box, Escape and File > Exit each save: the catalogue with the selection of the
// moment, and the log, both with CR LF line ends.
TEST_F(Win32ConverterWindowTest, closingWritesTheCatalogueWithTheSelectionAndTheLog)
{
    const struct {
        const char* way;
        std::function<void(HWND)> close;
    } ways[] = {
        {"the close box", [](HWND window) { SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Escape",
         [](HWND) {
             PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
             PostMessageW(GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
         }},
        {"File > Exit",
         [](HWND window) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(res::cmdExit, 0), 0); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        writeBytes("Meridal.xml", catalogueText);
        writeBytes("log.txt", "1 ft  =  12.000000 in\n");
        open();
        choose(res::idDimensionList, "Length");
        choose(res::idStartUnitList, "in");
        choose(res::idEndUnitList, "ft");
        SetFocus(control(res::idInput));
        type(res::idInput, "12");
        click(res::idAddLogButton);
        close(window());
        pumpWaiting();
        EXPECT_TRUE(m_host->ended());

        const std::string saved = readBytes("Meridal.xml");
        EXPECT_NE(saved.find("\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\r\n"), std::string::npos)
            << saved;
        EXPECT_TRUE(everyLineEndsInCrLf(saved));
        EXPECT_EQ(readBytes("log.txt"), "12 in  =  1.000000 ft\r\n1 ft  =  12.000000 in\r\n");
        EXPECT_TRUE(m_boxes.shown.empty());
    }
}

} // namespace
} // namespace meridal
