// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/win32_dialog_host.h"

#include "platform/call_depth.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/win32_pictures.h"
#include "platform/win32/win32_text.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"

#include <algorithm>
#include <commctrl.h>
#include <iostream>
#include <new>
#include <windowsx.h>

namespace meridal::platform::win32 {

namespace {

// The message that tells the window a task is waiting.
constexpr UINT postedTaskMessage = WM_APP + 1;
constexpr UINT_PTR pictureSubclass = 1;
constexpr UINT_PTR tooltipListSubclass = 2;
constexpr int okId = IDOK;
constexpr int cancelId = IDCANCEL;

bool isKind(int kind, ControlKind wanted)
{
    return kind == static_cast<int>(wanted);
}

// The text of a failure that reached the host, on one line of standard error. Nothing here
// allocates: the failure may be a lack of memory.
void tellStandardError(const char* what)
{
    std::cerr << "meridal: ";
    for (const char* at = what; *at != '\0'; ++at)
        std::cerr.put(*at == '\n' || *at == '\r' ? ' ' : *at);
    std::cerr << std::endl;
}

// The system's own text for an error code, without its line break.
std::string systemMessage(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message =
        length && text ? std::wstring(text, length) : std::wstring(L"Error ") + std::to_wstring(error);
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    return fromWide(message);
}

// The window's dots per inch, for fonts of a point size.
UINT dotsPerInch(HWND window)
{
    using DpiForWindow = UINT(WINAPI*)(HWND);
    // Windows 10 and later; earlier systems have one resolution for every window.
    static const auto forWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow) {
        if (const UINT dpi = forWindow(window))
            return dpi;
    }
    HDC context = GetDC(window);
    const int dpi = context ? GetDeviceCaps(context, LOGPIXELSY) : 96;
    if (context)
        ReleaseDC(window, context);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The template as the system is to make it (see the class comment); `sorted` receives the lists
// that the host sorts, `menu` the menu the template named.
std::vector<std::uint32_t> prepareTemplate(DialogTemplate dialog, std::set<unsigned>& sorted, unsigned& menu)
{
    menu = dialog.menu.ordinal;
    dialog.menu = {};
    dialog.style &= ~static_cast<std::uint32_t>(WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE);
    for (DialogItem& item : dialog.items) {
        if (item.kind() == ControlKind::ListBox && (item.style & LBS_SORT)) {
            item.style &= ~static_cast<std::uint32_t>(LBS_SORT);
            sorted.insert(item.id);
        } else if (item.kind() == ControlKind::ComboBox && (item.style & CBS_SORT)) {
            item.style &= ~static_cast<std::uint32_t>(CBS_SORT);
            sorted.insert(item.id);
        }
    }
    return writeDialogTemplate(dialog);
}

} // namespace

Win32DialogHost::Win32DialogHost(const Resources& resources, unsigned layoutId, Desktop& desktop, HWND owner)
    : m_resources(&resources), m_desktop(desktop), m_owner(owner)
{
    build(resources, layoutId, owner);
}

void Win32DialogHost::build(const Resources& resources, unsigned layoutId, HWND owner)
{
    const auto bytes = resources.find(res::typeDialog, layoutId);
    const auto dialog = bytes ? readDialogTemplate(*bytes) : std::nullopt;
    if (!dialog) {
        tellStandardError("the window's dialog template is missing or cannot be read");
        return;
    }
    std::set<unsigned> sorted;
    unsigned menu = 0;
    const std::vector<std::uint32_t> prepared = prepareTemplate(*dialog, sorted, menu);
    m_window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                          reinterpret_cast<LPCDLGTEMPLATEW>(prepared.data()), owner,
                                          dialogProc, reinterpret_cast<LPARAM>(this));
    if (!m_window) {
        tellStandardError(systemMessage(GetLastError()).c_str());
        return;
    }
    m_messageBoxes = Win32MessageBoxes(m_window);
    m_clipboard.setOwner(m_window);
    for (const DialogItem& item : dialog->items)
        bindControl(item, sorted);
    if (menu != 0)
        attachMenu(menu);
    m_bigIcon = loadIcon(resources, res::iconMain, GetSystemMetrics(SM_CXICON));
    m_smallIcon = loadIcon(resources, res::iconMain, GetSystemMetrics(SM_CXSMICON));
    if (m_bigIcon)
        SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    if (m_smallIcon)
        SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

void Win32DialogHost::bindControl(const DialogItem& item, const std::set<unsigned>& sorted)
{
    const auto id = static_cast<int>(item.id & 0xFFFF);
    if (id == 0xFFFF || id == 0)
        return; // a label or a frame that the program never names
    HWND handle = GetDlgItem(m_window, id);
    if (!handle)
        return;
    const ControlKind kind = item.kind();
    m_controls[id] = {handle, static_cast<int>(kind), item.style};
    const bool isSorted = sorted.count(item.id) != 0;
    switch (kind) {
    case ControlKind::ListBox:
        m_listBoxes[id] = std::make_unique<Win32ListBox>(handle, isSorted, static_cast<RedrawBatch&>(*this));
        break;
    case ControlKind::ComboBox:
        m_combos[id] = std::make_unique<Win32ComboList>(handle, isSorted, static_cast<RedrawBatch&>(*this));
        break;
    case ControlKind::Edit:
        m_edits[id] =
            std::make_unique<Win32EditField>(handle, [this, id] { notify(id, Notification::TextChanged); });
        break;
    case ControlKind::Static:
        if ((item.style & SS_TYPEMASK) == SS_BITMAP) {
            // A picture control: the host draws what the program gives it.
            m_pictures[id] = {};
            SetWindowSubclass(handle, pictureProc, pictureSubclass, reinterpret_cast<DWORD_PTR>(this));
        } else {
            m_texts[id] = std::make_unique<Win32TextField>(handle);
        }
        break;
    default:
        break;
    }
}

void Win32DialogHost::attachMenu(unsigned menuId)
{
    HMENU bar = m_resources ? win32::loadMenu(*m_resources, menuId) : nullptr;
    if (!bar)
        return;
    RECT client{};
    GetClientRect(m_window, &client);
    if (!SetMenu(m_window, bar)) {
        DestroyMenu(bar);
        return;
    }
    m_accelerators = loadAccelerators(*m_resources, menuId);
    // The window grows by the menu bar, so that the client area keeps the template's size; a
    // bar that wraps onto a second line is measured once it is in place.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT now{};
        GetClientRect(m_window, &now);
        const LONG grow = (client.bottom - client.top) - (now.bottom - now.top);
        if (grow == 0)
            break;
        RECT window{};
        GetWindowRect(m_window, &window);
        // Centred where the template placed it, never above the top of the screen.
        SetWindowPos(m_window, nullptr, window.left, std::max<LONG>(window.top - grow / 2, 0),
                     window.right - window.left, window.bottom - window.top + grow,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Win32DialogHost::~Win32DialogHost()
{
    m_controller = nullptr;
    {
        const std::lock_guard<std::mutex> lock(m_postMutex);
        m_postOpen = false;
        m_posted.clear();
    }
    if (m_window) {
        for (const auto& [id, picture] : m_pictures)
            RemoveWindowSubclass(control(id), pictureProc, pictureSubclass);
        for (const auto& [list, entry] : m_tooltipEntries)
            RemoveWindowSubclass(list, tooltipListProc, tooltipListSubclass);
        SetWindowLongPtrW(m_window, DWLP_USER, 0);
        DestroyWindow(m_window); // the menu bar and the tooltip control go with it
        m_window = nullptr;
    }
    for (auto& [id, picture] : m_pictures) {
        if (picture.bitmap)
            DeleteObject(picture.bitmap);
    }
    for (HBITMAP bitmap : m_buttonBitmaps)
        DeleteObject(bitmap);
    for (HFONT font : m_fonts)
        DeleteObject(font);
    if (m_accelerators)
        DestroyAcceleratorTable(m_accelerators);
    if (m_bigIcon)
        DestroyIcon(m_bigIcon);
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
}

HWND Win32DialogHost::control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second.handle;
}

ListControl* Win32DialogHost::list(int id)
{
    if (const auto box = m_listBoxes.find(id); box != m_listBoxes.end())
        return box->second.get();
    if (const auto combo = m_combos.find(id); combo != m_combos.end())
        return combo->second.get();
    return nullptr;
}

EditField* Win32DialogHost::edit(int id)
{
    const auto found = m_edits.find(id);
    return found == m_edits.end() ? nullptr : found->second.get();
}

TextField* Win32DialogHost::text(int id)
{
    const auto found = m_texts.find(id);
    return found == m_texts.end() ? nullptr : found->second.get();
}

// ---------------------------------------------------------------------------------------
// Running

bool Win32DialogHost::initialise(DialogController& controller)
{
    m_controller = &controller;
    m_ended = false;
    m_result = 0;
    {
        const std::lock_guard<std::mutex> lock(m_postMutex);
        m_postOpen = true;
    }
    controller.onAttach(*this);
    bool initialised = false;
    handle([&] { initialised = controller.onInitDialog(); });
    if (!initialised && !m_ended)
        endDialog(-1);
    return !m_ended;
}

void Win32DialogHost::show()
{
    ShowWindow(m_window, SW_SHOW);
    // The controller's choice of the first focus, or the first control in the tab order.
    HWND focus = m_firstFocus ? m_firstFocus : GetNextDlgTabItem(m_window, nullptr, FALSE);
    m_firstFocus = nullptr;
    if (focus)
        SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    UpdateWindow(m_window);
}

int Win32DialogHost::exec(DialogController& controller)
{
    if (!m_window)
        return -1;
    if (initialise(controller)) {
        // The window that owns this one takes no input until it ends.
        const bool disableOwner = m_owner && IsWindowEnabled(m_owner);
        if (disableOwner)
            EnableWindow(m_owner, FALSE);
        show();
        if (m_modalWatcher)
            m_modalWatcher(*this);
        m_running = true;
        runLoop();
        m_running = false;
        if (disableOwner)
            EnableWindow(m_owner, TRUE);
        // Hidden, not destroyed: the controller may still read its controls. The owner
        // becomes the active window again, as the system's own modal dialogs hand it back.
        SetWindowPos(m_window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (m_window == GetActiveWindow() && m_owner)
            SetForegroundWindow(m_owner);
    }
    m_controller = nullptr;
    return m_result;
}

bool Win32DialogHost::open(DialogController& controller)
{
    if (!m_window || !initialise(controller)) {
        m_controller = nullptr;
        return false;
    }
    show();
    return true;
}

bool Win32DialogHost::preTranslate(MSG& message)
{
    if (!m_window || !message.hwnd)
        return false;
    const bool ours = message.hwnd == m_window || IsChild(m_window, message.hwnd);
    if (ours && m_accelerators && TranslateAcceleratorW(m_window, m_accelerators, &message))
        return true;
    return ours && IsDialogMessageW(m_window, &message);
}

void Win32DialogHost::runLoop()
{
    MSG message{};
    while (!m_ended) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // A quit request ends this window's loop and every loop around it.
            m_ended = true;
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (preTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32DialogHost::close()
{
    closeRequested();
}

bool Win32DialogHost::closeRequested()
{
    if (!m_controller)
        return false;
    handle([&] { m_controller->onClose(); });
    return true;
}

void Win32DialogHost::endDialog(int result)
{
    m_ended = true;
    m_result = result;
    {
        const std::lock_guard<std::mutex> lock(m_postMutex);
        m_postOpen = false;
        m_posted.clear();
    }
    // Wakes the loop, which then sees that the window has ended.
    if (m_running && m_window)
        PostMessageW(m_window, WM_NULL, 0, 0);
}

// ---------------------------------------------------------------------------------------
// Messages

INT_PTR CALLBACK Win32DialogHost::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* host = reinterpret_cast<Win32DialogHost*>(lParam);
        host->m_window = window;
        // The focus is chosen when the window shows, by its controller or the tab order.
        return FALSE;
    }
    auto* host = reinterpret_cast<Win32DialogHost*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!host)
        return FALSE;
    return host->onMessage(message, wParam, lParam);
}

INT_PTR Win32DialogHost::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommandMessage(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_CLOSE:
        if (!closeRequested())
            return FALSE;
        return TRUE;
    case WM_CONTEXTMENU:
        onContextMenuMessage(reinterpret_cast<HWND>(wParam), lParam);
        return TRUE;
    case WM_NOTIFY:
        onTooltipRequest(reinterpret_cast<NMHDR*>(lParam));
        return FALSE;
    case WM_TIMER:
        if (m_controller)
            handle([&] { m_controller->onTimer(static_cast<int>(wParam)); });
        return TRUE;
    case WM_PAINT: {
        // The window paints as a dialog does, then tells its controller.
        PAINTSTRUCT paint;
        if (BeginPaint(m_window, &paint))
            EndPaint(m_window, &paint);
        if (m_controller)
            handle([&] { m_controller->onPaint(); });
        return TRUE;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT || !m_controller)
            return FALSE;
        m_cursor = nullptr;
        handle([&] { m_controller->onSetCursor(); });
        if (!m_cursor)
            return FALSE;
        SetCursor(m_cursor);
        SetWindowLongPtrW(m_window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_VKEYTOITEM: {
        // The Delete key on a list box that asks for its keys (LBS_WANTKEYBOARDINPUT).
        const int id = idOf(reinterpret_cast<HWND>(lParam));
        const auto box = m_listBoxes.find(id);
        const bool plain =
            GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
        if (LOWORD(wParam) != VK_DELETE || box == m_listBoxes.end() || !plain)
            return -1;
        const int selected = box->second->selectedIndex();
        if (selected >= 0)
            notify(id, Notification::DeletePressed, selected);
        return -2;
    }
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_bigIcon);
    case postedTaskMessage:
        runPosted();
        return TRUE;
    default:
        return FALSE;
    }
}

void Win32DialogHost::onCommandMessage(int id, int code, HWND from)
{
    if (from) {
        onControlNotification(id, code, from);
        return;
    }
    // No control: Enter or Escape through the dialog manager (where the window has no such
    // button), a menu item or a keyboard shortcut.
    if (id == okId && code == BN_CLICKED)
        enterPressed();
    else if (id == cancelId && code == BN_CLICKED)
        escapePressed();
    else
        command(id);
}

void Win32DialogHost::onControlNotification(int id, int code, HWND from)
{
    const auto found = m_controls.find(id);
    if (found == m_controls.end() || found->second.handle != from)
        return;
    const int kind = found->second.kind;
    if (isKind(kind, ControlKind::Button)) {
        if (code != BN_CLICKED)
            return;
        if (id == okId)
            enterPressed(); // Enter on a list box's entry, or the OK button
        else
            notify(id, Notification::Clicked);
    } else if (isKind(kind, ControlKind::Static)) {
        if (code == STN_CLICKED || code == STN_DBLCLK)
            notify(id, Notification::Clicked);
    } else if (isKind(kind, ControlKind::Edit)) {
        switch (code) {
        case EN_CHANGE:
            m_edits.at(id)->changeArrived();
            notify(id, Notification::TextChanged);
            break;
        case EN_SETFOCUS:
            if (m_focusedEdit != id) {
                m_focusedEdit = id;
                notify(id, Notification::FocusGained);
            }
            break;
        case EN_KILLFOCUS:
            if (m_focusedEdit == id) {
                m_focusedEdit = -1;
                notify(id, Notification::FocusLost);
            }
            break;
        default:
            break;
        }
    } else if (isKind(kind, ControlKind::ListBox)) {
        Win32ListBox& box = *m_listBoxes.at(id);
        if (code == LBN_SELCHANGE && box.userChanged())
            notify(id, Notification::SelectionChanged);
        else if (code == LBN_DBLCLK && box.selectedIndex() >= 0)
            notify(id, Notification::DoubleClicked, box.selectedIndex());
    } else if (isKind(kind, ControlKind::ComboBox)) {
        if (code == CBN_SELCHANGE && m_combos.at(id)->userChanged())
            notify(id, Notification::SelectionChanged);
    }
}

void Win32DialogHost::enterPressed()
{
    // On a list box's selected entry, Enter does what a double click does.
    const int focused = idOf(GetFocus());
    if (const auto box = m_listBoxes.find(focused); box != m_listBoxes.end()) {
        const int selected = box->second->selectedIndex();
        if (selected >= 0)
            notify(focused, Notification::DoubleClicked, selected);
        return;
    }
    // Elsewhere it clicks the OK button, where the window has one, and never ends it otherwise.
    if (control(okId))
        notify(okId, Notification::Clicked);
}

void Win32DialogHost::escapePressed()
{
    // Escape: the Cancel button where the window has one, else the close message; the
    // controller decides whether the window ends.
    if (control(cancelId))
        notify(cancelId, Notification::Clicked);
    else
        closeRequested();
}

int Win32DialogHost::idOf(HWND window) const
{
    for (HWND at = window; at && at != m_window; at = GetParent(at)) {
        if (GetParent(at) == m_window) {
            const int id = GetDlgCtrlID(at);
            return m_controls.count(id) ? id : 0;
        }
    }
    return 0;
}

void Win32DialogHost::onContextMenuMessage(HWND target, LPARAM position)
{
    if (!m_controller)
        return;
    int id = idOf(target);
    Point at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {
        // From the keyboard (the Menu key, Shift+F10): over the current entry of a list box
        // that has the focus, else over the middle of the focused control or of the window.
        HWND focus = GetFocus();
        id = idOf(focus);
        HWND origin = id ? control(id) : m_window;
        RECT area{};
        GetClientRect(origin, &area);
        if (m_listBoxes.count(id)) {
            const auto current = SendMessageW(origin, LB_GETCARETINDEX, 0, 0);
            RECT entry{};
            if (current >= 0 && SendMessageW(origin, LB_GETITEMRECT, static_cast<WPARAM>(current),
                                             reinterpret_cast<LPARAM>(&entry)) != LB_ERR)
                area = entry;
        }
        POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        ClientToScreen(origin, &middle);
        at = {middle.x, middle.y};
    }
    handle([&] { m_controller->onContextMenu(id, at); });
}

void Win32DialogHost::onTooltipRequest(NMHDR* header)
{
    if (!header || !m_tooltip || header->hwndFrom != m_tooltip || header->code != TTN_GETDISPINFOW)
        return;
    auto* request = reinterpret_cast<NMTTDISPINFOW*>(header);
    std::optional<std::string> text;
    if ((request->uFlags & TTF_IDISHWND) && m_controller) {
        const int id = idOf(reinterpret_cast<HWND>(header->idFrom));
        if (id != 0)
            handle([&] { text = m_controller->onTooltipText(id); });
    }
    // The control keeps pointing at the window's own copy of the text; an empty text shows
    // no tip.
    m_tooltipText = text ? toShownWide(*text) : std::wstring();
    request->lpszText = m_tooltipText.data();
    request->hinst = nullptr;
}

void Win32DialogHost::notify(int id, Notification notification, int index)
{
    if (m_controller)
        handle([&] { m_controller->onNotify({id, notification, index}); });
}

void Win32DialogHost::command(int id)
{
    if (m_controller)
        handle([&] { m_controller->onCommand(id); });
}

template <typename Call> void Win32DialogHost::handle(Call call)
{
    // Controllers report their own failures; should one still let an exception go, it ends
    // here with the system's report rather than in the system's dispatching of messages.
    DWORD error = ERROR_SUCCESS;
    try {
        const CallDepth depth(m_handling);
        call();
    } catch (const std::bad_alloc& failure) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        tellStandardError(failure.what());
    } catch (const std::exception& failure) {
        error = ERROR_INVALID_PARAMETER;
        tellStandardError(failure.what());
    } catch (...) {
        error = ERROR_INVALID_PARAMETER;
        tellStandardError("an exception of unknown type");
    }
    if (m_handling == 0)
        releaseHeld();
    if (error != ERROR_SUCCESS)
        reportFailure(error);
}

