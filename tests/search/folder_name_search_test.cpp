#include "search/folder_name_search.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "search/as_nobody.h"
#include "search/random_tree.h"
#include "search/search_oracle.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::CollectingSink;
using testing::Row;
using testing::TempDir;
using text::Codeset;

std::vector<Row> search(const std::vector<std::string> &keywords, const std::vector<std::string> &roots, bool exact,
                        Codeset codeset = Codeset::Utf8, CollectingSink *sinkOut = nullptr, WalkOptions options = {})
{
    CollectingSink sink;
    StopFlag stop{false};
    std::atomic<bool> exactFlag{exact};
    searchFolderNames(keywords, roots, exactFlag, sink, stop, {}, codeset, options);
    if (sinkOut)
        *sinkOut = sink;
    return sink.rows;
}

std::vector<Row> rowsOf(std::initializer_list<std::string> paths)
{
    std::vector<Row> rows;
    for (const std::string &p : paths)
        rows.emplace_back(p, "");
    return rows;
}

std::size_t indexOf(const std::vector<std::string> &list, const std::string &path)
{
    return static_cast<std::size_t>(std::find(list.begin(), list.end(), path) - list.begin());
}

TEST(CollectFolders, ChildrenComeBeforeTheirParentAndTheRootFirst)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"work/a/a1/", "work/a/a2/", "work/b/", "work/file.txt"});
    const std::string root = dir / "work";
    const std::vector<std::string> list = collectFolders(root);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0], root);
    EXPECT_LT(indexOf(list, root + "/a/a1"), indexOf(list, root + "/a"));
    EXPECT_LT(indexOf(list, root + "/a/a2"), indexOf(list, root + "/a"));
    EXPECT_LT(indexOf(list, root + "/b"), list.size());
    EXPECT_EQ(list, testing::plainCollectFolders(root));
    // A root given with its closing "/" keeps it, and its children get no second one.
    const std::vector<std::string> slashed = collectFolders(root + "/");
    EXPECT_EQ(slashed[0], root + "/");
    EXPECT_LT(indexOf(slashed, root + "/a/a1"), slashed.size());
}

TEST(CollectFolders, LinksToFoldersAreListedButNotWalked)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"r/real/inner/", "r/file.txt"});
    ASSERT_EQ(symlink("real", (dir / "r/link").c_str()), 0);
    ASSERT_EQ(symlink("..", (dir / "r/real/up").c_str()), 0);
    ASSERT_EQ(symlink("file.txt", (dir / "r/filelink").c_str()), 0);
    std::vector<std::string> list = collectFolders(dir / "r");
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{dir / "r", dir / "r/link", dir / "r/real", dir / "r/real/inner",
                                              dir / "r/real/up"}));
    // A root that is a link is followed.
    EXPECT_EQ(collectFolders(dir / "r/link").size(), 3u);
}

TEST(CollectFolders, RootThatNamesNoFolderGivesNothing)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"file.txt"});
    EXPECT_TRUE(collectFolders(dir / "missing").empty());
    EXPECT_TRUE(collectFolders(dir / "file.txt").empty());
    EXPECT_TRUE(collectFolders("").empty());
}

TEST(FolderNameSearch, ExactAndFuzzyRules)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"r/Music/", "r/report.2020/", "r/report/x/"});
    const std::string r = dir / "r";
    EXPECT_EQ(search({"music"}, {r}, true), rowsOf({r + "/Music"}));
    EXPECT_EQ(search({"mus", "USI"}, {r}, false), rowsOf({r + "/Music", r + "/Music"}));
    EXPECT_EQ(search({"report.2020"}, {r}, true), rowsOf({r + "/report.2020"}));
    EXPECT_EQ(search({"report"}, {r}, true), rowsOf({r + "/report"}));
    // The chosen root is itself tested; a root with a closing "/" has an empty name.
    EXPECT_EQ(search({"r"}, {r}, true), rowsOf({r}));
    EXPECT_TRUE(search({"r"}, {r + "/"}, true).empty());
}

TEST(FolderNameSearch, RowsGoKeywordByKeywordThenInListOrder)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"r/xa/", "r/ya/", "r/sub/xb/"});
    const std::string r = dir / "r";
    const std::vector<std::string> list = collectFolders(r);
    std::vector<Row> expected;
    for (const char *keyword : {"a", "x"}) {
        for (const std::string &p : list) {
            if (p.substr(p.rfind('/') + 1).find(keyword) != std::string::npos)
                expected.emplace_back(p, "");
        }
    }
    EXPECT_EQ(search({"a", "x"}, {r}, false), expected);
    // Nested roots: every hit inside the inner root is listed twice.
    EXPECT_EQ(search({"xb"}, {r, r + "/sub"}, true), rowsOf({r + "/sub/xb", r + "/sub/xb"}));
}

TEST(FolderNameSearch, MissingRootIsReportedAndTheNextSearched)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"r/hit/"});
    CollectingSink sink;
    EXPECT_EQ(search({"hit"}, {dir / "gone", dir / "r"}, true, Codeset::Utf8, &sink), rowsOf({dir / "r/hit"}));
    ASSERT_EQ(sink.failures.size(), 1u);
    EXPECT_EQ(sink.failures[0], std::make_pair(dir / "gone", ENOENT));
}

TEST(FolderNameSearch, UnreadableFolderGivesItselfButNoSubfolders)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"r/locked/hidden/", "r/open/hidden/"});
    chmod(dir.path().c_str(), 0755);
    chmod((dir / "r/locked").c_str(), 0);
    const std::string out = testing::runAsNobody([&] {
        CollectingSink sink;
        StopFlag stop{false};
        std::atomic<bool> exact{false};
        searchFolderNames({"locked", "hidden"}, {dir / "r"}, exact, sink, stop, {}, Codeset::Utf8);
        std::string text;
        for (const Row &row : sink.rows)
            text += row.first + "\n";
        for (const auto &f : sink.failures)
            text += "failed " + f.first + " " + std::strerror(f.second) + "\n";
        return text;
    });
    EXPECT_EQ(out, dir / "r/locked\n" + dir / "r/open/hidden\n" + "failed " + dir / "r/locked " +
                       std::strerror(EACCES) + "\n");
}

