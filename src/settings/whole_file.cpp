#include "settings/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvel {
namespace {

std::string failure(const char *step)
{
    return std::string(step) + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

std::optional<std::string> readWholeFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int saved = errno;
            ::close(fd);
            errno = saved;
            return std::nullopt;
        }
        if (n == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

std::string writeWholeFileAtomically(const std::string &path, std::string_view bytes)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + (folder == "/" ? "" : "/") + "." + base + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return failure("create temporary file");

    struct stat old {
    };
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::string error;
    if (!writeAll(fd, bytes))
        error = failure("write");
    else if (::fchmod(fd, mode) != 0)
        error = failure("set permissions");
    else if (::fsync(fd) != 0)
        error = failure("flush");
    if (::close(fd) != 0 && error.empty())
        error = failure("close");
    if (error.empty() && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = failure("rename");
    if (!error.empty())
        ::unlink(temporary.c_str());
    return error;
}

} // namespace quorvel
