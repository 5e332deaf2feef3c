// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion log in the real window: its buttons by mouse and keyboard, the double click,
// the copy command through the menu bar to the real clipboard, and a long log at start.
#include "tests/gui/real_window.h"

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

class ConversionLogWindowTest : public test::RealWindowTest {
  protected:
    void open(const std::string& log)
    {
        test::writeFileBytes("log.txt", log);
        openWindow();
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
    EXPECT_EQ(test::readFileBytes("log.txt"), "12 in  =  1.000000 ft\r\n1 ft  =  12.000000 in\r\n");
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
