// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/windows1252.h"
#include "platform/controls.h"
#include "platform/desktop.h"
#include "platform/dialog.h"
#include "platform/window_system.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace meridal::test {

// Substitute controls and windows that keep the platform's rules (platform/*.h) as the real
// hosts do, checked by the same contract tests (tests/contract): the program's own selections
// notify nothing, setText notifies TextChanged before it returns, the user's actions (the user*
// operations) notify as the platform would, an exception from a handler is reported and the
// window goes on, and posted tasks run only while the window runs.
using Notify = std::function<void(platform::Notification, int index)>;

class FakeList final : public platform::ListControl {
  public:
    // Entries are `rowHeight` pixels high, from the top of the list.
    static constexpr int rowHeight = 16;

    explicit FakeList(Notify notify, bool sorted = false) : m_notify(std::move(notify)), m_sorted(sorted) {}

    void reset() override
    {
        m_entries.clear();
        m_selected = -1;
    }
    void addEntry(const std::string& text) override
    {
        if (failAddingAfter >= 0 && entryCount() >= failAddingAfter)
            throw std::bad_alloc();
        if (!m_sorted)
            m_entries.push_back(text);
        else
            m_entries.insert(std::upper_bound(m_entries.begin(), m_entries.end(), text,
                                              [](const std::string& a, const std::string& b) {
                                                  return sortsBefore1252(a, b);
                                              }),
                             text);
    }
    // The selected entry stays selected, as in a list box.
    void insertEntry(int index, const std::string& text) override
    {
        m_entries.insert(at(index), text);
        if (m_selected >= index)
            ++m_selected;
    }
    void removeEntry(int index) override
    {
        m_entries.erase(at(index));
        if (m_selected == index)
            m_selected = -1;
        else if (m_selected > index)
            --m_selected;
    }
    void selectIndex(int index) override { m_selected = index < entryCount() ? index : -1; }
    int selectedIndex() const override { return m_selected; }
    std::string entryText(int index) const override
    {
        return index >= 0 && index < entryCount() ? m_entries[static_cast<std::size_t>(index)] : "";
    }
    int entryCount() const override { return static_cast<int>(m_entries.size()); }
    int selectPrefix(const std::string& prefix) override
    {
        for (int i = 0; i < entryCount(); ++i) {
            if (startsWithIgnoreCase1252(m_entries[static_cast<std::size_t>(i)], prefix))
                return m_selected = i;
        }
        return -1;
    }
    int entryAt(platform::Point client) const override
    {
        if (client.x < 0 || client.y < 0)
            return -1;
        const int row = client.y / rowHeight;
        return row < entryCount() ? row : -1;
    }

    const std::vector<std::string>& entries() const { return m_entries; }
    // From this many entries on, adding one fails as when memory runs out (-1: never).
    int failAddingAfter = -1;
    std::string selectedText() const { return entryText(m_selected); }
    // The user picks an entry, by index or by its text (false when there is none). The user
    // never takes a list's selection away: picking no entry changes nothing.
    void userSelect(int index)
    {
        if (index < 0 || index >= entryCount())
            return;
        selectIndex(index);
        m_notify(platform::Notification::SelectionChanged, index);
    }
    bool userSelect(const std::string& text)
    {
        const auto found = std::find(m_entries.begin(), m_entries.end(), text);
        if (found != m_entries.end())
            userSelect(static_cast<int>(found - m_entries.begin()));
        return found != m_entries.end();
    }
    // The user clicks the list at `client`, with Ctrl held when `control` is set. A click on an
    // entry selects it; a click below the entries, or Ctrl+click on the selected entry, keeps
    // the selection and tells nothing, as a list box does.
    void userClick(platform::Point client, bool control = false)
    {
        const int index = entryAt(client);
        if (index < 0 || (control && index == m_selected))
            return;
        userSelect(index);
    }
    // Where entry `index` lies, in the list's own coordinates.
    static platform::Point entryPoint(int index) { return {4, index * rowHeight + rowHeight / 2}; }
    // The user double-clicks entry `index`: it is selected first, as a click selects it.
    void userDoubleClick(int index)
    {
        userSelect(index);
        m_notify(platform::Notification::DoubleClicked, index);
    }

  private:
    std::vector<std::string>::iterator at(int index) { return m_entries.begin() + index; }

    Notify m_notify;
    bool m_sorted;
    std::vector<std::string> m_entries;
    int m_selected = -1;
};

class FakeClipboard final : public platform::Clipboard {
  public:
    bool setText(const std::string& text) override
    {
        if (!available)
            return false;
        m_text = text;
        return true;
    }
    std::string text() const override { return m_text; }

