// A pointer that is down while its camera service falls silent (crashed, or
// hung holding the block's lock) is released once, by the silence bound.
#include "FaultRun.h"

#include "sim/Waiting.h"

namespace faults {
namespace {

// A down pointer whose contact samples stop for longer than this is released.
constexpr unsigned kSilenceBoundMs = 500;
// How early a release may come before the bound and still count as keeping
// it: the clocks of the driver and of the recorder tick in milliseconds.
constexpr unsigned kSilenceToleranceMs = 50;
// How long after the last sample the release may take to show.
constexpr unsigned kSilenceReleaseWithinMs = 3000;
// How long a second release is looked for once the first has come.
constexpr unsigned kSecondReleaseWatchMs = 1500;

// A press and a few moves along y = 800, then the service's fault.
std::string StrokeThen(const std::string& fault)
{
    return "down 1000 800\nline 1000 800 1400 800 6\n" + fault + "\n";
}

class Silence : public FaultRun {
protected:
    // The release that ends a stroke whose samples stopped: exactly one, in
    // the bound's time after the last move.
    void ExpectOneSilenceRelease(std::size_t mark)
    {
        const auto released = [](const std::vector<sim::MouseEvent>& seen) {
            return Count(seen, sim::MouseKind::LeftUp) >= 1;
        };
        std::vector<sim::MouseEvent> events = WaitForEventsSince(mark, released, kSilenceReleaseWithinMs + 1000);
        ASSERT_EQ(Count(events, sim::MouseKind::LeftDown), 1) << "the stroke was not pressed\n"
                                                              << e2e::Describe(events);
        ASSERT_TRUE(released(events)) << "a pointer left down by a silent camera service was never released\n"
                                      << e2e::Describe(events);
        const auto release = FindFrom(events, events.begin(), sim::MouseKind::LeftUp);
        ASSERT_NE(release, events.begin()) << e2e::Describe(events);
        const auto lastSample = release - 1;
        const long long silenceMs = (release->microseconds - lastSample->microseconds) / 1000;
        EXPECT_GE(silenceMs, static_cast<long long>(kSilenceBoundMs - kSilenceToleranceMs))
            << "released before the samples had stopped for the bound\n"
            << e2e::Describe(events);
        EXPECT_LE(silenceMs, static_cast<long long>(kSilenceReleaseWithinMs)) << e2e::Describe(events);

        EXPECT_FALSE(sim::WaitUntil([&] { return Count(EventsSince(mark), sim::MouseKind::LeftUp) >= 2; },
                                    kSecondReleaseWatchMs))
            << "released more than once\n"
            << e2e::Describe(EventsSince(mark));
        events = EventsSince(mark);
        EXPECT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
    }
};

TEST_F(Silence, ServiceKilledMidStrokeReleasesThePointerOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    const std::size_t mark = EventMark();
    ASSERT_NO_FATAL_FAILURE(StartService(StrokeThen("die")));
    ASSERT_TRUE(WaitForServiceLine("script die")) << Log(sim::kCameraServiceLog);

    ExpectOneSilenceRelease(mark);
    ExpectFinalTouchWorks();
}

TEST_F(Silence, ServiceHungHoldingTheLockReleasesThePointerOnceAndTheWindowAnswers)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    const std::size_t mark = EventMark();
    ASSERT_NO_FATAL_FAILURE(StartService(StrokeThen("hang-lock")));
    ASSERT_TRUE(WaitForServiceLine("script hang-lock")) << Log(sim::kCameraServiceLog);

    EXPECT_TRUE(AnswersPosted()) << "the driver's window stopped handling posted messages while the lock was held";
    ExpectOneSilenceRelease(mark);
    EXPECT_TRUE(rig_.Driver().Running());

    // Killed while it owns the lock: the mutex is abandoned, and the next
    // service must still reach the driver.
    rig_.KillCameraService();
    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
