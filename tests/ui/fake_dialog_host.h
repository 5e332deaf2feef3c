#pragma once

#include "platform/controls.h"
#include "platform/dialog.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace meridal::test {

// Substitute controls with the notification semantics of the real ones: the program's own
// selections notify nothing, setText notifies TextChanged before it returns, and the
// user's actions (the user* operations) notify as the platform would.

class FakeDialogHost;

class FakeList final : public platform::ListControl {
  public:
    FakeList(FakeDialogHost& host, int id) : m_host(host), m_id(id) {}

    void reset() override
    {
        m_entries.clear();
        m_selected = -1;
    }
    void addEntry(const std::string& text) override { m_entries.push_back(text); }
    void insertEntry(int index, const std::string& text) override
    {
        m_entries.insert(m_entries.begin() + index, text);
    }
    void removeEntry(int index) override { m_entries.erase(m_entries.begin() + index); }
    void selectIndex(int index) override { m_selected = index < entryCount() ? index : -1; }
    int selectedIndex() const override { return m_selected; }
    std::string entryText(int index) const override
    {
        return index >= 0 && index < entryCount() ? m_entries[static_cast<std::size_t>(index)]
                                                  : std::string();
    }
    int entryCount() const override { return static_cast<int>(m_entries.size()); }
    int selectPrefix(const std::string& prefix) override
    {
        for (int i = 0; i < entryCount(); ++i) {
            const std::string& entry = m_entries[static_cast<std::size_t>(i)];
            if (entry.size() >= prefix.size() &&
                std::equal(prefix.begin(), prefix.end(), entry.begin(), [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) ==
                           std::tolower(static_cast<unsigned char>(b));
                })) {
                m_selected = i;
                return i;
            }
        }
        return -1;
    }

    const std::vector<std::string>& entries() const { return m_entries; }
    std::string selectedText() const { return entryText(m_selected); }

    // The user picks an entry.
    void userSelect(int index);
    // The user picks the first entry with this text; false when there is none.
    bool userSelect(const std::string& text)
    {
        auto found = std::find(m_entries.begin(), m_entries.end(), text);
        if (found == m_entries.end())
            return false;
        userSelect(static_cast<int>(found - m_entries.begin()));
        return true;
    }

  private:
    FakeDialogHost& m_host;
    int m_id;
    std::vector<std::string> m_entries;
    int m_selected = -1;
};

class FakeClipboard final : public platform::Clipboard {
  public:
    bool setText(const std::string& text) override
    {
        m_text = text;
        return true;
    }
    std::string text() const override { return m_text; }

  private:
    std::string m_text;
};

class FakeEdit final : public platform::EditField {
  public:
    FakeEdit(FakeDialogHost& host, int id) : m_host(host), m_id(id) {}

    std::string text() const override { return m_text; }
    // Like a line edit: the caret goes to the end, then the text-changed notification.
    void setText(const std::string& text) override
    {
        m_text = text;
        m_start = m_end = m_caretAtStart ? 0 : length();
        notifyChanged();
    }
    int selectionStart() const override { return m_start; }
    int selectionEnd() const override { return m_end; }
    void setSelection(int start, int end) override
    {
        m_requested = {start, end};
        if (start == 0 && end == -1) {
            m_start = 0;
            m_end = length();
            return;
        }
        m_start = std::clamp(start, 0, length());
        m_end = std::clamp(end, 0, length());
    }
    void clearSelection() override { m_start = m_end; }
    void scrollCaret() override { ++m_scrolls; }
    void copy() override;
    void paste() override;

    // The user types `typed` at the caret, replacing the selection.
    void userType(const std::string& typed) { replaceSelection(typed); }
    void setCaret(int position) { setSelection(position, position); }
    int scrolls() const { return m_scrolls; }
    // The selection last asked for, before the field keeps it within its text.
    std::pair<int, int> requestedSelection() const { return m_requested; }
    // Like a Windows edit field rather than a line edit: the program's text leaves the
    // caret at the start.
    void leaveCaretAtStartOnProgramText() { m_caretAtStart = true; }
    int changeCount() const { return m_changes; }

