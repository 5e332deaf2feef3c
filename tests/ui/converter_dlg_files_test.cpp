// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/ui/converter_window_fixture.h"

#include "catalogue/windows1252.h"
#include "persistence/catalogue_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <new>
#include <stdexcept>
#include <vector>

namespace meridal::test {
namespace {

using platform::MessageIcon;
namespace fs = std::filesystem;

void expectMessage(const std::vector<ShownMessage>& shown, const std::string& text,
                   const std::string& caption, MessageIcon icon)
{
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, text);
    EXPECT_EQ(shown[0].caption, caption);
    EXPECT_EQ(shown[0].icon, icon);
}

TEST_F(ConverterWindowTest, closeAndExitCommandWriteTheCatalogueWithTheSelectionOfTheMoment)
{
    for (bool byCommand : {false, true}) {
        SCOPED_TRACE(byCommand ? "exit command" : "close");
        writeFile(catalogueText(config("Length", "in", "ft", "12")));
        ASSERT_TRUE(open());
        ASSERT_TRUE(dimensions().userSelect("Temperature"));
        ASSERT_TRUE(startUnits().userSelect("C"));
        ASSERT_TRUE(endUnits().userSelect("F"));
        input().setText("-40");

        if (byCommand)
            window().onCommand(139);
        else
            window().onClose();

        const std::string saved = readFile();
        EXPECT_NE(saved.find("\t<config dim=\"Temperature\" su=\"C\" eu=\"F\" sv=-40/>\r\n"),
                  std::string::npos)
            << saved;
        EXPECT_NE(saved.find("<unit label=\"mm\" cf=0.001 offset=0/>\r\n"), std::string::npos);
        EXPECT_TRUE(saved.ends_with("\r\n</root>"));
        EXPECT_TRUE(messages().empty());
        EXPECT_EQ(host().endResults, std::vector<int>{0});
    }
}

TEST_F(ConverterWindowTest, missingFileIsCreatedFromTheDefaultCatalogue)
{
    m_resources.set(res::typeHtml, res::htmlDefaultCatalogue,
                    catalogueText(config("Length", "in", "ft", "24")));
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
    expectMessage(messages(), expected.error, "S208", MessageIcon::Error);
    EXPECT_EQ(host().endResults, std::vector<int>{-1});

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
    expectMessage(messages(), "S218", "S217", MessageIcon::Warning);
    EXPECT_EQ(output().text(), "1.000000");

    input().setText("24");
    window().onClose();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(readFile(), text);
    EXPECT_EQ(host().endResults, std::vector<int>{0});
}

TEST_F(ConverterWindowTest, failedSaveIsShownAndTheWindowStillCloses)
{
    m_resources.setString(res::strCatalogueSaveFailed, "Not saved: %s");
    struct Case {
        const char* name;
        void (*change)();
        const char* text; // the message, or its start when it ends in ": "
    };
    const Case cases[] = {
        {"deleted", [] { fs::remove("Meridal.xml"); }, "S229"},
        {"read-only", [] { fs::permissions("Meridal.xml", fs::perms::owner_read); }, "S218"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
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
        if (expected.ends_with(": "))
            EXPECT_TRUE(messages()[0].text.starts_with(expected) &&
                        messages()[0].text.size() > expected.size())
                << messages()[0].text;
        else
            EXPECT_EQ(messages()[0].text, expected);
        EXPECT_EQ(messages()[0].caption, "S208");
        EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
        if (wasFile) {
            EXPECT_EQ(readFile(), text);
        }
        EXPECT_EQ(fs::is_regular_file("Meridal.xml"), wasFile);
        EXPECT_EQ(host().endResults, std::vector<int>{0});
    }
}

TEST_F(ConverterWindowTest, unreadableFileLoadsEmptyAndIsNeverSavedOver)
{
    fs::create_directories("Meridal.xml/keep");
    m_resources.setString(res::strCatalogueUnreadable, "Unreadable: %s");
    ASSERT_TRUE(open());
    // Told at start, with the reason.
    expectMessage(messages(), "Unreadable: it is a folder, not a regular file", "S217", MessageIcon::Warning);
    EXPECT_EQ(dimensions().entries(), std::vector<std::string>{"S242"});

    host().messages.shown.clear();
    window().onClose();
    expectMessage(messages(), "S252", "S208", MessageIcon::Warning);
    EXPECT_TRUE(fs::exists("Meridal.xml/keep"));
    EXPECT_EQ(host().endResults, std::vector<int>{0});
}

// Another writer changed the file while the window was open: its change is never reverted
// behind the person's back.
TEST_F(ConverterWindowTest, aFileChangedOnDiskKeepsTheOtherWritersChange)
{
    std::string theirs = catalogueText(config("Temperature", "C", "K", "5"));
    theirs.replace(theirs.find("Length"), 6, "Distance");
    const std::string broken = "<root><unit/>";
    struct Case {
        const char* name;
        bool edited;                    // this session changed the catalogue, not only the selection
        platform::MessageResult answer; // to the question, when it is asked
        std::string onDisk;             // what the other writer left
        const char* message;            // "" for none
        bool replaced;                  // the file now holds this window's catalogue
    };
    const Case cases[] = {
        {"selection only: theirs, with our selection", false, {}, theirs, "", false},
        {"selection only, and theirs no longer loads", false, {}, broken, "S287", false},
        {"edited, answered No (the default)", true, platform::MessageResult::No, theirs, "S288", false},
        {"edited, answered Yes", true, platform::MessageResult::Yes, theirs, "S288", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(catalogueText(config("Length", "in", "ft", "12")));
        ASSERT_TRUE(open());
        ASSERT_TRUE(dimensions().userSelect("Length"));
        ASSERT_TRUE(startUnits().userSelect("mm"));
        if (c.edited)
            static_cast<ConverterWindow&>(window()).setSaveOnClose(true); // as every completed edit does
        writeFile(c.onDisk);
        host().messages.answers.push_back(c.answer);

        window().onClose();
        if (*c.message) {
            ASSERT_EQ(messages().size(), 1u);
            EXPECT_EQ(messages()[0].text, c.message);
        } else {
            EXPECT_TRUE(messages().empty());
        }
        if (std::string(c.message) == "S288") {
            EXPECT_EQ(messages()[0].buttons, platform::MessageButtons::YesNo);
            EXPECT_EQ(messages()[0].defaultButton, platform::DefaultButton::Second);
        }
        const std::string saved = readFile();
        if (c.replaced) {
            EXPECT_NE(saved.find("dim=\"Length\" su=\"mm\""), std::string::npos) << saved;
            EXPECT_NE(saved.find("label=\"Length\""), std::string::npos);
        } else if (c.onDisk == theirs && !c.edited) {
            // Their catalogue (Length became Distance), our selection of the moment.
            EXPECT_EQ(saved.find("label=\"Length\""), std::string::npos) << saved;
            EXPECT_NE(saved.find("dim=\"Length\" su=\"mm\""), std::string::npos) << saved;
        } else {
            EXPECT_EQ(saved, c.onDisk);
        }
    }
}

// Another program changes a file while the window starts: here while the read-only warning is
// on screen, the person makes the file writable and changes it in an editor. The window compares
// with what it read, not with what is there after its warning, so their change is kept.
TEST_F(ConverterWindowTest, aChangeMadeWhileTheWindowStartsIsNotSavedOver)
{
    std::string theirCatalogue = catalogueText(config("Temperature", "C", "K", "5"));
    theirCatalogue.replace(theirCatalogue.find("Length"), 6, "Distance");
    const struct {
        const char* file;
        std::string theirs;
        const char* kept; // in the file after the close
        const char* lost; // not in it
    } cases[] = {
        {"Meridal.xml", theirCatalogue, "label=\"Distance\"", "label=\"Length\""},
        {"log.txt", "theirs\r\n", "theirs", "ours"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        writeFile(catalogueText(config("Length", "in", "ft", "12")));
        std::ofstream("log.txt", std::ios::binary | std::ios::trunc) << "ours\r\n";
        fs::permissions(c.file, fs::perms::owner_read);
        bool changed = false;
        ASSERT_TRUE(open([&](FakeDialogHost& fresh) {
            fresh.messages.whileShown = [&] {
                if (changed)
                    return;
                changed = true;
                fs::permissions(c.file, fs::perms::owner_read | fs::perms::owner_write);
                std::ofstream(c.file, std::ios::binary | std::ios::trunc) << c.theirs;
            };
        }));
        EXPECT_TRUE(changed);
        EXPECT_EQ(host().lists.at(1050).entries(), std::vector<std::string>{"ours"});

        window().onClose();
        std::ifstream in(c.file, std::ios::binary);
        const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_NE(saved.find(c.kept), std::string::npos) << saved;
        EXPECT_EQ(saved.find(c.lost), std::string::npos) << saved;
    }
}

// A window whose conversion fails as a handler can: the one place that catches shows the
// system's report and the window goes on.
class ThrowingWindow final : public CConverterDlg {
  public:
    using CConverterDlg::CConverterDlg;
    void convert() override
    {
        if (failure == 1)
            throw std::invalid_argument("no entry");
        if (failure == 2)
            throw std::bad_alloc();
        if (failure == 3)
            throw 3;
        CConverterDlg::convert();
    }
    int failure = 0;
};

TEST_F(ConverterWindowTest, aFailingHandlerShowsTheSystemsReportAndTheWindowGoesOn)
{
    writeFile(catalogueText(config("Length", "in", "ft", "12")));
    ThrowingWindow throwing(m_resources, host());
    host().attach(throwing);
    ASSERT_TRUE(throwing.onInitDialog());

    // The report gives the system's text; standard error tells what failed.
    const struct {
        int failure;
        int error;
        const char* logged;
    } cases[] = {{1, EINVAL, "meridal: no entry\n"},
                 {2, ENOMEM, "meridal: std::bad_alloc\n"},
                 {3, EINVAL, "meridal: an exception of unknown type\n"}};
    for (const auto& c : cases) {
        host().messages.shown.clear();
        throwing.failure = c.failure;
        ::testing::internal::CaptureStderr();
        input().userType("4");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.logged);
        expectMessage(messages(), utf8ToWindows1252Lossy(std::strerror(c.error)), "S208", MessageIcon::Error);
    }
    throwing.failure = 0;
    input().setText("24");
    EXPECT_EQ(output().text(), "2.000000");
}

} // namespace
} // namespace meridal::test
