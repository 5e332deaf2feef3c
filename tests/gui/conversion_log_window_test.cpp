// The conversion log in the real window: its buttons by mouse and keyboard, the double click,
// the copy command through the menu bar to the real clipboard, and a long log at start.
#include "tests/gui/gui_support.h"

#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>

namespace meridal {
namespace {

using platform::qt::QtDialogHost;

const char* const catalogueText = "<root>\n"
                                  "\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
                                  "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                                  "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                  "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "</root>";

std::string readLog()
{
    std::ifstream in("log.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ConversionLogWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    void SetUp() override
    {
        m_resources = ResourceModule::load("TessaryRes.dll");
        ASSERT_NE(m_resources, nullptr) << "the test runs next to the built resource module";
    }

    void open(const std::string& log)
    {
        std::ofstream("Meridal.xml", std::ios::binary) << catalogueText;
        std::ofstream("log.txt", std::ios::binary) << log;
        m_host = std::make_unique<QtDialogHost>(*m_resources, res::dialogConverter);
        ASSERT_NE(m_host->window(), nullptr);
        m_host->setMessageBoxes(m_messages);
        m_dialog = std::make_unique<CConverterDlg>(*m_resources, *m_host);
        ASSERT_TRUE(m_host->open(*m_dialog));
        m_host->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_host->window()));
    }

    QListWidget& logList() { return *qobject_cast<QListWidget*>(m_host->control(res::idLogList)); }
    QPushButton& button(int id) { return *qobject_cast<QPushButton*>(m_host->control(id)); }
    QString text(int id)
    {
        QWidget* control = m_host->control(id);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            return edit->text();
        return qobject_cast<QLabel*>(control)->text();
    }
    QPoint centreOf(int row) { return logList().visualItemRect(logList().item(row)).center(); }

    test::TemporaryWorkingFolder m_folder;
    std::unique_ptr<Resources> m_resources;
    test::RecordedMessages m_messages;
    std::unique_ptr<QtDialogHost> m_host;
    std::unique_ptr<CConverterDlg> m_dialog;
};

TEST_F(ConversionLogWindowTest, buttonsDoubleClickAndCopyCommandReachTheLog)
{
    open("1 ft  =  12.000000 in\r\n5 %s  =  x \xB0\r\n");
    ASSERT_EQ(logList().count(), 2);

    QTest::mouseClick(&button(res::idAddLogButton), Qt::LeftButton);
    ASSERT_EQ(logList().count(), 3);
    EXPECT_EQ(logList().item(0)->text(), "12 in  =  1.000000 ft");

    // A double click puts an entry back into the converter.
    QTest::mouseClick(logList().viewport(), Qt::LeftButton, {}, centreOf(1));
    QTest::mouseDClick(logList().viewport(), Qt::LeftButton, {}, centreOf(1));
    EXPECT_EQ(text(res::idInput), "1");
    EXPECT_EQ(text(res::idOutput), "12.000000");
    EXPECT_EQ(text(res::idStartCaption), "ft");
    EXPECT_EQ(text(res::idEndCaption), "in");

    // So does the restore button, for the entry just added.
    QTest::mouseClick(logList().viewport(), Qt::LeftButton, {}, centreOf(0));
    QTest::mouseClick(&button(res::idRestoreLogButton), Qt::LeftButton);
    EXPECT_EQ(text(res::idInput), "12");
    EXPECT_EQ(text(res::idStartCaption), "in");

    // The menu bar's copy command: the entry as it stands, "%" and the degree sign included.
    QTest::mouseClick(logList().viewport(), Qt::LeftButton, {}, centreOf(2));
    QAction* copy = m_host->menuAction(res::cmdCopyLogEntry);
    ASSERT_NE(copy, nullptr);
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("5 %s  =  x \u00B0"));

    QTest::mouseClick(&button(res::idDeleteLogButton), Qt::LeftButton);
    EXPECT_EQ(logList().count(), 2);
    EXPECT_TRUE(m_messages.messages.empty());

    m_host->close();
    EXPECT_EQ(readLog(), "12 in  =  1.000000 ft\r\n1 ft  =  12.000000 in\r\n");
}

TEST_F(ConversionLogWindowTest, keyboardAloneSelectsAndPressesTheButtons)
{
    open("a\r\n1 ft  =  12.000000 in\r\nc\r\n");
    logList().setFocus(Qt::TabFocusReason);
    QTest::keyClick(&logList(), Qt::Key_Home);
    QTest::keyClick(&logList(), Qt::Key_Down);
    ASSERT_EQ(logList().currentRow(), 1);
    ASSERT_TRUE(logList().item(1)->isSelected());

    // Enter puts the selected entry back, as a double click does.
    QTest::keyClick(&logList(), Qt::Key_Return);
    EXPECT_EQ(text(res::idInput), "1");
    EXPECT_EQ(text(res::idStartCaption), "ft");
    EXPECT_EQ(QApplication::focusWidget(), &logList());

    // Tab leads from the list through add and restore to delete; Space presses it.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &button(res::idDeleteLogButton));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_EQ(logList().count(), 2);
    EXPECT_EQ(logList().item(1)->text(), "c");

    // Delete in the list deletes its selected entry.
    logList().setFocus(Qt::TabFocusReason);
    QTest::keyClick(&logList(), Qt::Key_Home);
    QTest::keyClick(&logList(), Qt::Key_Delete);
    ASSERT_EQ(logList().count(), 1);
    EXPECT_EQ(logList().item(0)->text(), "c");

    for (int i = 0; i < 4; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &button(res::idClearLogButton));
    m_messages.answers.push_back(platform::MessageResult::Yes);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(logList().count(), 0);
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0].buttons, platform::MessageButtons::YesNo);
}

TEST_F(ConversionLogWindowTest, windowStartsWithAThousandEntries)
{
    std::string log;
    for (int i = 0; i < 1000; ++i)
        log += std::to_string(i) + " in  =  " + std::to_string(i) + " ft\r\n";
    open(log);
    ASSERT_EQ(logList().count(), 1000);
    EXPECT_EQ(logList().item(0)->text(), "0 in  =  0 ft");
    EXPECT_EQ(logList().item(999)->text(), "999 in  =  999 ft");
    EXPECT_TRUE(m_messages.messages.empty());
}

} // namespace
} // namespace meridal
