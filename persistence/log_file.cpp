// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/log_file.h"

#include "persistence/tracked_file.h"

#include <new>

namespace meridal {

namespace {

bool endsLine(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

// Calls `entry(start, length)` for each entry of `bytes`, in order.
template <typename Entry> void forEachEntry(std::string_view bytes, Entry entry)
{
    std::size_t start = 0;
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (!endsLine(c))
            continue;
        entry(start, i - start);
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        entry(start, size - start);
}

} // namespace

std::size_t logEntryCount(std::string_view bytes)
{
    std::size_t count = 0;
    forEachEntry(bytes, [&](std::size_t, std::size_t) { ++count; });
    return count;
}

std::vector<std::string> logEntries(std::string_view bytes)
{
    std::vector<std::string> entries;
    forEachEntry(bytes, [&](std::size_t start, std::size_t length) {
        entries.emplace_back(bytes.substr(start, length));
    });
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

std::string entryLimitReason(std::size_t maxEntries)
{
    return "it holds more than " + std::to_string(maxEntries) + " entries, more than the log list can show";
}

OpenedLog openLog(TrackedFile& file, std::size_t maxEntries)
{
    OpenedLog opened;
    opened.state = fileState(file.path());
    if (opened.state == FileState::Missing) {
        // Only where nobody has made the file in the meantime.
        opened.status =
            file.create({}, opened.reason) ? OpenedLog::Status::Created : OpenedLog::Status::NotCreated;
        return opened;
    }

    const UserFileContent content = file.read();
    switch (content.status) {
    case UserFileContent::Status::Ok:
        break;
    case UserFileContent::Status::Missing:
        // Gone between the two looks: nothing to read, and nothing there to keep.
        return opened;
    case UserFileContent::Status::NotRegular:
    case UserFileContent::Status::TooLarge:
    case UserFileContent::Status::Unreadable:
        opened.status = OpenedLog::Status::Unreadable;
        opened.reason = content.reason;
        return opened;
    }

    // Counted first: a log too long to show never has its entries made.
    if (logEntryCount(content.bytes) > maxEntries) {
        opened.status = OpenedLog::Status::Unreadable;
        opened.reason = entryLimitReason(maxEntries);
        file.markUnreadable();
        return opened;
    }
    try {
        opened.entries = logEntries(content.bytes);
    } catch (const std::bad_alloc&) {
        opened.status = OpenedLog::Status::Unreadable;
        opened.reason = tooLargeForMemoryReason;
        file.markUnreadable();
    }
    return opened;
}

} // namespace meridal
