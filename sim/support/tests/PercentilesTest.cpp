#include "sim/Percentiles.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(PercentilesTest, NearestRankOfUnsortedSamples)
{
    std::vector<double> samples;
    for (int i = 100; i >= 1; --i) samples.push_back(i);
    const Spread spread = SpreadOf(samples);
    EXPECT_EQ(spread.count, 100u);
    EXPECT_EQ(spread.median, 50);
    EXPECT_EQ(spread.p99, 99);
}

TEST(PercentilesTest, SmallAndEmptySets)
{
    EXPECT_EQ(SpreadOf({7}).p99, 7);
    EXPECT_EQ(SpreadOf({7}).median, 7);
    EXPECT_EQ(SpreadOf({1, 2}).median, 1);
    EXPECT_EQ(SpreadOf({1, 2}).p99, 2);
    EXPECT_EQ(SpreadOf({}).count, 0u);
}

} // namespace
} // namespace sim
