// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The platform contract: the rules of platform/*.h that the controllers rely on, each one
// typed test, written once against the platform interfaces and run on every host.
//
// A host joins by writing a host maker and instantiating the suite with it:
//
//   INSTANTIATE_TYPED_TEST_SUITE_P(MyHost, PlatformContract, MyHostMaker);
//
// A host maker is a class, default-constructible, that makes the contract window on its host
// and acts in it as the user does. It provides:
//
//   platform::DialogHost& open(platform::DialogController& controller);
//       Builds the contract window (below), runs `controller` in it as a window is run
//       (onAttach, onInitDialog), shows it as the active window and returns its host. It runs
//       no modal loop: the test runs the window's events with pump(). The window and its host
//       live until close() or until the maker goes; the controller outlives them.
//   void close();
//       Destroys the window that open() made, host and all.
//   int runWindow(const platform::WindowSystem::ControllerFactory& makeController);
//       Runs the contract window modally through the host's own WindowSystem::runWindow (the
//       code the program runs) and returns its result. The controller ends it itself.
//   void recordMessages(platform::MessageBoxes& boxes);
//       The message boxes of the windows that open() makes from now on go to `boxes`.
//   void clickEntry(int listId, int index);
//       The user clicks entry `index` of a list; on the drop-down list, opens it and clicks.
//   void controlClickEntry(int listId, int index);
//       The same with Ctrl held (list box only).
//   void clickBelowEntries(int listId);
//       The user clicks the list box's empty space below its last entry.
//   void type(int editId, const std::string& text);
//       The user types `text` (Windows-1252) into the edit field, at its caret.
//   void typeAtFocus(const std::string& text);
//       The user types `text` wherever the keyboard focus is, without clicking first.
//   void pressButton(int buttonId);
//       The user clicks the button.
//   void exposePicture(int pictureId);
//       The window system asks for the picture control to be painted again, as when a window
//       that covered it goes away.
//   void pump();
//       Delivers every event and posted task that is waiting.
//
// The contract window holds, in this tab order: the drop-down list `dropDownId`, the list box
// `listBoxId` (single selection, unsorted, at least 6 entries high), the edit field `editId`,
// the picture control `pictureId` (reports clicks, at least 16 by 16 pixels) and the button
// `buttonId`. The window has no OK (1) or Cancel (2) control.

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/window_system.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace meridal::contract {

enum ContractControl : int { dropDownId = 10, listBoxId = 11, editId = 12, pictureId = 13, buttonId = 14 };

using platform::Notification;

// A controller that records what its window tells it; each handler can be given something to
// do as well.
class RecordingController : public platform::DialogController {
  public:
    struct Message {
        int controlId;
        Notification code;
        bool operator==(const Message&) const = default;
    };

    void onAttach(platform::DialogHost& attached) override { host = &attached; }
    bool onInitDialog() override
    {
        if (onInit)
            onInit();
        return true;
    }
    void onNotify(const platform::NotifyMessage& message) override
    {
        messages.push_back({message.controlId, message.code});
        if (onMessage)
            onMessage(message);
    }
    void onCommand(int /*commandId*/) override {}
    void onClose() override {}
    void onPaint() override
    {
        ++paints;
        if (onPainted)
            onPainted();
    }

    std::ptrdiff_t count(int controlId, Notification code) const
    {
        return std::count(messages.begin(), messages.end(), Message{controlId, code});
    }

    platform::DialogHost* host = nullptr;
    std::vector<Message> messages;
    int paints = 0;
    std::function<void()> onInit;
    std::function<void(const platform::NotifyMessage&)> onMessage;
    std::function<void()> onPainted;
};

// Records message boxes and answers each with OK.
class RecordedMessageBoxes final : public platform::MessageBoxes {
  public:
    struct Shown {
        std::string text;
        platform::MessageIcon icon;
    };
    platform::MessageResult show(const std::string& text, const std::string& /*caption*/,
                                 platform::MessageIcon icon, platform::MessageButtons /*buttons*/,
                                 platform::DefaultButton /*defaultButton*/) override
    {
        shown.push_back({text, icon});
        return platform::MessageResult::Ok;
    }
    std::vector<Shown> shown;
};

template <typename HostMaker> class PlatformContract : public ::testing::Test {
  protected:
    // Opens the contract window with the fixture's controller, and lets it show.
    platform::DialogHost& open()
    {
        platform::DialogHost& host = maker.open(controller);
        maker.pump();
        return host;
    }

    static void fill(platform::ListControl& list, std::initializer_list<const char*> entries)
    {
        list.reset();
        for (const char* entry : entries)
            list.addEntry(entry);
    }

    RecordingController controller; // declared first: the window goes before its controller
    HostMaker maker;
};

TYPED_TEST_SUITE_P(PlatformContract);

// A list's selection changes notify only when the user makes them: nothing the program does to
// a list, selecting by index or by prefix, filling or emptying it, notifies.
TYPED_TEST_P(PlatformContract, onlyTheUsersSelectionsNotify)
{
    platform::DialogHost& host = this->open();
    for (const int id : {dropDownId, listBoxId}) {
        SCOPED_TRACE(id);
        platform::ListControl& list = *host.list(id);
        this->fill(list, {"alpha", "beta", "gamma"});
        list.selectIndex(1);
        EXPECT_EQ(list.selectPrefix("g"), 2);
        list.insertEntry(0, "first");
        list.removeEntry(3);
        list.selectIndex(-1);
        list.selectIndex(0);
        this->maker.pump();
        EXPECT_EQ(this->controller.count(id, Notification::SelectionChanged), 0);

        this->maker.clickEntry(id, 2);
        this->maker.pump();
        EXPECT_EQ(list.selectedIndex(), 2);
        EXPECT_EQ(this->controller.count(id, Notification::SelectionChanged), 1);
    }
}

// Select by prefix: the first entry from the top whose text begins with the prefix, ignoring
// case as Windows-1252 folds it; an empty prefix takes the first entry; no match leaves the
// selection as it was.
TYPED_TEST_P(PlatformContract, selectByPrefixTakesTheFirstMatchIgnoringWindows1252Case)
{
    platform::DialogHost& host = this->open();
    const struct {
        const char* prefix;
        int found;
    } cases[] = {
        {"M", 0},        // mm comes before m, and M matches m
        {"m", 0},        // the same
        {"\xC9T", 2},    // E acute, capital and small
        {"\x8A", 3},     // S caron
        {"\xFF", 4},     // y diaeresis finds the capital
        {"", 0},         // the first entry
        {"\xB0", 5},     // the degree sign has no case
        {"x", -1},       // no match: the selection stays
        {"mmm", -1},     // longer than every entry it begins
        {"\xDF", 6},     // sharp s matches itself
        {"SS", -1},      // and nothing that it might be spelled as
        {"\xC3\xA9", -1} // UTF-8 is no Windows-1252 text
    };
    for (const int id : {dropDownId, listBoxId}) {
        platform::ListControl& list = *host.list(id);
        // Octal escapes: S caron, capital Y diaeresis, the degree sign.
        this->fill(list, {"mm", "m", "\xE9t\xE9", "\232b", "\237z", "\260C", "\xDF"});
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << id << " '" << c.prefix << "'");
            list.selectIndex(1);
            EXPECT_EQ(list.selectPrefix(c.prefix), c.found);
            EXPECT_EQ(list.selectedIndex(), c.found < 0 ? 1 : c.found);
        }
        list.reset();
        EXPECT_EQ(list.selectPrefix(""), -1);
        EXPECT_EQ(list.selectedIndex(), -1);
    }
    this->maker.pump();
    EXPECT_TRUE(this->controller.messages.empty());
}

