#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// What a walk needs to know about a folder entry. Folder is a real folder (walked); a link
// to a folder counts as a folder but is never walked; every other entry (files, links to
// files, dangling or looping links, FIFOs, sockets, devices) counts as a file.
enum class EntryKind : std::uint8_t { Folder, FolderLink, File };

// The type of an entry as the listing gave it, before any stat: Folder and File are final;
// Link still needs a look at its target; Unknown (a filesystem without d_type) needs a stat.
enum class ListedType : std::uint8_t { Folder, File, Link, Unknown };

// One open folder, listed with getdents64 in the order the filesystem returns its entries.
// Owns its descriptor. Not copyable; movable.
class FolderReader
{
  public:
    FolderReader() = default;
    ~FolderReader();
    FolderReader(FolderReader &&other) noexcept : m_fd(other.m_fd), m_buffer(other.m_buffer)
    {
        other.m_fd = -1;
        other.m_buffer = nullptr;
    }
    FolderReader &operator=(FolderReader &&other) noexcept; // swaps buffers
    FolderReader(const FolderReader &) = delete;
    FolderReader &operator=(const FolderReader &) = delete;

    // Opens the folder at path (relative to the open folder atFd, or to the working folder).
    // followLink: a link to a folder is followed (roots); otherwise a link is refused, so a
    // walk never enters one. Paths longer than the kernel's limit are opened piece by piece.
    // Returns 0 or the errno value.
    int openPath(std::string_view path, bool followLink, int atFd = -100 /* AT_FDCWD */);

    // Opens the folder `name` inside the open folder parentFd, never through a link.
    int openChild(int parentFd, std::string_view name);

    // Calls onEntry(std::string_view name, ListedType type) for every entry but "." and "..",
    // in the order returned, until it returns false. Returns 0 or the errno value of a failed
    // read (entries before the failure have been passed on).
    template <typename OnEntry> int readAll(OnEntry &&onEntry);

    int fd() const { return m_fd; }
    // Hands the descriptor over to the caller, who must close it.
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    bool isOpen() const { return m_fd >= 0; }
    void close();

    // An identity of the mount the open folder lies on (the mount id where the kernel tells
    // it, else the device number), for walks that must stay on one mount.
    std::uint64_t mountIdentity() const;

    // Resolves an entry of the open folder to its kind: one stat for Link and Unknown,
    // none for the others.
    EntryKind resolve(std::string_view name, ListedType type) const;

  private:
    // Fills the buffer with the next entries; returns the number of bytes, 0 at the end,
    // -errno on failure.
    long readChunk();

    int m_fd = -1;
    char *m_buffer = nullptr;
};

template <typename OnEntry> int FolderReader::readAll(OnEntry &&onEntry)
{
    for (;;) {
        const long got = readChunk();
        if (got < 0)
            return static_cast<int>(-got);
        if (got == 0)
            return 0;
        for (long at = 0; at < got;) {
            // struct linux_dirent64: ino (8), off (8), reclen (2), type (1), name (NUL-ended)
            const char *record = m_buffer + at;
            unsigned short recordLength;
            __builtin_memcpy(&recordLength, record + 16, sizeof recordLength);
            const unsigned char type = static_cast<unsigned char>(record[18]);
            const char *name = record + 19;
            at += recordLength;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            ListedType listed;
            switch (type) {
            case 4: // DT_DIR
                listed = ListedType::Folder;
                break;
            case 10: // DT_LNK
                listed = ListedType::Link;
                break;
            case 0: // DT_UNKNOWN
                listed = ListedType::Unknown;
                break;
            default:
                listed = ListedType::File;
                break;
            }
            if (!onEntry(std::string_view(name, __builtin_strlen(name)), listed))
                return 0;
        }
    }
}

} // namespace quorvel
