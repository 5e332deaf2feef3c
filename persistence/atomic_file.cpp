#include "persistence/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace meridal {

namespace {

namespace fs = std::filesystem;

std::string describe(const std::string& what, int error)
{
    return what + ": " + std::generic_category().message(error);
}

// The file that a save really replaces: the target of a symbolic link rather than the
// link, so that a linked catalogue stays linked.
fs::path resolveTarget(const std::string& path)
{
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            return resolved;
    }
    return target;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Creates a new, empty file beside the target with a name nobody else uses. Its mode is
// what creating the target would give (0666 less the umask) until the old mode is copied.
int createTemporary(const fs::path& target, std::string& name)
{
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = target;
        candidate += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000u);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            name = candidate.string();
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

void syncFolder(const fs::path& target)
{
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // some file systems cannot sync a folder; the rename has happened anyway
    ::close(fd);
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error)
{
    const fs::path target = resolveTarget(path);
    const std::string shown = fs::path(path).filename().string();

    std::string temporary;
    const int fd = createTemporary(target, temporary);
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

    if (!writeAll(fd, bytes))
        return abandon("cannot write " + shown, errno);

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Keep the old file's permissions, and its owner where we may.
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return abandon("cannot set the permissions of " + shown, errno);
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            (void)!::fchown(fd, old.st_uid, old.st_gid);
    }

    if (::fsync(fd) != 0)
        return abandon("cannot flush " + shown + " to disk", errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        error = describe("cannot write " + shown, code);
        return false;
    }

    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        error = describe("cannot replace " + shown, code);
        return false;
    }
    syncFolder(target);
    return true;
}

std::string toCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace meridal
