// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop.h"

#include <cstdint>
#include <functional>
#include <string>

struct HWND__; // a window handle (HWND) of <windows.h>

namespace meridal::platform::win32 {

// Runs a task on the window's thread, soon, as one of its messages (the window's
// DialogHost::post): a task posted after the window has gone never runs.
using Poster = std::function<void(std::function<void()>)>;

// The Windows desktop around the program: the shell's open operation for targets and the
// calculator, the system's profile "win.ini", the program file's version resource and
// creation time, and the user's short date form. Every text goes to and comes from the
// system as UTF-16 (the W functions), converted from and to Windows-1252 here.
class Win32Desktop final : public Desktop {
  public:
    // `owner` is the window that owns what the shell shows (may be null). `poster` carries a
    // failure report to the window's thread; without one, openTarget reports a failure
    // before it returns.
    explicit Win32Desktop(HWND__* owner = nullptr, Poster poster = {});

    // A target that names a file relative to the program's folder (the user guide's pages)
    // is opened from that folder, wherever the program was unpacked; a URL or an absolute
    // path as it stands. The shell's open operation runs on the calling thread and returns
    // once it has handed the target over.
    void openTarget(const std::string& target, std::function<void()> failed) override;
    // The shell opens "calc", as it finds it.
    bool startCalculator() override;
    // The system's profile function on "win.ini".
    bool writeProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;
    // A file name, and so UTF-8 as every file name inside the program, not Windows-1252:
    // a folder whose name Windows-1252 cannot hold would otherwise name another file.
    std::string programFilePath() override;
    // "FileVersion" of the first translation of the file's version resource.
    std::string programFileVersion() override;
    DateStatus programFileCreated(LocalDateTime& created) override;
    // In the user's locale; a character Windows-1252 cannot hold becomes "?".
    std::string shortDate(const LocalDateTime& date) override;

    // The window it serves, once that exists.
    void setOwner(HWND__* owner, Poster poster)
    {
        m_owner = owner;
        m_poster = std::move(poster);
    }

    // Reads another file than the running program's, and opens relative targets from its
    // folder (tests).
    void setProgramFile(std::wstring path) { m_programFile = std::move(path); }

  private:
    std::wstring programFile() const;

    HWND__* m_owner;
    Poster m_poster;
    std::wstring m_programFile; // empty: the running program's
};

// What the shell is asked to open for `target` (Windows-1252): a relative path is joined to
// `programFolder` (its slashes made backslashes); a URL ("scheme:..."), a path from a drive
// ("C:..."), from a root or a server ("\...", "/...") and the empty text stay as they are.
std::wstring shellTarget(const std::string& target, const std::wstring& programFolder);

// A file time (100 ns units since 1601, UTC) as the local date and time of that moment, by
// the time zone's rules for that date. Unknown: 0, which a file system that keeps no
// creation time gives; Unconvertible: beyond the system's dates, or outside 100 to 9999.
Desktop::DateStatus localDateTimeOf(std::uint64_t fileTime, LocalDateTime& local);

// `date` in the short date form of the locale `localeName` ("en-US"; null: the user's) as
// Windows-1252, "?" for what it cannot hold; empty when the date or the locale is not valid.
std::string shortDateIn(const LocalDateTime& date, const wchar_t* localeName);

} // namespace meridal::platform::win32
