#include "fileops/fs_primitives.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace quorvel::detail {

void UniqueFd::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

FileOpResult failure(std::string_view what, std::string_view path, int err)
{
    FileOpResult result;
    result.status = FileOpStatus::Failed;
    result.errorNumber = err;
    result.reason.append(what);
    if (!path.empty()) {
        result.reason.push_back(' ');
        result.reason.append(path);
    }
    if (err != 0) {
        result.reason.append(": ");
        result.reason.append(std::strerror(err));
    }
    return result;
}

FileOpResult cancelled()
{
    FileOpResult result;
    result.status = FileOpStatus::Cancelled;
    result.reason = "cancelled";
    return result;
}

FileOpResult done(std::string target)
{
    FileOpResult result;
    result.status = FileOpStatus::Done;
    result.target = std::move(target);
    return result;
}

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

std::optional<SplitPath> splitEntryPath(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    if (path.empty() || path == "/")
        return std::nullopt;
    SplitPath split;
    split.path = std::string(path);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        split.folder = ".";
        split.name = std::string(path);
    } else {
        split.folder = slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
        split.name = std::string(path.substr(slash + 1));
    }
    if (split.name == "." || split.name == "..")
        return std::nullopt;
    return split;
}

UniqueFd openFolder(int atFd, const char *path, bool followLinks)
{
    const int nofollow = followLinks ? 0 : O_NOFOLLOW;
    int fd = ::openat(atFd, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | nofollow);
    if (fd < 0 && errno == EACCES)
        fd = ::openat(atFd, path, O_PATH | O_DIRECTORY | O_CLOEXEC | nofollow);
    return UniqueFd(fd);
}

std::optional<std::vector<std::string>> listFolder(int folderFd)
{
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry)
            break;
        const char *n = entry->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        names.emplace_back(n);
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        errno = readError;
        return std::nullopt;
    }
    return names;
}

int renameNoReplace(int fromFd, const std::string &from, int toFd, const std::string &to, bool isFolder)
{
    if (::renameat2(fromFd, from.c_str(), toFd, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP)
        return err;
    // The filesystem cannot rename without replacing: take the name first in a way that
    // fails when it is taken, then move the entry onto it.
    if (!isFolder) {
        if (::linkat(fromFd, from.c_str(), toFd, to.c_str(), 0) == 0) {
            if (::unlinkat(fromFd, from.c_str(), 0) != 0) {
                const int unlinkError = errno;
                ::unlinkat(toFd, to.c_str(), 0);
                return unlinkError;
            }
            return 0;
        }
        if (errno == EEXIST || errno == EXDEV)
            return errno;
        const int placeholder = ::openat(toFd, to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (placeholder < 0)
            return errno;
        ::close(placeholder);
    } else if (::mkdirat(toFd, to.c_str(), 0700) != 0) {
        return errno;
    }
    if (::renameat(fromFd, from.c_str(), toFd, to.c_str()) != 0) {
        const int renameError = errno;
        ::unlinkat(toFd, to.c_str(), isFolder ? AT_REMOVEDIR : 0);
        return renameError;
    }
    return 0;
}

std::string temporaryName(std::string_view finalName)
{
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 generator{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    std::string name = ".";
    name.append(finalName.substr(0, 200));
    name.append(".qv");
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
    for (int i = 0; i < 8; ++i)
        name.push_back(alphabet[pick(generator)]);
    return name;
}

namespace {

void noteFailure(RemovalResult &result, int err, const std::string &path)
{
    if (result.errorNumber == 0) {
        result.errorNumber = err;
        result.failedPath = path;
    }
    ++result.entriesLeft;
}

void removeBelow(int parentFd, const std::string &name, const std::string &path, bool makeWritable,
                 RemovalResult &result)
{
    struct stat st {
    };
    if (::fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            noteFailure(result, errno, path);
        return;
    }
    if (!S_ISDIR(st.st_mode)) {
        if (::unlinkat(parentFd, name.c_str(), 0) != 0 && errno != ENOENT)
            noteFailure(result, errno, path);
        return;
    }
    const bool mayChangeMode = makeWritable && st.st_uid == ::geteuid();
    if (mayChangeMode && (st.st_mode & 0700) != 0700)
        ::fchmodat(parentFd, name.c_str(), (st.st_mode & 07777) | 0700, 0);
    UniqueFd folder(::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid()) {
        noteFailure(result, errno, path);
        return;
    }
    const auto names = listFolder(folder.get());
    if (!names) {
        noteFailure(result, errno, path);
        return;
    }
    const std::size_t failuresBefore = result.entriesLeft;
    for (const std::string &child : *names)
        removeBelow(folder.get(), child, joinPath(path, child), makeWritable, result);
    folder.reset();
    if (::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT) {
        // A folder that keeps a child that could not go is expected to stay; only report it
        // on its own when it is the first thing that failed.
        if (result.entriesLeft == failuresBefore)
            noteFailure(result, errno, path);
        else
            ++result.entriesLeft;
    }
}

} // namespace

RemovalResult removeEntryAt(int folderFd, const std::string &name, const std::string &displayPath, bool makeWritable)
{
    RemovalResult result;
    removeBelow(folderFd, name, displayPath, makeWritable, result);
    return result;
}

bool isSameOrBelow(int folderFd, const Identity &ancestor)
{
    UniqueFd current(::openat(folderFd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat st {
    };
    if (!current.valid() || ::fstat(current.get(), &st) != 0)
        return false;
    // Deeper than any real tree; guards against a loop that cannot happen on a sane system.
    for (int depth = 0; depth < 65536; ++depth) {
        if (identityOf(st) == ancestor)
            return true;
        UniqueFd parent(::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
        struct stat parentSt {
        };
        if (!parent.valid() || ::fstat(parent.get(), &parentSt) != 0)
            return false;
        if (identityOf(parentSt) == identityOf(st))
            return false;
        current = std::move(parent);
        st = parentSt;
    }
    return false;
}

} // namespace quorvel::detail
