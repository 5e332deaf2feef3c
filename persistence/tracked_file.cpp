// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/tracked_file.h"

#include "persistence/atomic_file.h"

#include <chrono>
#include <functional>
#include <string_view>
#include <utility>

namespace meridal {

namespace {

// Enough to tell one version of a user's file from another of the same size. Kept in memory
// only, never written: the standard library's hash, which reads the bytes eight at a time (a
// byte-at-a-time hash took a quarter of a large log's load).
std::uint64_t hashOf(std::string_view bytes)
{
    return std::hash<std::string_view>{}(bytes);
}

// A file system's clock may move in steps of up to two seconds (FAT), and a change made
// within the same step as the one before keeps the time the file had.
constexpr std::chrono::seconds clockStep{2};

bool changedLongAgo(const FileIdentity& identity)
{
    const auto modified =
        std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(identity.modifiedSeconds) +
            std::chrono::nanoseconds(identity.modifiedNanoseconds)));
    return std::chrono::system_clock::now() - modified > clockStep;
}

} // namespace

TrackedFile::TrackedFile(std::string path, TheirChange theirChange, std::size_t limit)
    : m_path(std::move(path)), m_theirChange(theirChange), m_limit(limit)
{
}

UserFileContent TrackedFile::read()
{
    UserFileContent content = readUserFile(m_path, m_limit);
    m_snapshot.reset();
    switch (content.status) {
    case UserFileContent::Status::Ok:
        m_found = Found::Read;
        remember(content.bytes, content.identity);
        break;
    case UserFileContent::Status::Missing:
        m_found = Found::Missing;
        break;
    case UserFileContent::Status::NotRegular:
    case UserFileContent::Status::TooLarge:
    case UserFileContent::Status::Unreadable:
        m_found = Found::Unreadable;
        break;
    }
    return content;
}

bool TrackedFile::create(std::string_view bytes, std::string& error)
{
    m_snapshot.reset();
    if (!createFile(m_path, bytes, error)) {
        m_found = Found::Missing;
        return false;
    }
    m_found = Found::Created;
    remember(bytes, std::nullopt);
    return true;
}

bool TrackedFile::save(std::string_view bytes, std::string& error)
{
    if (!writeFileAtomically(m_path, bytes, error))
        return false;
    if (m_found != Found::Read)
        m_found = Found::Created;
    remember(bytes, std::nullopt);
    return true;
}

void TrackedFile::remember(std::string_view bytes, std::optional<FileIdentity> identity)
{
    Snapshot snapshot;
    // A file just written has just changed: only its bytes tell.
    if (identity) {
        snapshot.identity = *identity;
        snapshot.identityTells = changedLongAgo(*identity);
    }
    snapshot.size = bytes.size();
    snapshot.hash = hashOf(bytes);
    m_snapshot = snapshot;
}

bool TrackedFile::unchanged(UserFileContent& now) const
{
    if (m_snapshot && m_snapshot->identityTells) {
        const std::optional<FileIdentity> identity = fileIdentity(m_path);
        if (identity && *identity == m_snapshot->identity)
            return true;
    }
    now = readUserFile(m_path, m_limit);
    // A file there at close that was not read at start was made by someone else.
    return m_snapshot && now.status == UserFileContent::Status::Ok && now.bytes.size() == m_snapshot->size &&
           hashOf(now.bytes) == m_snapshot->hash;
}

TrackedFile::Check TrackedFile::checkBeforeSave(bool changedByUs) const
{
    Check check;
    if (m_found == Found::Unreadable) {
        check.action = Action::NeverSaveOver;
        return check;
    }
    switch (fileState(m_path)) {
    case FileState::Missing:
        check.action = existedAtStart() ? Action::Gone : Action::StillMissing;
        return check;
    case FileState::ReadOnly:
        check.action = Action::ReadOnly;
        return check;
    case FileState::Writable:
        break;
    }
    if (unchanged(check.theirs))
        check.action = Action::Save;
    else if (changedByUs)
        check.action = Action::Ask;
    else
        check.action = m_theirChange == TheirChange::Merge ? Action::Merge : Action::KeepTheirs;
    if (check.action != Action::Merge)
        check.theirs = {};
    return check;
}

} // namespace meridal
