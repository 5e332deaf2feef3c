// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file "win.ini": its text edited line by line, and the file read and saved like
// the user's other files.
#include "tests/persistence/file_helpers.h"

#include "persistence/profile_file.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal {
namespace {

namespace fs = std::filesystem;

TEST(ProfileFile, setsTheValueAndKeepsEveryOtherLine)
{
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[SciCalc]\nlayout=0\n"},
        {"[Other]\na=1", "[Other]\na=1\n\n[SciCalc]\nlayout=0\n"},
        {"; mine\n[sciCalc]\n Layout = 2\nx=1\n[Next]\nlayout=5\n",
         "; mine\n[sciCalc]\nlayout=0\nx=1\n[Next]\nlayout=5\n"},
        {"[SciCalc]\nx=1\n\n[Next]\ny=2\n", "[SciCalc]\nx=1\nlayout=0\n\n[Next]\ny=2\n"},
        {"[SciCalc]\r\nx=1\r\n", "[SciCalc]\r\nx=1\r\nlayout=0\r\n"},
        {"[Next]\nlayout=1\n[SciCalc]\n", "[Next]\nlayout=1\n[SciCalc]\nlayout=0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        EXPECT_EQ(withProfileValue(c.before, "SciCalc", "layout", "0"), c.after);
    }
}

// What stands at "win.ini" is kept as the user has it: nothing is replaced that the
// catalogue's saver would not replace either.
TEST(ProfileFileOnDisk, whatTheUserHasIsKeptOrLeftAlone)
{
    const std::string before = "[Other]\nk=v\n";
    const std::string after = "[Other]\nk=v\n\n[SciCalc]\nlayout=0\n";
    struct Case {
        const char* name;
        std::function<void(const test::TempDir&, const std::string&)> make;
        bool written;
        const char* fileRead; // where the result is read: the path, or another name of the file
    };
    const Case cases[] = {
        {"read-only",
         [&](auto&, const std::string& p) {
             test::writeBytes(p, before);
             test::makeReadOnly(p);
         },
         false, "win.ini"},
        {"larger than its limit",
         [&](auto&, const std::string& p) {
             test::writeBytes(p, before);
             fs::resize_file(test::pathOf(p), maxProfileFileBytes + 1);
         },
         false, "win.ini"},
        {"a folder", [](auto&, const std::string& p) { fs::create_directories(test::pathOf(p) / "keep"); },
         false, "win.ini"},
        {"a hard link",
         [&](const test::TempDir& d, const std::string& p) {
             test::writeBytes(p, before);
             fs::create_hard_link(test::pathOf(p), d.path() / "other.ini");
         },
         true, "other.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.file("win.ini");
        c.make(dir, path);
        const fs::file_type type = fs::symlink_status(test::pathOf(path)).type();
        const auto size = fs::is_regular_file(test::pathOf(path)) ? fs::file_size(test::pathOf(path)) : 0;

        EXPECT_EQ(writeProfileValue(path, "SciCalc", "layout", "0"), c.written);
        EXPECT_EQ(fs::symlink_status(test::pathOf(path)).type(), type);
        if (c.written) {
            EXPECT_EQ(test::readBytes(dir.file(c.fileRead)), after);
        } else if (type == fs::file_type::regular) {
            EXPECT_EQ(fs::file_size(test::pathOf(path)), size);
        }
        // Nothing is left beside it.
        for (const auto& entry : fs::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
    }
}

TEST(ProfileFileOnDisk, missingFileIsCreatedWithItsFolder)
{
    test::TempDir dir;
    const std::string path = dir.file("config/M\xC3\xA9sure \xC2\xB0"
                                      "C/win.ini"); // UTF-8, whatever the code page
    ASSERT_TRUE(writeProfileValue(path, "SciCalc", "layout", "0"));
    EXPECT_EQ(test::readBytes(path), "[SciCalc]\nlayout=0\n");
    // A file that already holds the value is not written again.
    const auto written = fs::last_write_time(test::pathOf(path));
    fs::last_write_time(test::pathOf(path), written - std::chrono::hours(1));
    ASSERT_TRUE(writeProfileValue(path, "SciCalc", "layout", "0"));
    EXPECT_EQ(fs::last_write_time(test::pathOf(path)), written - std::chrono::hours(1));
}

} // namespace
} // namespace meridal
