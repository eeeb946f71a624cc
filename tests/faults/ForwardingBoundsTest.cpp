// A forwarding run of the calibration program that never gets its client,
// or whose client vanishes, ends by itself: the board does not stay dead.
#include "FaultRun.h"

#include "common/Messages.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

namespace faults {
namespace {

// A run whose client has stopped reading ends this long after the last
// record it took, give or take the writes' own bound...
constexpr unsigned kStalledClientBoundMs = 5000;
// ...and a tap's pause and the end of the write in flight.
constexpr unsigned kStallSlackMs = 2000;
// A run whose client has not connected ends by itself after at most this...
constexpr unsigned kPipeClientBoundMaxMs = 15000;
// ...and not before this, so a slow calibration program still gets through.
constexpr unsigned kPipeClientBoundMinMs = 10000;
// A run whose connected client has gone (no end message) ends this soon.
constexpr unsigned kVanishedClientEndsMs = 3000;
// The pause between the taps that look for the end of a run; the end is
// seen at most one tap late.
constexpr unsigned kTapPauseMs = 200;
constexpr unsigned kTapSlackMs = 1000;

constexpr int kTapX = 1600;
constexpr int kTapY = 1200;

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

TEST_F(ForwardingBounds, RunWhoseClientNeverConnectsEndsByItself)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    const std::size_t mark = EventMark();
    const long long announced = sim::NowMicroseconds();
    PostToDriver(msg::kPipeForwardStart, 0, 0);
    ASSERT_TRUE(AnswersPosted()) << "the driver's window stopped handling posted messages after the start";
    // Taps all along: none may reach the desktop while the run lasts.
    ASSERT_NO_FATAL_FAILURE(StartService(TapForEver(kTapX, kTapY, kTapPauseMs)));

    const std::vector<sim::MouseEvent> events =
        WaitForEventsSince(mark, PressedAndReleased, kPipeClientBoundMaxMs + kTapSlackMs + 2000);
    ASSERT_FALSE(events.empty()) << "touches never drove the mouse again: the announced run did not end by itself";
    const long long firstMs = (events.front().microseconds - announced) / 1000;
    EXPECT_GE(firstMs, static_cast<long long>(kPipeClientBoundMinMs))
        << "touches drove the mouse " << firstMs << " ms after the start, while the run was still announced\n"
        << e2e::Describe(events);
    EXPECT_LE(firstMs, static_cast<long long>(kPipeClientBoundMaxMs + kTapSlackMs)) << e2e::Describe(events);
    ExpectTapAfter(events);
    rig_.KillCameraService();

    // The run's end needs no end message, but one that comes later is
    // still a calibration end: the service is told of the reload.
    ASSERT_TRUE(rig_.RestartCameraService(std::string(), sim::ServiceEnd::Kill)) << rig_.Problem();
    PostToDriver(msg::kPipeForwardEnd, 0, 0);
    EXPECT_TRUE(WaitForServiceLine("msg " + std::to_string(msg::kCalibrationReloaded) + " 0 0"))
        << Log(sim::kCameraServiceLog);

    // And a later run of a real client works.
    ASSERT_TRUE(rig_.StartCalibrator("start 0\nrecords 3\nend 0 1\n")) << rig_.Problem();
    EXPECT_TRUE(WaitForLine(sim::kCalibratorLog, "connected 1")) << Log(sim::kCalibratorLog);
    EXPECT_TRUE(WaitForLine(sim::kCalibratorLog, "script done")) << Log(sim::kCalibratorLog);
    rig_.CloseCalibrator();
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

TEST_F(ForwardingBounds, RunWhoseClientStopsReadingEndsAfterTheStallBound)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    ASSERT_TRUE(rig_.StartCalibrator("start 0\nnonzero 1\nstall\nwait go\nend 0 1\n")) << rig_.Problem();
    ASSERT_TRUE(WaitForLine(sim::kCalibratorLog, "connected 1")) << Log(sim::kCalibratorLog);
    const std::size_t mark = EventMark();
    ASSERT_NO_FATAL_FAILURE(StartService(TapForEver(kTapX, kTapY, kTapPauseMs)));
    // The client takes the first tap, then hangs with the pipe open.
    ASSERT_TRUE(WaitForLine(sim::kCalibratorLog, "stalled 1")) << Log(sim::kCalibratorLog);
    const long long stalled = sim::NowMicroseconds();

    const std::vector<sim::MouseEvent> events =
        WaitForEventsSince(mark, PressedAndReleased, kStalledClientBoundMs + kStallSlackMs + 5000);
    ASSERT_FALSE(events.empty()) << "touches never drove the mouse again while the client did not read";
    const long long firstMs = (events.front().microseconds - stalled) / 1000;
    EXPECT_LE(firstMs, static_cast<long long>(kStalledClientBoundMs + kStallSlackMs)) << e2e::Describe(events);
    ExpectTapAfter(events);
    ASSERT_TRUE(rig_.Folder().Write("go", ""));
    rig_.KillCalibrator();
    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
