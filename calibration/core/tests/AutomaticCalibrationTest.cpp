// The automatic calibration in the program's run: the choice, the camera's
// measurement written through the same plan as touches, the one touch that
// confirms it, and the file put back whole when that touch says no.
#include "CalibrationTestKit.h"
#include "FakeFiles.h"
#include "FilmedBoard.h"

#include "calibration/CalibrationFlow.h"
#include "calibration/CalibrationInText.h"
#include "calibration/FlowLogLines.h"
#include "calibration/FlowScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using calibration::CalibrationFlow;
using calibration::CameraProblem;
using calibration::CancelCause;
using calibration::FlowFailure;
using calibration::FlowNotice;
using calibration::FlowStage;
using calibration::ProgramOptions;
using calibration::WriteOutcome;
using calibration_testing::CameraRig;
using calibration_testing::FakeFiles;
using calibration_testing::FilmedBoard;
using calibration_testing::FilmedLight;
using calibration_testing::kBoard;
using calibration_testing::TestCamera;
using driver::Point;

const std::string kSettingsPath = "C:\\Board\\WBInit.ini";
const char kSettingsBefore[] = "; the board's settings\r\n[coordinate]\r\nwdot=3\r\nhdot=3\r\n"
                               "[hardware]\r\nUSE_KEY=0\r\n[PENVARO]\r\nBOX1LASTCHOOSE=7\r\n";

class Automatic : public ::testing::Test {
protected:
    Automatic() { files_.files[kSettingsPath] = kSettingsBefore; }

    CalibrationFlow& Start(const ProgramOptions& options = {}, bool cameraOffered = true)
    {
        flow_.emplace(options, kBoard, files_, kSettingsPath, now_, cameraOffered);
        return *flow_;
    }

    // The window films the board for as long as the flow is in Camera.
    void Film(FilmedBoard& board)
    {
        CameraRig rig;
        rig.patternNumber = [this] { return flow_->PatternNumber(); };
        rig.pattern = [this] { return flow_->CurrentPattern(); };
        rig.shown = [this](unsigned n, std::uint32_t now) { flow_->OnPatternShown(n, now); };
        rig.frame = [this](const calibration::CameraPicture& p, std::uint32_t now) { flow_->OnCameraFrame(p, now); };
        rig.tick = [this](std::uint32_t now) { flow_->OnTick(now); };
        rig.running = [this] { return flow_->Stage() == FlowStage::Camera; };
        now_ = rig.Run(board, now_) + 500;
    }

    // Measured by the camera and saved: the flow waits for its confirming touch.
    void MeasureAndSave()
    {
        Start();
        ASSERT_EQ(flow_->Stage(), FlowStage::Choice);
        flow_->ChooseAutomatic(now_);
        ASSERT_EQ(flow_->Stage(), FlowStage::Camera);
        FilmedBoard board(camera_);
        Film(board);
        ASSERT_EQ(flow_->Stage(), FlowStage::Saving) << calibration::Name(flow_->CameraFailure());
        EXPECT_EQ(Writes(), 0) << "nothing is written before Save";
        ASSERT_EQ(flow_->Save(now_), WriteOutcome::Written);
        ASSERT_EQ(flow_->Stage(), FlowStage::Check);
    }

    // The teacher touches the confirming cross `offsetPx` to its right.
    void TouchConfirm(double offsetPx)
    {
        const Point place = *flow_->CurrentTarget().screen;
        const auto samples = calibration_testing::RestingTouch(camera_.See({place.x + offsetPx, place.y}), now_);
        for (const auto& sample : samples) flow_->OnSample(sample);
        now_ = samples.back().timeMs + 1000;
        flow_->OnTick(now_);
    }

    int Writes() const
    {
        return static_cast<int>(std::count_if(files_.calls.begin(), files_.calls.end(),
                                              [](const std::string& call) { return call.rfind("write ", 0) == 0; }));
    }
    std::string File() { return files_.files[kSettingsPath]; }

    TestCamera camera_{false, -0.1};
    FakeFiles files_;
    std::uint32_t now_ = 5000;
    std::optional<CalibrationFlow> flow_;
    calibration::KalmenoTexts english_;
};

TEST_F(Automatic, TheCameraMeasuresTheGridAndOneTouchConfirmsIt)
{
    ASSERT_NO_FATAL_FAILURE(MeasureAndSave());
    EXPECT_TRUE(flow_->Automatic());
    ASSERT_TRUE(flow_->CameraMeasuredMs());
    EXPECT_LT(*flow_->CameraMeasuredMs(), 20000u);
    const calibration::CalibrationInText written = calibration::ReadCalibrationInText(File(), kBoard);
    ASSERT_TRUE(written.Usable());
    EXPECT_NE(File().find("BOX1LASTCHOOSE=7"), std::string::npos) << "the other settings stay";
    EXPECT_EQ(flow_->CurrentTarget().count, 1);
    EXPECT_EQ(DescribeScreen(*flow_, english_, false).hint,
              "Touch the cross once to confirm the automatic calibration.");
    EXPECT_EQ(calibration::CameraLine(*flow_).rfind("Camera measurement: 25 of 25 targets measured in ", 0), 0u)
        << calibration::CameraLine(*flow_);

    ASSERT_NO_FATAL_FAILURE(TouchConfirm(0));
    EXPECT_EQ(flow_->Stage(), FlowStage::Done);
    EXPECT_EQ(flow_->Verdict(), calibration::AccuracyCheck::Verdict::Good);
    ASSERT_EQ(flow_->CheckErrors().size(), 1u);
    EXPECT_LT(flow_->CheckErrors()[0].value_or(99), 3);
    EXPECT_EQ(Writes(), 1);
    EXPECT_NE(calibration::CheckLine(*flow_).find(": Good."), std::string::npos) << calibration::CheckLine(*flow_);
}

