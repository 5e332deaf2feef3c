// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/gui_support.h"

#include "app/converter_app.h"
#include "app/program.h"
#include "catalogue/windows1252.h"
#include "platform/window_system.h"
#include "resources/resource_module.h"

#include <QApplication>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace meridal {
namespace {

// Start-up's own message recorded; no window is ever built. A run of the window ends with 0,
// or as `windowRun` says.
class RecordingWindowSystem final : public platform::WindowSystem {
  public:
    platform::MessageBoxes& messageBoxes() override { return shownTo ? *shownTo : recorded; }
    int runWindow(const Resources&, unsigned, const ControllerFactory&) override
    {
        ++windowsRun;
        return windowRun ? windowRun() : 0;
    }
    test::RecordedMessages recorded;
    int windowsRun = 0;
    std::function<int()> windowRun;
    platform::MessageBoxes* shownTo = nullptr; // instead of `recorded`
};

TEST(ConverterAppTest, withoutTheResourceModuleShowsOneMessageAndLeavesNothingBehind)
{
    test::guiApplication();
    test::TemporaryWorkingFolder folder;
    RecordingWindowSystem windows;
    const auto& recorded = windows.recorded;
    int loads = 0;
    CConverterApp app(
        [&loads]() -> std::unique_ptr<Resources> {
            ++loads;
            return ResourceModule::load("NoSuchModule.dll");
        },
        windows);

    EXPECT_FALSE(app.initInstance());
    EXPECT_EQ(loads, 1);
    ASSERT_EQ(recorded.messages.size(), 1u);
    const auto& shown = recorded.messages[0];
    EXPECT_EQ(shown.text, "Could not find TessaryRes.dll");
    EXPECT_EQ(shown.caption, "Meridal Error");
    EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
    EXPECT_EQ(shown.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(windows.windowsRun, 0);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// The program as main runs it, with the window system and the module of each case.
TEST(ProgramTest, exitStatusTellsWhetherItStartedAndNoExceptionGetsOut)
{
    test::guiApplication();
    test::TemporaryWorkingFolder folder;
    const std::string invalid = utf8ToWindows1252Lossy(std::strerror(EINVAL));
    const std::string noMemory = utf8ToWindows1252Lossy(std::strerror(ENOMEM));
    struct Case {
        const char* name;
        bool noWindowSystem; // making it fails for want of memory
        bool noModule;
        std::function<int()> window;
        int status;
        std::vector<std::string> shown; // message texts, caption "Meridal Error", stop icon
        std::string logged;             // standard error
    };
    const Case cases[] = {
        {"closed", false, false, [] { return 0; }, 0, {}, ""},
        {"ended with a result of its own", false, false, [] { return 2; }, 0, {}, ""},
        {"window not started", false, false, [] { return -1; }, 1, {}, ""},
        {"no module", false, true, nullptr, 1, {"Could not find TessaryRes.dll"}, ""},
        {"no memory for the window system",
         true,
         false,
         nullptr,
         1,
         {},
         "meridal: std::bad_alloc\nmeridal: " + std::string(std::strerror(ENOMEM)) + "\n"},
        {"no memory in the window",
         false,
         false,
         []() -> int { throw std::bad_alloc(); },
         1,
         {noMemory},
         "meridal: std::bad_alloc\n"},
        {"failure in the window",
         false,
         false,
         []() -> int { throw std::invalid_argument("no such layout"); },
         1,
         {invalid},
         "meridal: no such layout\n"},
        {"anything else",
         false,
         false,
         []() -> int { throw 7; },
         1,
         {invalid},
         "meridal: an exception of unknown type\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::RecordedMessages shown;
        Program program(
            [&](int&, char**) -> std::unique_ptr<platform::WindowSystem> {
                if (c.noWindowSystem)
                    throw std::bad_alloc();
                auto windows = std::make_unique<RecordingWindowSystem>();
                windows->windowRun = c.window;
                windows->shownTo = &shown;
                return windows;
            },
            [&c]() -> std::unique_ptr<Resources> {
                return c.noModule ? nullptr : CConverterApp::loadResourceModule();
            },
            "2.1.0.7");
        char name[] = "meridal";
        char* argv[] = {name, nullptr};
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(program.run(1, argv), c.status);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.logged);
        std::vector<std::string> texts;
        for (const auto& message : shown.messages) {
            texts.push_back(message.text);
            EXPECT_EQ(message.caption, "Meridal Error");
            EXPECT_EQ(message.icon, platform::MessageIcon::Error);
        }
        EXPECT_EQ(texts, c.shown);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The built program, with no display at all: help and version are answered without a window
// system (Qt would stop the program without a display) and leave the folder as it was.
TEST(ProgramTest, helpAndVersionNeedNoDisplayAndWriteNoFile)
{
    test::TemporaryWorkingFolder folder;
    struct Case {
        const char* args;
        ::testing::Matcher<const std::string&> out;
        bool ok;
    };
    const Case cases[] = {
        {"--help", ::testing::StartsWith("Usage: meridal [--help | --version]\n"), true},
        {"--version", ::testing::MatchesRegex("meridal " MERIDAL_VERSION "\\.[0-9]+\n"), true},
        {"-platform offscreen --version --help", ::testing::StartsWith("Usage: meridal "), true},
        // Without them it is the window, which cannot start here.
        {"--desktop", ::testing::_, false},
    };
    const std::filesystem::path scratch = folder.path() / "scratch";
    std::filesystem::create_directory(scratch);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string command = "cd scratch && ulimit -c 0 && env -u DISPLAY -u WAYLAND_DISPLAY -u "
                                    "QT_QPA_PLATFORM timeout 10 '" MERIDAL_PROGRAM "' " +
                                    std::string(c.args) + " >../out 2>../err";
        const int status = std::system(command.c_str());
        const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        EXPECT_EQ(ok, c.ok) << readText(folder.path() / "err");
        EXPECT_THAT(readText(folder.path() / "out"), c.out);
        if (c.ok) {
            EXPECT_EQ(readText(folder.path() / "err"), "");
        }
        EXPECT_TRUE(std::filesystem::is_empty(scratch));
    }
}

TEST(ConverterAppTest, findsTheResourceModuleInTheProgramsOwnFolderNotTheWorkingOne)
{
    test::TemporaryWorkingFolder folder;
    EXPECT_NE(CConverterApp::loadResourceModule(), nullptr);
}

} // namespace
} // namespace meridal
