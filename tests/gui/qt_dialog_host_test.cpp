#include "tests/gui/gui_support.h"
#include "tests/support/fake_resources.h"

#include "platform/controls.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"

#include <QAction>
#include <QBuffer>
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
#include <QTimer>

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace meridal {
namespace {

using platform::Notification;
using platform::qt::QtDialogHost;

constexpr int idCombo = 10;
constexpr int idList = 11;
constexpr int idEdit = 12;
constexpr int idReadOnly = 13;
constexpr int idLabel = 14;
constexpr int idPicture = 15;
constexpr int idButton = 16;
constexpr unsigned testLayout = 300;
constexpr unsigned testMenu = 301;
constexpr unsigned testIcon = 302;
constexpr unsigned testBitmap = 303;

// A picture as the resource module holds it: a BMP file with its header, or a PNG image.
std::string encodedPicture(const char* format, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

// A small window with one control of every kind the host knows.
const char* const layoutXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><class>TestDialog</class>
 <widget class="QDialog" name="TestDialog">
  <property name="windowTitle"><string>Test</string></property>
  <property name="menuResource" stdset="0"><number>301</number></property>
  <property name="iconResource" stdset="0"><number>302</number></property>
  <layout class="QVBoxLayout" name="layout">
   <item><widget class="QComboBox" name="combo"><property name="controlId" stdset="0"><number>10</number></property></widget></item>
   <item><widget class="QListWidget" name="list"><property name="controlId" stdset="0"><number>11</number></property></widget></item>
   <item><widget class="QLineEdit" name="edit"><property name="controlId" stdset="0"><number>12</number></property></widget></item>
   <item><widget class="QLineEdit" name="readOnly"><property name="controlId" stdset="0"><number>13</number></property>
     <property name="readOnly"><bool>true</bool></property></widget></item>
   <item><widget class="QLabel" name="label"><property name="controlId" stdset="0"><number>14</number></property></widget></item>
   <item><widget class="QLabel" name="picture"><property name="controlId" stdset="0"><number>15</number></property>
     <property name="notify" stdset="0"><bool>true</bool></property>
     <property name="bitmapResource" stdset="0"><number>303</number></property>
     <property name="minimumSize"><size><width>40</width><height>20</height></size></property></widget></item>
   <item><widget class="QPushButton" name="button"><property name="controlId" stdset="0"><number>16</number></property>
     <property name="text"><string>Button</string></property>
     <property name="bitmapResource" stdset="0"><number>304</number></property></widget></item>
  </layout>
 </widget>
</ui>)";

const char* const menuText = "POPUP\t&File\n"
                             "ITEM\t139\tE&xit\tCtrl+Q\t\n"
                             "END\n"
                             "POPUP\t&View\n"
                             "ITEM\t180\t&Scientific\t\tcheckable\n"
                             "SEPARATOR\n"
                             "POPUP\t&More\n"
                             "ITEM\t155\t&About\t\t\n"
                             "END\n"
                             "END\n";

// Records what the window tells it; ends the window on the close message, as the program does.
class RecordingController final : public platform::DialogController {
  public:
    explicit RecordingController(QtDialogHost& host) : m_host(host) {}

    bool onInitDialog() override { return init ? init(m_host) : true; }
    void onNotify(int controlId, Notification notification) override
    {
        notifications.emplace_back(controlId, notification);
        if (onNotification)
            onNotification(controlId, notification);
    }
    void onCommand(int commandId) override { commands.push_back(commandId); }
    void onClose() override
    {
        ++closes;
        if (endOnClose)
            m_host.endDialog(7);
    }
    long count(int id, Notification notification) const
    {
        return std::count(notifications.begin(), notifications.end(), std::make_pair(id, notification));
    }

    std::function<bool(QtDialogHost&)> init;
    std::function<void(int, Notification)> onNotification;
    std::vector<std::pair<int, Notification>> notifications;
    std::vector<int> commands;
    int closes = 0;
    bool endOnClose = true;

  private:
    QtDialogHost& m_host;
};

class QtDialogHostTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    static test::FakeResources makeResources()
    {
        test::FakeResources resources;
        resources.set(res::typeDialog, testLayout, layoutXml);
        resources.set(res::typeMenu, testMenu, menuText);
        resources.set(res::typeIcon, testIcon, encodedPicture("PNG", {32, 32}, Qt::blue));
        resources.set(res::typeBitmap, testBitmap, encodedPicture("BMP", {24, 12}, Qt::red));
        return resources;
    }

    // Opens the window with the controller and makes it the active window.
    void open()
    {
        ASSERT_TRUE(m_host.open(m_controller));
        m_host.window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_host.window()));
        m_controller.notifications.clear();
    }

    template <typename W> W& widget(int id)
    {
        auto* w = qobject_cast<W*>(m_host.control(id));
        EXPECT_NE(w, nullptr);
        return *w;
    }

    void fillList(platform::ListControl& list, std::initializer_list<const char*> entries)
    {
        list.reset();
        for (const char* entry : entries)
            list.addEntry(entry);
    }

    test::FakeResources m_resources = makeResources();
    QtDialogHost m_host{m_resources, testLayout};
    RecordingController m_controller{m_host};
};