// A single-selection list box never loses its selection to the user: a click below the
// entries or Ctrl+click on the selected entry changes nothing and notifies nothing. The
// program clears it, by selecting nothing or by removing the selected entry.
TYPED_TEST_P(PlatformContract, aListBoxNeverLosesItsSelectionToTheUser)
{
    platform::DialogHost& host = this->open();
    platform::ListControl& list = *host.list(listBoxId);
    this->fill(list, {"a", "b", "c"});
    this->maker.clickEntry(listBoxId, 1);
    this->maker.pump();
    ASSERT_EQ(list.selectedIndex(), 1);
    this->controller.messages.clear();

    this->maker.clickBelowEntries(listBoxId);
    this->maker.controlClickEntry(listBoxId, 1);
    this->maker.pump();
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(this->controller.count(listBoxId, Notification::SelectionChanged), 0);

    list.selectIndex(-1);
    EXPECT_EQ(list.selectedIndex(), -1);
    list.selectIndex(2);
    list.removeEntry(2);
    EXPECT_EQ(list.selectedIndex(), -1);
    // With nothing selected, a click selects; Ctrl+click on another entry moves the selection.
    this->maker.clickEntry(listBoxId, 1);
    this->maker.controlClickEntry(listBoxId, 0);
    this->maker.pump();
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_EQ(this->controller.count(listBoxId, Notification::SelectionChanged), 2);
}

