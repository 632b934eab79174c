#include "results/sort_keys.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <string>

using namespace quorvel;
using quorvel::text::Codeset;

namespace {

struct NumberCase {
    const char *label;
    std::string text;
    double value;
};

void PrintTo(const NumberCase &c, std::ostream *out)
{
    *out << c.label;
}

class SortNumberValueTest : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(SortNumberValueTest, ReadsTheLeadingDecimalNumber)
{
    EXPECT_EQ(sortNumberValue(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SortNumberValueTest,
    ::testing::Values(NumberCase{"integer", "42", 42}, NumberCase{"leading_spaces", " \t 7", 7},
                      NumberCase{"trailing_text", "12.5kg", 12.5}, NumberCase{"file_name", "10.txt", 10},
                      NumberCase{"exponent", "1e3.txt", 1000}, NumberCase{"exponent_without_digits", "2e", 2},
                      NumberCase{"negative", "-3.25", -3.25}, NumberCase{"plus", "+8", 8},
                      NumberCase{"fraction_only", ".5", 0.5}, NumberCase{"point_alone", ".", 0},
                      NumberCase{"sign_alone", "-", 0}, NumberCase{"no_number", "IMG_1234.JPG", 0},
                      NumberCase{"empty", "", 0}, NumberCase{"inf_is_no_number", "inf", 0},
                      NumberCase{"nan_is_no_number", "nan.txt", 0}, NumberCase{"hex_is_decimal_zero", "0x1A", 0},
                      NumberCase{"space_after_sign", "- 5", 0}, NumberCase{"too_large", "1e999", DBL_MAX},
                      NumberCase{"too_large_negative", "-123456e400", -DBL_MAX},
                      NumberCase{"too_large_fraction", "0.000001e400", DBL_MAX}, NumberCase{"too_small", "1e-999", 0},
                      NumberCase{"too_small_fraction", "0.0001e-400", 0}),
    [](const auto &info) { return std::string(info.param.label); });

struct DateCase {
    const char *label;
    std::string text;
    double days;
};

void PrintTo(const DateCase &c, std::ostream *out)
{
    *out << c.label;
}

class SortDateTimeValueTest : public ::testing::TestWithParam<DateCase>
{
};

TEST_P(SortDateTimeValueTest, GivesDayNumbersFrom1899_12_30)
{
    EXPECT_NEAR(sortDateTimeValue(GetParam().text), GetParam().days, 1e-9);
}

constexpr double kMarch5 = 45356; // 2024-03-05
constexpr double kHalfPastTwo = 14.5 / 24;

INSTANTIATE_TEST_SUITE_P(
    Texts, SortDateTimeValueTest,
    ::testing::Values(DateCase{"iso_date", "2024-03-05", kMarch5}, DateCase{"slashes_short", "2024/3/5", kMarch5},
                      DateCase{"dots", "2024.3.5", kMarch5}, DateCase{"spaces_around", "  2024-03-05 ", kMarch5},
                      DateCase{"date_time", "2024-03-05 14:30:00", kMarch5 + kHalfPastTwo},
                      DateCase{"date_t_time", "2024-03-05T14:30", kMarch5 + kHalfPastTwo},
                      DateCase{"seconds_fraction", "2024-03-05 00:00:01.5", kMarch5 + 1.5 / 86400},
                      DateCase{"chinese_utf8",
                               "2024\xE5\xB9\xB4"
                               "3\xE6\x9C\x88"
                               "5\xE6\x97\xA5",
                               kMarch5},
                      DateCase{"chinese_gbk",
                               "2024\xC4\xEA"
                               "3\xD4\xC2"
                               "5\xC8\xD5",
                               kMarch5},
                      DateCase{"chinese_with_time",
                               "2024\xE5\xB9\xB4"
                               "3\xE6\x9C\x88"
                               "5\xE6\x97\xA5 14:30",
                               kMarch5 + kHalfPastTwo},
                      DateCase{"time_only", "14:30", kHalfPastTwo}, DateCase{"epoch", "1899-12-30", 0},
                      DateCase{"before_epoch_is_linear", "1899-12-29 06:00", -0.75},
                      DateCase{"leap_day", "2024-02-29", 45351}, DateCase{"last_day", "9999-12-31", 2958465},
                      DateCase{"first_day", "100-01-01", kEarliestSortDay}, DateCase{"year_1970", "1970-01-01", 25569},
                      DateCase{"no_leap_day", "2023-02-29", kEarliestSortDay},
                      DateCase{"month_13", "2024-13-01", kEarliestSortDay},
                      DateCase{"mixed_separators", "2024-03/05", kEarliestSortDay},
                      DateCase{"trailing_text", "2024-03-05 report.docx", kEarliestSortDay},
                      DateCase{"hour_24", "24:00", kEarliestSortDay}, DateCase{"year_99", "99-01-01", kEarliestSortDay},
                      DateCase{"year_and_month", "2024-03", kEarliestSortDay}, DateCase{"empty", "", kEarliestSortDay},
                      DateCase{"file_name", "IMG_1234.JPG", kEarliestSortDay}),
    [](const auto &info) { return std::string(info.param.label); });

struct CompareCase {
    const char *label;
    std::string a, b;
    bool caseSensitive;
    Codeset codeset;
    int sign;
};

void PrintTo(const CompareCase &c, std::ostream *out)
{
    *out << c.label;
}

class CompareSortTextsTest : public ::testing::TestWithParam<CompareCase>
{
};

TEST_P(CompareSortTextsTest, ComparesUnsignedBytes)
{
    const CompareCase &c = GetParam();
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    EXPECT_EQ(sign(compareSortTexts(c.a, c.b, c.caseSensitive, c.codeset)), c.sign);
    EXPECT_EQ(sign(compareSortTexts(c.b, c.a, c.caseSensitive, c.codeset)), -c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CompareSortTextsTest,
    ::testing::Values(CompareCase{"upper_before_lower", "B.txt", "a.txt", true, Codeset::Utf8, -1},
                      CompareCase{"digit_by_digit", "10.txt", "9.txt", true, Codeset::Utf8, -1},
                      CompareCase{"hyphen_before_separator", "/x/a-x/c.txt", "/x/a/b.txt", true, Codeset::Utf8, -1},
                      CompareCase{"ascii_before_chinese", "z.txt", "\xE4\xB8\xAD.txt", true, Codeset::Utf8, -1},
                      CompareCase{"high_bytes_unsigned", "\x7F", "\x80", true, Codeset::Utf8, -1},
                      CompareCase{"prefix_is_smaller", "a", "a.txt", true, Codeset::Utf8, -1},
                      CompareCase{"empty_is_smallest", "", "\x01", true, Codeset::Utf8, -1},
                      CompareCase{"equal", "a.txt", "a.txt", true, Codeset::Utf8, 0},
                      CompareCase{"fold_equal", "README.md", "readme.MD", false, Codeset::Utf8, 0},
                      CompareCase{"fold_to_lower", "_", "a", false, Codeset::Utf8, -1},
                      CompareCase{"fold_upper_after_underscore", "_", "A", false, Codeset::Utf8, -1},
                      CompareCase{"gbk_order", "\xB0\xA1", "\xD6\xD0", true, Codeset::Gbk, -1},
                      CompareCase{"gbk_trail_letter_keeps_case", "\x8A\x41", "\x8A\x61", false, Codeset::Gbk, -1},
                      CompareCase{"gbk_single_letters_fold",
                                  "\x8A\x61"
                                  "A",
                                  "\x8A\x61"
                                  "a",
                                  false, Codeset::Gbk, 0},
                      CompareCase{"utf8_invalid_bytes_fold_alone", "\x8A\x41", "\x8A\x61", false, Codeset::Utf8, 0}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(SortKindTest, UnknownCodesSortAsText)
{
    EXPECT_EQ(sortKindFromCode(0), SortKind::Number);
    EXPECT_EQ(sortKindFromCode(1), SortKind::Text);
    EXPECT_EQ(sortKindFromCode(2), SortKind::DateTime);
    EXPECT_EQ(sortKindFromCode(3), SortKind::TruthValue);
    EXPECT_EQ(sortKindFromCode(4), SortKind::Text);
    EXPECT_EQ(sortKindFromCode(-1), SortKind::Text);
}

TEST(SortKindTest, FalseIsExactlyJiaInTheCodeset)
{
    EXPECT_TRUE(isFalseTruthText("\xE5\x81\x87", Codeset::Utf8));
    EXPECT_TRUE(isFalseTruthText("\xBC\xD9", Codeset::Gbk));
    EXPECT_FALSE(isFalseTruthText("\xBC\xD9", Codeset::Utf8));
    EXPECT_FALSE(isFalseTruthText("\xE5\x81\x87 ", Codeset::Utf8));
    EXPECT_FALSE(isFalseTruthText("", Codeset::Utf8));
}

} // namespace