TEST_F(QtDialogHostTest, findsControlsByIdentifierAndKind)
{
    EXPECT_TRUE(m_host.list(idCombo) && m_host.list(idList) && m_host.edit(idEdit) &&
                m_host.edit(idReadOnly) && m_host.text(idLabel));
    // A control the layout lacks, or one of another kind, is not there.
    EXPECT_FALSE(m_host.list(999) || m_host.edit(idCombo) || m_host.text(idEdit) || m_host.list(idButton));
}

TEST_F(QtDialogHostTest, picturesNamedByTheLayoutAreShownAndMissingOnesLeftOut)
{
    const QPixmap picture = widget<QLabel>(idPicture).pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(24, 12));
    EXPECT_EQ(picture.toImage().pixelColor(3, 3), QColor(Qt::red));
    EXPECT_FALSE(m_host.window()->windowIcon().isNull());
    // Bitmap 304 is not in the module: the button keeps its text and shows no picture.
    EXPECT_TRUE(widget<QPushButton>(idButton).icon().isNull());
}

TEST_F(QtDialogHostTest, aSelectionMadeWhileHiddenIsInViewOnceShown)
{
    auto& list = *m_host.list(idList);
    list.reset();
    for (int i = 0; i < 300; ++i)
        list.addEntry("entry " + std::to_string(i));
    list.selectIndex(250);
    open();
    auto& listWidget = widget<QListWidget>(idList);
    EXPECT_TRUE(listWidget.viewport()->rect().contains(listWidget.visualItemRect(listWidget.item(250))));
}

TEST_F(QtDialogHostTest, missingLayoutGivesNoWindowAndEndsAtOnce)
{
    QtDialogHost missing(m_resources, 999);
    RecordingController controller(missing);
    EXPECT_EQ(missing.window(), nullptr);
    EXPECT_EQ(missing.exec(controller), -1);
    EXPECT_EQ(controller.closes, 0);
}

TEST_F(QtDialogHostTest, endingTheDialogDuringInitialisationNeverShowsTheWindow)
{
    bool shownDuringInit = true;
    m_controller.init = [&](QtDialogHost& host) {
        shownDuringInit = host.window()->isVisible();
        host.endDialog(-1);
        return false;
    };
    // Would block in the modal loop if the window were shown.
    EXPECT_EQ(m_host.exec(m_controller), -1);
    EXPECT_FALSE(shownDuringInit);
    EXPECT_FALSE(m_host.window()->isVisible());
}

