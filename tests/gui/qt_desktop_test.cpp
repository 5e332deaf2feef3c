// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux desktop: xdg-open and the calculators replaced by small scripts on PATH that
// write down what they were given, the profile file in a temporary configuration folder,
// and the version and date of real built programs.
#include "tests/gui/gui_support.h"
#include "tests/support/fake_resources.h"

#include "persistence/profile_file.h"
#include "platform/qt/qt_desktop.h"
#include "ui/accessories/about_dlg.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <thread>

namespace meridal {
namespace {

namespace fs = std::filesystem;
using platform::Desktop;
using platform::LocalDateTime;
using platform::qt::QtDesktop;

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class QtDesktopTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::guiApplication(); }

    fs::path dir() const { return m_dir.path().toStdString(); }

    // A script `name` in the temporary folder that writes its arguments, one a line, to
    // "<name>.args" (as its last step, after `body`) and exits with `status`.
    void writeScript(const std::string& name, const std::string& body, int status)
    {
        const fs::path script = dir() / "bin" / name;
        fs::create_directories(script.parent_path());
        std::ofstream(script) << "#!/bin/sh\n"
                              << body << "\n"
                              << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \""
                              << (dir() / (name + ".tmp")).string() << "\"\n"
                              << "mv \"" << (dir() / (name + ".tmp")).string() << "\" \""
                              << (dir() / (name + ".args")).string() << "\"\n"
                              << "exit " << status << "\n";
        fs::permissions(script, fs::perms::owner_all);
    }
    std::string pathWithScripts() const { return (dir() / "bin").string() + ":/usr/bin:/bin"; }
    // Waits up to five seconds for what a script was given.
    std::optional<std::string> argumentsOf(const std::string& name)
    {
        const fs::path args = dir() / (name + ".args");
        if (!QTest::qWaitFor([&] { return fs::exists(args); }, 5000))
            return std::nullopt;
        return readText(args);
    }

    QTemporaryDir m_dir;
};

// The target reaches xdg-open as one argument, untouched by any shell; its failures (exit
// status 1 to 4) are reported when they arrive, others are not.
TEST_F(QtDesktopTest, openTargetHandsTheTextToXdgOpenAndReportsItsFailures)
{
    const std::string target = "file:///tmp/a b/$(touch pwned); \"x\" 'y' `z` %s";
    for (const auto& [status, reported] : {std::pair{0, false}, {1, true}, {4, true}, {5, false}}) {
        SCOPED_TRACE(status);
        fs::remove(dir() / "xdg-open.args");
        writeScript("xdg-open", "", status);
        ScopedEnv path("PATH", pathWithScripts());
        QObject window;
        QtDesktop desktop(&window);
        int failures = 0;
        desktop.openTarget(target, [&] { ++failures; });
        ASSERT_EQ(argumentsOf("xdg-open"), target + "\n");
        (void)QTest::qWaitFor([&] { return failures > 0; }, reported ? 5000 : 300);
        EXPECT_EQ(failures, reported ? 1 : 0);
    }
    EXPECT_FALSE(fs::exists(fs::current_path() / "pwned"));
}

// The window never waits for the opener; closing it leaves the opener running, and a
// failure that arrives after the window has gone is not reported.
TEST_F(QtDesktopTest, openTargetNeverWaitsAndOutlivesTheWindowSilently)
{
    writeScript("xdg-open", "sleep 1", 3);
    ScopedEnv path("PATH", pathWithScripts());
    int failures = 0;
    {
        QObject window;
        QtDesktop desktop(&window);
        QElapsedTimer clock;
        clock.start();
        desktop.openTarget("https://www.bipm.org/", [&] { ++failures; });
        EXPECT_LT(clock.elapsed(), 500);
    }
    EXPECT_EQ(argumentsOf("xdg-open"), "https://www.bipm.org/\n"); // it ran to its end
    QTest::qWait(200);
    EXPECT_EQ(failures, 0);
}

