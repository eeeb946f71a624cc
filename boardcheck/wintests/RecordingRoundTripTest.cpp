// A recording made while the camera service stand-in plays a session, asked
// for as the board check asks, replays against a fresh driver to the same
// injected events, also where a policy set the smoothing and the replaying
// machine has no such policy.
#include "DriverAsker.h"
#include "DriverRun.h"
#include "PolicyEdit.h"

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

// A stroke from a 60 fps camera with one sample thrown far off its course:
// the adaptive chain drops the spike and keeps close behind the pen, the
// fixed blend takes the pointer 58 pixels down and stays 9 behind.
const std::string kStrokeWithSpike = "pace 17\n"
                                     "down 800 1200\n"
                                     "down 800 1200\n"
                                     "line 842 1200 1600 1200 19\n"
                                     "rec 1 1620 1500\n"
                                     "line 1684 1200 2400 1200 18\n"
                                     "up 2400 1200\n";

class Recording : public e2e::DriverRun {
protected:
    // Plays `session` once the recording is under way and waits for the
    // button sequence `buttons`; the recording's text.
    std::string RecordWhilePlaying(const std::string& session, const std::string& buttons,
                                   std::vector<sim::MouseEvent>& played);
    // Replays the recording against a fresh driver and its stand-ins; the
    // events injected, once they match `expected` or the wait is over.
    std::vector<sim::MouseEvent> Replay(const sim::Replay& replay, const std::vector<sim::MouseEvent>& expected);
};

std::string Recording::RecordWhilePlaying(const std::string& session, const std::string& buttons,
                                          std::vector<sim::MouseEvent>& played)
{
    Start(e2e::kScriptStart + "await " + std::to_string(sim::kReplayGoAhead) + "\n" + session);
    DriverAsker asker;
    EXPECT_TRUE(asker.Ask(common::BoardCheckRequest(common::kBoardCheckRecord, kRecordingSeconds)));
    EXPECT_TRUE(asker.WaitForAnswer([](const common::BoardStatus& s) { return s.recording == "waiting" || s.recording == "recording"; },
                                    e2e::kWaitMs));
    GoAhead();
    WaitForScript();
    played = WaitForEvents([&](const std::vector<sim::MouseEvent>& events) {
        return e2e::ButtonSequence(events) == buttons;
    });
    EXPECT_EQ(e2e::ButtonSequence(played), buttons) << e2e::Describe(played);

    std::string file;
    EXPECT_TRUE(sim::WaitUntil(
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
    rig_.CloseDriver();
    rig_.CloseStandIns();
    return recording;
}

std::vector<sim::MouseEvent> Recording::Replay(const sim::Replay& replay, const std::vector<sim::MouseEvent>& expected)
{
    sim::BoardRig again(sim::OwnFolder(), sim::OwnFolder() + "scratch\\", "replay");
    std::vector<sim::MouseEvent> replayed;
    EXPECT_TRUE(again.Prepare(replay.script, replay.settings)) << again.Problem();
    if (!(again.StartRecorder() && again.StartDrawingApp() && again.StartDriver())) {
        ADD_FAILURE() << again.Problem();
        return replayed;
    }
    EXPECT_TRUE(sim::WaitUntil([] { return FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr; },
                               e2e::kWaitMs));
    // The go-ahead waits in the service's queue until its script asks for it.
    GoAhead();
    EXPECT_TRUE(again.WaitForScript()) << sim::ReadWholeFile(again.File(sim::kCameraServiceLog));
    sim::WaitUntil(
        [&] {
            replayed = e2e::InjectedEvents(again.MouseEvents());
            return SameEvents(replayed, expected);
        },
        e2e::kWaitMs, 50);
    return replayed;
}

TEST_F(Recording, MadeWhileASessionPlaysReplaysToTheSameInjectedEvents)
{
    std::vector<sim::MouseEvent> played;
    const std::string recording = RecordWhilePlaying(kSession, kButtons, played);
    const sim::Replay replay = sim::PrepareReplay(recording);
    ASSERT_TRUE(replay.Ok()) << replay.error << "\n" << recording;
    EXPECT_EQ(replay.route, "mouse");

    const std::vector<sim::MouseEvent> replayed = Replay(replay, e2e::InjectedEvents(played));
    EXPECT_TRUE(SameEvents(replayed, e2e::InjectedEvents(played)))
        << "played:\n" << e2e::Describe(e2e::InjectedEvents(played)) << "replayed:\n" << e2e::Describe(replayed)
        << "recording:\n" << recording;
}

// The classroom's machine smooths adaptively because a policy says so; the
// replaying machine has no such policy, yet its driver must smooth the same.
class RecordingUnderPolicy : public Recording {
protected:
    void TearDown() override { e2e::RemoveMachinePolicies(); }
};

TEST_F(RecordingUnderPolicy, ReplaysWithTheOptionsInForceWithoutThePolicy)
{
    ASSERT_TRUE(e2e::SetMachinePolicy(common::options::kFilterMode, "adaptive"));
    std::vector<sim::MouseEvent> played;
    const std::string recording = RecordWhilePlaying(kStrokeWithSpike, "ldown lup", played);
    ASSERT_NE(recording.find("#: option Filter MODE adaptive policy"), std::string::npos) << recording;
    ASSERT_TRUE(e2e::RemoveMachinePolicies());
    const sim::Replay replay = sim::PrepareReplay(recording);
    ASSERT_TRUE(replay.Ok()) << replay.error << "\n" << recording;

    const std::vector<sim::MouseEvent> replayed = Replay(replay, e2e::InjectedEvents(played));
    EXPECT_TRUE(SameEvents(replayed, e2e::InjectedEvents(played)))
        << "played:\n" << e2e::Describe(e2e::InjectedEvents(played)) << "replayed:\n" << e2e::Describe(replayed)
        << "settings of the replay:\n" << replay.settings;
}

} // namespace
} // namespace boardcheck_e2e
