// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <windows.h>

// Where the running program's file is, for the resource module beside it and for the About
// box's version and date.
namespace meridal {

// The full path of the running program's file; empty when the system cannot tell.
inline std::wstring runningProgramFile()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        // Cut short: a long path, try again with room for it.
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

// The folder of `file`, with its trailing backslash; empty when it names none.
inline std::wstring folderOf(const std::wstring& file)
{
    const std::size_t slash = file.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash + 1);
}

} // namespace meridal
