// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/gui_support.h"
#include "tests/support/fake_resources.h"

#include "catalogue/windows1252.h"
#include "platform/controls.h"
#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace meridal {
namespace {

using platform::Notification;
using platform::qt::QtDialogHost;
using enum platform::Notification;
using Notifications = std::vector<std::pair<int, Notification>>;

enum : int { idCombo = 10, idList, idEdit, idReadOnly, idLabel, idPicture, idButton };
constexpr unsigned testLayout = 300;

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

// A small window with one control of every kind the host knows. It names menu 301, icon 302
// and the bitmaps 303 and 304, of which the module holds all but 304.
const char* const layoutXml = R"(<ui version="4.0"><widget class="QDialog" name="TestDialog">
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
    <property name="bitmapResource" stdset="0"><number>303</number></property></widget></item>
  <item><widget class="QPushButton" name="button"><property name="controlId" stdset="0"><number>16</number></property>
    <property name="bitmapResource" stdset="0"><number>304</number></property></widget></item>
 </layout>
</widget></ui>)";

const char* const menuText = "POPUP\t&File\nITEM\t139\tE&xit\tCtrl+Q\t\nEND\n"
                             "POPUP\t&View\nITEM\t180\t&Scientific\t\tcheckable\nSEPARATOR\n"
                             "POPUP\t&More\nITEM\t155\t&About\t\t\nEND\nEND\n";

// The fixture is the window's controller as well: it records what the window tells it and, as
// the program does, ends the window with 7 on the close message unless endOnClose is cleared.
class QtDialogHostTest : public ::testing::Test, public platform::DialogController {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    bool onInitDialog() override { return init ? init() : true; }
    void onNotify(const platform::NotifyMessage& message) override
    {
        notifications.emplace_back(message.controlId, message.code);
        if (onNotification)
            onNotification(message.controlId, message.code);
    }
    void onCommand(int commandId) override
    {
        commands.push_back(commandId);
        if (commandFails)
            commandFails();
    }
    void onClose() override
    {
        ++closes;
        if (endOnClose)
            m_host.endDialog(7);
    }
    auto count(int id, Notification notification) const
    {
        return std::ranges::count(notifications, std::make_pair(id, notification));
    }

    // Opens the window, makes it the active window and forgets what opening it notified.
    void open()
    {
        ASSERT_TRUE(m_host.open(*this));
        m_host.window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_host.window()));
        notifications.clear();
    }

    template <typename W> W& widget(int id)
    {
        auto* w = qobject_cast<W*>(m_host.control(id));
        EXPECT_NE(w, nullptr);
        return *w;
    }

    static void fillList(platform::ListControl& list, std::initializer_list<const char*> entries)
    {
        list.reset();
        for (const char* entry : entries)
            list.addEntry(entry);
    }

    std::function<bool()> init;
    std::function<void()> commandFails;
    std::function<void(int, Notification)> onNotification;
    Notifications notifications;
    std::vector<int> commands;
    int closes = 0;
    bool endOnClose = true;

    test::FakeResources m_resources =
        test::FakeResources()
            .set(res::typeDialog, testLayout, layoutXml)
            .set(res::typeMenu, 301, menuText)
            .set(res::typeIcon, 302, encodedPicture("PNG", {32, 32}, Qt::blue))
            .set(res::typeBitmap, 303, encodedPicture("BMP", {24, 12}, Qt::red));
    QtDialogHost m_host{m_resources, testLayout};
};

TEST_F(QtDialogHostTest, findsControlsByKindAndShowsThePicturesTheModuleHolds)
{
    EXPECT_TRUE(m_host.list(idCombo) && m_host.list(idList) && m_host.edit(idReadOnly) &&
                m_host.text(idLabel));
    // A control the layout lacks, or one of another kind, is not there.
    EXPECT_FALSE(m_host.list(999) || m_host.edit(idCombo) || m_host.text(idEdit) || m_host.list(idButton));

    const QImage picture = widget<QLabel>(idPicture).pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(24, 12));
    EXPECT_EQ(picture.pixelColor(3, 3), QColor(Qt::red));
    EXPECT_FALSE(m_host.window()->windowIcon().isNull());
    EXPECT_TRUE(widget<QPushButton>(idButton).icon().isNull()); // bitmap 304 is missing
}

