// Nothing bad is written: the checks a grid passes before its text exists.
#include "CalibrationTestKit.h"
#include "FakeFiles.h"

#include "calibration/WritePlan.h"

#include "common/TextProfile.h"

#include <gtest/gtest.h>

namespace {

using calibration::GridFault;
using calibration::MeasuredGrid;
using calibration::PlanSettingsWrite;
using calibration::TargetLayout;
using calibration::WritePlan;
using calibration_testing::kBoard;
using calibration_testing::TestCamera;
using driver::Point;

const char kOldText[] = "; settings\r\n[coordinate]\r\nwdot=3\r\nhdot=3\r\n[PENVARO]\r\nBOX1LASTCHOOSE=7\r\n";

MeasuredGrid SeenGrid(const TargetLayout& layout, const TestCamera& camera)
{
    MeasuredGrid grid{layout.Grid(), {}};
    for (int t = 0; t < layout.Count(); ++t) grid.camera.push_back(camera.See(layout.ScreenPoint(t)));
    return grid;
}

WritePlan Plan(const MeasuredGrid& grid)
{
    return PlanSettingsWrite(kOldText, {grid, std::nullopt}, kBoard);
}

std::vector<GridFault> Faults(const WritePlan& plan)
{
    std::vector<GridFault> faults;
    for (const auto& f : plan.findings) faults.push_back(f.fault);
    return faults;
}

TEST(WritePlan, ASoundGridGivesTheTextTheDriverLoadsAndMapsOntoItsTargets)
{
    for (const bool upsideDown : {false, true}) {
        const TargetLayout layout({5, 4}, kBoard);
        const TestCamera camera(upsideDown, -0.1);
        const WritePlan plan = Plan(SeenGrid(layout, camera));
        ASSERT_TRUE(plan.Sound()) << calibration::Name(plan.findings.front().fault);
        ASSERT_TRUE(plan.model);
        EXPECT_EQ(plan.model->Upright(), upsideDown ? 0 : 1);

        // The text as the driver will read it from the file.
        common::TextProfile settings(plan.newText);
        driver::CCalibration reloaded;
        ASSERT_TRUE(reloaded.Load(settings, driver::BoardScreen::PrimaryOnly(kBoard)));
        EXPECT_EQ(settings.ReadInt("PENVARO", "BOX1LASTCHOOSE", 0), 7);
        // A contact between the targets lands between them too.
        Point between = camera.See(layout.ScreenPointAt(1.5, 1.5));
        if (upsideDown) between = driver::TurnedUpsideDown(between);
        ASSERT_TRUE(reloaded.MapPoint(between));
        EXPECT_NEAR(between.x, layout.ScreenPointAt(1.5, 1.5).x, 3);
        EXPECT_NEAR(between.y, layout.ScreenPointAt(1.5, 1.5).y, 3);
    }
}

TEST(WritePlan, AGridWithPointsFromTheWrongSpotsNamesThemAndWritesNothing)
{
    const TargetLayout layout({4, 4}, kBoard);
    const MeasuredGrid good = SeenGrid(layout, TestCamera(false, -0.1));
    const int a = layout.TargetAt({1, 1}), b = layout.TargetAt({2, 1});
    struct Case {
        const char* what;
        MeasuredGrid grid;
        std::vector<int> retake;
    };
    MeasuredGrid swapped = good; // two targets touched in each other's place
    std::swap(swapped.camera[static_cast<std::size_t>(a)], swapped.camera[static_cast<std::size_t>(b)]);
    MeasuredGrid stray = good; // a point taken most of the way to the next row
    stray.camera[static_cast<std::size_t>(a)].y +=
        0.8 * (good.camera[static_cast<std::size_t>(a + 1)].y - good.camera[static_cast<std::size_t>(a)].y);
    MeasuredGrid outside = good;
    outside.camera[0] = {-5, 100};
    // On a dense grid, a corner taken from beside its spot and a hand's
    // touch in the middle.
    const TargetLayout dense({10, 10}, kBoard);
    MeasuredGrid two = SeenGrid(dense, TestCamera(false, -0.1));
    const int corner = dense.TargetAt({9, 0}), middle = dense.TargetAt({5, 5});
    two.camera[static_cast<std::size_t>(corner)].x -= 120;
    two.camera[static_cast<std::size_t>(middle)] = {2000, 2300};
    const Case cases[] = {
        {"swapped", swapped, {a, b}},
        {"stray", stray, {a}},
        {"outside the camera's picture", outside, {0}},
        {"two strays of a dense grid", two, {middle, corner}},
    };
    for (const Case& c : cases) {
        const WritePlan plan = Plan(c.grid);
        EXPECT_FALSE(plan.Sound()) << c.what;
        EXPECT_EQ(plan.RetakeTargets(), c.retake) << c.what;
        EXPECT_TRUE(plan.newText.empty()) << c.what;
        EXPECT_FALSE(plan.model) << c.what;

        calibration_testing::FakeFiles files;
        files.files["WBInit.ini"] = kOldText;
        EXPECT_EQ(calibration::WriteSettings(files, "WBInit.ini", plan), calibration::WriteOutcome::NotSound);
        EXPECT_TRUE(files.calls.empty()) << c.what;
    }
}

TEST(WritePlan, AFoldedCellIsNamedByItsCorners)
{
    // A 2 x 2 grid has no neighbours to single a point out: its one cell,
    // folded by a swap of its lower corners, is named whole.
    const TargetLayout layout({2, 2}, kBoard);
    MeasuredGrid folded = SeenGrid(layout, TestCamera());
    std::swap(folded.camera[1], folded.camera[3]);
    const WritePlan plan = Plan(folded);
    EXPECT_EQ(Faults(plan), std::vector<GridFault>{GridFault::FoldedCell});
    EXPECT_EQ(plan.RetakeTargets(), (std::vector<int>{0, 1, 2, 3}));
}

// A camera turned a quarter way round its axis can give a cell whose
// diagonal has no horizontal extent; the driver refuses such a grid, so
// the program must not write it, however regular it is.
TEST(WritePlan, WhatTheDriversLoadRefusesIsNotWritten)
{
    const TargetLayout layout({4, 4}, kBoard);
    MeasuredGrid turned{layout.Grid(), {}};
    for (int t = 0; t < layout.Count(); ++t) {
        const calibration::GridPoint g = layout.GridPointOf(t);
        turned.camera.push_back({1600 + 300.0 * (g.column - g.row), 400 + 200.0 * g.column + 250.0 * g.row});
    }
    const WritePlan plan = Plan(turned);
    EXPECT_EQ(Faults(plan), std::vector<GridFault>{GridFault::RefusedByDriver});
    // The cells of columns 1 to 2 (those whose diagonals the border push
    // leaves alone in x): every target of the two middle columns.
    std::vector<int> middleColumns;
    for (int t = layout.TargetAt({1, 0}); t <= layout.TargetAt({2, 3}); ++t) middleColumns.push_back(t);
    EXPECT_EQ(plan.RetakeTargets(), middleColumns);
    EXPECT_TRUE(plan.newText.empty());
}

} // namespace
