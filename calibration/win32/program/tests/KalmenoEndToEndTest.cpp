// Kalmeno.exe beside the real driver and the stand-ins. The camera service
// stand-in plays a teacher's resting touches where a known camera sees each
// target Kalmeno shows, one touch each time Kalmeno's caption names the
// target, and the grid Kalmeno writes must give the camera back: a touch
// afterwards lands where it was aimed. A touch of the wrong target is
// refused on the way; Escape leaves the settings file byte for byte; the
// driver's close on board key 12 ends the run and gives the board back to
// the mouse.
#include "KalmenoRun.h"

#include "calibration/AccuracyCheck.h"
#include "calibration/CalibrationFlow.h"
#include "calibration/CalibrationInText.h"
#include "calibration/TargetLayout.h"
#include "common/CalibrationCheckRecord.h"
#include "common/DisplayLayout.h"
#include "common/Win32Monitors.h"
#include "common/Messages.h"
#include "common/SupportLogFile.h"
#include "common/TextProfile.h"
#include "sim/ChildProcess.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/StandInMessages.h"
#include "sim/TextForms.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace kalmeno_e2e {
namespace {

using driver::Point;

TEST_F(Kalmeno, CalibratesTheBoardSoThatATouchLandsWhereItWasAimed)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(e2e::PeerSetup{}));
    const std::string supportLog = common::SupportLogFile::DefaultPath();
    const std::size_t logBefore = sim::ReadWholeFile(supportLog).size();
    ASSERT_NO_FATAL_FAILURE(StartKalmeno(true));
    const calibration::TargetLayout layout(calibration::kDefaultGrid, Screen());

    // The grid, with target 9's spot touched where target 8 is shown.
    std::vector<Step> steps;
    for (int t = 0; t < layout.Count(); ++t) {
        const std::string target = "Target " + std::to_string(t + 1) + " of " + std::to_string(layout.Count());
        if (t == 7) {
            steps.push_back(When(target, CameraSees(layout.ScreenPoint(8))));
            steps.push_back(When(target + " - That was not this cross: touch the one shown.",
                                 CameraSees(layout.ScreenPoint(t))));
        } else {
            steps.push_back(When(target, CameraSees(layout.ScreenPoint(t))));
        }
    }
    // The check, at the five places between the grid's points.
    const auto places = calibration::CheckGridPlaces(layout.Grid());
    for (int p = 0; p < calibration::kCheckPlaces; ++p) {
        const Point place = layout.ScreenPointAt(places[static_cast<std::size_t>(p)].x,
                                                 places[static_cast<std::size_t>(p)].y);
        steps.push_back(When("Check " + std::to_string(p + 1) + " of 5", CameraSees(place)));
    }
    // And a touch of the board once the verdict is up.
    const Point aimed{300, 500};
    std::mt19937 random(3);
    ASSERT_NO_FATAL_FAILURE(PlayTouches(steps, RestingTouch(CameraSees(aimed), random)));
    ASSERT_TRUE(WaitForCaption([](const std::string& c) { return c.rfind("Good: ", 0) == 0; })) << Caption();
    // Every touch of the run was Kalmeno's: the board never drove the mouse.
    EXPECT_EQ(e2e::ButtonSequence(e2e::InjectedEvents(rig_.MouseEvents())), "");

    // The driver reloaded the grid after the write and told the camera service.
    EXPECT_TRUE(WaitForLine(sim::kCameraServiceLog, "msg 32870 0 0")) << Log(sim::kCameraServiceLog);
    const calibration::CalibrationInText written =
        calibration::ReadCalibrationInText(rig_.Folder().Read(sim::kSettingsFile), Screen());
    ASSERT_TRUE(written.Usable()) << rig_.Folder().Read(sim::kSettingsFile);
    ASSERT_EQ(written.grid.grid, layout.Grid());
    for (int t = 0; t < layout.Count(); ++t) {
        const Point truth = CameraSees(layout.ScreenPoint(t));
        const Point measured = written.grid.camera[static_cast<std::size_t>(t)];
        EXPECT_LT(std::hypot(measured.x - truth.x, measured.y - truth.y), 3) << "target " << t;
    }

    // The support log says what was saved where, and what the check found.
    const std::string savedLine = "Kalmeno: Calibration saved: grid 5 x 5 into " + rig_.File(sim::kSettingsFile) + ";";
    const std::string log = sim::ReadWholeFile(supportLog);
    const std::size_t saved = log.find(savedLine, logBefore);
    ASSERT_NE(saved, std::string::npos) << savedLine << "\n" << log;
    const std::size_t checked = log.find("Kalmeno: Check of the new calibration: ", saved);
    ASSERT_NE(checked, std::string::npos) << log.substr(saved);
    EXPECT_NE(log.find(": Good.\r\n", checked), std::string::npos) << log.substr(checked);
    // And the file keeps the check for the driver's answer to the board check.
    const common::CalibrationCheckRecord record =
        common::ReadCalibrationCheck(common::TextProfile(rig_.Folder().Read(sim::kSettingsFile)));
    EXPECT_EQ(record.verdict, "good") << rig_.Folder().Read(sim::kSettingsFile);
    EXPECT_FALSE(record.checkedAt.empty());

    GoAhead();
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return e2e::ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
    for (const sim::MouseEvent& event : events) {
        if (event.kind != sim::MouseKind::LeftDown && event.kind != sim::MouseKind::LeftUp) continue;
        EXPECT_LE(std::abs(event.x - static_cast<int>(aimed.x)), 2) << e2e::Describe(events);
        EXPECT_LE(std::abs(event.y - static_cast<int>(aimed.y)), 2) << e2e::Describe(events);
    }
    // The touch on the verdict closes Kalmeno.
    ASSERT_TRUE(kalmeno_.WaitForExit(e2e::kWaitMs + calibration::CalibrationFlow::kShownMs));
    EXPECT_EQ(kalmeno_.ExitCode(), 0u);
}

