// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The one reader of the user's files (the catalogue, the log, the profile). The system calls
// behind it live in persistence/posix and persistence/win32; this header is the same for
// every system, and so are the paths it takes: UTF-8 text (the system's bytes on Linux).

namespace meridal {

// The largest user file (catalogue or log) that is read: anything bigger is no catalogue.
inline constexpr std::size_t maxUserFileBytes = std::size_t{256} << 20;

// Which file, and which version of it, as the file system tells without reading it: two
// equal identities are the same file, not changed in between (to the precision of the file
// system's clock).
struct FileIdentity {
    std::uint64_t device = 0; // the device, or on Windows the volume's serial number
    std::uint64_t file = 0;   // the file's number on its device (inode, file index)
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0; // last change of the content, since 1970 (UTC)
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

// What reading one of the user's files gave.
struct UserFileContent {
    enum class Status {
        Ok,         // `bytes` holds the whole file
        Missing,    // no such file
        NotRegular, // a folder, device (NUL, COM1...), pipe, socket, or a link that leads nowhere readable
        TooLarge,   // over the limit
        Unreadable, // exists, but could not be opened or read
    };
    Status status = Status::Missing;
    std::string bytes;
    std::string reason; // why, when the status is not Ok or Missing: "it is a folder, not a regular file"
    // When Ok: the file that was read, as it was when it was opened.
    FileIdentity identity;
};

// Reads the user's file at `path` in one piece, as it is on disk (no line-end changes).
// Only a regular file is opened for reading (a FIFO, device, socket or folder never is, so
// reading never waits or runs a driver), and no more than its size at the time it was opened
// is read. Never throws: running out of memory gives TooLarge.
UserFileContent readUserFile(const std::string& path, std::size_t limit = maxUserFileBytes);

// The identity of the file at `path` now (a link is followed); nothing when there is none.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// What the file system says about a file: missing (a link that leads nowhere included),
// read-only (no write permission bit in its mode, whoever we are, or a file this user may
// not write; on Windows the read-only attribute, or an open for writing that is refused),
// or writable. A file that another program holds open is busy, not read-only.
enum class FileState { Missing, ReadOnly, Writable };
FileState fileState(const std::string& path);

// The reason given for a file whose content does not fit into the memory left.
inline constexpr const char* tooLargeForMemoryReason = "it is too large for the memory available";

// The reason given for a file over `limit`.
std::string sizeLimitReason(std::size_t limit = maxUserFileBytes);

} // namespace meridal
