#include "cli/run_find.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/temp_dir.h"

namespace quorvel::testing {

namespace {

int waitFor(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

FindRun runFind(const std::vector<std::string> &args, const FindSetup &setup)
{
    TempDir io;
    ::chmod(io.path().c_str(), 0777);
    writeFile(io / "in", setup.stdinText);
    std::vector<std::string> command;
    if (setup.asNobody && ::geteuid() == 0)
        command = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    command.push_back(QUORVEL_FIND);
    command.insert(command.end(), args.begin(), args.end());
    std::fflush(nullptr);
    // The child prepares, starts the program as a grandchild and looks afterwards, so that
    // what it prepared (a private mount) lives exactly as long as the run.
    const pid_t child = ::fork();
    if (child == 0) {
        if (setup.beforeRun) {
            const std::string refusal = setup.beforeRun();
            if (!refusal.empty()) {
                writeFile(io / "setup", refusal);
                ::_exit(0);
            }
        }
        const pid_t program = ::fork();
        if (program == 0) {
            const int in = ::open((io / "in").c_str(), O_RDONLY);
            const int out = ::open((io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            const int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            ::dup2(in, 0);
            ::dup2(out, 1);
            ::dup2(err, 2);
            std::vector<char *> argv;
            for (std::string &a : command)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::setenv("LC_ALL", "C.UTF-8", 1);
            for (const auto &[name, value] : setup.environment)
                ::setenv(name.c_str(), value.c_str(), 1);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        const int status = waitFor(program);
        if (setup.afterRun)
            writeFile(io / "after", setup.afterRun());
        ::_exit(status);
    }
    FindRun run;
    run.status = waitFor(child);
    run.out = readFile(io / "out");
    run.err = readFile(io / "err");
    run.after = readFile(io / "after");
    run.setup = readFile(io / "setup");
    return run;
}

} // namespace quorvel::testing
