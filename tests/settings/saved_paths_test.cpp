#include "settings/saved_paths.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "support/temp_dir.h"
#include "text/conversion.h"

using namespace quorvel;
using quorvel::testing::readFile;
using quorvel::testing::TempDir;
using quorvel::testing::writeFile;
using text::Codeset;
using Rows = std::vector<SavedPathRow>;

namespace quorvel {
void PrintTo(const SavedPathRow &row, std::ostream *out)
{
    *out << (row.checked ? "[x] " : "[ ] ") << ::testing::PrintToString(row.path);
}
} // namespace quorvel

namespace {

// ---- The old keys, as every copy writes and reads them ----

struct EncodeCase {
    const char *label;
    Rows rows;
    std::string pathList;
    std::string checkedRows;
};

class EncodeSavedPathsTest : public ::testing::TestWithParam<EncodeCase>
{
};

TEST_P(EncodeSavedPathsTest, OldKeysAreWhatOlderCopiesExpect)
{
    const EncodeCase &c = GetParam();
    const SavedPathKeys keys = encodeSavedPaths(c.rows, Codeset::Utf8);
    EXPECT_EQ(keys.pathList, c.pathList);
    EXPECT_EQ(keys.checkedRows, c.checkedRows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeSavedPathsTest,
    ::testing::Values(EncodeCase{"empty_list", {}, "", "-1"},
                      EncodeCase{"none_checked", {{"/a", false}, {"/b", false}}, "/a,/b,", "-1"},
                      EncodeCase{"middle_checked", {{"/a", false}, {"/b", true}, {"/c", false}}, "/a,/b,/c,", "1"},
                      EncodeCase{"first_only", {{"/a", true}, {"/b", false}}, "/a,/b,", "0"},
                      EncodeCase{"first_and_last", {{"/a", true}, {"/b", false}, {"/c", true}}, "/a,/b,/c,", "0,2"},
                      EncodeCase{"empty_path", {{"", true}, {"/b", true}}, ",/b,", "0,1"},
                      // A path with "," makes two pieces for an older copy: they stay unchecked, and the
                      // check mark of the row after lands on that row's own piece.
                      EncodeCase{"comma_path", {{"/a,b", true}, {"/c", true}}, "/a,b,/c,", "2"},
                      EncodeCase{"line_break_and_invalid_byte", {{"/a\nb\xFF", true}}, "/a?b?,", "0"}),
    [](const auto &info) { return std::string(info.param.label); });

struct LegacyCase {
    const char *label;
    std::string pathList;
    std::string checkedRows;
    Rows rows;
};

class LegacySavedPathsTest : public ::testing::TestWithParam<LegacyCase>
{
};

TEST_P(LegacySavedPathsTest, OldKeysReadByTheOldRules)
{
    const LegacyCase &c = GetParam();
    EXPECT_EQ(decodeLegacySavedPaths(c.pathList, c.checkedRows, Codeset::Utf8), c.rows);
    // Without the new key, the reader of this copy falls back to the same rules.
    EXPECT_EQ(decodeSavedPaths({c.pathList, c.checkedRows, ""}, Codeset::Utf8), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LegacySavedPathsTest,
    ::testing::Values(
        LegacyCase{"empty", "", "-1", {}}, LegacyCase{"missing_keys", "", "", {}},
        LegacyCase{"trailing_comma_makes_no_row", "/a,/b,", "1", {{"/a", false}, {"/b", true}}},
        LegacyCase{"no_trailing_comma", "/a,/b", "0", {{"/a", true}, {"/b", false}}},
        LegacyCase{"double_comma_makes_empty_row", "/a,,/b,", "-1", {{"/a", false}, {"", false}, {"/b", false}}},
        LegacyCase{"minus_one_checks_nothing", "/a,", "-1", {{"/a", false}}},
        LegacyCase{"empty_gxbx_checks_nothing", "/a,", "", {{"/a", false}}},
        LegacyCase{"index_past_the_rows", "/a,/b,", "5,1", {{"/a", false}, {"/b", true}}},
        LegacyCase{"huge_index", "/a,", "99999999999999999999", {{"/a", false}}},
        LegacyCase{"no_digits_reads_as_zero", "/a,/b,", "x", {{"/a", true}, {"/b", false}}},
        LegacyCase{"empty_piece_reads_as_zero", "/a,/b,/c,", "1,,2", {{"/a", true}, {"/b", true}, {"/c", true}}},
        LegacyCase{"digits_prefix", "/a,/b,/c,", "2abc", {{"/a", false}, {"/b", false}, {"/c", true}}},
        LegacyCase{"negative_names_no_row", "/a,/b,", "-2", {{"/a", false}, {"/b", false}}},
        LegacyCase{"leading_space", "/a,/b,", "0, 1", {{"/a", true}, {"/b", true}}},
        LegacyCase{"comma_in_path_splits_it", "/a,b,/c,", "1", {{"/a", false}, {"b", true}, {"/c", false}}}),
    [](const auto &info) { return std::string(info.param.label); });

// ---- The new key ----

const Rows kAwkwardRows = {
    {"/home/u/a,b", true},
    {"/home/u/c", true},
    {"/tmp/100%", false},
    {"/tmp/%2C", true},
    {"", true},
    {"  spaced  ", false},
    {"/tmp/line\nbreak\r\x01\x7F", true},
    {"/tmp/\xFF\xFE-not-utf8", false},
    {"/home/u/文件,夹", true},
    {",", false},
    {"/last", true},
};

TEST(SavedPathsRoundTrip, EveryRowAndCheckMarkComesBack)
{
    for (Codeset codeset : {Codeset::Utf8, Codeset::Gbk}) {
        const SavedPathKeys keys = encodeSavedPaths(kAwkwardRows, codeset);
        EXPECT_EQ(decodeRowsKey(keys.rows), kAwkwardRows);
        EXPECT_EQ(decodeSavedPaths(keys, codeset), kAwkwardRows);
        for (const std::string *value : {&keys.pathList, &keys.checkedRows, &keys.rows})
            EXPECT_EQ(iniEntryProblem("lb", "k", *value), "");
    }
}

TEST(SavedPathsRoundTrip, NewFileReadByTheOldRulesKeepsLaterCheckMarks)
{
    // What an older copy makes of the file: the comma path splits, every other row keeps
    // its check mark.
    const Rows rows = {{"/a,b", true}, {"/c", false}, {"/d", true}};
    const SavedPathKeys keys = encodeSavedPaths(rows, Codeset::Utf8);
    const Rows expected = {{"/a", false}, {"b", false}, {"/c", false}, {"/d", true}};
    EXPECT_EQ(decodeLegacySavedPaths(keys.pathList, keys.checkedRows, Codeset::Utf8), expected);
}

TEST(SavedPathsRoundTrip, NewKeyMustAgreeWithTheOldOnes)
{
    const Rows ours = {{"/a,b", true}, {"/c", false}};
    SavedPathKeys keys = encodeSavedPaths(ours, Codeset::Utf8);
    EXPECT_EQ(decodeSavedPaths(keys, Codeset::Utf8), ours);

    // An older copy ran since and wrote its own list: the stale new key is ignored.
    SavedPathKeys stale = keys;
    stale.pathList = "/x,/y,";
    stale.checkedRows = "1";
    EXPECT_EQ(decodeSavedPaths(stale, Codeset::Utf8), (Rows{{"/x", false}, {"/y", true}}));
    stale = keys;
    stale.checkedRows = "1";
    EXPECT_EQ(decodeSavedPaths(stale, Codeset::Utf8), (Rows{{"/a", false}, {"b", true}, {"/c", false}}));

    for (const char *bad : {"1/a", "2/a,", "1/a%2,", "1/a%zz,", "1/a,,", ",", "1/a%"}) {
        SavedPathKeys malformed = keys;
        malformed.rows = bad;
        EXPECT_EQ(decodeSavedPaths(malformed, Codeset::Utf8), (Rows{{"/a", false}, {"b", false}, {"/c", false}}))
            << bad;
    }
}

// ---- On the file ----

class SavedPathsFileTest : public ::testing::Test
{
  protected:
    void TearDown() override { text::setSystemCodeset(Codeset::Utf8); }
    std::string file() const { return m_dir / "gxbx.ini"; }
    TempDir m_dir;
};

TEST_F(SavedPathsFileTest, WrittenFileHoldsTheOldKeysFirst)
{
    ASSERT_EQ(writeSavedPaths(m_dir.path(), {{"/a", false}, {"/b", true}, {"/c", false}}), "");
    EXPECT_EQ(readFile(file()), "[lb]\r\nbxjl=/a,/b,/c,\r\ngxbx=1\r\nrows=0/a,1/b,0/c,\r\n");
    ASSERT_EQ(writeSavedPaths(m_dir.path(), {}), "");
    EXPECT_EQ(readFile(file()), "[lb]\r\nbxjl=\r\ngxbx=-1\r\nrows=\r\n");
    EXPECT_EQ(readSavedPaths(m_dir.path()), Rows{});
}

TEST_F(SavedPathsFileTest, AwkwardRowsRoundTripThroughTheFile)
{
    writeFile(file(), "[other]\r\nkeep=1\r\n");
    ASSERT_EQ(writeSavedPaths(m_dir.path(), kAwkwardRows), "");
    EXPECT_EQ(readSavedPaths(m_dir.path()), kAwkwardRows);
    const std::string content = readFile(file());
    EXPECT_TRUE(text::isValidUtf8(content)) << "an invalid byte would make the file read as GBK";
    EXPECT_TRUE(content.starts_with("[other]\r\nkeep=1\r\n[lb]\r\n"));
}

TEST_F(SavedPathsFileTest, FileOfAnOlderCopyIsReadByTheOldRules)
{
    writeFile(file(), "[lb]\r\nbxjl=/a,/b,c,/d,\r\ngxbx=0,3\r\n");
    EXPECT_EQ(readSavedPaths(m_dir.path()), (Rows{{"/a", true}, {"/b", false}, {"c", false}, {"/d", true}}));
}

TEST_F(SavedPathsFileTest, OlderCopyRewritingTheOldKeysWins)
{
    ASSERT_EQ(writeSavedPaths(m_dir.path(), {{"/a,b", true}}), "");
    // An older copy writes its two keys in place and leaves ours.
    ASSERT_EQ(writeIniValue(file(), "lb", "bxjl", "/z,"), "");
    ASSERT_EQ(writeIniValue(file(), "lb", "gxbx", "0"), "");
    EXPECT_EQ(readSavedPaths(m_dir.path()), (Rows{{"/z", true}}));
}

TEST_F(SavedPathsFileTest, GbkFileOfAnOlderWindowsCopyIsDecoded)
{
    // bxjl=D:\文件,E:\, gxbx=1 in GBK.
    writeFile(file(), "[lb]\r\nbxjl=D:\\\xCE\xC4\xBC\xFE,E:\\,\r\ngxbx=1\r\n");
    EXPECT_EQ(readSavedPaths(m_dir.path()), (Rows{{"D:\\文件", false}, {"E:\\", true}}));
}

} // namespace
