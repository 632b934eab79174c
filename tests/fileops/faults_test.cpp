// Failures that root would never meet: a full disk, an unreadable source, a read-only
// destination. Each runs in a forked child that lowers its limits or drops to nobody.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "fileops/copy_move.h"
#include "fileops/isolated_child.h"
#include "fileops/permanent_delete.h"
#include "support/temp_dir.h"

using namespace quorvel;
using namespace quorvel::testing;
namespace fs = std::filesystem;

namespace {

#define EXPECT_CHILD_OK(answer)                                                                                        \
    do {                                                                                                               \
        const std::string childAnswer = (answer);                                                                      \
        if (childAnswer.rfind("SKIP", 0) == 0)                                                                         \
            GTEST_SKIP() << childAnswer;                                                                               \
        EXPECT_EQ(childAnswer, "");                                                                                    \
    } while (0)

std::string check(bool ok, const std::string &what)
{
    return ok ? std::string() : what + "\n";
}

std::string expectFailure(const FileOpResult &r, int errorNumber)
{
    if (r.status != FileOpStatus::Failed)
        return "expected a failure, got status " + std::to_string(static_cast<int>(r.status)) + "\n";
    if (r.errorNumber != errorNumber)
        return "expected errno " + std::to_string(errorNumber) + ", got: " + r.reason + "\n";
    return {};
}

const std::string bigContent(1 << 20, 'z');

// A destination that fills up, in two forms: a file size limit (works everywhere) and a
// small tmpfs (where this machine allows mounting one).
enum class FullDisk { FileSizeLimit, SmallTmpfs };

class FullDestination : public ::testing::TestWithParam<FullDisk>
{
  protected:
    TempDir temp;
    std::string src = temp / "src";
    std::string dst = temp / "dst";
    int expectedErrno() const { return GetParam() == FullDisk::FileSizeLimit ? EFBIG : ENOSPC; }
    void SetUp() override
    {
        fs::create_directories(src);
        fs::create_directories(dst);
        makeTree(src, {"tree/a.txt", "tree/sub/c.txt"});
        writeFile(src + "/tree/sub/big.bin", bigContent);
        writeFile(src + "/big.bin", bigContent);
    }
    // Makes the destination full for the rest of the child's life.
    std::string fill(const std::string &old)
    {
        if (GetParam() == FullDisk::FileSizeLimit) {
            writeFile(dst + "/big.bin", old);
            return limitFileSize(64 << 10);
        }
        std::string answer = mountPrivateTmpfs(dst, "size=256k,mode=0755");
        if (answer.empty())
            writeFile(dst + "/big.bin", old);
        return answer;
    }
};

TEST_P(FullDestination, FailedReplaceLeavesTheOldFileIntact)
{
    EXPECT_CHILD_OK(runInChild([&] {
        if (std::string skip = fill("old content"); !skip.empty())
            return skip;
        std::string problems;
        // Within one filesystem a move is a rename that writes no data; only a tmpfs
        // destination makes a move copy.
        for (const bool move : {false, GetParam() == FullDisk::SmallTmpfs}) {
            const FileOpResult r = move ? moveEntry(src + "/big.bin", dst, ClashMode::Replace)
                                        : copyEntry(src + "/big.bin", dst, ClashMode::Replace);
            problems += expectFailure(r, expectedErrno());
            problems += check(readFile(dst + "/big.bin") == "old content", "old file changed");
            problems += check(listNames(dst) == "big.bin", "left behind: " + listNames(dst));
            problems += check(readFile(src + "/big.bin") == bigContent, "source changed");
        }
        return problems;
    }));
}

TEST_P(FullDestination, FolderCopyFailingHalfwayLeavesSourceAndNoPartialCopy)
{
    const auto before = snapshot(src);
    EXPECT_CHILD_OK(runInChild([&] {
        if (std::string skip = fill("old"); !skip.empty())
            return skip;
        std::string problems;
        for (const ClashMode mode : {ClashMode::Rename, ClashMode::Replace}) {
            problems += expectFailure(copyEntry(src + "/tree", dst, mode), expectedErrno());
            problems += check(listNames(dst) == "big.bin", "left behind: " + listNames(dst));
        }
        if (GetParam() == FullDisk::SmallTmpfs) {
            problems += expectFailure(moveEntry(src + "/tree", dst, ClashMode::Rename), expectedErrno());
            problems += check(listNames(dst) == "big.bin", "move left behind: " + listNames(dst));
        }
        return problems;
    }));
    EXPECT_EQ(snapshot(src), before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FullDestination, ::testing::Values(FullDisk::FileSizeLimit, FullDisk::SmallTmpfs),
                         [](const auto &info) {
                             return std::string(info.param == FullDisk::FileSizeLimit ? "file_size_limit"
                                                                                      : "small_tmpfs");
                         });

TEST(FullDestinationAcrossFilesystems, MoveThatCannotCopyEverythingKeepsTheSource)
{
    TempDir temp;
    ShmDir shm;
    if (shm.path().empty() || sameDevice(shm.path(), temp.path()))
        GTEST_SKIP() << "/dev/shm is not another filesystem here";
    makeTree(temp.path(), {"tree/a.txt", "tree/sub/b.txt"});
    writeFile(temp / "tree/sub/big.bin", bigContent);
    const auto before = snapshot(temp.path());
    EXPECT_CHILD_OK(runInChild([&] {
        if (std::string failed = limitFileSize(64 << 10); !failed.empty())
            return failed;
        std::string problems = expectFailure(moveEntry(temp / "tree", shm.path(), ClashMode::Rename), EFBIG);
        problems += check(listNames(shm.path()).empty(), "left behind: " + listNames(shm.path()));
        return problems;
    }));
    EXPECT_EQ(snapshot(temp.path()), before);
}

// A fixture that uid 65534 can reach: the temporary folder is opened for passing through,
// and `mine` belongs to nobody.
class AsNobody : public ::testing::Test
{
  protected:
    TempDir temp;
    std::string mine = temp / "mine";
    void SetUp() override
    {
        ::chmod(temp.path().c_str(), 0711);
        fs::create_directories(mine);
        ASSERT_EQ(::chown(mine.c_str(), nobodyId, nobodyId), 0);
    }
    void giveToNobody(const std::string &path) { ASSERT_EQ(::lchown(path.c_str(), nobodyId, nobodyId), 0); }
};

TEST_F(AsNobody, UnreadableSourceFailsAndLeavesNothingInTheDestination)
{
    makeTree(temp.path(), {"root-owned/secret.txt", "root-owned/tree/ok.txt", "root-owned/tree/secret.txt"});
    ::chmod((temp / "root-owned/secret.txt").c_str(), 0600);
    ::chmod((temp / "root-owned/tree/secret.txt").c_str(), 0600);
    const auto before = snapshot(temp.path());
    EXPECT_CHILD_OK(runInChild([&] {
        if (std::string skip = dropToNobody(); !skip.empty())
            return skip;
        std::string problems;
        for (const char *name : {"secret.txt", "tree"}) {
            for (const ClashMode mode : {ClashMode::Rename, ClashMode::Replace})
                problems += expectFailure(copyEntry(temp / "root-owned/" + name, mine, mode), EACCES);
        }
        problems += check(listNames(mine).empty(), "left behind: " + listNames(mine));
        return problems;
    }));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(AsNobody, ReadOnlyDestinationFailsAndKeepsTheSource)
{
    makeTree(mine, {"a.txt", "tree/b.txt"});
    for (const char *p : {"a.txt", "tree", "tree/b.txt"})
        giveToNobody(mine + "/" + p);
    makeTree(temp.path(), {"read-only/"});
    const auto before = snapshot(temp.path());
    EXPECT_CHILD_OK(runInChild([&] {
        if (std::string skip = dropToNobody(); !skip.empty())
            return skip;
        std::string problems;
        for (const char *name : {"a.txt", "tree"}) {
            for (const ClashMode mode : {ClashMode::Rename, ClashMode::Replace}) {
                problems += expectFailure(copyEntry(mine + "/" + name, temp / "read-only", mode), EACCES);
                problems += expectFailure(moveEntry(mine + "/" + name, temp / "read-only", mode), EACCES);
            }
        }
        return problems;
    }));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(AsNobody, MoveAcrossFilesystemsWithAnUnreadableFileKeepsEverything)
{
    ShmDir shm;
    if (shm.path().empty() || sameDevice(shm.path(), temp.path()))
        GTEST_SKIP() << "/dev/shm is not another filesystem here";
    ASSERT_EQ(::chown(shm.path().c_str(), nobodyId, nobodyId), 0);
    makeTree(mine, {"tree/a.txt", "tree/z.txt", "tree/sub/b.txt", "tree/root-only.txt"});
    for (const char *p : {"tree", "tree/a.txt", "tree/z.txt", "tree/sub", "tree/sub/b.txt"})
        giveToNobody(mine + "/" + p);
    ::chmod((mine + "/tree/root-only.txt").c_str(), 0600);
    const auto before = snapshot(mine);
    EXPECT_CHILD_OK(runInChild([&] {
        if (std::string skip = dropToNobody(); !skip.empty())
            return skip;
        std::string problems = expectFailure(moveEntry(mine + "/tree", shm.path(), ClashMode::Rename), EACCES);
        problems += check(listNames(shm.path()).empty(), "left behind: " + listNames(shm.path()));
        return problems;
    }));
    EXPECT_EQ(snapshot(mine), before);
}

TEST_F(AsNobody, PermanentDeleteReportsWhatItCouldNotRemove)
{
    makeTree(mine, {"tree/a.txt", "tree/b.txt", "tree/fixed/c.txt", "tree/fixed/d.txt"});
    for (const char *p : {"tree", "tree/a.txt", "tree/b.txt"})
        giveToNobody(mine + "/" + p);
    EXPECT_CHILD_OK(runInChild([&] {
        if (std::string skip = dropToNobody(); !skip.empty())
            return skip;
        const FileOpResult r = deletePermanently(mine + "/tree");
        std::string problems = expectFailure(r, EACCES);
        problems += check(r.reason.find(mine + "/tree/fixed/") != std::string::npos, "reason: " + r.reason);
        problems += check(listNames(mine + "/tree") == "fixed", "left: " + listNames(mine + "/tree"));
        return problems;
    }));
    EXPECT_EQ(listNames(mine + "/tree/fixed"), "c.txt | d.txt");
}

} // namespace
