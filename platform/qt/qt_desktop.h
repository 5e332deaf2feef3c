// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop.h"

#include <QPointer>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QObject;

namespace meridal::platform::qt {

// What sets a value in the profile file `path` (the program's file layer; see
// writeProfileValue): section, key and value, true when it was set.
using ProfileWriter = std::function<bool(const std::string& path, const std::string& section,
                                         const std::string& key, const std::string& value)>;

// The Linux desktop around the program: xdg-open for targets, the desktop's calculator, the
// calculator setting in the user's configuration folder, the program file's own facts, and
// the user's date form.
class QtDesktop final : public Desktop {
  public:
    // `context` is the window: a failure report never arrives after it is gone.
    explicit QtDesktop(QObject* context = nullptr) : m_context(context) {}
    void setContext(QObject* context) { m_context = context; }
    // Without a writer the profile is never written.
    void setProfileWriter(ProfileWriter writer) { m_profileWriter = std::move(writer); }

    // xdg-open runs without a shell and is never waited for. It belongs to the application,
    // not the window: closing the window leaves a running opener running, and the opener is
    // reaped whenever it ends.
    void openTarget(const std::string& target, std::function<void()> failed) override;
    bool startCalculator() override;
    bool writeProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;
    std::string programFilePath() override;
    std::string programFileVersion() override;
    DateStatus programFileCreated(LocalDateTime& created) override;
    std::string shortDate(const LocalDateTime& date) override;

    // "$XDG_CONFIG_HOME/meridal/win.ini", or "~/.config/meridal/win.ini" when XDG_CONFIG_HOME
    // is unset, empty or relative; empty when there is no home folder either.
    static std::string profileFilePath();
    // The programs tried for the calculator, in order, with their arguments.
    static const std::vector<std::pair<const char*, std::vector<const char*>>>& calculators();
    // Reads another file than the running program's (tests).
    void setProgramFile(std::string path) { m_programFile = std::move(path); }

  private:
    QPointer<QObject> m_context;
    ProfileWriter m_profileWriter;
    std::string m_programFile = "/proc/self/exe";
};

} // namespace meridal::platform::qt
