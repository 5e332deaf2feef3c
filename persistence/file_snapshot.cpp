#include "persistence/file_snapshot.h"

#include "persistence/user_file.h"

#include <string_view>
#include <sys/stat.h>

namespace meridal {

namespace {

// FNV-1a, 64 bits: fast, and enough to tell one version of a user's file from another.
std::uint64_t hashOf(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

struct Identity {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t seconds = 0, nanoseconds = 0;
};

Identity identify(const std::string& path)
{
    struct stat st {};
    Identity identity;
    if (::stat(path.c_str(), &st) != 0)
        return identity;
    identity.exists = true;
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.inode = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::uint64_t>(st.st_size);
    identity.seconds = st.st_mtim.tv_sec;
    identity.nanoseconds = st.st_mtim.tv_nsec;
    return identity;
}

} // namespace

FileSnapshot FileSnapshot::take(const std::string& path)
{
    FileSnapshot snapshot;
    const Identity before = identify(path);
    const UserFileContent content = readUserFile(path);
    if (!before.exists || content.status != UserFileContent::Status::Ok)
        return snapshot;
    snapshot.m_taken = true;
    snapshot.m_device = before.device;
    snapshot.m_inode = before.inode;
    snapshot.m_size = before.size;
    snapshot.m_modifiedSeconds = before.seconds;
    snapshot.m_modifiedNanoseconds = before.nanoseconds;
    snapshot.m_hash = hashOf(content.bytes);
    return snapshot;
}

bool FileSnapshot::matches(const std::string& path) const
{
    if (!m_taken)
        return false;
    const Identity now = identify(path);
    if (!now.exists)
        return false;
    if (now.device == m_device && now.inode == m_inode && now.size == m_size &&
        now.seconds == m_modifiedSeconds && now.nanoseconds == m_modifiedNanoseconds)
        return true;
    const UserFileContent content = readUserFile(path);
    return content.status == UserFileContent::Status::Ok && hashOf(content.bytes) == m_hash;
}

} // namespace meridal