  private:
    int length() const { return static_cast<int>(m_text.size()); }
    void replaceSelection(const std::string& inserted)
    {
        const auto from = static_cast<std::size_t>(std::min(m_start, m_end));
        const auto to = static_cast<std::size_t>(std::max(m_start, m_end));
        m_text.replace(from, to - from, inserted);
        m_start = m_end = static_cast<int>(from + inserted.size());
        notifyChanged();
    }
    void notifyChanged();

    FakeDialogHost& m_host;
    int m_id;
    std::string m_text;
    int m_start = 0;
    int m_end = 0;
    int m_scrolls = 0;
    int m_changes = 0;
    std::pair<int, int> m_requested{0, 0};
    bool m_caretAtStart = false;
};

class FakeText final : public platform::TextField {
  public:
    void setText(const std::string& text) override { m_text = text; }
    std::string text() const override { return m_text; }

  private:
    std::string m_text;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    platform::MessageIcon icon;
};

class FakeMessageBoxes final : public platform::MessageBoxes {
  public:
    platform::MessageResult show(const std::string& text, const std::string& caption,
                                 platform::MessageIcon icon, platform::MessageButtons) override
    {
        m_shown.push_back({text, caption, icon});
        return platform::MessageResult::Ok;
    }
    const std::vector<ShownMessage>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

  private:
    std::vector<ShownMessage> m_shown;
};

// The converter window's controls, by identifier, and the window's services.
class FakeDialogHost final : public platform::DialogHost {
  public:
    FakeDialogHost()
    {
        for (int id : {1048, 1005, 1006, 1050})
            m_lists[id] = std::make_unique<FakeList>(*this, id);
        for (int id : {1013, 1015})
            m_edits[id] = std::make_unique<FakeEdit>(*this, id);
        for (int id : {1019, 1020, 1045})
            m_texts[id] = std::make_unique<FakeText>();
    }

    void attach(platform::DialogController& controller) { m_controller = &controller; }

    platform::ListControl* list(int id) override { return find(m_lists, id); }
    platform::EditField* edit(int id) override { return find(m_edits, id); }
    platform::TextField* text(int id) override { return find(m_texts, id); }
    platform::MessageBoxes& messageBoxes() override { return m_messages; }
    platform::Clipboard& clipboard() override { return m_clipboard; }
    void close() override
    {
        if (m_controller)
            m_controller->onClose();
    }
    void endDialog(int result) override { m_endResults.push_back(result); }
    void setMenuChecked(int commandId, bool checked) override { m_checked[commandId] = checked; }

    void notify(int id, platform::Notification notification)
    {
        if (m_controller)
            m_controller->onNotify(id, notification);
    }

    FakeList& fakeList(int id) { return *m_lists.at(id); }
    FakeEdit& fakeEdit(int id) { return *m_edits.at(id); }
    FakeText& fakeText(int id) { return *m_texts.at(id); }
    FakeMessageBoxes& messages() { return m_messages; }
    FakeClipboard& fakeClipboard() { return m_clipboard; }
    const std::vector<int>& endResults() const { return m_endResults; }

    // Leaves a control out, as a layout without it would.
    void removeList(int id) { m_lists.erase(id); }

  private:
    template <typename Map> static auto find(Map& map, int id) -> typename Map::mapped_type::pointer
    {
        auto found = map.find(id);
        return found == map.end() ? nullptr : found->second.get();
    }

    platform::DialogController* m_controller = nullptr;
    std::map<int, std::unique_ptr<FakeList>> m_lists;
    std::map<int, std::unique_ptr<FakeEdit>> m_edits;
    std::map<int, std::unique_ptr<FakeText>> m_texts;
    FakeMessageBoxes m_messages;
    FakeClipboard m_clipboard;
    std::vector<int> m_endResults;
    std::map<int, bool> m_checked;
};

inline void FakeList::userSelect(int index)
{
    selectIndex(index);
    m_host.notify(m_id, platform::Notification::SelectionChanged);
}

inline void FakeEdit::notifyChanged()
{
    ++m_changes;
    m_host.notify(m_id, platform::Notification::TextChanged);
}

inline void FakeEdit::copy()
{
    const auto from = static_cast<std::size_t>(std::min(m_start, m_end));
    const auto to = static_cast<std::size_t>(std::max(m_start, m_end));
    m_host.fakeClipboard().setText(m_text.substr(from, to - from));
}

inline void FakeEdit::paste()
{
    replaceSelection(m_host.fakeClipboard().text());
}

} // namespace meridal::test
