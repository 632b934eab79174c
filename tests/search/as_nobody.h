#pragma once

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace quorvel::testing {

// Runs body in a forked child that has dropped root's privileges (uid and gid 65534, no
// supplementary groups), so permissions apply; returns what body returned. The tests run as
// root, which no permission stops; run by another user, the child keeps that user.
inline std::string runAsNobody(const std::function<std::string()> &body)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        std::string out;
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0))
            out = "cannot drop privileges";
        else
            out = body();
        for (std::size_t at = 0; at < out.size();) {
            const ssize_t n = write(fds[1], out.data() + at, out.size() - at);
            if (n <= 0)
                break;
            at += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return out;
}

} // namespace quorvel::testing
