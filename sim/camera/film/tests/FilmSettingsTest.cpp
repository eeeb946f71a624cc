#include "fakecamera/FilmGroundTruth.h"
#include "fakecamera/FilmSettings.h"

#include <gtest/gtest.h>

namespace fakecamera {
namespace {

constexpr const char* kFilmingTheSecondMonitor = "[Other]\r\nMODE=black\r\n"
                                                 "[ film ]\r\n"
                                                 "MODE = Still\r\n"
                                                 "MONITOR_LEFT=-1280\r\nMONITOR_TOP=16\r\n"
                                                 "MONITOR_WIDTH=1280\r\nMONITOR_HEIGHT=800\r\n"
                                                 "K1=-0.2\r\nK2=0.015\r\n"
                                                 "TOP_LEFT=-1.0, -0.55\r\nBOTTOM_RIGHT=1.02,0.62\r\n"
                                                 "UPSIDE_DOWN=1\r\n"
                                                 "BLUR=1.25\r\nNOISE=3.5\r\nSEED=77\r\n"
                                                 "ROOM=30\r\nROOM_GRADIENT=-8\r\nCONTRAST=150\r\nDELAY=2\r\n";

TEST(FilmSettings, WithoutAFilmSectionTheCameraKeepsItsTestPicture)
{
    EXPECT_FALSE(ParseFilmSettings(""));
    EXPECT_FALSE(ParseFilmSettings("[Camera]\r\nMODE=film\r\n; [Film]\r\n"));
    const auto defaults = ParseFilmSettings("[Film]");
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->mode, FilmMode::Film);
    EXPECT_EQ(defaults->monitor.width, 1024);
    EXPECT_EQ(defaults->delayFrames, 1);
}

TEST(FilmSettings, ReadsEveryKeyOfItsOwnSection)
{
    const auto settings = ParseFilmSettings(kFilmingTheSecondMonitor);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->mode, FilmMode::Still);
    EXPECT_EQ(settings->monitor.left, -1280);
    EXPECT_EQ(settings->monitor.top, 16);
    EXPECT_EQ(settings->monitor.width, 1280);
    EXPECT_EQ(settings->monitor.height, 800);
    EXPECT_DOUBLE_EQ(settings->lens.k1, -0.2);
    EXPECT_DOUBLE_EQ(settings->lens.k2, 0.015);
    EXPECT_DOUBLE_EQ(settings->pose.topLeft.x, -1.0);
    EXPECT_DOUBLE_EQ(settings->pose.topLeft.y, -0.55);
    EXPECT_DOUBLE_EQ(settings->pose.bottomRight.y, 0.62);
    EXPECT_DOUBLE_EQ(settings->pose.topRight.x, CameraPose{}.topRight.x) << "a corner not given stays";
    EXPECT_TRUE(settings->pose.upsideDown);
    EXPECT_DOUBLE_EQ(settings->blurSigma, 1.25);
    EXPECT_DOUBLE_EQ(settings->noiseSigma, 3.5);
    EXPECT_EQ(settings->seed, 77u);
    EXPECT_DOUBLE_EQ(settings->roomLight, 30);
    EXPECT_DOUBLE_EQ(settings->roomGradient, -8);
    EXPECT_DOUBLE_EQ(settings->contrast, 150);
    EXPECT_EQ(settings->delayFrames, 2);
}

TEST(FilmSettings, UnreadableValuesKeepTheirDefaultsAndWildOnesAreClamped)
{
    const auto settings = ParseFilmSettings("[Film]\nMODE=sideways\nK1=strong\nBLUR=\nTOP_LEFT=0.5\n"
                                            "DELAY=9\nCONTRAST=1000\nMONITOR_WIDTH=0\n");
    ASSERT_TRUE(settings);
    const FilmSettings defaults;
    EXPECT_EQ(settings->mode, FilmMode::Film);
    EXPECT_DOUBLE_EQ(settings->lens.k1, defaults.lens.k1);
    EXPECT_DOUBLE_EQ(settings->blurSigma, defaults.blurSigma);
    EXPECT_DOUBLE_EQ(settings->pose.topLeft.x, defaults.pose.topLeft.x);
    EXPECT_EQ(settings->delayFrames, kMostDelayFrames);
    EXPECT_DOUBLE_EQ(settings->contrast, 255);
    EXPECT_EQ(settings->monitor.width, 1);
}

TEST(FilmGroundTruth, IsTheModelOfTheSettingsAtEachPixelsCentre)
{
    const auto truth = FilmGroundTruth::FromText(kFilmingTheSecondMonitor);
    ASSERT_TRUE(truth);
    CameraPose pose;
    pose.topLeft = {-1.0, -0.55};
    pose.bottomRight = {1.02, 0.62};
    pose.upsideDown = true;
    const BoardCameraModel expected({1280, 800}, {-0.2, 0.015}, pose);
    for (const Point pixel : {Point{0, 0}, Point{640, 400}, Point{1279, 799}, Point{100, 700}}) {
        const Point seen = truth->CameraPointOfPixel(static_cast<int>(pixel.x), static_cast<int>(pixel.y));
        const Point wanted = expected.CameraPoint({pixel.x + 0.5, pixel.y + 0.5});
        EXPECT_DOUBLE_EQ(seen.x, wanted.x);
        EXPECT_DOUBLE_EQ(seen.y, wanted.y);
    }
    EXPECT_FALSE(FilmGroundTruth::FromText("[Camera]\r\n"));
}

} // namespace
} // namespace fakecamera
