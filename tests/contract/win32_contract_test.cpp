// SPDX-License-Identifier: GPL-3.0-or-later
// The platform contract on the Win32 host, with the system's own controls (under Wine in CI).
// The user's actions are the messages the system would send the controls: mouse buttons at a
// point, characters, a button's click.
#include "tests/contract/platform_contract.h"
#include "tests/support/fake_resources.h"
#include "tests/support/win32/display_environment.h"
#include "tests/ui/fake_dialog_host.h"

#include "platform/win32/dialog_template.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_system.h"
#include "resources/resource_ids.h"

#include <commctrl.h>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <windows.h>

namespace meridal::contract {
namespace {

using platform::win32::DialogItem;
using platform::win32::DialogTemplate;

constexpr unsigned contractLayout = 400;

DialogItem item(std::uint16_t windowClass, int id, std::uint32_t style, std::int16_t x, std::int16_t y,
                std::int16_t cx, std::int16_t cy, std::u16string text = {})
{
    DialogItem made;
    made.style = style | WS_CHILD | WS_VISIBLE;
    made.x = x;
    made.y = y;
    made.cx = cx;
    made.cy = cy;
    made.id = static_cast<std::uint32_t>(id);
    made.windowClass.ordinal = windowClass;
    made.title.name = std::move(text);
    return made;
}

// The contract window, its controls in the tab order the contract gives.
std::string contractTemplate()
{
    DialogTemplate dialog;
    dialog.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dialog.cx = 160;
    dialog.cy = 190;
    dialog.title = u"Contract";
    dialog.pointSize = 8;
    dialog.weight = 400;
    dialog.typeface = u"Tahoma";
    dialog.items = {
        item(0x85, dropDownId, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 8, 8, 120, 100),
        item(0x83, listBoxId, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_BORDER, 8, 26,
             120, 100),
        item(0x81, editId, ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 8, 130, 120, 14),
        item(0x82, pictureId, SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY, 8, 148, 24, 16),
        item(0x80, buttonId, BS_PUSHBUTTON | WS_TABSTOP, 8, 168, 50, 14, u"Button"),
    };
    const std::vector<std::uint32_t> words = platform::win32::writeDialogTemplate(dialog);
    return std::string(reinterpret_cast<const char*>(words.data()), words.size() * sizeof(std::uint32_t));
}

class Win32HostMaker {
  public:
    Win32HostMaker()
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    platform::DialogHost& open(platform::DialogController& controller)
    {
        m_host = std::make_unique<platform::win32::Win32DialogHost>(m_resources, contractLayout, m_desktop);
        if (!m_host->window())
            throw std::runtime_error("the contract window cannot be made");
        if (m_messages)
            m_host->setMessageBoxes(*m_messages);
        if (m_host->open(controller)) {
            SetForegroundWindow(m_host->window());
            if (GetForegroundWindow() != m_host->window())
                throw std::runtime_error("the contract window does not become active");
        }
        pump();
        return *m_host;
    }
    void close() { m_host.reset(); }
    int runWindow(const platform::WindowSystem::ControllerFactory& makeController)
    {
        return platform::win32::runWindow(m_resources, contractLayout, makeController, m_desktop);
    }
    void recordMessages(platform::MessageBoxes& boxes) { m_messages = &boxes; }

    void clickEntry(int listId, int index) { click(listId, index, 0); }
    void controlClickEntry(int listId, int index) { click(listId, index, MK_CONTROL); }
    void clickBelowEntries(int listId)
    {
        HWND list = control(listId);
        const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        RECT last{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
        const POINT below{last.left + 4, last.bottom + (last.bottom - last.top)};
        RECT area{};
        GetClientRect(list, &area);
        if (below.y >= area.bottom)
            throw std::runtime_error("the list box has no room below its entries");
        mouseClick(list, below, 0);
    }
    void type(int editId, const std::string& text) { typeInto(control(editId), text); }
    void typeAtFocus(const std::string& text)
    {
        HWND focus = GetFocus();
        if (!focus)
            throw std::runtime_error("no window has the keyboard focus");
        typeInto(focus, text);
    }
    void pressButton(int buttonId) { SendMessageW(control(buttonId), BM_CLICK, 0, 0); }
    void exposePicture(int pictureId)
    {
        // The window's part under the picture needs painting again, as when a window that
        // covered it goes away.
        RECT area{};
        GetWindowRect(control(pictureId), &area);
        MapWindowPoints(nullptr, m_host->window(), reinterpret_cast<POINT*>(&area), 2);
        RedrawWindow(m_host->window(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    void pump() { test::runMessagesUntilQuiet(m_host.get()); }

  private:
    HWND control(int id) const
    {
        HWND found = m_host ? m_host->control(id) : nullptr;
        if (!found)
            throw std::runtime_error("control " + std::to_string(id) + " is missing");
        return found;
    }

    static void mouseClick(HWND target, POINT at, WPARAM keys)
    {
        const LPARAM position = MAKELPARAM(at.x, at.y);
        SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON | keys, position);
        SendMessageW(target, WM_LBUTTONUP, keys, position);
    }

    static POINT middle(const RECT& area)
    {
        return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    }

    void click(int listId, int index, WPARAM keys)
    {
        HWND list = control(listId);
        RECT entry{};
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (!GetComboBoxInfo(list, &info)) {
            SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
            mouseClick(list, middle(entry), keys);
            return;
        }
        // A drop-down list: opened, and the entry clicked in the list it shows.
        SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
        pump();
        SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&entry));
        const POINT at = middle(entry);
        SendMessageW(info.hwndList, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        mouseClick(info.hwndList, at, keys);
    }

    static void typeInto(HWND target, const std::string& text)
    {
        for (const wchar_t character : platform::win32::toWide(text))
            SendMessageW(target, WM_CHAR, character, 1);
    }

    test::FakeResources m_resources =
        test::FakeResources().set(res::typeDialog, contractLayout, contractTemplate());
    test::FakeDesktop m_desktop;
    platform::MessageBoxes* m_messages = nullptr;
    std::unique_ptr<platform::win32::Win32DialogHost> m_host;
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, PlatformContract, Win32HostMaker);

} // namespace meridal::contract
