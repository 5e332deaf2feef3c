// SPDX-License-Identifier: GPL-3.0-or-later
// The user's files where only a POSIX system has them: FIFOs, sockets, symbolic links, modes,
// groups, extended attributes, other users, writes cut short by resource limits and
// signals. Every case works in a scratch folder of its own.
#include "tests/persistence/file_helpers.h"
#include "tests/persistence/posix/process_helpers.h"
#include "tests/support/fake_resources.h"

#include "persistence/atomic_file.h"
#include "persistence/catalogue_file.h"
#include "persistence/profile_file.h"
#include "persistence/user_file.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <vector>

namespace meridal {
namespace {

namespace fs = std::filesystem;
using Status = UserFileContent::Status;

const test::FakeResources& strings()
{
    return test::FakeResources::numbered();
}

struct stat statOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

class PosixFiles : public ::testing::Test {
  protected:
    test::TempDir m_dir;
    std::string m_path = m_dir.file(catalogueFileName);
    std::string m_error;
};

// What stands at the path: made fresh in the scratch folder for each case.
struct Special {
    const char* name;
    std::function<void(const test::TempDir&, const std::string&)> make;
};

const std::vector<Special>& specialFiles()
{
    static const std::vector<Special> cases = {
        {"FIFO", [](auto&, const std::string& p) { ::mkfifo(p.c_str(), 0644); }},
        {"link to a FIFO",
         [](const test::TempDir& d, const std::string& p) {
             ::mkfifo(d.file("fifo").c_str(), 0644);
             fs::create_symlink(d.file("fifo"), p);
         }},
        {"socket", [](auto&, const std::string& p) { test::makeSocketFile(p); }},
        {"link to a socket",
         [](const test::TempDir& d, const std::string& p) {
             test::makeSocketFile(d.file("socket"));
             fs::create_symlink("socket", p); // relative to the link's folder
         }},
        {"folder", [](auto&, const std::string& p) { fs::create_directory(p); }},
        {"link loop",
         [](const test::TempDir& d, const std::string& p) {
             fs::create_symlink(p, d.file("other"));
             fs::create_symlink(d.file("other"), p);
         }},
    };
    return cases;
}

TEST_F(PosixFiles, onlyARegularFileIsOpenedAndEveryOtherKindIsToldAtOnce)
{
    for (const Special& special : specialFiles()) {
        SCOPED_TRACE(special.name);
        test::TempDir dir;
        const std::string path = dir.file(catalogueFileName);
        special.make(dir, path);
        // A read that opened a FIFO would wait for a writer for ever: the child is stopped.
        const int status = test::inChild([&] {
            const UserFileContent content = readUserFile(path);
            return content.status == Status::NotRegular && !content.reason.empty() ? 0 : 1;
        });
        EXPECT_EQ(status, 0);

        UnitCatalogue catalogue;
        const int loaded = test::inChild([&] {
            const LoadResult result = readCatalogue(path, catalogue, strings());
            return result.ok && result.unreadable && result.fileStatus == Status::NotRegular &&
                           !result.reason.empty()
                       ? 0
                       : 1;
        });
        EXPECT_EQ(loaded, 0);
    }

    fs::create_symlink(m_dir.file("absent"), m_path); // a link that leads nowhere yet
    EXPECT_EQ(readUserFile(m_path).status, Status::Missing);
}

TEST_F(PosixFiles, runningOutOfMemoryIsNoCrash)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address space limit cannot be combined with AddressSanitizer's shadow memory";
#else
    // A file within the limit that does not fit into the memory left: no std::bad_alloc escapes.
    test::writeBytes(m_path, "<root></root>");
    ASSERT_EQ(::truncate(m_path.c_str(), 200 << 20), 0);
    const int status = test::inChild([&] {
        rlimit limit{};
        ::getrlimit(RLIMIT_AS, &limit);
        limit.rlim_cur = 96 << 20;
        if (::setrlimit(RLIMIT_AS, &limit) != 0)
            return 3;
        const UserFileContent big = readUserFile(m_path);
        UnitCatalogue loaded;
        const LoadResult load = readCatalogue(m_path, loaded, strings());
        return big.status != Status::Ok && !big.reason.empty() && load.ok && load.unreadable ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
#endif
}

// No write bit is read-only for everyone, root included; otherwise what this user may do counts,
// so the owner of a file with only group or others' write bits may not write it, but root may.
TEST_F(PosixFiles, stateFollowsTheWriteBitsAndWhetherThisUserMayWrite)
{
    test::writeBytes(m_path, "<root></root>");
    auto stateWithMode = [this](mode_t mode) {
        EXPECT_EQ(::chmod(m_path.c_str(), mode), 0);
        return fileState(m_path);
    };
    EXPECT_EQ(stateWithMode(0444), FileState::ReadOnly);
    EXPECT_EQ(stateWithMode(0000), FileState::ReadOnly);
    EXPECT_EQ(stateWithMode(0644), FileState::Writable);
    EXPECT_EQ(stateWithMode(0200), FileState::Writable);
    const FileState ownerWithoutWriteBit = ::geteuid() == 0 ? FileState::Writable : FileState::ReadOnly;
    EXPECT_EQ(stateWithMode(0464), ownerWithoutWriteBit);
    EXPECT_EQ(stateWithMode(0446), ownerWithoutWriteBit);

    if (!test::canActAsAnotherUser())
        GTEST_SKIP() << "needs root to try the file as another user";
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(m_path.c_str(), 0644), 0); // root's, writable by root alone
    EXPECT_EQ(test::asNobody([&] { return static_cast<int>(fileState(m_path)); }),
              static_cast<int>(FileState::ReadOnly));
    ASSERT_EQ(::chown(m_path.c_str(), test::nobody, test::nobody), 0);
    EXPECT_EQ(test::asNobody([&] { return static_cast<int>(fileState(m_path)); }),
              static_cast<int>(FileState::Writable));
}

// Where replacing the file by a new one would lose what the user has, the file is written in place.
TEST_F(PosixFiles, fileIsWrittenInPlaceWhereReplacingItWouldLoseSomething)
{
    test::writeBytes(m_path, "old");
    const std::string other = m_dir.file("hard link");
    ASSERT_EQ(::link(m_path.c_str(), other.c_str()), 0);
    const ino_t inode = statOf(m_path).st_ino;
    ASSERT_TRUE(writeFileAtomically(m_path, "new bytes", m_error)) << m_error;
    EXPECT_EQ(statOf(m_path).st_ino, inode);

    // Writing in place reserves the new size first: a write that cannot grow the file keeps
    // the old bytes whole.
    const bool written = test::withFileSizeLimit(
        64, [&] { return writeFileAtomically(m_path, std::string(4096, 'x'), m_error); });
    EXPECT_FALSE(written);
    EXPECT_FALSE(m_error.empty());
    EXPECT_EQ(test::readBytes(other), "new bytes");
    ASSERT_EQ(::unlink(other.c_str()), 0);

    // An extended attribute (an ACL is one) stays with the file.
    if (::setxattr(m_path.c_str(), "user.meridal", "kept", 4, 0) == 0) {
        ASSERT_TRUE(writeFileAtomically(m_path, "newer", m_error)) << m_error;
        char value[8] = {};
        EXPECT_EQ(::getxattr(m_path.c_str(), "user.meridal", value, sizeof value), 4);
        EXPECT_EQ(test::readBytes(m_path), "newer");
    }

    if (!test::canActAsAnotherUser())
        GTEST_SKIP() << "needs root to write as another user";
    // Root's file, writable by all, in a folder all may write: it stays root's.
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(m_path.c_str(), 0666), 0);
    EXPECT_EQ(test::asNobody([&] { return writeFileAtomically(m_path, "by nobody", m_error) ? 0 : 1; }), 0);
    EXPECT_EQ(statOf(m_path).st_uid, 0u);
    EXPECT_EQ(test::readBytes(m_path), "by nobody");
    // A folder we may not write: the file is still written, in place.
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0755), 0);
    EXPECT_EQ(test::asNobody([&] { return writeFileAtomically(m_path, "again", m_error) ? 0 : 1; }), 0);
    EXPECT_EQ(test::readBytes(m_path), "again");
}

