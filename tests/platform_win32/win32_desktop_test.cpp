// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows desktop against the system itself (under Wine in the build): what the shell is
// given and what a failure to open becomes, the profile read back, the version resource and
// creation time of real files, and the system's short dates.
#include "tests/support/temp_folder.h"

#include "platform/win32/win32_desktop.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <tuple>
#include <vector>
#include <windows.h>

extern "C" const char meridalVersion[];

namespace meridal {
namespace {

namespace fs = std::filesystem;
using platform::Desktop;
using platform::LocalDateTime;
using platform::win32::localDateTimeOf;
using platform::win32::shellTarget;
using platform::win32::shortDateIn;
using platform::win32::Win32Desktop;

fs::path testProgram()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(std::wstring(path, length));
}

std::uint64_t fileTimeOf(WORD year, WORD month, WORD day, WORD hour)
{
    SYSTEMTIME universal{};
    universal.wYear = year;
    universal.wMonth = month;
    universal.wDay = day;
    universal.wHour = hour;
    FILETIME time{};
    EXPECT_TRUE(SystemTimeToFileTime(&universal, &time));
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

FILETIME asFileTime(std::uint64_t ticks)
{
    return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

auto tupleOf(const LocalDateTime& t)
{
    return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

class Win32DesktopTest : public ::testing::Test {
  protected:
    ~Win32DesktopTest() override
    {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    const fs::path m_dir = test::makeTempFolder("meridal-desktop");
};

// The guide's pages are named relative to the program's folder; everything that names its
// own place reaches the shell as it stands.
TEST(ShellTarget, relativePathsAreOpenedFromTheProgramsFolder)
{
    const std::wstring folder = L"C:\\Programs\\Meridal 2.1\\";
    const struct {
        std::string target;
        std::wstring file;
    } cases[] = {
        {"guide\\index.html", folder + L"guide\\index.html"},
        {"guide/window.html", folder + L"guide\\window.html"},
        {"..\\notes.txt", folder + L"..\\notes.txt"},
        {"gu\355de\\100 \260C.html", folder + L"gu\u00EDde\\100 \u00B0C.html"}, // Windows-1252, octal
        {"https://www.nist.gov/pml/special-publication-811",
         L"https://www.nist.gov/pml/special-publication-811"},
        {"mailto:developers@meridal.org", L"mailto:developers@meridal.org"},
        {"C:\\guide\\index.html", L"C:\\guide\\index.html"},
        {"C:index.html", L"C:index.html"},
        {"\\\\server\\share\\index.html", L"\\\\server\\share\\index.html"},
        {"/guide/index.html", L"/guide/index.html"},
        {"", L""},
        {"1:2", folder + L"1:2"}, // no scheme: it starts with a digit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(shellTarget(c.target, folder), c.file);
    }
}

// What the shell cannot open is reported on the window's thread, not while openTarget runs;
// without a way to the window's thread, before openTarget returns.
TEST_F(Win32DesktopTest, aTargetThatCannotBeOpenedIsReportedOnTheWindowsThread)
{
    // A file of a kind no program opens, and a page that is not there.
    std::ofstream(m_dir / "notes.meridal-unknown") << "x";
    const std::string targets[] = {(m_dir / "notes.meridal-unknown").string(), "no-such-guide\\index.html"};
    std::vector<std::function<void()>> posted;
    Win32Desktop desktop(nullptr, [&](std::function<void()> task) { posted.push_back(std::move(task)); });
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        posted.clear();
        int failures = 0;
        desktop.openTarget(target, [&] { ++failures; });
        EXPECT_EQ(failures, 0);
        ASSERT_EQ(posted.size(), 1u);
        posted[0]();
        EXPECT_EQ(failures, 1);
    }

    Win32Desktop unposted;
    int failures = 0;
    unposted.openTarget(targets[1], [&] { ++failures; });
    EXPECT_EQ(failures, 1);
}

// A relative target reaches the shell from the program's folder, and what the shell started
// runs: a command file beside the program writes down that it ran.
TEST_F(Win32DesktopTest, aRelativeTargetIsOpenedFromTheProgramsFolder)
{
    const fs::path marker = m_dir / "ran.txt";
    std::ofstream(m_dir / L"pr\u00F6be.cmd") << "@echo ran> \"" << marker.string() << "\"\r\n";
    Win32Desktop desktop(nullptr, [](std::function<void()> task) { task(); });
    desktop.setProgramFile((m_dir / "meridal.exe").wstring());
    int failures = 0;
    desktop.openTarget("pr\366be.cmd", [&] { ++failures; });
    EXPECT_EQ(failures, 0);
    for (int i = 0; i < 200 && !fs::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(fs::exists(marker));
}

// The shell is asked for "calc"; where no calculator answers to that name, as under Wine,
// the start counts as failed.
TEST(Win32Desktop, aCalculatorThatCannotBeStartedIsAFailedStart)
{
    wchar_t found[MAX_PATH];
    if (SearchPathW(nullptr, L"calc.exe", nullptr, MAX_PATH, found, nullptr) != 0)
        GTEST_SKIP() << "this system has a calculator, and the test does not start it";
    EXPECT_FALSE(Win32Desktop().startCalculator());
}

// The value lands in the system's win.ini under its section, as Windows-1252 made UTF-16.
TEST(Win32Desktop, theProfileValueIsWrittenToTheSystemsWinIni)
{
    const wchar_t* section = L"Meridal Test \u00C9";
    Win32Desktop desktop;
    for (const auto& [value, wide] :
         {std::pair<std::string, std::wstring>{"0", L"0"}, {"100 \260C \200", L"100 \u00B0C \u20AC"}}) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(desktop.writeProfileString("Meridal Test \xC9", "layout", value));
        wchar_t read[64] = {};
        GetProfileStringW(section, L"layout", L"(none)", read, 64);
        EXPECT_EQ(std::wstring(read), wide);
    }
    WriteProfileStringW(section, nullptr, nullptr);
}

// The version is "FileVersion" of the file's first translation, whichever that is; a file
// without a version resource, or no file, has none, and no file has no creation date.
TEST_F(Win32DesktopTest, theVersionIsThatOfTheFilesFirstTranslation)
{
    Win32Desktop desktop;
    EXPECT_EQ(desktop.programFileVersion(), meridalVersion);

    std::ofstream(m_dir / "plain.exe") << "not a program";
    const struct {
        fs::path file;
        std::string version;
    } cases[] = {
        {testProgram().parent_path() / OTHER_TRANSLATION_FILE, "9.8.7.6 f\xFCr Tests ? bald"},
        {m_dir / "plain.exe", ""},
        {m_dir / "missing.exe", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string());
        desktop.setProgramFile(c.file.wstring());
        EXPECT_EQ(desktop.programFileVersion(), c.version);
    }
    LocalDateTime created;
    EXPECT_EQ(desktop.programFileCreated(created), Desktop::DateStatus::Unknown); // the missing file
}

// The program's path is a file name: UTF-8, whatever Windows-1252 holds.
TEST(Win32Desktop, theProgramsPathIsUtf8)
{
    Win32Desktop desktop;
    const std::u8string running = testProgram().u8string();
    EXPECT_EQ(desktop.programFilePath(), std::string(running.begin(), running.end()));
    desktop.setProgramFile(L"C:\\Programme\\Übung 日本\\meridal.exe");
    const std::u8string expected = u8"C:\\Programme\\Übung 日本\\meridal.exe";
    EXPECT_EQ(desktop.programFilePath(), std::string(expected.begin(), expected.end()));
}

// A creation time as the local date of that moment; none kept, or none the calendar can
// hold, as the About box tells them apart.
TEST(LocalDateTimeOf, convertsACreationTimeOrSaysWhyNot)
{
    LocalDateTime local;
    EXPECT_EQ(localDateTimeOf(0, local), Desktop::DateStatus::Unknown);
    EXPECT_EQ(localDateTimeOf(0x8000000000000000u, local), Desktop::DateStatus::Unconvertible);
    EXPECT_EQ(localDateTimeOf(fileTimeOf(30000, 6, 1, 12), local), Desktop::DateStatus::Unconvertible);

    // Noon in UTC is the same day, or the one before or after, in every time zone.
    ASSERT_EQ(localDateTimeOf(fileTimeOf(2011, 2, 7, 12), local), Desktop::DateStatus::Ok);
    EXPECT_EQ(local.year, 2011);
    EXPECT_EQ(local.month, 2);
    EXPECT_GE(local.day, 6);
    EXPECT_LE(local.day, 8);
}

// A copy of the program is a new file: its date is the copy's, and its version the same.
TEST_F(Win32DesktopTest, aCopyOfTheProgramIsDatedWhenItWasCopied)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const LocalDateTime before{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    const fs::path copy = m_dir / "meridal.exe";
    fs::copy_file(testProgram(), copy);
    Win32Desktop desktop;
    desktop.setProgramFile(copy.wstring());
    LocalDateTime created;
    ASSERT_EQ(desktop.programFileCreated(created), Desktop::DateStatus::Ok);
    EXPECT_GE(tupleOf(created), tupleOf(before));
    EXPECT_EQ(desktop.programFileVersion(), meridalVersion);
}

// The date shown is the file's creation, not its last change.
TEST_F(Win32DesktopTest, theCreationDateIsNotTheLastWrite)
{
    const fs::path file = m_dir / "meridal.exe";
    std::ofstream(file) << "x";
    const FILETIME creation = asFileTime(fileTimeOf(2011, 2, 7, 12));
    const FILETIME lastWrite = asFileTime(fileTimeOf(2020, 6, 15, 12));
    HANDLE handle = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(handle, &creation, nullptr, &lastWrite));
    FILETIME kept{};
    GetFileTime(handle, &kept, nullptr, nullptr);
    CloseHandle(handle);
    if (CompareFileTime(&kept, &creation) != 0)
        GTEST_SKIP() << "this system does not keep a creation time that is set (Wine: SetFileTime "
                        "ignores it, and GetFileTime gives the last change in its place)";

    Win32Desktop desktop;
    desktop.setProgramFile(file.wstring());
    LocalDateTime created;
    ASSERT_EQ(desktop.programFileCreated(created), Desktop::DateStatus::Ok);
    EXPECT_EQ(std::tuple(created.year, created.month), std::tuple(2011, 2));
    EXPECT_EQ(shortDateIn(created, L"en-US"), "2/" + std::to_string(created.day) + "/2011");
}

// The locale's own short form, without a time; no text for a date that is none.
TEST(ShortDate, isTheLocalesShortFormOfTheDate)
{
    const LocalDateTime date{2026, 12, 9, 23, 59, 58};
    EXPECT_EQ(shortDateIn(date, L"en-US"), "12/9/2026");
    EXPECT_EQ(shortDateIn(date, L"de-DE"), "9.12.2026");
    for (const LocalDateTime& invalid : {LocalDateTime{2026, 13, 9}, LocalDateTime{2026, 0, 9},
                                         LocalDateTime{-1, 12, 9}, LocalDateTime{70000, 1, 1}}) {
        SCOPED_TRACE(invalid.year * 10000 + invalid.month * 100 + invalid.day);
        EXPECT_EQ(shortDateIn(invalid, L"en-US"), "");
    }
    EXPECT_EQ(Win32Desktop().shortDate(date), shortDateIn(date, nullptr));
}

} // namespace
} // namespace meridal
