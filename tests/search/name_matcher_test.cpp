#include "search/name_matcher.h"

#include <gtest/gtest.h>

#include <random>

#include "search/random_tree.h"
#include "text/characters.h"

namespace quorvel {
namespace {

using text::Codeset;

std::vector<std::uint32_t> matchOne(const std::vector<std::string> &keywords, MatchRule rule, CaseFold fold,
                                    std::string_view name, Codeset codeset = Codeset::Utf8)
{
    const KeywordMatcher matcher(keywords, rule, fold, codeset);
    KeywordMatcher::Scratch scratch;
    std::vector<std::uint32_t> hits;
    matcher.match(name, scratch, hits);
    return hits;
}

struct RuleCase {
    const char *label;
    MatchRule rule;
    std::string keyword;
    std::string name;
    bool hit;
};

class RuleTest : public ::testing::TestWithParam<RuleCase>
{
};

TEST_P(RuleTest, MatchesAsTheRuleSays)
{
    const RuleCase &c = GetParam();
    EXPECT_EQ(!matchOne({c.keyword}, c.rule, CaseFold::Characters, c.name).empty(), c.hit);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, RuleTest,
    ::testing::Values(
        RuleCase{"ReportMatchesReportDocx", MatchRule::NameOrStem, "report", "report.docx", true},
        RuleCase{"ReportMatchesReport", MatchRule::NameOrStem, "report", "report", true},
        RuleCase{"ReportDocxMatchesItself", MatchRule::NameOrStem, "report.docx", "report.docx", true},
        RuleCase{"ReportMissesReportTarGz", MatchRule::NameOrStem, "report", "report.tar.gz", false},
        RuleCase{"ReportTarMatchesReportTarGz", MatchRule::NameOrStem, "report.tar", "report.tar.gz", true},
        RuleCase{"ArchiveMatchesArchive", MatchRule::NameOrStem, "archive", "archive", true},
        RuleCase{"ArchiveMatchesArchiveZip", MatchRule::NameOrStem, "archive", "archive.zip", true},
        RuleCase{"ArchiveMissesArchiveTarGz", MatchRule::NameOrStem, "archive", "archive.tar.gz", false},
        RuleCase{"ProfileByWholeName", MatchRule::NameOrStem, ".profile", ".profile", true},
        RuleCase{"LeadingDotIsNoExtension", MatchRule::NameOrStem, "", ".profile", false},
        RuleCase{"ReadmeIgnoresCase", MatchRule::NameOrStem, "readme", "README.TXT", true},
        RuleCase{"TrailingDotStem", MatchRule::NameOrStem, "a", "a.", true},
        RuleCase{"KeywordSpacesCount", MatchRule::NameOrStem, "a ", "a.txt", false},
        RuleCase{"FolderNoExtensionCut", MatchRule::WholeName, "report", "report.2020", false},
        RuleCase{"FolderWholeName", MatchRule::WholeName, "REPORT.2020", "report.2020", true},
        RuleCase{"FolderMusic", MatchRule::WholeName, "music", "Music", true},
        RuleCase{"FuzzyMus", MatchRule::Contains, "mus", "Music", true},
        RuleCase{"FuzzyUsi", MatchRule::Contains, "USI", "Music", true},
        RuleCase{"FuzzyTxt", MatchRule::Contains, ".txt", "NOTES.TXT.bak", true},
        RuleCase{"FuzzyMiss", MatchRule::Contains, "xyz", "Music", false},
        RuleCase{"FuzzyChinese", MatchRule::Contains, "\xE7\x89\x87", "\xE7\x85\xA7\xE7\x89\x87.jpg", true},
        // A keyword made of a continuation byte never matches inside a character.
        RuleCase{"FuzzyNotInsideCharacter", MatchRule::Contains, "\x85", "\xE7\x85\xA7", false},
        // ...but matches a stray byte that is a character of its own.
        RuleCase{"FuzzyStrayByte", MatchRule::Contains, "\x85", "a\x85z", true},
        RuleCase{"FuzzyInvalidName", MatchRule::Contains, "\xFF", "bad\xFFname", true}),
    [](const ::testing::TestParamInfo<RuleCase> &info) { return std::string(info.param.label); });

TEST(KeywordMatcher, ReportsEveryMatchingKeywordInKeywordOrder)
{
    const std::vector<std::string> keywords{"b", "A", "q", "a", "ab", "A"};
    EXPECT_EQ(matchOne(keywords, MatchRule::Contains, CaseFold::Characters, "Ab.txt"),
              (std::vector<std::uint32_t>{0, 1, 3, 4, 5}));
    EXPECT_EQ(matchOne({"ab", "AB.TXT", "ab"}, MatchRule::NameOrStem, CaseFold::Characters, "aB.txt"),
              (std::vector<std::uint32_t>{0, 1, 2}));
}

TEST(KeywordMatcher, GbkTrailBytesKeepTheirCase)
{
    // 0x81 0x41 is one GBK character whose trail byte is 'A': folding characters leaves it,
    // so it does not equal 0x81 0x61; folding bytes (a byte-wise comparison) makes them equal.
    EXPECT_TRUE(matchOne({"\x81\x61"}, MatchRule::Contains, CaseFold::Characters, "\x81\x41", Codeset::Gbk).empty());
    EXPECT_FALSE(matchOne({"\x81\x61"}, MatchRule::Contains, CaseFold::Bytes, "\x81\x41", Codeset::Gbk).empty());
    // A keyword never matches at a trail byte.
    EXPECT_TRUE(matchOne({"A"}, MatchRule::Contains, CaseFold::Characters, "\x81\x41", Codeset::Gbk).empty());
    EXPECT_FALSE(matchOne({"A"}, MatchRule::Contains, CaseFold::Characters,
                          "\x81\x41"
                          "a",
                          Codeset::Gbk)
                     .empty());
}

// Names and keywords drawn from pieces that make the boundary and folding rules matter.
std::string randomText(std::mt19937 &rng, Codeset codeset, int maxPieces)
{
    static const std::vector<std::string> utf8{
        "a",    "B",    "c",    "A", ".",  " ",   "x",  "\xE7\x85\xA7", "\xE7\x89\x87",
        "\x85", "\xFF", "\xE7", "1", "Ab", "ab.", "..", "\xC3\xA9"};
    static const std::vector<std::string> gbk{"a",        "B",        "A",    ".",    " ",    "\x81\x41",
                                              "\x81\x61", "\xB0\xA1", "\xA1", "\x41", "\xB0", "\x81\x30\x81\x30",
                                              "1",        "Ab",       "ab.",  "\xFF"};
    return testing::joinRandomPieces(rng, codeset == Codeset::Utf8 ? utf8 : gbk, maxPieces);
}

bool plainMatch(const std::string &name, const std::string &keyword, MatchRule rule, CaseFold fold, Codeset cs)
{
    if (rule == MatchRule::Contains && fold == CaseFold::Bytes)
        return text::findTextIgnoringCase(name, keyword, cs) != std::string::npos;
    const std::string n = text::foldedAsciiCase(name, cs), k = text::foldedAsciiCase(keyword, cs);
    if (rule == MatchRule::Contains)
        return text::findText(n, k, cs) != std::string::npos;
    if (n == k)
        return true;
    if (rule == MatchRule::WholeName)
        return false;
    const std::size_t dot = text::findLastText(n, ".", cs);
    return dot != std::string::npos && dot > 0 && n.substr(0, dot) == k;
}

struct DifferentialCase {
    MatchRule rule;
    CaseFold fold;
    Codeset codeset;
    int keywordCount;
};

class MatcherDifferential : public ::testing::TestWithParam<DifferentialCase>
{
};

TEST_P(MatcherDifferential, SameAnswersAsTestingEveryKeyword)
{
    const DifferentialCase &c = GetParam();
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        std::vector<std::string> keywords;
        for (int i = 0; i < c.keywordCount; ++i)
            keywords.push_back(randomText(rng, c.codeset, c.rule == MatchRule::Contains ? 3 : 5));
        const KeywordMatcher matcher(keywords, c.rule, c.fold, c.codeset);
        KeywordMatcher::Scratch scratch;
        std::vector<std::uint32_t> hits;
        for (int n = 0; n < 300; ++n) {
            const std::string name = randomText(rng, c.codeset, 8);
            std::vector<std::uint32_t> expected;
            for (std::uint32_t k = 0; k < keywords.size(); ++k) {
                if (plainMatch(name, keywords[k], c.rule, c.fold, c.codeset))
                    expected.push_back(k);
            }
            matcher.match(name, scratch, hits);
            ASSERT_EQ(hits, expected) << "seed " << seed << " name " << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    RandomNames, MatcherDifferential,
    ::testing::Values(DifferentialCase{MatchRule::Contains, CaseFold::Characters, Codeset::Utf8, 2},
                      DifferentialCase{MatchRule::Contains, CaseFold::Characters, Codeset::Utf8, 40},
                      DifferentialCase{MatchRule::Contains, CaseFold::Bytes, Codeset::Utf8, 40},
                      DifferentialCase{MatchRule::Contains, CaseFold::Characters, Codeset::Gbk, 2},
                      DifferentialCase{MatchRule::Contains, CaseFold::Characters, Codeset::Gbk, 40},
                      DifferentialCase{MatchRule::Contains, CaseFold::Bytes, Codeset::Gbk, 40},
                      DifferentialCase{MatchRule::NameOrStem, CaseFold::Characters, Codeset::Utf8, 60},
                      DifferentialCase{MatchRule::NameOrStem, CaseFold::Characters, Codeset::Gbk, 60},
                      DifferentialCase{MatchRule::WholeName, CaseFold::Characters, Codeset::Utf8, 60},
                      DifferentialCase{MatchRule::WholeName, CaseFold::Characters, Codeset::Gbk, 60}));

TEST(KeywordMatcher, LargeKeywordSetWithoutDenseTable)
{
    // Enough distinct keywords that the automaton keeps its sparse form.
    std::mt19937 rng(7);
    std::vector<std::string> keywords;
    for (int i = 0; i < 120000; ++i) {
        std::string k;
        for (int j = 0; j < 8; ++j)
            k += static_cast<char>(std::uniform_int_distribution<int>(33, 126)(rng));
        keywords.push_back(k);
    }
    keywords.push_back("needle");
    const KeywordMatcher matcher(keywords, MatchRule::Contains, CaseFold::Characters, Codeset::Utf8);
    KeywordMatcher::Scratch scratch;
    std::vector<std::uint32_t> hits;
    for (int n = 0; n < 50; ++n) {
        std::string name = keywords[std::uniform_int_distribution<std::size_t>(0, keywords.size() - 1)(rng)];
        name = "x" + name.substr(2) + "NEEDLE" + keywords[static_cast<std::size_t>(n)];
        std::vector<std::uint32_t> expected;
        for (std::uint32_t k = 0; k < keywords.size(); ++k) {
            if (plainMatch(name, keywords[k], MatchRule::Contains, CaseFold::Characters, Codeset::Utf8))
                expected.push_back(k);
        }
        matcher.match(name, scratch, hits);
        ASSERT_EQ(hits, expected);
    }
}

} // namespace
} // namespace quorvel
