// SPDX-License-Identifier: GPL-3.0-or-later
// Catalogue editing as the user meets it: the real edit dialog built from the resource
// module, opened from the menu bar, typed into, and the saved catalogue file read back.
#include "tests/gui/real_window.h"

#include "catalogue/label_table.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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

const char* const catalogueText = "<root>\n"
                                  "\t<config dim=\"Length\" su=\"in\" eu=\"ft\" sv=12/>\n"
                                  "\t<dimension label=\"Length\" baseunit=\"m\">\n"
                                  "\t\t<unit label=\"m\" cf=1 offset=0/>\n"
                                  "\t\t<unit label=\"in\" cf=0.0254 offset=0/>\n"
                                  "\t\t<unit label=\"ft\" cf=0.3048 offset=0/>\n"
                                  "\t\t<unit label=\"yd\" cf=0.9144 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "\t<dimension label=\"Time\" baseunit=\"s\">\n"
                                  "\t\t<unit label=\"s\" cf=1 offset=0/>\n"
                                  "\t</dimension>\n"
                                  "</root>";

std::map<int, QWidget*> controlsOf(QWidget& window)
{
    std::map<int, QWidget*> controls;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        bool ok = false;
        const int id = child->property("controlId").toInt(&ok);
        if (ok && id >= 0)
            controls[id] = child;
    }
    return controls;
}

class CatalogueEditingGuiTest : public test::RealWindowTest {
  protected:
    void SetUp() override
    {
        RealWindowTest::SetUp();
        // Left inactive: the edit dialogs take the focus of their own.
        openWindow(catalogueText, nullptr, false);
    }

    // Runs menu command `command`; when the edit dialog comes up, `user` acts in it (the
    // dialog's controls by identifier) and presses Enter.
    void editThroughMenu(int command, std::function<void(QDialog&, std::map<int, QWidget*>&)> user)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            std::map<int, QWidget*> controls = controlsOf(*dialog);
            user(*dialog, controls);
            // Enter in the first field that takes typing presses OK.
            for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
                if (!field->isReadOnly()) {
                    QTest::keyClick(field, Qt::Key_Return);
                    break;
                }
            }
            m_stayedOpen = dialog->isVisible();
            if (dialog->isVisible()) // refused: give up
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QAction* action = m_host->menuAction(command);
        ASSERT_NE(action, nullptr) << command;
        action->trigger();
        EXPECT_TRUE(seen);
    }

    static QLineEdit& edit(std::map<int, QWidget*>& controls, int id)
    {
        auto* field = qobject_cast<QLineEdit*>(controls[id]);
        if (!field)
            throw std::runtime_error("no edit field " + std::to_string(id));
        return *field;
    }
    static void retype(QLineEdit& field, const QString& text)
    {
        field.selectAll();
        QTest::keyClicks(&field, text);
    }

    bool m_stayedOpen = false; // the last dialog was still open after Enter
};

