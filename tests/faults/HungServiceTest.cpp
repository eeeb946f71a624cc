// A camera service whose window hangs when the driver tells it something:
// the driver's sends to it are bounded, so the driver's window goes on
// handling posted messages and touches go on driving the mouse.
#include "FaultRun.h"

#include "common/Messages.h"
#include "sim/DeviceChange.h"
#include "sim/LineLog.h"

#include <windows.h>

namespace faults {
namespace {

// The driver gives up a send to a program whose window does not answer
// after this.
constexpr unsigned kSendBoundMs = 1000;
// How long a device-change notice may keep the sender waiting while the
// camera service hangs: the send bound and the driver's own work.
constexpr unsigned kDeviceChangeAnsweredMs = 3000;
// The test's own limit for that notice, well beyond the bound, so that a
// driver that never gives up is told apart from a slow one.
constexpr unsigned kDeviceChangeGivenUpMs = 15000;

// Where the touch lands that comes while the service hangs (camera units).
constexpr int kTouchX = 1200;
constexpr int kTouchY = 600;

class HungService : public FaultRun {
protected:
    // The service arms a hang on `message`, then waits for that message
    // (after which its window hangs) and plays a tap.
    void StartServiceHangingOn(unsigned message)
    {
        const std::string number = std::to_string(message);
        ASSERT_NO_FATAL_FAILURE(
            StartService("hang-on " + number + "\nawait " + number + " 30000\n" + Tap(kTouchX, kTouchY)));
        ASSERT_TRUE(WaitForServiceLine("script hang-on " + number)) << Log(sim::kCameraServiceLog);
    }
    // What must hold while the service hangs: posted messages are handled
    // and the tap the hung service plays presses and releases.
    void ExpectDriverUnhindered(std::size_t mark)
    {
        EXPECT_TRUE(AnswersPosted()) << "the driver's window stopped handling posted messages";
        const std::string ending = WaitForScriptEnd();
        EXPECT_EQ(ending.compare(0, 12, "script done "), 0) << Log(sim::kCameraServiceLog);
        const std::vector<sim::MouseEvent> events = WaitForEventsSince(
            mark, [](const std::vector<sim::MouseEvent>& seen) { return Count(seen, sim::MouseKind::LeftUp) >= 1; });
        ASSERT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
        EXPECT_TRUE(e2e::Near(events.front(), e2e::ScreenX(kTouchX), e2e::ScreenY(kTouchY))) << e2e::Describe(events);
    }
};

TEST_F(HungService, HangOnCalibrationReloadedLeavesTheDriverAnswering)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    ASSERT_NO_FATAL_FAILURE(StartServiceHangingOn(msg::kCalibrationReloaded));
    const std::size_t mark = EventMark();

    // The end of a calibration run: the driver reloads and tells the service.
    PostToDriver(msg::kPipeForwardEnd, 0, 0);
    ASSERT_TRUE(WaitForServiceLine("msg " + std::to_string(msg::kCalibrationReloaded) + " 0 0"))
        << "the driver did not tell the camera service\n"
        << Log(sim::kCameraServiceLog);

    ExpectDriverUnhindered(mark);
    ExpectFinalTouchWorks();
}

TEST_F(HungService, HangOnServiceReleaseLeavesTheDriverAnswering)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    ASSERT_NO_FATAL_FAILURE(StartServiceHangingOn(msg::kServiceRelease));
    const std::size_t mark = EventMark();

    // A listed camera pulled out: the driver tells the service, which hangs.
    const long long sent = sim::NowMicroseconds();
    const bool answered = sim::SendDeviceChange(DriverWindow(), sim::DeviceChange::RemoveComplete,
                                                sim::ListedCameraInterfaceName(0), kDeviceChangeGivenUpMs);
    const long long tookMs = (sim::NowMicroseconds() - sent) / 1000;
    EXPECT_TRUE(answered) << "the driver did not answer the removal within " << kDeviceChangeGivenUpMs << " ms";
    EXPECT_LE(tookMs, static_cast<long long>(kDeviceChangeAnsweredMs))
        << "the removal notice took " << tookMs << " ms; sends are bounded at " << kSendBoundMs << " ms";
    EXPECT_TRUE(WaitForServiceLine("msg " + std::to_string(msg::kServiceRelease) + " 0 0"))
        << "the driver did not tell the camera service\n"
        << Log(sim::kCameraServiceLog);

    ExpectDriverUnhindered(mark);
    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