// When the program ends, a running opener is let go rather than killed.
TEST_F(QtDesktopTest, aRunningOpenerOutlivesTheProgram)
{
    writeScript("xdg-open", "sleep 1", 0);
    ScopedEnv path("PATH", pathWithScripts());
    QProcess probe;
    QElapsedTimer clock;
    clock.start();
    probe.start(QStringLiteral(OPENER_PROBE), {QStringLiteral("https://www.nist.gov/")});
    ASSERT_TRUE(probe.waitForFinished(5000));
    EXPECT_LT(clock.elapsed(), 900);
    EXPECT_EQ(probe.exitCode(), 0);
    EXPECT_EQ(argumentsOf("xdg-open"), "https://www.nist.gov/\n");
}

TEST_F(QtDesktopTest, openTargetWithoutXdgOpenReportsAtOnce)
{
    fs::create_directories(dir() / "empty");
    ScopedEnv path("PATH", (dir() / "empty").string());
    QObject window;
    QtDesktop desktop(&window);
    int failures = 0;
    desktop.openTarget("https://www.nist.gov/", [&] { ++failures; });
    EXPECT_EQ(failures, 1);
}

// The first calculator of the list that PATH has starts, with its arguments.
TEST_F(QtDesktopTest, startCalculatorStartsTheFirstFound)
{
    QtDesktop desktop;
    {
        ScopedEnv path("PATH", (dir() / "bin").string());
        fs::create_directories(dir() / "bin");
        EXPECT_FALSE(desktop.startCalculator());
    }
    writeScript("xcalc", "", 0);
    writeScript("kcalc", "", 0);
    ScopedEnv path("PATH", pathWithScripts());
    EXPECT_TRUE(desktop.startCalculator());
    EXPECT_EQ(argumentsOf("kcalc"), "");
    writeScript("gnome-calculator", "", 0);
    EXPECT_TRUE(desktop.startCalculator());
    EXPECT_EQ(argumentsOf("gnome-calculator"), "--mode=advanced\n");
    EXPECT_FALSE(fs::exists(dir() / "xcalc.args"));
}

// win.ini lives in the configuration folder named by XDG_CONFIG_HOME when that is absolute,
// else in ~/.config; folder and file are created, an existing file keeps its other lines.
// Without a writer nothing is written.
TEST_F(QtDesktopTest, writeProfileStringFindsTheConfigurationFolder)
{
    QtDesktop desktop;
    ScopedEnv unused("XDG_CONFIG_HOME", (dir() / "unused").string());
    EXPECT_FALSE(desktop.writeProfileString("SciCalc", "layout", "0"));
    EXPECT_FALSE(fs::exists(dir() / "unused"));
    desktop.setProfileWriter(&writeProfileValue);
    ScopedEnv home("HOME", (dir() / "home").string());
    for (const std::string& config : {(dir() / "config").string(), std::string(), std::string("relative")}) {
        SCOPED_TRACE(config);
        ScopedEnv variable("XDG_CONFIG_HOME", config);
        const fs::path ini =
            (config.empty() || config[0] != '/' ? dir() / "home/.config" : fs::path(config)) /
            "meridal/win.ini";
        ASSERT_TRUE(desktop.writeProfileString("SciCalc", "layout", "0"));
        EXPECT_EQ(readText(ini), "[SciCalc]\nlayout=0\n");
        std::ofstream(ini) << "[Other]\nk=v\n";
        ASSERT_TRUE(desktop.writeProfileString("SciCalc", "layout", "0"));
        EXPECT_EQ(readText(ini), "[Other]\nk=v\n\n[SciCalc]\nlayout=0\n");
        fs::remove_all(ini.parent_path());
    }
}

