#pragma once

#include "persistence/catalogue_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace meridal {

inline constexpr const char* logFileName = "log.txt";

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
        NotCreated, // it was missing and could not be created
        Unreadable, // it is there but could not be read (`reason` says why): never save over it
    };
    Status status = Status::Read;
    FileState state = FileState::Missing; // the file as it was found, before it was created
    std::vector<std::string> entries;
    std::string reason;
};

// Opens the log at `path` the way the program starts: a missing file is created empty, an
// existing one is read whole. Shows nothing.
OpenedLog openLog(const std::string& path);

// Replaces the log file at `path` with `entries` atomically (see atomic_file.h). On failure
// `error` says why and the file keeps its content.
bool writeLog(const std::string& path, const std::vector<std::string>& entries, std::string& error);

} // namespace meridal
