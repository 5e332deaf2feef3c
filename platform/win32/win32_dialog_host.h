// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"
#include "platform/geometry.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_services.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

namespace meridal {
class Resources;
}

namespace meridal::platform::win32 {

struct DialogItem;

// A window of the program made by the system from a dialog template of the resource module
// (CreateDialogIndirectParamW), run with a message loop of its own: the loop hands each
// message to the window's keyboard shortcuts (TranslateAcceleratorW, the accelerator table of
// the window's menu) and to the dialog manager (IsDialogMessageW) before it dispatches it, as
// DialogBoxParamW's loop never translates shortcuts. A window run modally over another
// disables it until it ends.
//
// The host hands the system a copy of the template that it has changed where the system must
// not do what the template says:
// - the menu the template names is the resource module's, not the program's: the host takes
//   it out, loads it from the module (with the accelerator table of the same number) and puts
//   it on the window, keeping the client area the template's size;
// - a list box or drop-down list with LBS_SORT or CBS_SORT is one the layout wants sorted; the
//   system would sort by the user's locale, so the flag goes and the host places the entries
//   in Windows-1252 order itself;
// - the window keeps the template's size: a resizable frame and the maximise box are taken
//   off, since the controls would not follow a new size;
// - the window shows only once its controller has initialised it.
// Every window carries the program's icon (icon 169 of the module), as the templates name none.
//
// What the template's styles tell the host: a Static with SS_BITMAP is a picture control,
// which the host draws (setPicture) and which reports clicks with SS_NOTIFY; a Button with
// BS_BITMAP shows a picture (setButtonBitmap); a list box with LBS_WANTKEYBOARDINPUT tells its
// window of the Delete key (WM_VKEYTOITEM -> DeletePressed).
//
// The system's messages reach the controller as its notifications and commands:
// - LBN_SELCHANGE / CBN_SELCHANGE, when the user changed the selection -> SelectionChanged
//   (the program's LB_SETCURSEL and CB_SETCURSEL send none); LBN_DBLCLK, and Enter on a list
//   box's selected entry -> DoubleClicked;
// - EN_CHANGE, which the system sends while SetWindowTextW runs -> TextChanged, synchronously;
//   EN_SETFOCUS / EN_KILLFOCUS -> FocusGained / FocusLost, once each;
// - BN_CLICKED, and STN_CLICKED / STN_DBLCLK of a picture that notifies -> Clicked;
// - a menu item or keyboard shortcut -> onCommand; WM_CLOSE (the close box) -> onClose; Escape
//   clicks the Cancel button (control 2) where the window has one, else -> onClose; Enter
//   clicks the OK button (control 1) where the window has one, and does nothing elsewhere;
// - WM_CONTEXTMENU over a control (an edit field keeps its own menu) -> onContextMenu, at the
//   position the system gives, or for the keyboard where the focus is; TTN_GETDISPINFOW of a
//   control registered with addTooltip -> onTooltipText; WM_TIMER -> onTimer; WM_PAINT of the
//   window -> onPaint (a picture that the program sets repaints only its own control, which
//   the window never hears of); WM_SETCURSOR over the window's client area -> onSetCursor;
// - a posted task -> runs as a message of the window while it runs (not once it has ended).
// Every call into the controller ends in one catch: an exception becomes the system's report.
class Win32DialogHost final : public DialogHost, private RedrawBatch {
  public:
    Win32DialogHost(const Resources& resources, unsigned layoutId, Desktop& desktop, HWND owner = nullptr);
    ~Win32DialogHost() override;
    Win32DialogHost(const Win32DialogHost&) = delete;
    Win32DialogHost& operator=(const Win32DialogHost&) = delete;

    // Runs the window modally: the controller initialises it before it is shown, and when
    // that already ended the dialog the window never appears. Returns the endDialog result,
    // or -1 when the template could not be made into a window.
    int exec(DialogController& controller);

    // Initialises and shows the window without a message loop of its own (the caller runs
    // the messages through preTranslate, as a test does). False when the initialisation
    // already ended the dialog.
    bool open(DialogController& controller);
    // What the window's loop does with a message before dispatching it: the keyboard
    // shortcuts and the dialog manager. True when the message was used up.
    bool preTranslate(MSG& message);
    bool ended() const { return m_ended; }
    int result() const { return m_result; }

    // The window, or nullptr when the layout is missing or cannot be made.
    HWND window() const { return m_window; }
    // The control that carries `id`, or nullptr.
    HWND control(int id) const;

    // Message boxes go to `substitute` from now on (tests answer them there).
    void setMessageBoxes(MessageBoxes& substitute) { m_messageBoxesInUse = &substitute; }
    // `watcher` meets this window when exec has shown it, before its loop takes a message, and
    // every window that it runs modally (runDialog), which pass it on: tests act in a modal
    // window there, by the messages a user's actions send, and end it.
    void setModalWatcher(std::function<void(Win32DialogHost&)> watcher)
    {
        m_modalWatcher = std::move(watcher);
    }

