// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"
#include "platform/geometry.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_services.h"

#include <QCursor>
#include <QPointer>
#include <QRegion>

#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

class QAction;
class QDialog;
class QEvent;
class QStyle;
class QTimer;
class QWidget;

namespace meridal {
class Resources;
}

namespace meridal::platform::qt {

class HostWindow;
class QtListBox;
struct MenuEntry;

// A window of the program built at run time from a dialog layout of the resource module.
//
// The layout is a Qt Designer form whose controls carry their identifier in the dynamic
// property "controlId". The top widget may name its menu bar ("menuResource") and its icon
// ("iconResource"); a label or a button may name a bitmap to show ("bitmapResource"); a label
// with "notify" set reports clicks. Qt's signals and events reach the controller as its
// notifications and commands:
// - a user's selection in a list (mouse or keyboard) -> SelectionChanged; the program's own
//   selections notify nothing; a double click on a list entry -> DoubleClicked;
// - every change of an edit field's text, the program's too -> TextChanged, synchronously;
// - focus entering or leaving an edit field -> FocusGained / FocusLost (a menu opening over
//   the field does not count, as it leaves the keyboard focus where it is);
// - a button -> Clicked; a menu item -> onCommand with its identifier;
// - the close box -> onClose; Escape clicks the Cancel button (control 2) where the window has
//   one, else -> onClose; Enter clicks the OK button (control 1) where the window has one, and
//   does nothing elsewhere. The window ends only through endDialog;
// - a context-menu request over a control, from the mouse, the Menu key or Shift+F10 ->
//   onContextMenu; a tooltip over a control registered with addTooltip -> onTooltipText;
//   a timer -> onTimer; a repaint of a picture control, other than the one its new picture
//   (setPicture) causes -> onPaint; the pointer moving over the window -> onSetCursor;
// - a posted task -> runs as a message of the window while it runs (not once it has ended).
// Every call into the controller ends in one catch: an exception becomes the system's report.
class QtDialogHost final : public DialogHost {
  public:
    QtDialogHost(const Resources& resources, unsigned layoutId, QWidget* parent = nullptr);
    ~QtDialogHost() override;
    QtDialogHost(const QtDialogHost&) = delete;
    QtDialogHost& operator=(const QtDialogHost&) = delete;

    // Runs the window modally: the controller initialises it before it is shown, and when
    // that already ended the dialog the window never appears. Returns the endDialog result,
    // or -1 when the layout could not be built.
    int exec(DialogController& controller);

    // Initialises and shows the window without a modal loop of its own (the caller runs the
    // events, as a test does). False when the initialisation already ended the dialog.
    bool open(DialogController& controller);
    // Whether the window has been ended (endDialog), and with which result.
    bool ended() const { return m_ended; }
    int result() const { return m_result; }

    // The window, or nullptr when the layout is missing or unreadable.
    QDialog* window() const;
    // The widget that carries `id`, or nullptr.
    QWidget* control(int id) const;
    // The menu bar item with command `commandId`, or nullptr.
    QAction* menuAction(int commandId) const;

    // Message boxes go to `substitute` from now on (tests answer them there).
    void setMessageBoxes(MessageBoxes& substitute) { m_messageBoxesInUse = &substitute; }

    ListControl* list(int id) override;
    EditField* edit(int id) override;
    TextField* text(int id) override;
    MessageBoxes& messageBoxes() override { return m_syncedMessageBoxes; }
    Clipboard& clipboard() override { return m_clipboard; }
    bool hasControl(int id) override { return control(id) != nullptr; }
    QtDesktop& desktop() override { return m_desktop; }
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
    friend class HostWindow;

    // Context menus, tooltips and painting, as the window's event filter sees them; true
    // when the event was handled.
    bool filterEvent(QObject* watched, QEvent* event);
    void requestContextMenu(QWidget* widget, Point screen);
    void keyboardContextMenu();
    int idOf(const QObject* object) const; // the control an object is or belongs to, or -1
    void build(const Resources& resources, std::string_view layout, QWidget* parent);
    void bindControls(const Resources& resources);
    void buildMenuBar(const Resources& resources, unsigned menuId);
    void notify(int id, Notification notification, int index = -1);
    void command(int id);
    // Runs one call into the controller; the lists catch up when the outermost one ends. An
    // exception from either ends there: one line on standard error, and the system's report.
    template <typename Call> void handle(Call call);
    void reportFailure(int error); // the system's report for `error`, caption string 208
    void syncLists();
    bool initialise(DialogController& controller); // false when it ended the dialog
    bool closeRequested();                         // false when nobody runs the window

    const Resources* m_resources = nullptr;
    QPointer<HostWindow> m_window;
    std::map<int, QTimer*> m_timers;
    std::map<unsigned, QCursor> m_cursors;
    std::set<int> m_tooltips;
    // Where the program's own pictures will repaint each picture control next.
    std::map<const QObject*, QRegion> m_programPaints;
    std::map<int, QWidget*> m_widgets;
    std::map<int, std::unique_ptr<ListControl>> m_lists;
    std::map<int, std::unique_ptr<EditField>> m_edits;
    std::map<int, std::unique_ptr<TextField>> m_texts;
    std::map<int, QAction*> m_actions;
    std::vector<QtListBox*> m_listBoxes;
    QPointer<QStyle> m_focusRings; // owned by the window
    int m_handling = 0;            // depth of calls into the controller

    // A message box shows the window with its lists up to date.
    class SyncedMessageBoxes final : public MessageBoxes {
      public:
        explicit SyncedMessageBoxes(QtDialogHost& host) : m_host(host) {}
        MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons, DefaultButton defaultButton) override;

      private:
        QtDialogHost& m_host;
    };

    QtMessageBoxes m_messageBoxes;
    MessageBoxes* m_messageBoxesInUse = &m_messageBoxes;
    SyncedMessageBoxes m_syncedMessageBoxes{*this};
    QtClipboard m_clipboard;
    QtDesktop m_desktop;

    DialogController* m_controller = nullptr;
    bool m_running = false;
    bool m_ended = false;
    int m_result = 0;
};

} // namespace meridal::platform::qt
