// Teaching the board's printed keys and writing them where the driver
// finds them.
#include "CalibrationTestKit.h"

#include "calibration/BoardKeySpots.h"
#include "calibration/WritePlan.h"

#include "common/TextProfile.h"
#include "driver/BoardKeys.h"
#include "driver/CalibrationView.h"

#include <gtest/gtest.h>

namespace {

using calibration::BoardKeySpots;
using calibration::KeyRole;
using calibration::KeyTeaching;
using calibration::TargetLayout;
using calibration::TargetRun;
using calibration_testing::kBoard;
using calibration_testing::TestCamera;
using calibration_testing::Touch;
using driver::Point;

// Printed down the board's left edge, below the projected picture's left
// margin: key k at screen height 40 + 50 k (where the camera sees it).
Point KeySpotOnScreen(int key)
{
    return {6, 40 + 50.0 * key};
}

calibration::TaughtKeys Teach(const TestCamera& camera, int copy, std::uint32_t& now)
{
    KeyTeaching teaching(copy, now);
    for (const calibration::BoardKeySpot& spot : BoardKeySpots()) {
        EXPECT_EQ(teaching.Run().CurrentTarget(), spot.key);
        Touch(teaching, camera.See(KeySpotOnScreen(spot.key)), now);
    }
    EXPECT_EQ(teaching.Run().CurrentState(), TargetRun::State::Complete);
    return teaching.Result();
}

TEST(BoardKeySpots, KeysAreTaughtInKeyOrderWithWhatEachDoes)
{
    const auto& spots = BoardKeySpots();
    ASSERT_EQ(spots.size(), 14u);
    EXPECT_EQ(spots[12].role, KeyRole::Calibration);
    for (int key = 4; key <= 9; ++key) {
        EXPECT_EQ(spots[static_cast<std::size_t>(key)].role, KeyRole::CountedKey);
        EXPECT_EQ(spots[static_cast<std::size_t>(key)].code, key - 3);
    }
    EXPECT_EQ(spots[0].role, KeyRole::Command);
    EXPECT_EQ(spots[0].code, 25);
    EXPECT_EQ(spots[13].code, 33);
    EXPECT_EQ(calibration::KeyPointIndex(1, 2), 16);
}

TEST(BoardKeySpots, TaughtKeysAreWrittenSoThatTheDriverHitsEach)
{
    for (const bool upsideDown : {false, true}) {
        const TestCamera camera(upsideDown);
        const TargetLayout layout({3, 3}, kBoard);
        calibration::MeasuredGrid grid{layout.Grid(), {}};
        for (int t = 0; t < layout.Count(); ++t) grid.camera.push_back(camera.See(layout.ScreenPoint(t)));
        std::uint32_t now = 1000;
        const calibration::TaughtKeys keys = Teach(camera, 1, now);

        const calibration::WritePlan plan = calibration::PlanSettingsWrite("", {grid, keys}, kBoard);
        ASSERT_TRUE(plan.Sound());
        common::TextProfile settings(plan.newText);
        EXPECT_EQ(settings.ReadInt("hardware", "USE_KEY", 0), 1);
        EXPECT_EQ(settings.ReadString("Button", "Rpt3.x", "untouched"), "untouched") << "copy 0 stays";
        // Written turned for a camera hung upside down, as the driver maps them.
        const Point written{std::stod(settings.ReadString("Button", "Rpt14.x", "")),
                            std::stod(settings.ReadString("Button", "Rpt14.y", ""))};
        const Point expected = upsideDown ? driver::TurnedUpsideDown(keys.camera[0]) : keys.camera[0];
        EXPECT_NEAR(written.x, expected.x, 0.005);
        EXPECT_NEAR(written.y, expected.y, 0.005);

        driver::CCalibration model;
        model.Load(settings, driver::BoardScreen::PrimaryOnly(kBoard));
        const driver::CalibrationModelView view(model);
        for (int key = 0; key < calibration::kBoardKeys; ++key) {
            Point press = camera.See(KeySpotOnScreen(key));
            if (model.Upright() == 0) press = driver::TurnedUpsideDown(press);
            model.MapPoint(press);
            EXPECT_EQ(driver::BoardKeyAt(press, view), key) << "upside down " << upsideDown;
        }
    }
}

TEST(BoardKeySpots, ASecondTouchOfATaughtKeyIsRefused)
{
    const TestCamera camera;
    std::uint32_t now = 1000;
    KeyTeaching teaching(0, now);
    Touch(teaching, camera.See(KeySpotOnScreen(0)), now);
    const TargetRun::Step again = Touch(teaching, camera.See(KeySpotOnScreen(0)), now);
    EXPECT_EQ(again.refusal, calibration::Refusal::OnEarlierSpot);
    EXPECT_EQ(teaching.Run().CurrentTarget(), 1);
}

} // namespace
