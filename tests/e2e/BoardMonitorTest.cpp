// The board's monitor chosen in [Display] while Wine's null display has one
// monitor: the board stays on the primary screen, and the support log says
// so once, however often the driver loads. Layouts of several monitors are
// in tests/screens (under an X server) and in the core's tests.
#include "DriverRun.h"

#include "common/Messages.h"
#include "common/SupportLogFile.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <string>

namespace e2e {
namespace {

using BoardMonitor = DriverRun;

TEST_F(BoardMonitor, AChosenMonitorThatIsNotThereLeavesTheBoardOnThePrimaryScreen)
{
    const std::string logPath = common::SupportLogFile::DefaultPath();
    const std::size_t logBefore = sim::ReadWholeFile(logPath).size();
    const std::string settings =
        sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini") + "\r\n[Display]\r\nMONITOR=secondary\r\n";
    ASSERT_TRUE(rig_.Prepare(std::string(), settings)) << rig_.Problem();
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    // More loads: none of them may repeat the line. The second display
    // change's own line comes after every line of the loads before it.
    PostToDriver(WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    PostToDriver(msg::kPipeForwardEnd, 0, 0);
    PostToDriver(WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));

    ASSERT_NO_FATAL_FAILURE(PlayScript("down 3000 2250\nhold 3000 2250 3\nup 3000 2250\n"));
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(ButtonSequence(events), "ldown lup") << Describe(events);
    EXPECT_TRUE(Near(events.front(), ScreenX(3000), ScreenY(2250))) << Describe(events);

    const std::string line = "[Display] MONITOR=secondary: no monitor is \"secondary\" now";
    std::string since;
    sim::WaitUntil(
        [&] {
            since = sim::ReadWholeFile(logPath).substr(logBefore);
            return Occurrences(since, "The display changed") >= 2;
        },
        kWaitMs);
    EXPECT_EQ(Occurrences(since, line), 1u) << since;
}

} // namespace
} // namespace e2e
