// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "persistence/user_file.h"

#include <string>
#include <windows.h>

// Shared by the Windows reader and saver of the user's files: paths are UTF-8 inside the
// program and UTF-16 at the system's interface, never the process's ANSI code page.
namespace meridal::win32 {

// A handle of the file API, closed when it goes. Handles are opened without security
// attributes, so no program started later inherits one.
class Handle {
  public:
    Handle() = default;
    explicit Handle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    Handle& operator=(Handle&& other) noexcept;

    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    // Closes it now; false when the system reports that the close failed.
    bool close();

  private:
    HANDLE m_handle = nullptr;
};

// Opens an existing file, letting every other program read, write and delete it meanwhile.
Handle openExisting(const std::wstring& path, DWORD access, DWORD flags = 0);

// The system's description of an error code, in the user's language, as UTF-8 without the
// final full stop: "Access is denied".
std::string systemMessage(DWORD code);

// Whether the last part of `path` is one of the names that Windows gives its devices in
// every folder ("NUL", "CON", "COM1", "lpt2.txt"...): such a file is never opened.
bool isReservedName(const std::wstring& path);

// What stands at a path, found without opening it for reading or writing: its attributes,
// then (for a file) an open with no access rights at all that asks the system what kind of
// object it is.
struct Look {
    enum class Kind {
        Missing, // nothing at the path, or a link that leads nowhere
        File,    // a file on a disk: `attributes` and `info` tell about it
        Folder,
        Device,  // a device, a reserved name among them
        Pipe,    // a named pipe
        Unknown, // it cannot be looked at: `error` says why
    };
    Kind kind = Kind::Missing;
    DWORD error = 0;
    DWORD attributes = 0;
    BY_HANDLE_FILE_INFORMATION info{};
};
Look lookAt(const std::wstring& path);

// The size and identity of a file from what the system says about an open handle.
std::uint64_t sizeOf(const BY_HANDLE_FILE_INFORMATION& info);
FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& info);
bool sameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b);

// "a folder", "a device"...: what a path that is not a file is, in words.
std::string describeKind(Look::Kind kind);

} // namespace meridal::win32
