#include "search/file_name_search.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

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

std::vector<Row> search(const std::vector<std::string> &keywords, const std::vector<std::string> &roots, bool fuzzy,
                        unsigned threads = 1, Codeset codeset = Codeset::Utf8, CollectingSink *sinkOut = nullptr)
{
    CollectingSink sink;
    StopFlag stop{false};
    WalkOptions options;
    options.listingThreads = threads;
    searchFileNames(keywords, roots, fuzzy, sink, stop, {}, codeset, options);
    if (sinkOut)
        *sinkOut = sink;
    return sink.rows;
}

TEST(FileNameSearch, RowsKeepTheCaseOnDiskAndTheRootAsGiven)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"data/README.TXT", "data/Sub/readme", "data/Sub/other.txt"});
    const std::vector<Row> rows = search({"readme"}, {dir / "data"}, false);
    EXPECT_EQ(rows, (std::vector<Row>{{dir / "data/README.TXT", "README.TXT"}, {dir / "data/Sub/readme", "readme"}}));
    // A root given with its closing "/" keeps a single one.
    EXPECT_EQ(search({"readme"}, {dir / "data/"}, false), rows);
}

TEST(FileNameSearch, RootFilesComeBeforeSubfolderFilesBreadthFirst)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"r/a/b/c/hit.1", "r/a/hit.2", "r/hit.3", "r/z/hit.4"});
    const std::vector<Row> rows = search({"hit"}, {dir / "r"}, false);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].first, dir / "r/hit.3");
    EXPECT_EQ(rows[3].first, dir / "r/a/b/c/hit.1");
    EXPECT_EQ(rows, testing::plainFileNameSearch({"hit"}, {dir / "r"}, false, Codeset::Utf8));
}

TEST(FileNameSearch, EveryMatchingKeywordGivesItsOwnRow)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"report.docx", "report", "report.tar.gz", "xabcx.txt"});
    // Duplicate keyword: two rows per hit; two fuzzy keywords in one name: two rows.
    EXPECT_EQ(search({"report", "REPORT"}, {dir.path()}, false).size(), 4u);
    EXPECT_EQ(search({"abc", "xa"}, {dir.path()}, true),
              (std::vector<Row>{{dir / "xabcx.txt", "xabcx.txt"}, {dir / "xabcx.txt", "xabcx.txt"}}));
}

TEST(FileNameSearch, HiddenFilesAreFoundAndFoldersNeverAre)
{
    TempDir dir;
    testing::makeTree(dir.path(), {".profile", ".hidden/photo.jpg", "photo/", "music/"});
    EXPECT_EQ(search({".profile", "photo"}, {dir.path()}, false),
              (std::vector<Row>{{dir / ".profile", ".profile"}, {dir / ".hidden/photo.jpg", "photo.jpg"}}));
    EXPECT_TRUE(search({"music"}, {dir / "music"}, true).empty());
}

TEST(FileNameSearch, NestedRootsAreBothWalkedInFull)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"a/b/x.txt"});
    EXPECT_EQ(search({"x"}, {dir / "a", dir / "a/b"}, false),
              (std::vector<Row>{{dir / "a/b/x.txt", "x.txt"}, {dir / "a/b/x.txt", "x.txt"}}));
}

TEST(FileNameSearch, RelativeRootStaysRelative)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"sub/x.txt"});
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    EXPECT_EQ(search({"x"}, {"sub"}, false), (std::vector<Row>{{"sub/x.txt", "x.txt"}}));
    EXPECT_EQ(search({"x"}, {"."}, false), (std::vector<Row>{{"./sub/x.txt", "x.txt"}}));
    ASSERT_EQ(chdir("/"), 0);
}

TEST(FileNameSearch, FilesystemRootKeepsItsSlash)
{
    // A keyword no file is likely to have, on a root that is quickly stopped.
    CollectingSink sink;
    StopFlag stop{false};
    searchFileNames({"quorvel-no-such-file-name"}, {"/"}, false, sink, stop,
                    [&](const WalkProgress &p) { stop = p.folders > 2; });
    EXPECT_TRUE(sink.rows.empty());
    TempDir dir;
    testing::makeTree(dir.path(), {"quorvel-probe.txt"});
    // "/" + a relative-looking name: the row is "/" followed by the rest, never "//".
    const std::string rootRelative = dir.path().substr(1);
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(search({"quorvel-probe"}, {rootRelative}, false)[0].first, rootRelative + "/quorvel-probe.txt");
}

