// SPDX-License-Identifier: GPL-3.0-or-later
// The user's files on a real file system, the same on every system: size limits, a file
// that grows while it is read, read-only files, hard links, replacement. Every case works in
// a scratch folder of its own; tests/persistence/<system>/ holds what only one system has.
#include "tests/persistence/file_helpers.h"
#include "tests/support/fake_resources.h"

#include "persistence/atomic_file.h"
#include "persistence/catalogue_file.h"
#include "persistence/temporary_copy.h"
#include "persistence/user_file.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>

namespace meridal {
namespace {

namespace fs = std::filesystem;
using Status = UserFileContent::Status;

const test::FakeResources& strings()
{
    return test::FakeResources::numbered();
}

class UserFiles : public ::testing::Test {
  protected:
    test::TempDir m_dir;
    std::string m_path = m_dir.file(catalogueFileName);
    std::string m_error;
};

TEST_F(UserFiles, sizeLimitHasItsOwnStatus)
{
    test::writeBytes(m_path, "<root></root>");
    fs::resize_file(test::pathOf(m_path), maxUserFileBytes + 1); // sparse where the system can
    const UserFileContent content = readUserFile(m_path);
    EXPECT_EQ(content.status, Status::TooLarge);
    EXPECT_NE(content.reason.find("256 MB"), std::string::npos) << content.reason;
    UnitCatalogue catalogue;
    const LoadResult result = readCatalogue(m_path, catalogue, strings());
    EXPECT_TRUE(result.ok && result.unreadable);
    EXPECT_EQ(result.fileStatus, Status::TooLarge);
}

TEST_F(UserFiles, aFileThatGrowsWhileItIsReadIsReadNoFurtherThanItsSizeAtOpen)
{
    test::writeBytes(m_path, std::string(4 << 20, 'x'));
    std::atomic<bool> done{false};
    std::thread writer([&] {
        std::ofstream out(test::pathOf(m_path), std::ios::binary | std::ios::app);
        const std::string chunk(1 << 16, 'y');
        for (int i = 0; i < 1024 && !done; ++i) // 64 MB at most
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size())).flush();
    });
    const UserFileContent content = readUserFile(m_path, 8 << 20);
    done = true;
    writer.join();
    // On a busy machine the file may be over the limit before it is looked at: then it is too large.
    if (content.status == Status::TooLarge)
        return;
    EXPECT_EQ(content.status, Status::Ok);
    EXPECT_LE(content.bytes.size(), std::size_t{8} << 20);
    EXPECT_EQ(content.bytes.substr(0, 4 << 20), std::string(4 << 20, 'x'));
}

TEST_F(UserFiles, aReadOnlyFileIsNeverWritten)
{
    test::writeBytes(m_path, "<root></root>");
    test::makeReadOnly(m_path);
    EXPECT_EQ(fileState(m_path), FileState::ReadOnly);
    UnitCatalogue catalogue;
    EXPECT_FALSE(writeCatalogue(m_path, catalogue, m_error)); // not even for root
    EXPECT_NE(m_error.find("read-only"), std::string::npos) << m_error;
    EXPECT_EQ(test::readBytes(m_path), "<root></root>");
    EXPECT_EQ(m_dir.entryCount(), 1u);
}

// A file with a second name is written in place: both names keep naming one file.
TEST_F(UserFiles, aHardLinkedFileIsWrittenInPlace)
{
    test::writeBytes(m_path, "old");
    const std::string other = m_dir.file("hard link");
    fs::create_hard_link(test::pathOf(m_path), test::pathOf(other));
    const std::optional<FileIdentity> before = fileIdentity(m_path);
    ASSERT_TRUE(before);
    ASSERT_TRUE(writeFileAtomically(m_path, "new bytes", m_error)) << m_error;
    EXPECT_EQ(test::readBytes(other), "new bytes");
    EXPECT_TRUE(fs::equivalent(test::pathOf(m_path), test::pathOf(other)));
    EXPECT_EQ(fileIdentity(m_path)->file, before->file);
    EXPECT_EQ(m_dir.entryCount(), 2u);

    // Shorter content leaves nothing of the old behind.
    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    EXPECT_EQ(test::readBytes(other), "new");
}

TEST_F(UserFiles, ownFileIsReplacedWhole)
{
    test::writeBytes(m_path, "old content");
    const std::optional<FileIdentity> before = fileIdentity(m_path);
    ASSERT_TRUE(before);
    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    EXPECT_NE(fileIdentity(m_path)->file, before->file); // a new file took the old one's place
    EXPECT_EQ(test::readBytes(m_path), "new");
    EXPECT_EQ(m_dir.entryCount(), 1u);
}

// What the reader remembers of a file tells any change of it, and nothing else.
TEST_F(UserFiles, identityIsThatOfTheFileAsItWasRead)
{
    EXPECT_FALSE(fileIdentity(m_path));
    test::writeBytes(m_path, "ours");
    const UserFileContent content = readUserFile(m_path);
    ASSERT_EQ(content.status, Status::Ok);
    EXPECT_EQ(fileIdentity(m_path), content.identity);
    EXPECT_EQ(content.identity.size, 4u);

    fs::last_write_time(test::pathOf(m_path), fs::file_time_type::clock::now() - std::chrono::hours(1));
    const std::optional<FileIdentity> older = fileIdentity(m_path);
    ASSERT_TRUE(older);
    EXPECT_NE(*older, content.identity);
    const auto hourAgo = std::chrono::system_clock::now() - std::chrono::hours(1);
    EXPECT_NEAR(static_cast<double>(older->modifiedSeconds),
                static_cast<double>(std::chrono::system_clock::to_time_t(hourAgo)), 60.0);
}

// A save removes only the temporary copies of its own file made on its own machine: the
// name tells the host and the process, read from the right since a host name may hold "-".
TEST(TemporaryCopies, OnlyCopiesOfThisFileMadeOnThisHostNameTheirWriter)
{
    const struct {
        std::string name;
        std::optional<std::uint64_t> writer;
    } cases[] = {
        {temporaryCopyName("log.txt", "desk-7", 4242, 31), 4242},
        {"log.txt.tmp-desk-7-4294967295-0", 4294967295u},
        {"log.txt.tmp-desk-9-4242-31", std::nullopt},       // another host
        {"log.txt.tmp-7-4242-31", std::nullopt},            // a host whose name ends alike
        {"Meridal.xml.tmp-desk-7-4242-31", std::nullopt},   // another file's copy
        {"log.txt.tmp-desk-7-42a-31", std::nullopt},        // no process number
        {"log.txt.tmp-desk-7-4242-", std::nullopt},         // no copy number
        {"log.txt.tmp-desk-7-12345678901-1", std::nullopt}, // beyond any process number
        {"log.txt", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(temporaryCopyWriter(c.name, "log.txt", "desk-7"), c.writer) << c.name;
    EXPECT_EQ(hostNameForFiles("a/b\\c"), "a_b_c");
}

} // namespace
} // namespace meridal
