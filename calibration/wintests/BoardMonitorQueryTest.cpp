// The calibration's monitor as the driver reports it, beside the real
// driver; and without an answer, [Display] as the tools read it, then the
// main display.
#include "BoardMonitorQuery.h"
#include "DriverAsker.h"
#include "DriverRun.h"
#include "PolicyEdit.h"

#include "common/BoardStatus.h"
#include "common/Messages.h"
#include "sim/ChildProcess.h"
#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <string>

namespace calibration_e2e {
namespace {

using calibration::BoardMonitorAnswer;
using calibration::BoardMonitorQuery;
using calibration::MonitorSource;

common::PixelRect MainDisplay()
{
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::string Describe(const BoardMonitorAnswer& answer)
{
    return std::string(calibration::Name(answer.source)) + " '" + answer.driverName + "' " +
           std::to_string(answer.rect.left) + "," + std::to_string(answer.rect.top) + " " +
           std::to_string(answer.rect.Width()) + "x" + std::to_string(answer.rect.Height()) +
           (answer.driverRunning ? " (driver running)" : "");
}

// Policies set for one test, gone again whatever the test's outcome.
class MachinePolicy {
public:
    MachinePolicy(const common::Option& option, const std::string& value) { ok_ = e2e::SetMachinePolicy(option, value); }
    ~MachinePolicy() { e2e::RemoveMachinePolicies(); }
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
};

using KalmenoBoardMonitor = e2e::DriverRun;

// [Display] chooses a monitor Wine's one display does not have: the driver
// puts the board on the main display, and the calibration follows it there.
TEST_F(KalmenoBoardMonitor, IsTheDriversAlsoWhereTheDriverFellBackToTheMainDisplay)
{
    const std::string settings =
        sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini") + "\r\n[Display]\r\nMONITOR=secondary\r\n";
    ASSERT_TRUE(rig_.Prepare(std::string(), settings)) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();

    boardcheck_e2e::DriverAsker asker;
    ASSERT_TRUE(asker.Ask(common::BoardCheckRequest(common::kBoardCheckStatus)));
    ASSERT_TRUE(asker.WaitForAnswer([](const common::BoardStatus&) { return true; }, e2e::kWaitMs));
    const common::BoardStatus status = common::ParseBoardStatus(asker.Answers().back());

    const BoardMonitorAnswer answer = BoardMonitorQuery().Ask();
    EXPECT_EQ(answer.source, MonitorSource::Driver) << Describe(answer);
    EXPECT_EQ(answer.driverName, status.monitor);
    EXPECT_EQ(answer.driverName, "primary-instead-of-secondary");
    EXPECT_EQ(answer.rect, (common::PixelRect{status.monitorLeft, status.monitorTop,
                                              status.monitorLeft + status.monitorWidth,
                                              status.monitorTop + status.monitorHeight}))
        << Describe(answer);
    EXPECT_EQ(answer.rect, MainDisplay()) << Describe(answer);
}

TEST_F(KalmenoBoardMonitor, WithoutAnAnswerInTimeIsTheSettingsMonitorThenTheMainDisplay)
{
    // No driver: the settings' monitor (the primary screen) at once.
    DWORD started = GetTickCount();
    BoardMonitorAnswer answer = BoardMonitorQuery().Ask();
    EXPECT_LT(GetTickCount() - started, 1000u);
    EXPECT_EQ(answer.source, MonitorSource::Settings) << Describe(answer);
    EXPECT_FALSE(answer.driverRunning);
    EXPECT_EQ(answer.rect, MainDisplay());

    // A driver window that never answers is given the bound, no more.
    ASSERT_TRUE(rig_.Folder().CopyIn(sim::BuiltPath(SIM_DRIVER_WINDOW_EXE), "SimDriverWindow.exe"));
    sim::ChildProcess silent = sim::ChildProcess::Start(rig_.File("SimDriverWindow.exe"), rig_.Folder().Path());
    ASSERT_TRUE(silent);
    ASSERT_NE(sim::WaitForWindow(wnd::kDriverClass, wnd::kDriverCaption, e2e::kWaitMs), nullptr);
    constexpr DWORD kBoundMs = 500;
    started = GetTickCount();
    answer = BoardMonitorQuery(kBoundMs).Ask();
    const DWORD took = GetTickCount() - started;
    EXPECT_GE(took, kBoundMs);
    EXPECT_LT(took, kBoundMs + 1500);
    EXPECT_EQ(answer.source, MonitorSource::Settings) << Describe(answer);
    EXPECT_TRUE(answer.driverRunning);

    // A policy chooses a monitor that is not there: the main display.
    const MachinePolicy policy(common::options::kMonitor, "secondary");
    ASSERT_TRUE(policy.Ok());
    answer = BoardMonitorQuery(kBoundMs).Ask();
    EXPECT_EQ(answer.source, MonitorSource::MainDisplay) << Describe(answer);
    EXPECT_EQ(answer.rect, MainDisplay());
}

} // namespace
} // namespace calibration_e2e
