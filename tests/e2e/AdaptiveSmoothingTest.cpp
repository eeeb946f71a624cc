// [Filter] MODE=adaptive in the real driver: a stroke from a 60 fps camera
// is drawn close behind the pen, and a sample thrown far off its course
// never reaches the desktop.
#include "DriverRun.h"

#include "common/SupportLogFile.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

#include <cstdlib>
#include <string>

namespace e2e {
namespace {

using AdaptiveSmoothing = DriverRun;

TEST_F(AdaptiveSmoothing, AStrokeFollowsThePenAndASpikeNeverReachesTheDesktop)
{
    const std::string logPath = common::SupportLogFile::DefaultPath();
    const std::size_t logBefore = sim::ReadWholeFile(logPath).size();
    const std::string settings =
        sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini") + "\r\n[Filter]\r\nMODE=adaptive\r\n";
    // 2,500 camera units a second along y = 1200; one sample 300 units below
    // the course. The fixed blend would take the pointer 58 pixels down.
    ASSERT_TRUE(rig_.Prepare(kScriptStart + "pace 17\n"
                                            "down 800 1200\n"
                                            "down 800 1200\n"
                                            "line 842 1200 1600 1200 19\n"
                                            "rec 1 1620 1500\n"
                                            "line 1684 1200 2400 1200 18\n"
                                            "up 2400 1200\n",
                             settings))
        << rig_.Problem();
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    WaitForScript();
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(ButtonSequence(events), "ldown lup") << Describe(events);

    int moves = 0;
    int lastMoveX = 0;
    for (const sim::MouseEvent& event : events) {
        EXPECT_LE(std::abs(event.y - ScreenY(1200)), 2) << Describe(events);
        if (event.kind == sim::MouseKind::LeftDown) {
            EXPECT_TRUE(Near(event, ScreenX(800), ScreenY(1200)));
        }
        if (event.kind == sim::MouseKind::Move) {
            ++moves;
            lastMoveX = event.x;
        }
    }
    // Every sample but the spike moved the pointer, and the last move came
    // within a few pixels of the pen (the fixed blend stays 9 behind).
    EXPECT_GE(moves, 37) << Describe(events);
    EXPECT_NEAR(lastMoveX, ScreenX(2400), 3) << Describe(events);

    std::string since;
    sim::WaitUntil(
        [&] {
            since = sim::ReadWholeFile(logPath).substr(logBefore);
            return since.find("Adaptive smoothing on") != std::string::npos;
        },
        kWaitMs);
    EXPECT_NE(since.find("Adaptive smoothing on"), std::string::npos) << since;
}

} // namespace
} // namespace e2e
