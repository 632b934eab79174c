// quorvel-find run as a separate process on fixture trees, as a user runs it.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "cli/run_find.h"
#include "roots/fixed_disks.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::FindRun;
using testing::TempDir;

// Runs quorvel-find with args (optionally as the unprivileged user 65534), feeding stdinText.
FindRun runFind(const std::vector<std::string> &args, const std::string &stdinText = {}, bool asNobody = false)
{
    testing::FindSetup setup;
    setup.stdinText = stdinText;
    setup.asNobody = asNobody;
    return testing::runFind(args, setup);
}

std::string lines(std::initializer_list<std::string> items, char end = '\n')
{
    std::string out;
    for (const std::string &item : items)
        out += item + end;
    return out;
}

class FindCli : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testing::makeTree(dir.path(), {"Report.docx", "report", "report.tar.gz", "sub/REPORT.txt", "sub/photos/a.jpg",
                                       "sub/photos/b.JPG", "music/x.mp3"});
        root = dir.path();
    }
    TempDir dir;
    std::string root;
};

TEST_F(FindCli, ExactByDefaultStreamsRowsInTheOrderFound)
{
    const FindRun run = runFind({"-e", "report", root});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.empty()) << run.err;
    // Root files first (in the filesystem's order), then the subfolder's.
    std::string out = run.out;
    EXPECT_EQ(out.substr(out.size() - (root + "/sub/REPORT.txt\n").size()), root + "/sub/REPORT.txt\n");
    EXPECT_NE(out.find(root + "/Report.docx\n"), std::string::npos);
    EXPECT_NE(out.find(root + "/report\n"), std::string::npos);
    EXPECT_EQ(out.find("report.tar.gz"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
}

TEST_F(FindCli, ListOrderShowsFileHitsNewestFirst)
{
    const FindRun found = runFind({"-f", "-e", "a", root + "/sub/photos"});
    const FindRun listed = runFind({"--list-order", "-f", "-e", "a", root + "/sub/photos"});
    EXPECT_EQ(found.status, 0);
    const std::string first = found.out.substr(0, found.out.find('\n') + 1);
    const std::string second = found.out.substr(first.size());
    EXPECT_EQ(listed.out, second + first);
}

TEST_F(FindCli, FuzzyFoldersAndColumns)
{
    EXPECT_EQ(runFind({"-f", "-e", "JPG", "--columns", root + "/sub/photos"}).out.size(),
              lines({root + "/sub/photos/a.jpg\ta.jpg", root + "/sub/photos/b.JPG\tb.JPG"}).size());
    EXPECT_EQ(runFind({"-d", "-e", "PHOTOS", root}).out, lines({root + "/sub/photos"}));
    EXPECT_EQ(runFind({"-d", "-f", "-e", "us", "--columns", root}).out, lines({root + "/music\t"}));
    // -x after -f: exact again.
    EXPECT_EQ(runFind({"-d", "-f", "-x", "-e", "us", root}).status, 1);
    // Folder hits in --list-order are in the order found.
    EXPECT_EQ(runFind({"-d", "--list-order", "-e", "photos", "-e", "sub", root}).out,
              lines({root + "/sub/photos", root + "/sub"}));
}

TEST_F(FindCli, KeywordFilesStandardInputAndExtraKeywords)
{
    testing::writeFile(dir / "keys.txt", "report\r\n\r\n   \r\nmissing\r\n");
    const FindRun fromFile = runFind({"-k", dir / "keys.txt", root + "/sub"});
    EXPECT_EQ(fromFile.out, lines({root + "/sub/REPORT.txt"}));
    // LF-only lines from standard input; -e keywords come after those of -k; a blank -e is dropped.
    const FindRun fromStdin = runFind({"-k", "-", "-e", "a", "-e", "  ", root + "/sub"}, "x\nREPORT\n");
    EXPECT_EQ(fromStdin.out, lines({root + "/sub/REPORT.txt", root + "/sub/photos/a.jpg"}));
}

TEST_F(FindCli, Print0EndsRowsWithNul)
{
    testing::writeFile(dir / "two\nlines.txt", "");
    const FindRun run = runFind({"-0", "-e", "two\nlines", root});
    EXPECT_EQ(run.out, root + "/two\nlines.txt" + std::string(1, '\0'));
}

TEST_F(FindCli, NotFoundReportJudgesNamesInListOrder)
{
    TempDir two;
    testing::makeTree(two.path(), {"a.txt"});
    testing::makeTree(two.path(), {"sub/b.txt"});
    // Found a.txt then b.txt; the list shows b.txt above a.txt, so its names text is
    // "b.txt/a.txt/": "txt/a" is found there, "txt/b" is not.
    const FindRun run = runFind({"-f", "-e", ".txt", "--not-found", dir / "nf.txt", "-e", "txt/a", "-e", "txt/b", "-e",
                                 "zz", "-e", "zz", two.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(testing::readFile(dir / "nf.txt"), "txt/b\r\nzz\r\nzz\r\n");
    // Everything found: zero bytes.
    EXPECT_EQ(runFind({"-e", "a", "--not-found", dir / "nf.txt", two.path()}).status, 0);
    EXPECT_EQ(testing::readFile(dir / "nf.txt"), "");
    // Nothing found at all: every keyword is listed, the status says no rows.
    EXPECT_EQ(runFind({"-e", "q", "--not-found", dir / "nf.txt", two.path()}).status, 1);
    EXPECT_EQ(testing::readFile(dir / "nf.txt"), "q\r\n");
    // Folder search: the list is in the order found.
    EXPECT_EQ(runFind({"-d", "-e", "sub", "-e", "music", "--not-found", dir / "nf.txt", two.path()}).status, 0);
    EXPECT_EQ(testing::readFile(dir / "nf.txt"), "music\r\n");
}

TEST_F(FindCli, NotFoundReportThatCannotBeWrittenIsAnError)
{
    const FindRun run = runFind({"-e", "report", "--not-found", dir / "no/such/folder/nf.txt", root});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("quorvel-find: " + dir / "no/such/folder/nf.txt"), std::string::npos) << run.err;
}

TEST_F(FindCli, CharsetDecidesCharacterBoundaries)
{
    // In GBK 0x81 0x41 is one character; in UTF-8 0x81 is a stray byte and 'A' a letter.
    testing::writeFile(dir / "\x81\x41.dat", "");
    EXPECT_EQ(runFind({"-f", "-e", "a.dat", "--charset", "gbk", root}).status, 1);
    EXPECT_EQ(runFind({"-f", "-e", "a.dat", "--charset", "utf-8", root}).out, lines({root + "/\x81\x41.dat"}));
}

TEST_F(FindCli, MissingRootIsReportedAndTheSearchGoesOn)
{
    const FindRun run = runFind({"-e", "report", root + "/gone", root + "/sub"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, lines({root + "/sub/REPORT.txt"}));
    EXPECT_EQ(run.err, "quorvel-find: " + root + "/gone: No such file or directory\n");
}

TEST_F(FindCli, UnreadableFolderIsReportedAndTheSearchGoesOn)
{
    testing::makeTree(dir.path(), {"locked/report"});
    chmod(dir.path().c_str(), 0755);
    chmod((dir / "locked").c_str(), 0);
    const FindRun run = runFind({"-e", "report", root}, {}, true);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find(root + "/sub/REPORT.txt\n"), std::string::npos);
    EXPECT_EQ(run.out.find("locked"), std::string::npos);
    EXPECT_EQ(run.err, "quorvel-find: " + root + "/locked: Permission denied\n");
}

struct UsageCase {
    const char *label;
    std::vector<std::string> args;
    int status;
    const char *errorPart;
};

class FindCliUsage : public ::testing::TestWithParam<UsageCase>
{
};

TEST_P(FindCliUsage, ExitStatusAndMessage)
{
    const UsageCase &c = GetParam();
    const FindRun run = runFind(c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FindCliUsage,
    ::testing::Values(UsageCase{"NoRows", {"-e", "nothing-has-this-name", "/nonexistent-quorvel"}, 1, "No such file"},
                      UsageCase{"UnknownOption", {"--bogus", "-e", "x", "/"}, 2, "unrecognized option '--bogus'"},
                      UsageCase{"MissingArgument", {"-e"}, 2, "requires an argument"},
                      UsageCase{"NoRoot", {"-e", "x"}, 2, "no ROOT"},
                      UsageCase{"AllDisksWithRoot", {"-a", "-e", "x", "/"}, 2, "takes no ROOT"},
                      UsageCase{"NoKeywords", {"/"}, 2, "no keywords"},
                      UsageCase{"OnlyBlankKeywords", {"-e", "   ", "/"}, 2, "no keywords"},
                      UsageCase{"UnreadableKeywordFile",
                                {"-k", "/nonexistent-quorvel/keys", "/"},
                                2,
                                "quorvel-find: /nonexistent-quorvel/keys: No such file or directory"},
                      UsageCase{"UnknownCharset", {"--charset", "latin1", "-e", "x", "/"}, 2, "unknown charset"}),
    [](const ::testing::TestParamInfo<UsageCase> &info) { return std::string(info.param.label); });

TEST(FindCliAllDisks, FindsAFolderOnALocalDisk)
{
    TempDir dir;
    const std::string unique = "quorvel-all-disks-" + dir.path().substr(dir.path().rfind('/') + 1);
    testing::makeTree(dir.path(), {unique + "/"});
    // The folder is found when it lies on one of the local disks, on that disk's own mount.
    struct stat here;
    ASSERT_EQ(stat(dir.path().c_str(), &here), 0);
    bool onADisk = false;
    for (const std::string &root : everyFixedDisk()) {
        struct stat st;
        const bool below = root == "/" || dir.path().rfind(root + "/", 0) == 0;
        if (below && stat(root.c_str(), &st) == 0 && st.st_dev == here.st_dev)
            onADisk = true;
    }
    if (!onADisk)
        GTEST_SKIP() << "the temporary folder is on no local disk of this machine";
    const FindRun run = runFind({"-a", "-d", "-e", unique});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, lines({dir / unique}));
}

TEST(FindCliInfo, HelpAndVersion)
{
    const FindRun help = runFind({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: quorvel-find"), std::string::npos);
    const FindRun version = runFind({"-V"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("quorvel-find ", 0), 0u);
}

} // namespace
} // namespace quorvel
