// The stages [Filter] hands out, and the adaptive chain on points that are
// not camera units.
#include "driver/PointFilter.h"
#include "driver/SmoothingFactory.h"

#include <gtest/gtest.h>

#include <random>

namespace driver {
namespace {

FilterSettings Settings(FilterMode mode)
{
    FilterSettings settings;
    settings.mode = mode;
    return settings;
}

TEST(SmoothingFactoryTest, FixedModeBlendsThePointersAndLeavesTheContactsAlone)
{
    const SmoothingFactory fixed = MakeSmoothing(Settings(FilterMode::Fixed));
    const auto pointer = fixed.ForPointer();
    const auto contact = fixed.ForContact();
    pointer->Start({0, 0}, 0, kCameraUnit);
    contact->Start({0, 0}, 0, kCameraUnit);
    Point blended, passed;
    ASSERT_TRUE(pointer->Next({100, 50}, 17, blended));
    ASSERT_TRUE(contact->Next({100, 50}, 17, passed));
    EXPECT_DOUBLE_EQ(blended.x, 60);
    EXPECT_DOUBLE_EQ(blended.y, 30);
    EXPECT_EQ(passed.x, 100);
    EXPECT_EQ(passed.y, 50);
    // The blend goes on from the point it showed, not from the sample.
    ASSERT_TRUE(pointer->Next({100, 50}, 34, blended));
    EXPECT_DOUBLE_EQ(blended.x, 84);

    // A restart forgets the last contact.
    pointer->Start({500, 500}, 100, kCameraUnit);
    ASSERT_TRUE(pointer->Next({500, 500}, 117, blended));
    EXPECT_DOUBLE_EQ(blended.x, 500);
}

TEST(SmoothingFactoryTest, AdaptiveModeGivesEveryoneAChainWithTheSectionsParameters)
{
    FilterSettings settings = Settings(FilterMode::Adaptive);
    const SmoothingFactory defaults = MakeSmoothing(settings);
    settings.oneEuro.minCutoffHz = 5;
    const SmoothingFactory loose = MakeSmoothing(settings);
    const auto run = [](SmoothingStage& stage, Point& shown) {
        stage.Start({1000, 1000}, 0, kCameraUnit);
        for (std::uint32_t n = 1; n <= 5; ++n) stage.Next({1030, 1000}, 17 * n, shown);
        // Far off its course: held back a frame.
        return stage.Next({1400, 1000}, 17 * 6, shown);
    };
    Point pointer, contact, looser;
    EXPECT_FALSE(run(*defaults.ForPointer(), pointer));
    EXPECT_FALSE(run(*defaults.ForContact(), contact));
    EXPECT_FALSE(run(*loose.ForPointer(), looser));
    EXPECT_EQ(pointer.x, contact.x);
    // A higher cut-off follows the pen's step more closely.
    EXPECT_LT(pointer.x, 1030);
    EXPECT_GT(looser.x, pointer.x + 1);
}

TEST(PointFilterTest, PixelsAreSmoothedAsTheCameraUnitsTheyStandFor)
{
    const PointUnit pixel = PixelUnit({1024, 768});
    EXPECT_DOUBLE_EQ(pixel.cameraX, 3.125);
    EXPECT_DOUBLE_EQ(pixel.cameraY, 3.125);
    const PointUnit none = PixelUnit({0, 0});
    EXPECT_EQ(none.cameraX, 1);
    EXPECT_EQ(none.cameraY, 1);

    PointFilter inCamera{OneEuroParameters{}};
    PointFilter inPixels{OneEuroParameters{}};
    inCamera.Start({1600, 1200}, 0, kCameraUnit);
    inPixels.Start({1600 / 3.125, 1200 / 3.125}, 0, pixel);
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0, 3);
    for (std::uint32_t n = 1; n <= 40; ++n) {
        // A stroke to the right; one sample 200 camera units (64 pixels)
        // off its course, which the gate judges in camera units.
        const Point camera{1600 + 20.0 * n + noise(random), n == 20 ? 1400 : 1200 + noise(random)};
        Point shownCamera, shownPixels;
        const bool passedCamera = inCamera.Next(camera, 17 * n, shownCamera);
        ASSERT_EQ(inPixels.Next({camera.x / 3.125, camera.y / 3.125}, 17 * n, shownPixels), passedCamera) << n;
        EXPECT_EQ(passedCamera, n != 20) << n;
        if (!passedCamera) continue;
        EXPECT_NEAR(shownPixels.x, shownCamera.x / 3.125, 1e-9) << n;
        EXPECT_NEAR(shownPixels.y, shownCamera.y / 3.125, 1e-9) << n;
    }
}

} // namespace
} // namespace driver
