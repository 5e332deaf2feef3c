// SPDX-License-Identifier: GPL-3.0-or-later
// The log file: entries counted before they are made, and a log too long to show left alone.
#include "tests/persistence/file_helpers.h"

#include "persistence/log_file.h"
#include "persistence/tracked_file.h"

#include <gtest/gtest.h>
#include <string>

namespace meridal {
namespace {

using namespace std::string_literals;

TEST(LogFile, aLogOfMoreEntriesThanTheLimitIsNeitherMadeIntoEntriesNorSavedOver)
{
    const struct {
        std::string bytes;
        std::size_t entries; // as many as logEntries makes
    } cases[] = {
        {"", 0},         {"a", 1},       {"a\r\n", 1},       {"a\r\nb", 2},
        {"\r\r\n\n", 3}, {"\0\0\0"s, 3}, {"a\0b\rc\nd"s, 4}, {"\n\r", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        ASSERT_EQ(logEntries(c.bytes).size(), c.entries);
        EXPECT_EQ(logEntryCount(c.bytes), c.entries);

        for (const std::size_t limit : {c.entries, c.entries - 1}) {
            if (c.entries == 0 && limit != 0)
                continue;
            test::TempDir dir;
            const std::string path = dir.file(logFileName);
            test::writeBytes(path, c.bytes);
            TrackedFile file(path, TrackedFile::TheirChange::Keep);
            const OpenedLog opened = openLog(file, limit);
            if (c.entries <= limit) {
                EXPECT_EQ(opened.status, OpenedLog::Status::Read);
                EXPECT_EQ(opened.entries.size(), c.entries);
                EXPECT_EQ(file.checkBeforeSave(true).action, TrackedFile::Action::Save);
            } else {
                EXPECT_EQ(opened.status, OpenedLog::Status::Unreadable);
                EXPECT_EQ(opened.reason, entryLimitReason(limit));
                EXPECT_TRUE(opened.entries.empty());
                EXPECT_EQ(file.checkBeforeSave(true).action, TrackedFile::Action::NeverSaveOver);
            }
        }
    }
}

} // namespace
} // namespace meridal
