// The bench's filmed board: the window's disc where GDI would draw it, and
// the measurement fed frame by frame on the simulated clock.
#include "FilmedMeasurement.h"
#include "PatternScreen.h"

#include "fakecamera/FilmGroundTruth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace calibration_bench {
namespace {

using calibration::CameraMeasurement;
using calibration::ShownPattern;

TEST(PatternScreen, DrawsTheDiscCentredOnTheNearestPixelAndClearsItForTheDark)
{
    PatternScreen screen(200, 150);
    ShownPattern target;
    target.kind = ShownPattern::Kind::Target;
    target.screen = {100.4, 60.6};
    target.radiusPx = 8.3;
    screen.Paint(target);

    const fakecamera::ScreenImage image = screen.Image();
    const auto lit = [&image](int x, int y) { return image.pixels[y * image.stride + x * 4 + 1] == 255; };
    long count = 0, sumX = 0, sumY = 0;
    int left = image.width, right = -1, top = image.height, bottom = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            if (!lit(x, y)) continue;
            ++count;
            sumX += x;
            sumY += y;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    // Ellipse(100 - 8, 61 - 8, 100 + 8 + 1, 61 + 8 + 1): pixels 92..108, 53..69.
    EXPECT_EQ(left, 92);
    EXPECT_EQ(right, 108);
    EXPECT_EQ(top, 53);
    EXPECT_EQ(bottom, 69);
    EXPECT_FALSE(lit(92, 53)) << "a disc, not its square";
    ASSERT_GT(count, 0);
    EXPECT_EQ(sumX, 100 * count);
    EXPECT_EQ(sumY, 61 * count);
    EXPECT_NEAR(static_cast<double>(count), M_PI * 8.5 * 8.5, 12);

    screen.Paint(ShownPattern{});
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) ASSERT_FALSE(lit(x, y)) << x << ", " << y;
}

fakecamera::FilmSettings Film(int delayFrames)
{
    fakecamera::FilmSettings settings;
    settings.lens = {-0.15, 0};
    settings.delayFrames = delayFrames;
    return settings;
}

// Behind the largest lag the measurement allows for, every point lies where
// the camera sees its target's own place, not the whole pixel its disc was
// painted on (a third of a camera pixel apart here), and the time is the
// frames' on a 30 fps clock: each pattern waits its lag and its agreeing
// frames, no more.
TEST(FilmedMeasurement, MeasuresEachTargetsOwnPlaceOnTheFramesClock)
{
    const fakecamera::FilmSettings settings = Film(CameraMeasurement::kLagFrames);
    const calibration::GridSize grid{3, 3};
    const FilmedMeasurement filmed = MeasureOnFilm(grid, settings);
    ASSERT_EQ(filmed.state, CameraMeasurement::State::Complete) << calibration::Name(filmed.problem);

    const calibration::TargetLayout layout(grid, {settings.monitor.width, settings.monitor.height});
    const fakecamera::FilmGroundTruth truth(settings);
    ASSERT_EQ(filmed.grid.camera.size(), 9u);
    ASSERT_EQ(filmed.truth.size(), 9u);
    for (int t = 0; t < layout.Count(); ++t) {
        const driver::Point place = layout.ScreenPoint(t);
        const driver::Point own = truth.CameraPointAt({place.x + 0.5, place.y + 0.5});
        EXPECT_NEAR(filmed.truth[t].x, own.x, 1e-9) << t;
        EXPECT_NEAR(filmed.truth[t].y, own.y, 1e-9) << t;
        EXPECT_NEAR(filmed.grid.camera[t].x, own.x, 0.5) << t;
        EXPECT_NEAR(filmed.grid.camera[t].y, own.y, 0.5) << t;
    }
    const int patterns = 1 + layout.Count();
    EXPECT_EQ(filmed.frames, patterns * (CameraMeasurement::kLagFrames + CameraMeasurement::kAgreeingFrames));
    EXPECT_NEAR(filmed.elapsedMs, filmed.frames * kFilmFrameMs, 1);
}

TEST(FilmedMeasurement, EndsWithTheMeasurementsProblemWhenTheCameraSeesNothing)
{
    fakecamera::FilmSettings settings = Film(1);
    settings.mode = fakecamera::FilmMode::Black;
    const FilmedMeasurement filmed = MeasureOnFilm({3, 3}, settings);
    EXPECT_EQ(filmed.state, CameraMeasurement::State::Failed);
    EXPECT_EQ(filmed.problem, calibration::CameraProblem::TooDark);
    EXPECT_EQ(filmed.problemTarget, 0);
    EXPECT_LT(filmed.elapsedMs, 2 * CameraMeasurement::kSettleMs + 1000);
}

} // namespace
} // namespace calibration_bench
