// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/ui/conversion_log_fixture.h"

#include "persistence/log_file.h"
#include "ui/log/conversion_log.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace meridal::test {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;
using platform::Notification;
using Entries = std::vector<std::string>;
namespace fs = std::filesystem;

TEST_F(ConversionLogTest, linesLoadAsEntriesAndAreWrittenBackWithCrLf)
{
    struct Case {
        const char* name;
        std::optional<std::string> file; // nullopt: no file
        Entries entries;
        std::string saved;
    };
    const Case cases[] = {
        {"first start", std::nullopt, {}, ""},
        {"empty file", "", {}, ""},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
        {"LF, last line open", "a\nb", {"a", "b"}, "a\r\nb\r\n"},
        {"empty line kept in its place", "a\n\nb\n", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"NUL splits a line", std::string("a\0b\n", 4), {"a", "b"}, "a\r\nb\r\n"},
        {"lone CR", "a\rb\r", {"a", "b"}, "a\r\nb\r\n"},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"one empty line", "\n", {""}, "\r\n"},
        {"spaces and Windows-1252 kept",
         " 1 \xB0"
         "C  =  2 x \r\n",
         {" 1 \xB0"
          "C  =  2 x "},
         " 1 \xB0"
         "C  =  2 x \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        fs::remove("log.txt", ignored);
        ASSERT_TRUE(openWithLog(c.file));
        EXPECT_TRUE(fs::is_regular_file("log.txt"));
        EXPECT_EQ(log().entries(), c.entries);

        // Closing and opening again, twice, changes nothing more.
        for (int round = 0; round < 2; ++round) {
            window().onClose();
            EXPECT_EQ(readLog(), c.saved);
            ASSERT_TRUE(open());
            EXPECT_EQ(log().entries(), c.entries);
        }
        EXPECT_TRUE(messages().empty());
    }
}

TEST_F(ConversionLogTest, addPutsTheConversionOnTopAndKeepsAtMost101AfterwardsWhateverWasLoaded)
{
    struct Case {
        int loaded;
        int after;
        const char* bottom;
    };
    // Lines e0, e1, ...: an add drops the entry at position 100 (e100) when there is one.
    const Case cases[] = {
        {0, 1, "12 in  =  1.000000 ft"},
        {99, 100, "e98"},
        {100, 101, "e99"},
        {101, 101, "e99"},
        {150, 150, "e149"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loaded);
        std::string file;
        for (int i = 0; i < c.loaded; ++i)
            file += "e" + std::to_string(i) + "\r\n";
        ASSERT_TRUE(openWithLog(file));
        ASSERT_EQ(log().entryCount(), c.loaded);
        if (c.loaded > 0)
            log().userSelect(0);

        click(addButton);
        ASSERT_EQ(log().entryCount(), c.after);
        EXPECT_EQ(log().entryText(0), "12 in  =  1.000000 ft");
        EXPECT_EQ(log().entryText(c.after - 1), c.bottom);
        const auto& entries = log().entries();
        EXPECT_EQ(std::find(entries.begin(), entries.end(), "e100"), entries.end());
        if (c.loaded > 0) {
            EXPECT_EQ(log().entryText(1), "e0");
            EXPECT_EQ(log().selectedText(), "e0"); // the selection stays on its entry
        }
    }
}

