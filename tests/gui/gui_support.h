// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controls.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace meridal::test {

// The one QApplication of a test program, with a private runtime folder so that Qt finds no
// other one. The offscreen platform comes from the test's environment; a test program started
// without it (by hand, say) uses it as well rather than look for a display.
inline QApplication& guiApplication()
{
    static QTemporaryDir runtimeDir;
    static int argc = 1;
    static char name[] = "meridal-gui-test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        std::filesystem::permissions(runtimeDir.path().toStdString(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        setenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit().constData(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        new QApplication(argc, argv);
    }
    return *static_cast<QApplication*>(QApplication::instance());
}

// A fresh, empty working folder for one test: the program keeps "Meridal.xml" and "log.txt"
// in the current directory.
class TemporaryWorkingFolder {
  public:
    TemporaryWorkingFolder() : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(m_dir.path().toStdString());
    }
    ~TemporaryWorkingFolder() { std::filesystem::current_path(m_previous); }
    TemporaryWorkingFolder(const TemporaryWorkingFolder&) = delete;
    TemporaryWorkingFolder& operator=(const TemporaryWorkingFolder&) = delete;

    std::filesystem::path path() const { return m_dir.path().toStdString(); }

  private:
    QTemporaryDir m_dir;
    std::filesystem::path m_previous;
};

// Records the message boxes instead of showing them, and answers each with its default button
// (or the next of `answers`).
class RecordedMessages final : public platform::MessageBoxes {
  public:
    struct Message {
        std::string text, caption;
        platform::MessageIcon icon;
        platform::MessageButtons buttons;
        platform::DefaultButton defaultButton;
    };
    platform::MessageResult show(const std::string& text, const std::string& caption,
                                 platform::MessageIcon icon, platform::MessageButtons buttons,
                                 platform::DefaultButton defaultButton) override
    {
        messages.push_back({text, caption, icon, buttons, defaultButton});
        if (!answers.empty()) {
            const platform::MessageResult answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        }
        if (buttons == platform::MessageButtons::YesNo)
            return defaultButton == platform::DefaultButton::First ? platform::MessageResult::Yes
                                                                   : platform::MessageResult::No;
        return platform::MessageResult::Ok;
    }
    std::vector<Message> messages;
    std::vector<platform::MessageResult> answers;
};

} // namespace meridal::test
