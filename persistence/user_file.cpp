#include "persistence/user_file.h"

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

} // namespace

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

std::string sizeLimitReason(std::size_t limit)
{
    return "it is larger than " + std::to_string(limit >> 20) + " MB, more than any catalogue or log holds";
}

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
                       "it is " + describeFileKind(seen.st_mode) + ", not a regular file");
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
        return refused(Status::TooLarge, "it is too large for the memory available");
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
    return content;
}

} // namespace meridal
