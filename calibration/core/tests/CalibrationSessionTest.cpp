// Measuring the grid: the run of targets, the judging of each touch, undo,
// cancel and the minute without a touch.
#include "CalibrationTestKit.h"

#include "calibration/CalibrationSession.h"

#include <gtest/gtest.h>

namespace {

using calibration::CalibrationSession;
using calibration::Refusal;
using calibration::TargetLayout;
using calibration::TargetRun;
using calibration_testing::kBoard;
using calibration_testing::TestCamera;
using calibration_testing::Touch;
using Happening = TargetRun::Happening;
using State = TargetRun::State;

// Touches the current target where `camera` sees it until `count` targets are taken.
void TouchTargets(CalibrationSession& session, const TestCamera& camera, int count, std::uint32_t& now)
{
    while (session.Run().TakenCount() < count) {
        const int target = session.Run().CurrentTarget();
        ASSERT_GE(target, 0);
        const TargetRun::Step step = Touch(session, camera.See(session.Layout().ScreenPoint(target)), now);
        ASSERT_TRUE(step.what == Happening::Taken || step.what == Happening::Completed)
            << "target " << target << ": " << calibration::Name(step.refusal);
    }
}

// The settings file holds the camera's own points; the driver turns those
// of an upside-down camera itself. The targets' order is the screen's.
TEST(CalibrationSession, MeasuresTheTargetsInOrderAndKeepsTheCamerasOwnPoints)
{
    for (const bool upsideDown : {false, true}) {
        const TestCamera camera(upsideDown, -0.1);
        std::uint32_t now = 1000;
        CalibrationSession session(TargetLayout({4, 3}, kBoard), now);
        for (int target = 0; target < 12; ++target) {
            ASSERT_EQ(session.Run().CurrentTarget(), target);
            const TargetRun::Step step = Touch(session, camera.See(session.Layout().ScreenPoint(target)), now);
            EXPECT_EQ(step.what, target < 11 ? Happening::Taken : Happening::Completed) << target;
            EXPECT_EQ(step.target, target);
        }
        EXPECT_EQ(session.Run().CurrentState(), State::Complete);
        const calibration::MeasuredGrid grid = session.Result();
        for (int target = 0; target < 12; ++target) {
            const driver::Point seen = camera.See(session.Layout().ScreenPoint(target));
            EXPECT_NEAR(grid.camera[static_cast<std::size_t>(target)].x, seen.x, 1) << target;
            EXPECT_NEAR(grid.camera[static_cast<std::size_t>(target)].y, seen.y, 1) << target;
        }
    }
}

TEST(CalibrationSession, ATouchOfAnotherTargetIsRefusedAndTheTargetStays)
{
    const TestCamera camera(false, -0.1);
    std::uint32_t now = 1000;
    CalibrationSession session(TargetLayout({4, 4}, kBoard), now);
    const TargetLayout& layout = session.Layout();
    // (0, 1) right after (0, 0): nothing predicts it yet, but a second touch
    // of the spot just taken is no new target.
    TouchTargets(session, camera, 1, now);
    EXPECT_EQ(Touch(session, camera.See(layout.ScreenPoint(0)), now).refusal, Refusal::OnEarlierSpot);

    // Once the points taken predict the target, each of its neighbours is
    // too far from there, and so is a hand resting on the board.
    TouchTargets(session, camera, 6, now);
    const int target = session.Run().CurrentTarget();
    const calibration::GridPoint at = layout.GridPointOf(target);
    ASSERT_EQ(target, layout.TargetAt({1, 2}));
    for (const calibration::GridPoint wrong :
         {calibration::GridPoint{at.column + 1, at.row}, {at.column, at.row + 1}, {at.column + 1, at.row + 1}}) {
        const TargetRun::Step step = Touch(session, camera.See(layout.ScreenPoint(layout.TargetAt(wrong))), now);
        EXPECT_EQ(step.what, Happening::Refused);
        EXPECT_EQ(step.refusal, Refusal::FarFromTarget);
        EXPECT_EQ(session.Run().CurrentTarget(), target);
    }
    EXPECT_EQ(Touch(session, {3000, 2300}, now).refusal, Refusal::FarFromTarget) << "a hand low on the board";
    EXPECT_EQ(Touch(session, camera.See(layout.ScreenPoint(target)), now).what, Happening::Taken);
}

TEST(CalibrationSession, UndoTakesTheLastPointBackAndRetakeTheNamedOnes)
{
    const TestCamera camera;
    std::uint32_t now = 1000;
    CalibrationSession session(TargetLayout({2, 2}, kBoard), now);
    EXPECT_FALSE(session.Undo(now)) << "nothing taken yet";
    TouchTargets(session, camera, 3, now);
    ASSERT_TRUE(session.Undo(now));
    EXPECT_EQ(session.Run().CurrentTarget(), 2);
    EXPECT_EQ(session.Run().TakenCount(), 2);
    EXPECT_FALSE(session.Run().TakenPoints()[2]);

    TouchTargets(session, camera, 4, now);
    ASSERT_EQ(session.Run().CurrentState(), State::Complete);
    ASSERT_TRUE(session.Undo(now)) << "the last point of a complete grid";
    EXPECT_EQ(session.Run().CurrentState(), State::Measuring);
    EXPECT_EQ(session.Run().CurrentTarget(), 3);
    TouchTargets(session, camera, 4, now);

    session.Retake({3, 1}, now);
    EXPECT_EQ(session.Run().CurrentState(), State::Measuring);
    EXPECT_EQ(session.Run().CurrentTarget(), 1) << "in target order";
    TouchTargets(session, camera, 3, now);
    EXPECT_EQ(session.Run().CurrentTarget(), 3);
    TouchTargets(session, camera, 4, now);
    EXPECT_EQ(session.Run().CurrentState(), State::Complete);
}

TEST(CalibrationSession, AMinuteWithoutATouchCancels)
{
    const TestCamera camera;
    std::uint32_t now = 1000;
    CalibrationSession session(TargetLayout({3, 3}, kBoard), now);
    EXPECT_EQ(session.OnTick(now + TargetRun::kIdleCancelMs - 1).what, Happening::Nothing);
    TouchTargets(session, camera, 1, now); // a touch starts the minute over
    const std::uint32_t touched = now - 1000;
    EXPECT_EQ(session.OnTick(touched + TargetRun::kIdleCancelMs - 1).what, Happening::Nothing);
    const TargetRun::Step step = session.OnTick(touched + TargetRun::kIdleCancelMs);
    EXPECT_EQ(step.what, Happening::TimedOut);
    EXPECT_EQ(step.target, 1);
    EXPECT_EQ(session.Run().CurrentState(), State::Cancelled);
    EXPECT_EQ(session.Run().CurrentTarget(), -1);
    EXPECT_EQ(Touch(session, camera.See(session.Layout().ScreenPoint(1)), now).what, Happening::Nothing);
    EXPECT_FALSE(session.Undo(now));

    CalibrationSession escaped(TargetLayout({3, 3}, kBoard), now);
    escaped.Cancel();
    EXPECT_EQ(escaped.Run().CurrentState(), State::Cancelled);
}

} // namespace
