// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/win32_controls.h"

#include "catalogue/windows1252.h"
#include "platform/win32/win32_text.h"

#include <algorithm>
#include <new>

namespace meridal::platform::win32 {

namespace {

// Where a sorted list puts a new entry: after every entry that sorts before it or equal to it.
int sortedPlace(const std::vector<std::string>& entries, const std::string& text)
{
    const auto place =
        std::upper_bound(entries.begin(), entries.end(), text,
                         [](const std::string& a, const std::string& b) { return sortsBefore1252(a, b); });
    return static_cast<int>(place - entries.begin());
}

// The first entry, from the top, that begins with `prefix` ignoring case; -1 when none does.
int findPrefix(const std::vector<std::string>& entries, const std::string& prefix)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (startsWithIgnoreCase1252(entries[i], prefix))
            return static_cast<int>(i);
    }
    return -1;
}

LPARAM textParam(const std::wstring& text)
{
    return reinterpret_cast<LPARAM>(text.c_str());
}

} // namespace

// Win32ListBox ---------------------------------------------------------------------------

Win32ListBox::Win32ListBox(HWND list, bool sorted, RedrawBatch& batch)
    : m_list(list), m_sorted(sorted), m_batch(batch)
{
}

void Win32ListBox::settle()
{
    m_known = static_cast<int>(SendMessageW(m_list, LB_GETCURSEL, 0, 0));
}

void Win32ListBox::reset()
{
    m_batch.hold(m_list);
    SendMessageW(m_list, LB_RESETCONTENT, 0, 0);
    m_entries.clear();
    m_known = -1;
}

void Win32ListBox::addEntry(const std::string& text)
{
    insertEntry(m_sorted ? sortedPlace(m_entries, text) : entryCount(), text);
}

void Win32ListBox::insertEntry(int index, const std::string& text)
{
    index = std::clamp(index, 0, entryCount());
    m_batch.hold(m_list);
    const std::wstring shown = toShownWide(text);
    const auto at = SendMessageW(m_list, LB_INSERTSTRING, static_cast<WPARAM>(index), textParam(shown));
    if (at == LB_ERR || at == LB_ERRSPACE)
        throw std::bad_alloc();
    m_entries.insert(m_entries.begin() + index, text);
    settle();
}