// The version stamped into the built programs, read from the file, is the one that
// meridal-convert prints and the metainfo's release carries; a copy without the section,
// or no file at all, shows brackets with nothing between them.
TEST_F(QtDesktopTest, versionIsReadFromTheProgramFile)
{
    QtDesktop desktop;
    desktop.setProgramFile(MERIDAL_PROGRAM);
    const std::string version = desktop.programFileVersion();
    EXPECT_TRUE(std::regex_match(version, std::regex(MERIDAL_VERSION "\\.[0-9]+"))) << version;

    QProcess convert;
    convert.start(QStringLiteral(MERIDAL_CONVERT_PROGRAM), {QStringLiteral("--version")});
    ASSERT_TRUE(convert.waitForFinished(5000));
    EXPECT_EQ(convert.readAllStandardOutput().toStdString(), "meridal-convert " + version + "\n");
    EXPECT_NE(readText(METAINFO_FILE).find("<release version=\"" MERIDAL_VERSION "\""), std::string::npos);

    const fs::path stripped = dir() / "meridal";
    ASSERT_EQ(QProcess::execute(QStringLiteral("objcopy"),
                                {QStringLiteral("--remove-section=.meridal_version"),
                                 QStringLiteral(MERIDAL_PROGRAM), QString::fromStdString(stripped.string())}),
              0);
    const test::FakeResources resources;
    for (const auto& [file, expected] : {std::pair{stripped.string(), std::string()},
                                         {(dir() / "missing").string(), std::string()},
                                         {std::string(MERIDAL_PROGRAM), version}}) {
        SCOPED_TRACE(file);
        desktop.setProgramFile(file);
        const std::string line = CAboutDlg::dateAndVersionLine(desktop, resources);
        EXPECT_TRUE(line.ends_with(" [" + expected + "]")) << line;
        LocalDateTime created;
        if (desktop.programFileCreated(created) != Desktop::DateStatus::Ok) {
            EXPECT_EQ(line, " [" + expected + "]");
        }
    }
}

// A damaged or cut-short program file never yields a version, and never reads past its end.
TEST_F(QtDesktopTest, versionOfADamagedProgramFileIsEmpty)
{
    const std::string program = readText(MERIDAL_PROGRAM);
    ASSERT_GT(program.size(), 4096u);
    std::string wildOffsets = program;
    for (std::size_t i = 0x28; i < 0x30; ++i) // e_shoff: far beyond the end
        wildOffsets[i] = '\x7f';
    const std::string cases[] = {"",
                                 program.substr(0, 16),
                                 program.substr(0, 64),
                                 program.substr(0, 4096),
                                 program.substr(0, program.size() - 1),
                                 wildOffsets,
                                 "not a program"};
    QtDesktop desktop;
    int i = 0;
    for (const std::string& text : cases) {
        SCOPED_TRACE(i);
        const fs::path file = dir() / ("damaged" + std::to_string(i++));
        std::ofstream(file, std::ios::binary) << text;
        desktop.setProgramFile(file.string());
        EXPECT_EQ(desktop.programFileVersion(), "");
    }
}

// A copy of the program is a new file: its creation date is that of the copy.
TEST_F(QtDesktopTest, copyingTheProgramChangesItsCreationDate)
{
    QtDesktop desktop;
    desktop.setProgramFile(MERIDAL_PROGRAM);
    LocalDateTime original;
    if (desktop.programFileCreated(original) == Desktop::DateStatus::Unknown)
        GTEST_SKIP() << "the file system of the build keeps no birth times, so no creation date is shown";

    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const std::time_t before = std::time(nullptr);
    const fs::path copy = dir() / "meridal-copy";
    fs::copy_file(MERIDAL_PROGRAM, copy);
    desktop.setProgramFile(copy.string());
    LocalDateTime copied;
    ASSERT_EQ(desktop.programFileCreated(copied), Desktop::DateStatus::Ok)
        << "the temporary folder keeps no birth times";
    std::tm now{};
    localtime_r(&before, &now);
    const auto tuple = [](const LocalDateTime& t) {
        return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
    };
    EXPECT_GE(tuple(copied), std::tuple(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour,
                                        now.tm_min, now.tm_sec));
    EXPECT_GT(tuple(copied), tuple(original));
    EXPECT_EQ(desktop.shortDate(copied),
              QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString());
}

} // namespace
} // namespace meridal
