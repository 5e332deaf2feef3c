// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/user_file.h"

#include "persistence/posix/file_kind.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace meridal {

namespace {

using Status = UserFileContent::Status;

UserFileContent refused(Status status, std::string reason)
{
    UserFileContent content;
    content.status = status;
    content.reason = std::move(reason);
    return content;
}

std::string systemReason(int error)
{
    return std::generic_category().message(error);
}

FileIdentity identityOf(const struct stat& st)
{
    FileIdentity identity;
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.file = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::uint64_t>(st.st_size);
    identity.modifiedSeconds = st.st_mtim.tv_sec;
    identity.modifiedNanoseconds = st.st_mtim.tv_nsec;
    return identity;
}

} // namespace

namespace posix {

std::string describeFileKind(unsigned mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG:
        return "a regular file";
    case S_IFDIR:
        return "a folder";
    case S_IFIFO:
        return "a named pipe (FIFO)";
    case S_IFSOCK:
        return "a socket";
    case S_IFCHR:
    case S_IFBLK:
        return "a device";
    case S_IFLNK:
        return "a symbolic link";
    default:
        return "a special file";
    }
}

} // namespace posix

UserFileContent readUserFile(const std::string& path, std::size_t limit)
{
    // Look before opening: opening a device runs its driver, and opening a FIFO waits for a
    // writer. Only a regular file is ever opened.
    struct stat seen {};
    if (::stat(path.c_str(), &seen) != 0) {
        const int error = errno;
        if (error == ENOENT)
            return refused(Status::Missing, {});
        if (error == ELOOP)
            return refused(Status::NotRegular, "it is a loop of symbolic links that leads to no file");
        return refused(Status::Unreadable, systemReason(error));
    }
    if (!S_ISREG(seen.st_mode))
        return refused(Status::NotRegular,
                       "it is " + posix::describeFileKind(seen.st_mode) + ", not a regular file");
    if (static_cast<std::uintmax_t>(seen.st_size) > limit)
        return refused(Status::TooLarge, sizeLimitReason(limit));

    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refused(Status::Unreadable, systemReason(errno));
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != seen.st_dev ||
        opened.st_ino != seen.st_ino) {
        ::close(fd);
        return refused(Status::NotRegular, "it was replaced by another file while it was opened");
    }
    if (static_cast<std::uintmax_t>(opened.st_size) > limit) {
        ::close(fd);
        return refused(Status::TooLarge, sizeLimitReason(limit));
    }

    // Read no more than the size seen at open: a file that somebody appends to meanwhile
    // still ends, and never passes the limit.
    UserFileContent content;
    const auto size = static_cast<std::size_t>(opened.st_size);
    try {
        content.bytes.resize(size);
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return refused(Status::TooLarge, tooLargeForMemoryReason);
    }
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, content.bytes.data() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return refused(Status::Unreadable, systemReason(error));
        }
        if (n == 0)
            break; // shortened meanwhile: what is there is the file
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    content.bytes.resize(got);
    content.status = Status::Ok;
    // As the file was when it was opened: a change made while it was read shows as a change.
    content.identity = identityOf(opened);
    return content;
}

std::optional<FileIdentity> fileIdentity(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return identityOf(st);
}

FileState fileState(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        // A link that leads nowhere is missing: the file is created where it points. Anything
        // else that exists but cannot be looked at (a loop of links, say) is left for the
        // reader, which tells why it cannot be read.
        return errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Writable;
    }
    // No write permission bit at all is read-only whoever we are (root included); otherwise
    // the file is read-only when this user may not write it (another user's file, a file
    // system mounted read-only).
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return FileState::ReadOnly;
    if (S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return FileState::ReadOnly;
    return FileState::Writable;
}

} // namespace meridal
