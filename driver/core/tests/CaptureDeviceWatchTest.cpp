// Which capture devices are the driver's cameras, and what their arrival and
// removal set off.
#include "DriverFakes.h"

#include "common/CameraIds.h"
#include "common/Messages.h"
#include "driver/CaptureDeviceWatch.h"
#include "testsupport/CameraDeviceNames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace driver {
namespace {

using cameranames::CaptureInterfaceName;
using cameranames::DriverEntryVendor;
using cameranames::Usb;
using ::testing::ElementsAre;
using testing::FakeDesktop;
using ::testing::IsEmpty;
using testing::PostedMessage;

// The interface name the system reports for the driver's listed camera.
std::string DriverDeviceName(std::size_t entry, Usb usb = Usb::Whole)
{
    return CaptureInterfaceName(DriverEntryVendor(entry), product::kCameraProductId, usb);
}

class CaptureDeviceWatchTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    DriverState state;
    testing::RecordingFaultLog faults;
    CaptureDeviceWatch watch{desktop, state, faults};
};

TEST_F(CaptureDeviceWatchTest, EachDriverModelMatchesWithItsKind)
{
    const int kinds[] = {1, 2, 2, 1};
    for (Usb usb : {Usb::Whole, Usb::CompositeFunction}) {
        for (std::size_t entry = 0; entry < 4; ++entry) {
            const std::string name = DriverDeviceName(entry, usb);
            state.cameraKind = 0;
            state.socketRouting = SocketRouting::HalfSplit;
            EXPECT_TRUE(watch.Match(name)) << name;
            EXPECT_EQ(state.cameraKind, kinds[entry]) << name;
            EXPECT_EQ(state.socketRouting, SocketRouting::Off) << name;
        }
    }
}

TEST_F(CaptureDeviceWatchTest, OtherDevicesAndSpellingsDoNotMatch)
{
    state.socketRouting = SocketRouting::PairSplit;
    // Models the driver does not list.
    for (int model : {0, 1}) {
        const std::string name = CaptureInterfaceName(cameranames::ModelVendor(model));
        EXPECT_FALSE(watch.Match(name)) << name;
    }
    const std::uint16_t listed = DriverEntryVendor(0);
    const std::uint16_t unlisted = cameranames::UnlistedVendor();
    const std::uint16_t otherProduct = static_cast<std::uint16_t>(product::kCameraProductId ^ 0x0100);
    for (const std::string& name : {
             // The same interface as enumerated, all in lower case: the
             // prefix letters are compared as cased.
             cameranames::Lower(DriverDeviceName(0)),
             CaptureInterfaceName(unlisted),
             CaptureInterfaceName(listed, otherProduct),
             std::string(""),
             std::string("\\\\?\\USB#"),
             DriverDeviceName(0).substr(0, 24), // one character of the id short
             // A capture device the system made up itself.
             std::string("\\\\?\\ROOT#IMAGE#0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\GLOBAL"),
         }) {
        EXPECT_FALSE(watch.Match(name)) << name;
    }
    EXPECT_EQ(state.cameraKind, 0);
    EXPECT_EQ(state.socketRouting, SocketRouting::PairSplit);
}

TEST_F(CaptureDeviceWatchTest, ArrivalStartsTheServiceOnlyWhenAbsent)
{
    watch.OnArrival(DriverDeviceName(1));
    EXPECT_THAT(desktop.programStarts,
                ElementsAre(std::make_pair(std::string("C:\\Board\\"), std::string(wnd::kCameraServiceProgram))));
    desktop.AddWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    watch.OnArrival(DriverDeviceName(2));
    EXPECT_EQ(desktop.programStarts.size(), 1u);
}

TEST_F(CaptureDeviceWatchTest, ArrivalOfAnotherDeviceDoesNothing)
{
    watch.OnArrival(CaptureInterfaceName(cameranames::UnlistedVendor()));
    EXPECT_THAT(desktop.programStarts, IsEmpty());
}

TEST_F(CaptureDeviceWatchTest, RemovalReleasesTheServiceAndTellsTheDrawingApp)
{
    const WindowRef service = desktop.AddWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    const WindowRef drawing = desktop.AddWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    state.connectNoticeSent = 1;
    watch.OnRemoval(DriverDeviceName(3));
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{service, msg::kServiceRelease, 0, 0},
                                           PostedMessage{drawing, msg::kBoardEvent, 0, 281}));
    EXPECT_EQ(state.connectNoticeSent, 0);
    EXPECT_EQ(state.cameraKind, 1);
}

TEST_F(CaptureDeviceWatchTest, RemovalWithoutServiceStillClearsTheNotice)
{
    state.connectNoticeSent = 1;
    watch.OnRemoval(DriverDeviceName(0));
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{0, msg::kBoardEvent, 0, 281}));
    EXPECT_EQ(state.connectNoticeSent, 0);

    state.connectNoticeSent = 1;
    watch.OnRemoval(CaptureInterfaceName(cameranames::UnlistedVendor()));
    EXPECT_EQ(state.connectNoticeSent, 1);
}

TEST_F(CaptureDeviceWatchTest, TheCameraComingAndGoingIsReportedForTheEventLog)
{
    const std::string other = CaptureInterfaceName(cameranames::UnlistedVendor());
    watch.OnArrival(other);
    watch.OnRemoval(other);
    EXPECT_THAT(faults.events, IsEmpty()) << "another device is no news for IT staff";

    watch.OnArrival(DriverDeviceName(1));
    watch.OnRemoval(DriverDeviceName(1, Usb::CompositeFunction));
    ASSERT_EQ(faults.events.size(), 2u);
    EXPECT_EQ(faults.events[0].id, common::EventId::CameraArrived);
    EXPECT_EQ(faults.events[0].level, common::EventLevel::Information);
    EXPECT_THAT(faults.events[0].inserts, ElementsAre(DriverDeviceName(1)));
    EXPECT_EQ(faults.events[1].id, common::EventId::CameraLeft);
    EXPECT_EQ(faults.events[1].level, common::EventLevel::Warning);
    EXPECT_THAT(faults.events[1].inserts, ElementsAre(DriverDeviceName(1, Usb::CompositeFunction)));
    EXPECT_THAT(faults.lines, IsEmpty()) << "the support log says nothing new";
}

} // namespace
} // namespace driver