TEST_F(Kalmeno, EscapeLeavesTheSettingsFileByteForByte)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(e2e::PeerSetup{}));
    const std::string before = rig_.Folder().Read(sim::kSettingsFile);
    ASSERT_FALSE(before.empty());
    ASSERT_NO_FATAL_FAILURE(StartKalmeno(false));
    const calibration::TargetLayout layout(calibration::kDefaultGrid, Screen());
    std::vector<Step> steps;
    for (int t = 0; t < 3; ++t)
        steps.push_back(When("Target " + std::to_string(t + 1) + " of 25", CameraSees(layout.ScreenPoint(t))));
    ASSERT_NO_FATAL_FAILURE(PlayTouches(steps));
    ASSERT_TRUE(WaitForCaption([](const std::string& c) { return c == "Target 4 of 25"; })) << Caption();

    PostMessageA(window_, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(kalmeno_.WaitForExit(e2e::kWaitMs));
    EXPECT_EQ(kalmeno_.ExitCode(), 1u);
    EXPECT_EQ(rig_.Folder().Read(sim::kSettingsFile), before);
    EXPECT_FALSE(rig_.Folder().Holds(std::string(sim::kSettingsFile) + ".new"));
    EXPECT_EQ(e2e::CountMessages(rig_.CameraServiceMessages(), msg::kCalibrationReloaded, 0, 0), 0u)
        << "nothing to reload";
}

TEST_F(Kalmeno, TheDriversCloseOnKey12EndsTheRunAndGivesTheBoardBackToTheMouse)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(e2e::PeerSetup{"e2e-keys-WBInit.ini"}));
    const std::string before = rig_.Folder().Read(sim::kSettingsFile);
    ASSERT_NO_FATAL_FAILURE(StartKalmeno(false));
    ASSERT_TRUE(WaitForCaption([](const std::string& c) { return c == "Target 1 of 25"; })) << Caption();

    // A tap of key 12, then, once the test says so, a touch at camera
    // (600, 1200), which the file's calibration maps linearly.
    const std::string key = At(kCalibrationKeyX, kCalibrationKeyY);
    const std::string goAhead = "await " + std::to_string(sim::kScriptGoAhead) + " 60000\n";
    ASSERT_TRUE(rig_.RestartCameraService(e2e::kScriptStart + "pace 16\n" + goAhead + "down " + key + "\nhold " + key +
                                          " 2\nup " + key + "\nnote key\n" + goAhead +
                                          "down 600 1200\nhold 600 1200 3\nup 600 1200\n"))
        << rig_.Problem();
    GoAhead();
    ASSERT_TRUE(kalmeno_.WaitForExit(e2e::kWaitMs)) << "Kalmeno shows \"" << Caption() << "\"";
    EXPECT_EQ(kalmeno_.ExitCode(), 1u);
    EXPECT_EQ(rig_.Folder().Read(sim::kSettingsFile), before);

    // The tap of the key stays Kalmeno's to its end (a press left over
    // would be the mouse's, or with board keys on, key 12 once more), and
    // the touch after it is the mouse's.
    ASSERT_TRUE(WaitForLine(sim::kCameraServiceLog, "script note key"));
    GoAhead();
    const auto events = WaitForEvents([](const std::vector<sim::MouseEvent>& e) {
        return e2e::LeftPresses(e) > 0 && e.back().kind == sim::MouseKind::LeftUp;
    });
    ASSERT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
    for (const sim::MouseEvent& event : events)
        EXPECT_TRUE(e2e::Near(event, e2e::ScreenX(600), e2e::ScreenY(1200))) << e2e::Describe(events);
}

