#include "fileops/isolated_child.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "support/temp_dir.h"

namespace quorvel::testing {

std::string runInChild(const std::function<std::string()> &body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "pipe failed";
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return "fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        std::string answer;
        try {
            answer = body();
        } catch (const std::exception &e) {
            answer = std::string("exception: ") + e.what();
        }
        std::string_view rest = answer;
        while (!rest.empty()) {
            const ssize_t n = ::write(fds[1], rest.data(), rest.size());
            if (n <= 0)
                break;
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string answer;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return "child died of signal " + std::to_string(WTERMSIG(status)) + " after: " + answer;
    return answer;
}

std::string dropToNobody()
{
    if (::setgroups(0, nullptr) != 0 || ::setresgid(nobodyId, nobodyId, nobodyId) != 0 ||
        ::setresuid(nobodyId, nobodyId, nobodyId) != 0)
        return std::string("SKIP: cannot drop privileges: ") + std::strerror(errno);
    return {};
}

std::string limitFileSize(unsigned long bytes)
{
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return std::string("setrlimit failed: ") + std::strerror(errno);
    return {};
}

std::string mountPrivateTmpfs(const std::string &folder, const std::string &options)
{
    if (::unshare(CLONE_NEWNS) != 0)
        return std::string("SKIP: no private mount namespace: ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("SKIP: cannot make mounts private: ") + std::strerror(errno);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return std::string("SKIP: cannot mount a tmpfs: ") + std::strerror(errno);
    return {};
}

ShmDir::ShmDir()
{
    std::string pattern = "/dev/shm/quorvel-test-XXXXXX";
    if (::mkdtemp(pattern.data()))
        m_path = pattern;
}

ShmDir::~ShmDir()
{
    if (!m_path.empty())
        removeTree(m_path);
}

bool sameDevice(const std::string &a, const std::string &b)
{
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

namespace {

std::string octalMode(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

void walk(const std::string &root, const std::string &relative, std::map<std::string, std::string> &out)
{
    const std::string full = relative.empty() ? root : root + "/" + relative;
    struct stat st {
    };
    if (::lstat(full.c_str(), &st) != 0) {
        out[relative] = "unreadable";
        return;
    }
    if (S_ISLNK(st.st_mode)) {
        char target[4096];
        const ssize_t n = ::readlink(full.c_str(), target, sizeof target);
        out[relative] = "link -> " + std::string(target, n > 0 ? static_cast<std::size_t>(n) : 0);
    } else if (S_ISDIR(st.st_mode)) {
        out[relative] = "dir " + octalMode(st.st_mode);
        std::error_code ec;
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(full, ec))
            names.push_back(entry.path().filename().string());
        for (const std::string &name : names)
            walk(root, relative.empty() ? name : relative + "/" + name, out);
    } else if (S_ISREG(st.st_mode)) {
        out[relative] = "file " + octalMode(st.st_mode) + " " + readFile(full);
    } else {
        out[relative] = "other " + octalMode(st.st_mode);
    }
}

} // namespace

std::map<std::string, std::string> snapshot(const std::string &root)
{
    std::map<std::string, std::string> out;
    walk(root, "", out);
    out.erase("");
    return out;
}

std::string listNames(const std::string &folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string &name : names) {
        if (!joined.empty())
            joined += " | ";
        joined += name;
    }
    return joined;
}

void setTimes(const std::string &path, long seconds, long nanoseconds)
{
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

} // namespace quorvel::testing
