// Cameras plugged in and pulled out: the driver's window gets the system's
// device-interface notices (sent here as the system would send them, under
// the names the system gives the cameras).
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/DeviceChange.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <windows.h>

namespace e2e {
namespace {

// How long a program start that must not happen is given to show.
constexpr unsigned kNoStartMs = 1500;
constexpr long long kCameraRemoved = 281;

class DeviceChanges : public DriverRun {
protected:
    void Send(sim::DeviceChange change, const std::string& name)
    {
        ASSERT_TRUE(sim::SendDeviceChange(DriverWindow(), change, name, kWaitMs)) << "the driver did not answer";
    }
    std::size_t ServiceStarts() const { return LinesStartingWith(sim::kCameraServiceLog, "start").size(); }
    bool ServiceStartsReach(std::size_t count, unsigned timeoutMs) const
    {
        return sim::WaitUntil([&] { return ServiceStarts() >= count; }, timeoutMs);
    }
    std::size_t RemovalNotices()
    {
        SyncDrawingApp();
        return CountMessages(rig_.DrawingAppMessages(), msg::kBoardEvent, 0, kCameraRemoved);
    }
    std::size_t ServiceReleases() const
    {
        return CountMessages(rig_.CameraServiceMessages(), msg::kServiceRelease, 0, 0);
    }
};

TEST_F(DeviceChanges, ArrivalStartsTheCameraServiceOnlyWhenItIsNotRunning)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{}));
    ASSERT_EQ(ServiceStarts(), 1u);

    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::Arrival, sim::ListedCameraInterfaceName(1)));
    EXPECT_FALSE(ServiceStartsReach(2, kNoStartMs)) << "a second camera service was started";

    rig_.StopCameraService();
    ASSERT_NO_FATAL_FAILURE(
        Send(sim::DeviceChange::Arrival, sim::ListedCameraInterfaceName(2, cameranames::Usb::CompositeFunction)));
    ASSERT_TRUE(ServiceStartsReach(2, kWaitMs)) << Log(sim::kCameraServiceLog);
    EXPECT_TRUE(sim::WaitForWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, kWaitMs));
}

TEST_F(DeviceChanges, OtherDevicesAndOtherSpellingsChangeNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{}));
    rig_.StopCameraService();
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::Arrival, sim::UnlistedCameraInterfaceName()));
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::Arrival, sim::LowerCasePrefixInterfaceName(0)));
    EXPECT_FALSE(ServiceStartsReach(2, kNoStartMs)) << "started for a device that is not a listed camera";

    ASSERT_TRUE(rig_.RestartCameraService(std::string())) << rig_.Problem();
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::RemoveComplete, sim::UnlistedCameraInterfaceName()));
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::RemoveComplete, sim::LowerCasePrefixInterfaceName(3)));
    EXPECT_EQ(ServiceReleases(), 0u);
    EXPECT_EQ(RemovalNotices(), 0u);
}

TEST_F(DeviceChanges, RemovalTellsTheServiceWhenItRunsAndTheDrawingAppAlways)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{}));
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::RemoveComplete, sim::ListedCameraInterfaceName(3)));
    // Sent, so it is in the log once the driver has answered the notice.
    EXPECT_EQ(ServiceReleases(), 1u) << Log(sim::kCameraServiceLog);
    EXPECT_EQ(RemovalNotices(), 1u);

    rig_.StopCameraService();
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::RemoveComplete,
                                 sim::ListedCameraInterfaceName(0, cameranames::Usb::CompositeFunction)));
    EXPECT_EQ(RemovalNotices(), 2u);
    EXPECT_EQ(ServiceReleases(), 1u);
}

TEST_F(DeviceChanges, ArrivalAndRemovalOfAListedCameraEndTheSocketMode)
{
    ASSERT_NO_FATAL_FAILURE(StartIdle(PeerSetup{"e2e-WBInit.ini", true, true}));
    PostRegistered(msg::kRegisteredDriverSet, 30, 6);
    ASSERT_EQ(AskSocketMode(), 1);
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::Arrival, sim::ListedCameraInterfaceName(0)));
    EXPECT_EQ(AskSocketMode(), 0);

    PostRegistered(msg::kRegisteredDriverSet, 30, 7);
    ASSERT_EQ(AskSocketMode(), 1);
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::Arrival, sim::UnlistedCameraInterfaceName()));
    EXPECT_EQ(AskSocketMode(), 1);
    ASSERT_NO_FATAL_FAILURE(Send(sim::DeviceChange::RemoveComplete, sim::ListedCameraInterfaceName(1)));
    EXPECT_EQ(AskSocketMode(), 0);
}

} // namespace
} // namespace e2e
