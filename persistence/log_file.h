// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "persistence/user_file.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace meridal {

class TrackedFile;

inline constexpr const char* logFileName = "log.txt";

// What a log may hold to be read: every entry becomes an entry of the window's log list, and
// a list of more, or of longer entries, takes the window seconds and gigabytes to show. A log
// at both limits shows in about 1.1 to 1.6 s and 0.4 GB; one of 2,000,000 entries took 2.2 to
// 3.3 s (bench/log-window.sh). A log over either limit is left alone, as a file too large to
// read is.
inline constexpr std::size_t maxLogEntries = 1'000'000;
inline constexpr std::size_t maxLogFileBytes = std::size_t{32} << 20;

// The number of entries of a log file's bytes (see logEntries), counted without making them.
std::size_t logEntryCount(std::string_view bytes);

// The entries of a log file's bytes, top entry first. A line ends at a line feed, a carriage
// return, a NUL or the end of the file; a carriage return followed by a line feed is one line
// end. An empty line is an empty entry; the end of the file right after a line end (or in an
// empty file) gives no entry.
std::vector<std::string> logEntries(std::string_view bytes);

// The bytes of a log file holding `entries`: each entry followed by CR LF.
std::string logBytes(const std::vector<std::string>& entries);

// What opening the log at start found.
struct OpenedLog {
    enum class Status {
        Read,       // the file was there and has been read into `entries`
        Created,    // it was missing and has been created empty
        NotCreated, // it was missing and could not be created (`reason` says why)
        Unreadable, // it is there but could not be read (`reason` says why): never save over it
    };
    Status status = Status::Read;
    FileState state = FileState::Missing; // the file as it was found, before it was created
    std::vector<std::string> entries;
    std::string reason;
};

// Opens the log the way the program starts: a missing file is created empty, an existing
// one is read whole. A log of more than `maxEntries` entries, or one whose entries do not
// fit into memory, is Unreadable, and `file` is marked so that it is never saved over.
// Shows nothing.
OpenedLog openLog(TrackedFile& file, std::size_t maxEntries = maxLogEntries);

// The reason given for a log of more than `maxEntries` entries.
std::string entryLimitReason(std::size_t maxEntries = maxLogEntries);

} // namespace meridal
