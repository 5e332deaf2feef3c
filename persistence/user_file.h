#pragma once

#include <cstddef>
#include <string>

namespace meridal {

// The largest user file (catalogue or log) that is read: anything bigger is no catalogue.
inline constexpr std::size_t maxUserFileBytes = std::size_t{256} << 20;

// What reading one of the user's files gave.
struct UserFileContent {
    enum class Status {
        Ok,         // `bytes` holds the whole file
        Missing,    // no such file
        NotRegular, // a folder, device, FIFO, socket, or a link that leads nowhere readable
        TooLarge,   // over the limit
        Unreadable, // exists, but could not be opened or read
    };
    Status status = Status::Missing;
    std::string bytes;
    std::string reason; // why, when the status is not Ok or Missing: "it is a folder, not a regular file"
};

// Reads the user's file at `path` in one piece, as it is on disk (no line-end changes).
// Only a regular file is opened (a FIFO, device, socket or folder is never opened, so reading
// never waits or runs a driver), and no more than its size at the time it was opened is read.
// Never throws: running out of memory gives TooLarge.
UserFileContent readUserFile(const std::string& path, std::size_t limit = maxUserFileBytes);

// What a file of this mode (st_mode) is, in words: "a folder", "a named pipe (FIFO)"...
std::string describeFileKind(unsigned mode);

// The reason given for a file over `limit`.
std::string sizeLimitReason(std::size_t limit = maxUserFileBytes);

} // namespace meridal
