// SPDX-License-Identifier: GPL-3.0-or-later
#include "persistence/atomic_file.h"

#include "persistence/posix/file_kind.h"
#include "persistence/temporary_copy.h"
#include "persistence/user_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace meridal {

namespace {

namespace fs = std::filesystem;

std::string describe(const std::string& what, int error)
{
    return what + ": " + std::generic_category().message(error);
}

std::string folderOf(const std::string& path)
{
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// The file that a save writes: the end of any chain of symbolic links, so that a linked
// catalogue stays linked.
struct Target {
    std::string path;
    bool exists = false;
    struct stat status {};
};

bool resolveTarget(const std::string& path, const std::string& shown, Target& target, std::string& error)
{
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            const int code = errno;
            if (code != ENOENT) {
                error = describe("cannot look at " + shown, code);
                return false;
            }
            // Not there yet: it is created where it is named, as long as its folder exists.
            struct stat folder {};
            if (::stat(folderOf(current).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode)) {
                target.path = current;
                target.exists = false;
                return true;
            }
            error = current == path
                        ? "the folder of " + shown + " does not exist"
                        : shown + " is a link to " + current + ", in a folder that does not exist";
            return false;
        }
        if (!S_ISLNK(st.st_mode)) {
            target.path = current;
            target.exists = true;
            target.status = st;
            return true;
        }
        std::vector<char> buffer(PATH_MAX + 1);
        const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size() - 1);
        if (length < 0) {
            error = describe("cannot follow the link " + shown, errno);
            return false;
        }
        const fs::path next(std::string(buffer.data(), static_cast<std::size_t>(length)));
        current = next.is_absolute() ? next.string() : (fs::path(current).parent_path() / next).string();
    }
    error = shown + " is a loop of symbolic links that leads to no file; it was left alone";
    return false;
}

bool writeAll(int fd, std::string_view bytes)
{
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

std::string hostName()
{
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0)
        return "localhost";
    return hostNameForFiles(host);
}

std::string fileNameOf(const std::string& target)
{
    return fs::path(target).filename().string();
}

// Removes what earlier interrupted saves of `target` left behind.
void removeLeftovers(const std::string& target)
{
    const std::string fileName = fileNameOf(target);
    const std::string host = hostName();
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::optional<std::uint64_t> writer =
            temporaryCopyWriter(it->path().filename().string(), fileName, host);
        if (!writer || *writer > static_cast<std::uint64_t>(std::numeric_limits<pid_t>::max()))
            continue;
        const auto pid = static_cast<pid_t>(*writer);
        // Our own process saves one file at a time, so a copy named for it is from a process
        // that ended long ago and had the same number.
        if (pid != ::getpid() && !(::kill(pid, 0) != 0 && errno == ESRCH))
            continue;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(it->path().c_str());
    }
}

