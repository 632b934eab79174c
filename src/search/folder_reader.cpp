#include "search/folder_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace quorvel {
namespace {

static_assert(AT_FDCWD == -100, "openPath's default argument names the working folder");

constexpr std::size_t kBufferSize = 64 * 1024;
// Below PATH_MAX with room to spare: longer paths are opened a piece at a time.
constexpr std::size_t kPathPiece = 3072;

int openFlags(bool followLink)
{
    return O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
}

} // namespace

FolderReader &FolderReader::operator=(FolderReader &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
        std::swap(m_buffer, other.m_buffer);
    }
    return *this;
}

void FolderReader::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

FolderReader::~FolderReader()
{
    close();
    std::free(m_buffer);
}

int FolderReader::openPath(std::string_view path, bool followLink, int atFd)
{
    close();
    // Without its closing "/": a "/" after a link's name would make the kernel follow it.
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    if (path.empty())
        return ENOENT;
    if (path.size() < kPathPiece) {
        const std::string copy(path);
        m_fd = ::openat(atFd, copy.c_str(), openFlags(followLink));
        return m_fd >= 0 ? 0 : errno;
    }
    // Too long for one call: open the path piece by piece, each piece relative to the last.
    int at = atFd;
    bool ownAt = false;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.size();
        if (end - start >= kPathPiece) {
            end = path.rfind('/', start + kPathPiece - 1);
            if (end == std::string::npos || end <= start)
                return ENAMETOOLONG; // a single name longer than any filesystem allows
        }
        const std::string piece(path.substr(start, end - start));
        const bool last = end >= path.size();
        const int next = ::openat(at, piece.c_str(), openFlags(last ? followLink : true));
        const int error = errno;
        if (ownAt)
            ::close(at);
        if (next < 0)
            return error;
        at = next;
        ownAt = true;
        start = end;
        while (start < path.size() && path[start] == '/')
            ++start;
    }
    m_fd = at;
    return 0;
}

int FolderReader::openChild(int parentFd, std::string_view name)
{
    close();
    const std::string copy(name);
    m_fd = ::openat(parentFd, copy.c_str(), openFlags(false));
    return m_fd >= 0 ? 0 : errno;
}

long FolderReader::readChunk()
{
    if (!m_buffer) {
        m_buffer = static_cast<char *>(std::malloc(kBufferSize));
        if (!m_buffer)
            return -ENOMEM;
    }
    for (;;) {
        const long got = ::syscall(SYS_getdents64, m_fd, m_buffer, kBufferSize);
        if (got >= 0)
            return got;
        if (errno != EINTR)
            return -errno;
    }
}

std::uint64_t FolderReader::mountIdentity() const
{
#ifdef STATX_MNT_ID
    struct statx sx;
    if (::statx(m_fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &sx) == 0 && (sx.stx_mask & STATX_MNT_ID))
        return sx.stx_mnt_id;
#endif
    struct stat st;
    if (::fstat(m_fd, &st) == 0)
        return (std::uint64_t{1} << 63) | st.st_dev;
    return 0;
}

EntryKind FolderReader::resolve(std::string_view name, ListedType type) const
{
    if (type == ListedType::Folder)
        return EntryKind::Folder;
    if (type == ListedType::File)
        return EntryKind::File;
    const std::string copy(name);
    struct stat st;
    if (type == ListedType::Unknown) {
        if (::fstatat(m_fd, copy.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return EntryKind::File;
        if (S_ISDIR(st.st_mode))
            return EntryKind::Folder;
        if (!S_ISLNK(st.st_mode))
            return EntryKind::File;
    }
    if (::fstatat(m_fd, copy.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode))
        return EntryKind::FolderLink;
    return EntryKind::File;
}

} // namespace quorvel
