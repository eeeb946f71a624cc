// The automatic calibration's measurement against a filmed board: every
// target found through a camera and a window that lag, and each way a
// camera can fail it ended within its bound.
#include "FilmedBoard.h"

#include "calibration/CameraMeasurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

using calibration::CameraMeasurement;
using calibration::CameraPicture;
using calibration::CameraProblem;
using calibration::TargetLayout;
using calibration_testing::CameraRig;
using calibration_testing::FilmedBoard;
using calibration_testing::FilmedLight;
using calibration_testing::kBoard;
using calibration_testing::TestCamera;
using driver::Point;
using State = CameraMeasurement::State;

class Measuring : public ::testing::Test {
protected:
    // Runs the measurement with the rig as set up; `lastShownMs_` is when
    // the window last painted, `endMs_` when the measurement ended.
    CameraMeasurement& Measure(FilmedBoard& board, bool framesCome = true)
    {
        measurement_.emplace(layout_, startMs_);
        rig_.patternNumber = [this] { return measurement_->PatternNumber(); };
        rig_.pattern = [this] { return measurement_->Pattern(); };
        rig_.shown = [this](unsigned n, std::uint32_t now) {
            lastShownMs_ = now;
            measurement_->OnPatternShown(n, now);
        };
        rig_.frame = [this, framesCome](const CameraPicture& picture, std::uint32_t now) {
            if (framesCome) measurement_->OnFrame(picture, now);
        };
        rig_.tick = [this](std::uint32_t now) { measurement_->OnTick(now); };
        rig_.running = [this] { return measurement_->Current() == State::Measuring; };
        endMs_ = rig_.Run(board, startMs_);
        return *measurement_;
    }

    // The problem came within the settle bound of the pattern it concerns.
    void ExpectFailedWithinBound(CameraProblem problem)
    {
        ASSERT_EQ(measurement_->Current(), State::Failed);
        EXPECT_EQ(measurement_->Problem(), problem) << calibration::Name(measurement_->Problem());
        EXPECT_LE(endMs_ - lastShownMs_, CameraMeasurement::kSettleMs + 2 * CameraRig::kFrameMs);
        EXPECT_EQ(measurement_->ElapsedMs(), endMs_ - startMs_);
    }

    TargetLayout layout_{calibration::kDefaultGrid, kBoard};
    TestCamera camera_{false, -0.1};
    CameraRig rig_;
    std::optional<CameraMeasurement> measurement_;
    std::uint32_t startMs_ = 3000;
    std::uint32_t lastShownMs_ = 0;
    std::uint32_t endMs_ = 0;
};

// The window paints each pattern four frames after it is asked for, and the
// camera shows the screen two frames late, half exposed at each change:
// frames before the paint (still the desktop, as still as a dark picture)
// and half-changed frames would each put targets elsewhere.
TEST_F(Measuring, FindsEveryTargetThroughALaggingCameraAndASlowWindow)
{
    // A camera delivering twice the size, on a smaller grid to keep it short.
    for (const auto& size : {std::pair{320, 240}, std::pair{640, 480}}) {
        SCOPED_TRACE(size.first);
        layout_ = TargetLayout(size.first == 320 ? calibration::kDefaultGrid : calibration::GridSize{3, 3}, kBoard);
        FilmedBoard board(camera_, size.first, size.second);
        rig_.lagFrames = 2;
        rig_.paintFrames = 4;
        const CameraMeasurement& m = Measure(board);
        ASSERT_EQ(m.Current(), State::Complete) << calibration::Name(m.Problem()) << " at " << m.ProblemTarget();
        EXPECT_EQ(m.TargetsDone(), layout_.Count());
        const calibration::MeasuredGrid grid = m.Result();
        ASSERT_EQ(grid.camera.size(), static_cast<std::size_t>(layout_.Count()));
        double worst = 0;
        for (int t = 0; t < layout_.Count(); ++t) {
            const Point truth = camera_.See(layout_.ScreenPoint(t));
            const Point found = grid.camera[static_cast<std::size_t>(t)];
            worst = std::max(worst, std::hypot(found.x - truth.x, found.y - truth.y));
        }
        EXPECT_LT(worst, 1.5) << "camera units";
        if (layout_.Count() == 25) {
            EXPECT_LT(m.ElapsedMs(), 12000u) << "at 30 frames a second";
        }
    }
}

TEST_F(Measuring, EachCameraProblemEndsTheRunWithinItsBound)
{
    {
        SCOPED_TRACE("a covered lens: black");
        FilmedLight black;
        black.room = black.texture = black.projectorBlack = black.disc = 0;
        FilmedBoard board(camera_, 320, 240, black);
        Measure(board);
        ExpectFailedWithinBound(CameraProblem::TooDark);
        EXPECT_EQ(measurement_->ProblemTarget(), 0);
    }
    {
        SCOPED_TRACE("the sun in the lens: white");
        FilmedLight glare;
        glare.room = 300;
        FilmedBoard board(camera_, 320, 240, glare);
        Measure(board);
        ExpectFailedWithinBound(CameraProblem::TooBright);
    }
    {
        SCOPED_TRACE("an infrared filter: the room, but not the screen");
        FilmedLight infrared;
        infrared.projectorBlack = infrared.disc = 0;
        FilmedBoard board(camera_, 320, 240, infrared);
        Measure(board);
        ExpectFailedWithinBound(CameraProblem::DoesNotFollow);
    }
    {
        SCOPED_TRACE("a still picture");
        FilmedBoard board(camera_);
        const CameraPicture still = board.Frame(board.DesktopLight());
        rig_.fixedPicture = [still] { return still; };
        Measure(board);
        ExpectFailedWithinBound(CameraProblem::DoesNotFollow);
        rig_.fixedPicture = nullptr;
    }
    {
        SCOPED_TRACE("one target in a glare");
        FilmedBoard board(camera_);
        rig_.hidden = {7};
        Measure(board);
        ExpectFailedWithinBound(CameraProblem::TargetNotFound);
        EXPECT_EQ(measurement_->ProblemTarget(), 7);
        EXPECT_EQ(measurement_->TargetsDone(), 7);
        rig_.hidden.clear();
    }
    {
        SCOPED_TRACE("no frames");
        FilmedBoard board(camera_);
        Measure(board, false);
        ASSERT_EQ(measurement_->Current(), State::Failed);
        EXPECT_EQ(measurement_->Problem(), CameraProblem::NoPictures);
        EXPECT_GE(endMs_ - startMs_, CameraMeasurement::kNoPicturesMs);
        EXPECT_LE(endMs_ - startMs_, CameraMeasurement::kNoPicturesMs + CameraRig::kFrameMs);
    }
}

} // namespace
