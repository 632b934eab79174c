#include "search/not_found_report.h"

#include <gtest/gtest.h>

#include "search/random_tree.h"

#include <random>

#include "search/search_oracle.h"

namespace quorvel {
namespace {

using text::Codeset;

std::string report(std::string_view box, const std::vector<std::string> &rows, Codeset codeset = Codeset::Utf8)
{
    return buildNotFoundReport(
        box, rows.size(), [&](std::size_t i) { return std::string_view(rows[i]); }, codeset);
}

struct ReportCase {
    const char *label;
    std::string box;
    std::vector<std::string> rows;
    std::string expected;
};

class ReportTest : public ::testing::TestWithParam<ReportCase>
{
};

TEST_P(ReportTest, ListsTheLinesNoNameContains)
{
    const ReportCase &c = GetParam();
    EXPECT_EQ(report(c.box, c.rows), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ReportTest,
    ::testing::Values(ReportCase{"OneMissing", "a.jpg\r\nb.jpg\r\nc.jpg\r\n", {"/p/a.jpg", "/p/c.jpg"}, "b.jpg\r\n"},
                      ReportCase{"MissingTwiceReportedTwice", "x\r\nq\r\nx\r\n", {"/p/q"}, "x\r\nx\r\n"},
                      ReportCase{"AllFound", "a\r\nb\r\n", {"/p/ab"}, ""},
                      ReportCase{"FoundInsideLongerName", "abc\r\n", {"/p/xabcx.txt"}, ""},
                      ReportCase{"FolderPartDoesNotCount", "music\r\n", {"/d/music/a.mp3"}, "music\r\n"},
                      ReportCase{"FolderRowName", "photos\r\n", {"/d/work/photos"}, ""},
                      ReportCase{"ExtensionIsPartOfTheName", "a.jpg\r\na\r\n", {"/p/a.jpg"}, ""},
                      ReportCase{"CaseIgnored", "README\r\n", {"/p/readme.txt"}, ""},
                      ReportCase{
                          "AcrossNeighbouringNames", "txt/b\r\nb.txt/a\r\n", {"/p/a.txt", "/p/b.txt"}, "b.txt/a\r\n"},
                      ReportCase{"TrailingSpaceCounts", "a \r\nb \r\n", {"/p/a b"}, "b \r\n"},
                      ReportCase{"EmptyListReportsEverything", "a\r\n\r\nb\r\n", {}, "a\r\n\r\nb\r\n"},
                      ReportCase{"EmptyLineFoundWhenThereAreRows", "\r\nzz\r\n", {"/p/a"}, "zz\r\n"},
                      ReportCase{"RowEndingInSlashHasAnEmptyName", "p\r\n", {"/p/"}, "p\r\n"},
                      ReportCase{"EmptyBox", "", {"/p/a"}, ""}, ReportCase{"LfOnlyBox", "a\nb\n", {"/p/a"}, "b\r\n"}),
    [](const ::testing::TestParamInfo<ReportCase> &info) { return std::string(info.param.label); });

TEST(NotFoundReport, NeverMatchesInsideACharacter)
{
    // 0xA7 0xE7 is the tail of one character and the lead of the next.
    EXPECT_EQ(report("\xA7\xE7\r\n", {"/p/\xE7\x85\xA7\xE7\x89\x87"}), "\xA7\xE7\r\n");
    // In GBK, 0x41 ('A') after a lead byte is a trail byte, not a letter.
    EXPECT_EQ(report("a\r\n", {"/p/\x81\x41"}, Codeset::Gbk), "a\r\n");
    EXPECT_EQ(report("a\r\n",
                     {"/p/\x81\x41"
                      "A"},
                     Codeset::Gbk),
              "");
}

std::string randomText(std::mt19937 &rng, Codeset codeset, int maxPieces)
{
    static const std::vector<std::string> utf8{"a",    "B",    "/",    ".",  " ", "x", "\xE7\x85\xA7", "\xE7\x89\x87",
                                               "\x85", "\xFF", "\xE7", "Ab", "t"};
    static const std::vector<std::string> gbk{
        "a", "B", "/", ".", " ", "\x81\x41", "\x81\x61", "\xB0\xA1", "\xA1", "A", "\xB0", "\x81\x30\x81\x30", "Ab"};
    return testing::joinRandomPieces(rng, codeset == Codeset::Utf8 ? utf8 : gbk, maxPieces);
}

class NotFoundDifferential : public ::testing::TestWithParam<Codeset>
{
};

TEST_P(NotFoundDifferential, SameReportAsSearchingTheJoinedNames)
{
    const Codeset codeset = GetParam();
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        std::vector<std::string> lines, rows;
        const int lineCount = std::uniform_int_distribution<int>(0, 12)(rng);
        for (int i = 0; i < lineCount; ++i)
            lines.push_back(randomText(rng, codeset, 3));
        const int rowCount = std::uniform_int_distribution<int>(0, 6)(rng);
        for (int i = 0; i < rowCount; ++i)
            rows.push_back(randomText(rng, codeset, 6));
        const std::string expected = testing::plainNotFoundReport(lines, rows, codeset);

        NotFoundScanner forwards(lines, NotFoundScanner::Feed::ListOrder, codeset);
        for (const std::string &row : rows)
            forwards.addRowPath(row);
        ASSERT_EQ(forwards.report(), expected) << "seed " << seed;

        NotFoundScanner backwards(lines, NotFoundScanner::Feed::ReverseListOrder, codeset);
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            backwards.addRowPath(*it);
        ASSERT_EQ(backwards.report(), expected) << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Codesets, NotFoundDifferential, ::testing::Values(Codeset::Utf8, Codeset::Gbk));

} // namespace
} // namespace quorvel
