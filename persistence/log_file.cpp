#include "persistence/log_file.h"

#include "persistence/atomic_file.h"
#include "persistence/user_file.h"

#include <cstdio>

namespace meridal {

std::vector<std::string> logEntries(std::string_view bytes)
{
    std::vector<std::string> entries;
    std::size_t start = 0;
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r' && c != '\0')
            continue;
        entries.emplace_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        entries.emplace_back(bytes.substr(start));
    return entries;
}

std::string logBytes(const std::vector<std::string>& entries)
{
    std::size_t total = 0;
    for (const std::string& entry : entries)
        total += entry.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (const std::string& entry : entries) {
        bytes += entry;
        bytes += "\r\n";
    }
    return bytes;
}

OpenedLog openLog(const std::string& path)
{
    OpenedLog opened;
    opened.state = fileState(path);
    if (opened.state == FileState::Missing) {
        // "x": only when nobody has made the file in the meantime.
        if (std::FILE* file = std::fopen(path.c_str(), "wx")) {
            std::fclose(file);
            opened.status = OpenedLog::Status::Created;
        } else {
            opened.status = OpenedLog::Status::NotCreated;
        }
        return opened;
    }

    UserFileContent content = readUserFile(path);
    switch (content.status) {
    case UserFileContent::Status::Ok:
        opened.entries = logEntries(content.bytes);
        break;
    case UserFileContent::Status::Missing:
        // Gone between the two looks: nothing to read, and nothing there to keep.
        break;
    case UserFileContent::Status::NotRegular:
    case UserFileContent::Status::TooLarge:
    case UserFileContent::Status::Unreadable:
        opened.status = OpenedLog::Status::Unreadable;
        opened.reason = content.reason;
        break;
    }
    return opened;
}

bool writeLog(const std::string& path, const std::vector<std::string>& entries, std::string& error)
{
    return writeFileAtomically(path, logBytes(entries), error);
}

} // namespace meridal
