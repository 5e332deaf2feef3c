// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/geometry.h"

#include <optional>
#include <string>

// The small set of platform operations the windows' controllers use, in place of the
// Windows controls. All text is Windows-1252; the implementations convert at their edge.
// No toolkit type crosses these interfaces.
//
// The rules written next to the operations here and in dialog.h and window_system.h are what
// the controllers rely on; every host keeps them, and one suite of tests (tests/contract)
// checks them on each host and on the substitutes the controllers' tests run against.
namespace meridal::platform {

// A drop-down list or a list box.
//
// The program's own selections (selectIndex, selectPrefix) send no selection-change
// notification, nor do its other changes of the entries; only the user's selections do.
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
    // Removing the selected entry of a list box leaves nothing selected.
    virtual void removeEntry(int index) = 0;
    virtual void selectIndex(int index) = 0; // -1 clears the selection
    virtual int selectedIndex() const = 0;   // -1 when nothing is selected
    virtual std::string entryText(int index) const = 0;
    virtual int entryCount() const = 0;
    // Selects the first entry, from the top, whose text begins with `prefix`, ignoring case as
    // Windows-1252 folds it (A-Z, the capitals C0-DE but D7, and 8A, 8C, 8E, 9F match their
    // small letters, as foldCase1252 says); an empty prefix matches the first entry. Returns
    // the index, or -1 when no entry matches: the selection is then left as it was.
    virtual int selectPrefix(const std::string& prefix) = 0;
    // The entry at `client` (the list's own coordinates), or -1 over empty space.
    virtual int entryAt(Point client) const = 0;
};

// A single-line edit field.
//
// Every change of the text notifies TextChanged: the user's (typing, pasting) and the
// program's. setText sends it synchronously, before it returns, even when the text stays the
// same; a handler may set the text again from inside it, and that nested notification arrives
// before the inner setText returns (the numeric fields' filter relies on it).
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
