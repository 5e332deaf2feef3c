// The converter window as the user meets it: the real Qt widgets built from the real
// resource module, driven by simulated keys and clicks.
#include "tests/gui/gui_support.h"

#include "platform/controls.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace meridal {
namespace {

using platform::qt::QtDialogHost;

// A small catalogue, Windows-1252 with LF line ends ("\xB0" is the degree sign).
const char* const catalogueText = "<root>\n"
                                  "\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
                                  "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                                  "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                  "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "\t<dimension label=\"Temperature\" baseunit=\"K\">\n"
                                  "\t\t<unit label=\"K\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"\xB0"
                                  "C\" cf=1 offset=273.15/>\n"
                                  "\t</dimension>\n"
                                  "</root>";

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Records the message boxes instead of showing them, and answers each with OK.
class RecordedMessages final : public platform::MessageBoxes {
  public:
    struct Message {
        std::string text;
        std::string caption;
        platform::MessageIcon icon;
    };
    platform::MessageResult show(const std::string& text, const std::string& caption,
                                 platform::MessageIcon icon, platform::MessageButtons) override
    {
        messages.push_back({text, caption, icon});
        return platform::MessageResult::Ok;
    }
    std::vector<Message> messages;
};

class ConverterWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    void SetUp() override
    {
        m_resources = ResourceModule::load("TessaryRes.dll");
        ASSERT_NE(m_resources, nullptr) << "the test runs next to the built resource module";
    }

    // Opens the window on the catalogue file as it stands in the working folder.
    void open()
    {
        m_host = std::make_unique<QtDialogHost>(*m_resources, res::dialogConverter);
        ASSERT_NE(m_host->window(), nullptr);
        m_host->setMessageBoxes(m_messages);
        m_dialog = std::make_unique<CConverterDlg>(*m_resources, *m_host);
        ASSERT_TRUE(m_host->open(*m_dialog));
        m_host->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_host->window()));
    }

    template <typename W> W& widget(int id)
    {
        auto* w = qobject_cast<W*>(m_host->control(id));
        if (!w)
            throw std::runtime_error("control " + std::to_string(id) + " is missing or of another kind");
        return *w;
    }

    QString output() { return widget<QLineEdit>(res::idOutput).text(); }
    QString input() { return widget<QLineEdit>(res::idInput).text(); }

    // The user picks a dimension with the arrow keys of the closed drop-down list.
    void chooseDimension(const QString& label)
    {
        auto& combo = widget<QComboBox>(res::idDimensionList);
        const int target = combo.findText(label);
        ASSERT_GE(target, 0) << label.toStdString();
        combo.setFocus(Qt::TabFocusReason);
        while (combo.currentIndex() != target)
            QTest::keyClick(&combo, combo.currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }

    // The user clicks a unit in one of the unit lists.
    void clickUnit(int listId, const QString& label)
    {
        auto& list = widget<QListWidget>(listId);
        const auto found = list.findItems(label, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << label.toStdString();
        list.scrollToItem(found.front());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(found.front()).center());
        ASSERT_EQ(list.currentItem(), found.front());
    }

    void typeValue(const QString& keys)
    {
        auto& edit = widget<QLineEdit>(res::idInput);
        edit.setFocus(Qt::TabFocusReason);
        edit.selectAll();
        QTest::keyClicks(&edit, keys);
    }

    test::TemporaryWorkingFolder m_folder;
    std::unique_ptr<Resources> m_resources;
    RecordedMessages m_messages;
    std::unique_ptr<QtDialogHost> m_host;
    std::unique_ptr<CConverterDlg> m_dialog;
};

TEST_F(ConverterWindowTest, userChoosesUnitsTypesAndPastesAndTheResultFollows)
{
    writeFile("Meridal.xml", catalogueText);
    open();
    // The remembered selection comes back, converted.
    EXPECT_EQ(widget<QComboBox>(res::idDimensionList).currentText(), "Length");
    EXPECT_EQ(widget<QListWidget>(res::idStartUnitList).currentItem()->text(), "in");
    EXPECT_EQ(widget<QListWidget>(res::idEndUnitList).currentItem()->text(), "ft");
    EXPECT_EQ(input(), "12");
    EXPECT_EQ(output(), "1.000000");

    chooseDimension("Temperature");
    clickUnit(res::idStartUnitList, QString::fromUtf8("°C"));
    clickUnit(res::idEndUnitList, "K");
    EXPECT_EQ(widget<QLabel>(res::idStartCaption).text(), QString::fromUtf8("°C"));
    EXPECT_EQ(widget<QLabel>(res::idEndCaption).text(), "K");

    // A letter is filtered out as it is typed; the caret stays where the user left it.
    typeValue("2x5");
    EXPECT_EQ(input(), "25");
    EXPECT_EQ(output(), "298.150000");

    // Ctrl+V in the field: the clipboard text arrives whole and is then cleaned.
    QGuiApplication::clipboard()->setText(QStringLiteral("1,234.5 kg"));
    auto& edit = widget<QLineEdit>(res::idInput);
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(input(), "1234.5");
    EXPECT_EQ(edit.cursorPosition(), 6);
    EXPECT_EQ(output(), "1507.650000");

    // The paste command replaces the whole input, wherever the caret is.
    QGuiApplication::clipboard()->setText(QStringLiteral("+7"));
    edit.setCursorPosition(2);
    QAction* paste = m_host->menuAction(res::cmdPaste);
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(input(), "7");
    EXPECT_EQ(output(), "280.150000");

    // The copy command puts the result on the clipboard exactly as shown.
    QAction* copy = m_host->menuAction(res::cmdCopy);
    ASSERT_NE(copy, nullptr);
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "280.150000");

    // Arrow keys in a unit list are the user's choice as well.
    auto& endList = widget<QListWidget>(res::idEndUnitList);
    endList.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&endList, endList.currentRow() == 0 ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_EQ(endList.currentItem()->text(), QString::fromUtf8("°C"));
    EXPECT_EQ(output(), "7.000000");
}

