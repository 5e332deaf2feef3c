#pragma once

#include "platform/controls.h"
#include "platform/dialog.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace meridal::test {

// Substitute controls with the notification semantics of the real ones: the program's own
// selections notify nothing, setText notifies TextChanged before it returns, and the
// user's actions (the user* operations) notify as the platform would.
using Notify = std::function<void(platform::Notification)>;

class FakeList final : public platform::ListControl {
  public:
    explicit FakeList(Notify notify) : m_notify(std::move(notify)) {}

    void reset() override
    {
        m_entries.clear();
        m_selected = -1;
    }
    void addEntry(const std::string& text) override { m_entries.push_back(text); }
    void insertEntry(int index, const std::string& text) override { m_entries.insert(at(index), text); }
    void removeEntry(int index) override { m_entries.erase(at(index)); }
    void selectIndex(int index) override { m_selected = index < entryCount() ? index : -1; }
    int selectedIndex() const override { return m_selected; }
    std::string entryText(int index) const override
    {
        return index >= 0 && index < entryCount() ? m_entries[static_cast<std::size_t>(index)] : "";
    }
    int entryCount() const override { return static_cast<int>(m_entries.size()); }
    int selectPrefix(const std::string& prefix) override
    {
        const auto same = [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        };
        for (int i = 0; i < entryCount(); ++i) {
            const std::string& entry = m_entries[static_cast<std::size_t>(i)];
            if (entry.size() >= prefix.size() &&
                std::equal(prefix.begin(), prefix.end(), entry.begin(), same))
                return m_selected = i;
        }
        return -1;
    }

    const std::vector<std::string>& entries() const { return m_entries; }
    std::string selectedText() const { return entryText(m_selected); }
    // The user picks an entry, by index or by its text (false when there is none).
    void userSelect(int index)
    {
        selectIndex(index);
        m_notify(platform::Notification::SelectionChanged);
    }
    bool userSelect(const std::string& text)
    {
        const auto found = std::find(m_entries.begin(), m_entries.end(), text);
        if (found != m_entries.end())
            userSelect(static_cast<int>(found - m_entries.begin()));
        return found != m_entries.end();
    }

  private:
    std::vector<std::string>::iterator at(int index) { return m_entries.begin() + index; }

    Notify m_notify;
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
    FakeEdit(Notify notify, FakeClipboard& clipboard) : m_notify(std::move(notify)), m_clipboard(clipboard) {}

    std::string text() const override { return m_text; }
    // Like a line edit: the caret goes to the end, then the text-changed notification.
    void setText(const std::string& text) override
    {
        m_text = text;
        m_start = m_end = length();
        notifyChanged();
    }
    int selectionStart() const override { return m_start; }
    int selectionEnd() const override { return m_end; }
    void setSelection(int start, int end) override
    {
        m_start = std::clamp(start, 0, length());
        m_end = start == 0 && end == -1 ? length() : std::clamp(end, 0, length());
    }
    void clearSelection() override { m_start = m_end; }
    void scrollCaret() override {}
    void copy() override { m_clipboard.setText(m_text.substr(from(), to() - from())); }
    void paste() override { userType(m_clipboard.text()); }

    // The user types at the caret, replacing the selection.
    void userType(const std::string& typed)
    {
        m_text.replace(from(), to() - from(), typed);
        m_start = m_end = static_cast<int>(from() + typed.size());
        notifyChanged();
    }
    void setCaret(int position) { setSelection(position, position); }

  private:
    int length() const { return static_cast<int>(m_text.size()); }
    std::size_t from() const { return static_cast<std::size_t>(std::min(m_start, m_end)); }
    std::size_t to() const { return static_cast<std::size_t>(std::max(m_start, m_end)); }
    void notifyChanged() { m_notify(platform::Notification::TextChanged); }

    Notify m_notify;
    FakeClipboard& m_clipboard;
    std::string m_text;
    int m_start = 0, m_end = 0;
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
        shown.push_back({text, caption, icon});
        return platform::MessageResult::Ok;
    }
    std::vector<ShownMessage> shown;
};

// The converter window's controls, by identifier, and the window's services.
class FakeDialogHost final : public platform::DialogHost {
  public:
    FakeDialogHost()
    {
        for (int id : {1048, 1005, 1006, 1050})
            lists.try_emplace(id, notifier(id));
        for (int id : {1013, 1015})
            edits.try_emplace(id, notifier(id), fakeClipboard);
        for (int id : {1019, 1020, 1045})
            texts[id];
    }

    void attach(platform::DialogController& controller) { m_controller = &controller; }

    platform::ListControl* list(int id) override { return find(lists, id); }
    platform::EditField* edit(int id) override { return find(edits, id); }
    platform::TextField* text(int id) override { return find(texts, id); }
    platform::MessageBoxes& messageBoxes() override { return messages; }
    platform::Clipboard& clipboard() override { return fakeClipboard; }
    void close() override { m_controller->onClose(); }
    void endDialog(int result) override { endResults.push_back(result); }
    void setMenuChecked(int, bool) override {}

    void notify(int id, platform::Notification notification) { m_controller->onNotify(id, notification); }

    FakeClipboard fakeClipboard;
    std::map<int, FakeList> lists;
    std::map<int, FakeEdit> edits;
    std::map<int, FakeText> texts;
    FakeMessageBoxes messages;
    std::vector<int> endResults;

  private:
    Notify notifier(int id)
    {
        return [this, id](platform::Notification notification) { notify(id, notification); };
    }
    template <typename T> static T* find(std::map<int, T>& map, int id)
    {
        auto found = map.find(id);
        return found == map.end() ? nullptr : &found->second;
    }

    platform::DialogController* m_controller = nullptr;
};

} // namespace meridal::test
