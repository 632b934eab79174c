#include "fileops/copy_move.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "fileops/fs_primitives.h"
#include "fileops/numbered_name.h"

namespace quorvel {
namespace {

using detail::failure;
using detail::Identity;
using detail::identityOf;
using detail::joinPath;
using detail::UniqueFd;

constexpr std::size_t copyBlock = std::size_t(4) << 20;
constexpr std::uint64_t progressStep = std::uint64_t(4) << 20;
constexpr std::size_t bufferSize = std::size_t(1) << 20;
constexpr unsigned maxNumberedNames = 100000;

bool sameTime(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A filesystem that cannot store an owner, a mode or a time (FAT, some network shares)
// answers with one of these; the copy is still good.
bool cannotStoreMetadata(int err)
{
    return err == EPERM || err == ENOTSUP || err == EOPNOTSUPP || err == ENOSYS;
}

// What a copy saw of each source entry, so that a move across filesystems removes exactly
// what it copied and nothing that changed or appeared meanwhile.
struct CopiedEntry {
    std::string name;
    mode_t type = 0; // 0: not copied, never removed
    Identity id;
    off_t size = 0;
    timespec mtime{};
    std::vector<CopiedEntry> children;

    void noteSource(const std::string &entryName, const struct stat &st)
    {
        name = entryName;
        type = st.st_mode & S_IFMT;
        id = identityOf(st);
        size = st.st_size;
        mtime = st.st_mtim;
    }
};

// One copy or move of one entry: the first failure, the bytes done, the folder being
// written (so the walk never copies its own output).
class Transfer
{
  public:
    Transfer(const OperationControl &control, bool forMove) : m_control(control), m_forMove(forMove) {}

    FileOpResult copyTop(int srcParent, const std::string &name, const struct stat &st, const std::string &srcPath,
                         int dstFolder, const std::string &dstFolderPath, ClashMode mode);
    FileOpResult moveTop(int srcParent, const std::string &name, const struct stat &st, const std::string &srcPath,
                         int dstFolder, const std::string &dstFolderPath, ClashMode mode);

  private:
    bool fail(FileOpResult result)
    {
        if (!m_failed) {
            m_failure = std::move(result);
            m_failed = true;
        }
        return false;
    }
    bool fail(std::string_view what, std::string_view path, int err) { return fail(failure(what, path, err)); }
    bool keepGoing()
    {
        if (m_control.cancel && m_control.cancel->load(std::memory_order_relaxed))
            return fail(detail::cancelled());
        return true;
    }
    void reportProgress(bool final)
    {
        if (!m_control.onProgress || m_bytesDone == m_bytesReported)
            return;
        if (final || m_bytesDone - m_bytesReported >= progressStep) {
            m_bytesReported = m_bytesDone;
            m_control.onProgress(m_bytesDone);
        }
    }
    FileOpResult finish(std::string target)
    {
        reportProgress(true);
        if (m_failed)
            return m_failure;
        return detail::done(std::move(target));
    }
    bool isOwnOutput(const Identity &id) const
    {
        for (const Identity &own : m_output) {
            if (own == id)
                return true;
        }
        return false;
    }
    void noteOutput(int folderFd)
    {
        struct stat st {
        };
        if (m_output.empty() && ::fstat(folderFd, &st) == 0)
            m_output.push_back(identityOf(st));
    }
    void removeHalfMade(int folderFd, const std::string &name, const std::string &shownAs);

    void openFlushTarget(int dstFolder);
    bool placeCopy(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath, int dstDir,
                   const std::string &dstDirPath, ClashMode mode, CopiedEntry *record, std::string *finalPath,
                   int attempts = 0);
    bool build(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath, int dstDir,
               const std::string &newName, const std::string &shownAs, bool durable, CopiedEntry *record);
    bool copyRegular(int srcDir, const std::string &name, const std::string &srcPath, int dstDir,
                     const std::string &newName, const std::string &shownAs, bool durable, CopiedEntry *record);
    bool copyData(int in, int out, off_t expected, const std::string &srcPath, const std::string &shownAs,
                  std::uint64_t &copied);
    bool copyLink(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath, int dstDir,
                  const std::string &newName, const std::string &shownAs, CopiedEntry *record);
    bool copySpecial(int srcDir, const std::string &name, const struct stat &st, int dstDir, const std::string &newName,
                     const std::string &shownAs, CopiedEntry *record);
    bool copyFolder(int srcDir, const std::string &name, const std::string &srcPath, int dstDir,
                    const std::string &newName, const std::string &shownAs, bool durable, CopiedEntry *record);
    bool mergeFolder(int srcDir, const std::string &name, const std::string &srcPath, int dstDir,
                     const std::string &existingName, const std::string &existingPath, CopiedEntry *record);
    bool copyChildren(int srcFolder, const std::string &srcPath, int dstFolder, const std::string &dstPath, bool merge,
                      bool durable, CopiedEntry *record);
    bool keepMetadata(int fd, int atFd, const char *name, const struct stat &st, bool isLink,
                      const std::string &shownAs);

    bool moveInto(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath, int dstDir,
                  const std::string &dstDirPath, ClashMode mode, std::string *finalPath, int attempts = 0);
    bool moveAcross(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath, int dstDir,
                    const std::string &dstDirPath, ClashMode mode, std::string *finalPath);
    void removeCopied(int parentFd, const CopiedEntry &entry, const std::string &path);

    const OperationControl &m_control;
    const bool m_forMove;
    bool m_failed = false;
    FileOpResult m_failure;
    std::uint64_t m_bytesDone = 0;
    std::uint64_t m_bytesReported = 0;
    bool m_copyRangeUsable = true;
    // A move flushes each new file and folder to disk as it is made, unless one flush of
    // the whole destination filesystem follows (a folder moved across filesystems).
    bool m_flushEachEntry = true;
    // The destination's filesystem, opened before anything is written, so that one syncfs()
    // on it flushes a whole moved folder and reports the write-back errors of the run.
    UniqueFd m_flushFs;
    dev_t m_flushDevice = 0;
    std::vector<char> m_buffer;
    std::vector<Identity> m_output;
    // Removal of a moved source: the first entry that had to stay.
    std::string m_keptReason;
};

void Transfer::removeHalfMade(int folderFd, const std::string &name, const std::string &shownAs)
{
    const detail::RemovalResult removal = detail::removeEntryAt(folderFd, name, shownAs, true);
    if (!removal.ok() && m_failed) {
        m_failure.reason += "; a partial copy could not be removed (" +
                            std::string(std::strerror(removal.errorNumber)) +
                            "): " + joinPath(shownAs.substr(0, shownAs.rfind('/')), name);
    }
}

// Sets owner (moves only), mode and times of a freshly made entry. fd is the open entry,
// or -1 to address it as name in atFd.
bool Transfer::keepMetadata(int fd, int atFd, const char *name, const struct stat &st, bool isLink,
                            const std::string &shownAs)
{
    const int noFollow = isLink ? AT_SYMLINK_NOFOLLOW : 0;
    if (m_forMove) {
        const int r = fd >= 0 ? ::fchown(fd, st.st_uid, st.st_gid)
                              : ::fchownat(atFd, name, st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
        if (r != 0 && !cannotStoreMetadata(errno))
            return fail("cannot set the owner of", shownAs, errno);
    }
    if (!isLink) {
        const mode_t mode = st.st_mode & 07777;
        const int r = fd >= 0 ? ::fchmod(fd, mode) : ::fchmodat(atFd, name, mode, 0);
        if (r != 0 && !cannotStoreMetadata(errno))
            return fail("cannot set the permissions of", shownAs, errno);
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    const int r = fd >= 0 ? ::futimens(fd, times) : ::utimensat(atFd, name, times, noFollow);
    if (r != 0 && !cannotStoreMetadata(errno))
        return fail("cannot set the times of", shownAs, errno);
    return true;
}

bool Transfer::copyData(int in, int out, off_t expected, const std::string &srcPath, const std::string &shownAs,
                        std::uint64_t &copied)
{
    copied = 0;
    bool useRange = m_copyRangeUsable;
    for (;;) {
        if (!keepGoing())
            return false;
        ssize_t n;
        if (useRange) {
            n = ::copy_file_range(in, nullptr, out, nullptr, copyBlock, 0);
            if (n < 0) {
                const int err = errno;
                if (err == EINTR)
                    continue;
                if (copied == 0 && (err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP)) {
                    useRange = false;
                    m_copyRangeUsable = err != ENOSYS;
                    continue;
                }
                return fail("cannot copy data to", shownAs, err);
            }
            if (n == 0 && copied == 0 && expected > 0) {
                // Some filesystems (proc-like, some FUSE) answer nothing here; read instead.
                useRange = false;
                continue;
            }
        } else {
            if (m_buffer.empty())
                m_buffer.resize(bufferSize);
            n = ::read(in, m_buffer.data(), m_buffer.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return fail("cannot read", srcPath, errno);
            }
            for (ssize_t written = 0; written < n;) {
                const ssize_t w = ::write(out, m_buffer.data() + written, static_cast<std::size_t>(n - written));
                if (w < 0) {
                    if (errno == EINTR)
                        continue;
                    return fail("cannot write", shownAs, errno);
                }
                written += w;
            }
        }
        if (n == 0)
            return true;
        copied += static_cast<std::uint64_t>(n);
        m_bytesDone += static_cast<std::uint64_t>(n);
        reportProgress(false);
    }
}

bool Transfer::copyRegular(int srcDir, const std::string &name, const std::string &srcPath, int dstDir,
                           const std::string &newName, const std::string &shownAs, bool durable, CopiedEntry *record)
{
    UniqueFd in(::openat(srcDir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!in.valid())
        return fail("cannot open", srcPath, errno);
    struct stat st {
    };
    if (::fstat(in.get(), &st) != 0)
        return fail("cannot read", srcPath, errno);
    if (!S_ISREG(st.st_mode))
        return fail("the entry changed while it was copied:", srcPath, 0);
    UniqueFd out(::openat(dstDir, newName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out.valid())
        return fail("cannot create", shownAs, errno);

    // Any failure from here on removes the unfinished file.
    auto abandon = [&](std::string_view what, const std::string &path, int err) {
        if (!what.empty())
            fail(what, path, err);
        out.reset();
        ::unlinkat(dstDir, newName.c_str(), 0);
        return false;
    };
    std::uint64_t copied = 0;
    if (!copyData(in.get(), out.get(), st.st_size, srcPath, shownAs, copied))
        return abandon({}, {}, 0);
    struct stat written {
    };
    if (::fstat(out.get(), &written) != 0)
        return abandon("cannot read", shownAs, errno);
    if (static_cast<std::uint64_t>(written.st_size) != copied)
        return abandon("the copy is incomplete:", shownAs, EIO);
    if (m_forMove) {
        // The source goes after this, so the copy must be exactly the file as it was seen.
        struct stat after {
        };
        if (::fstat(in.get(), &after) != 0)
            return abandon("cannot read", srcPath, errno);
        if (copied != static_cast<std::uint64_t>(st.st_size) || after.st_size != st.st_size ||
            !sameTime(after.st_mtim, st.st_mtim))
            return abandon("the file changed while it was moved, so it was kept:", srcPath, 0);
    }
    if (!keepMetadata(out.get(), -1, nullptr, st, false, shownAs))
        return abandon({}, {}, 0);
    if (durable && ::fsync(out.get()) != 0)
        return abandon("cannot write", shownAs, errno);
    if (::close(out.release()) != 0 && errno != EINTR)
        return abandon("cannot write", shownAs, errno);
    if (record)
        record->noteSource(name, st);
    return true;
}

bool Transfer::copyLink(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath,
                        int dstDir, const std::string &newName, const std::string &shownAs, CopiedEntry *record)
{
    std::string target(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 4096, '\0');
    for (;;) {
        const ssize_t n = ::readlinkat(srcDir, name.c_str(), target.data(), target.size());
        if (n < 0)
            return fail("cannot read the link", srcPath, errno);
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            break;
        }
        target.resize(target.size() * 2);
    }
    if (::symlinkat(target.c_str(), dstDir, newName.c_str()) != 0)
        return fail("cannot create", shownAs, errno);
    if (!keepMetadata(-1, dstDir, newName.c_str(), st, true, shownAs)) {
        ::unlinkat(dstDir, newName.c_str(), 0);
        return false;
    }
    if (record)
        record->noteSource(name, st);
    return true;
}

bool Transfer::copySpecial(int srcDir, const std::string &name, const struct stat &st, int dstDir,
                           const std::string &newName, const std::string &shownAs, CopiedEntry *record)
{
    (void)srcDir;
    if (::mknodat(dstDir, newName.c_str(), st.st_mode & (S_IFMT | 07777), st.st_rdev) != 0)
        return fail("cannot create", shownAs, errno);
    if (!keepMetadata(-1, dstDir, newName.c_str(), st, false, shownAs)) {
        ::unlinkat(dstDir, newName.c_str(), 0);
        return false;
    }
    if (record)
        record->noteSource(name, st);
    return true;
}

bool Transfer::copyChildren(int srcFolder, const std::string &srcPath, int dstFolder, const std::string &dstPath,
                            bool merge, bool durable, CopiedEntry *record)
{
    const auto names = detail::listFolder(srcFolder);
    if (!names)
        return fail("cannot read the folder", srcPath, errno);
    for (const std::string &child : *names) {
        if (!keepGoing())
            return false;
        const std::string childSrc = joinPath(srcPath, child);
        struct stat st {
        };
        if (::fstatat(srcFolder, child.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue; // gone since the folder was listed: nothing left to copy
            return fail("cannot read", childSrc, errno);
        }
        CopiedEntry *childRecord = record ? &record->children.emplace_back() : nullptr;
        const bool ok = merge ? placeCopy(srcFolder, child, st, childSrc, dstFolder, dstPath, ClashMode::Replace,
                                          childRecord, nullptr)
                              : build(srcFolder, child, st, childSrc, dstFolder, child, joinPath(dstPath, child),
                                      durable, childRecord);
        if (!ok)
            return false;
    }
    return true;
}

void Transfer::openFlushTarget(int dstFolder)
{
    UniqueFd fd(::openat(dstFolder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st {
    };
    if (fd.valid() && ::fstat(fd.get(), &st) == 0) {
        m_flushFs = std::move(fd);
        m_flushDevice = st.st_dev;
    }
}

bool Transfer::copyFolder(int srcDir, const std::string &name, const std::string &srcPath, int dstDir,
                          const std::string &newName, const std::string &shownAs, bool durable, CopiedEntry *record)
{
    UniqueFd src(::openat(srcDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!src.valid())
        return fail("cannot open the folder", srcPath, errno);
    struct stat st {
    };
    if (::fstat(src.get(), &st) != 0)
        return fail("cannot read", srcPath, errno);
    if (isOwnOutput(identityOf(st)))
        return fail("cannot copy a folder into itself:", srcPath, EINVAL);
    if (::mkdirat(dstDir, newName.c_str(), 0700) != 0)
        return fail("cannot create", shownAs, errno);
    UniqueFd dst(::openat(dstDir, newName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dst.valid())
        return fail("cannot open", shownAs, errno);
    noteOutput(dst.get());
    if (record)
        record->noteSource(name, st);
    if (!copyChildren(src.get(), srcPath, dst.get(), shownAs, false, durable, record))
        return false;
    if (!keepMetadata(dst.get(), -1, nullptr, st, false, shownAs))
        return false;
    if (durable && ::fsync(dst.get()) != 0)
        return fail("cannot write", shownAs, errno);
    return true;
}

bool Transfer::build(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath, int dstDir,
                     const std::string &newName, const std::string &shownAs, bool durable, CopiedEntry *record)
{
    switch (st.st_mode & S_IFMT) {
    case S_IFREG:
        return copyRegular(srcDir, name, srcPath, dstDir, newName, shownAs, durable, record);
    case S_IFDIR:
        return copyFolder(srcDir, name, srcPath, dstDir, newName, shownAs, durable, record);
    case S_IFLNK:
        return copyLink(srcDir, name, st, srcPath, dstDir, newName, shownAs, record);
    default:
        return copySpecial(srcDir, name, st, dstDir, newName, shownAs, record);
    }
}

bool Transfer::mergeFolder(int srcDir, const std::string &name, const std::string &srcPath, int dstDir,
                           const std::string &existingName, const std::string &existingPath, CopiedEntry *record)
{
    UniqueFd src(::openat(srcDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!src.valid())
        return fail("cannot open the folder", srcPath, errno);
    struct stat st {
    };
    if (::fstat(src.get(), &st) != 0)
        return fail("cannot read", srcPath, errno);
    if (isOwnOutput(identityOf(st)))
        return fail("cannot copy a folder into itself:", srcPath, EINVAL);
    UniqueFd dst = detail::openFolder(dstDir, existingName.c_str(), false);
    if (!dst.valid())
        return fail("cannot open the folder", existingPath, errno);
    noteOutput(dst.get());
    if (record)
        record->noteSource(name, st);
    return copyChildren(src.get(), srcPath, dst.get(), existingPath, true, false, record);
}

bool Transfer::placeCopy(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath,
                         int dstDir, const std::string &dstDirPath, ClashMode mode, CopiedEntry *record,
                         std::string *finalPath, int attempts)
{
    const bool isFolder = S_ISDIR(st.st_mode);
    const std::string wantedPath = joinPath(dstDirPath, name);
    struct stat existing {
    };
    const bool exists = ::fstatat(dstDir, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return fail("cannot read", wantedPath, errno);

    if (exists && mode == ClashMode::Replace) {
        if (finalPath)
            *finalPath = wantedPath;
        if (identityOf(existing) == identityOf(st))
            return true; // the destination already is this very entry
        const bool existingIsFolder = S_ISDIR(existing.st_mode);
        if (existingIsFolder && isFolder)
            return mergeFolder(srcDir, name, srcPath, dstDir, name, wantedPath, record);
        if (existingIsFolder)
            return fail("a folder of the same name is in the way:", wantedPath, EISDIR);
        if (isFolder)
            return fail("an entry of the same name that is not a folder is in the way:", wantedPath, ENOTDIR);
        // The old file goes only once the new one is on disk, so that neither a failure
        // nor a crash can leave the name without a whole file.
        const std::string temporary = detail::temporaryName(name);
        if (!build(srcDir, name, st, srcPath, dstDir, temporary, wantedPath, true, record)) {
            removeHalfMade(dstDir, temporary, wantedPath);
            return false;
        }
        if (::renameat(dstDir, temporary.c_str(), dstDir, name.c_str()) != 0) {
            fail("cannot replace", wantedPath, errno);
            removeHalfMade(dstDir, temporary, wantedPath);
            return false;
        }
        return true;
    }

    const std::string temporary = detail::temporaryName(name);
    struct stat folderSt {
    };
    const bool flushNow =
        m_forMove && (m_flushEachEntry || ::fstat(dstDir, &folderSt) != 0 || folderSt.st_dev != m_flushDevice);
    if (!build(srcDir, name, st, srcPath, dstDir, temporary, wantedPath, flushNow, record)) {
        removeHalfMade(dstDir, temporary, wantedPath);
        return false;
    }
    for (unsigned number = 1; number <= maxNumberedNames; ++number) {
        const std::string candidate = number == 1 ? name : numberedName(name, number, isFolder);
        const int err = detail::renameNoReplace(dstDir, temporary, dstDir, candidate, isFolder);
        if (err == 0) {
            if (finalPath)
                *finalPath = joinPath(dstDirPath, candidate);
            return true;
        }
        if (err == EEXIST && mode == ClashMode::Rename)
            continue;
        if (err == EEXIST && attempts < 2) {
            // The name was taken while the copy was made: start again as a replacement.
            removeHalfMade(dstDir, temporary, wantedPath);
            if (record)
                *record = CopiedEntry();
            return placeCopy(srcDir, name, st, srcPath, dstDir, dstDirPath, mode, record, finalPath, attempts + 1);
        }
        fail("cannot create", joinPath(dstDirPath, candidate), err);
        removeHalfMade(dstDir, temporary, wantedPath);
        return false;
    }
    fail("no free name for", wantedPath, EEXIST);
    removeHalfMade(dstDir, temporary, wantedPath);
    return false;
}

FileOpResult Transfer::copyTop(int srcParent, const std::string &name, const struct stat &st,
                               const std::string &srcPath, int dstFolder, const std::string &dstFolderPath,
                               ClashMode mode)
{
    std::string target;
    openFlushTarget(dstFolder);
    placeCopy(srcParent, name, st, srcPath, dstFolder, dstFolderPath, mode, nullptr, &target);
    return finish(target);
}

void Transfer::removeCopied(int parentFd, const CopiedEntry &entry, const std::string &path)
{
    auto keep = [&](std::string why) {
        if (m_keptReason.empty())
            m_keptReason = std::move(why);
    };
    if (entry.type == 0) {
        keep(path + " was not copied");
        return;
    }
    struct stat st {
    };
    if (::fstatat(parentFd, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            keep(failure("cannot read", path, errno).reason);
        return;
    }
    if (identityOf(st) != entry.id || (st.st_mode & S_IFMT) != entry.type) {
        keep(path + " was replaced during the move and was kept");
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        UniqueFd folder(::openat(parentFd, entry.name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!folder.valid()) {
            keep(failure("cannot open", path, errno).reason);
            return;
        }
        for (const CopiedEntry &child : entry.children)
            removeCopied(folder.get(), child, joinPath(path, child.name));
        folder.reset();
        if (::unlinkat(parentFd, entry.name.c_str(), AT_REMOVEDIR) != 0) {
            if (errno == ENOTEMPTY || errno == EEXIST)
                keep(path + " was kept: it holds entries that were not moved");
            else
                keep(failure("cannot remove", path, errno).reason);
        }
        return;
    }
    if (st.st_size != entry.size || !sameTime(st.st_mtim, entry.mtime)) {
        keep(path + " changed during the move and was kept");
        return;
    }
    if (::unlinkat(parentFd, entry.name.c_str(), 0) != 0 && errno != ENOENT)
        keep(failure("cannot remove", path, errno).reason);
}

bool Transfer::moveAcross(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath,
                          int dstDir, const std::string &dstDirPath, ClashMode mode, std::string *finalPath)
{
    // Without the right to remove the source, a move would end as an unasked copy.
    if (::faccessat(srcDir, ".", W_OK, AT_EACCESS) != 0)
        return fail("cannot remove", srcPath, errno);
    // A folder's files are flushed together by one syncfs() at the end, which costs one
    // wait instead of one per file.
    struct stat folderSt {
    };
    const bool flushTogether =
        S_ISDIR(st.st_mode) && m_flushFs.valid() && ::fstat(dstDir, &folderSt) == 0 && folderSt.st_dev == m_flushDevice;
    m_flushEachEntry = !flushTogether;
    CopiedEntry record;
    std::string target;
    const bool copied = placeCopy(srcDir, name, st, srcPath, dstDir, dstDirPath, mode, &record, &target);
    m_flushEachEntry = true;
    if (!copied)
        return false;
    if (finalPath)
        *finalPath = target;
    // The copy must be on disk, names included, before the source goes.
    if (flushTogether) {
        if (::syncfs(m_flushFs.get()) != 0)
            return fail("cannot write", target, errno);
    } else if (UniqueFd folder(::openat(dstDir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)); folder.valid()) {
        if (::fsync(folder.get()) != 0)
            return fail("cannot write", dstDirPath, errno);
    } else {
        ::sync(); // a folder we may write but not read: no descriptor to flush through
    }
    removeCopied(srcDir, record, srcPath);
    if (!m_keptReason.empty())
        return fail(failure(
            "moved a copy to " + target + ", but not all of the source could be removed: " + m_keptReason, "", 0));
    return true;
}

bool Transfer::moveInto(int srcDir, const std::string &name, const struct stat &st, const std::string &srcPath,
                        int dstDir, const std::string &dstDirPath, ClashMode mode, std::string *finalPath, int attempts)
{
    if (!keepGoing())
        return false;
    const bool isFolder = S_ISDIR(st.st_mode);
    const std::string wantedPath = joinPath(dstDirPath, name);
    struct stat existing {
    };
    const bool exists = ::fstatat(dstDir, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return fail("cannot read", wantedPath, errno);

    if (exists && mode == ClashMode::Replace) {
        if (finalPath)
            *finalPath = wantedPath;
        if (identityOf(existing) == identityOf(st)) {
            // Another name of the same file is already there: only the old name has to go.
            if (!isFolder && ::unlinkat(srcDir, name.c_str(), 0) != 0)
                return fail("cannot remove", srcPath, errno);
            return true;
        }
        const bool existingIsFolder = S_ISDIR(existing.st_mode);
        if (existingIsFolder && isFolder && existing.st_dev != st.st_dev)
            return moveAcross(srcDir, name, st, srcPath, dstDir, dstDirPath, mode, finalPath);
        if (existingIsFolder && isFolder) {
            UniqueFd src(::openat(srcDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!src.valid())
                return fail("cannot open the folder", srcPath, errno);
            UniqueFd dst = detail::openFolder(dstDir, name.c_str(), false);
            if (!dst.valid())
                return fail("cannot open the folder", wantedPath, errno);
            const auto names = detail::listFolder(src.get());
            if (!names)
                return fail("cannot read the folder", srcPath, errno);
            for (const std::string &child : *names) {
                const std::string childSrc = joinPath(srcPath, child);
                struct stat childSt {
                };
                if (::fstatat(src.get(), child.c_str(), &childSt, AT_SYMLINK_NOFOLLOW) != 0) {
                    if (errno == ENOENT)
                        continue;
                    return fail("cannot read", childSrc, errno);
                }
                if (!moveInto(src.get(), child, childSt, childSrc, dst.get(), wantedPath, ClashMode::Replace, nullptr))
                    return false;
            }
            src.reset();
            if (::unlinkat(srcDir, name.c_str(), AT_REMOVEDIR) != 0) {
                if (errno == ENOTEMPTY || errno == EEXIST)
                    return fail(srcPath + " was kept: entries were added to it during the move", "", 0);
                return fail("cannot remove", srcPath, errno);
            }
            return true;
        }
        if (existingIsFolder)
            return fail("a folder of the same name is in the way:", wantedPath, EISDIR);
        if (isFolder)
            return fail("an entry of the same name that is not a folder is in the way:", wantedPath, ENOTDIR);
        if (::renameat(srcDir, name.c_str(), dstDir, name.c_str()) == 0)
            return true;
        if (errno != EXDEV)
            return fail("cannot move", srcPath, errno);
        return moveAcross(srcDir, name, st, srcPath, dstDir, dstDirPath, mode, finalPath);
    }

    for (unsigned number = 1; number <= maxNumberedNames; ++number) {
        const std::string candidate = number == 1 ? name : numberedName(name, number, isFolder);
        const int err = detail::renameNoReplace(srcDir, name, dstDir, candidate, isFolder);
        if (err == 0) {
            if (finalPath)
                *finalPath = joinPath(dstDirPath, candidate);
            return true;
        }
        if (err == EEXIST && mode == ClashMode::Rename)
            continue;
        if (err == EEXIST && attempts < 2) // taken just now: replace it after all
            return moveInto(srcDir, name, st, srcPath, dstDir, dstDirPath, mode, finalPath, attempts + 1);
        if (err == EXDEV)
            return moveAcross(srcDir, name, st, srcPath, dstDir, dstDirPath, mode, finalPath);
        return fail("cannot move", srcPath, err);
    }
    return fail("no free name for", wantedPath, EEXIST);
}

FileOpResult Transfer::moveTop(int srcParent, const std::string &name, const struct stat &st,
                               const std::string &srcPath, int dstFolder, const std::string &dstFolderPath,
                               ClashMode mode)
{
    std::string target;
    openFlushTarget(dstFolder);
    moveInto(srcParent, name, st, srcPath, dstFolder, dstFolderPath, mode, &target);
    return finish(target);
}

// The source entry and the destination folder, opened once for the whole operation.
struct Endpoints {
    detail::SplitPath source;
    UniqueFd sourceFolder;
    struct stat sourceStat {
    };
    UniqueFd destination;
    std::string destinationPath;
    struct stat destinationStat {
    };
};

std::optional<FileOpResult> openEndpoints(const std::string &source, const std::string &destinationFolder,
                                          const char *verb, Endpoints &ends)
{
    auto split = detail::splitEntryPath(source);
    if (!split)
        return failure(std::string("cannot ") + verb, source.empty() ? "an empty path" : source, EINVAL);
    ends.source = std::move(*split);
    ends.sourceFolder = UniqueFd(::open(ends.source.folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!ends.sourceFolder.valid())
        return failure("cannot open the folder", ends.source.folder, errno);
    if (::fstatat(ends.sourceFolder.get(), ends.source.name.c_str(), &ends.sourceStat, AT_SYMLINK_NOFOLLOW) != 0)
        return failure("cannot read", ends.source.path, errno);

    std::string_view dest = destinationFolder;
    while (dest.size() > 1 && dest.back() == '/')
        dest.remove_suffix(1);
    if (dest.empty())
        return failure("no destination folder was given", "", EINVAL);
    ends.destinationPath = std::string(dest);
    ends.destination = detail::openFolder(AT_FDCWD, ends.destinationPath.c_str());
    if (!ends.destination.valid())
        return failure("cannot open the destination folder", ends.destinationPath, errno);
    if (::fstat(ends.destination.get(), &ends.destinationStat) != 0)
        return failure("cannot read", ends.destinationPath, errno);

    if (S_ISDIR(ends.sourceStat.st_mode) && detail::isSameOrBelow(ends.destination.get(), identityOf(ends.sourceStat)))
        return failure(std::string("cannot ") + verb + " a folder into itself or into one of its subfolders:",
                       ends.source.path, EINVAL);
    return std::nullopt;
}

} // namespace

FileOpResult copyEntry(const std::string &source, const std::string &destinationFolder, ClashMode mode,
                       const OperationControl &control)
{
    Endpoints ends;
    if (auto refused = openEndpoints(source, destinationFolder, "copy", ends))
        return *refused;
    Transfer transfer(control, false);
    return transfer.copyTop(ends.sourceFolder.get(), ends.source.name, ends.sourceStat, ends.source.path,
                            ends.destination.get(), ends.destinationPath, mode);
}

FileOpResult moveEntry(const std::string &source, const std::string &destinationFolder, ClashMode mode,
                       const OperationControl &control)
{
    Endpoints ends;
    if (auto refused = openEndpoints(source, destinationFolder, "move", ends))
        return *refused;
    struct stat folderStat {
    };
    if (::fstat(ends.sourceFolder.get(), &folderStat) != 0)
        return failure("cannot read", ends.source.folder, errno);
    if (identityOf(folderStat) == identityOf(ends.destinationStat))
        return detail::done(ends.source.path); // already there
    Transfer transfer(control, true);
    return transfer.moveTop(ends.sourceFolder.get(), ends.source.name, ends.sourceStat, ends.source.path,
                            ends.destination.get(), ends.destinationPath, mode);
}

} // namespace quorvel