TEST_F(PosixFiles, ownFileIsReplacedWholeWithItsModeAndGroup)
{
    test::writeBytes(m_path, "old");
    ASSERT_EQ(::chmod(m_path.c_str(), 0640), 0);
    const ino_t inode = statOf(m_path).st_ino;
    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    EXPECT_NE(statOf(m_path).st_ino, inode); // a new file took the old one's place
    EXPECT_EQ(statOf(m_path).st_mode & 07777, 0640u);
    EXPECT_EQ(test::readBytes(m_path), "new");
    EXPECT_EQ(m_dir.entryCount(), 1u);
}

TEST_F(PosixFiles, failedWriteLeavesTheOldBytes)
{
    // A file size limit stops the write part way, whatever the user's rights.
    test::writeBytes(m_path, "old");
    const bool written = test::withFileSizeLimit(
        16, [&] { return writeFileAtomically(m_path, std::string(4096, 'x'), m_error); });

    EXPECT_FALSE(written);
    EXPECT_FALSE(m_error.empty());
    EXPECT_EQ(test::readBytes(m_path), "old");
    EXPECT_EQ(m_dir.entryCount(), 1u);
}

TEST_F(PosixFiles, linksAreWrittenThroughAndSpecialFilesAreLeftAlone)
{
    // A link to a file is written through, and stays a link.
    const std::string real = m_dir.file("real.xml");
    test::writeBytes(real, "old");
    const std::string linked = m_dir.file("linked.xml");
    fs::create_symlink(real, linked);
    ASSERT_TRUE(writeFileAtomically(linked, "new", m_error)) << m_error;
    EXPECT_TRUE(fs::is_symlink(linked));
    EXPECT_EQ(test::readBytes(real), "new");

    // A link to a file that does not exist yet creates the file, and stays a link.
    fs::create_symlink("created.xml", m_path);
    EXPECT_EQ(fileState(m_path), FileState::Missing);
    test::FakeResources resources;
    resources.set(res::typeHtml, res::htmlDefaultCatalogue, "<root></root>");
    EXPECT_TRUE(writeDefaultCatalogue(m_path, resources));
    EXPECT_TRUE(fs::is_symlink(m_path));
    EXPECT_EQ(test::readBytes(m_dir.file("created.xml")), "<root></root>");

    // ... but not a folder for it.
    const std::string nowhere = m_dir.file("nowhere.xml");
    fs::create_symlink(m_dir.file("no such folder/real.xml"), nowhere);
    EXPECT_FALSE(writeFileAtomically(nowhere, "new", m_error));
    EXPECT_TRUE(fs::is_symlink(nowhere));

    for (const Special& special : specialFiles()) {
        SCOPED_TRACE(special.name);
        test::TempDir dir;
        const std::string path = dir.file(catalogueFileName);
        special.make(dir, path);
        const fs::file_type before = fs::symlink_status(path).type();
        std::string error;
        EXPECT_EQ(test::inChild([&] { return writeFileAtomically(path, "new", error) ? 1 : 0; }), 0);
        EXPECT_FALSE(writeDefaultCatalogue(path, resources));
        EXPECT_EQ(fs::symlink_status(path).type(), before);
    }
    // The reason names what stands there.
    const std::string fifo = m_dir.file("fifo.xml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_FALSE(writeFileAtomically(fifo, "new", m_error));
    EXPECT_NE(m_error.find("a named pipe (FIFO), not a regular file"), std::string::npos) << m_error;
}

TEST_F(PosixFiles, interruptedSaveLeavesAPrivateCopyThatTheNextSaveRemoves)
{
    test::writeBytes(m_path, "old");
    ASSERT_EQ(::chmod(m_path.c_str(), 0600), 0);
    // Others' copies: another machine's, and one of a process that is still running.
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string foreign = m_dir.file("Meridal.xml.tmp-some-other-host-12345-1");
    const std::string running = m_dir.file("Meridal.xml.tmp-" + std::string(host) + "-1-1");
    test::writeBytes(foreign, "theirs");
    test::writeBytes(running, "theirs");

    // A file size limit ends the saving process part way through its write.
    const int status = test::inChild([&] {
        ::umask(022);
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit small{1 << 16, 1 << 16};
        ::setrlimit(RLIMIT_FSIZE, &small);
        std::string error;
        writeFileAtomically(m_path, std::string(1 << 20, 'x'), error);
        return 0;
    });
    ASSERT_EQ(status, -1);
    EXPECT_EQ(test::readBytes(m_path), "old");
    std::vector<std::string> leftovers;
    for (const auto& entry : fs::directory_iterator(m_dir.path()))
        if (entry.path() != m_path && entry.path() != foreign && entry.path() != running)
            leftovers.push_back(entry.path().string());
    ASSERT_EQ(leftovers.size(), 1u);
    EXPECT_EQ(statOf(leftovers[0]).st_mode & 0777, 0600u) << "the copy was readable by others";

    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    EXPECT_FALSE(fs::exists(leftovers[0]));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_EQ(m_dir.entryCount(), 3u);
    EXPECT_EQ(statOf(m_path).st_mode & 0777, 0600u);
}

// The profile is saved like the other files: links followed, owners kept, cut-short writes
// cleaned up.
TEST(PosixProfileFile, linksAreFollowedWhereTheyLeadToAFolder)
{
    const std::string after = "[SciCalc]\nlayout=0\n";
    {
        test::TempDir dir;
        fs::create_symlink("real.ini", dir.file("win.ini")); // a file that is not there yet
        EXPECT_TRUE(writeProfileValue(dir.file("win.ini"), "SciCalc", "layout", "0"));
        EXPECT_TRUE(fs::is_symlink(dir.file("win.ini")));
        EXPECT_EQ(test::readBytes(dir.file("real.ini")), after);
    }
    test::TempDir dir;
    fs::create_symlink("no-such-folder/real.ini", dir.file("win.ini"));
    EXPECT_FALSE(writeProfileValue(dir.file("win.ini"), "SciCalc", "layout", "0"));
    EXPECT_TRUE(fs::is_symlink(dir.file("win.ini")));
    EXPECT_FALSE(fs::exists(dir.file("no-such-folder")));
    EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(PosixProfileFile, aWriteThatWasCutShortIsCleanedUp)
{
    test::TempDir dir;
    const std::string path = dir.file("win.ini");
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
    ASSERT_EQ(dir.entryCount(), 2u);
    ASSERT_TRUE(writeProfileValue(path, "SciCalc", "layout", "0"));
    EXPECT_EQ(dir.entryCount(), 1u);
    EXPECT_EQ(test::readBytes(path), "[Other]\n" + std::string(4096, ';') + "\n\n[SciCalc]\nlayout=0\n");
}

// Another user's file keeps its owner, whoever writes it.
TEST(PosixProfileFile, theOwnerOfTheFileStaysItsOwner)
{
    if (!test::canActAsAnotherUser())
        GTEST_SKIP() << "needs root to write as another user";
    test::TempDir dir;
    const std::string path = dir.file("win.ini");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);

    // Root's file in a folder shared with everybody, written by another user.
    test::writeBytes(path, "[Other]\n");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    EXPECT_EQ(test::asNobody([&] { return writeProfileValue(path, "SciCalc", "layout", "0") ? 0 : 1; }), 0);
    EXPECT_EQ(statOf(path).st_uid, 0u);
    EXPECT_EQ(test::readBytes(path), "[Other]\n\n[SciCalc]\nlayout=0\n");

    // Root, through a link, writing another user's file.
    const std::string theirs = dir.file("theirs.ini");
    test::writeBytes(theirs, "[Other]\n");
    ASSERT_EQ(::chown(theirs.c_str(), test::nobody, test::nobody), 0);
    const std::string link = dir.file("link.ini");
    fs::create_symlink(theirs, link);
    ASSERT_TRUE(writeProfileValue(link, "SciCalc", "layout", "0"));
    EXPECT_EQ(statOf(theirs).st_uid, test::nobody);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readBytes(theirs), "[Other]\n\n[SciCalc]\nlayout=0\n");
}

} // namespace
} // namespace meridal