    bool available = true; // false: the clipboard cannot be opened

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
        m_unrepresentable.reset();
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
    std::optional<char32_t> unrepresentable() const override { return m_unrepresentable; }
    void setReadOnly(bool readOnly) override { m_readOnly = readOnly; }
    bool readOnly() const { return m_readOnly; }

    // The user types at the caret, replacing the selection; a read-only field ignores it.
    void userType(const std::string& typed)
    {
        if (m_readOnly)
            return;
        m_text.replace(from(), to() - from(), typed);
        m_start = m_end = static_cast<int>(from() + typed.size());
        notifyChanged();
    }
    // The user types a character that Windows-1252 cannot hold: the field reads it as "?".
    void userTypeUnrepresentable(char32_t codePoint)
    {
        if (!m_unrepresentable)
            m_unrepresentable = codePoint;
        userType("?");
    }
    void setCaret(int position) { setSelection(position, position); }

  private:
    int length() const { return static_cast<int>(m_text.size()); }
    std::size_t from() const { return static_cast<std::size_t>(std::min(m_start, m_end)); }
    std::size_t to() const { return static_cast<std::size_t>(std::max(m_start, m_end)); }
    void notifyChanged() { m_notify(platform::Notification::TextChanged, -1); }

    Notify m_notify;
    FakeClipboard& m_clipboard;
    std::string m_text;
    std::optional<char32_t> m_unrepresentable;
    int m_start = 0, m_end = 0;
    bool m_readOnly = false;
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
    platform::MessageButtons buttons = platform::MessageButtons::Ok;
    platform::DefaultButton defaultButton = platform::DefaultButton::First;
};

// Records every message box; answers from `answers` in turn, then with the default button.
class FakeMessageBoxes final : public platform::MessageBoxes {
  public:
    platform::MessageResult show(const std::string& text, const std::string& caption,
                                 platform::MessageIcon icon, platform::MessageButtons buttons,
                                 platform::DefaultButton defaultButton) override
    {
        shown.push_back({text, caption, icon, buttons, defaultButton});
        if (whileShown)
            whileShown();
        if (!answers.empty()) {
            const platform::MessageResult answer = answers.front();
            answers.pop_front();
            return answer;
        }
        const bool first = defaultButton == platform::DefaultButton::First;
        switch (buttons) {
        case platform::MessageButtons::YesNo:
            return first ? platform::MessageResult::Yes : platform::MessageResult::No;
        case platform::MessageButtons::OkCancel:
            return first ? platform::MessageResult::Ok : platform::MessageResult::Cancel;
        case platform::MessageButtons::Ok:
            break;
        }
        return platform::MessageResult::Ok;
    }
    std::vector<ShownMessage> shown;
    std::deque<platform::MessageResult> answers;
    // What the person (or another program) does while a box is on screen.
    std::function<void()> whileShown;
};

// The desktop, recording what the program asked of it.
class FakeDesktop final : public platform::Desktop {
  public:
    void openTarget(const std::string& target, std::function<void()> failed) override
    {
        openedTargets.push_back(target);
        calls.push_back("openTarget");
        if (targetsFail)
            failed();
    }
    bool startCalculator() override
    {
        ++calculatorStarts;
        calls.push_back("startCalculator");
        return calculatorStartsSucceed;
    }
    bool writeProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override
    {
        profileWrites.emplace_back(section, key, value);
        calls.push_back("writeProfileString");
        return profileWritesSucceed;
    }
    std::string programFilePath() override { return "/opt/meridal/meridal"; }
    std::string programFileVersion() override { return version; }
    DateStatus programFileCreated(platform::LocalDateTime& created) override
    {
        created = createdAt;
        return dateStatus;
    }
    std::string shortDate(const platform::LocalDateTime& date) override
    {
        return std::to_string(date.month) + "/" + std::to_string(date.day) + "/" + std::to_string(date.year);
    }

    std::vector<std::string> openedTargets;
    bool targetsFail = false;
    int calculatorStarts = 0;
    bool calculatorStartsSucceed = true;
    std::vector<std::tuple<std::string, std::string, std::string>> profileWrites;
    bool profileWritesSucceed = true;
    std::vector<std::string> calls; // the operations above, in the order they were asked for
    std::string version = "2.1.0.4";
    platform::LocalDateTime createdAt{2011, 2, 7, 10, 30, 0};
    DateStatus dateStatus = DateStatus::Ok;
};

// The converter window's controls, by identifier, and the window's services.
class FakeDialogHost final : public platform::DialogHost {
  public:
    // The converter window's controls; its three selection lists are sorted, as its layout says.
    FakeDialogHost() : FakeDialogHost({1048, 1005, 1006}, {1050}, {1013, 1015}, {1019, 1020, 1045}) {}