// The board on the second of two monitors (run by tests/screens/two-screens.sh
// under Wine's X11 driver; one monitor elsewhere, and then skipped): Kalmeno
// covers that monitor, as the driver reports it, and its calibration puts a
// touch there where it was aimed, with no change of the display layout.
class KalmenoTwoScreens : public Kalmeno {
protected:
    void SetUp() override
    {
        const common::DisplayLayout layout = common::ReadDisplayLayout();
        for (const common::MonitorInfo& monitor : layout.monitors) {
            if (!monitor.primary) second_ = monitor.rect;
        }
        if (layout.monitors.size() < 2) GTEST_SKIP() << "Wine shows one monitor on this display";
        sim::WriteWholeFile(sim::OwnFolder() + kSettings,
                            sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini") + "\r\n[Display]\r\nMONITOR=secondary\r\n");
    }

    Point CameraSeesOnSecond(const Point& onMonitor) const
    {
        return CameraSeesOn(onMonitor, {second_.Width(), second_.Height()});
    }

    static constexpr const char* kSettings = "kalmeno-screens-WBInit.ini";
    common::PixelRect second_;
};

TEST_F(KalmenoTwoScreens, CalibratesTheSecondMonitorWhereItStands)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(e2e::PeerSetup{kSettings}));
    ASSERT_NO_FATAL_FAILURE(StartKalmeno(false));
    RECT shown = {};
    ASSERT_TRUE(GetWindowRect(window_, &shown));
    EXPECT_EQ(shown.left, second_.left);
    EXPECT_EQ(shown.top, second_.top);
    EXPECT_EQ(shown.right - shown.left, second_.Width());
    EXPECT_EQ(shown.bottom - shown.top, second_.Height());

    const calibration::TargetLayout layout(calibration::kDefaultGrid, {second_.Width(), second_.Height()});
    std::vector<Step> steps;
    for (int t = 0; t < layout.Count(); ++t) {
        steps.push_back(When("Target " + std::to_string(t + 1) + " of " + std::to_string(layout.Count()),
                             CameraSeesOnSecond(layout.ScreenPoint(t))));
    }
    const auto places = calibration::CheckGridPlaces(layout.Grid());
    for (int p = 0; p < calibration::kCheckPlaces; ++p) {
        const Point place = layout.ScreenPointAt(places[static_cast<std::size_t>(p)].x,
                                                 places[static_cast<std::size_t>(p)].y);
        steps.push_back(When("Check " + std::to_string(p + 1) + " of 5", CameraSeesOnSecond(place)));
    }
    const Point aimed{second_.Width() - 200.0, 300};
    std::mt19937 random(5);
    ASSERT_NO_FATAL_FAILURE(PlayTouches(steps, RestingTouch(CameraSeesOnSecond(aimed), random)));
    ASSERT_TRUE(WaitForCaption([](const std::string& c) { return c.rfind("Good: ", 0) == 0; })) << Caption();

    GoAhead();
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return e2e::ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
    for (const sim::MouseEvent& event : events) {
        if (event.kind != sim::MouseKind::LeftDown && event.kind != sim::MouseKind::LeftUp) continue;
        EXPECT_LE(std::abs(event.x - (second_.left + static_cast<int>(aimed.x))), 2) << e2e::Describe(events);
        EXPECT_LE(std::abs(event.y - (second_.top + static_cast<int>(aimed.y))), 2) << e2e::Describe(events);
    }
}

} // namespace
} // namespace kalmeno_e2e
