#include "fakecamera/BoardCameraModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace fakecamera {
namespace {

constexpr ScreenSize kBoard{1280, 800};

CameraPose TurnedPose()
{
    CameraPose pose;
    pose.topLeft = {-1.0, -0.55};
    pose.topRight = {0.85, -0.70};
    pose.bottomRight = {1.02, 0.62};
    pose.bottomLeft = {-0.98, 0.75};
    pose.upsideDown = true;
    return pose;
}

TEST(BoardCameraModel, SeeingAScreenPointAndLookingBackFindsItAgainOverTheWholeBoard)
{
    const BoardCameraModel models[] = {
        BoardCameraModel(kBoard, {-0.15, 0}),
        BoardCameraModel(kBoard, {-0.2, 0.03}, TurnedPose()),
        BoardCameraModel(kBoard, {0.08, 0}, true),
    };
    for (const BoardCameraModel& model : models) {
        double worst = 0;
        for (double y = 0; y <= kBoard.height; y += 8.25) {
            for (double x = 0; x <= kBoard.width; x += 8.5) {
                Point back;
                ASSERT_TRUE(model.ScreenPointAt(model.PicturePosition({x, y}), back)) << x << "," << y;
                worst = std::fmax(worst, std::hypot(back.x - x, back.y - y));
            }
        }
        EXPECT_LT(worst, 0.01);
    }
}

TEST(BoardCameraModel, APicturePositionIsTheCameraPointInPicturePixelsAndTurnsWithTheCamera)
{
    const BoardCameraModel upright(kBoard, {-0.15, 0});
    const BoardCameraModel turned(kBoard, {-0.15, 0}, true);
    const Point screen{300, 200};
    const Point camera = upright.CameraPoint(screen), picture = upright.PicturePosition(screen);
    EXPECT_DOUBLE_EQ(picture.x * 10, camera.x);
    EXPECT_DOUBLE_EQ(picture.y * 10, camera.y);
    const Point halfTurned = turned.PicturePosition(screen);
    EXPECT_DOUBLE_EQ(halfTurned.x, 320 - picture.x);
    EXPECT_DOUBLE_EQ(halfTurned.y, 240 - picture.y);
}

TEST(BoardCameraModel, NoScreenPointWhereTheLensFoldsThePictureBack)
{
    // So strong a barrel that the picture's corners lie past the fold.
    const BoardCameraModel model(kBoard, {-0.6, 0});
    Point screen;
    EXPECT_TRUE(model.ScreenPointAt({160, 120}, screen));
    EXPECT_FALSE(model.ScreenPointAt({0, 0}, screen));
}

} // namespace
} // namespace fakecamera