TEST(FolderNameSearch, SwitchingTheRuleAppliesToTheTestsThatFollow)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"r/x/", "r/xx/", "r/ax/"});
    const std::string r = dir / "r";
    const std::vector<std::string> list = collectFolders(r);
    // 1100 copies of one keyword: the first batch (1024 rows) arrives while the search runs,
    // and the sink switches to fuzzy matching then.
    const std::vector<std::string> keywords(1100, "x");

    class SwitchingSink : public CollectingSink
    {
      public:
        explicit SwitchingSink(std::atomic<bool> &exact) : m_exact(exact) {}
        void takeRows(RowBatch &&rows) override
        {
            CollectingSink::takeRows(std::move(rows));
            m_exact = false;
        }
        std::atomic<bool> &m_exact;
    };
    std::atomic<bool> exact{true};
    SwitchingSink sink(exact);
    StopFlag stop{false};
    searchFolderNames(keywords, {r}, exact, sink, stop);

    // Keywords 0 to 1023 exactly; the switch is seen at the next test after row 1024, which
    // was keyword 1023's exact hit on x; from there on every test is fuzzy.
    std::vector<Row> expected;
    const std::size_t xAt = indexOf(list, r + "/x");
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        for (std::size_t p = 0; p < list.size(); ++p) {
            const std::string name = list[p].substr(list[p].rfind('/') + 1);
            const bool fuzzy = k > 1023 || (k == 1023 && p > xAt);
            if (fuzzy ? name.find('x') != std::string::npos : name == "x")
                expected.emplace_back(list[p], "");
        }
    }
    EXPECT_EQ(sink.rows, expected);
}

TEST(FolderNameSearch, TenThousandFoldersDeep)
{
    char shm[] = "/dev/shm/quorvel-deep-XXXXXX";
    std::string dir = mkdtemp(shm) ? shm : "";
    if (dir.empty()) {
        std::string tmp = (std::filesystem::temp_directory_path() / "quorvel-deep-XXXXXX").string();
        dir = mkdtemp(tmp.data()) ? tmp : "";
    }
    ASSERT_FALSE(dir.empty());
    const int depth = 10000;
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    std::vector<int> fds{fd};
    std::string bottom = dir;
    for (int i = 0; i < depth; ++i) {
        mkdirat(fd, "d", 0755);
        fd = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        fds.push_back(fd);
        bottom += "/d";
    }
    mkdirat(fd, "bottom", 0755);

    EXPECT_EQ(collectFolders(dir).size(), static_cast<std::size_t>(depth + 2));
    EXPECT_EQ(search({"bottom"}, {dir}, true), rowsOf({bottom + "/bottom"}));

    unlinkat(fds.back(), "bottom", AT_REMOVEDIR);
    for (int i = depth; i > 0; --i) {
        close(fds[static_cast<std::size_t>(i)]);
        unlinkat(fds[static_cast<std::size_t>(i - 1)], "d", AT_REMOVEDIR);
    }
    close(fds[0]);
    rmdir(dir.c_str());
}

TEST(FolderNameSearch, WholeComputerRootsStayOnTheirMount)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"r/disk/", "r/plain/inside/"});
    if (mount("none", (dir / "r/disk").c_str(), "tmpfs", 0, nullptr) != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    testing::makeTree(dir.path(), {"r/disk/inside/"});
    WalkOptions stay;
    stay.mounts = MountPolicy::StayOnRootMount;
    EXPECT_EQ(search({"inside", "disk"}, {dir / "r"}, true, Codeset::Utf8, nullptr, stay),
              rowsOf({dir / "r/plain/inside"}));
    std::vector<Row> across = search({"inside"}, {dir / "r"}, true);
    EXPECT_EQ(across.size(), 2u);
    umount((dir / "r/disk").c_str());
}

struct DifferentialCase {
    bool exact;
    Codeset codeset;
};

class FolderNameSearchDifferential : public ::testing::TestWithParam<DifferentialCase>
{
};

TEST_P(FolderNameSearchDifferential, SameRowsAsThePlainWalk)
{
    const DifferentialCase &c = GetParam();
    for (unsigned seed = 1; seed <= 25; ++seed) {
        TempDir dir;
        std::vector<std::string> keywords = testing::makeRandomTree(dir.path(), seed, c.codeset);
        const std::vector<std::string> roots{dir.path(), dir.path() + "/", dir / "missing"};
        ASSERT_EQ(collectFolders(dir.path()), testing::plainCollectFolders(dir.path()));
        ASSERT_EQ(search(keywords, roots, c.exact, c.codeset),
                  testing::plainFolderNameSearch(keywords, roots, c.exact, c.codeset))
            << "seed " << seed;
        for (int i = 0; i < 10; ++i)
            keywords.push_back("zz" + std::to_string(i));
        ASSERT_EQ(search(keywords, roots, c.exact, c.codeset),
                  testing::plainFolderNameSearch(keywords, roots, c.exact, c.codeset))
            << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(RandomTrees, FolderNameSearchDifferential,
                         ::testing::Values(DifferentialCase{true, Codeset::Utf8},
                                           DifferentialCase{false, Codeset::Utf8}, DifferentialCase{true, Codeset::Gbk},
                                           DifferentialCase{false, Codeset::Gbk}));

} // namespace
} // namespace quorvel
