#include "fileops/trash.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

#include "fileops/isolated_child.h"
#include "fileops/mount_points.h"
#include "fileops/permanent_delete.h"
#include "support/temp_dir.h"

using namespace quorvel;
using namespace quorvel::testing;
namespace fs = std::filesystem;

namespace {

std::string realPath(const std::string &path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string percentDecode(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The .trashinfo of entry `name` in trash folder `trash`, read back as a file manager
// would: the group line and the keys. "error" holds what did not fit the format.
std::map<std::string, std::string> readTrashInfo(const std::string &trash, const std::string &name)
{
    std::map<std::string, std::string> keys;
    const std::string text = readFile(trash + "/info/" + name + ".trashinfo");
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            keys["error"] = "last line without line break";
            break;
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (first) {
            if (line != "[Trash Info]")
                keys["error"] = "first line: " + line;
            first = false;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            keys["error"] = "line: " + line;
        else
            keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

bool isDeletionDate(const std::string &text)
{
    return std::regex_match(text, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)"));
}

bool isEncodedPath(const std::string &text)
{
    return std::regex_match(text, std::regex(R"(([A-Za-z0-9._~/-]|%[0-9A-F]{2})*)"));
}

// XDG_DATA_HOME pointed at a temporary folder for the length of one test.
class HomeTrash : public ::testing::Test
{
  protected:
    TempDir temp;
    std::string data = temp / "data";
    std::string trash = temp / "data/Trash";
    std::string src = temp / "src";
    std::string savedDataHome;
    bool hadDataHome = false;

    void SetUp() override
    {
        if (const char *value = std::getenv("XDG_DATA_HOME")) {
            hadDataHome = true;
            savedDataHome = value;
        }
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        fs::create_directories(src);
    }
    void TearDown() override
    {
        if (hadDataHome)
            ::setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }
};

class TrashNames : public HomeTrash, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(TrashNames, EntryGoesToTheHomeTrashWithItsInfo)
{
    const std::string name = GetParam();
    writeFile(src + "/" + name, "content");
    const FileOpResult r = moveToTrash(src + "/" + name);
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(r.target, trash + "/files/" + name);
    EXPECT_EQ(readFile(trash + "/files/" + name), "content");
    EXPECT_FALSE(fs::exists(fs::symlink_status(src + "/" + name)));

    const auto info = readTrashInfo(trash, name);
    EXPECT_EQ(info.count("error"), 0u) << info.at("error");
    ASSERT_EQ(info.count("Path"), 1u);
    EXPECT_TRUE(isEncodedPath(info.at("Path"))) << info.at("Path");
    EXPECT_EQ(percentDecode(info.at("Path")), realPath(src) + "/" + name);
    ASSERT_EQ(info.count("DeletionDate"), 1u);
    EXPECT_TRUE(isDeletionDate(info.at("DeletionDate"))) << info.at("DeletionDate");
    EXPECT_EQ(info.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Names, TrashNames,
                         ::testing::Values("plain.txt", "报告 100%.txt", "line\nbreak", "bad\xff\xfe.bin",
                                           "#?&=+;[x].txt", ".hidden"));

TEST_F(HomeTrash, TrashIsMadeOnFirstUseAndOnlyForItsOwner)
{
    writeFile(src + "/a.txt", "a");
    ASSERT_TRUE(moveToTrash(src + "/a.txt").ok());
    for (const char *folder : {"", "/files", "/info"}) {
        struct stat st {
        };
        ASSERT_EQ(::lstat((trash + folder).c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 077, 0u) << folder;
    }
}

TEST_F(HomeTrash, SameNamesGetUniqueNamesEachWithItsOwnInfo)
{
    makeTree(src, {"one/a.txt", "two/a.txt", "three/a.txt"});
    for (const char *folder : {"one", "two", "three"}) {
        const FileOpResult r = moveToTrash(src + "/" + folder + "/a.txt");
        ASSERT_TRUE(r.ok()) << r.reason;
    }
    EXPECT_EQ(listNames(trash + "/files"), "a (2).txt | a (3).txt | a.txt");
    EXPECT_EQ(listNames(trash + "/info"), "a (2).txt.trashinfo | a (3).txt.trashinfo | a.txt.trashinfo");
    const std::string base = realPath(src);
    EXPECT_EQ(percentDecode(readTrashInfo(trash, "a.txt")["Path"]), base + "/one/a.txt");
    EXPECT_EQ(percentDecode(readTrashInfo(trash, "a (2).txt")["Path"]), base + "/two/a.txt");
    EXPECT_EQ(readFile(trash + "/files/a (3).txt"), "three/a.txt");
}

TEST_F(HomeTrash, NameHeldByAnEntryWithoutInfoIsPassedOver)
{
    makeTree(trash, {"files/a.txt"});
    fs::create_directories(trash + "/info");
    writeFile(src + "/a.txt", "mine");
    const FileOpResult r = moveToTrash(src + "/a.txt");
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(r.target, trash + "/files/a (2).txt");
    EXPECT_EQ(readFile(trash + "/files/a.txt"), "files/a.txt");
    EXPECT_EQ(listNames(trash + "/info"), "a (2).txt.trashinfo");
}

TEST_F(HomeTrash, FoldersAndLinksAreTrashedWholeAndLinksNotFollowed)
{
    makeTree(src, {"tree/sub/x.txt", "outside.txt"});
    ::symlink((src + "/outside.txt").c_str(), (src + "/link").c_str());
    const auto tree = snapshot(src + "/tree");
    ASSERT_TRUE(moveToTrash(src + "/tree").ok());
    ASSERT_TRUE(moveToTrash(src + "/link/").ok());
    EXPECT_EQ(snapshot(trash + "/files/tree"), tree);
    EXPECT_TRUE(fs::is_symlink(trash + "/files/link"));
    EXPECT_EQ(listNames(src), "outside.txt");
    EXPECT_EQ(readFile(src + "/outside.txt"), "outside.txt");
}

TEST_F(HomeTrash, MissingEntryIsAFailureNotATrashProblem)
{
    const FileOpResult r = moveToTrash(src + "/none.txt");
    EXPECT_EQ(r.status, FileOpStatus::Failed);
    EXPECT_EQ(r.errorNumber, ENOENT);
    EXPECT_EQ(moveToTrash("").status, FileOpStatus::Failed);
    EXPECT_EQ(moveToTrash("/").status, FileOpStatus::Failed);
}

TEST_F(HomeTrash, VeryLongNameIsShortenedInTheTrashButKeptInTheInfo)
{
    std::string name;
    while (name.size() < 240)
        name += "长"; // three bytes each: 240 bytes, a legal name
    name += ".txt";
    writeFile(src + "/" + name, "long");
    const FileOpResult r = moveToTrash(src + "/" + name);
    ASSERT_TRUE(r.ok()) << r.reason;
    const std::string kept = fs::path(r.target).filename().string();
    EXPECT_LT(kept.size(), name.size());
    EXPECT_EQ(kept.size() % 3, 0u); // cut between characters
    EXPECT_EQ(percentDecode(readTrashInfo(trash, kept)["Path"]), realPath(src) + "/" + name);
}

TEST(HomeTrashFolder, FollowsXdgDataHomeElseHome)
{
    const char *oldData = std::getenv("XDG_DATA_HOME");
    const char *oldHome = std::getenv("HOME");
    const std::string savedData = oldData ? oldData : "", savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_DATA_HOME", "/data/place", 1);
    EXPECT_EQ(homeTrashFolder(), "/data/place/Trash");
    ::setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(homeTrashFolder(), "/home/someone/.local/share/Trash");
    ::setenv("XDG_DATA_HOME", "relative/place", 1);
    EXPECT_EQ(homeTrashFolder(), "/home/someone/.local/share/Trash");
    oldData ? (void)::setenv("XDG_DATA_HOME", savedData.c_str(), 1) : (void)::unsetenv("XDG_DATA_HOME");
    oldHome ? (void)::setenv("HOME", savedHome.c_str(), 1) : (void)::unsetenv("HOME");
}

TEST(PercentEncodePath, KeepsOnlyUnreservedBytesAndSlashes)
{
    EXPECT_EQ(percentEncodePath("/home/u/a-b_c.d~e"), "/home/u/a-b_c.d~e");
    EXPECT_EQ(percentEncodePath("/a b%c"), "/a%20b%25c");
    EXPECT_EQ(percentEncodePath("中"), "%E4%B8%AD");
    EXPECT_EQ(percentEncodePath("x\n\xff+&=?#"), "x%0A%FF%2B%26%3D%3F%23");
}

TEST(MountPoints, ParsesTheTableWithEscapes)
{
    const std::string table = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                              "40 22 0:35 / /media/my\\040disk rw - vfat /dev/sdb1 rw\n"
                              "41 22 0:36 / /mnt/tab\\011and\\134back rw - tmpfs tmpfs rw\n";
    const std::vector<std::string> expected{"/", "/media/my disk", "/mnt/tab\tand\\back"};
    EXPECT_EQ(parseMountPoints(table), expected);
    EXPECT_EQ(mountPointOf("/"), "/");
}

// A volume of its own: a tmpfs mounted in a private mount namespace of a child process.
enum class SharedTrash { None, Sticky, NotSticky, Link, OwnTrashOfAnotherUser };

struct VolumeCase {
    const char *label;
    SharedTrash shared;
    const char *expectedTrash; // relative to the volume; empty: cannot be trashed
};

class VolumeTrash : public ::testing::TestWithParam<VolumeCase>
{
  protected:
    TempDir temp;
    std::string vol = temp / "vol";
    std::string data = temp / "data";
    void SetUp() override { fs::create_directories(vol); }
};

TEST_P(VolumeTrash, EntryGoesToItsVolumesTrashWithARelativePath)
{
    const VolumeCase &c = GetParam();
    const std::string volume = realPath(vol);
    const std::string answer = runInChild([&]() -> std::string {
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        if (std::string skip = mountPrivateTmpfs(vol, "size=1m,mode=0755"); !skip.empty())
            return skip;
        makeTree(vol, {"dir/f 1.txt", "elsewhere/"});
        switch (c.shared) {
        case SharedTrash::None:
            break;
        case SharedTrash::Sticky:
        case SharedTrash::NotSticky:
            fs::create_directories(vol + "/.Trash");
            ::chmod((vol + "/.Trash").c_str(), c.shared == SharedTrash::Sticky ? 01777 : 0777);
            break;
        case SharedTrash::Link:
            ::chmod((vol + "/elsewhere").c_str(), 01777);
            ::symlink("elsewhere", (vol + "/.Trash").c_str());
            break;
        case SharedTrash::OwnTrashOfAnotherUser:
            fs::create_directories(vol + "/.Trash-" + std::to_string(::geteuid()));
            if (::chown((vol + "/.Trash-" + std::to_string(::geteuid())).c_str(), nobodyId, nobodyId) != 0)
                return "chown failed";
            break;
        }
        const FileOpResult r = moveToTrash(vol + "/dir/f 1.txt");
        std::string problems;
        if (std::string(c.expectedTrash).empty()) {
            if (r.status != FileOpStatus::CannotTrash)
                problems += "expected CannotTrash, got: " + r.reason + "\n";
            if (!fs::exists(vol + "/dir/f 1.txt"))
                problems += "the entry went away\n";
            return problems;
        }
        if (!r.ok())
            return "failed: " + r.reason;
        const std::string trash = volume + "/" + c.expectedTrash;
        if (r.target != trash + "/files/f 1.txt")
            problems += "target: " + r.target + "\n";
        if (readFile(trash + "/files/f 1.txt") != "dir/f 1.txt")
            problems += "content lost\n";
        const auto info = readTrashInfo(trash, "f 1.txt");
        if (info.count("error") || !info.count("Path") || info.at("Path") != "dir/f%201.txt")
            problems += "info: " + readFile(trash + "/info/f 1.txt.trashinfo") + "\n";
        if (!isDeletionDate(info.count("DeletionDate") ? info.at("DeletionDate") : ""))
            problems += "no deletion date\n";
        if (listNames(vol + "/elsewhere") != "")
            problems += "the link was followed\n";
        return problems;
    });
    if (answer.rfind("SKIP", 0) == 0)
        GTEST_SKIP() << answer;
    EXPECT_EQ(answer, "");
}

const std::string ownTrash = ".Trash-" + std::to_string(::geteuid());
const std::string sharedTrash = ".Trash/" + std::to_string(::geteuid());

INSTANTIATE_TEST_SUITE_P(
    Cases, VolumeTrash,
    ::testing::Values(VolumeCase{"no_shared_trash", SharedTrash::None, ownTrash.c_str()},
                      VolumeCase{"sticky_shared_trash", SharedTrash::Sticky, sharedTrash.c_str()},
                      VolumeCase{"shared_trash_without_sticky_bit", SharedTrash::NotSticky, ownTrash.c_str()},
                      VolumeCase{"shared_trash_is_a_link", SharedTrash::Link, ownTrash.c_str()},
                      VolumeCase{"own_trash_of_another_user", SharedTrash::OwnTrashOfAnotherUser, ""}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(VolumeTrashAsNobody, NoUsableTrashIsCannotTrashAndPermanentDeleteStillWorks)
{
    TempDir temp;
    ::chmod(temp.path().c_str(), 0711);
    const std::string vol = temp / "vol";
    fs::create_directories(vol);
    const std::string answer = runInChild([&]() -> std::string {
        ::setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
        if (std::string skip = mountPrivateTmpfs(vol, "size=1m,mode=0755"); !skip.empty())
            return skip;
        makeTree(vol, {"mine/f.txt"});
        if (::chown((vol + "/mine").c_str(), nobodyId, nobodyId) != 0 ||
            ::chown((vol + "/mine/f.txt").c_str(), nobodyId, nobodyId) != 0)
            return "chown failed";
        if (std::string skip = dropToNobody(); !skip.empty())
            return skip;
        const FileOpResult r = moveToTrash(vol + "/mine/f.txt");
        std::string problems;
        if (r.status != FileOpStatus::CannotTrash)
            problems += "expected CannotTrash, got: " + r.reason + "\n";
        if (r.reason.find(".Trash-65534") == std::string::npos)
            problems += "reason does not name the trash: " + r.reason + "\n";
        if (!fs::exists(vol + "/mine/f.txt"))
            return problems + "the entry went away\n";
        const FileOpResult gone = deletePermanently(vol + "/mine/f.txt");
        if (!gone.ok())
            problems += "permanent delete failed: " + gone.reason + "\n";
        if (fs::exists(vol + "/mine/f.txt"))
            problems += "still there\n";
        return problems;
    });
    if (answer.rfind("SKIP", 0) == 0)
        GTEST_SKIP() << answer;
    EXPECT_EQ(answer, "");
}

TEST(VolumeTrashOfABindMount, HomeTrashOnAnotherMountOfTheSameDiskIsPassedOver)
{
    TempDir temp;
    const std::string data = temp / "data", inner = temp / "inner", mount = temp / "mount";
    makeTree(temp.path(), {"inner/f.txt", "mount/", "data/"});
    const std::string answer = runInChild([&]() -> std::string {
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(inner.c_str(), mount.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return "SKIP: cannot make a bind mount here";
        const FileOpResult r = moveToTrash(mount + "/f.txt");
        if (!r.ok())
            return "failed: " + r.reason;
        const std::string expected = realPath(mount) + "/" + ownTrash + "/files/f.txt";
        if (r.target != expected)
            return "target " + r.target + ", expected " + expected;
        if (fs::exists(data + "/Trash/files/f.txt"))
            return "went to the home trash";
        return "";
    });
    if (answer.rfind("SKIP", 0) == 0)
        GTEST_SKIP() << answer;
    EXPECT_EQ(answer, "");
}

TEST(PermanentDelete, RemovesTreesAndLinksButNeverWhatLinksPointTo)
{
    TempDir temp;
    makeTree(temp.path(), {"tree/a/b/c.txt", "tree/empty/", "keep/precious.txt", "file.txt"});
    ::symlink((temp / "keep").c_str(), (temp / "tree/a/link-to-keep").c_str());
    ::symlink((temp / "keep/precious.txt").c_str(), (temp / "link").c_str());
    ::chmod((temp / "tree/a/b").c_str(), 0500); // root may still remove what is inside

    for (const char *entry : {"tree", "link", "file.txt"}) {
        const FileOpResult r = deletePermanently(temp / entry);
        EXPECT_TRUE(r.ok()) << r.reason;
    }
    EXPECT_EQ(listNames(temp.path()), "keep");
    EXPECT_EQ(readFile(temp / "keep/precious.txt"), "keep/precious.txt");
    const FileOpResult missing = deletePermanently(temp / "none");
    EXPECT_EQ(missing.status, FileOpStatus::Failed);
    EXPECT_EQ(missing.errorNumber, ENOENT);
}

} // namespace
