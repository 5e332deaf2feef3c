// SPDX-License-Identifier: GPL-3.0-or-later
// The About box on the real window, offscreen: opened from the Help menu, read, and closed.
#include "tests/gui/real_window.h"

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

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <memory>
#include <string>

namespace meridal {
namespace {

using AboutBox = test::RealWindowTest;
using AccessoriesWindow = test::RealWindowTest;

TEST_F(AboutBox, opensFromTheHelpMenuShowsTitleCopyrightDateAndVersionAndClosesWithOk)
{
    openWindow();

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
    ASSERT_NE(m_host->menuAction(res::cmdAbout), nullptr);
    m_host->menuAction(res::cmdAbout)->trigger(); // returns when the box has closed

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
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_FALSE(m_host->ended());
}

// The window's Tools and Help commands reach the desktop: a calculator and xdg-open replaced
// by scripts on PATH that write down their arguments.
TEST_F(AccessoriesWindow, calculatorAndGuideCommandsReachTheDesktopAndAFailureIsShown)
{
    const std::filesystem::path bin = m_folder.path() / "bin";
    std::filesystem::create_directories(bin);
    const auto script = [&](const std::string& name, int status) {
        std::ofstream(bin / name) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \""
                                  << (m_folder.path() / name).string() << ".tmp\"\nmv \""
                                  << (m_folder.path() / name).string() << ".tmp\" \""
                                  << (m_folder.path() / name).string() << ".args\"\nexit " << status << "\n";
        std::filesystem::permissions(bin / name, std::filesystem::perms::owner_all);
    };
    script("galculator", 0);
    script("xdg-open", 4);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin.string() + ":/usr/bin:/bin").c_str(), 1);
    // The calculator's profile goes here, not into the real one.
    setenv("XDG_CONFIG_HOME", (m_folder.path() / "config").c_str(), 1);
    const auto arguments = [&](const std::string& name) {
        const std::filesystem::path file = m_folder.path() / (name + ".args");
        if (!QTest::qWaitFor([&] { return std::filesystem::exists(file); }, 5000))
            return std::string("(not started)");
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };

    openWindow();

    ASSERT_NE(m_host->menuAction(res::cmdCalculator), nullptr);
    m_host->menuAction(res::cmdCalculator)->trigger();
    EXPECT_EQ(arguments("galculator"), "\n");

    ASSERT_NE(m_host->menuAction(0x8009), nullptr);
    m_host->menuAction(0x8009)->trigger();
    const std::string guide = m_module->string(247);
    EXPECT_EQ(arguments("xdg-open"), guide + "\n");
    EXPECT_TRUE(guide.starts_with("file:///") && guide.ends_with("/index.html")) << guide;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_messages.messages.empty(); }, 5000));
    EXPECT_EQ(m_messages.messages[0].text, formatWithArgument(m_module->string(231), guide));
    EXPECT_EQ(m_messages.messages[0].icon, platform::MessageIcon::Error);

    setenv("PATH", oldPath.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace meridal
