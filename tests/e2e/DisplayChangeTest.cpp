// WM_DISPLAYCHANGE rebuilds the calibration as a reload would. Wine's null
// display keeps its size, so what this shows is the rebuild itself: a grid
// written meanwhile is mapped through at the next touch. That
// the new grid takes the new screen size, and that no box comes up, is shown
// by the core's tests with a desktop whose size changes.
#include "DriverRun.h"

#include "sim/LineLog.h"

#include <windows.h>

namespace e2e {
namespace {

using DisplayChange = DriverRun;

TEST_F(DisplayChange, TheCalibrationIsRebuiltAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{}));
    const std::string touch = "down 600 1200\nhold 600 1200 3\nup 600 1200\n";
    ASSERT_NO_FATAL_FAILURE(PlayScript(touch));
    auto presses = [this] {
        std::vector<sim::MouseEvent> found;
        for (const sim::MouseEvent& event : InjectedEvents(rig_.MouseEvents())) {
            if (event.kind == sim::MouseKind::LeftDown) found.push_back(event);
        }
        return found;
    };
    WaitForEvents([&](const std::vector<sim::MouseEvent>&) { return presses().size() >= 1; });
    ASSERT_EQ(presses().size(), 1u);
    EXPECT_TRUE(Near(presses()[0], ScreenX(600), ScreenY(1200)));

    // Another grid in the settings file; only a rebuild makes it count.
    ASSERT_TRUE(rig_.Folder().CopyIn(sim::OwnFolder() + "e2e-half-WBInit.ini", "WBInit.ini"));
    PostToDriver(WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    ASSERT_NO_FATAL_FAILURE(PlayScript(touch));
    WaitForEvents([&](const std::vector<sim::MouseEvent>&) { return presses().size() >= 2; });
    ASSERT_EQ(presses().size(), 2u);
    EXPECT_TRUE(Near(presses()[1], ScreenX(1200), ScreenY(1200))) << Describe(InjectedEvents(rig_.MouseEvents()));
}

} // namespace
} // namespace e2e