// Every change of an edit field's text notifies, the program's too; setText notifies before it
// returns, even with the text the field holds, and a handler that sets the text again from
// inside the notification (as the numeric filter does) gets its nested one at once.
TYPED_TEST_P(PlatformContract, setTextNotifiesBeforeItReturns)
{
    platform::DialogHost& host = this->open();
    platform::EditField& edit = *host.edit(editId);
    std::vector<std::string> seen; // the text each notification found, nested ones included
    int depth = 0;
    int deepest = 0;
    this->controller.onMessage = [&](const platform::NotifyMessage& message) {
        if (message.controlId != editId || message.code != Notification::TextChanged)
            return;
        ++depth;
        deepest = std::max(deepest, depth);
        std::string text = edit.text();
        seen.push_back(text);
        if (const auto letter = text.find('x'); letter != std::string::npos)
            edit.setText(text.erase(letter, 1));
        --depth;
    };
    edit.setText("12");
    EXPECT_EQ(seen, std::vector<std::string>{"12"});
    edit.setText("12");
    EXPECT_EQ(seen.size(), 2u);
    edit.setText("1x2");
    EXPECT_EQ(seen, (std::vector<std::string>{"12", "12", "1x2", "12"}));
    EXPECT_EQ(deepest, 2);
    EXPECT_EQ(edit.text(), "12");

    // The user's typing notifies as well, one character at a time or the whole text at once.
    seen.clear();
    edit.setSelection(0, -1);
    this->maker.type(editId, "7");
    this->maker.pump();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "7");
    EXPECT_EQ(edit.text(), "7");
}

// Setting a picture never triggers a paint: the paint handling may set the picture (the
// banner does) without painting for ever.
TYPED_TEST_P(PlatformContract, settingAPictureNeverTriggersAPaint)
{
    platform::DialogHost& host = this->open();
    int shown = 0;
    this->controller.onPainted = [&] {
        platform::Image picture(16, 16, shown % 2 == 0 ? 0x2040A0u : 0xFFFFFFu);
        ++shown;
        host.setPicture(pictureId, picture);
    };
    this->controller.paints = 0;
    this->maker.exposePicture(pictureId);
    for (int i = 0; i < 5; ++i)
        this->maker.pump();
    EXPECT_EQ(this->controller.paints, 1);

    // Nor does a picture set by any other handler.
    this->controller.onMessage = [&](const platform::NotifyMessage& message) {
        if (message.controlId == buttonId)
            host.setPicture(pictureId, platform::Image(16, 16, 0x00FF00u));
    };
    this->maker.pressButton(buttonId);
    for (int i = 0; i < 5; ++i)
        this->maker.pump();
    EXPECT_EQ(this->controller.count(buttonId, Notification::Clicked), 1);
    EXPECT_EQ(this->controller.paints, 1);
}

// Posted tasks run on the window's thread in the order posted, from any thread, but only while
// the window runs: once it has ended, a task still waiting or posted later never runs.
TYPED_TEST_P(PlatformContract, aTaskPostedAfterTheWindowHasEndedNeverRuns)
{
    platform::DialogHost& host = this->open();
    std::vector<std::string> ran;
    const std::thread::id windowThread = std::this_thread::get_id();
    bool onWindowThread = true;
    auto task = [&](std::string name) {
        return [&, name] {
            onWindowThread = onWindowThread && std::this_thread::get_id() == windowThread;
            ran.push_back(name);
        };
    };
    host.post(task("first"));
    std::thread worker([&] { host.post(task("from a worker")); });
    worker.join();
    host.post(task("third"));
    this->maker.pump();
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "from a worker", "third"}));
    EXPECT_TRUE(onWindowThread);

    ran.clear();
    host.post([&] {
        ran.push_back("ends the window");
        host.endDialog(3);
    });
    host.post(task("waiting when it ended"));
    this->maker.pump();
    host.post(task("posted after it ended"));
    this->maker.pump();
    this->maker.close();
    this->maker.pump();
    EXPECT_EQ(ran, std::vector<std::string>{"ends the window"});
}

