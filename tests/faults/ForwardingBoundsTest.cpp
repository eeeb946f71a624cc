// A forwarding run of the calibration program never leaves the board dead:
// until a program has connected the board keeps the mouse; a client that
// vanishes ends its run at once; one that stops reading for a while (a
// prompt on its screen) keeps its run and only loses records meanwhile.
#include "FaultRun.h"

#include "common/Messages.h"
#include "common/SupportLogFile.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

namespace faults {
namespace {

// A tap after a start that no client follows presses well before the run's
// 15 s wait for its client is over.
constexpr unsigned kPressDuringTheWaitMs = 10000;
// A run whose connected client has gone (no end message) ends this soon.
constexpr unsigned kVanishedClientEndsMs = 3000;
// The pause between the taps that look for the end of a run; the end is
// seen at most one tap late.
constexpr unsigned kTapPauseMs = 200;
constexpr unsigned kTapSlackMs = 1000;

constexpr int kTapX = 1600;
constexpr int kTapY = 1200;

std::string SupportLogSince(std::size_t from)
{
    const std::string text = sim::ReadWholeFile(common::SupportLogFile::DefaultPath());
    return from < text.size() ? text.substr(from) : std::string();
}

class ForwardingBounds : public FaultRun {
protected:
    // After a run has ended by itself: a tap presses and releases at its place.
    static void ExpectTapAfter(const std::vector<sim::MouseEvent>& events)
    {
        const auto press = FindFrom(events, events.begin(), sim::MouseKind::LeftDown);
        ASSERT_NE(press, events.end()) << e2e::Describe(events);
        EXPECT_NE(FindFrom(events, press, sim::MouseKind::LeftUp), events.end()) << e2e::Describe(events);
        EXPECT_TRUE(e2e::Near(*press, e2e::ScreenX(kTapX), e2e::ScreenY(kTapY))) << e2e::Describe(events);
    }
    static bool PressedAndReleased(const std::vector<sim::MouseEvent>& events)
    {
        const auto press = FindFrom(events, events.begin(), sim::MouseKind::LeftDown);
        return press != events.end() && FindFrom(events, press, sim::MouseKind::LeftUp) != events.end();
    }
};

TEST_F(ForwardingBounds, TheBoardKeepsTheMouseUntilAClientConnects)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    const std::size_t mark = EventMark();
    PostToDriver(msg::kPipeForwardStart, 0, 0);
    ASSERT_TRUE(AnswersPosted()) << "the driver's window stopped handling posted messages after the start";
    ASSERT_NO_FATAL_FAILURE(StartService(TapForEver(kTapX, kTapY, kTapPauseMs)));
    const std::vector<sim::MouseEvent> events = WaitForEventsSince(mark, PressedAndReleased, kPressDuringTheWaitMs);
    ASSERT_FALSE(events.empty()) << "a start nobody followed up took the mouse from the board";
    ExpectTapAfter(events);

    // A client that comes takes the records from the next one on.
    ASSERT_TRUE(rig_.StartCalibrator("start 0\nnonzero 4\nend 0 1\n")) << rig_.Problem();
    EXPECT_TRUE(WaitForLine(sim::kCalibratorLog, "connected 1")) << Log(sim::kCalibratorLog);
    EXPECT_TRUE(WaitForLine(sim::kCalibratorLog, "script done")) << Log(sim::kCalibratorLog);
    rig_.CloseCalibrator();
    rig_.KillCameraService();

