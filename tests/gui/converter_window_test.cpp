// SPDX-License-Identifier: GPL-3.0-or-later
// The converter window as the user meets it: the real Qt widgets built from the real
// resource module, driven by simulated keys and clicks.
#include "tests/gui/real_window.h"

#include "platform/controls.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace meridal {
namespace {

using platform::qt::QtDialogHost;

class ConverterWindowTest : public test::RealWindowTest {
  protected:
    void open() { openWindow(); }

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

// A list box keeps its selection whatever the user clicks or types: a click below the
// entries, Ctrl+click on the selected entry and Ctrl+Space change nothing, and the window
// goes on converting between the units it shows selected.
TEST_F(ConverterWindowTest, aListBoxNeverLosesItsSelectionToTheUser)
{
    const struct {
        const char* way;
        std::function<void(QListWidget&, QListWidgetItem&)> act;
    } ways[] = {
        {"a click below the entries",
         [](QListWidget& list, QListWidgetItem&) {
             const QPoint below(5, list.visualItemRect(list.item(list.count() - 1)).bottom() + 8);
             ASSERT_TRUE(list.viewport()->rect().contains(below));
             ASSERT_EQ(list.itemAt(below), nullptr);
             QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, below);
         }},
        {"Ctrl+click on the selected entry",
         [](QListWidget& list, QListWidgetItem& selected) {
             QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                               list.visualItemRect(&selected).center());
         }},
        {"Ctrl+Space",
         [](QListWidget& list, QListWidgetItem&) {
             list.setFocus(Qt::TabFocusReason);
             QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier);
         }},
    };
    test::writeFileBytes("log.txt", "1 ft  =  12.000000 in\r\n");
    for (const int id : {res::idStartUnitList, res::idEndUnitList, res::idLogList}) {
        for (const auto& [way, act] : ways) {
            SCOPED_TRACE(std::to_string(id) + ", " + way);
            open();
            auto& list = widget<QListWidget>(id);
            if (id == res::idLogList)
                QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                                  list.visualItemRect(list.item(0)).center());
            const int selected = m_host->list(id)->selectedIndex();
            ASSERT_GE(selected, 0);
            act(list, *list.item(selected));
            EXPECT_EQ(m_host->list(id)->selectedIndex(), selected);
            EXPECT_EQ(list.selectedItems(), QList<QListWidgetItem*>{list.item(selected)});
            typeValue("24");
            EXPECT_EQ(output(), "2.000000");
        }
    }

    // The program still clears a list's selection.
    m_host->list(res::idEndUnitList)->selectIndex(-1);
    EXPECT_EQ(m_host->list(res::idEndUnitList)->selectedIndex(), -1);
    EXPECT_TRUE(widget<QListWidget>(res::idEndUnitList).selectedItems().isEmpty());
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
        EXPECT_NE(test::readFileBytes("Meridal.xml").find("sv=" + std::to_string(value) + "/>\r\n"),
                  std::string::npos);
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

// Alt and a letter reaches one thing only: no two labels, buttons or menu titles of the window
// underline the same letter.
TEST_F(ConverterWindowTest, noTwoLabelsButtonsOrMenusShareAMnemonicLetter)
{
    open();
    QStringList texts;
    for (const QLabel* label : m_host->window()->findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : m_host->window()->findChildren<QAbstractButton*>())
        texts << button->text();
    const auto* menuBar = m_host->window()->findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    ASSERT_FALSE(menuBar->actions().isEmpty());
    for (const QAction* menu : menuBar->actions())
        texts << menu->text();

    std::map<QKeySequence, QString> owners;
    for (const QString& text : texts) {
        const QKeySequence letter = QKeySequence::mnemonic(text);
        if (letter.isEmpty())
            continue;
        const auto [owner, first] = owners.emplace(letter, text);
        EXPECT_TRUE(first) << letter.toString().toStdString() << " belongs to both \""
                           << owner->second.toStdString() << "\" and \"" << text.toStdString() << "\"";
    }
    EXPECT_GE(owners.size(), 12u); // the six labels and buttons with a letter, the six menus
}

// The share of the pixels along the edge of two pictures of one control, two pixels deep,
// that differ between them.
double edgeChange(const QImage& before, const QImage& after)
{
    int edge = 0;
    int changed = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (x >= 2 && y >= 2 && x < before.width() - 2 && y < before.height() - 2)
                continue;
            ++edge;
            changed += before.pixel(x, y) != after.pixel(x, y);
        }
    }
    return edge == 0 ? 0.0 : double(changed) / edge;
}

// A person moving with Tab sees where the focus is: the edge of every control that takes it
// changes, for most of its length, once the Tab key has brought the focus there.
TEST_F(ConverterWindowTest, everyControlThatTakesTheFocusShowsIt)
{
    test::writeFileBytes("log.txt", "1 ft  =  12.000000 in\r\n");
    open();
    widget<QPushButton>(res::idNextTip).setFocus(Qt::TabFocusReason);
    for (const int id : {res::idDimensionList, res::idStartUnitList, res::idEndUnitList, res::idInput,
                         res::idOutput, res::idLogList, res::idAddLogButton, res::idRestoreLogButton,
                         res::idDeleteLogButton, res::idClearLogButton, res::idNextTip}) {
        SCOPED_TRACE(id);
        QWidget* control = m_host->control(id);
        ASSERT_NE(control, nullptr);
        ASSERT_FALSE(control->hasFocus());
        const QImage without = control->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(control->hasFocus());
        const QImage with = control->grab().toImage();
        ASSERT_EQ(with.size(), without.size());
        EXPECT_GE(edgeChange(without, with), 0.5);
    }
}

} // namespace
} // namespace meridal
