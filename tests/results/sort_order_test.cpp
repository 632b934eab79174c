#include "results/sort_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace quorvel;
using quorvel::text::Codeset;

namespace {

const std::string kFalse = "\xE5\x81\x87"; // 假 in UTF-8
const std::string kTrue = "\xE7\x9C\x9F";  // 真 in UTF-8
const std::string kZhong = "\xE4\xB8\xAD"; // 中 in UTF-8
const std::string kZhongGbk = "\xD6\xD0";  // 中 in GBK
const std::string kAhGbk = "\xB0\xA1";     // 啊 in GBK

std::vector<std::string_view> viewsOf(const std::vector<std::string> &keys)
{
    return std::vector<std::string_view>(keys.begin(), keys.end());
}

// The plain insertion the fast order must reproduce: each row in list order goes into flat
// arrays of sorted keys and row numbers at the place sortInsertPosition gives; a truth value
// goes last when it is "假", else first.
std::vector<std::size_t> plainInsertionOrder(const std::vector<std::string> &keys, int kind, bool caseSensitive,
                                             Codeset codeset)
{
    const bool truth = kind == 3;
    const std::string falseText = codeset == Codeset::Gbk ? "\xBC\xD9" : kFalse;
    std::vector<std::string> sortedKeys;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::size_t place;
        if (truth) {
            place = keys[i] == falseText ? i + 1 : 1;
        } else {
            place = sortInsertPosition(std::span<const std::string>(sortedKeys), keys[i], kind, caseSensitive, codeset);
            sortedKeys.insert(sortedKeys.begin() + static_cast<std::ptrdiff_t>(place - 1), keys[i]);
        }
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(place - 1), i);
    }
    return order;
}

struct OrderCase {
    const char *label;
    std::vector<std::string> keys;
    int kind;
    bool caseSensitive;
    Codeset codeset;
    std::vector<std::size_t> ascending;
};

void PrintTo(const OrderCase &c, std::ostream *out)
{
    *out << c.label;
}

class SortOrderExampleTest : public ::testing::TestWithParam<OrderCase>
{
};

TEST_P(SortOrderExampleTest, GivesTheInsertionOrder)
{
    const OrderCase &c = GetParam();
    const std::vector<std::string_view> keys = viewsOf(c.keys);
    EXPECT_EQ(plainInsertionOrder(c.keys, c.kind, c.caseSensitive, c.codeset), c.ascending);
    EXPECT_EQ(sortOrder(keys, c.kind, c.caseSensitive, c.codeset), c.ascending);
    EXPECT_EQ(sortOrderByReplay(keys, c.kind, c.caseSensitive, c.codeset), c.ascending);
    EXPECT_EQ(sortedSourceRows(keys, c.kind, c.caseSensitive, true, c.codeset), c.ascending);
    std::vector<std::size_t> descending(c.ascending.rbegin(), c.ascending.rend());
    EXPECT_EQ(sortedSourceRows(keys, c.kind, c.caseSensitive, false, c.codeset), descending);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SortOrderExampleTest,
    ::testing::Values(
        // Ties as the insertion places them.
        OrderCase{"c_a_b_a", {"c", "a", "b", "a"}, 1, true, Codeset::Utf8, {3, 1, 2, 0}},
        OrderCase{"a_b_b_c_b", {"a", "b", "b", "c", "b"}, 1, true, Codeset::Utf8, {0, 1, 4, 2, 3}},
        OrderCase{"all_equal_keep_order", {"x", "x", "x", "x", "x", "x"}, 1, true, Codeset::Utf8, {0, 1, 2, 3, 4, 5}},
        OrderCase{"empty_list", {}, 1, true, Codeset::Utf8, {}},
        OrderCase{"one_row", {"a.txt"}, 1, true, Codeset::Utf8, {0}},
        // Byte order.
        OrderCase{"upper_before_lower", {"a.txt", "B.txt"}, 1, true, Codeset::Utf8, {1, 0}},
        OrderCase{"ten_before_nine", {"9.txt", "10.txt"}, 1, true, Codeset::Utf8, {1, 0}},
        OrderCase{"digits_before_letters", {"a1", "1a"}, 1, true, Codeset::Utf8, {1, 0}},
        OrderCase{"hyphen_before_separator", {"/x/a/b.txt", "/x/a-x/c.txt"}, 1, true, Codeset::Utf8, {1, 0}},
        OrderCase{"ascii_before_chinese", {kZhong + ".txt", "z.txt"}, 1, true, Codeset::Utf8, {1, 0}},
        OrderCase{"gbk_byte_order", {kZhongGbk, kAhGbk, "z"}, 1, true, Codeset::Gbk, {2, 1, 0}},
        // Folder rows have an empty name: first ascending, last descending.
        OrderCase{"empty_names_first", {"b", "", "a", ""}, 1, true, Codeset::Utf8, {3, 1, 2, 0}},
        // Without case, letters fold to lower case ("_" sorts before every letter).
        OrderCase{"fold_case", {"B", "_", "a"}, 1, false, Codeset::Utf8, {1, 2, 0}},
        OrderCase{"with_case", {"B", "_", "a"}, 1, true, Codeset::Utf8, {0, 1, 2}},
        OrderCase{"folded_ties", {"A", "a", "A"}, 1, false, Codeset::Utf8, {0, 1, 2}},
        OrderCase{"gbk_trail_letters_differ", {"\x8A\x61", "\x8A\x41"}, 1, false, Codeset::Gbk, {1, 0}},
        // Unknown kind codes sort as text.
        OrderCase{"kind_7_is_text", {"a.txt", "B.txt"}, 7, true, Codeset::Utf8, {1, 0}},
        OrderCase{"kind_minus_1_is_text", {"c", "a", "b", "a"}, -1, true, Codeset::Utf8, {3, 1, 2, 0}},
        // Truth values: the rows that are not "假" last-first, then the "假" rows in order.
        OrderCase{"truth", {kFalse, kTrue, kFalse, "x", ""}, 3, true, Codeset::Utf8, {4, 3, 1, 0, 2}},
        OrderCase{"truth_gbk", {"\xBC\xD9", kFalse}, 3, true, Codeset::Gbk, {1, 0}},
        // Numbers: the leading number, nothing counting as 0, within 1e-7 equal.
        OrderCase{"numbers", {"10", "9", "abc", " 2.5x"}, 0, true, Codeset::Utf8, {2, 3, 1, 0}},
        OrderCase{"numbers_within_tolerance", {"1.00000005", "1"}, 0, true, Codeset::Utf8, {0, 1}},
        OrderCase{"numbers_beyond_tolerance", {"1.0000002", "1"}, 0, true, Codeset::Utf8, {1, 0}},
        OrderCase{"numbers_huge", {"1e999", "-1e999", "5"}, 0, true, Codeset::Utf8, {1, 2, 0}},
        // Date-times: no date-time sorts first.
        OrderCase{"dates", {"2024-03-05", "14:30", "2023/12/31", "garbage"}, 2, true, Codeset::Utf8, {3, 1, 2, 0}},
        OrderCase{"dates_equal_forms",
                  {"2024-03-05", "2024/3/5",
                   "2024\xE5\xB9\xB4"
                   "3\xE6\x9C\x88"
                   "5\xE6\x97\xA5"},
                  2,
                  true,
                  Codeset::Utf8,
                  {0, 1, 2}}),
    [](const auto &info) { return std::string(info.param.label); });

