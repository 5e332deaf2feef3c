// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/gui_support.h"

#include "platform/qt/qt_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace meridal::platform::qt {
namespace {

// What the real message box looked like, read while it waited for an answer.
struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QString caption;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    QWidget* owner = nullptr;
};

// Answers the next modal message box with `answer` and records it.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton answer)
{
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->icon(),       box->text(),        box->windowTitle(), box->standardButtons(),
                box->textFormat(), box->parentWidget()};
        box->button(answer)->click();
    });
}

TEST(QtMessageBoxesTest, showsIconTextAndButtonsAndReturnsTheAnswer)
{
    test::guiApplication();
    struct Case {
        MessageIcon icon;
        MessageButtons buttons;
        QMessageBox::StandardButton answer;
        QMessageBox::Icon qtIcon;
        QMessageBox::StandardButtons qtButtons;
        MessageResult result;
    };
    const Case cases[] = {
        {MessageIcon::Error, MessageButtons::Ok, QMessageBox::Ok, QMessageBox::Critical, QMessageBox::Ok,
         MessageResult::Ok},
        {MessageIcon::Warning, MessageButtons::YesNo, QMessageBox::No, QMessageBox::Warning,
         QMessageBox::Yes | QMessageBox::No, MessageResult::No},
        {MessageIcon::Information, MessageButtons::YesNo, QMessageBox::Yes, QMessageBox::Information,
         QMessageBox::Yes | QMessageBox::No, MessageResult::Yes},
        {MessageIcon::Question, MessageButtons::OkCancel, QMessageBox::Cancel, QMessageBox::Question,
         QMessageBox::Ok | QMessageBox::Cancel, MessageResult::Cancel},
    };
    QWidget owner;
    QtMessageBoxes owned(&owner);
    QtMessageBoxes ownerless;
    for (const Case& c : cases) {
        for (QtMessageBoxes* boxes : {&owned, &ownerless}) {
            SeenBox seen;
            answerNextBox(seen, c.answer);
            // Windows-1252 in: the degree sign; "<b>" stays text, not markup.
            EXPECT_EQ(boxes->show("12 \xB0"
                                  "C <b>hot</b>",
                                  "Meridal Error", c.icon, c.buttons),
                      c.result);
            EXPECT_EQ(seen.icon, c.qtIcon);
            EXPECT_EQ(seen.buttons, c.qtButtons);
            EXPECT_EQ(seen.text, QString::fromUtf8("12 °C <b>hot</b>"));
            EXPECT_EQ(seen.format, Qt::PlainText);
            EXPECT_EQ(seen.caption, "Meridal Error");
            EXPECT_EQ(seen.owner, boxes == &owned ? &owner : nullptr);
        }
    }
}

TEST(QtClipboardTest, carriesWindows1252TextAndMarksWhatItCannotHold)
{
    test::guiApplication();
    QtClipboard clipboard;
    ASSERT_TRUE(clipboard.setText("5 \x80 \x96 \xE9"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("5 € – é"));
    EXPECT_EQ(clipboard.text(), "5 \x80 \x96 \xE9");
    // A character outside Windows-1252 arrives as "?", as an ANSI clipboard gives it.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("7 → 8"));
    EXPECT_EQ(clipboard.text(), "7 ? 8");
}

} // namespace
} // namespace meridal::platform::qt
