// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/converter_app.h"

#include <functional>
#include <memory>
#include <string_view>

namespace meridal {

namespace platform {
class WindowSystem;
}

// The whole of the program "meridal", behind main.
class Program final {
  public:
    // Makes the toolkit's window system; may take the toolkit's own arguments out of argv.
    using WindowSystemFactory =
        std::function<std::unique_ptr<platform::WindowSystem>(int& argc, char** argv)>;

    static constexpr int exitOk = 0;
    static constexpr int exitFailed = 1;

    // `version` is the four-part version stamped into the program.
    Program(WindowSystemFactory makeWindows, CConverterApp::ModuleLoader loader, std::string_view version);

    // "--help" and "--version" are answered on standard output before anything else is made: no
    // window system (a toolkit may refuse to start without a display), no file. Any other
    // argument is left to the toolkit and otherwise ignored. Then the converter runs. Returns
    // the exit status: exitFailed when it could not start (no resource module, a catalogue
    // that does not load, no window) or an exception reached this far; its text goes to
    // standard error, and the user sees the window's report of a failure, or reads it on
    // standard error when there is no window system.
    int run(int argc, char** argv);

  private:
    void reportFailure(platform::WindowSystem* windows, int errorCode);

    WindowSystemFactory m_makeWindows;
    CConverterApp::ModuleLoader m_loader;
    std::string_view m_version;
};

} // namespace meridal
