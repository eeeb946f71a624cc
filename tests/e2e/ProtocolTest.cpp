// The registered messages and the board-key switch, as other programs of
// the suite use them.
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/DeviceChange.h"
#include "sim/Waiting.h"

#include <windows.h>

namespace e2e {
namespace {

constexpr long long kConnectedNotice = 2321;

class Protocol : public DriverRun {
protected:
    std::size_t Notices(unsigned long long cameraCode)
    {
        SyncDrawingApp();
        return CountMessages(rig_.DrawingAppMessages(), msg::kBoardEvent, cameraCode, kConnectedNotice);
    }
    bool WaitForNotices(unsigned long long cameraCode, std::size_t count)
    {
        return sim::WaitUntil(
            [&] {
                return CountMessages(rig_.DrawingAppMessages(), msg::kBoardEvent, cameraCode, kConnectedNotice) >=
                       count;
            },
            kWaitMs);
    }
    // Posts "CvOK" and waits until the driver has handled it.
    void AskForTheNotice()
    {
        PostRegistered(msg::kRegisteredOk, 0, 0);
        ASSERT_NE(AskSocketMode(), -1);
    }
};

TEST_F(Protocol, CvOkRepeatsTheCameraNoticeOnlyOnceACameraReported)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{"e2e-WBInit.ini", false, true}));
    ASSERT_NO_FATAL_FAILURE(AskForTheNotice());
    EXPECT_EQ(Notices(10), 0u);
    EXPECT_EQ(Notices(0), 0u);

    ASSERT_NO_FATAL_FAILURE(PlayScript("event 4\n"));
    ASSERT_TRUE(WaitForNotices(10, 1)) << Log(sim::kDrawingAppLog);
    ASSERT_NO_FATAL_FAILURE(AskForTheNotice());
    EXPECT_TRUE(WaitForNotices(10, 2)) << Log(sim::kDrawingAppLog);

    // A removed camera takes the notice back; the next report of the other
    // kind brings it again, with that kind's code.
    ASSERT_TRUE(sim::SendDeviceChange(DriverWindow(), sim::DeviceChange::RemoveComplete,
                                      sim::ListedCameraInterfaceName(0), kWaitMs));
    ASSERT_NO_FATAL_FAILURE(PlayScript("event 3\n"));
    ASSERT_TRUE(WaitForNotices(0, 1)) << Log(sim::kDrawingAppLog);
    ASSERT_NO_FATAL_FAILURE(AskForTheNotice());
    EXPECT_TRUE(WaitForNotices(0, 2)) << Log(sim::kDrawingAppLog);
    EXPECT_EQ(Notices(10), 2u);
}

TEST_F(Protocol, SetUseKeySwitchesTheBoardKeysOnlyWithWParamOne)
{
    // Board key 0 of keys-WBInit.ini (camera 170, 1900) posts code 25.
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{"e2e-keys-WBInit.ini", false, true}));
    const std::string touchKey0 = "down 170 1900\nhold 170 1900 2\nup 170 1900\n";
    auto keyEvents = [this] {
        SyncDrawingApp();
        return CountMessages(rig_.DrawingAppMessages(), msg::kBoardEvent, 25, 0);
    };
    auto countPresses = [](const std::vector<sim::MouseEvent>& events) {
        std::size_t found = 0;
        for (const sim::MouseEvent& event : events) found += event.kind == sim::MouseKind::LeftDown;
        return found;
    };
    auto presses = [&](std::size_t count) {
        return countPresses(
            WaitForEvents([&](const std::vector<sim::MouseEvent>& events) { return countPresses(events) >= count; }));
    };
    auto switchKeys = [this](WPARAM wParam, LPARAM lParam) {
        PostToDriver(msg::kSetUseKey, wParam, lParam);
        ASSERT_NE(AskSocketMode(), -1);
    };

    ASSERT_NO_FATAL_FAILURE(PlayScript(touchKey0));
    EXPECT_EQ(presses(1), 1u);
    EXPECT_EQ(keyEvents(), 0u);

    ASSERT_NO_FATAL_FAILURE(switchKeys(1, 1));
    ASSERT_NO_FATAL_FAILURE(PlayScript(touchKey0));
    ASSERT_TRUE(sim::WaitUntil([&] { return keyEvents() == 1; }, kWaitMs)) << Log(sim::kDrawingAppLog);

    ASSERT_NO_FATAL_FAILURE(switchKeys(0, 0)); // not a switch request: the keys stay on
    ASSERT_NO_FATAL_FAILURE(PlayScript(touchKey0));
    ASSERT_TRUE(sim::WaitUntil([&] { return keyEvents() == 2; }, kWaitMs)) << Log(sim::kDrawingAppLog);
    EXPECT_EQ(countPresses(InjectedEvents(rig_.MouseEvents())), 1u) << Describe(InjectedEvents(rig_.MouseEvents()));

    ASSERT_NO_FATAL_FAILURE(switchKeys(1, 0));
    ASSERT_NO_FATAL_FAILURE(PlayScript(touchKey0));
    EXPECT_EQ(presses(2), 2u);
    EXPECT_EQ(keyEvents(), 2u);
}

} // namespace
} // namespace e2e
