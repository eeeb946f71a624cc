// What the calibration window says: the target's line, the refusals and
// retakes in the teacher's words, the check's result, and which file holds
// the calibration for whom.
#include "CalibrationTestKit.h"
#include "FakeFiles.h"

#include "calibration/FlowLogLines.h"
#include "calibration/FlowScreen.h"

#include <gtest/gtest.h>

namespace {

using calibration::CalibrationFlow;
using calibration::DescribeScreen;
using calibration::FlowScreen;
using calibration::KalmenoTexts;
using calibration_testing::kBoard;
using calibration_testing::TestCamera;

const std::string kUsersCopy = "C:\\Users\\Ann\\AppData\\Roaming\\CvSoftware\\Drivers\\WBInit.ini";

class Screen : public ::testing::Test {
protected:
    Screen() { files_.files[kUsersCopy] = "[coordinate]\r\nwdot=3\r\nhdot=3\r\n"; }

    void Touch(CalibrationFlow& flow, const driver::Point& screen)
    {
        const auto samples = calibration_testing::RestingTouch(camera_.See(screen), now_);
        for (const auto& sample : samples) flow.OnSample(sample);
        now_ = samples.back().timeMs + 1000;
    }
    void TouchStage(CalibrationFlow& flow)
    {
        for (const calibration::FlowStage stage = flow.Stage(); flow.Stage() == stage;)
            Touch(flow, *flow.CurrentTarget().screen);
    }

    TestCamera camera_;
    calibration_testing::FakeFiles files_;
    std::uint32_t now_ = 1000;
    KalmenoTexts english_;
};

TEST_F(Screen, SaysWhichTargetWhyATouchDidNotCountAndWhoseFileIsWritten)
{
    CalibrationFlow flow({}, kBoard, files_, kUsersCopy, now_);
    Touch(flow, *flow.CurrentTarget().screen);
    Touch(flow, *flow.CurrentTarget().screen);
    FlowScreen screen = DescribeScreen(flow, english_, true);
    EXPECT_EQ(screen.title, "Target 3 of 25");
    EXPECT_EQ(screen.file, "Settings file: " + kUsersCopy);
    EXPECT_EQ(screen.ownCopy, "This calibration holds for you alone: other users of this PC keep their own.");
    EXPECT_TRUE(DescribeScreen(flow, english_, false).ownCopy.empty());

    // The first target again, where the third is shown.
    Touch(flow, flow.Layout().ScreenPoint(0));
    screen = DescribeScreen(flow, english_, false);
    EXPECT_EQ(CaptionOf(screen), "Target 3 of 25 - That was not this cross: touch the one shown.");

    // The strings file speaks first; its placeholder for a missing text
    // never reaches the board.
    KalmenoTexts file;
    file.Set(calibration::texts::kTarget, "Punkt %1 von %2");
    file.Set(calibration::texts::kFarFromTarget, "GetError");
    EXPECT_EQ(CaptionOf(DescribeScreen(flow, file, false)),
              "Punkt 3 von 25 - That was not this cross: touch the one shown.");
}

TEST_F(Screen, TheEndGivesEachPlacesErrorAndTheVerdictInPlainWords)
{
    CalibrationFlow flow({}, kBoard, files_, kUsersCopy, now_);
    TouchStage(flow);
    flow.Save(now_);
    EXPECT_EQ(calibration::SavedLine(flow).rfind("Calibration saved: grid 5 x 5 into " + kUsersCopy + "; worst target 0.", 0),
              0u)
        << calibration::SavedLine(flow);

    // The third place touched 20 px to the right of where it is shown.
    while (flow.Stage() == calibration::FlowStage::Check) {
        driver::Point place = *flow.CurrentTarget().screen;
        if (flow.CurrentTarget().index == 2) place.x += 20;
        Touch(flow, place);
    }
    const FlowScreen screen = DescribeScreen(flow, english_, false);
    EXPECT_EQ(screen.title.rfind("Recalibrate: the pen lands up to 2", 0), 0u) << screen.title;
    ASSERT_EQ(screen.results.size(), 5u);
    EXPECT_EQ(screen.results[0].rfind("Point 1: 0.", 0), 0u) << screen.results[0];
    EXPECT_EQ(screen.results[2].rfind("Point 3: 2", 0), 0u) << screen.results[2];
    EXPECT_EQ(screen.outcome, "The new calibration is saved and in use.");
    EXPECT_EQ(screen.help, "Touch the board or press a key to close.");
    const std::string logged = calibration::CheckLine(flow);
    EXPECT_EQ(logged.rfind("Check of the new calibration: 0.", 0), 0u) << logged;
    EXPECT_NE(logged.find(": Recalibrate."), std::string::npos) << logged;

    // Stopped by the board itself, the teacher learns why and what is left.
    CalibrationFlow stopped({}, kBoard, files_, kUsersCopy, now_);
    stopped.Cancel(calibration::CancelCause::DriverGone, now_);
    EXPECT_EQ(DescribeScreen(stopped, english_, false).title, "The board driver ended.");
    EXPECT_EQ(calibration::EndedEarlyLine(stopped), "Calibration stopped in Grid by the driver ending; nothing was written.");
}

} // namespace
