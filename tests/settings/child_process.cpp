#include "settings/child_process.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace quorvel::testing {

int runInChild(const std::function<int()> &body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

int runAsNobody(const std::function<int()> &body)
{
    return runInChild([&] {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0)
            return 99;
        return body();
    });
}

} // namespace quorvel::testing
