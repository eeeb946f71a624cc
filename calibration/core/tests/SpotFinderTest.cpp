// Finding a projected disc in the camera's picture to a fraction of a pixel.
#include "FilmedBoard.h"

#include "calibration/SpotFinder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using calibration::FindSpot;
using calibration::ImageOf;
using calibration::ShownPattern;
using calibration::Spot;
using calibration_testing::FilmedBoard;
using calibration_testing::TestCamera;
using driver::Point;

ShownPattern Disc(Point screen, double radiusPx)
{
    ShownPattern pattern;
    pattern.kind = ShownPattern::Kind::Target;
    pattern.target = 0;
    pattern.screen = screen;
    pattern.radiusPx = radiusPx;
    return pattern;
}

// Discs all over the board, each against the picture of another disc a grid
// step away (the pattern before), in an unevenly lit room with the lens's
// blur and the sensor's noise.
TEST(SpotFinder, FindsADiscWithinATenthOfAPixelThroughBlurNoiseAndRoomLight)
{
    FilmedBoard board(TestCamera(false, -0.1));
    const double radius = calibration::CameraMeasurement::DiscRadiusPx(calibration_testing::kBoard);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> x(80, 944), y(60, 708);
    double worst = 0, squares = 0;
    constexpr int kDiscs = 40;
    for (int n = 0; n < kDiscs; ++n) {
        const Point screen{x(random), y(random)};
        const Point before{screen.x > 512 ? screen.x - 200 : screen.x + 200, screen.y};
        const auto reference = ImageOf(board.Frame(board.LightOf(Disc(before, radius))));
        const Spot spot = FindSpot(ImageOf(board.Frame(board.LightOf(Disc(screen, radius)))), reference);
        ASSERT_TRUE(spot.found) << n;
        EXPECT_TRUE(spot.compact);
        const Point truth = board.PictureOf(screen);
        const double error = std::hypot(spot.position.x - truth.x, spot.position.y - truth.y);
        worst = std::max(worst, error);
        squares += error * error;
    }
    EXPECT_LT(worst, 0.15) << "camera pixels";
    EXPECT_LT(std::sqrt(squares / kDiscs), 0.08);
}

TEST(SpotFinder, TellsNoSpotAndAWholeChangeFromASpot)
{
    FilmedBoard board(TestCamera{});
    const auto dark = board.LightOf(ShownPattern{});
    const auto reference = ImageOf(board.Frame(dark));

    // Only the sensor's noise changed.
    const Spot none = FindSpot(ImageOf(board.Frame(dark)), reference);
    EXPECT_FALSE(none.found);
    EXPECT_NEAR(none.noise, 2 * std::sqrt(2.0), 0.5);

    // The whole picture a little brighter, the camera's exposure, say.
    std::vector<float> brighter = dark;
    for (float& v : brighter) v += 30;
    const Spot whole = FindSpot(ImageOf(board.Frame(brighter)), reference);
    EXPECT_FALSE(whole.found);
    EXPECT_FALSE(whole.compact);

    // Saturated: nothing gets brighter, and the figure says why.
    std::vector<float> glare = dark;
    for (float& v : glare) v = 255;
    const auto saturated = ImageOf(board.Frame(glare));
    const Spot blind = FindSpot(saturated, saturated);
    EXPECT_FALSE(blind.found);
    EXPECT_GT(blind.saturatedShare, 0.9);
}

} // namespace
