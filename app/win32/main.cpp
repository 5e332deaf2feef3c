// SPDX-License-Identifier: GPL-3.0-or-later
// meridal.exe: the program on Windows, a GUI program with a wide entry point. The arguments come
// from the wide command line as UTF-8; the windows are the system's own (platform/win32).
#include "app/converter_app.h"
#include "app/program.h"
#include "catalogue/win32/wide_text.h"
#include "platform/win32/win32_window_system.h"
#include "resources/resource_module.h"

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>
// clang-format off
#include <windows.h>
#include <shellapi.h> // after windows.h, which it needs
// clang-format on

// The four-part version stamped into the program (MERIDAL_VERSION and the build number).
extern "C" const char meridalVersion[];

namespace {

std::vector<std::string> utf8Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return {"meridal"};
    for (int i = 0; i < count; ++i)
        arguments.push_back(meridal::fromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

bool asksForText(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "--version")
            return true;
    }
    return false;
}

// Where the help and version go. A GUI program has no console of its own: its standard output
// when that leads to a file or a pipe, else the console of the program that started it (a
// command prompt), else a message box.
class TextDestination {
  public:
    TextDestination()
    {
        HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        if (output && output != INVALID_HANDLE_VALUE && GetFileType(output) != FILE_TYPE_UNKNOWN)
            return;
        if (AttachConsole(ATTACH_PARENT_PROCESS) && std::freopen("CONOUT$", "w", stdout)) {
            std::cout.clear();
            return;
        }
        m_usual = std::cout.rdbuf(m_captured.rdbuf());
    }
    ~TextDestination()
    {
        if (!m_usual)
            return;
        std::cout.rdbuf(m_usual);
        const std::wstring text = meridal::toWide(m_captured.str());
        MessageBoxW(nullptr, text.c_str(), L"Meridal", MB_OK | MB_ICONINFORMATION);
    }
    TextDestination(const TextDestination&) = delete;
    TextDestination& operator=(const TextDestination&) = delete;

  private:
    std::ostringstream m_captured;
    std::streambuf* m_usual = nullptr;
};

} // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    std::vector<std::string> arguments = utf8Arguments();
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    auto argc = static_cast<int>(arguments.size());

    meridal::Program program(
        [](int& /*count*/, char** /*values*/) { return meridal::platform::win32::createWindowSystem(); },
        &meridal::CConverterApp::loadResourceModule, meridalVersion);
    if (asksForText(arguments)) {
        const TextDestination destination;
        return program.run(argc, argv.data());
    }
    return program.run(argc, argv.data());
}
