#include "TestScreens.h"

#include "fakecamera/FilmRenderer.h"
#include "fakecamera/FilmSettings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace fakecamera {
namespace {

using testing::Centroid;
using testing::EmptyFrame;
using testing::GreyAt;
using testing::TestScreen;

constexpr int kMonitorWidth = 1280, kMonitorHeight = 800;

FilmSettings QuietSettings()
{
    FilmSettings settings;
    settings.monitor = {1024, 0, kMonitorWidth, kMonitorHeight};
    settings.noiseSigma = 0;
    settings.blurSigma = 0.8;
    settings.lens = {-0.18, 0.01};
    return settings;
}

std::vector<std::uint8_t> Render(FilmRenderer& renderer, const TestScreen& screen, unsigned frameNumber = 1)
{
    std::vector<std::uint8_t> frame = EmptyFrame(renderer.Size());
    renderer.Render(screen.Image(), frameNumber, frame.data());
    return frame;
}

TEST(FilmRenderer, AWhiteDiscShowsWhereTheModelProjectsItsCentre)
{
    const FilmSettings settings = QuietSettings();
    const BoardCameraModel model = CameraModelOf(settings);
    const TestScreen black(kMonitorWidth, kMonitorHeight);
    for (const FrameSize size : {FrameSize{320, 240}, FrameSize{640, 480}}) {
        FilmRenderer renderer(settings, size);
        const std::vector<std::uint8_t> background = Render(renderer, black);
        // The middle, near corners (where the lens bends most) and odd
        // places; each disc about a pixel's centre or corner, so that the
        // pixels drawn have the disc's centre as theirs.
        for (const Point centre :
             {Point{640, 400}, Point{60.5, 50.5}, Point{1225.5, 748}, Point{333.5, 611}, Point{900, 100.5}}) {
            TestScreen screen(kMonitorWidth, kMonitorHeight);
            screen.Disc(centre, 12);
            const Point found = Centroid(Render(renderer, screen), background, size);
            const Point wanted = model.PicturePosition(centre);
            EXPECT_NEAR(found.x, wanted.x, 0.05) << size.width << " at " << centre.x << "," << centre.y;
            EXPECT_NEAR(found.y, wanted.y, 0.05) << size.width << " at " << centre.x << "," << centre.y;
        }
    }
}

TEST(FilmRenderer, ADarkScreenShowsTheRoomLightRisingToTheRight)
{
    FilmSettings settings = QuietSettings();
    settings.roomLight = 30;
    settings.roomGradient = 20;
    const FrameSize size{161, 120};
    FilmRenderer renderer(settings, size);
    const std::vector<std::uint8_t> frame = Render(renderer, TestScreen(kMonitorWidth, kMonitorHeight));
    EXPECT_EQ(GreyAt(frame, size, 0, 60), 30);
    EXPECT_EQ(GreyAt(frame, size, 80, 60), 40);
    EXPECT_EQ(GreyAt(frame, size, 160, 60), 50);
    EXPECT_EQ(frame[1], frame[0]) << "grey: green as blue";
    EXPECT_EQ(frame[2], frame[0]) << "grey: red as blue";
}

TEST(FilmRenderer, AWhiteScreenIsAsBrightAsItsContrastAboveTheRoomAndTheFrameRunsBottomUp)
{
    FilmSettings settings = QuietSettings();
    settings.blurSigma = 0;
    settings.roomGradient = 0;
    const FrameSize size{160, 120};
    FilmRenderer renderer(settings, size);
    // Only the screen's upper half white: in the picture, the board's top
    // comes before its bottom.
    TestScreen screen(kMonitorWidth, kMonitorHeight);
    screen.Disc({640, 0}, 399);
    const std::vector<std::uint8_t> frame = Render(renderer, screen);
    const BoardCameraModel model = CameraModelOf(settings);
    const Point inside = model.PicturePosition({640, 150}), outside = model.PicturePosition({640, 700});
    EXPECT_EQ(GreyAt(frame, size, static_cast<int>(inside.x / 2), static_cast<int>(inside.y / 2)),
              settings.roomLight + settings.contrast);
    EXPECT_EQ(GreyAt(frame, size, static_cast<int>(outside.x / 2), static_cast<int>(outside.y / 2)),
              settings.roomLight);
    // The frame's first bytes are its bottom row: the wall below the board.
    EXPECT_EQ(frame[80 * 3], settings.roomLight);
}

TEST(FilmRenderer, NoiseHasItsSigmaAndIsTheSameForTheSameSeedAndFrame)
{
    FilmSettings settings = QuietSettings();
    settings.noiseSigma = 4;
    settings.roomLight = 100;
    settings.roomGradient = 0;
    settings.blurSigma = 0;
    const FrameSize size{320, 240};
    const TestScreen black(kMonitorWidth / 4, kMonitorHeight / 4); // the size does not matter here
    FilmRenderer renderer(settings, size), again(settings, size);
    const std::vector<std::uint8_t> first = Render(renderer, black, 7);
    EXPECT_EQ(first, Render(again, black, 7));
    EXPECT_NE(first, Render(renderer, black, 8));
    settings.seed = 2;
    FilmRenderer otherSeed(settings, size);
    EXPECT_NE(first, Render(otherSeed, black, 7));

    double sum = 0, sumSquares = 0;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const double deviation = GreyAt(first, size, x, y) - 100.0;
            sum += deviation;
            sumSquares += deviation * deviation;
        }
    }
    const double count = size.width * size.height;
    EXPECT_NEAR(sum / count, 0, 0.1);
    // Rounding to whole grey levels adds 1/12 to the variance.
    EXPECT_NEAR(std::sqrt(sumSquares / count - 1.0 / 12), 4, 0.15);
}

} // namespace
} // namespace fakecamera
