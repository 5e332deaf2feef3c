#pragma once

#include "platform/geometry.h"

#include <optional>
#include <string>

// The small set of platform operations the windows' controllers use, in place of the
// Windows controls. All text is Windows-1252; the implementations convert at their edge.
// No toolkit type crosses these interfaces.
namespace meridal::platform {

// A drop-down list or a list box.
//
// The program's own selections (selectIndex, selectPrefix) send no selection-change
// notification; only the user's do.
//
// A single-selection list box never loses its selection to the user: a click below the
// entries, Ctrl+click on the selected entry or Ctrl+Space on it changes nothing and notifies
// nothing. Only the program clears it (selectIndex(-1), or removing the selected entry).
class ListControl {
  public:
    virtual ~ListControl() = default;
    virtual void reset() = 0;
    virtual void addEntry(const std::string& text) = 0;
    virtual void insertEntry(int index, const std::string& text) = 0;
    virtual void removeEntry(int index) = 0;
    virtual void selectIndex(int index) = 0; // -1 clears the selection
    virtual int selectedIndex() const = 0;   // -1 when nothing is selected
    virtual std::string entryText(int index) const = 0;
    virtual int entryCount() const = 0;
    // Selects the first entry, from the top, whose text begins with `prefix` ignoring case;
    // an empty prefix matches the first entry. Returns the index, or -1 (selection unchanged).
    virtual int selectPrefix(const std::string& prefix) = 0;
    // The entry at `client` (the list's own coordinates), or -1 over empty space.
    virtual int entryAt(Point client) const = 0;
};

// A single-line edit field.
//
// setText sends the text-changed notification synchronously, before it returns.
class EditField {
  public:
    virtual ~EditField() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual int selectionStart() const = 0;
    virtual int selectionEnd() const = 0;
    virtual void setSelection(int start, int end) = 0; // (0, -1) selects all
    virtual void clearSelection() = 0;                 // deselect, caret stays
    virtual void scrollCaret() = 0;
    virtual void copy() = 0;  // the selection to the clipboard
    virtual void paste() = 0; // the clipboard over the selection
    // The first character of the typed text that Windows-1252 cannot hold (text() shows it
    // as "?"), or nullopt when every character fits.
    virtual std::optional<char32_t> unrepresentable() const = 0;
    // A read-only field shows its text and lets the user select and copy it, but not change it;
    // the program's setText still works.
    virtual void setReadOnly(bool readOnly) = 0;
};

// A static text.
class TextField {
  public:
    virtual ~TextField() = default;
    virtual void setText(const std::string& text) = 0;
    virtual std::string text() const = 0;
};

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageResult { Ok, Cancel, Yes, No };
// Which button Enter presses: the first (OK, Yes) or the second (Cancel, No).
enum class DefaultButton { First, Second };

// Modal message boxes, owned by a window or by none.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual MessageResult show(const std::string& text, const std::string& caption, MessageIcon icon,
                               MessageButtons buttons = MessageButtons::Ok,
                               DefaultButton defaultButton = DefaultButton::First) = 0;
};

// The clipboard's plain text.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    virtual bool setText(const std::string& text) = 0;
    virtual std::string text() const = 0;
};

} // namespace meridal::platform