TEST_F(QtDialogHostTest, modalRunShowsTheWindowOnlyWhenInitialisationLetsItAndEndsWithEndDialog)
{
    QtDialogHost missing(m_resources, 999);
    EXPECT_EQ(missing.window(), nullptr);
    EXPECT_EQ(missing.exec(*this), -1);

    init = [&] {
        EXPECT_FALSE(m_host.window()->isVisible());
        m_host.endDialog(-1);
        return false;
    };
    EXPECT_EQ(m_host.exec(*this), -1); // would block in the modal loop had it shown the window
    EXPECT_FALSE(m_host.window()->isVisible());

    init = [&] {
        QTimer::singleShot(0, m_host.window(), [this] { m_host.close(); });
        return true;
    };
    EXPECT_EQ(m_host.exec(*this), 7);
    EXPECT_EQ(closes, 1);
}

// The lists: a selection the program makes while the window is hidden is in view once it is
// shown; selectPrefix takes the first entry from the top ignoring case (the folding itself is the
// catalogue's); entries keep the program's bytes; the program's selections notify nothing.
TEST_F(QtDialogHostTest, listsSelectByPrefixKeepTheirBytesAndOnlyTheUsersSelectionsNotify)
{
    auto& list = *m_host.list(idList);
    for (int i = 0; i < 300; ++i)
        list.addEntry("entry " + std::to_string(i));
    list.selectIndex(250);
    open();
    auto& listWidget = widget<QListWidget>(idList);
    EXPECT_TRUE(listWidget.viewport()->rect().contains(listWidget.visualItemRect(listWidget.item(250))));

    const std::pair<const char*, int> cases[] = {
        {"M", 0},     // mm comes before m
        {"\xC9t", 2}, // E acute finds e acute
        {"x", -1},    // no match: the selection stays
    };
    for (int id : {idCombo, idList}) {
        auto& control = *m_host.list(id);
        fillList(control, {"mm", "m", "\xE9t\xE9", "\260C"}); // Windows-1252: e acute, the degree sign
        for (const auto& [prefix, found] : cases) {
            control.selectIndex(1);
            EXPECT_EQ(control.selectPrefix(prefix), found) << id << " '" << prefix << "'";
            EXPECT_EQ(control.selectedIndex(), found < 0 ? 1 : found) << id << " '" << prefix << "'";
        }
        EXPECT_EQ(control.entryText(3), "\260C");
        EXPECT_EQ(control.entryText(7), "");
    }
    EXPECT_EQ(widget<QComboBox>(idCombo).itemText(2), QString::fromUtf8("été"));
    EXPECT_EQ(listWidget.item(3)->text(), QString::fromUtf8("°C"));
    list.removeEntry(1);
    EXPECT_EQ(list.selectedIndex(), -1); // the selected entry went, and the selection with it
    list.insertEntry(0, "zero");
    EXPECT_TRUE(notifications.empty());

    // The user: a click and the arrow keys in the list, the keyboard on the drop-down list.
    const QPoint second = listWidget.visualItemRect(listWidget.item(1)).center();
    QTest::mouseClick(listWidget.viewport(), Qt::LeftButton, {}, second);
    QTest::keyClick(&listWidget, Qt::Key_Down);
    EXPECT_EQ(list.selectedIndex(), 2);
    EXPECT_EQ(count(idList, SelectionChanged), 2);
    QTest::mouseDClick(listWidget.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(count(idList, DoubleClicked), 1);
    QTest::keyClick(&widget<QComboBox>(idCombo), Qt::Key_Up);
    EXPECT_EQ(m_host.list(idCombo)->selectedIndex(), 0);
    EXPECT_EQ(count(idCombo, SelectionChanged), 1);
}

// A list box keeps its selection against the user and tells the window nothing of the
// attempts; the program alone clears it.
TEST_F(QtDialogHostTest, aListBoxKeepsItsSelectionAgainstTheUserAndOnlyTheProgramClearsIt)
{
    auto& list = *m_host.list(idList);
    fillList(list, {"a", "b", "c"});
    open();
    auto& listWidget = widget<QListWidget>(idList);
    const QPoint onB = listWidget.visualItemRect(listWidget.item(1)).center();
    const QPoint below(5, listWidget.visualItemRect(listWidget.item(2)).bottom() + 8);
    ASSERT_EQ(listWidget.itemAt(below), nullptr);
    QTest::mouseClick(listWidget.viewport(), Qt::LeftButton, {}, onB);
    ASSERT_EQ(list.selectedIndex(), 1);
    notifications.clear();

    QTest::mouseClick(listWidget.viewport(), Qt::LeftButton, {}, below);
    QTest::mouseClick(listWidget.viewport(), Qt::LeftButton, Qt::ControlModifier, onB);
    QTest::keyClick(&listWidget, Qt::Key_Space, Qt::ControlModifier);
    QTest::mousePress(listWidget.viewport(), Qt::LeftButton, {}, onB);
    QTest::mouseMove(listWidget.viewport(), below);
    QTest::mouseRelease(listWidget.viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(listWidget.selectedItems(), QList<QListWidgetItem*>{listWidget.item(1)});
    EXPECT_TRUE(notifications.empty());

    list.selectIndex(-1);
    EXPECT_EQ(list.selectedIndex(), -1);
    EXPECT_TRUE(listWidget.selectedItems().isEmpty());
    list.selectIndex(2);
    list.removeEntry(2);
    EXPECT_TRUE(listWidget.selectedItems().isEmpty());
    EXPECT_TRUE(notifications.empty());

    // With nothing selected the user's click selects, and Ctrl+click another entry moves it.
    QTest::mouseClick(listWidget.viewport(), Qt::LeftButton, {}, onB);
    QTest::mouseClick(listWidget.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      listWidget.visualItemRect(listWidget.item(0)).center());
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_EQ(count(idList, SelectionChanged), 2);
}

// Lists filled inside a handler: the program reads back its own state at once, a message box
// shown in between shows the lists as they are, and the selection survives into the widget.
TEST_F(QtDialogHostTest, listsFilledByAHandlerReadBackAndShowUpToDate)
{
    open();
    auto& list = *m_host.list(idList);
    auto& listWidget = widget<QListWidget>(idList);
    test::RecordedMessages messages;
    m_host.setMessageBoxes(messages);
    onNotification = [&](int id, Notification) {
        if (id != idButton)
            return;
        fillList(list, {"a", "b", "c"});
        EXPECT_EQ(list.selectPrefix("B"), 1);
        EXPECT_EQ(list.entryCount(), 3);
        m_host.messageBoxes().show("text", "caption", platform::MessageIcon::Information);
        EXPECT_EQ(listWidget.count(), 3); // as the message box showed it
        list.addEntry("d");
    };
    QTest::mouseClick(&widget<QPushButton>(idButton), Qt::LeftButton);

    EXPECT_EQ(listWidget.count(), 4);
    EXPECT_EQ(listWidget.currentRow(), 1);
    EXPECT_EQ(count(idList, SelectionChanged), 0);
}

// An edit field: the program's selections follow the edit control's rules; every change of the
// text notifies, and setText does so before it returns, even when the text stays the same. The
// input filter rewrites the field from inside that notification and puts the caret back, which
// Qt must keep once the user's keystroke has been handled.
TEST_F(QtDialogHostTest, editFieldSelectionRulesAndTextChangeNotifications)
{
    open();
    auto& edit = *m_host.edit(idEdit);
    const auto selection = [&edit] { return std::make_pair(edit.selectionStart(), edit.selectionEnd()); };
    edit.setText("123456");
    edit.setSelection(0, -1); // all
    EXPECT_EQ(selection(), std::make_pair(0, 6));
    edit.setSelection(9, 9); // beyond the text: the caret goes to its end
    EXPECT_EQ(selection(), std::make_pair(6, 6));
    edit.setSelection(2, 4);
    edit.clearSelection(); // the caret stays where the selection ended
    EXPECT_EQ(selection(), std::make_pair(4, 4));

    std::vector<std::string> seen;
    onNotification = [&](int id, Notification n) {
        if (id != idEdit || n != TextChanged)
            return;
        std::string text = edit.text();
        seen.push_back(text);
        if (const auto letter = text.find('x'); letter != std::string::npos) {
            const int caret = edit.selectionStart() - 1;
            edit.setText(text.erase(letter, 1)); // notifies again, with nothing left to remove
            edit.setSelection(caret, caret);
        }
    };
    edit.setText("123");
    edit.setText("123");
    EXPECT_EQ(seen, (std::vector<std::string>{"123", "123"}));

    auto& lineEdit = widget<QLineEdit>(idEdit);
    lineEdit.setCursorPosition(2);
    QTest::keyClicks(&lineEdit, "x");
    EXPECT_EQ(lineEdit.text(), "123");
    QTest::keyClicks(&lineEdit, "4"); // typed where the caret was put back
    EXPECT_EQ(lineEdit.text(), "1243");

    // A paste by the keyboard arrives in Windows-1252, an en dash as its byte 96.
    QGuiApplication::clipboard()->setText(QStringLiteral("\u2013") + QChar(u'5'));
    lineEdit.selectAll();
    QTest::keyClick(&lineEdit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(seen.back(), (std::string{'\x96', '5'}));
}

TEST_F(QtDialogHostTest, focusButtonsAndClickablePicturesNotifyPlainTextsDoNot)
{
    open();
    widget<QLineEdit>(idEdit).setFocus(Qt::TabFocusReason);
    widget<QLineEdit>(idReadOnly).setFocus(Qt::TabFocusReason);
    QTest::mouseClick(&widget<QPushButton>(idButton), Qt::LeftButton);
    QTest::mouseClick(&widget<QLabel>(idPicture), Qt::LeftButton);
    QTest::mouseClick(&widget<QLabel>(idLabel), Qt::LeftButton);
    // Clicking the button takes the focus from the read-only field.
    const Notifications expected = {{idEdit, FocusGained},   {idEdit, FocusLost}, {idReadOnly, FocusGained},
                                    {idReadOnly, FocusLost}, {idButton, Clicked}, {idPicture, Clicked}};
    EXPECT_EQ(notifications, expected);
}

// Ending the window on the close message is the converter window's test; here the controller
// lets it stay.
TEST_F(QtDialogHostTest, closeBoxAndEscapeSendTheCloseMessageAndEnterEndsNothing)
{
    endOnClose = false;
    open();
    auto& edit = widget<QLineEdit>(idEdit);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(m_host.window(), Qt::Key_Enter);
    EXPECT_EQ(closes, 0);

    m_host.window()->close();
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_EQ(closes, 2);
    EXPECT_TRUE(m_host.window()->isVisible());
    EXPECT_FALSE(m_host.ended());
}

TEST_F(QtDialogHostTest, menuBarItemsSendTheirCommandsAndOnlyTheProgramSetsCheckMarks)
{
    open();
    QAction* scientific = m_host.menuAction(res::cmdToggleNotation);
    QAction* about = m_host.menuAction(res::cmdAbout); // in a nested submenu
    ASSERT_TRUE(scientific && about && scientific->isCheckable());
    scientific->trigger();
    about->trigger();
    QTest::keyClick(m_host.window(), Qt::Key_Q, Qt::ControlModifier); // Exit's shortcut
    EXPECT_EQ(commands, (std::vector<int>{res::cmdToggleNotation, res::cmdAbout, res::cmdExit}));
    EXPECT_FALSE(scientific->isChecked());

    m_host.setMenuChecked(res::cmdToggleNotation, true);
    scientific->trigger();
    EXPECT_TRUE(scientific->isChecked());
}

// A controller that lets an exception go, or lists that fail while they catch up with it, do
// not end the program in Qt's event loop: the window shows the system's report, tells standard
// error what failed, on one line, and goes on.
TEST_F(QtDialogHostTest, anExceptionFromAControllerBecomesTheSystemsReport)
{
    test::RecordedMessages messages;
    m_host.setMessageBoxes(messages);
    m_resources.setString(res::strErrorCaption, "Failed");
    open();
    QAction* scientific = m_host.menuAction(res::cmdToggleNotation);
    ASSERT_NE(scientific, nullptr);
    auto& list = *m_host.list(idList);
    bool listFails = false;
    QObject::connect(widget<QListWidget>(idList).selectionModel(), &QItemSelectionModel::currentChanged,
                     [&listFails] {
                         if (std::exchange(listFails, false))
                             throw std::runtime_error("the list\nfailed");
                     });
    const struct {
        std::function<void()> fail;
        int error;
        std::string told; // on standard error
    } cases[] = {
        {[] { throw std::invalid_argument("x"); }, EINVAL, "meridal: x\n"},
        {[] { throw std::bad_alloc(); }, ENOMEM, "meridal: std::bad_alloc\n"},
        {[] { throw 7; }, EINVAL, "meridal: an exception of unknown type\n"},
        {[&] {
             fillList(list, {"a", "b"});
             list.selectIndex(1);
             listFails = true;
         },
         EINVAL, "meridal: the list failed\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        messages.messages.clear();
        commandFails = c.fail;
        std::ostringstream told;
        std::streambuf* const standardError = std::cerr.rdbuf(told.rdbuf());
        EXPECT_NO_THROW(scientific->trigger());
        std::cerr.rdbuf(standardError);
        EXPECT_EQ(told.str(), c.told);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, utf8ToWindows1252Lossy(std::strerror(c.error)));
        EXPECT_EQ(messages.messages[0].caption, "Failed");
        EXPECT_EQ(messages.messages[0].icon, platform::MessageIcon::Error);
    }
    EXPECT_EQ(list.entryCount(), 2);
    EXPECT_TRUE(m_host.window()->isVisible());
}

} // namespace
} // namespace meridal
