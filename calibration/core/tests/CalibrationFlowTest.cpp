// The calibration program's run: the grid, its write, the board keys, the
// check, and every way a run ends, with the settings file in memory and the
// program's clock in the test's hand.
#include "CalibrationTestKit.h"
#include "FakeFiles.h"

#include "calibration/CalibrationFlow.h"
#include "calibration/CalibrationInText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using calibration::CalibrationFlow;
using calibration::CancelCause;
using calibration::FlowFailure;
using calibration::FlowNotice;
using calibration::FlowStage;
using calibration::ProgramOptions;
using calibration::WriteOutcome;
using calibration_testing::FakeFiles;
using calibration_testing::kBoard;
using calibration_testing::TestCamera;
using driver::Point;
using Verdict = calibration::AccuracyCheck::Verdict;

const std::string kSettingsPath = "C:\\Board\\WBInit.ini";
const char kSettingsBefore[] = "; the board's settings\r\n[coordinate]\r\nwdot=3\r\nhdot=3\r\n"
                        "[hardware]\r\nUSE_KEY=0\r\n[PENVARO]\r\nBOX1LASTCHOOSE=7\r\n";

// The printed keys down the board's left edge, outside the picture's grid.
Point PrintedKeyOnScreen(int key)
{
    return {6, 40 + 50.0 * key};
}

class Run : public ::testing::Test {
protected:
    Run() { files_.files[kSettingsPath] = kSettingsBefore; }

    CalibrationFlow& Start(const ProgramOptions& options = {})
    {
        flow_.emplace(options, kBoard, files_, kSettingsPath, now_);
        return *flow_;
    }

    // The teacher touches the current target where the camera sees it,
    // `offsetPx` off to the right, then walks to the next one.
    void TouchCurrent(double offsetPx = 0)
    {
        const calibration::FlowTarget target = flow_->CurrentTarget();
        ASSERT_GE(target.index, 0) << calibration::Name(flow_->Stage());
        const Point screen = target.screen ? *target.screen : PrintedKeyOnScreen(target.index);
        const auto samples = calibration_testing::RestingTouch(camera_.See({screen.x + offsetPx, screen.y}), now_);
        for (const calibration::PenSample& sample : samples) flow_->OnSample(sample);
        now_ = samples.back().timeMs + 1000;
        flow_->OnTick(now_);
    }

