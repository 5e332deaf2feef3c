// SPDX-License-Identifier: GPL-3.0-or-later
// A user's file read at start and saved at close: what the close may do after another
// program had the file meanwhile.
#include "tests/persistence/file_helpers.h"

#include "persistence/tracked_file.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace meridal {
namespace {

namespace fs = std::filesystem;
using Action = TrackedFile::Action;
using TheirChange = TrackedFile::TheirChange;

// Another program writes `bytes` into the file and gives it back the time of its last change,
// as a change within one step of the file system's clock does.
void writeKeepingTheTime(const std::string& path, const std::string& bytes)
{
    const fs::file_time_type before = fs::last_write_time(test::pathOf(path));
    test::writeBytes(path, bytes);
    fs::last_write_time(test::pathOf(path), before);
}

void setModifiedAnHourAgo(const std::string& path)
{
    fs::last_write_time(test::pathOf(path), fs::file_time_type::clock::now() - std::chrono::hours(1));
}

TEST(TrackedFile, closeSavesOnlyAFileThatIsAsItWasRead)
{
    struct Case {
        const char* name;
        TheirChange theirChange;
        bool changedByUs;
        std::function<void(TrackedFile&, const std::string&)> start; // after "ours" is written
        std::function<void(const std::string&)> meanwhile;
        Action expected;
    };
    const auto read = [](TrackedFile& file, const std::string&) { ASSERT_EQ(file.read().bytes, "ours"); };
    const auto readOld = [](TrackedFile& file, const std::string& path) {
        setModifiedAnHourAgo(path);
        ASSERT_EQ(file.read().bytes, "ours");
    };
    const auto startMissing = [](TrackedFile& file, const std::string& path) {
        fs::remove(test::pathOf(path));
        ASSERT_EQ(file.read().status, UserFileContent::Status::Missing);
    };
    const auto create = [](TrackedFile& file, const std::string& path) {
        fs::remove(test::pathOf(path));
        std::string error;
        ASSERT_TRUE(file.create("ours", error)) << error;
    };
    const auto nothing = [](const std::string&) {};
    const auto theirs = [](const std::string& path) { test::writeBytes(path, "theirs"); };
    const auto keep = TheirChange::Keep;
    const auto merge = TheirChange::Merge;
    const Case cases[] = {
        {"unchanged", keep, true, read, nothing, Action::Save},
        {"unchanged, read long after its last change", keep, true, readOld, nothing, Action::Save},
        {"the same bytes written again", keep, false, read,
         [](const std::string& p) { test::writeBytes(p, "ours"); }, Action::Save},
        {"changed, nothing of ours", keep, false, read, theirs, Action::KeepTheirs},
        {"changed, nothing of ours, merged", merge, false, read, theirs, Action::Merge},
        {"changed, and ours too", merge, true, read, theirs, Action::Ask},
        {"changed long after its last change", keep, false, readOld, theirs, Action::KeepTheirs},
        {"changed within one step of the clock", keep, false, read,
         [](const std::string& p) { writeKeepingTheTime(p, "ouch"); }, Action::KeepTheirs},
        {"created at start, unchanged", keep, true, create, nothing, Action::Save},
        {"created at start, then changed", keep, true, create, theirs, Action::Ask},
        {"gone", keep, true, read, [](const std::string& p) { fs::remove(test::pathOf(p)); }, Action::Gone},
        {"missing at start and still", keep, true, startMissing, nothing, Action::StillMissing},
        {"missing at start, made by another", keep, false, startMissing, theirs, Action::KeepTheirs},
        {"missing at start, made by another, ours changed", keep, true, startMissing, theirs, Action::Ask},
        {"made read-only", keep, true, read, [](const std::string& p) { test::makeReadOnly(p); },
         Action::ReadOnly},
        {"unreadable at start", keep, true,
         [](TrackedFile& file, const std::string& path) {
             fs::remove(test::pathOf(path));
             fs::create_directory(test::pathOf(path));
             ASSERT_EQ(file.read().status, UserFileContent::Status::NotRegular);
         },
         nothing, Action::NeverSaveOver},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.file("file");
        test::writeBytes(path, "ours");
        TrackedFile file(path, c.theirChange);
        c.start(file, path);
        c.meanwhile(path);
        const TrackedFile::Check check = file.checkBeforeSave(c.changedByUs);
        EXPECT_EQ(check.action, c.expected);
        EXPECT_EQ(check.theirs.bytes, c.expected == Action::Merge ? "theirs" : "");
    }
}

// What was saved is what a later close compares with.
TEST(TrackedFile, aSavedFileIsComparedWithWhatWasSaved)
{
    test::TempDir dir;
    const std::string path = dir.file("file");
    test::writeBytes(path, "ours");
    TrackedFile file(path, TheirChange::Keep);
    file.read();
    std::string error;
    ASSERT_TRUE(file.save("saved", error)) << error;
    EXPECT_EQ(file.checkBeforeSave(true).action, Action::Save);
    writeKeepingTheTime(path, "their");
    EXPECT_EQ(file.checkBeforeSave(false).action, Action::KeepTheirs);
}

} // namespace
} // namespace meridal