// Creates a new, empty file beside the target with a name nobody else uses, readable and
// writable by us alone until the caller gives it its final mode.
int createTemporary(const std::string& target, std::string& name)
{
    const fs::path folder = folderOf(target);
    const std::string fileName = fileNameOf(target);
    const std::string host = hostName();
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            (folder /
             temporaryCopyName(fileName, host, static_cast<std::uint64_t>(::getpid()), random() % 1000000u))
                .string();
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 || errno != EEXIST) {
            name = candidate;
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

void syncFolder(const std::string& target)
{
    const int fd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // some file systems cannot sync a folder; the rename has happened anyway
    ::close(fd);
}

mode_t newFileMode()
{
    // The umask can only be read by setting it; the program saves from one thread.
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return 0666 & ~mask;
}

bool inGroup(gid_t group)
{
    if (group == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

// A new file in the old one's place keeps what the user has only when the old file is ours
// alone: one name, our own, a group we can give the new file, no extended attributes (ACLs
// are kept in them) that a new file would not have, in a folder we may change.
bool replacingKeepsEverything(const Target& target)
{
    const struct stat& st = target.status;
    if (st.st_nlink != 1 || st.st_uid != ::geteuid())
        return false;
    if (st.st_gid != ::getegid() && ::geteuid() != 0 && !inGroup(st.st_gid))
        return false;
    if (::llistxattr(target.path.c_str(), nullptr, 0) > 0)
        return false;
    return ::faccessat(AT_FDCWD, folderOf(target.path).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Writes a temporary copy and renames it over the target: a reader or a crash sees the old
// file or the new one, never a part.
bool replaceWhole(const Target& target, std::string_view bytes, const std::string& shown, std::string& error)
{
    std::string temporary;
    const int fd = createTemporary(target.path, temporary);
    if (fd < 0) {
        error = describe("cannot create a temporary file beside " + shown, errno);
        return false;
    }
    auto abandon = [&](const std::string& what, int code) {
        ::close(fd);
        ::unlink(temporary.c_str());
        error = describe(what, code);
        return false;
    };

    // The copy gets its final group and mode before it holds a byte.
    mode_t mode = newFileMode();
    if (target.exists) {
        mode = target.status.st_mode & 07777;
        struct stat copy {};
        if (::fstat(fd, &copy) == 0 && copy.st_gid != target.status.st_gid &&
            ::fchown(fd, static_cast<uid_t>(-1), target.status.st_gid) != 0)
            return abandon("cannot give the new " + shown + " the old file's group", errno);
    }
    if (::fchmod(fd, mode) != 0)
        return abandon("cannot set the permissions of " + shown, errno);
    if (!writeAll(fd, bytes))
        return abandon("cannot write " + shown, errno);
    if (::fsync(fd) != 0)
        return abandon("cannot flush " + shown + " to disk", errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        error = describe("cannot write " + shown, code);
        return false;
    }
    if (::rename(temporary.c_str(), target.path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        error = describe("cannot replace " + shown, code);
        return false;
    }
    syncFolder(target.path);
    return true;
}

// Writes the bytes into the file itself, which keeps its owner, links and attributes. The
// room for the new content is reserved first, so a full disk fails before an old byte is lost.
bool writeInPlace(const Target& target, std::string_view bytes, const std::string& shown, std::string& error)
{
    const int fd = ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        error = describe("cannot open " + shown + " for writing", errno);
        return false;
    }
    auto fail = [&](const std::string& what, int code) {
        ::close(fd);
        error = describe(what, code);
        return false;
    };
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != target.status.st_dev ||
        opened.st_ino != target.status.st_ino) {
        ::close(fd);
        error = shown + " was replaced by another file while it was saved; it was left alone";
        return false;
    }
    if (!bytes.empty()) {
        const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != ENOSYS) {
            // Whatever the reservation added at the end goes again; the old bytes are untouched.
            struct stat now {};
            if (::fstat(fd, &now) == 0 && now.st_size > opened.st_size)
                (void)!::ftruncate(fd, opened.st_size);
            return fail("there is no room for the new " + shown + "; the file was left as it was", reserved);
        }
    }
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        return fail("cannot write " + shown, errno);
    if (!writeAll(fd, bytes))
        return fail("cannot write " + shown, errno);
    if (::fsync(fd) != 0)
        return fail("cannot flush " + shown + " to disk", errno);
    if (::close(fd) != 0) {
        error = describe("cannot write " + shown, errno);
        return false;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error)
{
    const std::string shown = fs::path(path).filename().string();
    Target target;
    if (!resolveTarget(path, shown, target, error))
        return false;
    const mode_t mode = target.status.st_mode;
    if (target.exists && !S_ISREG(mode)) {
        error = shown + " is " + posix::describeFileKind(mode) + ", not a regular file; it was left alone";
        return false;
    }
    if (target.exists && ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                          ::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0)) {
        error = shown + " is read-only; it was left as it is";
        return false;
    }

    removeLeftovers(target.path);
    if (!target.exists || replacingKeepsEverything(target))
        return replaceWhole(target, bytes, shown, error);
    return writeInPlace(target, bytes, shown, error);
}

bool createFile(const std::string& path, std::string_view bytes, std::string& error)
{
    const std::string shown = fs::path(path).filename().string();
    Target target;
    if (!resolveTarget(path, shown, target, error))
        return false;
    if (target.exists) {
        error = shown + " was made by another program meanwhile; it was left alone";
        return false;
    }

    // A private copy, given the mode of a new file, is linked into place: the file appears
    // whole, and only where none is.
    removeLeftovers(target.path);
    std::string temporary;
    const int fd = createTemporary(target.path, temporary);
    if (fd < 0) {
        error = describe("cannot create " + shown, errno);
        return false;
    }
    auto abandon = [&](int code) {
        ::unlink(temporary.c_str());
        error = describe("cannot create " + shown, code);
        return false;
    };
    if (::fchmod(fd, newFileMode()) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        return abandon(code);
    }
    if (::close(fd) != 0)
        return abandon(errno);
    if (::link(temporary.c_str(), target.path.c_str()) == 0) {
        ::unlink(temporary.c_str());
        syncFolder(target.path);
        return true;
    }
    const int code = errno;
    if (code == EEXIST) {
        ::unlink(temporary.c_str());
        error = shown + " was made by another program meanwhile; it was left alone";
        return false;
    }
    // A file system without hard links: the copy takes the place while it is still free.
    struct stat st {};
    if ((code == EPERM || code == EOPNOTSUPP) && ::lstat(target.path.c_str(), &st) != 0 && errno == ENOENT &&
        ::rename(temporary.c_str(), target.path.c_str()) == 0) {
        syncFolder(target.path);
        return true;
    }
    return abandon(code);
}

} // namespace meridal
