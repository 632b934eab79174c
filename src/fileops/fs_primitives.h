#pragma once

// Small building blocks of the file operations, on folder descriptors so that a path is
// resolved once and a folder renamed meanwhile cannot redirect the work. Internal to
// fileops/.

#include <sys/stat.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fileops/file_op_result.h"

namespace quorvel::detail {

// Owns one file descriptor and closes it when it goes.
class UniqueFd
{
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd &&other) noexcept : m_fd(other.release()) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd = -1);

  private:
    int m_fd = -1;
};

// Device and inode: what makes two paths the same entry.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Identity &) const = default;
};
inline Identity identityOf(const struct stat &st)
{
    return {st.st_dev, st.st_ino};
}

// A failed result: "<what> <path>: <strerror(err)>".
FileOpResult failure(std::string_view what, std::string_view path, int err);
FileOpResult cancelled();
FileOpResult done(std::string target);

// folder + "/" + name, without doubling a separator that folder already ends with.
std::string joinPath(std::string_view folder, std::string_view name);

// A path cut into the folder that holds the entry and the entry's name. Trailing slashes
// are dropped first. Fails (nothing) for the empty path, "/", and names "." and "..",
// which name no entry that could be copied, moved or deleted on its own.
struct SplitPath {
    std::string path; // without trailing slashes
    std::string folder;
    std::string name;
};
std::optional<SplitPath> splitEntryPath(std::string_view path);

// Opens a folder for the *at calls: for reading when allowed, else as a bare path handle
// (enough to create, rename and stat entries in it). errno tells why it failed.
UniqueFd openFolder(int atFd, const char *path, bool followLinks = true);

// Every name in the folder but "." and "..", read at once, so that the caller may change
// the folder while it works through them. Nothing (errno set) when it cannot be listed.
std::optional<std::vector<std::string>> listFolder(int folderFd);

// Gives the entry `from` of folder fromFd the name `to` in folder toFd, never replacing an
// entry: returns 0, EEXIST when the name is taken, or another errno. Uses
// renameat2(RENAME_NOREPLACE); where a filesystem lacks it, a hard link (files) or a
// reserved placeholder (an empty file or folder created exclusively, then renamed over)
// keeps the step free of races.
int renameNoReplace(int fromFd, const std::string &from, int toFd, const std::string &to, bool isFolder);

// A name for a temporary entry beside `finalName`: hidden, unlikely to be taken, and
// short enough for any filesystem ("." + up to 200 bytes of the name + ".qv" + random).
std::string temporaryName(std::string_view finalName);

// Removes entry `name` of folder folderFd and, for a folder, everything below it, never
// following a link. It carries on past failures and reports the first one (with
// `displayPath` standing for the entry) and how many entries stayed. With makeWritable it
// gives itself write access to folders it owns that lack it (for half-built copies of
// read-only folders).
struct RemovalResult {
    int errorNumber = 0;
    std::string failedPath;
    std::size_t entriesLeft = 0;
    bool ok() const { return errorNumber == 0; }
};
RemovalResult removeEntryAt(int folderFd, const std::string &name, const std::string &displayPath, bool makeWritable);

// True when the folder folderFd is the folder `ancestor` or lies anywhere below it,
// judged by walking ".." up to the root (so links and odd spellings of paths do not fool
// it).
bool isSameOrBelow(int folderFd, const Identity &ancestor);

} // namespace quorvel::detail
