// The accuracy check: where its places are, and what decides its verdict.
#include "CalibrationTestKit.h"

#include "calibration/AccuracyCheck.h"
#include "calibration/WritePlan.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using calibration::AccuracyCheck;
using calibration::GridSize;
using calibration::MeasuredGrid;
using calibration::TargetLayout;
using calibration_testing::kBoard;
using calibration_testing::TestCamera;
using calibration_testing::Touch;
using driver::Point;
using Verdict = AccuracyCheck::Verdict;

bool IsWhole(double v)
{
    return v == std::floor(v);
}

TEST(AccuracyCheck, ThePlacesLieWithinTheGridWhereNothingWasMeasured)
{
    for (int columns = 2; columns <= 10; ++columns) {
        for (int rows = 2; rows <= 10; ++rows) {
            const auto places = calibration::CheckGridPlaces({columns, rows});
            for (std::size_t p = 0; p < places.size(); ++p) {
                const Point at = places[p];
                EXPECT_FALSE(IsWhole(at.x) && IsWhole(at.y)) << columns << "x" << rows << " place " << p;
                EXPECT_TRUE(at.x > 0 && at.x < columns - 1 && at.y > 0 && at.y < rows - 1)
                    << columns << "x" << rows << " place " << p;
                for (std::size_t q = 0; q < p; ++q)
                    EXPECT_FALSE(places[q].x == at.x && places[q].y == at.y) << columns << "x" << rows;
            }
        }
    }
    // The board's centre first, where the grid has no point there.
    const TargetLayout even({4, 4}, kBoard);
    const Point centre = calibration::CheckGridPlaces({4, 4})[0];
    EXPECT_DOUBLE_EQ(even.ScreenPointAt(centre.x, centre.y).x, 512);
    EXPECT_DOUBLE_EQ(even.ScreenPointAt(centre.x, centre.y).y, 384);
    EXPECT_DOUBLE_EQ(calibration::CheckGridPlaces({3, 3})[0].x, 1.5) << "beside the measured centre";
}

class AccuracyCheckRun : public ::testing::Test {
protected:
    // A calibration of `camera` as the program makes it, and its check.
    AccuracyCheck Calibrated(const TestCamera& camera)
    {
        MeasuredGrid grid{layout_.Grid(), {}};
        for (int t = 0; t < layout_.Count(); ++t) grid.camera.push_back(camera.See(layout_.ScreenPoint(t)));
        const calibration::WritePlan plan = calibration::PlanSettingsWrite("", {grid, std::nullopt}, kBoard);
        EXPECT_TRUE(plan.Sound());
        return AccuracyCheck(layout_, grid, plan.model, now_);
    }

    // Touches each place, `offsetPx` off to the right at place `off`.
    void TouchPlaces(AccuracyCheck& check, const TestCamera& camera, int off = -1, double offsetPx = 0)
    {
        for (int place = 0; place < calibration::kCheckPlaces; ++place) {
            Point screen = check.ScreenPlace(place);
            if (place == off) screen.x += offsetPx;
            Touch(check, camera.See(screen), now_);
        }
    }

    TargetLayout layout_{{5, 5}, kBoard};
    std::uint32_t now_ = 1000;
};

TEST_F(AccuracyCheckRun, AGoodCalibrationPassesWhicheverWayTheCameraHangs)
{
    for (const bool upsideDown : {false, true}) {
        const TestCamera camera(upsideDown);
        AccuracyCheck check = Calibrated(camera);
        EXPECT_EQ(check.Result(), Verdict::Pending);
        TouchPlaces(check, camera);
        EXPECT_EQ(check.Result(), Verdict::Good);
        EXPECT_LT(check.WorstErrorPx(), 1) << "a perspective alone is mapped exactly";
    }
}

TEST_F(AccuracyCheckRun, OnePlaceBeyondTheThresholdAsksToRecalibrate)
{
    const TestCamera camera;
    const double off = AccuracyCheck::kRecalibrateAbovePx + 3;
    AccuracyCheck check = Calibrated(camera);
    TouchPlaces(check, camera, 2, off);
    EXPECT_EQ(check.Result(), Verdict::Recalibrate);
    EXPECT_NEAR(*check.ErrorPx(2), off, 1);
    EXPECT_NEAR(check.WorstErrorPx(), off, 1);
    EXPECT_LT(*check.ErrorPx(0), 1);

    AccuracyCheck within = Calibrated(camera);
    TouchPlaces(within, camera, 2, AccuracyCheck::kRecalibrateAbovePx - 1.5);
    EXPECT_EQ(within.Result(), Verdict::Good);
}

} // namespace