void Win32DialogHost::reportFailure(DWORD error)
{
    try {
        releaseHeld();
        std::string caption;
        if (m_resources)
            m_resources->loadString(res::strErrorCaption, caption);
        m_messageBoxesInUse->show(systemMessage(error), caption, MessageIcon::Error, MessageButtons::Ok,
                                  DefaultButton::First);
    } catch (...) {
        // Nothing more can be told.
    }
}

void Win32DialogHost::hold(HWND control)
{
    // Only while the program handles a message: changes made outside one draw at once.
    if (m_handling > 0 && m_held.insert(control).second)
        SendMessageW(control, WM_SETREDRAW, FALSE, 0);
}

void Win32DialogHost::releaseHeld()
{
    for (HWND control : m_held) {
        SendMessageW(control, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(control, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    m_held.clear();
}

MessageResult Win32DialogHost::SyncedMessageBoxes::show(const std::string& text, const std::string& caption,
                                                        MessageIcon icon, MessageButtons buttons,
                                                        DefaultButton defaultButton)
{
    m_host.releaseHeld();
    return m_host.m_messageBoxesInUse->show(text, caption, icon, buttons, defaultButton);
}

// ---------------------------------------------------------------------------------------
// Services

void Win32DialogHost::setCaption(const std::string& text)
{
    if (m_window)
        SetWindowTextW(m_window, toShownWide(text).c_str());
}

void Win32DialogHost::setMenuChecked(int commandId, bool checked)
{
    if (HMENU bar = m_window ? GetMenu(m_window) : nullptr)
        CheckMenuItem(bar, static_cast<UINT>(commandId),
                      MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Win32DialogHost::popupMenu(unsigned menuId, Point screen)
{
    if (!m_window || !m_resources)
        return false;
    HMENU menu = win32::loadMenu(*m_resources, menuId);
    if (!menu)
        return false;
    HMENU first = GetSubMenu(menu, 0);
    if (!first) {
        DestroyMenu(menu);
        return false;
    }
    releaseHeld();
    // The chosen command comes back as the menu closes and reaches the controller as a menu
    // bar item's would.
    const BOOL chosen =
        TrackPopupMenu(first, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       screen.x, screen.y, 0, m_window, nullptr);
    DestroyMenu(menu);
    if (chosen != 0)
        command(chosen);
    return true;
}

int Win32DialogHost::runDialog(unsigned layoutId, DialogController& controller)
{
    if (!m_resources)
        return -1;
    releaseHeld();
    Win32DialogHost dialog(*m_resources, layoutId, m_desktop, m_window);
    if (m_messageBoxesInUse != &m_messageBoxes)
        dialog.setMessageBoxes(*m_messageBoxesInUse);
    dialog.setModalWatcher(m_modalWatcher);
    return dialog.exec(controller);
}

bool Win32DialogHost::startTimer(int timerId, int milliseconds)
{
    if (!m_window || timerId == 0)
        return false;
    // A timer of the same number is replaced.
    return SetTimer(m_window, static_cast<UINT_PTR>(timerId), static_cast<UINT>(std::max(milliseconds, 1)),
                    nullptr) != 0;
}

void Win32DialogHost::stopTimer(int timerId)
{
    if (m_window)
        KillTimer(m_window, static_cast<UINT_PTR>(timerId));
}

void Win32DialogHost::addTooltip(int controlId)
{
    HWND tool = control(controlId);
    if (!tool)
        return;
    if (!m_tooltip) {
        m_tooltip =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
        if (!m_tooltip)
            return;
        // Long labels wrap rather than run off the screen.
        SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 480);
    }
    // The tool is the control itself, its text asked for each time the tip shows; the
    // control relays its mouse messages to the tooltip (TTF_SUBCLASS).
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = m_window;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    // Over a list box the tip names the entry under the pointer: it changes with the entry.
    if (m_listBoxes.count(controlId) && !m_tooltipEntries.count(tool)) {
        m_tooltipEntries[tool] = -1;
        SetWindowSubclass(tool, tooltipListProc, tooltipListSubclass, reinterpret_cast<DWORD_PTR>(this));
    }
}

LRESULT CALLBACK Win32DialogHost::tooltipListProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                                  UINT_PTR /*subclassId*/, DWORD_PTR data)
{
    if (message == WM_MOUSEMOVE) {
        auto* host = reinterpret_cast<Win32DialogHost*>(data);
        const auto found = SendMessageW(control, LB_ITEMFROMPOINT, 0, lParam);
        const int entry = HIWORD(found) ? -1 : LOWORD(found);
        int& last = host->m_tooltipEntries[control];
        if (entry != last) {
            last = entry;
            // A tip on show asks for its text again.
            if (host->m_tooltip && IsWindowVisible(host->m_tooltip))
                SendMessageW(host->m_tooltip, TTM_UPDATE, 0, 0);
        }
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

Point Win32DialogHost::cursorPosition()
{
    POINT at{};
    GetCursorPos(&at);
    return {at.x, at.y};
}

Point Win32DialogHost::toClient(int controlId, Point screen)
{
    HWND target = controlId == 0 ? m_window : control(controlId);
    if (!target)
        return screen;
    POINT at{screen.x, screen.y};
    ScreenToClient(target, &at);
    return {at.x, at.y};
}

Size Win32DialogHost::clientSize(int controlId)
{
    HWND target = controlId == 0 ? m_window : control(controlId);
    RECT area{};
    if (!target || !GetClientRect(target, &area))
        return {};
    return {area.right - area.left, area.bottom - area.top};
}

void Win32DialogHost::setCursor(unsigned cursorId)
{
    HCURSOR shape = nullptr;
    if (cursorId != 0 && m_resources) {
        auto found = m_cursors.find(cursorId);
        if (found == m_cursors.end())
            found = m_cursors.emplace(cursorId, loadCursor(*m_resources, cursorId)).first;
        shape = found->second;
    }
    // A cursor the module lacks is the standard arrow. Every control shows the window's
    // choice, the edit fields too.
    m_cursor = shape ? shape : LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(m_cursor);
}

std::optional<Image> Win32DialogHost::loadBitmap(unsigned bitmapId)
{
    if (!m_resources)
        return std::nullopt;
    return win32::loadBitmap(*m_resources, bitmapId);
}

void Win32DialogHost::setPicture(int controlId, const Image& image)
{
    const auto found = m_pictures.find(controlId);
    if (found == m_pictures.end() || image.width <= 0 || image.height <= 0)
        return;
    HBITMAP bitmap = createBitmap(image);
    if (!bitmap)
        return;
    if (found->second.bitmap)
        DeleteObject(found->second.bitmap);
    found->second = {bitmap, {image.width, image.height}};
    // Only the picture control draws again: the window does not, so no paint reaches the
    // controller.
    InvalidateRect(control(controlId), nullptr, FALSE);
}

LRESULT CALLBACK Win32DialogHost::pictureProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR /*subclassId*/, DWORD_PTR data)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the picture covers the control: painting it whole never flickers
    case WM_PAINT:
        reinterpret_cast<Win32DialogHost*>(data)->paintPicture(control);
        return 0;
    default:
        return DefSubclassProc(control, message, wParam, lParam);
    }
}

void Win32DialogHost::paintPicture(HWND picture)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(picture, &paint);
    if (!context)
        return;
    RECT area{};
    GetClientRect(picture, &area);
    const Picture* shown = nullptr;
    for (const auto& [id, state] : m_pictures) {
        if (control(id) == picture && state.bitmap)
            shown = &state;
    }
    // The picture at the top-left corner, the window's colour around it.
    const HBRUSH background = GetSysColorBrush(COLOR_3DFACE);
    if (shown) {
        HDC memory = CreateCompatibleDC(context);
        HGDIOBJ before = SelectObject(memory, shown->bitmap);
        BitBlt(context, 0, 0, shown->size.width, shown->size.height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, before);
        DeleteDC(memory);
        RECT right{shown->size.width, 0, area.right, area.bottom};
        RECT below{0, shown->size.height, std::min<LONG>(shown->size.width, area.right), area.bottom};
        if (right.left < right.right)
            FillRect(context, &right, background);
        if (below.top < below.bottom)
            FillRect(context, &below, background);
    } else {
        FillRect(context, &area, background);
    }
    EndPaint(picture, &paint);
}

bool Win32DialogHost::setButtonBitmap(int controlId, unsigned bitmapId)
{
    const auto found = m_controls.find(controlId);
    if (found == m_controls.end() || !isKind(found->second.kind, ControlKind::Button) || !m_resources)
        return false;
    const std::optional<Image> picture = win32::loadBitmap(*m_resources, bitmapId);
    HBITMAP bitmap = picture ? createBitmap(*picture) : nullptr;
    if (!bitmap)
        return false;
    HWND button = found->second.handle;
    // The button shows a picture only with BS_BITMAP; the template gives it to picture buttons.
    if (!(GetWindowLongW(button, GWL_STYLE) & BS_BITMAP))
        SetWindowLongW(button, GWL_STYLE, GetWindowLongW(button, GWL_STYLE) | BS_BITMAP);
    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    m_buttonBitmaps.push_back(bitmap);
    // The button is the bitmap's size; its top-left corner stays where the layout put it.
    SetWindowPos(button, nullptr, 0, 0, picture->width, picture->height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void Win32DialogHost::setFont(int controlId, const std::string& face, int points, int weight)
{
    HWND target = control(controlId);
    if (!target)
        return;
    // The control's font with the face, size and weight asked for; an empty face keeps its own.
    LOGFONTW description{};
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(target, WM_GETFONT, 0, 0));
    if (!current || !GetObjectW(current, sizeof description, &description))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    if (points > 0)
        description.lfHeight = -MulDiv(points, static_cast<int>(dotsPerInch(m_window)), 72);
    description.lfWidth = 0;
    description.lfWeight = weight >= 700 ? FW_BOLD : FW_NORMAL;
    if (!face.empty()) {
        const std::wstring name = toWide(face);
        const std::size_t length = std::min<std::size_t>(name.size(), LF_FACESIZE - 1);
        std::fill(std::begin(description.lfFaceName), std::end(description.lfFaceName), L'\0');
        std::copy_n(name.begin(), length, description.lfFaceName);
    }
    HFONT font = CreateFontIndirectW(&description);
    if (!font)
        return;
    m_fonts.push_back(font);
    SendMessageW(target, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Win32DialogHost::post(std::function<void()> task)
{
    // Queued to the window's thread; dropped once the window has ended, and with the window.
    const std::lock_guard<std::mutex> lock(m_postMutex);
    if (!m_postOpen || !m_window)
        return;
    m_posted.push_back(std::move(task));
    PostMessageW(m_window, postedTaskMessage, 0, 0);
}

void Win32DialogHost::runPosted()
{
    std::function<void()> task;
    {
        const std::lock_guard<std::mutex> lock(m_postMutex);
        if (!m_postOpen || m_posted.empty())
            return;
        task = std::move(m_posted.front());
        m_posted.pop_front();
    }
    if (m_controller && !m_ended)
        handle(task);
}

void Win32DialogHost::setFocus(int controlId)
{
    HWND target = control(controlId);
    if (!target)
        return;
    // In a window not shown yet this names the control that takes the focus when it shows.
    if (!IsWindowVisible(m_window))
        m_firstFocus = target;
    else
        SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

} // namespace meridal::platform::win32
