// SPDX-License-Identifier: GPL-3.0-or-later
// The converter window as its layout builds it: the lists it sorts, and the input field's
// positions, which the program counts in characters and Qt in UTF-16 units.
#include "tests/gui/real_window.h"

#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QComboBox>
#include <QDebug>
#include <QDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace meridal {
namespace {

using platform::qt::QtDialogHost;
using platform::qt::QtEditField;

// A character outside the Basic Multilingual Plane: one character, two UTF-16 units.
const QString astral = QString::fromUcs4(U"\U0001F600", 1);

class ConverterWindowLayoutTest : public test::RealWindowTest {
  protected:
    void SetUp() override
    {
        test::RealWindowTest::SetUp();
        openWindow("<root>\n\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
                   "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                   "\t\t<unit label=\"m\" cf=1 offset=0/>\n\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                   "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n\t</dimension>\n"
                   "\t<dimension label=\"Area\" baseunit=\"m2\">\n\t\t<unit label=\"m2\" cf=1 offset=0/>\n"
                   "\t</dimension>\n</root>");
    }

    QLineEdit& input() { return widget<QLineEdit>(res::idInput); }
};

// The controls a person sees in the window: those that carry a control identifier, and the
// labels that name them.
std::vector<QWidget*> shownControls(QWidget& window)
{
    std::vector<QWidget*> shown;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool counted = control->property("controlId").isValid() || qobject_cast<QLabel*>(control);
        if (counted && control->isVisibleTo(&window))
            shown.push_back(control);
    }
    return shown;
}

QRect placeIn(QWidget& window, const QWidget& control)
{
    return QRect(control.mapTo(&window, QPoint(0, 0)), control.size());
}

// Where two shown controls cover each other, or one goes beyond the window's edge; a frame
// that holds other controls is no control over them.
std::vector<std::string> collisions(QWidget& window)
{
    std::vector<std::string> found;
    const std::vector<QWidget*> shown = shownControls(window);
    auto describe = [&window](const QWidget* control) {
        return control->objectName().toStdString() + " " +
               QDebug::toString(placeIn(window, *control)).toStdString();
    };
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (!window.rect().contains(placeIn(window, *shown[i])))
            found.push_back(describe(shown[i]) + " beyond the window's edge");
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            if (shown[i]->isAncestorOf(shown[j]) || shown[j]->isAncestorOf(shown[i]))
                continue;
            if (placeIn(window, *shown[i]).intersects(placeIn(window, *shown[j])))
                found.push_back(describe(shown[i]) + " over " + describe(shown[j]));
        }
    }
    return found;
}

// The layout marks the three selection lists "sorted": they show their entries in order,
// whatever the catalogue's order, the all-units entry of the dimension list first.
TEST_F(ConverterWindowLayoutTest, theListsTheLayoutSortsShowTheirEntriesSorted)
{
    auto* dimensions = qobject_cast<QComboBox*>(m_host->control(res::idDimensionList));
    ASSERT_NE(dimensions, nullptr);
    ASSERT_EQ(dimensions->count(), 3);
    EXPECT_EQ(dimensions->itemText(1), "Area");
    EXPECT_EQ(dimensions->itemText(2), "Length");
    for (int id : {res::idStartUnitList, res::idEndUnitList}) {
        auto* list = qobject_cast<QListWidget*>(m_host->control(id));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 3) << id;
        EXPECT_EQ(list->item(0)->text() + list->item(1)->text() + list->item(2)->text(), "ftinm") << id;
    }
}

// At its minimum size the window shows every control whole and apart from the others, with
// each of its tips, the longest wrapped over the most lines.
TEST_F(ConverterWindowLayoutTest, atItsMinimumSizeNoControlCoversAnother)
{
    QDialog& window = *m_host->window();
    window.resize(window.minimumSize());
    QApplication::processEvents();
    ASSERT_EQ(window.size(), window.minimumSize());
    ASSERT_EQ(shownControls(window).size(), 22u); // 15 with an identifier, 7 labels
    for (int tip = 0; tip < 6; ++tip) {
        SCOPED_TRACE(widget<QLabel>(res::idTip).text().toStdString());
        EXPECT_EQ(collisions(window), std::vector<std::string>{});
        QTest::mouseClick(&widget<QPushButton>(res::idNextTip), Qt::LeftButton);
        QApplication::processEvents();
    }
}

// A character the input filter drops, typed at 12|3, leaves the caret where it was typed:
// after the 2, whether it came as a key or from an input method, and the next key lands there.
TEST_F(ConverterWindowLayoutTest, aDroppedAstralCharacterLeavesTheCaretWhereItWasTyped)
{
    const std::pair<const char*, std::function<void(QLineEdit&)>> ways[] = {
        {"key",
         [](QLineEdit& edit) {
             QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, astral);
             QApplication::sendEvent(&edit, &press);
         }},
        {"input method",
         [](QLineEdit& edit) {
             QInputMethodEvent commit;
             commit.setCommitString(astral);
             QApplication::sendEvent(&edit, &commit);
         }},
    };
    for (const auto& [way, type] : ways) {
        SCOPED_TRACE(way);
        QLineEdit& edit = input();
        edit.setFocus(Qt::OtherFocusReason);
        edit.setText("123");
        edit.setCursorPosition(2);
        type(edit);
        EXPECT_EQ(edit.text(), "123");
        EXPECT_EQ(edit.cursorPosition(), 2);
        QTest::keyClicks(&edit, "4");
        EXPECT_EQ(edit.text(), "1243");
    }
}

// Positions the program reads and sets count characters on a field whose text holds
// characters outside the Basic Multilingual Plane, which it reads back as "?" each.
TEST(QtEditFieldPositions, countCharactersNotUtf16Units)
{
    test::guiApplication();
    QLineEdit edit;
    QtEditField field(edit, {});
    edit.setText("a" + astral + "b" + astral + "c"); // 5 characters, 7 units
    ASSERT_EQ(field.text(), "a?b?c");

    const struct {
        int start, end;
        QString selected;       // what the field then shows selected
        int readStart, readEnd; // what the program reads back
    } cases[] = {
        {2, 4, "b" + astral, 2, 4}, {1, 2, astral, 1, 2},    {0, -1, edit.text(), 0, 5},
        {3, 9, astral + "c", 3, 5}, {4, 4, QString(), 4, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + "-" + std::to_string(c.end));
        field.setSelection(c.start, c.end);
        EXPECT_EQ(edit.selectedText(), c.selected);
        EXPECT_EQ(field.selectionStart(), c.readStart);
        EXPECT_EQ(field.selectionEnd(), c.readEnd);
    }
    field.setSelection(4, 4);
    EXPECT_EQ(edit.cursorPosition(), 6); // before the "c": six units in
}

} // namespace
} // namespace meridal