TEST(FileNameSearch, LinksToFoldersAreNeitherWalkedNorHits)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"real/inside.txt", "file.txt"});
    ASSERT_EQ(symlink("real", (dir / "folderlink").c_str()), 0);
    ASSERT_EQ(symlink("file.txt", (dir / "filelink").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
    ASSERT_EQ(symlink("selfloop", (dir / "selfloop").c_str()), 0);
    ASSERT_EQ(symlink("..", (dir / "real/up").c_str()), 0); // a cycle
    std::vector<Row> rows = search({""}, {dir.path()}, true);
    std::vector<std::string> names;
    for (const Row &r : rows)
        names.push_back(r.first.substr(dir.path().size() + 1));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dangling", "file.txt", "filelink", "real/inside.txt", "selfloop"}));
    // A root that is itself a link to a folder is walked.
    EXPECT_EQ(search({"inside"}, {dir / "folderlink"}, false),
              (std::vector<Row>{{dir / "folderlink/inside.txt", "inside.txt"}}));
}

TEST(FileNameSearch, NamesWithNewlinesAndInvalidBytesAreFoundByTheirBytes)
{
    TempDir dir;
    const std::string lineBreak = "two\nlines.txt", invalid = "bad\xFF\xFEname.txt";
    testing::writeFile(dir / lineBreak, "x");
    testing::writeFile(dir / invalid, "x");
    EXPECT_EQ(search({"two\nlines"}, {dir.path()}, false), (std::vector<Row>{{dir / lineBreak, lineBreak}}));
    EXPECT_EQ(search({"\xFF\xFE"}, {dir.path()}, true), (std::vector<Row>{{dir / invalid, invalid}}));
}

TEST(FileNameSearch, MissingRootIsReportedAndTheNextRootSearched)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"a.txt"});
    CollectingSink sink;
    const std::vector<Row> rows = search({"a"}, {dir / "gone", "", dir.path()}, false, 2, Codeset::Utf8, &sink);
    EXPECT_EQ(rows, (std::vector<Row>{{dir / "a.txt", "a.txt"}}));
    ASSERT_EQ(sink.failures.size(), 2u);
    EXPECT_EQ(sink.failures[0], std::make_pair(dir / "gone", ENOENT));
    EXPECT_EQ(sink.failures[1], std::make_pair(std::string(), ENOENT));
}

TEST(FileNameSearch, UnreadableFolderIsReportedAndSkipped)
{
    TempDir dir;
    testing::makeTree(dir.path(), {"open/a.txt", "locked/a.txt", "z/a.txt"});
    chmod(dir.path().c_str(), 0755);
    chmod((dir / "locked").c_str(), 0);
    const std::string out = testing::runAsNobody([&] {
        CollectingSink sink;
        StopFlag stop{false};
        searchFileNames({"a"}, {dir.path()}, false, sink, stop, {}, Codeset::Utf8);
        std::string text;
        for (const Row &r : sink.rows)
            text += r.first + "\n";
        for (const auto &f : sink.failures)
            text += "failed " + f.first + " " + std::strerror(f.second) + "\n";
        return text;
    });
    EXPECT_NE(out.find(dir / "open/a.txt\n"), std::string::npos) << out;
    EXPECT_NE(out.find(dir / "z/a.txt\n"), std::string::npos) << out;
    EXPECT_EQ(out.find(dir / "locked/a.txt\n"), std::string::npos) << out;
    EXPECT_NE(out.find("failed " + dir / "locked " + std::strerror(EACCES)), std::string::npos) << out;
}

// Makes root/d/d/.../d (depth folders), with a file and a folder at the bottom; returns the
// bottom's path. Built and removed relative to descriptors, since the path is far longer
// than the kernel takes in one call.
std::string makeDeepChain(const std::string &root, int depth)
{
    int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = root;
    for (int i = 0; i < depth; ++i) {
        mkdirat(fd, "d", 0755);
        const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = next;
        path += "/d";
    }
    close(openat(fd, "deep.txt", O_CREAT | O_WRONLY, 0644));
    mkdirat(fd, "bottom", 0755);
    close(fd);
    return path;
}

void removeDeepChain(const std::string &root, int depth)
{
    int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    std::vector<int> fds{fd};
    for (int i = 0; i < depth; ++i) {
        fd = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        fds.push_back(fd);
    }
    unlinkat(fds.back(), "deep.txt", 0);
    unlinkat(fds.back(), "bottom", AT_REMOVEDIR);
    for (int i = depth; i > 0; --i) {
        close(fds[static_cast<std::size_t>(i)]);
        unlinkat(fds[static_cast<std::size_t>(i - 1)], "d", AT_REMOVEDIR);
    }
    close(fds[0]);
}

// A folder for the deep tree: in memory when /dev/shm is there, since removing ten thousand
// folders from a disk with online discard takes long.
std::string deepTreeFolder()
{
    char shm[] = "/dev/shm/quorvel-deep-XXXXXX";
    if (mkdtemp(shm))
        return shm;
    std::string tmp = (std::filesystem::temp_directory_path() / "quorvel-deep-XXXXXX").string();
    return mkdtemp(tmp.data()) ? tmp : std::string();
}

