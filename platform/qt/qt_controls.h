// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controls.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The program's controls on Qt widgets. The widgets belong to their window; these wrappers
// only borrow them. Entries keep their Windows-1252 bytes beside the shown text, so what the
// program reads back is exactly what it put in.
namespace meridal::platform::qt {

// A drop-down list on a QComboBox.
//
// A sorted list (the layout's "sorted" property) places every added entry in sorted order;
// insertEntry puts an entry where it is told.
class QtComboList final : public ListControl {
  public:
    QtComboList(QComboBox& combo, bool sorted) : m_combo(combo), m_sorted(sorted) {}

    void reset() override;
    void addEntry(const std::string& text) override;
    void insertEntry(int index, const std::string& text) override;
    void removeEntry(int index) override;
    void selectIndex(int index) override;
    int selectedIndex() const override;
    std::string entryText(int index) const override;
    int entryCount() const override;
    int selectPrefix(const std::string& prefix) override;
    int entryAt(Point client) const override;

  private:
    QComboBox& m_combo;
    bool m_sorted;
};

// A list box on a QListWidget with single selection: the user moves the selection but never
// takes it away (a click below the entries, Ctrl+click, Ctrl+Space); only the program clears it.
//
// While the program handles a message (`deferring` is above zero) the list keeps its entries
// and selection to itself and the widget catches up in one step at the end (sync), so that
// filling a list with thousands of units costs one insertion into the widget, not thousands.
// Outside that every change reaches the widget at once. A sorted list sorts what was added
// once, when it is next read or shown.
class QtListBox final : public ListControl {
  public:
    QtListBox(QListWidget& list, const int& deferring, bool sorted);

    void reset() override;
    void addEntry(const std::string& text) override;
    void insertEntry(int index, const std::string& text) override;
    void removeEntry(int index) override;
    void selectIndex(int index) override;
    int selectedIndex() const override;
    std::string entryText(int index) const override;
    int entryCount() const override;
    int selectPrefix(const std::string& prefix) override;
    int entryAt(Point client) const override;

    // Brings the widget up to date with the program's entries and selection.
    void sync();

  private:
    void sortPending() const; // puts entries added since the last read in their places
    void markStale();         // the widget no longer shows the program's state
    void settle();            // outside a message the widget catches up at once
    int widgetSelection() const;

    QListWidget& m_list;
    const int& m_deferring;
    const bool m_sorted;
    mutable bool m_unsorted = false;            // entries were appended that are not in place yet
    mutable std::vector<std::string> m_entries; // what the program put in, in the widget's order
    int m_inWidget = 0;                         // leading entries that the widget already holds
    bool m_stale = false;                       // the widget still shows an older state
    mutable int m_selected = -1;                // the selection, while the widget is stale
};

// An edit field on a QLineEdit. Positions count characters (code points), as the program's
// text holds one per byte, Windows-1252; the field's own positions, in UTF-16 units, are
// converted both ways, so that a character outside the Basic Multilingual Plane counts one.
class QtEditField final : public EditField {
  public:
    // `notifyUnchanged` runs when setText puts in the text the field already holds, since the
    // program expects its text-changed notification then as well and Qt sends none.
    QtEditField(QLineEdit& edit, std::function<void()> notifyUnchanged)
        : m_edit(edit), m_notifyUnchanged(std::move(notifyUnchanged))
    {
    }

    std::string text() const override;
    void setText(const std::string& text) override;
    int selectionStart() const override;
    int selectionEnd() const override;
    void setSelection(int start, int end) override;
    void clearSelection() override;
    void scrollCaret() override;
    void copy() override;
    void paste() override;
    std::optional<char32_t> unrepresentable() const override;
    void setReadOnly(bool readOnly) override;

  private:
    QLineEdit& m_edit;
    std::function<void()> m_notifyUnchanged;
};

// A static text on a QLabel, always shown as plain text.
class QtTextField final : public TextField {
  public:
    explicit QtTextField(QLabel& label);

    void setText(const std::string& text) override;
    std::string text() const override;

  private:
    QLabel& m_label;
    std::string m_text; // the whole text; the label may show it cut short
};

} // namespace meridal::platform::qt