TEST_F(ConverterWindowTest, closeBoxSavesTheSelectionWithWindowsLineEnds)
{
    writeFile("Meridal.xml", catalogueText);
    open();
    chooseDimension("Temperature");
    clickUnit(res::idStartUnitList, QString::fromUtf8("°C"));
    clickUnit(res::idEndUnitList, "K");
    typeValue("36.6");

    m_host->window()->close();
    EXPECT_TRUE(m_host->ended());
    EXPECT_FALSE(m_host->window()->isVisible());

    const std::string saved = readFile("Meridal.xml");
    EXPECT_NE(saved.find("<config dim=\"Temperature\" su=\"\xB0"
                         "C\" eu=\"K\" sv=36.6/>\r\n"),
              std::string::npos)
        << saved;
    EXPECT_EQ(saved.find("\n"), saved.find("\r\n") + 1); // no bare LF
    for (std::size_t at = saved.find('\n'); at != std::string::npos; at = saved.find('\n', at + 1))
        ASSERT_EQ(saved[at - 1], '\r') << "at byte " << at;
}

TEST_F(ConverterWindowTest, escapeClosesTheWindowAndSavesAndEnterDoesNotClose)
{
    writeFile("Meridal.xml", catalogueText);
    open();
    typeValue("3");
    QTest::keyClick(&widget<QLineEdit>(res::idInput), Qt::Key_Return);
    EXPECT_FALSE(m_host->ended());
    EXPECT_TRUE(m_host->window()->isVisible());

    QTest::keyClick(&widget<QLineEdit>(res::idInput), Qt::Key_Escape);
    EXPECT_TRUE(m_host->ended());
    EXPECT_NE(readFile("Meridal.xml").find("sv=3/>"), std::string::npos);
}

TEST_F(ConverterWindowTest, exitCommandTakesTheClosePath)
{
    writeFile("Meridal.xml", catalogueText);
    open();
    typeValue("4");
    QAction* exit = m_host->menuAction(res::cmdExit);
    ASSERT_NE(exit, nullptr);
    exit->trigger();
    EXPECT_TRUE(m_host->ended());
    EXPECT_NE(readFile("Meridal.xml").find("sv=4/>"), std::string::npos);
}

TEST_F(ConverterWindowTest, tabKeyVisitsTheControlsInReadingOrderAndEveryInputHasAName)
{
    writeFile("Meridal.xml", catalogueText);
    open();
    QWidget* focused = &widget<QComboBox>(res::idDimensionList);
    focused->setFocus(Qt::TabFocusReason);
    std::vector<int> visited;
    for (int i = 0; i < 6; ++i) {
        focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        visited.push_back(focused->property("controlId").toInt());
        EXPECT_FALSE(focused->accessibleName().isEmpty()) << visited.back();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, (std::vector<int>{res::idDimensionList, res::idStartUnitList, res::idEndUnitList,
                                         res::idInput, res::idOutput, res::idLogList}));
    for (int button : {res::idAddLogButton, res::idRestoreLogButton, res::idDeleteLogButton,
                       res::idClearLogButton, res::idNextTip})
        EXPECT_FALSE(m_host->control(button)->accessibleName().isEmpty()) << button;
}

TEST_F(ConverterWindowTest, unreadableCatalogueShowsOneErrorAndNeverShowsTheWindow)
{
    const std::string broken = "<root>\n\t<bogus/>\n</root>";
    writeFile("Meridal.xml", broken);
    QtDialogHost host(*m_resources, res::dialogConverter);
    host.setMessageBoxes(m_messages);
    CConverterDlg dialog(*m_resources, host);
    EXPECT_EQ(host.exec(dialog), -1); // would wait in its modal loop if the window were shown
    EXPECT_FALSE(host.window()->isVisible());
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(m_messages.messages[0].caption, m_resources->string(res::strErrorCaption));
    EXPECT_EQ(readFile("Meridal.xml"), broken);
}

} // namespace
} // namespace meridal
