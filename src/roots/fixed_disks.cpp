#include "roots/fixed_disks.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

#include "settings/whole_file.h"

namespace quorvel {
namespace {

// Filesystems that live on a local block device and hold the user's files.
const std::set<std::string, std::less<>> kDiskFilesystems{
    "btrfs", "bcachefs", "exfat",  "ext2", "ext3",  "ext4",     "f2fs", "fuseblk", "hfs", "hfsplus",
    "jfs",   "msdos",    "nilfs2", "ntfs", "ntfs3", "reiserfs", "ufs",  "vfat",    "xfs", "zfs"};

// mountinfo escapes space, tab, newline and backslash as \ooo.
std::string unescape(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ')
            ++at;
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (end > at)
            fields.push_back(line.substr(at, end - at));
        at = end;
    }
    return fields;
}

bool readFlag(const std::string &path, bool &value)
{
    const std::optional<std::string> text = readWholeFile(path);
    if (!text || text->empty())
        return false;
    value = (*text)[0] == '1';
    return true;
}

} // namespace

std::vector<MountEntry> parseMountinfo(std::string_view mountinfo)
{
    // id parent major:minor root mount-point options [optional fields...] - type source super-options
    std::vector<MountEntry> entries;
    std::size_t at = 0;
    while (at < mountinfo.size()) {
        std::size_t end = mountinfo.find('\n', at);
        if (end == std::string_view::npos)
            end = mountinfo.size();
        const std::vector<std::string_view> f = fieldsOf(mountinfo.substr(at, end - at));
        at = end + 1;
        const auto dash = std::find(f.begin(), f.end(), std::string_view("-"));
        if (f.size() < 6 || dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3)
            continue;
        MountEntry e;
        const std::string_view device = f[2];
        const std::size_t colon = device.find(':');
        if (colon == std::string_view::npos)
            continue;
        try {
            e.major = static_cast<unsigned>(std::stoul(std::string(device.substr(0, colon))));
            e.minor = static_cast<unsigned>(std::stoul(std::string(device.substr(colon + 1))));
        } catch (...) {
            continue;
        }
        e.root = unescape(f[3]);
        e.mountPoint = unescape(f[4]);
        e.fsType = std::string(dash[1]);
        e.source = unescape(dash[2]);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::vector<std::string> fixedDisksOf(std::string_view mountinfo,
                                      const std::function<bool(const MountEntry &)> &isRemovable)
{
    const std::vector<MountEntry> entries = parseMountinfo(mountinfo);
    // The mount that is seen at each mount point: the last one mounted there.
    std::vector<const MountEntry *> visible;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        bool covered = false;
        for (std::size_t j = i + 1; j < entries.size() && !covered; ++j)
            covered = entries[j].mountPoint == entries[i].mountPoint;
        if (!covered)
            visible.push_back(&entries[i]);
    }
    std::sort(visible.begin(), visible.end(),
              [](const MountEntry *a, const MountEntry *b) { return a->mountPoint < b->mountPoint; });

    std::vector<std::string> roots;
    std::set<std::pair<std::pair<unsigned, unsigned>, std::string>> taken;
    for (const MountEntry *e : visible) {
        if (!kDiskFilesystems.count(e->fsType))
            continue;
        if (isRemovable && isRemovable(*e))
            continue;
        if (!taken.insert({{e->major, e->minor}, e->root}).second)
            continue;
        roots.push_back(e->mountPoint);
    }
    return roots;
}

bool isRemovableMedium(const MountEntry &entry)
{
    unsigned major = entry.major, minor = entry.minor;
    if (major == 0 && entry.source.rfind("/dev/", 0) == 0) {
        // Filesystems such as btrfs report an anonymous device: ask the device they came from.
        struct stat st;
        if (::stat(entry.source.c_str(), &st) != 0 || !S_ISBLK(st.st_mode))
            return false;
        major = ::major(st.st_rdev);
        minor = ::minor(st.st_rdev);
    }
    const std::string base = "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    bool removable = false;
    if (readFlag(base + "/removable", removable) || readFlag(base + "/../removable", removable))
        return removable;
    return false;
}

std::vector<std::string> everyFixedDisk()
{
    const std::optional<std::string> mountinfo = readWholeFile("/proc/self/mountinfo");
    if (!mountinfo)
        return {};
    std::vector<std::string> roots;
    for (std::string &root : fixedDisksOf(*mountinfo, isRemovableMedium)) {
        struct stat st;
        if (::stat(root.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            roots.push_back(std::move(root));
    }
    return roots;
}

} // namespace quorvel