// A chain of numbers each within the tolerance of the next but not of all the others makes
// "equal" no equivalence: the insertion can leave the keys out of value order.
TEST(SortOrderTest, ChainedNumbersFollowEveryInsertion)
{
    const std::vector<std::string> keys = {"1", "0.99999995", "0.9999999", "1.00000005", "0.99999990", "1.0000001"};
    const std::vector<std::size_t> plain = plainInsertionOrder(keys, 0, true, Codeset::Utf8);
    EXPECT_EQ(plain, (std::vector<std::size_t>{4, 0, 1, 2, 3, 5}));
    EXPECT_EQ(sortOrder(viewsOf(keys), 0, true, Codeset::Utf8), plain);
}

TEST(SortOrderTest, AccessorGivesTheSameOrderAsViews)
{
    const std::vector<std::string> keys = {"b", "a", "c", "a", "", "b"};
    const std::vector<std::string_view> views = viewsOf(keys);
    std::size_t asked = 0;
    const SortKeyAt keyAt = [&](std::size_t row) {
        ++asked;
        return std::string_view(keys[row]);
    };
    EXPECT_EQ(sortOrder(keys.size(), keyAt, 1), sortOrder(views, 1));
    EXPECT_EQ(asked, keys.size());
    std::vector<std::size_t> descending = sortedSourceRows(keys.size(), keyAt, 1, true, false);
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(descending, sortOrder(views, 1));
}

TEST(SortInsertPositionTest, PlacesByTheStepsOfTheInsertion)
{
    const std::vector<std::string> keys = {"b", "d", "d", "d", "f"};
    const auto place = [&](std::string_view text) {
        return sortInsertPosition(std::span<const std::string>(keys), text, 1, true, Codeset::Utf8);
    };
    EXPECT_EQ(sortInsertPosition(std::span<const std::string>(), "x", 1), 1u);
    EXPECT_EQ(place("f"), 6u); // equal to the last: after it
    EXPECT_EQ(place("g"), 6u);
    EXPECT_EQ(place("b"), 1u); // equal to the first: before it
    EXPECT_EQ(place("a"), 1u);
    EXPECT_EQ(place("d"), 4u); // the bisection meets place 3 first and goes directly after it
    EXPECT_EQ(place("c"), 2u);
    EXPECT_EQ(place("e"), 5u);
    const std::vector<std::string_view> views(keys.begin(), keys.end());
    EXPECT_EQ(sortInsertPosition(std::span<const std::string_view>(views), "e", 1, true, Codeset::Utf8), 5u);
    EXPECT_EQ(sortInsertPosition(std::span<const std::string>(keys), kFalse, 3, true, Codeset::Utf8), 6u);
    EXPECT_EQ(sortInsertPosition(std::span<const std::string>(keys), kTrue, 3, true, Codeset::Utf8), 1u);
}

