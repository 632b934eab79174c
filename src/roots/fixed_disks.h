#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// One line of /proc/self/mountinfo, the fields a search needs.
struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string root;       // the folder of the filesystem mounted here ("/" for the whole of it)
    std::string mountPoint; // unescaped
    std::string fsType;
    std::string source;
};

// The lines of a mountinfo text, in order; malformed lines are skipped.
std::vector<MountEntry> parseMountinfo(std::string_view mountinfo);

// The roots of the whole-computer search in a mountinfo text: the mount points of local disk
// filesystems (ext2/3/4, xfs, btrfs, f2fs, vfat, exfat, ntfs, zfs and the like), sorted by
// path so "/" comes first. Pseudo and memory filesystems, network and optical ones, and
// those for which isRemovable answers true are left out. A mount point covered by a later
// mount counts as that later mount; a filesystem folder mounted at several places is taken
// once, at the first of them in path order, so nothing is walked twice.
std::vector<std::string> fixedDisksOf(std::string_view mountinfo,
                                      const std::function<bool(const MountEntry &)> &isRemovable);

// Whether the block device under a mount is removable media (its `removable` flag in sysfs,
// or its whole disk's for a partition). False when nothing says so.
bool isRemovableMedium(const MountEntry &entry);

// fixedDisksOf over /proc/self/mountinfo with isRemovableMedium, keeping only mount points
// that are folders. Empty when mountinfo cannot be read.
std::vector<std::string> everyFixedDisk();

} // namespace quorvel
