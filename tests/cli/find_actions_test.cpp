// The actions of quorvel-find (--copy-to, --move-to, --trash) on real fixture trees, with
// the program run as a separate process.

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "cli/run_find.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::FindRun;
using testing::FindSetup;
using testing::readFile;
using testing::TempDir;

std::string lines(std::initializer_list<std::string> items, char end = '\n')
{
    std::string out;
    for (const std::string &item : items)
        out += item + end;
    return out;
}

// Everything below root by relative path: "dir", or "file <content>". Equal snapshots mean
// nothing was changed, added or lost.
std::map<std::string, std::string> snapshot(const std::string &root)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(e.path(), root).string();
        entries[relative] = e.is_directory() ? "dir" : "file " + readFile(e.path().string());
    }
    return entries;
}

// The contents of all files below the roots, sorted: what no action may lose.
std::vector<std::string> allContents(std::initializer_list<std::string> roots)
{
    std::vector<std::string> contents;
    for (const std::string &root : roots) {
        for (const fs::directory_entry &e : fs::recursive_directory_iterator(root)) {
            if (e.is_regular_file())
                contents.push_back(readFile(e.path().string()));
        }
    }
    std::sort(contents.begin(), contents.end());
    return contents;
}

bool exists(const std::string &path)
{
    struct stat st {
    };
    return ::lstat(path.c_str(), &st) == 0;
}

enum class Act { Copy, Move, Trash };

void PrintTo(Act act, std::ostream *os)
{
    *os << (act == Act::Copy ? "copy" : act == Act::Move ? "move" : "trash");
}

// The action's options; the trash needs no folder.
std::vector<std::string> actionArgs(Act act, const std::string &dest)
{
    switch (act) {
    case Act::Copy:
        return {"--copy-to", dest};
    case Act::Move:
        return {"--move-to", dest};
    case Act::Trash:
        return {"--trash"};
    }
    return {};
}

std::vector<std::string> join(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class FindActions : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        testing::makeTree(src.path(), {"Report.docx", "sub/REPORT.txt", "sub/keep.txt", "music/x.mp3"});
        root = src.path();
        dest = out.path();
    }
    // The home trash lives below here (XDG_DATA_HOME), on the fixtures' volume.
    FindSetup trashSetup() const
    {
        FindSetup setup;
        setup.environment = {{"XDG_DATA_HOME", data.path()}};
        return setup;
    }
    TempDir src, out, data;
    std::string root, dest;
};

// ---- Each action on every row ----

struct ActionCase {
    const char *label;
    Act act;
    const char *summary; // with DEST for the destination
};

void PrintTo(const ActionCase &c, std::ostream *os)
{
    *os << c.label;
}

class FindActionsEach : public FindActions, public ::testing::WithParamInterface<ActionCase>
{
};