// Touched where the automatic grid is 20 px off (within reach of the
// cross, but too far to trust), or a hand's breadth away (refused as far):
// either way the file is back byte for byte and a touch run is offered.
TEST_F(Automatic, AnUntrustedResultPutsTheFileBackWholeAndOffersTouchCalibration)
{
    ASSERT_NO_FATAL_FAILURE(MeasureAndSave());
    const CalibrationFlow saved = *flow_;
    const std::string written = File();
    ASSERT_NE(written, kSettingsBefore);
    for (const double offsetPx : {20.0, 200.0}) {
        SCOPED_TRACE(offsetPx);
        flow_.emplace(saved);
        files_.files[kSettingsPath] = written;
        ASSERT_NO_FATAL_FAILURE(TouchConfirm(offsetPx));

        ASSERT_EQ(flow_->Stage(), FlowStage::Untrusted);
        EXPECT_EQ(File(), kSettingsBefore);
        EXPECT_TRUE(flow_->Restored());
        EXPECT_FALSE(flow_->GridSaved());
        EXPECT_NEAR(flow_->UntrustedErrorPx().value_or(0), offsetPx, 3);
        EXPECT_EQ(DescribeScreen(*flow_, english_, false)
                      .title.rfind("The touch landed " + std::to_string(int(offsetPx) / 10), 0),
                  0u)
            << DescribeScreen(*flow_, english_, false).title;
        EXPECT_NE(calibration::CheckLine(*flow_).find("not trusted"), std::string::npos);

        flow_->ChooseTouch(now_);
        EXPECT_EQ(flow_->Stage(), FlowStage::Grid);
        EXPECT_FALSE(flow_->Automatic());
        EXPECT_TRUE(flow_->TakesRecords());
        EXPECT_EQ(flow_->CurrentTarget().count, 25);
        EXPECT_EQ(flow_->CurrentTarget().left, 25);
    }
}

TEST_F(Automatic, ACameraThatCannotSeeTheBoardWritesNothing)
{
    Start();
    flow_->ChooseAutomatic(now_);
    FilmedLight black;
    black.room = black.texture = black.projectorBlack = black.disc = 0;
    FilmedBoard board(camera_, 320, 240, black);
    Film(board);
    ASSERT_EQ(flow_->Stage(), FlowStage::Failed);
    EXPECT_EQ(flow_->Failure(), FlowFailure::CameraBlind);
    EXPECT_EQ(flow_->CameraFailure(), CameraProblem::TooDark);
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(File(), kSettingsBefore);
    const calibration::FlowScreen screen = DescribeScreen(*flow_, english_, false);
    EXPECT_EQ(screen.title.rfind("The camera's picture is too dark", 0), 0u) << screen.title;
    EXPECT_EQ(screen.outcome, "Nothing was changed.");
    EXPECT_NE(calibration::CameraLine(*flow_).find("failed: the picture too dark (target 1)"), std::string::npos)
        << calibration::CameraLine(*flow_);
}

TEST_F(Automatic, TheRunStartsWhereTheCommandLineAndTheCameraSay)
{
    ProgramOptions automatic, touch;
    automatic.automatic = true;
    touch.touchOnly = true;
    EXPECT_EQ(Start({}, false).Stage(), FlowStage::Grid);
    EXPECT_EQ(Start(touch, true).Stage(), FlowStage::Grid);
    EXPECT_EQ(Start(automatic, true).Stage(), FlowStage::Camera);
    EXPECT_FALSE(flow_->TakesRecords());
    Start(automatic, false);
    EXPECT_EQ(flow_->Stage(), FlowStage::Grid);
    EXPECT_EQ(flow_->Notice().kind, FlowNotice::Kind::CameraUnavailable);

    // Offered, chosen, and then the camera could not be borrowed.
    Start();
    EXPECT_EQ(DescribeScreen(*flow_, english_, false).hint,
              "Enter: calibrate automatically with the camera    T: calibrate by touch");
    flow_->ChooseAutomatic(now_);
    flow_->CameraUnavailable(now_);
    EXPECT_EQ(flow_->Stage(), FlowStage::Grid);
    EXPECT_EQ(DescribeScreen(*flow_, english_, false).notice,
              "The camera could not be used: calibrate by touch instead.");

    Start();
    flow_->ChooseTouch(now_);
    EXPECT_EQ(flow_->Stage(), FlowStage::Grid);

    // Stopped while the camera measures: nothing written, the camera given back.
    Start(automatic, true);
    flow_->Cancel(CancelCause::DisplayChanged, now_);
    EXPECT_EQ(flow_->Stage(), FlowStage::Cancelled);
    EXPECT_EQ(flow_->CancelledIn(), FlowStage::Camera);
    EXPECT_EQ(Writes(), 0);
}

} // namespace
