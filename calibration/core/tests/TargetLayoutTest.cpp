// Where the calibration shows its targets, and in which order.
#include "calibration/CalibrationSession.h"
#include "calibration/SettingsUpdate.h"
#include "calibration/TargetLayout.h"

#include "common/TextProfile.h"
#include "driver/Calibration.h"

#include <gtest/gtest.h>

namespace {

using calibration::GridSize;
using calibration::TargetLayout;

// A grid the driver loads soundly: regular, upright.
calibration::MeasuredGrid RegularGrid(GridSize grid)
{
    calibration::MeasuredGrid measured{grid, {}};
    for (int i = 0; i < grid.columns; ++i)
        for (int j = 0; j < grid.rows; ++j)
            measured.camera.push_back({300 + 2600.0 * i / (grid.columns - 1), 200 + 2000.0 * j / (grid.rows - 1)});
    return measured;
}

// The driver solves each cell for the screen points of its own grid; a
// target shown anywhere else would be calibrated for a place it is not.
TEST(TargetLayout, TargetsStandExactlyWhereTheDriversGridPutsThem)
{
    for (const GridSize grid : {GridSize{2, 2}, GridSize{3, 4}, GridSize{7, 2}, GridSize{10, 10}}) {
        for (const driver::ScreenSize screen : {driver::ScreenSize{1024, 768}, driver::ScreenSize{1366, 768}}) {
            const TargetLayout layout(grid, screen);
            common::TextProfile settings(calibration::WithGrid("", RegularGrid(grid)));
            driver::CCalibration model;
            ASSERT_TRUE(model.Load(settings, driver::BoardScreen::PrimaryOnly(screen)));
            for (int t = 0; t < layout.Count(); ++t) {
                const calibration::GridPoint g = layout.GridPointOf(t);
                EXPECT_EQ(layout.ScreenPoint(t).x, model.ScreenPoint(g.column, g.row).x) << t;
                EXPECT_EQ(layout.ScreenPoint(t).y, model.ScreenPoint(g.column, g.row).y) << t;
            }
        }
    }
}

TEST(TargetLayout, TargetsFollowTheFilesOrderAndCountFromOne)
{
    const TargetLayout layout({3, 2}, {1024, 768});
    ASSERT_EQ(layout.Count(), 6);
    const int expected[6][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}; // column by column
    for (int t = 0; t < 6; ++t) {
        EXPECT_EQ(layout.GridPointOf(t).column, expected[t][0]);
        EXPECT_EQ(layout.GridPointOf(t).row, expected[t][1]);
        EXPECT_EQ(layout.TargetAt(layout.GridPointOf(t)), t);
        EXPECT_EQ(TargetLayout::DisplayNumber(t), t + 1);
    }
    // The outer targets 1.5 % inside the edges, the rest evenly between.
    EXPECT_DOUBLE_EQ(layout.ScreenPoint(0).x, 15.36);
    EXPECT_DOUBLE_EQ(layout.ScreenPoint(2).x, 512);
    EXPECT_DOUBLE_EQ(layout.ScreenPoint(5).y, 756.48);
    // Halfway between two grid points.
    EXPECT_DOUBLE_EQ(layout.ScreenPointAt(0.5, 0.5).x, (15.36 + 512) / 2);

    const TargetLayout clamped({1, 12}, {1024, 768});
    EXPECT_EQ(clamped.Grid(), (GridSize{2, 10}));
    EXPECT_FALSE(calibration::IsValidGrid({1, 12}));
    EXPECT_TRUE(calibration::IsValidGrid(calibration::kDefaultGrid));
}

} // namespace