    // An end message after the run still reloads and tells the service.
    ASSERT_TRUE(rig_.RestartCameraService(std::string(), sim::ServiceEnd::Kill)) << rig_.Problem();
    PostToDriver(msg::kPipeForwardEnd, 0, 0);
    EXPECT_TRUE(WaitForServiceLine("msg " + std::to_string(msg::kCalibrationReloaded) + " 0 0"))
        << Log(sim::kCameraServiceLog);
    ExpectFinalTouchWorks();
}

TEST_F(ForwardingBounds, RunWhoseClientVanishesEndsAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    ASSERT_TRUE(rig_.StartCalibrator("start 0\nwait go\nend 0 1\n")) << rig_.Problem();
    ASSERT_TRUE(WaitForLine(sim::kCalibratorLog, "connected 1")) << Log(sim::kCalibratorLog);
    const std::size_t mark = EventMark();
    ASSERT_NO_FATAL_FAILURE(StartService(TapForEver(kTapX, kTapY, kTapPauseMs)));
    // The taps go down the pipe while the client reads.
    const std::string tap = "record 1 01";
    ASSERT_TRUE(sim::WaitUntil([&] { return !LinesStartingWith(sim::kCalibratorLog, tap).empty(); }, e2e::kWaitMs))
        << Log(sim::kCalibratorLog);
    EXPECT_TRUE(EventsSince(mark).empty()) << "touches drove the mouse during the run\n"
                                           << e2e::Describe(EventsSince(mark));

    const long long vanished = sim::NowMicroseconds();
    rig_.KillCalibrator();
    const std::vector<sim::MouseEvent> events =
        WaitForEventsSince(mark, PressedAndReleased, kVanishedClientEndsMs + kTapSlackMs + 5000);
    ASSERT_FALSE(events.empty()) << "touches never drove the mouse again after the client vanished";
    const long long firstMs = (events.front().microseconds - vanished) / 1000;
    EXPECT_LE(firstMs, static_cast<long long>(kVanishedClientEndsMs + kTapSlackMs)) << e2e::Describe(events);
    ExpectTapAfter(events);
    ExpectFinalTouchWorks();
}

TEST_F(ForwardingBounds, ARunWhoseClientStopsReadingForAWhileGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    const std::size_t logMark = sim::ReadWholeFile(common::SupportLogFile::DefaultPath()).size();
    ASSERT_TRUE(rig_.StartCalibrator("start 0\nnonzero 1\nstall\nwait go\nresume\nwait done\nend 0 1\n"))
        << rig_.Problem();
    ASSERT_TRUE(WaitForLine(sim::kCalibratorLog, "connected 1")) << Log(sim::kCalibratorLog);
    const std::size_t mark = EventMark();
    ASSERT_NO_FATAL_FAILURE(StartService(TapForEver(kTapX, kTapY, kTapPauseMs)));
    // The client takes the first tap, then shows a prompt and reads nothing.
    ASSERT_TRUE(WaitForLine(sim::kCalibratorLog, "stalled 1")) << Log(sim::kCalibratorLog);
    const std::string stalled = "Forwarding: the calibration program has read nothing for 5 s";
    ASSERT_TRUE(
        sim::WaitUntil([&] { return SupportLogSince(logMark).find(stalled) != std::string::npos; }, e2e::kWaitMs))
        << "the run did not outlast a stall of a few seconds\n"
        << SupportLogSince(logMark);

    // The prompt answered: the client reads the taps again, its run intact.
    const std::size_t recordsBefore = LinesStartingWith(sim::kCalibratorLog, "record 1 ").size();
    ASSERT_TRUE(rig_.Folder().Write("go", ""));
    ASSERT_TRUE(WaitForLine(sim::kCalibratorLog, "resumed 1")) << Log(sim::kCalibratorLog);
    EXPECT_TRUE(sim::WaitUntil(
        [&] { return LinesStartingWith(sim::kCalibratorLog, "record 1 ").size() > recordsBefore; }, e2e::kWaitMs))
        << Log(sim::kCalibratorLog);
    EXPECT_TRUE(EventsSince(mark).empty()) << "touches drove the mouse during the run\n"
                                           << e2e::Describe(EventsSince(mark));

    // The run ends as the program asks, and the board has the mouse again.
    ASSERT_TRUE(rig_.Folder().Write("done", ""));
    EXPECT_TRUE(WaitForLine(sim::kCalibratorLog, "script done")) << Log(sim::kCalibratorLog);
    const std::vector<sim::MouseEvent> events = WaitForEventsSince(mark, PressedAndReleased);
    ExpectTapAfter(events);
    rig_.CloseCalibrator();
    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
