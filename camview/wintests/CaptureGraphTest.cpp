// The capture graph in this process against the fake camera.
#include "CaptureGraph.h"
#include "FakeCameraRegistry.h"

#include "common/CameraIds.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/TextForms.h"
#include "sim/Waiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace camview::e2e {
namespace {

using sim::CountLines;

// How long the fake camera may take to deliver a frame.
constexpr unsigned kFrameTimeoutMs = 5000;

std::wstring ListedPath(int viewToolEntry)
{
    const auto& model = product::kCameraModels[product::kViewToolCameraModels[viewToolEntry]];
    return fakecamera::UsbDevicePath(product::UpperHardwareId(model).data());
}

class CaptureGraphWithFakeCamera : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakecamera::UnregisterFakeCamera();
        DeleteFileA(cameraLog_.c_str());
        ASSERT_TRUE(fakecamera::RegisterFakeCameraClass(sim::WidePath(cameraDll_)));
    }
    void TearDown() override
    {
        graph_.TearDownGraph();
        fakecamera::UnregisterFakeCamera();
    }

    CapturedFrame GrabUntilFrame()
    {
        CapturedFrame frame;
        sim::WaitUntil([&] { return graph_.GrabFrame(frame, keepWaiting_) == GrabResult::Frame; }, kFrameTimeoutMs);
        return frame;
    }

    std::string cameraDll_ = sim::BuiltPath(FAKE_CAMERA_DLL);
    std::string cameraLog_ = sim::FolderOf(cameraDll_) + fakecamera::kLogFileName;
    std::atomic<int> keepWaiting_{1};
    CaptureGraph graph_;
};

TEST_F(CaptureGraphWithFakeCamera, FindsTheListedCameraOfEachGeneration)
{
    for (int entry = 0; entry < 6; ++entry) {
        ASSERT_TRUE(fakecamera::AddFakeCameraDevice(L"camera", ListedPath(entry)));
        CaptureGraph graph;
        EXPECT_EQ(graph.FindDevice(), 1) << entry;
        EXPECT_EQ(graph.Generation(), entry < 3 ? CameraGeneration::First : CameraGeneration::Second) << entry;
        graph.TearDownGraph();
    }
}

TEST_F(CaptureGraphWithFakeCamera, CountsEveryListedCameraAndSkipsOthers)
{
    ASSERT_TRUE(fakecamera::AddFakeCameraDevice(L"a-unlisted", fakecamera::UsbDevicePath("VID_0000&PID_0000")));
    ASSERT_TRUE(fakecamera::AddFakeCameraDevice(L"b-second-generation", ListedPath(4)));
    ASSERT_TRUE(fakecamera::AddFakeCameraDevice(L"c-first-generation", ListedPath(1)));
    EXPECT_EQ(graph_.FindDevice(), 2);
    EXPECT_EQ(graph_.Generation(), CameraGeneration::Second);
}

TEST_F(CaptureGraphWithFakeCamera, OnlyUnlistedDevicesGiveZero)
{
    ASSERT_TRUE(fakecamera::AddFakeCameraDevice(L"camera", fakecamera::UsbDevicePath("VID_0000&PID_0000")));
    EXPECT_EQ(graph_.FindDevice(), 0);
}

TEST_F(CaptureGraphWithFakeCamera, NoVideoInputDevicesGiveMinusOne)
{
    EXPECT_EQ(graph_.FindDevice(), -1);
}

TEST_F(CaptureGraphWithFakeCamera, DeliversLive320By240FramesAndSetsProperties)
{
    ASSERT_TRUE(fakecamera::AddFakeCameraDevice(L"camera", ListedPath(3)));
    ASSERT_EQ(graph_.FindDevice(), 1);
    graph_.BuildGraph();
    EXPECT_EQ(CountLines(cameraLog_, "Connect 320x240"), 1);
    EXPECT_EQ(CountLines(cameraLog_, "VideoProcAmp.Set Gamma 140 1"), 1);

    const CapturedFrame first = GrabUntilFrame();
    ASSERT_EQ(first.width, 320);
    ASSERT_EQ(first.height, 240);
    ASSERT_EQ(first.bytes, 320u * 240u * 3u);
    // The fake camera's picture moves, so a live view sees it change.
    CapturedFrame later;
    EXPECT_TRUE(sim::WaitUntil(
        [&] {
            return graph_.GrabFrame(later, keepWaiting_) == GrabResult::Frame &&
                   !std::equal(first.pixels.begin(), first.pixels.begin() + first.bytes, later.pixels.begin());
        },
        kFrameTimeoutMs));

    graph_.SetBrightness(BrightnessSetting(CameraGeneration::Second, 184));
    EXPECT_EQ(CountLines(cameraLog_, "VideoProcAmp.Set Gamma 71 1"), 1);

    graph_.TearDownGraph();
    EXPECT_EQ(CountLines(cameraLog_, "Stop"), 1);
    EXPECT_EQ(graph_.GrabFrame(later, keepWaiting_), GrabResult::Ended);
}

TEST_F(CaptureGraphWithFakeCamera, FirstGenerationBrightnessIsExposure)
{
    ASSERT_TRUE(fakecamera::AddFakeCameraDevice(L"camera", ListedPath(0)));
    ASSERT_EQ(graph_.FindDevice(), 1);
    graph_.BuildGraph();
    EXPECT_EQ(CountLines(cameraLog_, "VideoProcAmp.Set Gamma 140 1"), 0);
    graph_.SetBrightness(BrightnessSetting(CameraGeneration::First, 1));
    graph_.SetBrightness(BrightnessSetting(CameraGeneration::First, 9));
    EXPECT_EQ(CountLines(cameraLog_, "CameraControl.Set Exposure -13 2"), 1);
    EXPECT_EQ(CountLines(cameraLog_, "CameraControl.Set Exposure -5 2"), 2) << "starting value, then slider at 9";
}

TEST_F(CaptureGraphWithFakeCamera, WaitingForAFirstFrameStopsWhenAsked)
{
    // Registered but never built: no frame will come.
    ASSERT_TRUE(fakecamera::AddFakeCameraDevice(L"camera", ListedPath(0)));
    ASSERT_EQ(graph_.FindDevice(), 1);
    keepWaiting_ = 0;
    CapturedFrame frame;
    EXPECT_EQ(graph_.GrabFrame(frame, keepWaiting_), GrabResult::Ended);
}

} // namespace
} // namespace camview::e2e