TEST_F(CatalogueEditingGuiTest, editsReachTheSavedFile)
{
    // A new dimension: only the dimension and base unit fields take typing, the unit field
    // follows the base unit.
    editThroughMenu(res::cmdAddDimension2, [](QDialog& dialog, std::map<int, QWidget*>& controls) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Dimension"));
        EXPECT_FALSE(dialog.windowIcon().isNull());
        EXPECT_TRUE(edit(controls, res::idEditUnit).isReadOnly());
        EXPECT_TRUE(edit(controls, res::idEditFactor).isReadOnly());
        EXPECT_EQ(edit(controls, res::idEditFactor).text(), QStringLiteral("1"));
        ASSERT_NE(controls[res::idEditNote], nullptr);
        EXPECT_EQ(controls[res::idEditNote]->font().pointSize(), 10);
        // Tab visits the fields in reading order, then OK and Cancel.
        std::vector<int> visited;
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        edit(controls, res::idEditDimension).setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 7; ++i) {
            QWidget* focused = QApplication::focusWidget();
            visited.push_back(focused ? focused->property("controlId").toInt() : -1);
            QTest::keyClick(focused ? focused : &dialog, Qt::Key_Tab);
        }
        EXPECT_EQ(visited, (std::vector<int>{1021, 1022, 1024, 1023, 1025, 1, 2}));
        for (const auto& [id, control] : controls) {
            if (qobject_cast<QLineEdit*>(control)) {
                EXPECT_FALSE(control->accessibleName().isEmpty()) << id;
            }
        }
        QTest::keyClicks(&edit(controls, res::idEditDimension), QStringLiteral("Speed"));
        QTest::keyClicks(&edit(controls, res::idEditBaseUnit), QStringLiteral("m/s"));
        EXPECT_EQ(edit(controls, res::idEditUnit).text(), QStringLiteral("m/s"));
    });
    EXPECT_TRUE(m_messages.messages.empty());

    // Change "in" of Length: a new label and a factor with an exponent; letters are dropped
    // as they are typed.
    auto* dimensions = m_host->list(res::idDimensionList);
    ASSERT_GE(dimensions->selectPrefix("Length"), 1);
    m_dialog->onDimensionChanged();
    auto* startUnits = qobject_cast<QListWidget*>(m_host->control(res::idStartUnitList));
    ASSERT_NE(startUnits, nullptr);
    startUnits->setCurrentItem(startUnits->findItems(QStringLiteral("in"), Qt::MatchExactly).value(0));
    editThroughMenu(res::cmdChangeUnit2, [](QDialog& dialog, std::map<int, QWidget*>& controls) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Change Unit"));
        EXPECT_TRUE(edit(controls, res::idEditDimension).isReadOnly());
        retype(edit(controls, res::idEditUnit), QStringLiteral("inch"));
        retype(edit(controls, res::idEditFactor), QStringLiteral("2.54x e-2"));
        EXPECT_EQ(edit(controls, res::idEditFactor).text(), QStringLiteral("2.54e-2"));
    });

    // Delete "ft", confirmed.
    startUnits->setCurrentItem(startUnits->findItems(QStringLiteral("ft"), Qt::MatchExactly).value(0));
    m_messages.answers = {platform::MessageResult::Yes};
    m_host->menuAction(res::cmdDeleteUnit2)->trigger();
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0].defaultButton, platform::DefaultButton::Second);

    m_host->close();
    std::ifstream in("Meridal.xml", std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    // The dimensions in table order, the new one among them; Length's units in their order,
    // the changed one in its place, the deleted one gone.
    LabelTable<int> order;
    for (const char* label : {"Length", "Time", "Speed"})
        order.set(label, 0);
    std::string expected;
    order.forEach([&expected](const std::string& label, int) {
        if (label == "Length")
            expected += "\t<dimension label=\"Length\" baseunit=\"m\">\r\n"
                        "\t\t<unit label=\"m\" cf=1 offset=0/>\r\n"
                        "\t\t<unit label=\"inch\" cf=2.54e-2 offset=0/>\r\n"
                        "\t\t<unit label=\"yd\" cf=0.9144 offset=0/>\r\n"
                        "\t</dimension>\r\n";
        else if (label == "Time")
            expected += "\t<dimension label=\"Time\" baseunit=\"s\">\r\n"
                        "\t\t<unit label=\"s\" cf=1 offset=0/>\r\n"
                        "\t</dimension>\r\n";
        else
            expected += "\t<dimension label=\"Speed\" baseunit=\"m/s\">\r\n"
                        "\t\t<unit label=\"m/s\" cf=1 offset=0/>\r\n"
                        "\t</dimension>\r\n";
    });
    EXPECT_NE(saved.find(expected), std::string::npos) << saved;
}

// The dialog opens with the keyboard focus in the first field that the user can type in, in
// every mode, and never in a read-only field before it.
TEST_F(CatalogueEditingGuiTest, theFocusStartsInTheFirstFieldThatTakesTyping)
{
    const struct {
        int command;
        int field;
    } cases[] = {
        {res::cmdAddDimension2, res::idEditDimension},
        {res::cmdAddUnit2, res::idEditUnit},
        {res::cmdRelabelDimension2, res::idEditDimension},
        {res::cmdChangeUnit2, res::idEditUnit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        editThroughMenu(c.command, [&c](QDialog& dialog, std::map<int, QWidget*>& controls) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
            QWidget* focused = QApplication::focusWidget();
            ASSERT_NE(focused, nullptr);
            EXPECT_EQ(focused->property("controlId").toInt(), c.field);
            EXPECT_FALSE(edit(controls, c.field).isReadOnly());
        });
    }
}

TEST_F(CatalogueEditingGuiTest, refusedInputKeepsTheDialogOpen)
{
    // A pasted check mark cannot be kept in the file. (Which labels are refused is the
    // controller's, tested on the substitute controls.)
    editThroughMenu(res::cmdAddUnit2, [](QDialog&, std::map<int, QWidget*>& controls) {
        edit(controls, res::idEditUnit).insert(QStringLiteral("ft\u2713")); // as a paste
        QTest::keyClicks(&edit(controls, res::idEditFactor), QStringLiteral("0.3"));
    });
    EXPECT_TRUE(m_stayedOpen);
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_NE(m_messages.messages[0].text.find("U+2713"), std::string::npos);
    EXPECT_EQ(m_messages.messages[0].caption, m_module->string(res::strErrorCaption));
    EXPECT_EQ(m_dialog->catalogue().unitCount(), 5u);
}

} // namespace
} // namespace meridal
