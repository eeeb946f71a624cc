// The region rules on shapes small enough to check by eye; agreement with
// the platform's regions is proven under Wine.
#include "driver/QuadRegion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using driver::IntQuad;
using driver::QuadContains;

// Rows top to bottom, '#' for pixels inside, over x and y in 0..width-1.
std::string Picture(const IntQuad& quad, int width, int height)
{
    std::string rows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) rows += QuadContains(quad, x, y) ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

TEST(QuadRegion, RectangleHoldsLeftAndTopEdgesOnly)
{
    const IntQuad rectangle{{1, 4, 4, 1}, {1, 1, 3, 3}};
    EXPECT_EQ(Picture(rectangle, 6, 5), "......\n"
                                        ".###..\n"
                                        ".###..\n"
                                        "......\n"
                                        "......\n");
    const IntQuad reversed{{1, 1, 4, 4}, {1, 3, 3, 1}};
    EXPECT_EQ(Picture(reversed, 6, 5), Picture(rectangle, 6, 5)) << "winding does not matter";
}

TEST(QuadRegion, SelfCrossingQuadHoldsBothTriangles)
{
    const IntQuad bowTie{{0, 6, 0, 6}, {0, 6, 6, 0}};
    EXPECT_EQ(Picture(bowTie, 7, 7), "######.\n"
                                     ".####..\n"
                                     "..##...\n"
                                     ".......\n"
                                     "..##...\n"
                                     ".####..\n"
                                     ".......\n");
}

TEST(QuadRegion, PushedBorderExcludesTheFarEdge)
{
    const IntQuad cell{{0, 65535, 65535, 0}, {0, 0, 65535, 65535}};
    EXPECT_TRUE(QuadContains(cell, 0, 0));
    EXPECT_TRUE(QuadContains(cell, 65534, 65534));
    EXPECT_FALSE(QuadContains(cell, 65535, 10));
    EXPECT_FALSE(QuadContains(cell, 10, 65535));
    EXPECT_FALSE(QuadContains(cell, -1, 10));
}

TEST(QuadRegion, TruncationTowardZeroSaturates)
{
    EXPECT_EQ(driver::TruncateCoordinate(1.9), 1);
    EXPECT_EQ(driver::TruncateCoordinate(-1.9), -1);
    EXPECT_EQ(driver::TruncateCoordinate(-0.5), 0);
    EXPECT_EQ(driver::TruncateCoordinate(1e300), driver::kQuadCoordinateLimit);
    EXPECT_EQ(driver::TruncateCoordinate(-std::numeric_limits<double>::infinity()), -driver::kQuadCoordinateLimit);
    EXPECT_EQ(driver::TruncateCoordinate(std::nan("")), 0);
}

} // namespace
