#include "TestScreens.h"

#include "fakecamera/FilmCamera.h"
#include "fakecamera/FrameDelay.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fakecamera {
namespace {

using testing::EmptyFrame;
using testing::TestScreen;

constexpr FrameSize kFrame{160, 120};

FilmSettings SettingsIn(FilmMode mode, int delay = 0)
{
    FilmSettings settings;
    settings.mode = mode;
    settings.monitor = {0, 0, 400, 300};
    settings.delayFrames = delay;
    settings.noiseSigma = 0;
    return settings;
}

// Screens that differ from frame to frame: a disc walking across.
TestScreen ScreenOfFrame(unsigned n)
{
    TestScreen screen(400, 300);
    screen.Disc({60.0 + 25 * n, 150}, 20);
    return screen;
}

TEST(FrameDelay, DeliversFrameNAtNPlusTheDelayAndTheFirstUntilThen)
{
    for (int delay = 0; delay <= kMostDelayFrames; ++delay) {
        FrameDelay line(delay, 4);
        for (std::uint8_t n = 0; n < 10; ++n) {
            const std::uint8_t frame[4] = {n, n, n, n};
            const std::uint8_t* out = line.Pass(frame);
            const int due = std::max(0, n - delay);
            EXPECT_EQ(out[0], due) << "delay " << delay << ", frame " << int(n);
            EXPECT_EQ(out[3], due) << "delay " << delay << ", frame " << int(n);
        }
    }
}

TEST(FilmCamera, FilmsTheScreenAsItWasTheDelayAgo)
{
    FilmCamera delayed(SettingsIn(FilmMode::Film, 2)), prompt(SettingsIn(FilmMode::Film, 0));
    std::vector<std::vector<std::uint8_t>> promptFrames;
    for (unsigned n = 0; n < 6; ++n) {
        const TestScreen screen = ScreenOfFrame(n);
        const ScreenImage image = screen.Image();
        std::vector<std::uint8_t> now = EmptyFrame(kFrame), late = EmptyFrame(kFrame);
        EXPECT_TRUE(prompt.WantsScreen(kFrame));
        prompt.NextFrame(&image, kFrame, n, now.data());
        delayed.NextFrame(&image, kFrame, n, late.data());
        promptFrames.push_back(now);
        EXPECT_EQ(late, promptFrames[n >= 2 ? n - 2 : 0]) << n;
    }
    EXPECT_NE(promptFrames[0], promptFrames[1]);
}

TEST(FilmCamera, BlackAndWhiteNeverLookAtTheScreen)
{
    for (const FilmMode mode : {FilmMode::Black, FilmMode::White}) {
        FilmCamera camera(SettingsIn(mode));
        EXPECT_FALSE(camera.WantsScreen(kFrame));
        const std::uint8_t grey = mode == FilmMode::Black ? 0 : 255;
        const FrameSize odd{161, 3}; // rows with padding
        std::vector<std::uint8_t> frame(Rgb24Bytes(odd), 7);
        const TestScreen screen = ScreenOfFrame(0);
        const ScreenImage image = screen.Image();
        camera.NextFrame(&image, odd, 1, frame.data());
        for (int row = 0; row < odd.height; ++row) {
            const auto begin = frame.begin() + static_cast<long>(row * Rgb24Stride(odd.width));
            EXPECT_TRUE(std::all_of(begin, begin + odd.width * 3, [&](std::uint8_t b) { return b == grey; }));
            EXPECT_EQ(*(begin + odd.width * 3), 0) << "padding";
        }
    }
}

TEST(FilmCamera, StillKeepsTheFirstFilmedFrame)
{
    FilmCamera camera(SettingsIn(FilmMode::Still, 1));
    EXPECT_TRUE(camera.WantsScreen(kFrame));
    std::vector<std::uint8_t> first = EmptyFrame(kFrame), later = EmptyFrame(kFrame);
    const TestScreen screen = ScreenOfFrame(0), moved = ScreenOfFrame(3);
    const ScreenImage image = screen.Image(), movedImage = moved.Image();
    camera.NextFrame(&image, kFrame, 1, first.data());
    EXPECT_FALSE(camera.WantsScreen(kFrame));
    camera.NextFrame(&movedImage, kFrame, 2, later.data());
    EXPECT_EQ(later, first);

    // It is the filmed screen, not a blank: a prompt camera sees the same.
    FilmCamera prompt(SettingsIn(FilmMode::Film, 0));
    std::vector<std::uint8_t> filmed = EmptyFrame(kFrame);
    prompt.NextFrame(&image, kFrame, 1, filmed.data());
    EXPECT_EQ(first, filmed);
}

TEST(FilmCamera, AScreenThatCouldNotBeTakenIsADarkOne)
{
    FilmCamera camera(SettingsIn(FilmMode::Film)), dark(SettingsIn(FilmMode::Film));
    std::vector<std::uint8_t> missing = EmptyFrame(kFrame), black = EmptyFrame(kFrame);
    camera.NextFrame(nullptr, kFrame, 1, missing.data());
    const TestScreen screen(400, 300);
    const ScreenImage image = screen.Image();
    dark.NextFrame(&image, kFrame, 1, black.data());
    EXPECT_EQ(missing, black);
}

} // namespace
} // namespace fakecamera