void Win32ListBox::removeEntry(int index)
{
    if (index < 0 || index >= entryCount())
        return;
    m_batch.hold(m_list);
    const bool wasSelected = selectedIndex() == index;
    SendMessageW(m_list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    m_entries.erase(m_entries.begin() + index);
    // The list box leaves nothing selected, whatever the system would move the selection to.
    if (wasSelected)
        SendMessageW(m_list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    settle();
}

void Win32ListBox::selectIndex(int index)
{
    if (index < 0 || index >= entryCount())
        index = -1;
    SendMessageW(m_list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    settle();
}

int Win32ListBox::selectedIndex() const
{
    const auto selected = SendMessageW(m_list, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

std::string Win32ListBox::entryText(int index) const
{
    if (index < 0 || index >= entryCount())
        return {};
    return m_entries[static_cast<std::size_t>(index)];
}

int Win32ListBox::entryCount() const
{
    return static_cast<int>(m_entries.size());
}

int Win32ListBox::selectPrefix(const std::string& prefix)
{
    const int found = findPrefix(m_entries, prefix);
    if (found >= 0)
        selectIndex(found);
    return found;
}

int Win32ListBox::entryAt(Point client) const
{
    RECT area{};
    GetClientRect(m_list, &area);
    if (client.x < area.left || client.y < area.top || client.x >= area.right || client.y >= area.bottom)
        return -1;
    const auto found = SendMessageW(m_list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    // The high word is set when the point lies below the last entry.
    if (HIWORD(found) != 0)
        return -1;
    const int index = LOWORD(found);
    return index < entryCount() ? index : -1;
}

bool Win32ListBox::userChanged()
{
    const int now = selectedIndex();
    if (now < 0 && m_known >= 0) {
        // A single-selection list box never loses its selection to the user.
        SendMessageW(m_list, LB_SETCURSEL, static_cast<WPARAM>(m_known), 0);
        return false;
    }
    if (now == m_known)
        return false;
    m_known = now;
    return true;
}

// Win32ComboList -------------------------------------------------------------------------

Win32ComboList::Win32ComboList(HWND combo, bool sorted, RedrawBatch& batch)
    : m_combo(combo), m_sorted(sorted), m_batch(batch)
{
}

void Win32ComboList::reset()
{
    m_batch.hold(m_combo);
    SendMessageW(m_combo, CB_RESETCONTENT, 0, 0);
    m_entries.clear();
    m_known = -1;
}

void Win32ComboList::addEntry(const std::string& text)
{
    insertEntry(m_sorted ? sortedPlace(m_entries, text) : entryCount(), text);
}

void Win32ComboList::insertEntry(int index, const std::string& text)
{
    index = std::clamp(index, 0, entryCount());
    m_batch.hold(m_combo);
    const std::wstring shown = toShownWide(text);
    const auto at = SendMessageW(m_combo, CB_INSERTSTRING, static_cast<WPARAM>(index), textParam(shown));
    if (at == CB_ERR || at == CB_ERRSPACE)
        throw std::bad_alloc();
    m_entries.insert(m_entries.begin() + index, text);
    m_known = selectedIndex();
}

void Win32ComboList::removeEntry(int index)
{
    if (index < 0 || index >= entryCount())
        return;
    m_batch.hold(m_combo);
    SendMessageW(m_combo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    m_entries.erase(m_entries.begin() + index);
    m_known = selectedIndex();
}

void Win32ComboList::selectIndex(int index)
{
    if (index < 0 || index >= entryCount())
        index = -1;
    SendMessageW(m_combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_known = selectedIndex();
}

int Win32ComboList::selectedIndex() const
{
    const auto selected = SendMessageW(m_combo, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

std::string Win32ComboList::entryText(int index) const
{
    if (index < 0 || index >= entryCount())
        return {};
    return m_entries[static_cast<std::size_t>(index)];
}

int Win32ComboList::entryCount() const
{
    return static_cast<int>(m_entries.size());
}

int Win32ComboList::selectPrefix(const std::string& prefix)
{
    const int found = findPrefix(m_entries, prefix);
    if (found >= 0)
        selectIndex(found);
    return found;
}

int Win32ComboList::entryAt(Point client) const
{
    // A closed drop-down shows its selected entry, and nothing else, over its whole face.
    RECT area{};
    GetClientRect(m_combo, &area);
    const bool inside =
        client.x >= area.left && client.y >= area.top && client.x < area.right && client.y < area.bottom;
    return inside ? selectedIndex() : -1;
}

bool Win32ComboList::userChanged()
{
    const int now = selectedIndex();
    if (now == m_known)
        return false;
    m_known = now;
    return true;
}

// Win32EditField -------------------------------------------------------------------------

Win32EditField::Win32EditField(HWND edit, std::function<void()> notifyChanged)
    : m_edit(edit), m_notifyChanged(std::move(notifyChanged))
{
}

std::wstring Win32EditField::wideText() const
{
    const int length = GetWindowTextLengthW(m_edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(m_edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

std::string Win32EditField::text() const
{
    return fromWide(wideText());
}

void Win32EditField::setText(const std::string& text)
{
    const unsigned before = m_changes;
    SetWindowTextW(m_edit, toWide(text).c_str());
    // The system stays silent when nothing changes; the program's own change still notifies.
    if (m_changes == before && m_notifyChanged)
        m_notifyChanged();
}

int Win32EditField::selectionStart() const
{
    DWORD start = 0;
    SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return unitsToCharacters(wideText(), static_cast<int>(start));
}

int Win32EditField::selectionEnd() const
{
    DWORD end = 0;
    SendMessageW(m_edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return unitsToCharacters(wideText(), static_cast<int>(end));
}

void Win32EditField::setSelection(int start, int end)
{
    if (start < 0) {
        clearSelection();
        return;
    }
    // Positions past the end, and an end of -1, stand for the end of the text.
    const std::wstring text = wideText();
    const auto length = static_cast<int>(text.size());
    const int first = std::min(charactersToUnits(text, start), length);
    const int last = end < 0 ? length : std::min(charactersToUnits(text, end), length);
    SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

void Win32EditField::clearSelection()
{
    // A start of -1 deselects and leaves the caret where it is.
    SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

void Win32EditField::scrollCaret()
{
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

void Win32EditField::copy()
{
    SendMessageW(m_edit, WM_COPY, 0, 0);
}

void Win32EditField::paste()
{
    SendMessageW(m_edit, WM_PASTE, 0, 0);
}

std::optional<char32_t> Win32EditField::unrepresentable() const
{
    return firstUnrepresentable(wideText());
}

void Win32EditField::setReadOnly(bool readOnly)
{
    // A read-only field shows the window's colour behind its text, as the system draws it.
    SendMessageW(m_edit, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

// Win32TextField -------------------------------------------------------------------------

Win32TextField::Win32TextField(HWND label) : m_label(label)
{
    const int length = GetWindowTextLengthW(m_label);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(m_label, text.data(), length + 1), 0)));
    m_text = fromWide(text);
}

void Win32TextField::setText(const std::string& text)
{
    m_text = text;
    SetWindowTextW(m_label, toShownWide(text).c_str());
}

std::string Win32TextField::text() const
{
    return m_text;
}

} // namespace meridal::platform::win32
