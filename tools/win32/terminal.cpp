// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/terminal.h"

#include "catalogue/win32/wide_text.h"

#include <algorithm>
// clang-format off
#include <windows.h>
#include <shellapi.h> // after windows.h, which it needs
// clang-format on

namespace meridal::terminal {

std::vector<std::string> arguments(int, char**)
{
    // main's argv went through the ANSI code page, which loses every character it lacks
    // ("°C" under a Japanese locale): the wide command line has them all.
    std::vector<std::string> result;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return result;
    for (int i = 1; i < count; ++i)
        result.push_back(fromWide(wide[i]));
    LocalFree(wide);
    return result;
}

namespace {

bool s_outputFailed = false;

// False when the text could not be written whole.
bool write(DWORD which, std::string_view text)
{
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return true; // no such stream: nothing is lost that anybody could read
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        // A console shows Unicode whatever its code page.
        const std::wstring wide = toWide(lines);
        DWORD written = 0;
        return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
    }
    // A pipe or a file gets UTF-8.
    std::size_t done = 0;
    while (done < lines.size()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(lines.size() - done, 1u << 20));
        if (!WriteFile(handle, lines.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

void writeOut(std::string_view text)
{
    if (!write(STD_OUTPUT_HANDLE, text))
        s_outputFailed = true;
}

void writeError(std::string_view text)
{
    write(STD_ERROR_HANDLE, text);
}

bool flushOutput()
{
    // Nothing is buffered: every write went to the system at once.
    return !s_outputFailed;
}

} // namespace meridal::terminal
