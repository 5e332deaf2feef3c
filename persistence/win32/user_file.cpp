// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/user_file.h"

#include "catalogue/win32/wide_text.h"
#include "persistence/win32/system_file.h"

#include <algorithm>
#include <new>
#include <windows.h>

namespace meridal {

namespace {

using Status = UserFileContent::Status;
using win32::Look;

UserFileContent refused(Status status, std::string reason)
{
    UserFileContent content;
    content.status = status;
    content.reason = std::move(reason);
    return content;
}

// What `look` says about a path that holds no file to read, as the reader reports it.
UserFileContent refusedFor(const Look& look)
{
    if (look.kind == Look::Kind::Missing)
        return refused(Status::Missing, {});
    if (look.kind == Look::Kind::Unknown)
        return refused(Status::Unreadable, win32::systemMessage(look.error));
    return refused(Status::NotRegular, "it is " + win32::describeKind(look.kind) + ", not a regular file");
}

} // namespace

UserFileContent readUserFile(const std::string& path, std::size_t limit)
{
    // Look before opening: opening a device for reading runs its driver ("COM1" may talk to
    // a modem). Only a file on a disk is ever opened for reading.
    const std::wstring wide = toWide(path);
    const Look seen = win32::lookAt(wide);
    if (seen.kind != Look::Kind::File)
        return refusedFor(seen);
    if (win32::sizeOf(seen.info) > limit)
        return refused(Status::TooLarge, sizeLimitReason(limit));

    // Others may go on reading, writing, renaming or deleting it while it is read.
    const win32::Handle file = win32::openExisting(wide, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN);
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return refused(Status::Missing, {});
        return refused(Status::Unreadable, win32::systemMessage(error));
    }
    BY_HANDLE_FILE_INFORMATION opened{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &opened) ||
        (opened.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !win32::sameFile(opened, seen.info))
        return refused(Status::NotRegular, "it was replaced by another file while it was opened");
    if (win32::sizeOf(opened) > limit)
        return refused(Status::TooLarge, sizeLimitReason(limit));

    // Read no more than the size seen at open: a file that somebody appends to meanwhile
    // still ends, and never passes the limit.
    UserFileContent content;
    const auto size = static_cast<std::size_t>(win32::sizeOf(opened));
    try {
        content.bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return refused(Status::TooLarge, tooLargeForMemoryReason);
    }
    std::size_t got = 0;
    while (got < size) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size - got, std::size_t{1} << 24));
        DWORD read = 0;
        if (!ReadFile(file.get(), content.bytes.data() + got, chunk, &read, nullptr))
            return refused(Status::Unreadable, win32::systemMessage(GetLastError()));
        if (read == 0)
            break; // shortened meanwhile: what is there is the file
        got += read;
    }
    content.bytes.resize(got);
    content.status = Status::Ok;
    // As the file was when it was opened: a change made while it was read shows as a change.
    content.identity = win32::identityOf(opened);
    return content;
}

std::optional<FileIdentity> fileIdentity(const std::string& path)
{
    const Look look = win32::lookAt(toWide(path));
    if (look.kind != Look::Kind::File)
        return std::nullopt;
    return win32::identityOf(look.info);
}

FileState fileState(const std::string& path)
{
    const std::wstring wide = toWide(path);
    const Look look = win32::lookAt(wide);
    switch (look.kind) {
    case Look::Kind::Missing:
        return FileState::Missing;
    case Look::Kind::Folder:
    case Look::Kind::Device:
    case Look::Kind::Pipe:
    case Look::Kind::Unknown:
        // Left for the reader, which tells why it cannot be read; nothing is opened here.
        return FileState::Writable;
    case Look::Kind::File:
        break;
    }
    if (look.attributes & FILE_ATTRIBUTE_READONLY)
        return FileState::ReadOnly;
    // A file this user may not write (its access list, a write-protected medium) refuses an
    // open for writing. One that another program holds open is busy, not read-only.
    const win32::Handle writable = win32::openExisting(wide, FILE_WRITE_DATA);
    if (!writable) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
            return FileState::ReadOnly;
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return FileState::Missing;
    }
    return FileState::Writable;
}

} // namespace meridal
