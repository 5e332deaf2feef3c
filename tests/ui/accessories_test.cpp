// SPDX-License-Identifier: GPL-3.0-or-later
// The calculator, the targets and the About box against the substitutes.

#include "tests/ui/converter_window_fixture.h"

#include "ui/accessories/about_dlg.h"

namespace meridal::test {
namespace {

using platform::Desktop;
using platform::MessageIcon;
using platform::Notification;

class AccessoriesTest : public ConverterWindowTest {
  protected:
    void SetUp() override
    {
        ConverterWindowTest::SetUp();
        writeFile(catalogueText(""));
        ASSERT_TRUE(open());
    }
    FakeDesktop& desktop() { return host().fakeDesktop; }
};

// The layout setting is written before every start, whether the start or the write works.
TEST_F(AccessoriesTest, calculatorWritesItsLayoutBeforeEveryStartAndReportsAFailedStart)
{
    for (const bool starts : {true, false}) {
        for (const bool written : {true, false}) {
            SCOPED_TRACE(std::to_string(starts) + std::to_string(written));
            ASSERT_TRUE(open());
            desktop().calculatorStartsSucceed = starts;
            desktop().profileWritesSucceed = written;
            host().command(0x95);
            host().command(0x95);
            EXPECT_EQ(desktop().calls, (std::vector<std::string>{"writeProfileString", "startCalculator",
                                                                 "writeProfileString", "startCalculator"}));
            for (const auto& write : desktop().profileWrites)
                EXPECT_EQ(write,
                          std::make_tuple(std::string("SciCalc"), std::string("layout"), std::string("0")));
            ASSERT_EQ(messages().size(), starts ? 0u : 2u);
            if (!starts) {
                EXPECT_EQ(messages()[0].text, "S230");
                EXPECT_EQ(messages()[0].caption, "S208");
                EXPECT_EQ(messages()[0].icon, MessageIcon::Information);
            }
        }
    }
}

TEST_F(AccessoriesTest, eachTargetCommandAndTheBannerOpenTheirString)
{
    const struct {
        int command;
        std::string target;
    } cases[] = {
        {0x8004, "S243"}, {0x8006, "S244"}, {0x8007, "S245"}, {0x8008, "S246"},
        {0x8009, "S247"}, {0x800A, "S248"}, {0, "S247"}, // 0: a click on the banner
    };
    for (const auto& c : cases) {
        if (c.command)
            host().command(c.command);
        else
            host().notify(1032, Notification::Clicked);
    }
    std::vector<std::string> expected;
    for (const auto& c : cases)
        expected.push_back(c.target);
    EXPECT_EQ(desktop().openedTargets, expected);
    EXPECT_TRUE(messages().empty());
}

// The target goes into string 231 as text, never as a format of its own.
TEST_F(AccessoriesTest, aFailedTargetShowsItsOwnTextInsideTheMessage)
{
    m_resources.setString(231, "Cannot open %s, sorry (100%%).");
    desktop().targetsFail = true;
    for (const std::string target : {"https://example.net/a%20b", "%s%d%n", ""}) {
        SCOPED_TRACE(target);
        m_resources.setString(248, target);
        host().messages.shown.clear();
        host().command(0x800A);
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, "Cannot open " + target + ", sorry (100%).");
        EXPECT_EQ(messages()[0].caption, "S208");
        EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
    }
}

TEST(AboutLine, readsTheDateAndTheVersionAsTheDesktopReportsThem)
{
    const struct {
        std::string version;
        Desktop::DateStatus status;
        bool hasInvalidDateString;
        std::string expected;
    } cases[] = {
        {"2.1.0.4", Desktop::DateStatus::Ok, true, "2/7/2011 [2.1.0.4]"},
        {"", Desktop::DateStatus::Ok, true, "2/7/2011 []"},
        {"2.1.0.4", Desktop::DateStatus::Unknown, true, " [2.1.0.4]"},
        {"", Desktop::DateStatus::Unknown, true, " []"},
        {"2.1.0.4", Desktop::DateStatus::Unconvertible, true, "Unknown date [2.1.0.4]"},
        {"2.1.0.4", Desktop::DateStatus::Unconvertible, false, "Invalid DateTime [2.1.0.4]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        FakeResources resources;
        if (c.hasInvalidDateString)
            resources.setString(55296, "Unknown date");
        FakeDesktop desktop;
        desktop.version = c.version;
        desktop.dateStatus = c.status;
        EXPECT_EQ(CAboutDlg::dateAndVersionLine(desktop, resources), c.expected);
    }
}

// Command 0x9B runs the box from layout 100; fonts go only to the controls the layout has.
TEST_F(AccessoriesTest, aboutBoxSetsFontsAndTextsOfTheControlsItHasAndEndsOnlyByOk)
{
    m_resources.setString(261, "(c) the developers");
    for (unsigned id = 209; id <= 214; ++id)
        m_resources.setString(id, "Face" + std::to_string(id));
    FakeDialogHost about({}, {}, {}, {1034, 1035, 1039});
    about.otherControls = {1, 1036};
    about.fakeDesktop.version = "2.1.0.7";
    host().dialogRunner = [&](unsigned, platform::DialogController& controller) {
        about.attach(controller); // hands the dialog its host
        EXPECT_TRUE(controller.onInitDialog());
        about.command(1034);
        about.notify(1034, Notification::Clicked);
        EXPECT_TRUE(about.endResults.empty());
        about.notify(1, Notification::Clicked);
        return about.endResults.empty() ? -1 : about.endResults.back();
    };
    host().command(0x9B);

    EXPECT_EQ(host().dialogsRun, std::vector<unsigned>{100});
    EXPECT_EQ(about.endResults, std::vector<int>{1});
    const std::map<int, std::tuple<std::string, int, int>> expectedFonts = {
        {1034, {"Face209", 16, 400}},
        {1035, {"Face210", 8, 400}},
        {1036, {"Face211", 8, 700}},
        {1039, {"Face214", 8, 400}},
    };
    std::map<int, std::tuple<std::string, int, int>> fonts;
    for (const auto& [id, font] : about.fonts)
        fonts[id] = {font.face, font.points, font.weight};
    EXPECT_EQ(fonts, expectedFonts);
    EXPECT_EQ(about.texts.at(1034).text(), "Meridal\xAE v2.1");
    EXPECT_EQ(about.texts.at(1035).text(), "(c) the developers");
    EXPECT_EQ(about.texts.at(1039).text(), "2/7/2011 [2.1.0.7]");

    // The close box and Escape end it as well.
    CAboutDlg box(m_resources);
    about.attach(box);
    box.onClose();
    EXPECT_EQ(about.endResults.size(), 2u);
}

} // namespace
} // namespace meridal::test