// Random lists with many ties, checked against the plain insertion.
struct RandomCase {
    const char *label;
    int kind;
    bool caseSensitive;
    Codeset codeset;
    std::vector<std::string> pool; // keys are drawn from this pool, or glued from its pieces
    bool glue;                     // glue 0 to 3 pieces into one key
};

void PrintTo(const RandomCase &c, std::ostream *out)
{
    *out << c.label;
}

class SortOrderRandomTest : public ::testing::TestWithParam<RandomCase>
{
};

std::vector<std::string> randomKeys(const RandomCase &c, std::size_t count, std::size_t poolUsed, std::mt19937 &random)
{
    std::vector<std::string> keys(count);
    const std::size_t used = std::min(poolUsed, c.pool.size());
    for (std::string &key : keys) {
        if (c.glue) {
            const std::size_t pieces = random() % 4;
            for (std::size_t p = 0; p < pieces; ++p)
                key += c.pool[random() % used];
        } else {
            key = c.pool[random() % used];
        }
    }
    return keys;
}

TEST_P(SortOrderRandomTest, FastOrderEqualsThePlainInsertion)
{
    const RandomCase &c = GetParam();
    std::mt19937 random(20240305);
    // Short lists of every length, then longer ones whose classes outgrow the small-class
    // arrangement and whose replay splits the ranked list's nodes.
    std::vector<std::pair<std::size_t, std::size_t>> runs; // (length, pool entries used)
    for (std::size_t length = 0; length < 40; ++length)
        runs.push_back({length, 2 + length % 5});
    for (int k = 0; k < 60; ++k)
        runs.push_back({40 + random() % 300, 2 + random() % c.pool.size()});
    runs.push_back({3000, 3});
    runs.push_back({3000, c.pool.size()});
    for (const auto &[length, poolUsed] : runs) {
        const std::vector<std::string> keys = randomKeys(c, length, poolUsed, random);
        const std::vector<std::string_view> views = viewsOf(keys);
        const std::vector<std::size_t> expected = plainInsertionOrder(keys, c.kind, c.caseSensitive, c.codeset);
        ASSERT_EQ(sortOrder(views, c.kind, c.caseSensitive, c.codeset), expected) << "length " << length;
        ASSERT_EQ(sortOrderByReplay(views, c.kind, c.caseSensitive, c.codeset), expected) << "length " << length;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SortOrderRandomTest,
    ::testing::Values(RandomCase{"text", 1, true, Codeset::Utf8, {"a", "b", "B", "_", "", "a.", kZhong, "\xFF"}, true},
                      RandomCase{"text_names",
                                 1,
                                 true,
                                 Codeset::Utf8,
                                 {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0001.jpg", "", "a.txt", "B.txt",
                                  kZhong + ".docx", "10.txt", "9.txt", "IMG_0001.JPG2"},
                                 false},
                      RandomCase{
                          "text_without_case", 1, false, Codeset::Utf8, {"a", "A", "b", "B", "_", "", "\x8A"}, true},
                      RandomCase{"text_without_case_gbk",
                                 1,
                                 false,
                                 Codeset::Gbk,
                                 {"a", "A", "\x8A", "\x8A\x41", "\x8A\x61", kAhGbk, "_"},
                                 true},
                      RandomCase{"unknown_kind", 9, true, Codeset::Utf8, {"c", "a", "b", "ab", ""}, true},
                      RandomCase{"numbers",
                                 0,
                                 true,
                                 Codeset::Utf8,
                                 {"1", "01", "1.0", "2", "-1", "1e0", "abc", "", " 3", "2.5", "10", "9.txt", "-0"},
                                 false},
                      RandomCase{"numbers_chained",
                                 0,
                                 true,
                                 Codeset::Utf8,
                                 {"1", "1.00000005", "1.0000001", "1.00000015", "0.99999995", "2", "abc", "1.0000002"},
                                 false},
                      RandomCase{"dates",
                                 2,
                                 true,
                                 Codeset::Utf8,
                                 {"2024-03-05", "2024/3/5", "2024-03-05 00:00:00", "14:30", "1899-12-30 14:30", "x", "",
                                  "2024\xE5\xB9\xB4"
                                  "3\xE6\x9C\x88"
                                  "5\xE6\x97\xA5",
                                  "2023-12-31 23:59:59", "1999.1.1"},
                                 false},
                      RandomCase{"dates_chained",
                                 2,
                                 true,
                                 Codeset::Utf8,
                                 {"2024-03-05 00:00:00", "2024-03-05 00:00:00.005", "2024-03-05 00:00:00.01",
                                  "2024-03-05 00:00:00.015", "2024-03-04", "nothing"},
                                 false},
                      RandomCase{"truth", 3, true, Codeset::Utf8, {kFalse, kTrue, "", "x", kFalse + " "}, false},
                      RandomCase{"truth_gbk", 3, true, Codeset::Gbk, {"\xBC\xD9", kFalse, "\xD5\xE6"}, false}),
    [](const auto &info) { return std::string(info.param.label); });

} // namespace
