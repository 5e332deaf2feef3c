// The About box on the real window, offscreen: opened from the Help menu, read, and closed.
#include "tests/gui/gui_support.h"

#include "platform/qt/qt_dialog_host.h"
#include "resources/resource_ids.h"
#include "resources/resource_module.h"
#include "ui/converter_dlg.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace meridal {
namespace {

using platform::qt::QtDialogHost;

TEST(AboutBox, opensFromTheHelpMenuShowsTitleCopyrightDateAndVersionAndClosesWithOk)
{
    test::guiApplication();
    test::TemporaryWorkingFolder folder;
    const std::unique_ptr<Resources> resources = ResourceModule::load("TessaryRes.dll");
    ASSERT_NE(resources, nullptr);
    test::RecordedMessages messages;
    QtDialogHost host(*resources, res::dialogConverter);
    host.setMessageBoxes(messages);
    CConverterDlg window(*resources, host);
    ASSERT_TRUE(host.open(window));

    struct Seen {
        std::map<int, QString> texts;
        std::map<int, QFont> fonts;
        QString title;
        bool hasIcon = false;
        bool okEnded = false;
    } seen;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        seen.title = about->windowTitle();
        seen.hasIcon = !about->windowIcon().isNull();
        QPushButton* ok = nullptr;
        for (QWidget* control : about->findChildren<QWidget*>()) {
            const int id = control->property("controlId").toInt();
            if (auto* label = qobject_cast<QLabel*>(control)) {
                seen.texts[id] = label->text();
                seen.fonts[id] = label->font();
            } else if (id == 1) {
                ok = qobject_cast<QPushButton*>(control);
            }
        }
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
        seen.okEnded = !about->isVisible();
    });
    ASSERT_NE(host.menuAction(res::cmdAbout), nullptr);
    host.menuAction(res::cmdAbout)->trigger(); // returns when the box has closed

    EXPECT_TRUE(seen.okEnded);
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_EQ(seen.title, "About Meridal");
    EXPECT_EQ(seen.texts[1034], QStringLiteral("Meridal\u00AE v2.1"));
    EXPECT_EQ(seen.fonts[1034].pointSize(), 16);
    EXPECT_EQ(seen.fonts[1036].weight(), QFont::Bold);
    EXPECT_EQ(seen.fonts[1038].weight(), QFont::Normal);
    EXPECT_TRUE(seen.texts[1035].startsWith("Copyright")) << seen.texts[1035].toStdString();
    // This test program carries the version stamp, as the program does.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^.* \\[2\\.1\\.0\\.[0-9]+\\]$"))
                    .match(seen.texts[1039])
                    .hasMatch())
        << seen.texts[1039].toStdString();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(host.ended());
}

} // namespace
} // namespace meridal
