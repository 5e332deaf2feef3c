#pragma once

#include <string>

namespace meridal::platform {

class ListControl;
class EditField;
class TextField;
class MessageBoxes;
class Clipboard;

// What a control tells its window.
enum class Notification {
    SelectionChanged, // the user changed a list's selection
    DoubleClicked,    // the user double-clicked a list entry
    TextChanged,      // an edit field's text changed, by the user or by the program
    FocusGained,
    FocusLost,
    Clicked,          // a button
};

// The controller side of a window: what the platform calls, on the window's thread.
class DialogController {
public:
    virtual ~DialogController() = default;
    // The window exists and its controls can be found; false ends the dialog at once.
    virtual bool onInitDialog() = 0;
    virtual void onNotify(int controlId, Notification notification) = 0;
    virtual void onCommand(int commandId) = 0;
    // The close message (close box, Escape, a command that closes). The controller ends
    // the dialog through DialogHost::endDialog when it lets the window close.
    virtual void onClose() = 0;
};

// The platform side of a window: its controls by identifier and its services.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    // Controls by identifier; nullptr when the layout has no such control of that kind.
    virtual ListControl* list(int id) = 0;
    virtual EditField* edit(int id) = 0;
    virtual TextField* text(int id) = 0;

    virtual MessageBoxes& messageBoxes() = 0;
    virtual Clipboard& clipboard() = 0;

    // Sends the close message to the window (the controller's onClose runs).
    virtual void close() = 0;
    // Ends the modal run with `result`, without the close message.
    virtual void endDialog(int result) = 0;

    // A check mark on a menu bar item.
    virtual void setMenuChecked(int commandId, bool checked) = 0;
};

} // namespace meridal::platform
