// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controls.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

// The program's controls on the system's own: list boxes and drop-down lists without the
// system's sorting, edit fields and static texts. The windows belong to their dialog; these
// wrappers only borrow them. Entries keep the program's Windows-1252 bytes beside what the
// control shows, so what the program reads back is exactly what it put in.
namespace meridal::platform::win32 {

// Lets a list that the program changes while it handles a message stop drawing until the
// handling is over, so that filling it with thousands of entries draws it once.
class RedrawBatch {
  public:
    virtual void hold(HWND control) = 0;

  protected:
    ~RedrawBatch() = default;
};

// A list box (LB_ messages), single selection.
//
// The system's sorting (LBS_SORT) compares by the user's locale; a list that the layout
// marks sorted places each added entry itself, after every entry that sorts before it or
// equal to it in Windows-1252 order (sortsBefore1252). insertEntry puts an entry where it is
// told. selectPrefix is the program's own loop, not LB_SELECTSTRING, which folds case by the
// user's locale.
//
// The list box tells of a click even when the selection stays (a click below the entries, on
// the selected entry): userChanged() says whether the selection the user left differs from
// the one the list had, and puts a selection the user took away back.
class Win32ListBox final : public ListControl {
  public:
    Win32ListBox(HWND list, bool sorted, RedrawBatch& batch);

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

    bool userChanged();
    HWND handle() const { return m_list; }

  private:
    void settle(); // the selection the program knows is the control's
    HWND m_list;
    bool m_sorted;
    RedrawBatch& m_batch;
    std::vector<std::string> m_entries;
    int m_known = -1;
};

// A drop-down list (CB_ messages of a CBS_DROPDOWNLIST combo box); sorted as a list box is.
class Win32ComboList final : public ListControl {
  public:
    Win32ComboList(HWND combo, bool sorted, RedrawBatch& batch);

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

    bool userChanged();
    HWND handle() const { return m_combo; }

  private:
    HWND m_combo;
    bool m_sorted;
    RedrawBatch& m_batch;
    std::vector<std::string> m_entries;
    int m_known = -1;
};

// A single-line edit field. The system sends EN_CHANGE while SetWindowTextW runs; when the
// text stays the same and it sends none, setText notifies through `notifyChanged` itself, so
// that the program's every setText notifies exactly once (plus the nested ones its handler
// causes). Positions count characters, converted from and to the control's UTF-16 units.
class Win32EditField final : public EditField {
  public:
    Win32EditField(HWND edit, std::function<void()> notifyChanged);

    // The host counts every EN_CHANGE of the field here before it notifies.
    void changeArrived() { ++m_changes; }

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
    std::wstring wideText() const;
    HWND m_edit;
    std::function<void()> m_notifyChanged;
    unsigned m_changes = 0;
};

// A static text, always shown as it is (the layouts give texts SS_NOPREFIX where an "&" must
// show).
class Win32TextField final : public TextField {
  public:
    explicit Win32TextField(HWND label);

    void setText(const std::string& text) override;
    std::string text() const override;

  private:
    HWND m_label;
    std::string m_text; // the whole text; the control may show it cut short
};

} // namespace meridal::platform::win32