    FakeDialogHost(std::initializer_list<int> sortedLists, std::initializer_list<int> plainLists,
                   std::initializer_list<int> editIds, std::initializer_list<int> textIds)
    {
        for (int id : sortedLists)
            lists.try_emplace(id, notifier(id), true);
        for (int id : plainLists)
            lists.try_emplace(id, notifier(id), false);
        for (int id : editIds)
            edits.try_emplace(id, notifier(id), fakeClipboard);
        for (int id : textIds)
            texts[id];
    }

    void attach(platform::DialogController& controller)
    {
        m_controller = &controller;
        controller.onAttach(*this);
    }
    // Attaches `controller` and initialises the window, as it shows. False when the
    // initialisation gave up or already ended the window.
    bool open(platform::DialogController& controller)
    {
        attach(controller);
        bool initialised = false;
        deliver([&] { initialised = controller.onInitDialog(); });
        return initialised && !ended();
    }
    // Whether the window has been ended (endDialog).
    bool ended() const { return !endResults.empty(); }

    platform::ListControl* list(int id) override { return find(lists, id); }
    platform::EditField* edit(int id) override { return find(edits, id); }
    platform::TextField* text(int id) override { return find(texts, id); }
    bool hasControl(int id) override
    {
        return lists.count(id) || edits.count(id) || texts.count(id) || otherControls.count(id);
    }
    platform::MessageBoxes& messageBoxes() override { return *m_messageBoxes; }
    // Message boxes go to `boxes` from now on instead of `messages`.
    void setMessageBoxes(platform::MessageBoxes& boxes) { m_messageBoxes = &boxes; }
    platform::Clipboard& clipboard() override { return fakeClipboard; }
    platform::Desktop& desktop() override { return fakeDesktop; }
    void close() override
    {
        deliver([&] { m_controller->onClose(); });
    }
    void endDialog(int result) override { endResults.push_back(result); }
    void setCaption(const std::string& text) override { caption = text; }
    void setMenuChecked(int commandId, bool checked) override { menuChecks[commandId] = checked; }
    bool popupMenu(unsigned menuId, platform::Point screen) override
    {
        popups.emplace_back(menuId, screen);
        return true;
    }
    int runDialog(unsigned layoutId, platform::DialogController& controller) override
    {
        dialogsRun.push_back(layoutId);
        return dialogRunner ? dialogRunner(layoutId, controller) : -1;
    }
    bool startTimer(int timerId, int milliseconds) override
    {
        timers[timerId] = milliseconds;
        return true;
    }
    void stopTimer(int timerId) override
    {
        timers.erase(timerId);
        stoppedTimers.push_back(timerId);
    }
    void addTooltip(int controlId) override { tooltips.insert(controlId); }
    platform::Point cursorPosition() override { return cursor; }
    platform::Point toClient(int controlId, platform::Point screen) override
    {
        const platform::Point origin = origins[controlId];
        return {screen.x - origin.x, screen.y - origin.y};
    }
    platform::Size clientSize(int controlId) override { return sizes[controlId]; }
    void setCursor(unsigned cursorId) override { cursorShape = cursorId; }
    std::optional<platform::Image> loadBitmap(unsigned bitmapId) override
    {
        const auto found = bitmaps.find(bitmapId);
        return found == bitmaps.end() ? std::nullopt : std::optional<platform::Image>(found->second);
    }
    void setPicture(int controlId, const platform::Image& image) override { pictures[controlId] = image; }
    bool setButtonBitmap(int controlId, unsigned bitmapId) override
    {
        if (!bitmaps.count(bitmapId))
            return false;
        buttonBitmaps[controlId] = bitmapId;
        return true;
    }
    void setFont(int controlId, const std::string& face, int points, int weight) override
    {
        fonts[controlId] = {face, points, weight};
    }
    // Callable from any thread, as the real one.
    void post(std::function<void()> task) override
    {
        std::lock_guard lock(postedMutex);
        posted.push_back(std::move(task));
    }
    // Edit fields tell when they gain and lose the focus, as the user's moves do.
    void setFocus(int controlId) override
    {
        if (!hasControl(controlId) || controlId == focused)
            return;
        const int previous = std::exchange(focused, controlId);
        if (edits.count(previous))
            notify(previous, platform::Notification::FocusLost);
        if (edits.count(controlId))
            notify(controlId, platform::Notification::FocusGained);
    }