TEST_F(QtDialogHostTest, modalRunEndsWithTheResultOfEndDialog)
{
    m_controller.init = [](QtDialogHost& host) {
        QTimer::singleShot(0, host.window(), [&host] { host.close(); });
        return true;
    };
    EXPECT_EQ(m_host.exec(m_controller), 7);
    EXPECT_EQ(m_controller.closes, 1);
}

TEST_F(QtDialogHostTest, programSelectionsSendNoNotificationButTheUsersDo)
{
    open();
    auto& combo = *m_host.list(idCombo);
    auto& list = *m_host.list(idList);
    fillList(combo, {"alpha", "beta", "gamma"});
    fillList(list, {"one", "two", "three"});
    combo.selectIndex(1);
    list.selectIndex(2);
    EXPECT_EQ(combo.selectPrefix("g"), 2);
    EXPECT_EQ(list.selectPrefix("o"), 0);
    list.removeEntry(0);
    EXPECT_EQ(list.selectedIndex(), -1); // the selected entry went, and the selection with it
    list.insertEntry(0, "zero");
    EXPECT_TRUE(m_controller.notifications.empty());

    // The user: a click and the arrow keys in the list, the keyboard on the drop-down list.
    auto& listWidget = widget<QListWidget>(idList);
    listWidget.setFocus();
    const QRect second = listWidget.visualItemRect(listWidget.item(1));
    QTest::mouseClick(listWidget.viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(m_controller.count(idList, Notification::SelectionChanged), 1);
    QTest::keyClick(&listWidget, Qt::Key_Down);
    EXPECT_EQ(list.selectedIndex(), 2);
    EXPECT_EQ(m_controller.count(idList, Notification::SelectionChanged), 2);
    QTest::mouseDClick(listWidget.viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(m_controller.count(idList, Notification::DoubleClicked), 1);

    auto& comboBox = widget<QComboBox>(idCombo);
    comboBox.setFocus();
    QTest::keyClick(&comboBox, Qt::Key_Up);
    EXPECT_EQ(combo.selectedIndex(), 1);
    EXPECT_EQ(m_controller.count(idCombo, Notification::SelectionChanged), 1);
}

TEST_F(QtDialogHostTest, selectPrefixTakesTheFirstEntryFromTheTopIgnoringCase)
{
    struct Case {
        const char* prefix;
        int expected; // -1: nothing matches
        int selected; // the selection afterwards
    };
    // "\xE9" is e acute and "\xC9" E acute in Windows-1252; "\xB0" the degree sign.
    const Case cases[] = {
        {"m", 0, 0},                   // mm comes before m
        {"M", 0, 0},                   // case is ignored
        {"", 0, 0},                    // an empty text matches the first entry
        {"\xC9t", 2, 2},               // folding reaches beyond ASCII
        {"\xB0", 3, 3},  {"x", -1, 1}, // no match: the selection stays
        {"mmm", -1, 1},
    };
    for (int id : {idCombo, idList}) {
        auto& list = *m_host.list(id);
        fillList(list, {"mm", "m", "\xE9t\xE9",
                        "\xB0"
                        "C"});
        for (const Case& c : cases) {
            list.selectIndex(1);
            EXPECT_EQ(list.selectPrefix(c.prefix), c.expected) << id << " '" << c.prefix << "'";
            EXPECT_EQ(list.selectedIndex(), c.selected) << id << " '" << c.prefix << "'";
        }
        // Entries come back exactly as the program gave them, and show as Unicode.
        EXPECT_EQ(list.entryText(3), "\xB0"
                                     "C");
        EXPECT_EQ(list.entryText(7), "");
    }
    EXPECT_EQ(widget<QComboBox>(idCombo).itemText(2), QString::fromUtf8("été"));
    EXPECT_EQ(widget<QListWidget>(idList).item(3)->text(), QString::fromUtf8("°C"));
}

// Lists filled inside a handler: the program reads back its own state at once, a message box
// shown in between shows the lists as they are, and the selection survives into the widget.
TEST_F(QtDialogHostTest, listsFilledByAHandlerReadBackAndShowUpToDate)
{
    open();
    auto& list = *m_host.list(idList);
    auto& listWidget = widget<QListWidget>(idList);
    struct CountingMessages final : platform::MessageBoxes {
        QListWidget* list = nullptr;
        int shownCount = -1;
        platform::MessageResult show(const std::string&, const std::string&, platform::MessageIcon,
                                     platform::MessageButtons) override
        {
            shownCount = list->count();
            return platform::MessageResult::Ok;
        }
    } messages;
    messages.list = &listWidget;
    m_host.setMessageBoxes(messages);

    m_controller.onNotification = [&](int id, Notification) {
        if (id != idButton)
            return;
        fillList(list, {"a", "b", "c"});
        EXPECT_EQ(list.selectPrefix("B"), 1);
        EXPECT_EQ(list.entryCount(), 3);
        EXPECT_EQ(list.entryText(2), "c");
        m_host.messageBoxes().show("text", "caption", platform::MessageIcon::Information);
        list.addEntry("d");
    };
    QTest::mouseClick(&widget<QPushButton>(idButton), Qt::LeftButton);

    EXPECT_EQ(messages.shownCount, 3);
    EXPECT_EQ(listWidget.count(), 4);
    EXPECT_EQ(listWidget.item(3)->text(), "d");
    EXPECT_EQ(listWidget.currentRow(), 1);
    EXPECT_EQ(m_controller.count(idList, Notification::SelectionChanged), 0);
}

// The input filter rewrites the field from inside its own text-changed notification and puts
// the caret back; Qt must keep both once the user's keystroke has been handled.
TEST_F(QtDialogHostTest, rewritingTheTextInsideItsNotificationKeepsTextAndCaret)
{
    open();
    auto& edit = *m_host.edit(idEdit);
    m_controller.onNotification = [&](int id, Notification n) {
        std::string text = edit.text();
        const auto letter = text.find('x');
        if (id != idEdit || n != Notification::TextChanged || letter == std::string::npos)
            return;
        const int caret = edit.selectionStart() - 1;
        edit.setText(text.erase(letter, 1)); // notifies again, with nothing left to remove
        edit.setSelection(caret, caret);
    };
    auto& lineEdit = widget<QLineEdit>(idEdit);
    lineEdit.setFocus();
    QTest::keyClicks(&lineEdit, "123");
    lineEdit.setCursorPosition(2);
    QTest::keyClicks(&lineEdit, "x");
    EXPECT_EQ(lineEdit.text(), "123");
    EXPECT_EQ(lineEdit.cursorPosition(), 2);
    QTest::keyClicks(&lineEdit, "4");
    EXPECT_EQ(lineEdit.text(), "1243");
}

TEST_F(QtDialogHostTest, selectionAndCaretFollowTheEditFieldRules)
{
    auto& edit = *m_host.edit(idEdit);
    const auto selection = [&edit] { return std::make_pair(edit.selectionStart(), edit.selectionEnd()); };
    edit.setText("123456");
    edit.setSelection(0, -1); // all
    EXPECT_EQ(selection(), std::make_pair(0, 6));
    edit.setSelection(2, 4);
    EXPECT_EQ(selection(), std::make_pair(2, 4));
    edit.clearSelection();
    EXPECT_EQ(edit.selectionStart(), edit.selectionEnd());
    edit.setSelection(9, 9); // beyond the text: the caret goes to its end
    EXPECT_EQ(selection(), std::make_pair(6, 6));
}

// setText notifies before it returns, even when the text stays the same.
TEST_F(QtDialogHostTest, setTextPasteAndCopyNotifyAndCarryTextsExactly)
{
    open();
    auto& edit = *m_host.edit(idEdit);
    auto& output = *m_host.edit(idReadOnly);
    std::vector<std::string> seen;
    m_controller.onNotification = [&](int id, Notification n) {
        if (id == idEdit && n == Notification::TextChanged)
            seen.push_back(edit.text());
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("1,234.5 kg"));
    edit.setText("9");
    edit.setText("9");
    edit.setSelection(0, -1);
    edit.paste();
    EXPECT_EQ(seen, (std::vector<std::string>{"9", "9", "1,234.5 kg"}));

    // Ctrl+V in the field arrives the same way; an en dash comes as its Windows-1252 byte.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\xE2\x80\x93"
                                                            "5"));
    auto& lineEdit = widget<QLineEdit>(idEdit);
    lineEdit.setFocus();
    lineEdit.selectAll();
    QTest::keyClick(&lineEdit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(seen.back(), "\x96"
                           "5");

    output.setText("3.000000");
    output.setSelection(0, -1);
    output.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("3.000000"));
}