// The host outlives its controller: the window system destroys the controller first, so its
// destructor may still use the host, and does so before runWindow returns.
TYPED_TEST_P(PlatformContract, theHostOutlivesItsController)
{
    struct Seen {
        bool destroyed = false;
        std::string entry, text;
        bool postedRan = false;
    } seen;
    class Controller final : public RecordingController {
      public:
        explicit Controller(platform::DialogHost& made, Seen& seen) : m_host(made), m_seen(seen) {}
        ~Controller() override
        {
            m_seen.destroyed = true;
            if (platform::ListControl* list = m_host.list(listBoxId))
                m_seen.entry = list->entryText(0);
            if (platform::EditField* edit = m_host.edit(editId))
                m_seen.text = edit->text();
            m_host.post([&seen = m_seen] { seen.postedRan = true; });
        }
        bool onInitDialog() override
        {
            m_host.list(listBoxId)->addEntry("kept");
            m_host.edit(editId)->setText("12");
            m_host.post([this] { m_host.endDialog(4); });
            return true;
        }

      private:
        platform::DialogHost& m_host;
        Seen& m_seen;
    };
    platform::DialogHost* madeFor = nullptr;
    const int result = this->maker.runWindow([&](platform::DialogHost& made) {
        madeFor = &made;
        return std::make_unique<Controller>(made, seen);
    });
    EXPECT_EQ(result, 4);
    EXPECT_NE(madeFor, nullptr);
    EXPECT_TRUE(seen.destroyed);
    EXPECT_EQ(seen.entry, "kept");
    EXPECT_EQ(seen.text, "12");
    EXPECT_FALSE(seen.postedRan);
}

// An exception that a handler lets go is reported with an error message box, and the window
// goes on: the next messages arrive as before.
TYPED_TEST_P(PlatformContract, anExceptionFromAHandlerIsReportedAndTheWindowGoesOn)
{
    RecordedMessageBoxes boxes;
    this->maker.recordMessages(boxes);
    platform::DialogHost& host = this->open();
    int clicks = 0;
    this->controller.onMessage = [&](const platform::NotifyMessage& message) {
        if (message.controlId == buttonId && ++clicks == 1)
            throw std::runtime_error("the handler failed");
    };
    this->controller.onPainted = [] { throw std::invalid_argument("the paint failed"); };
    this->maker.pressButton(buttonId);
    this->maker.pump();
    host.post([] { throw 7; });
    this->maker.pump();
    this->maker.exposePicture(pictureId);
    this->maker.pump();
    ASSERT_EQ(boxes.shown.size(), 3u);
    for (const auto& shown : boxes.shown) {
        EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
        EXPECT_FALSE(shown.text.empty());
    }

    bool ran = false;
    host.post([&] { ran = true; });
    this->maker.pressButton(buttonId);
    this->maker.pump();
    EXPECT_TRUE(ran);
    EXPECT_EQ(this->controller.count(buttonId, Notification::Clicked), 2);
    EXPECT_EQ(boxes.shown.size(), 3u);
}

// The controller chooses the first focus while the window initialises: typing then goes to the
// edit field without a click, although the drop-down list and the list box come first in the
// tab order.
TYPED_TEST_P(PlatformContract, theFocusChosenAtInitialisationIsTheFirstFocus)
{
    this->controller.onInit = [this] {
        platform::DialogHost& host = *this->controller.host;
        this->fill(*host.list(dropDownId), {"1", "2"});
        this->fill(*host.list(listBoxId), {"1", "2"});
        host.setFocus(editId);
    };
    platform::DialogHost& host = this->open();
    EXPECT_EQ(this->controller.count(editId, Notification::FocusGained), 1);
    const int dropDownSelection = host.list(dropDownId)->selectedIndex();
    this->maker.typeAtFocus("12");
    this->maker.pump();
    EXPECT_EQ(host.edit(editId)->text(), "12");
    EXPECT_EQ(host.list(dropDownId)->selectedIndex(), dropDownSelection);
    EXPECT_EQ(host.list(listBoxId)->selectedIndex(), -1);
}

REGISTER_TYPED_TEST_SUITE_P(PlatformContract, onlyTheUsersSelectionsNotify,
                            selectByPrefixTakesTheFirstMatchIgnoringWindows1252Case,
                            aListBoxNeverLosesItsSelectionToTheUser, setTextNotifiesBeforeItReturns,
                            settingAPictureNeverTriggersAPaint, aTaskPostedAfterTheWindowHasEndedNeverRuns,
                            theHostOutlivesItsController, anExceptionFromAHandlerIsReportedAndTheWindowGoesOn,
                            theFocusChosenAtInitialisationIsTheFirstFocus);

} // namespace meridal::contract