    // Touches every target of the stage it is in.
    void TouchStage()
    {
        const FlowStage stage = flow_->Stage();
        for (int guard = 0; flow_->Stage() == stage && guard < 200; ++guard) ASSERT_NO_FATAL_FAILURE(TouchCurrent());
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
};

TEST_F(Run, AFullRunWritesTheGridOnceAndThenChecksIt)
{
    Start();
    EXPECT_EQ(flow_->CurrentTarget().count, 25);
    ASSERT_NO_FATAL_FAILURE(TouchStage());
    ASSERT_EQ(flow_->Stage(), FlowStage::Saving);
    EXPECT_EQ(Writes(), 0) << "nothing is written before Save";

    EXPECT_EQ(flow_->Save(now_), WriteOutcome::Written);
    EXPECT_EQ(flow_->Stage(), FlowStage::Check);
    EXPECT_TRUE(flow_->GridSaved());
    EXPECT_LT(*flow_->WorstTargetErrorPx(), calibration::kMapsOntoTargetPx);
    const calibration::CalibrationInText written = calibration::ReadCalibrationInText(File(), kBoard);
    ASSERT_TRUE(written.Usable());
    EXPECT_EQ(written.grid.grid, calibration::kDefaultGrid);
    EXPECT_NE(File().find("BOX1LASTCHOOSE=7"), std::string::npos) << "the other settings stay";

    EXPECT_EQ(flow_->CurrentTarget().count, calibration::kCheckPlaces);
    ASSERT_NO_FATAL_FAILURE(TouchStage());
    EXPECT_EQ(flow_->Stage(), FlowStage::Done);
    EXPECT_EQ(flow_->Verdict(), Verdict::Good);
    const auto errors = flow_->CheckErrors();
    ASSERT_EQ(errors.size(), 5u);
    // Behind this lens a 5 x 5 grid misses by 3.3 px at worst anywhere.
    for (const auto& error : errors) EXPECT_LT(error.value_or(99), 3.5);
    EXPECT_EQ(Writes(), 1);

    // The result stays up until a key or a touch, but the lift of the last
    // touch is not one.
    const std::uint32_t shown = now_ - 1000;
    flow_->Dismiss(shown + CalibrationFlow::kDismissGuardMs / 2);
    EXPECT_FALSE(flow_->Finished());
    flow_->Dismiss(shown + CalibrationFlow::kDismissGuardMs);
    EXPECT_TRUE(flow_->Finished());
}

TEST_F(Run, APointThatStraysIsNamedAndTouchedAgainBeforeAnythingIsWritten)
{
    camera_ = TestCamera();
    Start();
    // The last target touched 0.4 grid steps off: near enough to count
    // as that target, too far from its neighbours to be written.
    const double step = flow_->Layout().ScreenPoint(24).x - flow_->Layout().ScreenPoint(19).x;
    while (flow_->CurrentTarget().index < 24) ASSERT_NO_FATAL_FAILURE(TouchCurrent());
    ASSERT_NO_FATAL_FAILURE(TouchCurrent(0.4 * step));

    EXPECT_EQ(flow_->Stage(), FlowStage::Grid);
    EXPECT_EQ(flow_->Notice().kind, FlowNotice::Kind::RetakeTargets);
    EXPECT_EQ(flow_->Notice().items, std::vector<int>{24});
    EXPECT_EQ(flow_->CurrentTarget().index, 24);
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(File(), kSettingsBefore);

    ASSERT_NO_FATAL_FAILURE(TouchCurrent());
    EXPECT_EQ(flow_->Stage(), FlowStage::Saving);
    EXPECT_EQ(flow_->Notice().kind, FlowNotice::Kind::None);
}

TEST_F(Run, BackspaceTakesTheLastPointBack)
{
    Start();
    for (int t = 0; t < 3; ++t) ASSERT_NO_FATAL_FAILURE(TouchCurrent());
    EXPECT_EQ(flow_->CurrentTarget().index, 3);
    flow_->Undo(now_);
    EXPECT_EQ(flow_->CurrentTarget().index, 2);
    EXPECT_EQ(flow_->CurrentTarget().left, 23);
    EXPECT_EQ(flow_->Notice().kind, FlowNotice::Kind::Undone);
    ASSERT_NO_FATAL_FAILURE(TouchCurrent());
    EXPECT_EQ(flow_->CurrentTarget().index, 3);
    EXPECT_EQ(flow_->Notice().kind, FlowNotice::Kind::None);
}

// Escape, the board's way out, a change of the display and a broken
// forwarding, in each stage: what was written before stays, and nothing
// more is written, whatever touches still come.
TEST_F(Run, ACancelInAnyStageWritesNothingMore)
{
    struct Case {
        FlowStage stage;
        CancelCause cause;
    };
    for (const Case c : {Case{FlowStage::Grid, CancelCause::Escape}, Case{FlowStage::Saving, CancelCause::CalibrationKey},
                         Case{FlowStage::BoardKeys, CancelCause::DisplayChanged},
                         Case{FlowStage::Check, CancelCause::PipeBroken}}) {
        SCOPED_TRACE(calibration::Name(c.stage));
        files_ = FakeFiles();
        files_.files[kSettingsPath] = kSettingsBefore;
        ProgramOptions options;
        options.teachKeys = c.stage == FlowStage::BoardKeys;
        Start(options);
        if (c.stage == FlowStage::Grid) {
            for (int t = 0; t < 5; ++t) ASSERT_NO_FATAL_FAILURE(TouchCurrent());
        } else {
            ASSERT_NO_FATAL_FAILURE(TouchStage());
            if (c.stage != FlowStage::Saving) flow_->Save(now_);
        }
        ASSERT_EQ(flow_->Stage(), c.stage);
        const std::string before = File();
        const int writes = Writes();

        flow_->Cancel(c.cause, now_);
        EXPECT_EQ(flow_->Stage(), FlowStage::Cancelled);
        EXPECT_EQ(flow_->CancelledIn(), c.stage);
        EXPECT_EQ(flow_->GridSaved(), c.stage == FlowStage::BoardKeys || c.stage == FlowStage::Check);
        EXPECT_FALSE(flow_->TakesRecords());
        EXPECT_EQ(flow_->Save(now_), WriteOutcome::NotSound);
        for (const auto& sample : calibration_testing::RestingTouch(camera_.See({500, 400}), now_))
            flow_->OnSample(sample);
        EXPECT_EQ(Writes(), writes);
        EXPECT_EQ(File(), before);
    }
}

TEST_F(Run, CancelledRunsWriteNothingAndTheTeachersWayOutClosesAtOnce)
{
    for (const CancelCause cause : {CancelCause::Escape, CancelCause::CalibrationKey, CancelCause::DisplayChanged}) {
        Start();
        for (int t = 0; t < 4; ++t) ASSERT_NO_FATAL_FAILURE(TouchCurrent());
        flow_->Cancel(cause, now_);
        EXPECT_EQ(flow_->Stage(), FlowStage::Cancelled);
        EXPECT_EQ(flow_->Finished(), cause != CancelCause::DisplayChanged) << calibration::Name(cause);
        EXPECT_EQ(flow_->CurrentTarget().index, -1);
    }
    // A minute without a touch.
    Start();
    ASSERT_NO_FATAL_FAILURE(TouchCurrent());
    flow_->OnTick(now_ + calibration::TargetRun::kIdleCancelMs);
    EXPECT_EQ(flow_->Stage(), FlowStage::Cancelled);
    EXPECT_EQ(flow_->Cause(), CancelCause::Idle);
    EXPECT_FALSE(flow_->Finished()) << "the teacher is told why";
    flow_->OnTick(now_ + calibration::TargetRun::kIdleCancelMs + CalibrationFlow::kShownMs);
    EXPECT_TRUE(flow_->Finished()) << "and the window closes by itself";
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(File(), kSettingsBefore);
}

TEST_F(Run, TheKeyStepComesOnlyWhereBoardKeysAreOnOrAskedFor)
{
    struct Case {
        const char* useKey;
        bool asked;
        bool keys;
    };
    for (const Case c : {Case{"0", false, false}, Case{"1", false, true}, Case{"0", true, true}}) {
        SCOPED_TRACE(std::string("USE_KEY=") + c.useKey + (c.asked ? " /keys" : ""));
        files_ = FakeFiles();
        std::string text = kSettingsBefore;
        text.replace(text.find("USE_KEY=0") + 8, 1, c.useKey);
        files_.files[kSettingsPath] = text;
        ProgramOptions options;
        options.teachKeys = c.asked;
        Start(options);
        EXPECT_EQ(flow_->TeachesKeys(), c.keys);
        ASSERT_NO_FATAL_FAILURE(TouchStage());
        flow_->Save(now_);
        ASSERT_EQ(flow_->Stage(), c.keys ? FlowStage::BoardKeys : FlowStage::Check);
        if (!c.keys) continue;

        // The driver closes the window when key 12 is touched: while that
        // key is taught, that is its touch, not a way out.
        while (flow_->CurrentTarget().index < code::kCalibrationKey) ASSERT_NO_FATAL_FAILURE(TouchCurrent());
        flow_->Cancel(CancelCause::CalibrationKey, now_);
        EXPECT_EQ(flow_->Stage(), FlowStage::BoardKeys);
        ASSERT_NO_FATAL_FAILURE(TouchStage());
        ASSERT_EQ(flow_->Stage(), FlowStage::Saving);
        EXPECT_TRUE(flow_->SavingKeys());
        EXPECT_EQ(flow_->Save(now_), WriteOutcome::Written);
        EXPECT_EQ(flow_->Stage(), FlowStage::Check);
        EXPECT_EQ(Writes(), 2);
        EXPECT_NE(File().find("Rpt13.x="), std::string::npos);
        EXPECT_NE(File().find("USE_KEY=1"), std::string::npos);
    }
}

TEST_F(Run, CheckingOnlyChecksTheFilesCalibrationAndWritesNothing)
{
    // A calibration made earlier; since then the camera was knocked 40
    // units to the side.
    Start();
    ASSERT_NO_FATAL_FAILURE(TouchStage());
    flow_->Save(now_);
    const std::string calibrated = File();
    files_.calls.clear();

    ProgramOptions checkOnly;
    checkOnly.checkOnly = true;
    for (const double knocked : {0.0, 40.0}) {
        Start(checkOnly);
        ASSERT_EQ(flow_->Stage(), FlowStage::Check);
        EXPECT_EQ(flow_->Layout().Grid(), calibration::kDefaultGrid);
        EXPECT_FALSE(flow_->TeachesKeys());
        const TestCamera straight = camera_;
        while (flow_->Stage() == FlowStage::Check) {
            const Point place = *flow_->CurrentTarget().screen;
            const auto samples = calibration_testing::RestingTouch(
                {straight.See(place).x + knocked, straight.See(place).y}, now_);
            for (const auto& sample : samples) flow_->OnSample(sample);
            now_ = samples.back().timeMs + 1000;
        }
        EXPECT_EQ(flow_->Stage(), FlowStage::Done);
        EXPECT_EQ(flow_->Verdict(), knocked == 0 ? Verdict::Good : Verdict::Recalibrate) << knocked;
    }
    EXPECT_TRUE(files_.calls.empty());
    EXPECT_EQ(File(), calibrated);

    // A file without a calibration the driver can use has nothing to check.
    files_.files[kSettingsPath] = kSettingsBefore;
    Start(checkOnly);
    EXPECT_EQ(flow_->Stage(), FlowStage::Failed);
    EXPECT_EQ(flow_->Failure(), FlowFailure::NoCalibration);
}

TEST_F(Run, AFileThatCannotBeWrittenOrReadIsLeftAsItWas)
{
    Start();
    ASSERT_NO_FATAL_FAILURE(TouchStage());
    files_.moveFails = true;
    EXPECT_EQ(flow_->Save(now_), WriteOutcome::MoveFailed);
    EXPECT_EQ(flow_->Stage(), FlowStage::Failed);
    EXPECT_EQ(flow_->Failure(), FlowFailure::WriteFailed);
    EXPECT_FALSE(flow_->GridSaved());
    EXPECT_EQ(File(), kSettingsBefore);
    EXPECT_EQ(files_.files.count(calibration::TemporaryPathFor(kSettingsPath)), 0u);

    files_.files.clear();
    Start();
    EXPECT_EQ(flow_->Stage(), FlowStage::Failed);
    EXPECT_EQ(flow_->Failure(), FlowFailure::SettingsUnreadable);
}

} // namespace