TEST_F(ConversionLogTest, parseSplitsAtTheFirstEqualsSignAndTheFirstSpaceOfEachSide)
{
    struct Case {
        std::string entry;
        std::optional<LogEntryParts> parts; // nullopt: an invalid argument
    };
    const Case cases[] = {
        {"12 in  =  1.000000 ft", LogEntryParts{"12", "in", "1.000000", "ft"}},
        {"1 sq ft  =  0.092903 sq m", LogEntryParts{"1", "sq ft", "0.092903", "sq m"}},
        {"5 x  =  3 a=b", LogEntryParts{"5", "x", "3", "a=b"}},
        // An "=" in the start label is taken as the separator.
        {"5 ka=b  =  3 ft", LogEntryParts{"5", "", "", "=  3 ft"}},
        {"5 a=b  =  3 ft", std::nullopt},
        {"12in  =  1 ft", std::nullopt},
        {"12 in  =  1ft", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        if (!c.parts) {
            EXPECT_THROW(ConversionLog::parseLogEntry(c.entry), std::invalid_argument);
            continue;
        }
        const LogEntryParts p = ConversionLog::parseLogEntry(c.entry);
        EXPECT_EQ((Entries{p.input, p.startUnit, p.result, p.endUnit}),
                  (Entries{c.parts->input, c.parts->startUnit, c.parts->result, c.parts->endUnit}));
    }
}

TEST_F(ConversionLogTest, restoreByButtonOrDoubleClickPutsTheConversionBack)
{
    for (bool doubleClick : {false, true}) {
        SCOPED_TRACE(doubleClick ? "double click" : "button");
        ASSERT_TRUE(openWithLog("12 in  =  1.000000 ft\r\n", config("Temperature", "C", "F", "100")));
        ASSERT_EQ(output().text(), "212.000000");

        if (doubleClick) {
            log().userDoubleClick(0);
        } else {
            log().userSelect(0);
            click(restoreButton);
        }
        EXPECT_EQ(dimensions().selectedText(), "Length");
        EXPECT_EQ(startUnits().selectedText(), "in");
        EXPECT_EQ(endUnits().selectedText(), "ft");
        EXPECT_EQ(input().text(), "12");
        EXPECT_EQ(output().text(), "1.000000");
        EXPECT_EQ(startCaption().text(), "in");
        EXPECT_EQ(endCaption().text(), "ft");
        EXPECT_TRUE(messages().empty());

        input().setText("24");
        EXPECT_EQ(output().text(), "2.000000");
    }
}

TEST_F(ConversionLogTest, restoreSelectsTheExactUnitBeforeOneDifferingInCase)
{
    const std::string catalogue = "<root>\n"
                                  "\t<dimension label=\"Power\" baseunit=\"W\">\n"
                                  "\t\t<unit label=\"W\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"MW\" cf=1000000 offset=0/>\n"
                                  "\t\t<unit label=\"mW\" cf=0.001 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "</root>";
    struct Case {
        const char* entry;
        const char* start;
        const char* end;
        const char* converted; // 2 in the start unit
    };
    const Case cases[] = {
        {"1 mW  =  0.001000 W", "mW", "W", "0.002000"},
        {"1 MW  =  1000000.000000 W", "MW", "W", "2000000.000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        writeFile(catalogue);
        writeLog(std::string(c.entry) + "\r\n");
        ASSERT_TRUE(open());
        log().userDoubleClick(0);
        EXPECT_EQ(startUnits().selectedText(), c.start);
        EXPECT_EQ(endUnits().selectedText(), c.end);
        input().setText("2");
        EXPECT_EQ(output().text(), c.converted);
    }
}

TEST_F(ConversionLogTest, restoreThatCannotWorkChangesNothing)
{
    struct Case {
        const char* entry; // nullptr: nothing selected
        bool invalidArgument;
    };
    const Case cases[] = {
        {"12 furlong  =  1.000000 ft", false}, {"12 in  =  1.000000 yd", false},
        {"12 in  =  1.000000 K", false}, // units of two dimensions
        {"no separator here", true},           {nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry ? c.entry : "no selection");
        ASSERT_TRUE(openWithLog(std::string(c.entry ? c.entry : "12 in  =  1.000000 ft") + "\r\n",
                                config("Temperature", "C", "F", "100")));
        if (c.entry)
            log().userSelect(0);
        click(restoreButton);

        if (c.invalidArgument) {
            expectInvalidArgumentReport();
        } else {
            ASSERT_EQ(messages().size(), 1u);
            EXPECT_EQ(messages()[0].text, "The dimension or unit no longer exists");
            EXPECT_EQ(messages()[0].caption, "Log Error");
            EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
        }
        EXPECT_EQ(dimensions().selectedText(), "Temperature");
        EXPECT_EQ(startUnits().selectedText(), "C");
        EXPECT_EQ(input().text(), "100");
        EXPECT_EQ(output().text(), "212.000000");
        EXPECT_EQ(startCaption().text(), "C");
    }
}

TEST_F(ConversionLogTest, deleteTakesTheSelectedEntryAndClearAsksFirstTheFileChangingOnlyAtClose)
{
    for (MessageResult answer : {MessageResult::No, MessageResult::Yes}) {
        const bool yes = answer == MessageResult::Yes;
        SCOPED_TRACE(yes ? "Yes" : "No");
        ASSERT_TRUE(openWithLog("a\r\nb\r\nc\r\n"));
        click(deleteButton); // nothing selected: nothing happens
        log().userSelect(1);
        click(deleteButton);
        EXPECT_EQ(log().entries(), (Entries{"a", "c"}));
        EXPECT_TRUE(messages().empty());

        host().messages.answers.push_back(answer);
        click(clearButton);
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, "S232");
        EXPECT_EQ(messages()[0].caption, "S233");
        EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
        EXPECT_EQ(messages()[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(log().entries(), yes ? Entries{} : (Entries{"a", "c"}));
        EXPECT_EQ(readLog(), "a\r\nb\r\nc\r\n");
        window().onClose();
        EXPECT_EQ(readLog(), yes ? "" : "a\r\nc\r\n");
    }
}

TEST_F(ConversionLogTest, copyPutsTheSelectedEntryOnTheClipboardByteForByte)
{
    const std::string entry = "5 %s \xB0"
                              "C  =  41.000000 %d%n \xB0"
                              "F";
    ASSERT_TRUE(openWithLog("other\r\n" + entry + "\r\n"));
    host().fakeClipboard.setText("before");

    window().onCommand(copyCommand);
    expectInvalidArgumentReport();
    EXPECT_EQ(host().fakeClipboard.text(), "before");

    log().userSelect(1);
    window().onCommand(copyCommand);
    EXPECT_EQ(host().fakeClipboard.text(), entry);

    // A clipboard that cannot be opened: nothing happens, nothing is said.
    host().fakeClipboard.available = false;
    log().userSelect(0);
    window().onCommand(copyCommand);
    EXPECT_EQ(host().fakeClipboard.text(), entry);
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(ConversionLogTest, readOnlyLogIsReportedAtStartReadAndNeverWritten)
{
    ASSERT_TRUE(openWithLog("a\r\n"));
    window().onClose();
    fs::permissions("log.txt", fs::perms::owner_read);

    ASSERT_TRUE(open());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "S216");
    EXPECT_EQ(messages()[0].caption, "S217");
    EXPECT_EQ(messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(log().entries(), Entries{"a"});

    click(addButton);
    window().onClose();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(readLog(), "a\r\n");
}

TEST_F(ConversionLogTest, closeThatCannotSaveSaysWhyAndKeepsWhatIsThere)
{
    struct Case {
        const char* name;
        void (*change)();
        const char* text; // the last message, or its start when it ends in ": "
    };
    const Case cases[] = {
        {"deleted", [] { fs::remove("log.txt"); }, "S228"},
        {"made read-only", [] { fs::permissions("log.txt", fs::perms::owner_read); }, "S216"},
        // Another file stands there now: asked first (S289), then replacing it fails with the reason.
        {"replaced by a folder",
         [] {
             fs::remove("log.txt");
             fs::create_directories("log.txt/keep");
         },
         "Not saved: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        // The case before may have left it read-only, which Windows does not let be removed.
        fs::permissions("log.txt", fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all("log.txt", ignored);
        ASSERT_TRUE(openWithLog("a\r\n"));
        click(addButton);
        c.change();
        const bool wasFile = fs::is_regular_file("log.txt");
        host().messages.answers.push_back(MessageResult::Yes);

        window().onClose();
        ASSERT_EQ(messages().size(), fs::is_directory("log.txt") ? 2u : 1u);
        const ShownMessage& last = messages().back();
        const std::string expected = c.text;
        if (expected.ends_with(": "))
            EXPECT_TRUE(last.text.starts_with(expected) && last.text.size() > expected.size()) << last.text;
        else
            EXPECT_EQ(last.text, expected);
        EXPECT_EQ(last.caption, "S208");
        EXPECT_EQ(last.icon, MessageIcon::Error);
        if (wasFile) {
            EXPECT_EQ(readLog(), "a\r\n");
        }
        EXPECT_EQ(fs::is_regular_file("log.txt"), wasFile);
        EXPECT_EQ(host().endResults, std::vector<int>{0});
    }
}

// A log that cannot be read, or holds more entries than the window can show, is told at start
// with the reason; the window goes on with an empty log and never saves over the file.
TEST_F(ConversionLogTest, unreadableLogIsReportedAtStartAndNeverSavedOver)
{
    const struct {
        const char* name;
        void (*make)();
        std::string reason;
    } cases[] = {
        {"a folder", [] { fs::create_directories("log.txt/keep"); }, "it is a folder, not a regular file"},
        // Every NUL ends an entry.
        {"more entries than the list can show", [] { writeLog(std::string(maxLogEntries + 1, '\0')); },
         entryLimitReason()},
        {"more bytes than the list can show",
         [] {
             writeLog("a\r\n");
             fs::resize_file("log.txt", maxLogFileBytes + 1);
         },
         sizeLimitReason(maxLogFileBytes)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        fs::remove_all("log.txt", ignored);
        c.make();
        const auto before = fs::is_regular_file("log.txt") ? fs::file_size("log.txt") : 0;
        ASSERT_TRUE(openWithLog(std::nullopt));
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, "Unreadable: " + c.reason);
        EXPECT_EQ(messages()[0].caption, "S217");
        EXPECT_EQ(messages()[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(log().entries().empty());

        click(addButton);
        window().onClose();
        ASSERT_EQ(messages().size(), 2u);
        EXPECT_EQ(messages()[1].text, "S254");
        if (before > 0) {
            EXPECT_EQ(fs::file_size("log.txt"), before);
        } else {
            EXPECT_TRUE(fs::exists("log.txt/keep"));
        }
    }
}

// Nothing read from the file may end the program: a log whose entries do not fit into memory
// is told like a log too large, and the window goes on.
TEST_F(ConversionLogTest, aLogThatDoesNotFitIntoMemoryIsToldAndTheWindowGoesOn)
{
    writeFile(catalogueText(config("Length", "in", "ft", "12")));
    writeLog("a\r\nb\r\n");
    // The second entry finds no memory.
    ASSERT_TRUE(open([](FakeDialogHost& fresh) { fresh.lists.at(logListId).failAddingAfter = 1; }));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, std::string("Unreadable: ") + tooLargeForMemoryReason);
    EXPECT_TRUE(log().entries().empty());
    EXPECT_EQ(output().text(), "1.000000");
    window().onClose();
    EXPECT_EQ(readLog(), "a\r\nb\r\n");
}

// Another writer changed "log.txt" while the window was open: theirs is kept unless the person
// changed the log too and chooses to replace it.
TEST_F(ConversionLogTest, aLogChangedOnDiskIsKeptOrAskedAbout)
{
    const std::string theirs = "theirs\r\n";
    const struct {
        const char* name;
        bool add;             // the person adds an entry
        MessageResult answer; // to the question, when asked
        std::string expected; // the file after the close
        bool asked;
    } cases[] = {
        {"no change of ours: theirs stays, unasked", false, MessageResult::Yes, theirs, false},
        {"ours changed, No (the default): theirs stays", true, MessageResult::No, theirs, true},
        {"ours changed, Yes: ours replaces it", true, MessageResult::Yes, "12 in  =  1.000000 ft\r\na\r\n",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(openWithLog("a\r\n"));
        if (c.add)
            click(addButton);
        writeLog(theirs);
        host().messages.answers.push_back(c.answer);
        window().onClose();
        ASSERT_EQ(messages().size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(messages()[0].text, "S289");
            EXPECT_EQ(messages()[0].buttons, MessageButtons::YesNo);
            EXPECT_EQ(messages()[0].defaultButton, platform::DefaultButton::Second);
        }
        EXPECT_EQ(readLog(), c.expected);
    }
}

} // namespace
} // namespace meridal::test
