#include "fileops/copy_move.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <vector>

#include "fileops/isolated_child.h"
#include "support/temp_dir.h"

using namespace quorvel;
using namespace quorvel::testing;
namespace fs = std::filesystem;

namespace {

struct stat lstatOf(const std::string &path)
{
    struct stat st {
    };
    ::lstat(path.c_str(), &st);
    return st;
}

bool exists(const std::string &path)
{
    struct stat st {
    };
    return ::lstat(path.c_str(), &st) == 0;
}

// A source tree with what a copy must carry over: nested files, an empty folder, a
// read-only folder, relative, absolute and dangling links, odd modes and old times.
void makeRichTree(const std::string &root)
{
    makeTree(root, {"sub/x.txt", "sub/deeper/y.txt", "empty/", "locked/inside.txt", "名字 with space.txt"});
    ::symlink("sub/x.txt", (root + "/rel-link").c_str());
    ::symlink("/nonexistent/target", (root + "/dangling").c_str());
    ::symlink("sub", (root + "/folder-link").c_str());
    ::chmod((root + "/sub/x.txt").c_str(), 0640);
    ::chmod((root + "/sub/deeper").c_str(), 0750);
    ::chmod((root + "/locked/inside.txt").c_str(), 0444);
    setTimes(root + "/sub/x.txt", 1000000000, 123456789);
    setTimes(root + "/rel-link", 1100000000, 0);
    setTimes(root + "/sub/deeper", 1200000000, 5);
    ::chmod((root + "/locked").c_str(), 0555);
    setTimes(root + "/locked", 1300000000, 0);
    setTimes(root, 1400000000, 0);
}

void expectSameTimes(const std::string &a, const std::string &b)
{
    const struct stat sa = lstatOf(a), sb = lstatOf(b);
    EXPECT_EQ(sa.st_mtim.tv_sec, sb.st_mtim.tv_sec) << a;
    EXPECT_EQ(sa.st_mtim.tv_nsec, sb.st_mtim.tv_nsec) << a;
}

class CopyMove : public ::testing::Test
{
  protected:
    TempDir temp;
    std::string src = temp / "src";
    std::string dst = temp / "dst";
    void SetUp() override
    {
        fs::create_directories(src);
        fs::create_directories(dst);
    }
};

TEST_F(CopyMove, CopiesFileWithItsModeAndTimes)
{
    writeFile(src + "/a.txt", "hello");
    ::chmod((src + "/a.txt").c_str(), 0604);
    setTimes(src + "/a.txt", 1234567890, 987654321);

    const FileOpResult r = copyEntry(src + "/a.txt", dst, ClashMode::Rename);
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(r.target, dst + "/a.txt");
    EXPECT_EQ(readFile(dst + "/a.txt"), "hello");
    EXPECT_EQ(lstatOf(dst + "/a.txt").st_mode & 07777, 0604u);
    expectSameTimes(src + "/a.txt", dst + "/a.txt");
    EXPECT_EQ(readFile(src + "/a.txt"), "hello");
    EXPECT_EQ(listNames(dst), "a.txt");
}

TEST_F(CopyMove, CopiesWholeTreeWithLinksAsLinksModesAndTimes)
{
    makeRichTree(src + "/tree");
    const auto before = snapshot(src + "/tree");

    const FileOpResult r = copyEntry(src + "/tree", dst + "/", ClashMode::Replace);
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(r.target, dst + "/tree");
    EXPECT_EQ(snapshot(dst + "/tree"), before);
    EXPECT_EQ(snapshot(src + "/tree"), before);
    for (const char *entry : {"", "/sub/x.txt", "/rel-link", "/sub/deeper", "/locked"})
        expectSameTimes(src + "/tree" + entry, dst + "/tree" + entry);
    EXPECT_EQ(listNames(dst), "tree"); // no temporary left beside it
}

struct ClashCase {
    const char *label;
    std::vector<std::string> present; // entries already in the destination ("x/" = folder)
    std::string source;               // "x/" = a folder
    std::string expected;
};

class RenameOnClash : public CopyMove, public ::testing::WithParamInterface<ClashCase>
{
};

TEST_P(RenameOnClash, GivesTheFirstFreeNameAndTouchesNothingElse)
{
    const ClashCase &c = GetParam();
    const bool isFolder = c.source.back() == '/';
    const std::string name = isFolder ? c.source.substr(0, c.source.size() - 1) : c.source;
    if (isFolder)
        makeTree(src, {c.source + "inner.txt"});
    else
        writeFile(src + "/" + name, "new");
    for (const std::string &entry : c.present) {
        if (entry.back() == '/')
            fs::create_directories(dst + "/" + entry);
        else
            writeFile(dst + "/" + entry, "old");
    }
    const auto before = snapshot(dst);

    for (const bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        const FileOpResult r = move ? moveEntry(src + "/" + name, dst, ClashMode::Rename)
                                    : copyEntry(src + "/" + name, dst, ClashMode::Rename);
        ASSERT_TRUE(r.ok()) << r.reason;
        EXPECT_EQ(r.target, dst + "/" + c.expected);
        if (isFolder)
            EXPECT_EQ(readFile(r.target + "/inner.txt"), c.source + "inner.txt");
        else
            EXPECT_EQ(readFile(r.target), "new");
        for (const auto &[path, what] : before)
            EXPECT_EQ(snapshot(dst)[path], what) << path;
        EXPECT_EQ(exists(src + "/" + name), !move);
        fs::remove_all(r.target);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, RenameOnClash,
    ::testing::Values(ClashCase{"free_name", {"other.txt"}, "a.txt", "a.txt"},
                      ClashCase{"second", {"a.txt"}, "a.txt", "a (2).txt"},
                      ClashCase{"third", {"a.txt", "a (2).txt"}, "a.txt", "a (3).txt"},
                      ClashCase{"gap_is_used", {"a.txt", "a (3).txt"}, "a.txt", "a (2).txt"},
                      ClashCase{"no_extension", {"README"}, "README", "README (2)"},
                      ClashCase{"hidden_file", {".profile"}, ".profile", ".profile (2)"},
                      ClashCase{"tar_archive", {"a.tar.gz"}, "a.tar.gz", "a (2).tar.gz"},
                      ClashCase{"chinese", {"报告.docx"}, "报告.docx", "报告 (2).docx"},
                      ClashCase{"folder_keeps_dots", {"photos.2024/"}, "photos.2024/", "photos.2024 (2)"},
                      ClashCase{"folder_against_file", {"data"}, "data/", "data (2)"},
                      ClashCase{"file_against_folder", {"notes.txt/"}, "notes.txt", "notes (2).txt"}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(CopyMove, ReplaceWritesTheFileAnewAndRenamesItOverTheOld)
{
    writeFile(src + "/a.txt", "new content");
    ::chmod((src + "/a.txt").c_str(), 0600);
    writeFile(dst + "/a.txt", "old");
    ::link((dst + "/a.txt").c_str(), (temp / "other-name-of-old").c_str());

    const FileOpResult r = copyEntry(src + "/a.txt", dst, ClashMode::Replace);
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(readFile(dst + "/a.txt"), "new content");
    EXPECT_EQ(lstatOf(dst + "/a.txt").st_mode & 07777, 0600u);
    // A new file took the name: the old file was never written into.
    EXPECT_EQ(readFile(temp / "other-name-of-old"), "old");
    EXPECT_EQ(listNames(dst), "a.txt");
}

TEST_F(CopyMove, ReplacedLinkIsReplacedItselfNotItsTarget)
{
    writeFile(temp / "target.txt", "target");
    ::symlink((temp / "target.txt").c_str(), (dst + "/a.txt").c_str());
    writeFile(src + "/a.txt", "new");
    ASSERT_TRUE(copyEntry(src + "/a.txt", dst, ClashMode::Replace).ok());
    EXPECT_FALSE(S_ISLNK(lstatOf(dst + "/a.txt").st_mode));
    EXPECT_EQ(readFile(dst + "/a.txt"), "new");
    EXPECT_EQ(readFile(temp / "target.txt"), "target");
}

TEST_F(CopyMove, FolderMergesIntoExistingFolder)
{
    makeTree(dst, {"tree/keep.txt", "tree/sub/old.txt"});
    writeFile(dst + "/tree/same.txt", "old same");
    makeTree(src, {"tree/sub/new.txt", "tree/extra/"});
    writeFile(src + "/tree/same.txt", "new same");
    const auto sourceBefore = snapshot(src);

    for (const bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        const FileOpResult r = move ? moveEntry(src + "/tree", dst, ClashMode::Replace)
                                    : copyEntry(src + "/tree", dst, ClashMode::Replace);
        ASSERT_TRUE(r.ok()) << r.reason;
        EXPECT_EQ(r.target, dst + "/tree");
        EXPECT_EQ(listNames(dst + "/tree"), "extra | keep.txt | same.txt | sub");
        EXPECT_EQ(listNames(dst + "/tree/sub"), "new.txt | old.txt");
        EXPECT_EQ(readFile(dst + "/tree/same.txt"), "new same");
        EXPECT_EQ(readFile(dst + "/tree/keep.txt"), "tree/keep.txt");
        if (move)
            EXPECT_FALSE(exists(src + "/tree"));
        else
            EXPECT_EQ(snapshot(src), sourceBefore);
    }
}

TEST_F(CopyMove, ReplaceRefusesToPutAFolderAndAFileInEachOthersPlace)
{
    makeTree(src, {"x/inner.txt", "y"});
    makeTree(dst, {"x", "y/inner.txt"});
    const auto before = snapshot(temp.path());
    for (const bool move : {false, true}) {
        for (const char *name : {"x", "y"}) {
            const std::string path = src + "/" + name;
            const FileOpResult r =
                move ? moveEntry(path, dst, ClashMode::Replace) : copyEntry(path, dst, ClashMode::Replace);
            EXPECT_EQ(r.status, FileOpStatus::Failed) << name;
            EXPECT_NE(r.reason.find("in the way"), std::string::npos) << r.reason;
        }
    }
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(CopyMove, CopyOntoItselfNeverTouchesTheEntry)
{
    writeFile(src + "/a.txt", "precious");
    makeTree(src, {"tree/inner.txt"});
    const struct stat before = lstatOf(src + "/a.txt");

    for (const char *name : {"a.txt", "tree"}) {
        const FileOpResult same = copyEntry(src + "/" + name, src, ClashMode::Replace);
        ASSERT_TRUE(same.ok()) << same.reason;
        EXPECT_EQ(same.target, src + "/" + name);
    }
    EXPECT_EQ(listNames(src), "a.txt | tree");
    EXPECT_EQ(readFile(src + "/a.txt"), "precious");
    EXPECT_EQ(lstatOf(src + "/a.txt").st_ino, before.st_ino);

    // The same folder spelled differently is still the same folder.
    const FileOpResult spelled = copyEntry(src + "/a.txt", src + "/tree/..", ClashMode::Replace);
    ASSERT_TRUE(spelled.ok()) << spelled.reason;
    EXPECT_EQ(readFile(src + "/a.txt"), "precious");

    const FileOpResult copy = copyEntry(src + "/a.txt", src, ClashMode::Rename);
    ASSERT_TRUE(copy.ok()) << copy.reason;
    EXPECT_EQ(copy.target, src + "/a (2).txt");
    const FileOpResult treeCopy = copyEntry(src + "/tree", src, ClashMode::Rename);
    ASSERT_TRUE(treeCopy.ok()) << treeCopy.reason;
    EXPECT_EQ(treeCopy.target, src + "/tree (2)");
    EXPECT_EQ(readFile(src + "/a (2).txt"), "precious");
    EXPECT_EQ(readFile(src + "/tree (2)/inner.txt"), "tree/inner.txt");
    EXPECT_EQ(readFile(src + "/a.txt"), "precious");
}

TEST_F(CopyMove, MoveIntoItsOwnFolderDoesNothing)
{
    writeFile(src + "/a.txt", "stay");
    const struct stat before = lstatOf(src + "/a.txt");
    for (const ClashMode mode : {ClashMode::Rename, ClashMode::Replace}) {
        const FileOpResult r = moveEntry(src + "/a.txt", src + "/", mode);
        ASSERT_TRUE(r.ok()) << r.reason;
        EXPECT_EQ(r.target, src + "/a.txt");
    }
    EXPECT_EQ(listNames(src), "a.txt");
    EXPECT_EQ(lstatOf(src + "/a.txt").st_ino, before.st_ino);
}

TEST_F(CopyMove, FolderIsNeverCopiedOrMovedIntoItself)
{
    makeTree(src, {"tree/sub/deep/file.txt"});
    ::symlink((src + "/tree/sub").c_str(), (temp / "alias").c_str());
    const auto before = snapshot(temp.path());
    for (const std::string &into :
         {src + "/tree", src + "/tree/sub", src + "/tree/sub/deep", temp / "alias", src + "/tree/sub/deep/../.."}) {
        for (const ClashMode mode : {ClashMode::Rename, ClashMode::Replace}) {
            const FileOpResult c = copyEntry(src + "/tree", into, mode);
            EXPECT_EQ(c.status, FileOpStatus::Failed) << into;
            EXPECT_EQ(c.errorNumber, EINVAL) << c.reason;
            EXPECT_NE(c.reason.find("into itself"), std::string::npos) << c.reason;
            const FileOpResult m = moveEntry(src + "/tree", into, mode);
            EXPECT_EQ(m.status, FileOpStatus::Failed) << into;
            EXPECT_EQ(m.errorNumber, EINVAL) << m.reason;
        }
    }
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(CopyMove, MoveWithinOneFilesystemIsARename)
{
    makeRichTree(src + "/tree");
    writeFile(src + "/a.txt", "data");
    const auto treeBefore = snapshot(src + "/tree");
    const ino_t fileInode = lstatOf(src + "/a.txt").st_ino;
    const ino_t treeInode = lstatOf(src + "/tree").st_ino;

    const FileOpResult file = moveEntry(src + "/a.txt", dst, ClashMode::Replace);
    const FileOpResult tree = moveEntry(src + "/tree", dst, ClashMode::Rename);
    ASSERT_TRUE(file.ok()) << file.reason;
    ASSERT_TRUE(tree.ok()) << tree.reason;
    EXPECT_EQ(lstatOf(dst + "/a.txt").st_ino, fileInode);
    EXPECT_EQ(lstatOf(dst + "/tree").st_ino, treeInode);
    EXPECT_EQ(snapshot(dst + "/tree"), treeBefore);
    EXPECT_EQ(listNames(src), "");
}

TEST_F(CopyMove, MoveReplacesAnExistingFile)
{
    writeFile(src + "/a.txt", "new");
    writeFile(dst + "/a.txt", "old");
    const FileOpResult r = moveEntry(src + "/a.txt", dst, ClashMode::Replace);
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(readFile(dst + "/a.txt"), "new");
    EXPECT_FALSE(exists(src + "/a.txt"));
}

TEST_F(CopyMove, MoveOfAFileWhoseOtherNameIsAlreadyThereRemovesTheOldName)
{
    writeFile(src + "/a.txt", "one file");
    ::link((src + "/a.txt").c_str(), (dst + "/a.txt").c_str());
    const FileOpResult r = moveEntry(src + "/a.txt", dst, ClashMode::Replace);
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_FALSE(exists(src + "/a.txt"));
    EXPECT_EQ(readFile(dst + "/a.txt"), "one file");
}

class AcrossFilesystems : public CopyMove
{
  protected:
    ShmDir shm;
    void SetUp() override
    {
        CopyMove::SetUp();
        if (shm.path().empty() || sameDevice(shm.path(), temp.path()))
            GTEST_SKIP() << "/dev/shm is not another filesystem here";
    }
};

TEST_F(AcrossFilesystems, MoveCopiesKeepsModesAndTimesThenRemovesTheSource)
{
    makeRichTree(src + "/tree");
    writeFile(src + "/a.txt", "file data");
    ::chmod((src + "/a.txt").c_str(), 0754);
    setTimes(src + "/a.txt", 1500000000, 42);
    const auto treeBefore = snapshot(src + "/tree");

    const FileOpResult tree = moveEntry(src + "/tree", shm.path(), ClashMode::Rename);
    ASSERT_TRUE(tree.ok()) << tree.reason;
    EXPECT_EQ(tree.target, shm.path() + "/tree");
    EXPECT_EQ(snapshot(shm.path() + "/tree"), treeBefore);
    EXPECT_EQ(lstatOf(shm.path() + "/tree/sub/x.txt").st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(lstatOf(shm.path() + "/tree/locked").st_mtim.tv_sec, 1300000000);

    writeFile(shm.path() + "/a.txt", "in the way");
    const FileOpResult file = moveEntry(src + "/a.txt", shm.path(), ClashMode::Rename);
    ASSERT_TRUE(file.ok()) << file.reason;
    EXPECT_EQ(file.target, shm.path() + "/a (2).txt");
    EXPECT_EQ(readFile(file.target), "file data");
    EXPECT_EQ(lstatOf(file.target).st_mode & 07777, 0754u);
    EXPECT_EQ(lstatOf(file.target).st_mtim.tv_nsec, 42);
    EXPECT_EQ(readFile(shm.path() + "/a.txt"), "in the way");

    EXPECT_EQ(listNames(src), "");
    EXPECT_EQ(listNames(shm.path()), "a (2).txt | a.txt | tree");
}

TEST_F(AcrossFilesystems, MoveMergesIntoAnExistingFolderAndReplacesFiles)
{
    makeTree(src, {"tree/new.txt", "tree/sub/a.txt"});
    writeFile(src + "/tree/same.txt", "new");
    makeTree(shm.path(), {"tree/keep.txt", "tree/sub/"});
    writeFile(shm.path() + "/tree/same.txt", "old");

    const FileOpResult r = moveEntry(src + "/tree", shm.path(), ClashMode::Replace);
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(listNames(shm.path() + "/tree"), "keep.txt | new.txt | same.txt | sub");
    EXPECT_EQ(readFile(shm.path() + "/tree/same.txt"), "new");
    EXPECT_EQ(readFile(shm.path() + "/tree/sub/a.txt"), "tree/sub/a.txt");
    EXPECT_EQ(listNames(src), "");
}

TEST_F(AcrossFilesystems, EntriesThatChangeOrAppearDuringAMoveStayInTheSource)
{
    const std::string big(9 << 20, 'b');
    makeTree(src, {"tree/small.txt"});
    writeFile(src + "/tree/big.bin", big);

    // An entry added while the move runs was never copied, so it must not be removed.
    OperationControl control;
    control.onProgress = [&](std::uint64_t) { writeFile(src + "/tree/added.txt", "late"); };
    const FileOpResult added = moveEntry(src + "/tree", shm.path(), ClashMode::Rename, control);
    EXPECT_EQ(added.status, FileOpStatus::Failed);
    EXPECT_NE(added.reason.find("was kept"), std::string::npos) << added.reason;
    EXPECT_EQ(listNames(src + "/tree"), "added.txt");
    EXPECT_EQ(readFile(shm.path() + "/tree/big.bin"), big);
    EXPECT_EQ(readFile(shm.path() + "/tree/small.txt"), "tree/small.txt");

    // A file that grows while it is copied is kept, and no partial copy is left.
    writeFile(src + "/growing.bin", big);
    control.onProgress = [&](std::uint64_t) { std::ofstream(src + "/growing.bin", std::ios::app) << "more"; };
    const FileOpResult grown = moveEntry(src + "/growing.bin", shm.path(), ClashMode::Rename, control);
    EXPECT_EQ(grown.status, FileOpStatus::Failed);
    EXPECT_NE(grown.reason.find("changed while it was moved"), std::string::npos) << grown.reason;
    EXPECT_GT(readFile(src + "/growing.bin").size(), big.size());
    EXPECT_EQ(listNames(shm.path()), "tree");
}

struct ProgressCase {
    const char *label;
    bool otherFilesystem;
    bool move;
};

class Progress : public AcrossFilesystems, public ::testing::WithParamInterface<ProgressCase>
{
};

TEST_P(Progress, ReportsBytesAndStopsOnCancelLeavingNothingBehind)
{
    const ProgressCase &c = GetParam();
    const std::string into = c.otherFilesystem ? shm.path() : dst;
    std::string big(9 << 20, 'x');
    for (std::size_t i = 0; i < big.size(); i += 4096)
        big[i] = static_cast<char>('a' + i / 4096 % 26);
    makeTree(src, {"tree/small.txt"});
    writeFile(src + "/tree/big.bin", big);
    const auto before = snapshot(src);

    std::vector<std::uint64_t> seen;
    OperationControl control;
    control.onProgress = [&](std::uint64_t bytes) { seen.push_back(bytes); };
    const FileOpResult r = c.move ? moveEntry(src + "/tree", into, ClashMode::Rename, control)
                                  : copyEntry(src + "/tree", into, ClashMode::Rename, control);
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(readFile(into + "/tree/big.bin"), big);
    if (c.move && !c.otherFilesystem) {
        EXPECT_TRUE(seen.empty()); // a rename copies nothing
    } else {
        ASSERT_GE(seen.size(), 2u);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_EQ(seen.back(), big.size() + std::string("tree/small.txt").size());
    }
    if (c.move) {
        ASSERT_TRUE(moveEntry(r.target, src, ClashMode::Rename).ok());
    } else {
        fs::remove_all(r.target);
    }
    ASSERT_EQ(snapshot(src), before);

    if (c.move && !c.otherFilesystem)
        return;
    StopFlag stop{false};
    control.cancel = &stop;
    control.onProgress = [&](std::uint64_t) { stop = true; };
    const FileOpResult stopped = c.move ? moveEntry(src + "/tree", into, ClashMode::Rename, control)
                                        : copyEntry(src + "/tree", into, ClashMode::Rename, control);
    EXPECT_EQ(stopped.status, FileOpStatus::Cancelled) << stopped.reason;
    EXPECT_EQ(listNames(into), "");
    EXPECT_EQ(snapshot(src), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, Progress,
                         ::testing::Values(ProgressCase{"copy_same_filesystem", false, false},
                                           ProgressCase{"copy_other_filesystem", true, false},
                                           ProgressCase{"move_same_filesystem", false, true},
                                           ProgressCase{"move_other_filesystem", true, true}),
                         [](const auto &info) { return std::string(info.param.label); });

struct RefusalCase {
    const char *label;
    std::string source; // relative to the temporary folder
    std::string destination;
    int errorNumber;
};

class Refusal : public CopyMove, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(Refusal, FailsWithTheReasonAndChangesNothing)
{
    const RefusalCase &c = GetParam();
    writeFile(src + "/a.txt", "a");
    writeFile(temp / "plain-file", "x");
    const auto before = snapshot(temp.path());
    auto resolve = [&](const std::string &p) { return p.empty() || p[0] == '/' ? p : temp / p; };
    for (const bool move : {false, true}) {
        const FileOpResult r = move ? moveEntry(resolve(c.source), resolve(c.destination), ClashMode::Rename)
                                    : copyEntry(resolve(c.source), resolve(c.destination), ClashMode::Rename);
        EXPECT_EQ(r.status, FileOpStatus::Failed);
        EXPECT_EQ(r.errorNumber, c.errorNumber) << r.reason;
        EXPECT_FALSE(r.reason.empty());
    }
    EXPECT_EQ(snapshot(temp.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, Refusal,
                         ::testing::Values(RefusalCase{"missing_source", "src/none.txt", "dst", ENOENT},
                                           RefusalCase{"missing_destination", "src/a.txt", "nowhere", ENOENT},
                                           RefusalCase{"destination_is_a_file", "src/a.txt", "plain-file", ENOTDIR},
                                           RefusalCase{"empty_source", "", "dst", EINVAL},
                                           RefusalCase{"root_source", "/", "dst", EINVAL},
                                           RefusalCase{"dot_dot_source", "src/..", "dst", EINVAL},
                                           RefusalCase{"empty_destination", "src/a.txt", "", EINVAL}),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
