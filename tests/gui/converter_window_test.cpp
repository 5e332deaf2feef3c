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
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace meridal {
namespace {

using platform::qt::QtDialogHost;

// A small catalogue that remembers 12 in to ft.
const char* const catalogueText = "<root>\n"
                                  "\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
                                  "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                                  "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                  "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "</root>";

std::string savedCatalogue()
{
    std::ifstream in("Meridal.xml", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ConverterWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    void SetUp() override
    {
        m_resources = ResourceModule::load("TessaryRes.dll");
        ASSERT_NE(m_resources, nullptr) << "the test runs next to the built resource module";
    }

    // Opens the window on the small catalogue.
    void open()
    {
        std::ofstream("Meridal.xml", std::ios::binary) << catalogueText;
        m_dialog.reset();
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
    test::RecordedMessages m_messages;
    std::unique_ptr<QtDialogHost> m_host;
    std::unique_ptr<CConverterDlg> m_dialog;
};

TEST_F(ConverterWindowTest, userChoosesAUnitTypesAndUsesTheClipboardCommands)
{
    open();
    EXPECT_EQ(output(), "1.000000"); // the remembered selection, converted

    clickUnit(res::idEndUnitList, "m");
    EXPECT_EQ(widget<QLabel>(res::idEndCaption).text(), "m");
    EXPECT_EQ(output(), "0.304800");

    // A letter is filtered out as it is typed.
    typeValue("2x5");
    EXPECT_EQ(input(), "25");
    EXPECT_EQ(output(), "0.635000");

    // The menus' paste and copy commands, through the real clipboard.
    QGuiApplication::clipboard()->setText(QStringLiteral("+7"));
    widget<QLineEdit>(res::idInput).setCursorPosition(1);
    ASSERT_NE(m_host->menuAction(res::cmdPaste), nullptr);
    m_host->menuAction(res::cmdPaste)->trigger();
    EXPECT_EQ(input(), "7");
    EXPECT_EQ(output(), "0.177800");
    ASSERT_NE(m_host->menuAction(res::cmdCopy), nullptr);
    m_host->menuAction(res::cmdCopy)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "0.177800");
}

TEST_F(ConverterWindowTest, closeBoxEscapeAndExitEachSaveAndEnterDoesNotClose)
{
    const std::function<void()> ways[] = {
        [this] { m_host->window()->close(); },
        [this] { QTest::keyClick(&widget<QLineEdit>(res::idInput), Qt::Key_Escape); },
        [this] { m_host->menuAction(res::cmdExit)->trigger(); },
    };
    int value = 0;
    for (const auto& closeWindow : ways) {
        SCOPED_TRACE(value);
        open();
        typeValue(QString::number(++value));
        QTest::keyClick(&widget<QLineEdit>(res::idInput), Qt::Key_Return);
        EXPECT_FALSE(m_host->ended());

        closeWindow();
        EXPECT_TRUE(m_host->ended());
        EXPECT_FALSE(m_host->window()->isVisible());
        EXPECT_NE(savedCatalogue().find("sv=" + std::to_string(value) + "/>\r\n"), std::string::npos);
    }
}

TEST_F(ConverterWindowTest, tabKeyVisitsTheControlsInReadingOrderAndEveryInputHasAName)
{
    open();
    widget<QComboBox>(res::idDimensionList).setFocus(Qt::TabFocusReason);
    std::vector<int> visited;
    for (int i = 0; i < 6; ++i) {
        QWidget* focused = QApplication::focusWidget();
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

} // namespace
} // namespace meridal
