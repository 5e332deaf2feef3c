#include "tests/persistence/file_helpers.h"
#include "tests/support/fake_resources.h"

#include "persistence/atomic_file.h"
#include "persistence/catalogue_file.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace meridal {
namespace {

using test::FakeResources;
using namespace std::string_literals;

class FileWriting : public ::testing::Test {
  protected:
    test::TempDir m_dir;
    std::string m_path = m_dir.file(catalogueFileName);
    std::string m_error;
};

mode_t modeOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(TextMode, lineFeedsBecomeCrLfAndNothingElseChanges)
{
    EXPECT_EQ(toCrLf("a\nb\r\nc\r%s\n"), "a\r\nb\r\r\nc\r%s\r\n");
    EXPECT_EQ(toCrLf(""), "");
}

TEST_F(FileWriting, replacesTheContentAndKeepsThePermissions)
{
    test::writeBytes(m_path, "old content that is longer");
    ASSERT_EQ(::chmod(m_path.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    EXPECT_EQ(test::readBytes(m_path), "new");
    EXPECT_EQ(modeOf(m_path), 0640u);
    EXPECT_EQ(m_dir.entryCount(), 1u);
}

TEST_F(FileWriting, writesThroughASymbolicLink)
{
    const std::string real = m_dir.file("real.xml");
    test::writeBytes(real, "old");
    std::filesystem::create_symlink(real, m_path);
    ASSERT_TRUE(writeFileAtomically(m_path, "new", m_error)) << m_error;
    EXPECT_TRUE(std::filesystem::is_symlink(m_path));
    EXPECT_EQ(test::readBytes(real), "new");
}

TEST_F(FileWriting, failureToReplaceLeavesTheTargetAndNoTemporaryFile)
{
    std::filesystem::create_directory(m_path); // a folder in place of the file
    test::writeBytes(m_dir.file("Meridal.xml/inside"), "kept");
    EXPECT_FALSE(writeFileAtomically(m_path, "new", m_error));
    EXPECT_FALSE(m_error.empty());
    EXPECT_EQ(test::readBytes(m_dir.file("Meridal.xml/inside")), "kept");
    EXPECT_EQ(m_dir.entryCount(), 1u);
}

TEST_F(FileWriting, failureInAMissingFolderIsReported)
{
    EXPECT_FALSE(writeFileAtomically(m_dir.file("no/such/folder/Meridal.xml"), "new", m_error));
    EXPECT_NE(m_error.find("Meridal.xml"), std::string::npos) << m_error;
}

TEST_F(FileWriting, failedWriteLeavesTheOldBytes)
{
    // A file size limit stops the write part way, whatever the user's rights.
    test::writeBytes(m_path, "old");
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeFileAtomically(m_path, std::string(4096, 'x'), m_error);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(m_error.empty());
    EXPECT_EQ(test::readBytes(m_path), "old");
    EXPECT_EQ(m_dir.entryCount(), 1u);
}

TEST_F(FileWriting, savedCatalogueIsTheWrittenBytes)
{
    UnitCatalogue catalogue;
    catalogue.setConfig(makeConfig("a", "b", "c", "1"));
    ASSERT_TRUE(writeCatalogue(m_path, catalogue, m_error)) << m_error;
    EXPECT_EQ(test::readBytes(m_path), "<root>\r\n\t<config dim=\"a\" su=\"b\" eu=\"c\" sv=1/>\r\n</root>");
}

TEST_F(FileWriting, defaultCatalogueIsWrittenInTextModeUpToItsNul)
{
    const struct {
        std::string resource;
        std::string file;
    } cases[] = {
        {"<root>\n</root>", "<root>\r\n</root>"},
        {"<root>\r\n</root>\n", "<root>\r\r\n</root>\r\n"},
        {"<root>\n<!-- 100% -->\0ignored"s, "<root>\r\n<!-- 100% -->"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        FakeResources resources;
        resources.set(res::typeHtml, res::htmlDefaultCatalogue, c.resource);
        ASSERT_TRUE(writeDefaultCatalogue(m_path, resources));
        EXPECT_EQ(test::readBytes(m_path), c.file);
    }
}

TEST_F(FileWriting, defaultCatalogueWithCrLfLoads)
{
    FakeResources resources = FakeResources::withNumberedStrings();
    resources.set(res::typeHtml, res::htmlDefaultCatalogue,
                  "<root>\r\n<dimension label=\"L\" baseunit=\"m\">\r\n<unit label=\"m\" cf=1 offset=0/>\r\n"
                  "</dimension>\r\n</root>");
    ASSERT_TRUE(writeDefaultCatalogue(m_path, resources));
    UnitCatalogue catalogue;
    LoadResult result = readCatalogue(m_path, catalogue, resources);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(catalogue.unitCount(), 1u);
}

TEST_F(FileWriting, noDefaultCatalogueInTheModuleWritesNothing)
{
    FakeResources resources;
    EXPECT_FALSE(writeDefaultCatalogue(m_path, resources));
    EXPECT_EQ(fileState(m_path), FileState::Missing);
    EXPECT_EQ(defaultCatalogueText(resources), "");
}

TEST(DefaultCatalogue, textEndsAtTheFirstNul)
{
    FakeResources resources;
    resources.set(res::typeHtml, res::htmlDefaultCatalogue, "<root></root>\0tail"s);
    EXPECT_EQ(defaultCatalogueText(resources), "<root></root>");
}

} // namespace
} // namespace meridal
