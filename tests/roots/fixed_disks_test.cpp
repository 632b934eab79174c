#include "roots/fixed_disks.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace quorvel {
namespace {

// A desktop with a root disk, a separate /home, a USB stick, a DVD, a network share, a
// container's bind mounts and the usual pseudo filesystems.
const char *const kDesktop = "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                             "23 22 0:21 / /proc rw,nosuid - proc proc rw\n"
                             "24 22 0:22 / /sys rw,nosuid - sysfs sysfs rw\n"
                             "25 22 0:5 / /dev rw,nosuid - devtmpfs udev rw\n"
                             "26 22 0:23 / /run rw,nosuid - tmpfs tmpfs rw\n"
                             "27 22 8:3 / /home rw,relatime shared:2 - xfs /dev/sda3 rw\n"
                             "28 22 8:1 / /boot/efi rw,relatime shared:3 - vfat /dev/sda1 rw\n"
                             "29 26 8:17 / /media/user/USB\\040STICK rw,nosuid shared:4 - vfat /dev/sdb1 rw\n"
                             "30 26 11:0 / /media/user/DVD ro,nosuid shared:5 - iso9660 /dev/sr0 ro\n"
                             "31 22 0:40 / /mnt/share rw,relatime shared:6 - cifs //server/share rw\n"
                             "32 22 0:41 / /mnt/remote rw,relatime shared:7 - fuse.sshfs user@host: rw\n"
                             "33 22 8:3 /user/projects /srv/projects rw,relatime shared:2 - xfs /dev/sda3 rw\n"
                             "34 22 0:42 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
                             "35 22 8:4 / /data\\040disk rw,relatime shared:8 - ext4 /dev/sda4 rw\n";

TEST(FixedDisks, LocalDisksInPathOrder)
{
    const auto removable = [](const MountEntry &e) { return e.major == 8 && e.minor == 17; };
    EXPECT_EQ(fixedDisksOf(kDesktop, removable),
              (std::vector<std::string>{"/", "/boot/efi", "/data disk", "/home", "/srv/projects"}));
}

TEST(FixedDisks, SameFilesystemFolderTakenOnce)
{
    // /home bind-mounted again at /mnt/home: the same folder of the same filesystem.
    const std::string text = std::string(kDesktop) + "36 22 8:3 / /mnt/home rw - xfs /dev/sda3 rw\n";
    const std::vector<std::string> roots = fixedDisksOf(text, {});
    EXPECT_EQ(std::count(roots.begin(), roots.end(), "/home"), 1);
    EXPECT_EQ(std::count(roots.begin(), roots.end(), "/mnt/home"), 0);
}

TEST(FixedDisks, CoveredMountCountsAsTheMountOnTop)
{
    const char *text = "1 0 8:2 / / rw - ext4 /dev/sda2 rw\n"
                       "2 1 8:5 / /mnt rw - ext4 /dev/sda5 rw\n"
                       "3 1 0:30 / /mnt rw - tmpfs tmpfs rw\n"
                       "4 1 0:31 / /opt rw - tmpfs tmpfs rw\n"
                       "5 1 8:6 / /opt rw - btrfs /dev/sda6 rw\n";
    EXPECT_EQ(fixedDisksOf(text, {}), (std::vector<std::string>{"/", "/opt"}));
}

TEST(FixedDisks, MalformedLinesAreSkipped)
{
    const char *text = "garbage\n"
                       "1 0 x:y / / rw - ext4 /dev/sda2 rw\n"
                       "2 0 8:2 / /ok rw - ext4 /dev/sda2 rw\n"
                       "3 0 8:2 / /nodash rw ext4 /dev/sda2 rw\n"
                       "\n";
    EXPECT_EQ(fixedDisksOf(text, {}), (std::vector<std::string>{"/ok"}));
    EXPECT_TRUE(fixedDisksOf("", {}).empty());
}

TEST(FixedDisks, OptionalFieldsAndEscapes)
{
    const std::vector<MountEntry> entries =
        parseMountinfo("36 35 98:0 /mnt1 /mnt/a\\011b\\134c rw,noatime master:1 shared:2 - ext3 /dev/root rw\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].major, 98u);
    EXPECT_EQ(entries[0].root, "/mnt1");
    EXPECT_EQ(entries[0].mountPoint, "/mnt/a\tb\\c");
    EXPECT_EQ(entries[0].fsType, "ext3");
    EXPECT_EQ(entries[0].source, "/dev/root");
}

TEST(FixedDisks, EveryFixedDiskGivesFoldersOnly)
{
    for (const std::string &root : everyFixedDisk()) {
        struct stat st;
        EXPECT_EQ(stat(root.c_str(), &st), 0) << root;
        EXPECT_TRUE(S_ISDIR(st.st_mode)) << root;
    }
}

} // namespace
} // namespace quorvel
