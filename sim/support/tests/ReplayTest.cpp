// A recording made ready for a replay: held back until the go-ahead, with
// the settings it carries (less the outputs of another machine) and the
// routing it was made under.
#include "sim/Replay.h"
#include "sim/TouchScript.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sim {
namespace {

constexpr const char* kRecording = "# Board recording\n"
                                   "#: driver 1.0.0\n"
                                   "#: started 2026-05-01 10:22:03\n"
                                   "#: records 2\n"
                                   "#: route pair-split\n"
                                   "#: ini [coordinate]\n"
                                   "#: ini wdot=3\n"
                                   "#: ini [Multitouch]\n"
                                   "#: ini TUIO=1\n"
                                   "#: ini TUIO_HOST=192.168.1.20\n"
                                   "#: ini  [hardware]\n"
                                   "#: ini USE_KEY=1\n"
                                   "driver\n"
                                   "sync\n"
                                   "down 100 200\n"
                                   "#: route mouse\n"
                                   "up 100 200\n";

TEST(Replay, WaitsForTheGoAheadAndCarriesTheSettingsAndTheRouting)
{
    const Replay replay = PrepareReplay(kRecording);
    ASSERT_TRUE(replay.Ok()) << replay.error;
    EXPECT_EQ(replay.route, "pair-split"); // the routing it began with
    EXPECT_EQ(replay.settings, "[coordinate]\r\nwdot=3\r\n [hardware]\r\nUSE_KEY=1\r\n");
    EXPECT_EQ(replay.driverVersion, "1.0.0");
    EXPECT_EQ(replay.records, 2);
    const TouchScript script = ParseTouchScript(replay.script);
    ASSERT_TRUE(script.Ok()) << script.error;
    ASSERT_GE(script.steps.size(), 3u);
    // driver, three sync records, then the wait for the go-ahead before any touch
    const auto await = std::find_if(script.steps.begin(), script.steps.end(),
                                    [](const ScriptStep& s) { return s.kind == ScriptStep::Kind::Await; });
    ASSERT_NE(await, script.steps.end());
    EXPECT_EQ(await->value, kReplayGoAhead);
    EXPECT_EQ(script.RecordCount(), 2);

    EXPECT_FALSE(PrepareReplay("driver\nsync\ndown 1 1\n").Ok());
    EXPECT_FALSE(PrepareReplay("hello").Ok());
}

// The board keys as they were switched, whatever the recorded file says, and
// the outputs of an older recording (no option lines) from its facts.
TEST(Replay, SetsTheBoardKeysAndTheOutputsAsRecorded)
{
    const Replay replay = PrepareReplay("#: board-keys 0\n"
                                        "#: tuio 192.168.1.20:3334\n"
                                        "#: touch-injection on\n"
                                        "#: ini [Multitouch]\n"
                                        "#: ini TUIO_HOST=192.168.1.20\n"
                                        "#: ini [hardware]\n"
                                        "#: ini USE_KEY=1\n"
                                        "#: ini ; keys below\n"
                                        "driver\nsync\ndown 1 1\n");
    ASSERT_TRUE(replay.Ok()) << replay.error;
    EXPECT_EQ(replay.settings, "[hardware]\r\n; keys below\r\nUSE_KEY=0\r\n"
                               "[Multitouch]\r\nTUIO=1\r\nTUIO_PORT=3334\r\nTOUCH_INJECTION=1\r\nTUIO_HOST=127.0.0.1\r\n");
    EXPECT_TRUE(replay.tuio);
    EXPECT_TRUE(replay.touchInjection);
    EXPECT_EQ(replay.notes.size(), 2u);
}

} // namespace
} // namespace sim