    // Runs what was posted so far, in order, while the window runs; once it has ended, what
    // waits is dropped. False when nothing was waiting.
    bool runPosted()
    {
        std::vector<std::function<void()>> tasks;
        {
            std::lock_guard lock(postedMutex);
            tasks = std::move(posted);
            posted.clear();
        }
        for (auto& task : tasks) {
            if (ended())
                break;
            deliver(task);
        }
        return !tasks.empty();
    }

    void notify(int id, platform::Notification notification, int index = -1)
    {
        deliver([&] { m_controller->onNotify({id, notification, index}); });
    }
    void command(int id)
    {
        deliver([&] { m_controller->onCommand(id); });
    }
    // The window is painted (shown or uncovered).
    void paint()
    {
        deliver([&] { m_controller->onPaint(); });
    }

    // One message to the controller. An exception it lets go ends here: a line on standard
    // error and the system's report, as on the real hosts, and the window goes on.
    template <typename Call> void deliver(Call&& call)
    {
        int error = 0;
        try {
            call();
            return;
        } catch (const std::bad_alloc& failure) {
            error = ENOMEM;
            failures.emplace_back(failure.what());
        } catch (const std::exception& failure) {
            error = EINVAL;
            failures.emplace_back(failure.what());
        } catch (...) {
            error = EINVAL;
            failures.emplace_back("an exception of unknown type");
        }
        std::cerr << "meridal: " << failures.back() << std::endl;
        messageBoxes().show(utf8ToWindows1252Lossy(std::strerror(error)), failureCaption,
                            platform::MessageIcon::Error, platform::MessageButtons::Ok,
                            platform::DefaultButton::First);
    }

    struct Font {
        std::string face;
        int points = 0;
        int weight = 0;
    };

    FakeClipboard fakeClipboard;
    FakeDesktop fakeDesktop;
    std::map<int, FakeList> lists;
    std::map<int, FakeEdit> edits;
    std::map<int, FakeText> texts;
    std::set<int> otherControls; // buttons and pictures
    FakeMessageBoxes messages;
    std::vector<int> endResults;
    std::string caption;
    std::map<int, bool> menuChecks;
    std::vector<std::pair<unsigned, platform::Point>> popups;
    std::vector<unsigned> dialogsRun;
    std::function<int(unsigned, platform::DialogController&)> dialogRunner;
    std::map<int, int> timers;
    std::vector<int> stoppedTimers;
    std::set<int> tooltips;
    platform::Point cursor;
    std::map<int, platform::Point> origins; // each control's client origin on the screen
    std::map<int, platform::Size> sizes;
    unsigned cursorShape = 0;
    std::map<unsigned, platform::Image> bitmaps;
    std::map<int, platform::Image> pictures;
    std::map<int, unsigned> buttonBitmaps;
    std::map<int, Font> fonts;
    std::vector<std::function<void()>> posted;
    std::mutex postedMutex;
    int focused = 0;                   // the control given the focus (setFocus), 0 for none
    std::vector<std::string> failures; // what the exceptions that reached the host said
    std::string failureCaption;        // the report's caption (the module's string 208)

  private:
    Notify notifier(int id)
    {
        return [this, id](platform::Notification notification, int index) {
            if (m_controller)
                notify(id, notification, index);
        };
    }
    template <typename T> static T* find(std::map<int, T>& map, int id)
    {
        auto found = map.find(id);
        return found == map.end() ? nullptr : &found->second;
    }

    platform::DialogController* m_controller = nullptr;
    platform::MessageBoxes* m_messageBoxes = &messages;
};

// Windows on substitute controls, run as WindowSystem::runWindow runs them: the controller is
// made for its host and initialised, then served the tasks it posts until it ends the window;
// with nothing left to run the window gets the close message, as when the user closes it. The
// controller is destroyed before its host.
class FakeWindowSystem final : public platform::WindowSystem {
  public:
    using HostMaker = std::function<std::unique_ptr<FakeDialogHost>(unsigned layoutId)>;
    explicit FakeWindowSystem(HostMaker makeHost) : m_makeHost(std::move(makeHost)) {}

    platform::MessageBoxes& messageBoxes() override { return ownerless; }
    int runWindow(const Resources& /*resources*/, unsigned layoutId,
                  const ControllerFactory& makeController) override
    {
        const std::unique_ptr<FakeDialogHost> host = m_makeHost(layoutId);
        if (!host)
            return -1;
        {
            const std::unique_ptr<platform::DialogController> controller = makeController(*host);
            if (host->open(*controller)) {
                while (!host->ended()) {
                    if (host->runPosted())
                        continue;
                    host->close();
                    if (!host->ended())
                        break;
                }
            }
        }
        return host->ended() ? host->endResults.front() : -1;
    }

    FakeMessageBoxes ownerless;

  private:
    HostMaker m_makeHost;
};

} // namespace meridal::test