TEST_P(FindActionsEach, TakesEveryRowsEntryAfterPrintingTheRows)
{
    const ActionCase &c = GetParam();
    const FindRun plain = testing::runFind({"-e", "report", root});
    const FindRun run = testing::runFind(join({"-e", "report", root}, actionArgs(c.act, dest)), trashSetup());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, plain.out);
    std::string summary = std::string("quorvel-find: ") + c.summary + "\n";
    if (const std::size_t at = summary.find("DEST"); at != std::string::npos)
        summary.replace(at, 4, dest);
    EXPECT_EQ(run.err, summary);

    const std::string landed = c.act == Act::Trash ? data / "Trash/files" : dest;
    EXPECT_EQ(readFile(landed + "/Report.docx"), "Report.docx");
    EXPECT_EQ(readFile(landed + "/REPORT.txt"), "sub/REPORT.txt");
    EXPECT_EQ(exists(root + "/Report.docx"), c.act == Act::Copy);
    EXPECT_EQ(exists(root + "/sub/REPORT.txt"), c.act == Act::Copy);
    EXPECT_EQ(readFile(root + "/sub/keep.txt"), "sub/keep.txt");
    if (c.act == Act::Trash) {
        // A file manager can put them back: each has its info file with the old path.
        const std::string info = readFile(data / "Trash/info/REPORT.txt.trashinfo");
        EXPECT_NE(info.find("\nPath=" + root + "/sub/REPORT.txt\n"), std::string::npos) << info;
        EXPECT_NE(readFile(data / "Trash/info/Report.docx.trashinfo").find("Path=" + root + "/Report.docx"),
                  std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Actions, FindActionsEach,
                         ::testing::Values(ActionCase{"Copy", Act::Copy, "copied 2 of 2 entries to DEST"},
                                           ActionCase{"Move", Act::Move, "moved 2 of 2 entries to DEST"},
                                           ActionCase{"Trash", Act::Trash, "moved 2 of 2 entries to the trash"}),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(FindActions, NoRowsMeansNothingToDoAndStatusOne)
{
    const FindRun run = testing::runFind({"-e", "nothing-has-this-name", "--copy-to", dest, root});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quorvel-find: copied 0 of 0 entries to " + dest + "\n");
}

// ---- Which entries, in which order ----

TEST_F(FindActions, PathInTwoRowsIsCopiedOnce)
{
    // Matched by both keywords, REPORT.txt stands in two rows; a second copy would show as
    // "REPORT (2).txt".
    const FindRun run =
        testing::runFind({"-f", "-e", "rep", "-e", "port", "--copy-to", dest, "--rename-on-clash", root + "/sub"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, lines({root + "/sub/REPORT.txt", root + "/sub/REPORT.txt"}));
    EXPECT_EQ(run.err, "quorvel-find: copied 1 of 1 entry to " + dest + "\n");
    EXPECT_EQ(snapshot(dest).size(), 1u);
}

TEST_F(FindActions, EntriesAreTakenInTheOrderTheRowsWerePrinted)
{
    testing::makeTree(root, {"a/x.txt", "b/x.txt"});
    for (const std::vector<std::string> &order : {std::vector<std::string>{}, {"--list-order"}}) {
        SCOPED_TRACE(order.empty() ? "order found" : "list order");
        TempDir target;
        // With renaming on, the first entry taken gets "x.txt" and the second "x (2).txt".
        const FindRun run =
            testing::runFind(join(order, {"-f", "-e", "x.txt", "--copy-to", target.path(), "--rename-on-clash", root}));
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string first = run.out.substr(0, run.out.find('\n'));
        const std::string second = run.out.substr(first.size() + 1, run.out.size() - first.size() - 2);
        EXPECT_EQ(readFile(target / "x.txt"), first.substr(root.size() + 1));
        EXPECT_EQ(readFile(target / "x (2).txt"), second.substr(root.size() + 1));
    }
}

TEST_F(FindActions, ThousandsOfRowsEachPrintedTwiceAreListedOnceInOrder)
{
    for (int i = 0; i < 3000; ++i)
        testing::writeFile(dest + "/f" + std::to_string(i) + " report.txt", "");
    const FindRun run = testing::runFind({"-f", "-e", "rep", "-e", "ort", "--dry-run", "--trash", dest});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> rows;
    std::set<std::string> seen;
    std::string expected;
    std::size_t at = 0;
    while (at < run.out.size() && run.out.compare(at, 6, "trash ") != 0) {
        rows.push_back(run.out.substr(at, run.out.find('\n', at) - at));
        at += rows.back().size() + 1;
        if (seen.insert(rows.back()).second)
            expected += "trash " + rows.back() + "\n";
    }
    EXPECT_EQ(rows.size(), 6000u);
    EXPECT_EQ(seen.size(), 3000u);
    EXPECT_EQ(run.out.substr(at), expected);
}

// ---- Clashes ----

struct ClashCase {
    const char *label;
    Act act;
    bool rename;
};

void PrintTo(const ClashCase &c, std::ostream *os)
{
    *os << c.label;
}

class FindActionsClash : public FindActions, public ::testing::WithParamInterface<ClashCase>
{
};

TEST_P(FindActionsClash, ReplacesOrTakesTheFirstFreeName)
{
    const ClashCase &c = GetParam();
    testing::writeFile(dest + "/REPORT.txt", "old");
    std::vector<std::string> args = join({"-e", "report", root + "/sub"}, actionArgs(c.act, dest));
    if (c.rename)
        args.push_back("--rename-on-clash");
    const FindRun run = testing::runFind(args);
    EXPECT_EQ(run.status, 0) << run.err;
    if (c.rename) {
        EXPECT_EQ(readFile(dest + "/REPORT.txt"), "old");
        EXPECT_EQ(readFile(dest + "/REPORT (2).txt"), "sub/REPORT.txt");
    } else {
        EXPECT_EQ(readFile(dest + "/REPORT.txt"), "sub/REPORT.txt");
        EXPECT_FALSE(exists(dest + "/REPORT (2).txt"));
    }
    EXPECT_EQ(exists(root + "/sub/REPORT.txt"), c.act == Act::Copy);
}

INSTANTIATE_TEST_SUITE_P(Modes, FindActionsClash,
                         ::testing::Values(ClashCase{"CopyReplacing", Act::Copy, false},
                                           ClashCase{"CopyRenaming", Act::Copy, true},
                                           ClashCase{"MoveReplacing", Act::Move, false},
                                           ClashCase{"MoveRenaming", Act::Move, true}),
                         [](const auto &info) { return std::string(info.param.label); });

// A move that replaces would destroy a file the user asked to keep when the entry in the
// way came from this same run, or is itself one of the rows: such an entry stays put.
struct OwnClashCase {
    const char *label;
    std::vector<std::string> roots; // below the fixture root; "." is the root itself
    bool intoRoot;                  // the destination is the search root itself
    bool listOrder;
    const char *summary;
    std::size_t failures;
    const char *reasonPart;
};

void PrintTo(const OwnClashCase &c, std::ostream *os)
{
    *os << c.label;
}

class FindActionsOwnClash : public ::testing::TestWithParam<OwnClashCase>
{
};

TEST_P(FindActionsOwnClash, MoveNeverReplacesAnEntryOfTheSameRun)
{
    const OwnClashCase &c = GetParam();
    TempDir src, out;
    testing::makeTree(src.path(), {"x.txt", "a/x.txt", "b/x.txt"});
    const std::string dest = c.intoRoot ? src.path() : out.path();
    std::vector<std::string> args = {"-e", "x", "--move-to", dest};
    if (c.listOrder)
        args.push_back("--list-order");
    for (const std::string &r : c.roots)
        args.push_back(r == "." ? src.path() : src / r);
    const FindRun run = testing::runFind(args);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(allContents({src.path(), out.path()}), (std::vector<std::string>{"a/x.txt", "b/x.txt", "x.txt"}));
    // One line per refused entry, naming it, then the summary.
    const std::string summary =
        "quorvel-find: " + std::string(c.summary) + " " + dest + "; " + std::to_string(c.failures) + " failed\n";
    ASSERT_GE(run.err.size(), summary.size()) << run.err;
    EXPECT_EQ(run.err.substr(run.err.size() - summary.size()), summary) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), static_cast<long>(c.failures + 1)) << run.err;
    std::size_t at = 0;
    for (std::size_t i = 0; i < c.failures; ++i) {
        const std::string line = run.err.substr(at, run.err.find('\n', at) - at);
        at += line.size() + 1;
        const std::string path = line.substr(14, line.find(": ", 14) - 14);
        EXPECT_EQ(line.rfind("quorvel-find: " + src.path() + "/", 0), 0u) << line;
        EXPECT_TRUE(exists(path)) << line;
        EXPECT_NE(line.find(c.reasonPart), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindActionsOwnClash,
    ::testing::Values(
        OwnClashCase{"SameNameFromTwoFolders",
                     {"a", "b"},
                     false,
                     false,
                     "moved 1 of 2 entries to",
                     1,
                     "holds an earlier row's entry"},
        OwnClashCase{"IntoTheRootWhereARowStays",
                     {"."},
                     true,
                     false,
                     "moved 1 of 3 entries to",
                     2,
                     "holds an earlier row's entry"},
        OwnClashCase{
            "IntoTheRootBeforeThatRowIsTaken", {"."}, true, true, "moved 1 of 3 entries to", 2, "is itself a row"}),
    [](const auto &info) { return std::string(info.param.label); });

// ---- Folders ----

class FindActionsNested : public FindActions, public ::testing::WithParamInterface<Act>
{
};

TEST_P(FindActionsNested, EntryInsideAFolderAlreadyTakenWentAlongWithIt)
{
    // Rows: root/sub, then root/sub/photos (found later, one level deeper).
    testing::makeTree(root, {"sub/photos/a.jpg"});
    const FindRun run =
        testing::runFind(join({"-d", "-e", "sub", "-e", "photos", root}, actionArgs(GetParam(), dest)), trashSetup());
    EXPECT_EQ(run.out, lines({root + "/sub", root + "/sub/photos"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("moved 2 of 2 entries to "), std::string::npos) << run.err;
    const std::string landed = GetParam() == Act::Trash ? data / "Trash/files" : dest;
    EXPECT_EQ(readFile(landed + "/sub/photos/a.jpg"), "sub/photos/a.jpg");
    EXPECT_FALSE(exists(landed + "/photos"));
    EXPECT_FALSE(exists(root + "/sub"));
}

INSTANTIATE_TEST_SUITE_P(MoveAndTrash, FindActionsNested, ::testing::Values(Act::Move, Act::Trash),
                         [](const auto &info) { return std::string(info.param == Act::Move ? "Move" : "Trash"); });

class FindActionsIntoItself : public FindActions, public ::testing::WithParamInterface<Act>
{
};

TEST_P(FindActionsIntoItself, FolderIntoItselfFailsAndTheOtherRowsGoOn)
{
    // The destination is below the root and is itself a hit.
    testing::makeTree(root, {"dest/old.txt", "other/o.txt"});
    const std::string into = root + "/dest";
    const FindRun run = testing::runFind(join({"-d", "-e", "dest", "-e", "other", root}, actionArgs(GetParam(), into)));
    EXPECT_EQ(run.status, 3);
    const std::string verb = GetParam() == Act::Copy ? "copied" : "moved";
    EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1).rfind("quorvel-find: " + into + ": cannot", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("into itself"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.substr(run.err.find('\n') + 1),
              "quorvel-find: " + verb + " 1 of 2 entries to " + into + "; 1 failed\n");
    EXPECT_EQ(readFile(into + "/old.txt"), "dest/old.txt");
    EXPECT_EQ(readFile(into + "/other/o.txt"), "other/o.txt");
    EXPECT_FALSE(exists(into + "/dest"));
    EXPECT_EQ(exists(root + "/other"), GetParam() == Act::Copy);
}

INSTANTIATE_TEST_SUITE_P(CopyAndMove, FindActionsIntoItself, ::testing::Values(Act::Copy, Act::Move),
                         [](const auto &info) { return std::string(info.param == Act::Copy ? "Copy" : "Move"); });

// ---- Failures without root's immunity ----

TEST_F(FindActions, ReadOnlyDestinationFailsEveryRowOnItsOwnLine)
{
    ::chmod(root.c_str(), 0755);
    ::chmod(dest.c_str(), 0755); // root's: the unprivileged user cannot write here
    FindSetup nobody;
    nobody.asNobody = true;
    const FindRun run = testing::runFind({"-e", "report", "--copy-to", dest, root}, nobody);
    EXPECT_EQ(run.status, 3);
    const std::string summary = "quorvel-find: copied 0 of 2 entries to " + dest + "; 2 failed\n";
    ASSERT_GE(run.err.size(), summary.size()) << run.err;
    EXPECT_EQ(run.err.substr(run.err.size() - summary.size()), summary);
    // In the order printed, each naming its entry and the system's reason.
    std::size_t at = 0;
    for (std::size_t start = 0; start < run.out.size();) {
        const std::string row = run.out.substr(start, run.out.find('\n', start) - start);
        start += row.size() + 1;
        const std::string line = run.err.substr(at, run.err.find('\n', at) - at);
        at += line.size() + 1;
        EXPECT_EQ(line.rfind("quorvel-find: " + row + ": ", 0), 0u) << line;
        EXPECT_NE(line.find("Permission denied"), std::string::npos) << line;
    }
    EXPECT_TRUE(snapshot(dest).empty());
}

TEST(FindActionsTrash, VolumeWithoutUsableTrashLeavesTheEntryWhereItIs)
{
    // A private tmpfs of root's, where the unprivileged user can make no trash folder; the
    // home trash lies on another volume and is not used.
    TempDir temp;
    ::chmod(temp.path().c_str(), 0711);
    const std::string vol = temp / "vol";
    fs::create_directories(vol);
    FindSetup setup;
    setup.asNobody = true;
    setup.environment = {{"XDG_DATA_HOME", temp / "data"}};
    setup.beforeRun = [&]() -> std::string {
        if (::unshare(CLONE_NEWNS) != 0)
            return std::string("SKIP: no private mount namespace: ") + std::strerror(errno);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("SKIP: cannot make mounts private: ") + std::strerror(errno);
        if (::mount("tmpfs", vol.c_str(), "tmpfs", 0, "size=1m,mode=0755") != 0)
            return std::string("SKIP: cannot mount a tmpfs: ") + std::strerror(errno);
        testing::makeTree(vol, {"mine/report.txt"});
        if (::chown((vol + "/mine").c_str(), 65534, 65534) != 0 ||
            ::chown((vol + "/mine/report.txt").c_str(), 65534, 65534) != 0)
            return "chown failed";
        return {};
    };
    setup.afterRun = [&]() -> std::string {
        return readFile(vol + "/mine/report.txt") + (exists(vol + "/.Trash-65534") ? " and a trash" : "");
    };
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a tmpfs";
    const FindRun run = testing::runFind({"-e", "report", "--trash", vol}, setup);
    if (run.setup.rfind("SKIP", 0) == 0)
        GTEST_SKIP() << run.setup;
    ASSERT_EQ(run.setup, "");
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, vol + "/mine/report.txt\n");
    const std::string failure = run.err.substr(0, run.err.find('\n'));
    EXPECT_EQ(failure.rfind("quorvel-find: " + vol + "/mine/report.txt: ", 0), 0u) << failure;
    EXPECT_NE(failure.find("no usable trash"), std::string::npos) << failure;
    EXPECT_NE(failure.find("left where it is"), std::string::npos) << failure;
    EXPECT_EQ(run.err.substr(failure.size() + 1), "quorvel-find: moved 0 of 1 entry to the trash; 1 failed\n");
    EXPECT_EQ(run.after, "mine/report.txt");
}

// ---- Dry run ----

class FindActionsDryRun : public FindActions, public ::testing::WithParamInterface<Act>
{
};

TEST_P(FindActionsDryRun, PrintsWhatWouldBeDoneAndChangesNothing)
{
    // Raw bytes end to end: a line break and a byte that is no UTF-8 stay as they are.
    const std::string odd = "sub/odd\nreport \xff.txt";
    testing::writeFile(root + "/" + odd, "odd");
    testing::writeFile(dest + "/REPORT.txt", "old");
    const auto before = snapshot(root), destBefore = snapshot(dest);
    const FindRun run = testing::runFind(
        join({"-0", "-f", "-e", "report", "--dry-run", root + "/sub"}, actionArgs(GetParam(), dest)), trashSetup());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(snapshot(root), before);
    EXPECT_EQ(snapshot(dest), destBefore);
    EXPECT_FALSE(exists(data / "Trash"));

    // The rows, then one line per entry, all ended by NUL.
    std::vector<std::string> rows;
    for (std::size_t at = 0; at < run.out.size() && rows.size() < 2;) {
        rows.push_back(run.out.substr(at, run.out.find('\0', at) - at));
        at += rows.back().size() + 1;
    }
    ASSERT_EQ(rows.size(), 2u);
    std::string expected;
    for (const std::string &row : rows)
        expected += row + '\0';
    for (const std::string &row : rows) {
        expected += GetParam() == Act::Copy   ? "copy " + row + " -> " + dest
                    : GetParam() == Act::Move ? "move " + row + " -> " + dest
                                              : "trash " + row;
        expected += '\0';
    }
    EXPECT_EQ(run.out, expected);
    EXPECT_NE(expected.find(root + "/" + odd), std::string::npos);

    const FindRun none = testing::runFind(
        join({"-e", "nothing-has-this-name", "--dry-run", root}, actionArgs(GetParam(), dest)), trashSetup());
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Actions, FindActionsDryRun, ::testing::Values(Act::Copy, Act::Move, Act::Trash), [](const auto &info) {
        return std::string(info.param == Act::Copy ? "Copy" : info.param == Act::Move ? "Move" : "Trash");
    });

// ---- Usage ----

struct UsageCase {
    const char *label;
    std::vector<std::string> args; // "ROOT" and "DEST" stand for the fixture's folders
    const char *errorPart;         // "DEST" stands for the destination
};

void PrintTo(const UsageCase &c, std::ostream *os)
{
    *os << c.label;
}

class FindActionsUsage : public FindActions, public ::testing::WithParamInterface<UsageCase>
{
};

TEST_P(FindActionsUsage, RefusedBeforeTheSearchWithStatusTwo)
{
    const UsageCase &c = GetParam();
    std::vector<std::string> args;
    for (std::string a : c.args) {
        if (const std::size_t at = a.find("ROOT"); at != std::string::npos)
            a.replace(at, 4, root);
        if (const std::size_t at = a.find("DEST"); at != std::string::npos)
            a.replace(at, 4, dest);
        args.push_back(a);
    }
    testing::writeFile(dest + "/a-file", "");
    const auto before = snapshot(root);
    const FindRun run = testing::runFind(args);
    EXPECT_EQ(run.status, 2) << run.err;
    std::string part = c.errorPart;
    if (const std::size_t at = part.find("DEST"); at != std::string::npos)
        part.replace(at, 4, dest);
    EXPECT_NE(run.err.find(part), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(snapshot(root), before);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FindActionsUsage,
    ::testing::Values(
        UsageCase{"CopyAndMove", {"-e", "report", "--copy-to", "DEST", "--move-to", "DEST", "ROOT"}, "only one of"},
        UsageCase{"MoveAndTrash", {"-e", "report", "--move-to", "DEST", "--trash", "ROOT"}, "only one of"},
        UsageCase{"ActionTwice", {"-e", "report", "--trash", "--trash", "ROOT"}, "only one of"},
        UsageCase{"RenameWithoutAction", {"-e", "report", "--rename-on-clash", "ROOT"}, "--rename-on-clash needs"},
        UsageCase{
            "RenameWithTrash", {"-e", "report", "--trash", "--rename-on-clash", "ROOT"}, "--rename-on-clash needs"},
        UsageCase{"DryRunWithoutAction", {"-e", "report", "--dry-run", "ROOT"}, "--dry-run needs"},
        UsageCase{"EmptyFolder", {"-e", "report", "--copy-to", "", "ROOT"}, "--copy-to needs a folder"},
        UsageCase{"MissingFolder",
                  {"-e", "report", "--move-to", "DEST/missing", "ROOT"},
                  "quorvel-find: DEST/missing: No such file or directory"},
        UsageCase{"FileAsFolder",
                  {"-e", "report", "--copy-to", "DEST/a-file", "ROOT"},
                  "quorvel-find: DEST/a-file: not a folder"}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(FindActionsHelp, NamesTheActions)
{
    const FindRun help = testing::runFind({"--help"});
    for (const char *option : {"--copy-to DIR", "--move-to DIR", "--trash", "--rename-on-clash", "--dry-run", "3 when"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

} // namespace
} // namespace quorvel
