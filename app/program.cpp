// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program.h"

#include "catalogue/windows1252.h"
#include "platform/controls.h"
#include "platform/window_system.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <utility>

namespace meridal {

namespace {

constexpr const char* helpText =
    "Usage: meridal [--help | --version]\n"
    "\n"
    "Opens the Meridal unit converter: pick a dimension, a start unit and an end unit, type a\n"
    "value and read the result as you type. The catalogue of dimensions and units is\n"
    "\"Meridal.xml\" and the conversion log \"log.txt\", both in the current folder; a missing\n"
    "catalogue is made from the default one. The window needs a display.\n"
    "\n"
    "  --help     print this help and exit.\n"
    "  --version  print the version and exit.\n"
    "\n"
    "Any other argument is ignored. For conversions at a terminal, see meridal-convert --help.\n"
    "\n"
    "Exit status: 0 when the window was closed; 1 when Meridal could not start (no\n"
    "TessaryRes.dll next to the program, a catalogue that does not load, no window) or failed.\n";

void logFailure(const char* what)
{
    std::cerr << "meridal: " << what << std::endl;
}

} // namespace

Program::Program(WindowSystemFactory makeWindows, CConverterApp::ModuleLoader loader,
                 std::string_view version)
    : m_makeWindows(std::move(makeWindows)), m_loader(std::move(loader)), m_version(version)
{
}

int Program::run(int argc, char** argv)
{
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        help = help || arg == "--help";
        version = version || arg == "--version";
    }
    if (help || version) {
        if (help)
            std::cout << helpText;
        else
            std::cout << "meridal " << m_version << '\n';
        std::cout.flush();
        return std::cout ? exitOk : exitFailed;
    }

    std::unique_ptr<platform::WindowSystem> windows;
    int error = 0;
    try {
        windows = m_makeWindows(argc, argv);
        CConverterApp converter(m_loader, *windows);
        converter.initInstance();
        return converter.startedUp() ? exitOk : exitFailed;
    } catch (const std::bad_alloc& failure) {
        logFailure(failure.what());
        error = ENOMEM;
    } catch (const std::exception& failure) {
        logFailure(failure.what());
        error = EINVAL;
    } catch (...) {
        logFailure("an exception of unknown type");
        error = EINVAL;
    }
    reportFailure(windows.get(), error);
    return exitFailed;
}

void Program::reportFailure(platform::WindowSystem* windows, int errorCode)
{
    // The window's report of a failure: the system's text, the stop icon. The caption is the
    // one of start-up's own message, as the resource module may be what failed.
    try {
        const std::string text = std::strerror(errorCode);
        if (windows)
            windows->messageBoxes().show(utf8ToWindows1252Lossy(text), "Meridal Error",
                                         platform::MessageIcon::Error, platform::MessageButtons::Ok);
        else
            logFailure(text.c_str());
    } catch (...) {
        // Nothing more can be told.
    }
}

} // namespace meridal
