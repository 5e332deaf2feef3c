// The converter window as its layout builds it: the lists it sorts, and the input field's
// positions, which the program counts in characters and Qt in UTF-16 units.
#include "tests/gui/gui_support.h"

#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QComboBox>
#include <QDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>

namespace meridal {
namespace {

using platform::qt::QtDialogHost;
using platform::qt::QtEditField;

// A character outside the Basic Multilingual Plane: one character, two UTF-16 units.
const QString astral = QString::fromUcs4(U"\U0001F600", 1);

class ConverterWindowLayoutTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    void SetUp() override
    {
        m_resources = ResourceModule::load("TessaryRes.dll");
        ASSERT_NE(m_resources, nullptr) << "the test runs next to the built resource module";
        std::ofstream("Meridal.xml", std::ios::binary)
            << "<root>\n\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
               "\t<dimension label=\"Length\" baseunit=\"m\">\n"
               "\t\t<unit label=\"m\" cf=1 offset=0/>\n\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
               "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n\t</dimension>\n"
               "\t<dimension label=\"Area\" baseunit=\"m2\">\n\t\t<unit label=\"m2\" cf=1 offset=0/>\n"
               "\t</dimension>\n</root>";
        m_host = std::make_unique<QtDialogHost>(*m_resources, res::dialogConverter);
        ASSERT_NE(m_host->window(), nullptr);
        m_host->setMessageBoxes(m_messages);
        m_dialog = std::make_unique<CConverterDlg>(*m_resources, *m_host);
        ASSERT_TRUE(m_host->open(*m_dialog));
        m_host->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_host->window()));
    }

    QLineEdit& input() { return *qobject_cast<QLineEdit*>(m_host->control(res::idInput)); }

    test::TemporaryWorkingFolder m_folder;
    std::unique_ptr<Resources> m_resources;
    test::RecordedMessages m_messages;
    std::unique_ptr<QtDialogHost> m_host;
    std::unique_ptr<CConverterDlg> m_dialog;
};

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
