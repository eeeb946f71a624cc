// A recording made while the camera service stand-in plays a session, asked
// for as the board check asks, replays against a fresh driver to the same
// injected events.
#include "DriverAsker.h"
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/LineLog.h"
#include "sim/Replay.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace boardcheck_e2e {
namespace {

constexpr unsigned kRecordingSeconds = 4;

// A stroke, a tap and a press-and-hold (the hold clicks right).
const std::string kSession = "down 800 600\n"
                             "line 800 600 1600 900 40\n"
                             "up 1600 900\n"
                             "pause 60\n"
                             "down 2000 1200\n"
                             "down 2000 1200\n"
                             "down 2000 1200\n"
                             "up 2000 1200\n"
                             "pause 60\n"
                             "hold 1200 1800 110\n"
                             "up 1200 1800\n";

// The hold presses, clicks left and right where it stands, and lets go.
constexpr const char* kButtons = "ldown lup ldown lup ldown ldown lup rdown rup lup";

bool SameEvents(const std::vector<sim::MouseEvent>& a, const std::vector<sim::MouseEvent>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || std::abs(a[i].x - b[i].x) > 1 || std::abs(a[i].y - b[i].y) > 1) return false;
    }
    return true;
}

void GoAhead()
{
    PostMessageA(FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption), sim::kReplayGoAhead, 0, 0);
}

using Recording = e2e::DriverRun;

TEST_F(Recording, MadeWhileASessionPlaysReplaysToTheSameInjectedEvents)
{
    Start(e2e::kScriptStart + "await " + std::to_string(sim::kReplayGoAhead) + "\n" + kSession);
    DriverAsker asker;
    ASSERT_TRUE(asker.Ask(common::BoardCheckRequest(common::kBoardCheckRecord, kRecordingSeconds)));
    ASSERT_TRUE(asker.WaitForAnswer([](const common::BoardStatus& s) { return s.recording == "waiting" || s.recording == "recording"; },
                                    e2e::kWaitMs));
    GoAhead();
    WaitForScript();
    const std::vector<sim::MouseEvent> played = WaitForEvents([](const std::vector<sim::MouseEvent>& events) {
        return e2e::ButtonSequence(events) == kButtons;
    });
    ASSERT_EQ(e2e::ButtonSequence(played), kButtons) << e2e::Describe(played);

    std::string file;
    ASSERT_TRUE(sim::WaitUntil(
        [&] {
            asker.Ask(common::BoardCheckRequest(common::kBoardCheckStatus));
            return asker.WaitForAnswer(
                [&](const common::BoardStatus& s) {
                    file = s.recordingFile;
                    return s.recording == "written";
                },
                500);
        },
        (kRecordingSeconds + 10) * 1000, 100))
        << "the recording was not written";
    const std::string recording = sim::ReadWholeFile(file);
    DeleteFileA(file.c_str());
    const sim::Replay replay = sim::PrepareReplay(recording);
    ASSERT_TRUE(replay.Ok()) << replay.error << "\n" << recording;
    EXPECT_EQ(replay.route, "mouse");
    rig_.CloseDriver();
    rig_.CloseStandIns();

    sim::BoardRig again(sim::OwnFolder(), sim::OwnFolder() + "scratch\\", "replay");
    ASSERT_TRUE(again.Prepare(replay.script, replay.settings)) << again.Problem();
    ASSERT_TRUE(again.StartRecorder() && again.StartDrawingApp() && again.StartDriver()) << again.Problem();
    ASSERT_TRUE(sim::WaitUntil([] { return FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr; },
                               e2e::kWaitMs));
    // The go-ahead waits in the service's queue until its script asks for it.
    GoAhead();
    ASSERT_TRUE(again.WaitForScript()) << sim::ReadWholeFile(again.File(sim::kCameraServiceLog));
    std::vector<sim::MouseEvent> replayed;
    sim::WaitUntil(
        [&] {
            replayed = e2e::InjectedEvents(again.MouseEvents());
            return SameEvents(replayed, e2e::InjectedEvents(played));
        },
        e2e::kWaitMs, 50);
    EXPECT_TRUE(SameEvents(replayed, e2e::InjectedEvents(played)))
        << "played:\n" << e2e::Describe(e2e::InjectedEvents(played)) << "replayed:\n" << e2e::Describe(replayed)
        << "recording:\n" << recording;
}

} // namespace
} // namespace boardcheck_e2e