    ListControl* list(int id) override;
    EditField* edit(int id) override;
    TextField* text(int id) override;
    bool hasControl(int id) override { return control(id) != nullptr; }
    MessageBoxes& messageBoxes() override { return m_syncedMessageBoxes; }
    Clipboard& clipboard() override { return m_clipboard; }
    Desktop& desktop() override { return m_desktop; }
    void close() override;
    void endDialog(int result) override;
    void setCaption(const std::string& text) override;
    void setMenuChecked(int commandId, bool checked) override;
    bool popupMenu(unsigned menuId, Point screen) override;
    int runDialog(unsigned layoutId, DialogController& controller) override;
    bool startTimer(int timerId, int milliseconds) override;
    void stopTimer(int timerId) override;
    void addTooltip(int controlId) override;
    Point cursorPosition() override;
    Point toClient(int controlId, Point screen) override;
    Size clientSize(int controlId) override;
    void setCursor(unsigned cursorId) override;
    std::optional<Image> loadBitmap(unsigned bitmapId) override;
    void setPicture(int controlId, const Image& image) override;
    bool setButtonBitmap(int controlId, unsigned bitmapId) override;
    void setFont(int controlId, const std::string& face, int points, int weight) override;
    void post(std::function<void()> task) override;
    void setFocus(int controlId) override;

  private:
    struct Control {
        HWND handle = nullptr;
        int kind = 0; // ControlKind
        DWORD style = 0;
    };
    // What a picture control shows; the control paints it itself.
    struct Picture {
        HBITMAP bitmap = nullptr;
        Size size;
    };

    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pictureProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclassId, DWORD_PTR data);
    static LRESULT CALLBACK tooltipListProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR subclassId, DWORD_PTR data);

    void build(const Resources& resources, unsigned layoutId, HWND owner);
    void bindControl(const DialogItem& item, const std::set<unsigned>& sorted);
    void attachMenu(unsigned menuId);
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommandMessage(int id, int code, HWND from);
    void onControlNotification(int id, int code, HWND from);
    void onContextMenuMessage(HWND target, LPARAM position);
    void onTooltipRequest(NMHDR* header);
    void paintPicture(HWND control);
    void enterPressed();
    void escapePressed();
    int idOf(HWND window) const; // the control a window is or belongs to, or 0
    void notify(int id, Notification notification, int index = -1);
    void command(int id);
    void runPosted();
    // Runs one call into the controller; the lists draw again when the outermost one ends. An
    // exception from it ends here: one line on standard error, and the system's report.
    template <typename Call> void handle(Call call);
    void reportFailure(DWORD error);
    bool initialise(DialogController& controller);
    void show();
    void runLoop();
    bool closeRequested();
    void hold(HWND control) override;
    void releaseHeld();

    const Resources* m_resources = nullptr;
    Desktop& m_desktop;
    HWND m_window = nullptr;
    HWND m_owner = nullptr;
    HWND m_tooltip = nullptr;
    HWND m_firstFocus = nullptr;
    HACCEL m_accelerators = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    HCURSOR m_cursor = nullptr;
    std::map<unsigned, HCURSOR> m_cursors;
    std::map<int, Control> m_controls;
    std::map<int, std::unique_ptr<Win32ListBox>> m_listBoxes;
    std::map<int, std::unique_ptr<Win32ComboList>> m_combos;
    std::map<int, std::unique_ptr<Win32EditField>> m_edits;
    std::map<int, std::unique_ptr<Win32TextField>> m_texts;
    std::map<int, Picture> m_pictures;
    std::map<HWND, int> m_tooltipEntries; // the entry under the pointer, per list with a tip
    std::vector<HBITMAP> m_buttonBitmaps;
    std::vector<HFONT> m_fonts;
    std::set<HWND> m_held; // controls that draw again when the handling is over
    std::wstring m_tooltipText;
    int m_focusedEdit = -1; // the edit field last told that it has the focus
    int m_handling = 0;     // depth of calls into the controller

    // Posted tasks, from any thread; open while the window runs.
    std::mutex m_postMutex;
    std::deque<std::function<void()>> m_posted;
    bool m_postOpen = false;

    // A message box shows the window with its lists drawn.
    class SyncedMessageBoxes final : public MessageBoxes {
      public:
        explicit SyncedMessageBoxes(Win32DialogHost& host) : m_host(host) {}
        MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons, DefaultButton defaultButton) override;

      private:
        Win32DialogHost& m_host;
    };

    Win32MessageBoxes m_messageBoxes;
    MessageBoxes* m_messageBoxesInUse = &m_messageBoxes;
    std::function<void(Win32DialogHost&)> m_modalWatcher;
    SyncedMessageBoxes m_syncedMessageBoxes{*this};
    Win32Clipboard m_clipboard;

    DialogController* m_controller = nullptr;
    bool m_running = false;
    bool m_ended = false;
    int m_result = 0;
};

} // namespace meridal::platform::win32
