#include "tests/ui/converter_window_fixture.h"

#include "persistence/catalogue_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace meridal::test {
namespace {

using platform::MessageIcon;
namespace fs = std::filesystem;

constexpr int exitCommand = 139;

bool sameMessage(const ShownMessage& shown, const std::string& text, const std::string& caption,
                 MessageIcon icon)
{
    return shown.text == text && shown.caption == caption && shown.icon == icon;
}

TEST_F(ConverterWindowTest, closingWritesTheCatalogueWithTheSelectionOfTheMoment)
{
    // The close box (or Escape) and the exit command take the same path.
    for (bool byCommand : {false, true}) {
        SCOPED_TRACE(byCommand ? "exit command" : "close");
        discardWindow();
        writeFile(catalogueText(config("Length", "in", "ft", "12")));
        ASSERT_TRUE(open());
        ASSERT_TRUE(dimensions().userSelect("Temperature"));
        ASSERT_TRUE(startUnits().userSelect("C"));
        ASSERT_TRUE(endUnits().userSelect("F"));
        input().setText("-40");

        if (byCommand)
            window().onCommand(exitCommand);
        else
            window().onClose();

        const std::string saved = readFile();
        EXPECT_NE(saved.find("\t<config dim=\"Temperature\" su=\"C\" eu=\"F\" sv=-40/>\r\n"),
                  std::string::npos)
            << saved;
        EXPECT_NE(saved.find("<unit label=\"mm\" cf=0.001 offset=0/>\r\n"), std::string::npos);
        EXPECT_EQ(saved.substr(saved.size() - 7), "</root>");
        EXPECT_TRUE(messages().empty());
        EXPECT_EQ(host().endResults(), std::vector<int>{0});
    }
}

TEST_F(ConverterWindowTest, missingFileIsCreatedFromTheDefaultCatalogue)
{
    m_resources.set(res::typeHtml, res::htmlDefaultCatalogue,
                    catalogueText(config("Length", "in", "ft", "24")));
    ASSERT_FALSE(fs::exists("Meridal.xml"));
    ASSERT_TRUE(open());
    EXPECT_TRUE(fs::exists("Meridal.xml"));
    EXPECT_EQ(output().text(), "2.000000");
    EXPECT_TRUE(messages().empty());
}

TEST_F(ConverterWindowTest, failedLoadShowsOneMessageEndsWindowAndLeavesFileUntouched)
{
    const std::string broken = "<root>\n\t<dimension label=\"Length\" baseunit=\"m\">\n"
                               "\t\t<unit name=\"m\" cf=1 offset=0/>\n\t</dimension>\n</root>";
    writeFile(broken);
    UnitCatalogue probe;
    const LoadResult expected = readCatalogue("Meridal.xml", probe, m_resources);
    ASSERT_FALSE(expected.ok);

    EXPECT_FALSE(open());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(sameMessage(messages()[0], expected.error, "S208", MessageIcon::Error));
    EXPECT_EQ(window().loadError(), expected.error);
    EXPECT_EQ(host().endResults(), std::vector<int>{-1});
    EXPECT_FALSE(window().saveOnClose());

    // A close that still reaches the window saves nothing.
    window().onClose();
    EXPECT_EQ(readFile(), broken);
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(ConverterWindowTest, readOnlyFileIsReportedOnceAndNotWritten)
{
    const std::string text = catalogueText(config("Length", "in", "ft", "12"));
    writeFile(text);
    fs::permissions("Meridal.xml", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    ASSERT_TRUE(open());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(sameMessage(messages()[0], "S218", "S217", MessageIcon::Warning));
    EXPECT_TRUE(window().readOnlyWarned());
    EXPECT_EQ(output().text(), "1.000000");

    input().setText("24");
    window().onClose();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(readFile(), text);
    EXPECT_EQ(host().endResults(), std::vector<int>{0});
}

TEST_F(ConverterWindowTest, fileChangedWhileRunningIsReportedAtCloseAndWindowStillCloses)
{
    m_resources.setString(res::strCatalogueSaveFailed, "Not saved: %s");
    struct Case {
        const char* name;
        void (*change)();
        const char* text; // the message's text, or its start when it ends in ": "
        MessageIcon icon;
    };
    const Case cases[] = {
        {"deleted", [] { fs::remove("Meridal.xml"); }, "S229", MessageIcon::Error},
        {"read-only", [] { fs::permissions("Meridal.xml", fs::perms::owner_read); }, "S218",
         MessageIcon::Error},
        // A folder where the file was: it cannot be replaced; the reason is shown.
        {"replaced by a folder",
         [] {
             fs::remove("Meridal.xml");
             fs::create_directory("Meridal.xml");
             std::ofstream("Meridal.xml/keep") << "x";
         },
         "Not saved: ", MessageIcon::Error},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        discardWindow();
        std::error_code ignored;
        fs::remove_all("Meridal.xml", ignored);
        const std::string text = catalogueText(config("Length", "in", "ft", "12"));
        writeFile(text);
        ASSERT_TRUE(open());
        c.change();
        const bool wasFile = fs::is_regular_file("Meridal.xml");

        window().onClose();
        ASSERT_EQ(messages().size(), 1u);
        const std::string expected = c.text;
        if (expected.ends_with(": ")) {
            EXPECT_EQ(messages()[0].text.rfind(expected, 0), 0u) << messages()[0].text;
            EXPECT_GT(messages()[0].text.size(), expected.size());
        } else {
            EXPECT_EQ(messages()[0].text, expected);
        }
        EXPECT_EQ(messages()[0].caption, "S208");
        EXPECT_EQ(messages()[0].icon, c.icon);
        if (wasFile)
            EXPECT_EQ(readFile(), text);
        else
            EXPECT_FALSE(fs::is_regular_file("Meridal.xml"));
        EXPECT_EQ(host().endResults(), std::vector<int>{0});
    }
}

TEST_F(ConverterWindowTest, unreadableFileLoadsEmptyAndIsNeverSavedOver)
{
    fs::create_directory("Meridal.xml");
    std::ofstream("Meridal.xml/keep") << "x";

    ASSERT_TRUE(open());
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(dimensions().entries(), std::vector<std::string>{"S242"});

    window().onClose();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(sameMessage(messages()[0], "S252", "S208", MessageIcon::Warning));
    EXPECT_TRUE(fs::is_directory("Meridal.xml"));
    EXPECT_TRUE(fs::exists("Meridal.xml/keep"));
    EXPECT_EQ(host().endResults(), std::vector<int>{0});
}

TEST_F(ConverterWindowTest, emptyCatalogueSavesEmptySelection)
{
    writeFile("<root>\n</root>");
    ASSERT_TRUE(open());
    input().setText("5");
    window().onClose();
    EXPECT_EQ(readFile(), "<root>\r\n\t<config dim=\"S242\" su=\"\" eu=\"\" sv=5/>\r\n</root>");
}

} // namespace
} // namespace meridal::test
