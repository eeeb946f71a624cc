// Which capture devices are the driver's cameras, and what their arrival and
// removal set off.
#include "DriverFakes.h"

#include "common/CameraIds.h"
#include "common/Messages.h"
#include "driver/CaptureDeviceWatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace driver {
namespace {

using testing::FakeDesktop;
using testing::PostedMessage;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// An interface name as the system reports it, with the id spelled by `format`.
std::string DeviceName(const char* format, std::uint16_t vendorId) {
    char id[32];
    std::snprintf(id, sizeof id, format, static_cast<unsigned>(vendorId),
                  static_cast<unsigned>(product::kCameraProductId));
    return std::string("\\\\?\\USB#") + id + "#6&1234&0&2#{65e8773d-8f56-11d0-a3b9-00a0c9223196}";
}

std::string DriverDeviceName(std::size_t entry) {
    return DeviceName("VID_%4x&PID_%4x",
                      product::kCameraModels[static_cast<std::size_t>(product::kDriverCameraModels[entry])].vendorId);
}

class CaptureDeviceWatchTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    DriverState state;
    CaptureDeviceWatch watch{desktop, state};
};

TEST_F(CaptureDeviceWatchTest, EachDriverModelMatchesWithItsKind) {
    const int kinds[] = {1, 2, 2, 1};
    for (std::size_t entry = 0; entry < 4; ++entry) {
        state.cameraKind = 0;
        state.socketMode = 1;
        EXPECT_TRUE(watch.Match(DriverDeviceName(entry))) << entry;
        EXPECT_EQ(state.cameraKind, kinds[entry]) << entry;
        EXPECT_EQ(state.socketMode, 0) << entry;
    }
}

TEST_F(CaptureDeviceWatchTest, OtherDevicesAndSpellingsDoNotMatch) {
    state.socketMode = 1;
    // Models the driver does not list.
    for (int model : {0, 1}) {
        EXPECT_FALSE(watch.Match(DeviceName("VID_%4x&PID_%4x", product::kCameraModels[model].vendorId))) << model;
    }
    const std::uint16_t vendor = product::kCameraModels[product::kDriverCameraModels[0]].vendorId;
    EXPECT_FALSE(watch.Match(DeviceName("vid_%4x&pid_%4x", vendor))) << "the prefix letters are compared as cased";
    EXPECT_FALSE(watch.Match(DeviceName("VID_%04x&PID_%04x", 0x0ac8))) << "an unlisted zero-padded id";
    EXPECT_FALSE(watch.Match(""));
    EXPECT_FALSE(watch.Match("\\\\?\\USB#"));
    EXPECT_FALSE(watch.Match(DriverDeviceName(0).substr(0, 20))) << "a cut-off id";
    EXPECT_EQ(state.cameraKind, 0);
    EXPECT_EQ(state.socketMode, 1);
}

TEST_F(CaptureDeviceWatchTest, ArrivalStartsTheServiceOnlyWhenAbsent) {
    watch.OnArrival(DriverDeviceName(1));
    EXPECT_THAT(desktop.programStarts, ElementsAre(std::make_pair(std::string("C:\\Board\\"),
                                                                  std::string(wnd::kCameraServiceProgram))));
    desktop.AddWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    watch.OnArrival(DriverDeviceName(2));
    EXPECT_EQ(desktop.programStarts.size(), 1u);
}

TEST_F(CaptureDeviceWatchTest, ArrivalOfAnotherDeviceDoesNothing) {
    watch.OnArrival("\\\\?\\USB#VID_1234&PID_5678#x");
    EXPECT_THAT(desktop.programStarts, IsEmpty());
}

TEST_F(CaptureDeviceWatchTest, RemovalReleasesTheServiceAndTellsTheDrawingApp) {
    const WindowRef service = desktop.AddWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    const WindowRef drawing = desktop.AddWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    state.connectNoticeSent = 1;
    watch.OnRemoval(DriverDeviceName(3));
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{service, msg::kServiceRelease, 0, 0},
                                           PostedMessage{drawing, msg::kBoardEvent, 0, 281}));
    EXPECT_EQ(state.connectNoticeSent, 0);
    EXPECT_EQ(state.cameraKind, 1);
}

TEST_F(CaptureDeviceWatchTest, RemovalWithoutServiceStillClearsTheNotice) {
    state.connectNoticeSent = 1;
    watch.OnRemoval(DriverDeviceName(0));
    EXPECT_THAT(desktop.posts, ElementsAre(PostedMessage{0, msg::kBoardEvent, 0, 281}));
    EXPECT_EQ(state.connectNoticeSent, 0);

    state.connectNoticeSent = 1;
    watch.OnRemoval("\\\\?\\USB#VID_1234&PID_5678#x");
    EXPECT_EQ(state.connectNoticeSent, 1);
}

} // namespace
} // namespace driver
