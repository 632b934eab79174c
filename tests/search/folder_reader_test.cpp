#include "search/folder_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::TempDir;

// Filesystems without d_type give every entry as unknown: each must still get its kind.
TEST(FolderReader, ResolvesEveryKindOfEntry)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"folder/", "file.txt"});
    ASSERT_EQ(symlink("folder", (dir / "folderlink").c_str()), 0);
    ASSERT_EQ(symlink("file.txt", (dir / "filelink").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
    ASSERT_EQ(symlink("loop", (dir / "loop").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);

    FolderReader reader;
    ASSERT_EQ(reader.openPath(dir.path(), true), 0);
    std::map<std::string, ListedType> listed;
    ASSERT_EQ(reader.readAll([&](std::string_view name, ListedType type) {
        listed[std::string(name)] = type;
        return true;
    }),
              0);
    EXPECT_EQ(listed.size(), 7u); // "." and ".." are left out
    const std::map<std::string, EntryKind> expected{
        {"folder", EntryKind::Folder}, {"file.txt", EntryKind::File}, {"folderlink", EntryKind::FolderLink},
        {"filelink", EntryKind::File}, {"dangling", EntryKind::File}, {"loop", EntryKind::File},
        {"fifo", EntryKind::File}};
    for (const auto &[name, kind] : expected) {
        EXPECT_EQ(reader.resolve(name, ListedType::Unknown), kind) << name;
        EXPECT_EQ(reader.resolve(name, listed.at(name)), kind) << name;
    }
}

TEST(FolderReader, NeverEntersALinkButARootLinkIsFollowed)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"real/"});
    ASSERT_EQ(symlink("real", (dir / "link").c_str()), 0);
    FolderReader reader;
    EXPECT_EQ(reader.openPath(dir / "link", false), ENOTDIR);
    EXPECT_EQ(reader.openPath(dir / "link/", false), ENOTDIR);
    EXPECT_EQ(reader.openPath(dir / "link", true), 0);
    FolderReader parent;
    ASSERT_EQ(parent.openPath(dir.path(), true), 0);
    EXPECT_EQ(reader.openChild(parent.fd(), "link"), ENOTDIR);
    EXPECT_EQ(reader.openPath("real", false, parent.fd()), 0);
    EXPECT_EQ(reader.openPath(dir / "missing", true), ENOENT);
    EXPECT_EQ(reader.openPath("", true), ENOENT);
}

TEST(FolderReader, OpensPathsLongerThanTheKernelTakesAtOnce)
{
    TempDir dir;
    std::string path = dir.path();
    const std::string name(200, 'n');
    int fd = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < 30; ++i) { // about 6,000 bytes
        ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
        const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = next;
        path += "/" + name;
    }
    close(openat(fd, "leaf", O_CREAT | O_WRONLY, 0644));
    close(fd);
    FolderReader reader;
    ASSERT_EQ(reader.openPath(path + "/", false), 0);
    std::vector<std::string> names;
    reader.readAll([&](std::string_view n, ListedType) {
        names.emplace_back(n);
        return true;
    });
    EXPECT_EQ(names, std::vector<std::string>{"leaf"});
}

} // namespace
} // namespace quorvel