TEST_F(QtDialogHostTest, focusButtonsAndClickablePicturesNotify)
{
    open();
    auto& edit = widget<QLineEdit>(idEdit);
    auto& readOnly = widget<QLineEdit>(idReadOnly);
    edit.setFocus(Qt::TabFocusReason);
    readOnly.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(m_controller.count(idEdit, Notification::FocusGained), 1);
    EXPECT_EQ(m_controller.count(idEdit, Notification::FocusLost), 1);
    EXPECT_EQ(m_controller.count(idReadOnly, Notification::FocusGained), 1);

    QTest::mouseClick(&widget<QPushButton>(idButton), Qt::LeftButton);
    EXPECT_EQ(m_controller.count(idButton, Notification::Clicked), 1);
    QTest::mouseClick(&widget<QLabel>(idPicture), Qt::LeftButton);
    EXPECT_EQ(m_controller.count(idPicture, Notification::Clicked), 1);
    // A plain text does not report clicks.
    QTest::mouseClick(&widget<QLabel>(idLabel), Qt::LeftButton);
    EXPECT_EQ(m_controller.count(idLabel, Notification::Clicked), 0);
}

TEST_F(QtDialogHostTest, closeBoxAndEscapeSendTheCloseMessageAndEnterEndsNothing)
{
    m_controller.endOnClose = false;
    open();
    QDialog& window = *m_host.window();
    auto& edit = widget<QLineEdit>(idEdit);
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Enter);
    EXPECT_EQ(m_controller.closes, 0);
    EXPECT_TRUE(window.isVisible());

    // The controller decides: while it does not end the window, the window stays.
    window.close();
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_EQ(m_controller.closes, 2);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(m_host.ended());

    m_controller.endOnClose = true;
    window.close();
    EXPECT_EQ(m_controller.closes, 3);
    EXPECT_TRUE(m_host.ended());
    EXPECT_EQ(m_host.result(), 7);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(QtDialogHostTest, menuBarItemsSendTheirCommandsAndOnlyTheProgramSetsCheckMarks)
{
    open();
    auto* menuBar = m_host.window()->findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    EXPECT_EQ(menuBar->actions().size(), 2);

    QAction* exit = m_host.menuAction(res::cmdExit);
    QAction* scientific = m_host.menuAction(res::cmdToggleNotation);
    QAction* about = m_host.menuAction(res::cmdAbout); // in a nested submenu
    ASSERT_TRUE(exit && scientific && about);
    EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_TRUE(scientific->isCheckable());
    EXPECT_FALSE(scientific->isChecked());

    scientific->trigger();
    about->trigger();
    EXPECT_EQ(m_controller.commands, (std::vector<int>{res::cmdToggleNotation, res::cmdAbout}));
    EXPECT_FALSE(scientific->isChecked());
    m_host.setMenuChecked(res::cmdToggleNotation, true);
    EXPECT_TRUE(scientific->isChecked());
    scientific->trigger();
    EXPECT_TRUE(scientific->isChecked());

    // The shortcut reaches the window's command as well.
    QTest::keyClick(m_host.window(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(m_controller.commands.back(), res::cmdExit);
}

} // namespace
} // namespace meridal
