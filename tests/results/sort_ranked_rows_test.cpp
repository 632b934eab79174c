#include "results/sort_ranked_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using quorvel::RankedRows;

namespace {

enum class Where { Front, Back, Anywhere, Mixed };

class RankedRowsTest : public ::testing::TestWithParam<Where>
{
};

// Inserting always at the front leaves every split node half full, which builds the tallest
// tree for a given size; the other patterns split at the end and in the middle.
TEST_P(RankedRowsTest, HoldsWhatAFlatArrayHolds)
{
    std::mt19937 random(7);
    RankedRows ranked;
    std::vector<std::uint32_t> flat;
    EXPECT_TRUE(ranked.entries().empty());
    for (std::uint32_t row = 0; row < 20000; ++row) {
        std::size_t rank = 0;
        switch (GetParam()) {
        case Where::Front:
            rank = 0;
            break;
        case Where::Back:
            rank = flat.size();
            break;
        case Where::Anywhere:
            rank = random() % (flat.size() + 1);
            break;
        case Where::Mixed:
            rank = random() % 3 == 0 ? random() % (flat.size() + 1) : (random() % 2 ? 0 : flat.size());
            break;
        }
        ranked.insert(rank, row);
        flat.insert(flat.begin() + static_cast<std::ptrdiff_t>(rank), row);
        if (row % 997 == 0) {
            for (std::size_t r = 0; r < flat.size(); ++r)
                ASSERT_EQ(ranked.at(r), flat[r]) << "rank " << r << " of " << flat.size();
        }
    }
    EXPECT_EQ(ranked.size(), flat.size());
    EXPECT_EQ(ranked.entries(), flat);
    for (std::size_t r = 0; r < flat.size(); ++r)
        ASSERT_EQ(ranked.at(r), flat[r]);
}

INSTANTIATE_TEST_SUITE_P(Patterns, RankedRowsTest,
                         ::testing::Values(Where::Front, Where::Back, Where::Anywhere, Where::Mixed));

} // namespace
