// SPDX-License-Identifier: GPL-3.0-or-later
// The window's files where only a POSIX system has them: symbolic links that lead where no
// file can be made, and folders this user may not write.
#include "tests/persistence/posix/process_helpers.h"
#include "tests/ui/conversion_log_fixture.h"

#include "resources/resource_ids.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace meridal::test {
namespace {

using platform::MessageIcon;
namespace fs = std::filesystem;

TEST_F(ConverterWindowTest, aCatalogueThatCannotBeCreatedIsToldAtStartAndTheDefaultServes)
{
    m_resources.set(res::typeHtml, res::htmlDefaultCatalogue, catalogueText(""));
    fs::create_symlink("no-such-folder/Meridal.xml", "Meridal.xml"); // leads where nothing can be made

    ASSERT_TRUE(open());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "S286");
    EXPECT_EQ(messages()[0].caption, "S217");
    EXPECT_EQ(messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(dimensions().entries(), (std::vector<std::string>{"S242", "Length", "Temperature"}));

    host().messages.shown.clear();
    window().onClose();
    EXPECT_TRUE(messages().empty()); // told once, at start
    EXPECT_FALSE(fs::exists("no-such-folder"));
}

// A log that cannot be made at start is told then, with the reason. At close its entries are
// saved if the file can be made by then, and another program's file made meanwhile is kept
// unless the person chooses to replace it.
TEST_F(ConversionLogTest, logThatCouldNotBeMadeAtStartIsToldAndWrittenAtCloseOnlyWithEntries)
{
    const struct {
        const char* name;
        bool add;
        void (*meanwhile)();
        const char* closeMessage;         // "" for none
        std::optional<std::string> saved; // what the link's file holds after the close
    } cases[] = {
        {"nothing added", false, [] {}, "", std::nullopt},
        {"an entry added, still nowhere to put it", true, [] {}, "Not saved: ", std::nullopt},
        {"an entry added, and the folder made meanwhile", true, [] { fs::create_directory("missing"); }, "",
         "12 in  =  1.000000 ft\r\n"},
        {"an entry added, and another program made the file meanwhile", true,
         [] {
             fs::create_directory("missing");
             writeLog("theirs\r\n");
         },
         "S289", "theirs\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        fs::remove("log.txt", ignored);
        fs::remove_all("missing", ignored);
        fs::create_symlink("missing/log.txt", "log.txt"); // into a folder that does not exist
        ASSERT_TRUE(openWithLog(std::nullopt));
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_TRUE(messages()[0].text.starts_with("Not created: ") && messages()[0].text.size() > 13)
            << messages()[0].text;
        EXPECT_EQ(messages()[0].caption, "S217");
        EXPECT_EQ(messages()[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(log().entries().empty());
        if (c.add)
            click(addButton);
        c.meanwhile();

        window().onClose();
        const std::string expected = c.closeMessage;
        if (expected.empty()) {
            EXPECT_EQ(messages().size(), 1u);
        } else {
            ASSERT_EQ(messages().size(), 2u);
            EXPECT_TRUE(messages()[1].text.starts_with(expected)) << messages()[1].text;
        }
        if (c.saved) {
            EXPECT_EQ(readLog(), *c.saved);
        } else {
            EXPECT_FALSE(fs::exists("missing"));
        }
        EXPECT_TRUE(fs::is_symlink("log.txt"));
    }
}

// A folder this user may not write: the log cannot be made, and that is told at start.
TEST_F(ConversionLogTest, aLogInAFolderThatMayNotBeWrittenIsToldAtStart)
{
    writeFile(catalogueText(config("Length", "in", "ft", "12")));
    const auto readable = fs::perms::group_read | fs::perms::others_read;
    fs::permissions("Meridal.xml", fs::perms::owner_read | fs::perms::owner_write | readable);
    fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec | readable | fs::perms::group_exec |
                             fs::perms::others_exec);
    // Root may write any folder: the window runs as another user then.
    const auto inWindow = [&] {
        if (!open() || messages().size() != 2)
            return 1;
        // The catalogue is read-only to this user; the log is told with the system's reason.
        return messages()[1].text ==
                       "Not created: cannot create log.txt: " + std::string(std::strerror(EACCES))
                   ? 0
                   : 2;
    };
    const int status = ::geteuid() == 0 ? asNobody(inWindow) : inChild(inWindow);
    fs::permissions(".", fs::perms::owner_all);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(fs::exists("log.txt"));
}

} // namespace
} // namespace meridal::test
