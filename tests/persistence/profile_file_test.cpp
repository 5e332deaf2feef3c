// The profile file "win.ini": its text edited line by line, and the file read and saved like
// the user's other files.
#include "tests/persistence/file_helpers.h"

#include "persistence/profile_file.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
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

class ProfileFileOnDisk : public ::testing::Test {
  protected:
    bool write() { return writeProfileValue(m_path, "SciCalc", "layout", "0"); }
    struct stat statOf(const std::string& path) const
    {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st;
    }

    test::TempDir m_dir;
    std::string m_path = m_dir.file("win.ini");
};

// What stands at "win.ini" is kept as the user has it: nothing is replaced that the
// catalogue's saver would not replace either.
TEST_F(ProfileFileOnDisk, whatTheUserHasIsKeptOrLeftAlone)
{
    const std::string before = "[Other]\nk=v\n";
    const std::string after = "[Other]\nk=v\n\n[SciCalc]\nlayout=0\n";
    struct Case {
        const char* name;
        std::function<void(const test::TempDir&, const std::string&)> make;
        bool written;
        const char* fileRead; // where the result is read: the path, or the file a link names
    };
    const Case cases[] = {
        {"read-only",
         [&](auto&, const std::string& p) {
             test::writeBytes(p, before);
             ::chmod(p.c_str(), 0444);
         },
         false, "win.ini"},
        {"larger than its limit",
         [&](auto&, const std::string& p) {
             test::writeBytes(p, before);
             (void)!::truncate(p.c_str(), static_cast<off_t>(maxProfileFileBytes) + 1);
         },
         false, "win.ini"},
        {"a folder", [](auto&, const std::string& p) { fs::create_directories(p + "/keep"); }, false,
         "win.ini"},
        {"a link to a file that is not there yet",
         [](auto&, const std::string& p) { fs::create_symlink("real.ini", p); }, true, "real.ini"},
        {"a link into a folder that is not there",
         [](auto&, const std::string& p) { fs::create_symlink("no-such-folder/real.ini", p); }, false,
         "win.ini"},
        {"a hard link",
         [&](const test::TempDir& d, const std::string& p) {
             test::writeBytes(p, before);
             (void)!::link(p.c_str(), d.file("other.ini").c_str());
         },
         true, "other.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.file("win.ini");
        c.make(dir, path);
        const fs::file_type type = fs::symlink_status(path).type();
        const auto size = fs::is_regular_file(path) ? fs::file_size(path) : 0;

        EXPECT_EQ(writeProfileValue(path, "SciCalc", "layout", "0"), c.written);
        EXPECT_EQ(fs::symlink_status(path).type(), type);
        if (c.written) {
            EXPECT_EQ(test::readBytes(dir.file(c.fileRead)),
                      c.fileRead == std::string("real.ini") ? "[SciCalc]\nlayout=0\n" : after);
        } else if (type == fs::file_type::regular) {
            EXPECT_EQ(fs::file_size(path), size);
        }
        EXPECT_FALSE(fs::exists(dir.file("no-such-folder")));
        // Nothing is left beside it.
        for (const auto& entry : fs::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
    }
}

TEST_F(ProfileFileOnDisk, missingFileIsCreatedWithItsFolderAndAWriteThatWasCutShortIsCleanedUp)
{
    const std::string path = m_dir.file("config/meridal/win.ini");
    ASSERT_TRUE(writeProfileValue(path, "SciCalc", "layout", "0"));
    EXPECT_EQ(test::readBytes(path), "[SciCalc]\nlayout=0\n");

    // A save that ends part way (as under kill -9) leaves at most a private copy, which the
    // next save removes.
    test::writeBytes(path, "[Other]\n" + std::string(4096, ';') + "\n");
    const int status = test::inChild([&] {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit small{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &small);
        writeProfileValue(path, "SciCalc", "layout", "0");
        return 0;
    });
    ASSERT_EQ(status, -1);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
        names.push_back(entry.path().filename().string());
    ASSERT_EQ(names.size(), 2u);
    ASSERT_TRUE(writeProfileValue(path, "SciCalc", "layout", "0"));
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), fs::directory_iterator()),
              1);
    EXPECT_EQ(test::readBytes(path), "[Other]\n" + std::string(4096, ';') + "\n\n[SciCalc]\nlayout=0\n");
}

// Another user's file keeps its owner, whoever writes it.
TEST_F(ProfileFileOnDisk, theOwnerOfTheFileStaysItsOwner)
{
    if (!test::canActAsAnotherUser())
        GTEST_SKIP() << "needs root to write as another user";
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0777), 0);

    // Root's file in a folder shared with everybody, written by another user.
    test::writeBytes(m_path, "[Other]\n");
    ASSERT_EQ(::chmod(m_path.c_str(), 0666), 0);
    EXPECT_EQ(test::asNobody([&] { return write() ? 0 : 1; }), 0);
    EXPECT_EQ(statOf(m_path).st_uid, 0u);
    EXPECT_EQ(test::readBytes(m_path), "[Other]\n\n[SciCalc]\nlayout=0\n");

    // Root, through a link, writing another user's file.
    const std::string theirs = m_dir.file("theirs.ini");
    test::writeBytes(theirs, "[Other]\n");
    ASSERT_EQ(::chown(theirs.c_str(), test::nobody, test::nobody), 0);
    const std::string link = m_dir.file("link.ini");
    fs::create_symlink(theirs, link);
    ASSERT_TRUE(writeProfileValue(link, "SciCalc", "layout", "0"));
    EXPECT_EQ(statOf(theirs).st_uid, test::nobody);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readBytes(theirs), "[Other]\n\n[SciCalc]\nlayout=0\n");
}

} // namespace
} // namespace meridal
