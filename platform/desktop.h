// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace meridal::platform {

// A calendar date and time of the local time zone.
struct LocalDateTime {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;   // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The desktop around the program: other programs it starts, targets it opens, and facts
// about the program's own file. All text is Windows-1252.
class Desktop {
  public:
    virtual ~Desktop() = default;

    // Opens `target` (a URL or a file) with the desktop's opener, without waiting for it.
    // `failed` runs later on the window's thread when the opener cannot be started or
    // reports that it failed; it never runs after the window has gone.
    virtual void openTarget(const std::string& target, std::function<void()> failed) = 0;
    // Starts the desktop's calculator in its scientific view, detached. False when none is
    // installed or it could not be started.
    virtual bool startCalculator() = 0;
    // Sets `key`=`value` in `section` of the user's "win.ini" (created when missing, every
    // other line kept). False when it could not be written.
    virtual bool writeProfileString(const std::string& section, const std::string& key,
                                    const std::string& value) = 0;

    // The full path of the running program's file. A file name, so not Windows-1252 but
    // as the program passes file names on: the system's bytes on Linux, UTF-8 on Windows.
    virtual std::string programFilePath() = 0;
    // The four-part version stamped into the program file, or empty.
    virtual std::string programFileVersion() = 0;
    // When the program file was created, in local time. Unknown: the file cannot be read or
    // its file system keeps no creation time; Unconvertible: the time has no local date
    // between the years 100 and 9999.
    enum class DateStatus { Ok, Unknown, Unconvertible };
    virtual DateStatus programFileCreated(LocalDateTime& created) = 0;
    // A date in the user's short date form, without a time.
    virtual std::string shortDate(const LocalDateTime& date) = 0;
};

} // namespace meridal::platform
