// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <grp.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

// What the POSIX tests of the file layer need of the system: child processes, other users,
// resource limits, sockets.
namespace meridal::test {

// Runs `call` with the process's file size limit at `bytes`, so that a write stops part way
// whatever the user's rights; returns what `call` returned.
inline bool withFileSizeLimit(rlim_t bytes, const std::function<bool()>& call)
{
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = bytes;
    const bool limited = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    const bool result = limited && call();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    if (!limited)
        throw std::runtime_error("cannot limit the file size");
    return result;
}

// The user id of "nobody", for cases that need a user other than the owner of a file.
inline constexpr uid_t nobody = 65534;

// Runs `body` in a child process and gives its exit status. A child that is still running
// after `seconds` is stopped by SIGALRM, and one that ends by a signal counts as -1, so a
// hang or a crash fails the test instead of ending the test program.
inline int inChild(const std::function<int()>& body, unsigned seconds = 5)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("cannot fork");
    if (pid == 0) {
        ::alarm(seconds);
        rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        int code = 100;
        try {
            code = body();
        } catch (...) {
            code = 101;
        }
        std::fflush(nullptr);
        ::_exit(code);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The same as the user "nobody", which needs root; 102 when the change of user fails.
inline int asNobody(const std::function<int()>& body, unsigned seconds = 5)
{
    return inChild(
        [&] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                return 102;
            return body();
        },
        seconds);
}

inline bool canActAsAnotherUser()
{
    return ::geteuid() == 0;
}

// A listening Unix socket bound at `path`, the kind of special file a test may make anywhere.
// The socket itself is closed again; the file stays.
inline void makeSocketFile(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path)
        throw std::runtime_error("cannot make a socket at " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    if (!bound)
        throw std::runtime_error("cannot bind a socket at " + path);
}

} // namespace meridal::test
