#include "text/characters.h"

#include <gtest/gtest.h>

#include "text/conversion.h"

using namespace quorvel::text;
using std::string_view;
constexpr auto npos = string_view::npos;

namespace {

struct FindCase {
    const char *label;
    Codeset codeset;
    std::string text;
    std::string needle;
    std::size_t first;
    std::size_t last;
};

class FindTest : public ::testing::TestWithParam<FindCase>
{
};

TEST_P(FindTest, MatchesOnlyAtCharacterBoundaries)
{
    const FindCase &c = GetParam();
    EXPECT_EQ(findText(c.text, c.needle, c.codeset), c.first);
    EXPECT_EQ(findLastText(c.text, c.needle, c.codeset), c.last);
}

// GBK: 0x95 0x5C and 0x8A 0x61 are double-byte characters whose second byte is '\' or 'a'.
INSTANTIATE_TEST_SUITE_P(
    Both, FindTest,
    ::testing::Values(FindCase{"ascii", Codeset::Utf8, "a.tar.gz", ".", 1, 5},
                      FindCase{"ascii_gbk", Codeset::Gbk, "a.tar.gz", ".", 1, 5},
                      FindCase{"missing", Codeset::Utf8, "abc", "x", npos, npos},
                      FindCase{"gbk_backslash_trail", Codeset::Gbk, "\x95\x5C", "\\", npos, npos},
                      FindCase{"gbk_backslash_after_char", Codeset::Gbk, "\x95\x5C\\x", "\\", 2, 2},
                      FindCase{"gbk_letter_trail", Codeset::Gbk,
                               "\x8A\x61"
                               "b",
                               "a", npos, npos},
                      FindCase{"gbk_letter_real", Codeset::Gbk,
                               "\x8A\x61"
                               "a",
                               "a", 2, 2},
                      FindCase{"gbk_full_width_space", Codeset::Gbk, "x\xA1\xA1y", "\xA1\xA1", 1, 1},
                      FindCase{"gbk_space_across_chars", Codeset::Gbk, "\xB0\xA1\xA1\xB0", "\xA1\xA1", npos, npos},
                      FindCase{"gbk_four_byte", Codeset::Gbk,
                               "\x81\x30\x81\x30"
                               "0",
                               "0", 4, 4},
                      FindCase{"utf8_continuation_needle", Codeset::Utf8, "\xC3\xA9\xA9", "\xA9", 2, 2},
                      FindCase{"utf8_invalid_byte_is_a_char", Codeset::Utf8, "\xA9x\xA9", "\xA9", 0, 2},
                      FindCase{"utf8_chinese", Codeset::Utf8, "\xE6\x96\x87\xE4\xBB\xB6", "\xE4\xBB\xB6", 3, 3}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(SplitText, KeepsInnerEmptyPiecesButNoEmptyLastPiece)
{
    using V = std::vector<string_view>;
    for (Codeset cs : {Codeset::Utf8, Codeset::Gbk}) {
        EXPECT_EQ(splitText("", "\r\n", cs), V{});
        EXPECT_EQ(splitText("a\r\n\r\nb", "\r\n", cs), (V{"a", "", "b"}));
        EXPECT_EQ(splitText("a\r\nb\r\n", "\r\n", cs), (V{"a", "b"}));
        EXPECT_EQ(splitText("\r\n", "\r\n", cs), V{""});
        EXPECT_EQ(splitText("a,,b,", ",", cs), (V{"a", "", "b"}));
        EXPECT_EQ(splitText("x", ",", cs), V{"x"});
    }
    // A separator byte inside a double-byte character does not cut it.
    EXPECT_EQ(splitText("\x95\x5C"
                        "a\\b",
                        "\\", Codeset::Gbk),
              (V{"\x95\x5C"
                 "a",
                 "b"}));
}

TEST(FoldAsciiCase, ChangesOnlyAsciiLettersAndStepsOverDoubleByteCharacters)
{
    EXPECT_EQ(foldedAsciiCase("ReadMe.TXT", Codeset::Utf8), "readme.txt");
    EXPECT_EQ(foldedAsciiCase("\xEF\xBC\xA1"
                              "B",
                              Codeset::Utf8),
              "\xEF\xBC\xA1"
              "b"); // full-width A kept
    // 0x8A 0x41: trail byte 'A' stays; the single 'A' after it folds.
    EXPECT_EQ(foldedAsciiCase("\x8A\x41"
                              "A",
                              Codeset::Gbk),
              "\x8A\x41"
              "a");
}

TEST(FindTextIgnoringCase, FoldsBothSides)
{
    EXPECT_EQ(findTextIgnoringCase("xREADMEx.txt", "readme", Codeset::Utf8), 1u);
    EXPECT_EQ(findTextIgnoringCase("a.TXT\\b.txt", "TXT\\B", Codeset::Utf8), 2u);
    EXPECT_EQ(findTextIgnoringCase("\x8A\x41", "a", Codeset::Gbk), npos);
}

TEST(IsOnlySpaces, CountsHalfAndFullWidthSpacesInEachCodeset)
{
    EXPECT_TRUE(isOnlySpaces("", Codeset::Utf8));
    EXPECT_TRUE(isOnlySpaces("  \xE3\x80\x80 ", Codeset::Utf8));
    EXPECT_TRUE(isOnlySpaces(" \xA1\xA1", Codeset::Gbk));
    EXPECT_FALSE(isOnlySpaces("\t", Codeset::Utf8));
    EXPECT_FALSE(isOnlySpaces("\xA1\xA1", Codeset::Utf8));
    EXPECT_FALSE(isOnlySpaces("\xB0\xA1\xA1", Codeset::Gbk)); // A1 here is a trail byte
}

TEST(Conversion, DisplayReplacesInvalidBytesAndKeepsTheRest)
{
    EXPECT_EQ(toDisplayUtf8("a\xFF"
                            "b",
                            Codeset::Utf8),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(toDisplayUtf8("\xE6\x96\x87", Codeset::Utf8), "\xE6\x96\x87");
    EXPECT_EQ(toDisplayUtf8("\xCE\xC4\xBC\xFE", Codeset::Gbk), "\xE6\x96\x87\xE4\xBB\xB6"); // 文件
    EXPECT_EQ(toDisplayUtf8("x\xFF", Codeset::Gbk), "x\xEF\xBF\xBD");
    EXPECT_EQ(fromUtf8("\xE6\x96\x87\xE4\xBB\xB6", Codeset::Gbk), "\xCE\xC4\xBC\xFE");
    EXPECT_EQ(fromUtf8("\xE6\x96\x87", Codeset::Utf8), "\xE6\x96\x87");
}

TEST(Conversion, ProgramFilesWrittenInGbkAreReadUnderUtf8)
{
    EXPECT_EQ(fromProgramFile("\xD5\xE6", Codeset::Utf8), "\xE7\x9C\x9F"); // 真
    EXPECT_EQ(fromProgramFile("\xE7\x9C\x9F", Codeset::Utf8), "\xE7\x9C\x9F");
    EXPECT_EQ(fromProgramFile("\xD5\xE6", Codeset::Gbk), "\xD5\xE6");
    EXPECT_TRUE(isValidUtf8("plain \xE7\x9C\x9F"));
    EXPECT_FALSE(isValidUtf8("\xD5\xE6"));
}

TEST(Codeset, NamesAndFullWidthSpaces)
{
    EXPECT_EQ(codesetFromName("UTF-8"), Codeset::Utf8);
    EXPECT_EQ(codesetFromName("gb18030"), Codeset::Gbk);
    EXPECT_EQ(codesetFromName("GBK"), Codeset::Gbk);
    EXPECT_FALSE(codesetFromName("latin9").has_value());
    EXPECT_EQ(fullWidthSpace(Codeset::Gbk), "\xA1\xA1");
    EXPECT_EQ(fullWidthSpace(Codeset::Utf8), "\xE3\x80\x80");
}

} // namespace
