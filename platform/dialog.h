// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/geometry.h"

#include <functional>
#include <optional>
#include <string>

namespace meridal::platform {

class ListControl;
class EditField;
class TextField;
class MessageBoxes;
class Clipboard;
class Desktop;
class DialogHost;
struct Image;

// What a control tells its window.
enum class Notification {
    SelectionChanged, // the user changed a list's selection
    DoubleClicked,    // the user double-clicked a list entry
    TextChanged,      // an edit field's text changed, by the user or by the program
    FocusGained,      // an edit field got the keyboard focus (once, not again until it lost it)
    FocusLost,        // an edit field lost the keyboard focus (once)
    Clicked,          // a button, or a picture that reports clicks
    DeletePressed,    // the Delete key on a list box's selected entry
};

// A notification with what its handler needs.
struct NotifyMessage {
    int controlId = 0;
    Notification code = Notification::Clicked;
    int index = -1; // the entry concerned (a double click), -1 when none
};

// The controller side of a window: what the platform calls, on the window's thread.
//
// An exception that a handler lets go ends at the host, never in the toolkit's event loop: the
// host reports it with the system's error report (an error message box owned by the window)
// and the window goes on, taking its next message as usual.
class DialogHost;

class DialogController {
  public:
    virtual ~DialogController() = default;
    // The host that runs this controller hands itself over before onInitDialog (a dialog
    // run through DialogHost::runDialog learns its own window this way). The host outlives
    // the controller's use of it: a window of WindowSystem::runWindow destroys its controller
    // before its host, so the controller may still use the host in its destructor (stop a
    // timer, wait for a worker that posts); a dialog of runDialog is gone when runDialog
    // returns, and its controller, which the caller owns, leaves the host alone from then on.
    virtual void onAttach(DialogHost& /*host*/) {}
    // The window exists and its controls can be found; false ends the dialog at once.
    virtual bool onInitDialog() = 0;
    virtual void onNotify(const NotifyMessage& message) = 0;
    virtual void onCommand(int commandId) = 0;
    // The close message (close box, Escape where the window has no Cancel button, a command
    // that closes). The controller ends the dialog through DialogHost::endDialog when it lets
    // the window close.
    virtual void onClose() = 0;

    // The user asked for a context menu over control `controlId` (0: the window itself), by
    // mouse or keyboard, at `screen`.
    virtual void onContextMenu(int /*controlId*/, Point /*screen*/) {}
    // A control registered with DialogHost::addTooltip asks for its text, the pointer being
    // over it; nullopt shows no tip.
    virtual std::optional<std::string> onTooltipText(int /*controlId*/) { return std::nullopt; }
    // A timer started with DialogHost::startTimer.
    virtual void onTimer(int /*timerId*/) {}
    // The window was painted (it is visible, or has just been shown, or was uncovered). The
    // program's own pictures (DialogHost::setPicture) cause no call, so the paint handling may
    // set pictures.
    virtual void onPaint() {}
    // The pointer moved over the window or one of its controls: the controller may choose
    // the cursor (DialogHost::setCursor).
    virtual void onSetCursor() {}
};

// The platform side of a window: its controls by identifier and its services.
class DialogHost {
  public:
    virtual ~DialogHost() = default;
    // Controls by identifier; nullptr when the layout has no such control of that kind.
    virtual ListControl* list(int id) = 0;
    virtual EditField* edit(int id) = 0;
    virtual TextField* text(int id) = 0;
    // Whether the layout has a control with this identifier, of any kind.
    virtual bool hasControl(int id) = 0;

    virtual MessageBoxes& messageBoxes() = 0;
    virtual Clipboard& clipboard() = 0;
    // Programs, targets and facts of the desktop around the window.
    virtual Desktop& desktop() = 0;

    // Sends the close message to the window (the controller's onClose runs).
    virtual void close() = 0;
    // Ends the modal run with `result`, without the close message.
    virtual void endDialog(int result) = 0;
    // The window's caption.
    virtual void setCaption(const std::string& text) = 0;

    // A check mark on a menu bar item.
    virtual void setMenuChecked(int commandId, bool checked) = 0;
    // Shows the first submenu of menu resource `menuId` at `screen`, left-aligned; returns
    // when it closes. The chosen item's command reaches the controller through onCommand.
    // False when the module has no such menu.
    virtual bool popupMenu(unsigned menuId, Point screen) = 0;

    // Creates a window from dialog layout `layoutId`, owned by this one, runs it modally with
    // `controller` and returns its endDialog result (-1 when the layout cannot be built).
    virtual int runDialog(unsigned layoutId, DialogController& controller) = 0;

    // A repeating timer: onTimer(timerId) every `milliseconds`. False when none could start.
    virtual bool startTimer(int timerId, int milliseconds) = 0;
    virtual void stopTimer(int timerId) = 0;

    // The control asks for its tooltip text on demand (onTooltipText).
    virtual void addTooltip(int controlId) = 0;

    // The pointer's screen position, a control's client coordinates and size.
    virtual Point cursorPosition() = 0;
    virtual Point toClient(int controlId, Point screen) = 0;
    virtual Size clientSize(int controlId) = 0;
    // The cursor over the window: cursor resource `cursorId`, or 0 for the standard arrow.
    virtual void setCursor(unsigned cursorId) = 0;

    // A bitmap resource decoded; nullopt when the module lacks it or it cannot be read.
    virtual std::optional<Image> loadBitmap(unsigned bitmapId) = 0;
    // Shows `image` in picture control `controlId`, drawn at the control's top-left corner.
    // Setting a picture never triggers a paint: the repaint it causes calls no onPaint.
    virtual void setPicture(int controlId, const Image& image) = 0;
    // Puts bitmap `bitmapId` on button `controlId` and sizes the button to the bitmap,
    // keeping its top-left corner. False when the bitmap or the button is missing.
    virtual bool setButtonBitmap(int controlId, unsigned bitmapId) = 0;
    // A control's font: face, point size, weight (400 normal, 700 bold).
    virtual void setFont(int controlId, const std::string& face, int points, int weight) = 0;

    // Runs `task` on the window's thread, soon, as one of the window's messages (an exception
    // from it is reported as a handler's is); callable from any thread. Tasks run in the order
    // they were posted, and only while the window runs: once it has ended (endDialog) a task
    // still waiting, or posted later, never runs, so a task may use the controller.
    virtual void post(std::function<void()> task) = 0;

    // Gives control `controlId` the keyboard focus. Called from onInitDialog it chooses the
    // window's first focus, in place of the first control in the tab order; an edit field
    // notifies FocusGained once it has the focus, by the time the window shows.
    virtual void setFocus(int controlId) = 0;
};

} // namespace meridal::platform
