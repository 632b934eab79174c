#include "settings/saved_keywords.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace quorvel;
using quorvel::testing::readFile;
using quorvel::testing::TempDir;
using quorvel::testing::writeFile;

namespace {

class SavedKeywordsTest : public ::testing::TestWithParam<std::string>
{
};

TEST_P(SavedKeywordsTest, TextRoundTripsByteForByte)
{
    TempDir dir;
    ASSERT_EQ(writeSavedKeywords(dir.path(), GetParam()), "");
    EXPECT_EQ(readFile(dir / "filemame.txt"), GetParam());
    EXPECT_EQ(readSavedKeywords(dir.path()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, SavedKeywordsTest,
                         ::testing::Values("", "a", "a\r\nb", "a\r\n\r\nb\r\n", " 报告 \r\n\xE3\x80\x80x\r\n",
                                           std::string(200000, 'k')));

TEST(SavedKeywords, MissingFileReadsEmpty)
{
    TempDir dir;
    EXPECT_EQ(readSavedKeywords(dir.path()), "");
}

TEST(SavedKeywords, LfOnlyLinesAreKept)
{
    TempDir dir;
    writeFile(dir / "filemame.txt", "a\nb\n");
    EXPECT_EQ(readSavedKeywords(dir.path()), "a\nb\n");
}

TEST(SavedKeywords, TextEndsAtTheFirstZeroByte)
{
    TempDir dir;
    writeFile(dir / "filemame.txt", std::string("a\r\nb\0c\r\nd", 9));
    EXPECT_EQ(readSavedKeywords(dir.path()), "a\r\nb");
}

TEST(SavedKeywords, GbkFileOfAnOlderCopyIsDecoded)
{
    TempDir dir;
    writeFile(dir / "filemame.txt", "\xB1\xA8\xB8\xE6\r\nx"); // 报告 CR LF x
    EXPECT_EQ(readSavedKeywords(dir.path()), "报告\r\nx");
}

} // namespace