TEST(FileNameSearch, TenThousandFoldersDeep)
{
    const std::string dir = deepTreeFolder();
    ASSERT_FALSE(dir.empty());
    const int depth = 10000;
    const std::string bottom = makeDeepChain(dir, depth);
    for (unsigned threads : {1u, 2u}) {
        EXPECT_EQ(search({"deep"}, {dir}, false, threads), (std::vector<Row>{{bottom + "/deep.txt", "deep.txt"}}));
    }
    removeDeepChain(dir, depth);
    rmdir(dir.c_str());
}

TEST(FileNameSearch, BatchesHoldAtMost1024RowsAndProgressCountsEverything)
{
    TempDir dir;
    for (int i = 0; i < 3000; ++i)
        testing::writeFile(dir / ("f" + std::to_string(i) + ".txt"), "");
    testing::makeTree(dir.path(), {"sub/g.txt"});
    CollectingSink sink;
    StopFlag stop{false};
    WalkProgress last;
    searchFileNames({"f", ".txt"}, {dir.path()}, true, sink, stop, [&](const WalkProgress &p) { last = p; });
    EXPECT_EQ(sink.rows.size(), 6001u);
    for (std::size_t size : sink.batchSizes)
        EXPECT_LE(size, 1024u);
    EXPECT_EQ(last.files, 3001u);
    EXPECT_EQ(last.folders, 2u);
}

// Raises the stop flag when the first batch arrives.
class StoppingSink : public CollectingSink
{
  public:
    explicit StoppingSink(StopFlag &stop) : m_stop(stop) {}
    void takeRows(RowBatch &&rows) override
    {
        CollectingSink::takeRows(std::move(rows));
        m_stop = true;
    }

  private:
    StopFlag &m_stop;
};

TEST(FileNameSearch, StopEndsTheWalk)
{
    TempDir dir;
    for (int f = 0; f < 40; ++f) {
        for (int i = 0; i < 100; ++i)
            testing::writeFile(dir / ("f" + std::to_string(f) + "_" + std::to_string(i)), "");
        mkdir((dir / ("sub" + std::to_string(f))).c_str(), 0755);
        for (int i = 0; i < 100; ++i)
            testing::writeFile(dir / ("sub" + std::to_string(f) + "/g" + std::to_string(i)), "");
    }
    for (unsigned threads : {1u, 2u}) {
        StopFlag stop{false};
        StoppingSink sink(stop);
        WalkOptions options;
        options.listingThreads = threads;
        searchFileNames({""}, {dir.path(), dir.path()}, true, sink, stop, {}, Codeset::Utf8, options);
        EXPECT_LT(sink.rows.size(), 8000u);
        EXPECT_GE(sink.rows.size(), 1024u);

        StopFlag raised{true};
        CollectingSink none;
        searchFileNames({""}, {dir.path()}, true, none, raised, {}, Codeset::Utf8, options);
        EXPECT_TRUE(none.rows.empty());
    }
}

struct DifferentialCase {
    bool fuzzy;
    unsigned threads;
    Codeset codeset;
};

class FileNameSearchDifferential : public ::testing::TestWithParam<DifferentialCase>
{
};

TEST_P(FileNameSearchDifferential, SameRowsAsThePlainWalk)
{
    const DifferentialCase &c = GetParam();
    for (unsigned seed = 1; seed <= 25; ++seed) {
        TempDir dir;
        std::vector<std::string> keywords = testing::makeRandomTree(dir.path(), seed, c.codeset);
        const std::vector<std::string> roots{dir.path(), dir.path() + "/", dir / "missing"};
        const std::vector<Row> expected = testing::plainFileNameSearch(keywords, roots, c.fuzzy, c.codeset);
        ASSERT_EQ(search(keywords, roots, c.fuzzy, c.threads, c.codeset), expected) << "seed " << seed;
        // Many keywords: the automaton instead of plain substring search.
        for (int i = 0; i < 10; ++i)
            keywords.push_back("zz" + std::to_string(i));
        ASSERT_EQ(search(keywords, roots, c.fuzzy, c.threads, c.codeset),
                  testing::plainFileNameSearch(keywords, roots, c.fuzzy, c.codeset))
            << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(
    RandomTrees, FileNameSearchDifferential,
    ::testing::Values(DifferentialCase{false, 1, Codeset::Utf8}, DifferentialCase{true, 1, Codeset::Utf8},
                      DifferentialCase{false, 2, Codeset::Utf8}, DifferentialCase{true, 3, Codeset::Utf8},
                      DifferentialCase{false, 2, Codeset::Gbk}, DifferentialCase{true, 2, Codeset::Gbk}));

} // namespace
} // namespace quorvel
