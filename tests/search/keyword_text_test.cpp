#include "search/keyword_text.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using text::Codeset;

struct NormaliseCase {
    const char *label;
    Codeset codeset;
    std::string box;
    std::string normalised;
    std::vector<std::string> keywords;
};

class NormaliseTest : public ::testing::TestWithParam<NormaliseCase>
{
};

TEST_P(NormaliseTest, RewritesTheBoxAndGivesItsKeywords)
{
    const NormaliseCase &c = GetParam();
    const std::string normalised = normaliseKeywordText(c.box, c.codeset);
    EXPECT_EQ(normalised, c.normalised);
    EXPECT_EQ(keywordLinesOf(normalised, c.codeset), c.keywords);
    // Normalising twice changes nothing.
    EXPECT_EQ(normaliseKeywordText(normalised, c.codeset), normalised);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormaliseTest,
    ::testing::Values(
        NormaliseCase{
            "OnlyBlankLines", Codeset::Utf8, "\r\n   \r\n\xE3\x80\x80\xE3\x80\x80\r\n \xE3\x80\x80 \r\n", "", {}},
        NormaliseCase{"OnlyBlankLinesGbk", Codeset::Gbk, "\r\n  \r\n\xA1\xA1\r\n", "", {}},
        NormaliseCase{"SpacesKeptInside", Codeset::Utf8, "  ab c  ", "  ab c  \r\n", {"  ab c  "}},
        NormaliseCase{"TabIsContent", Codeset::Utf8, "\t\r\n", "\t\r\n", {"\t"}},
        NormaliseCase{"BlankAndSpaceLinesDropped", Codeset::Utf8, "a\r\n\r\n   \r\nb", "a\r\nb\r\n", {"a", "b"}},
        NormaliseCase{"DuplicatesKept", Codeset::Utf8, "x\r\nx\r\n", "x\r\nx\r\n", {"x", "x"}},
        NormaliseCase{"LfOnlyLines", Codeset::Utf8, "a\n\nb\n", "a\r\nb\r\n", {"a", "b"}},
        NormaliseCase{"MixedLineEnds", Codeset::Utf8, "a\r\nb\nc", "a\r\nb\r\nc\r\n", {"a", "b", "c"}},
        NormaliseCase{"EmptyBox", Codeset::Utf8, "", "", {}},
        // A full-width space of the other codeset is content.
        NormaliseCase{"GbkSpaceIsContentInUtf8", Codeset::Utf8, "\xA1\xA1", "\xA1\xA1\r\n", {"\xA1\xA1"}},
        NormaliseCase{"Utf8SpaceIsContentInGbk", Codeset::Gbk, "\xE3\x80\x80", "\xE3\x80\x80\r\n", {"\xE3\x80\x80"}},
        NormaliseCase{"ChineseKeyword",
                      Codeset::Utf8,
                      "\xE7\x85\xA7\xE7\x89\x87 1.jpg\r\n",
                      "\xE7\x85\xA7\xE7\x89\x87 1.jpg\r\n",
                      {"\xE7\x85\xA7\xE7\x89\x87 1.jpg"}}),
    [](const ::testing::TestParamInfo<NormaliseCase> &info) { return std::string(info.param.label); });

TEST(KeywordLines, SplitRule)
{
    // The text before each break is a line, also when empty; the text after the last break
    // only when it is not empty.
    EXPECT_EQ(keywordLinesOf("a\r\n\r\nb", Codeset::Utf8), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(keywordLinesOf("a\r\n", Codeset::Utf8), (std::vector<std::string>{"a"}));
    EXPECT_EQ(keywordLinesOf("\r\n", Codeset::Utf8), (std::vector<std::string>{""}));
    EXPECT_TRUE(keywordLinesOf("", Codeset::Utf8).empty());
}

} // namespace
} // namespace quorvel
