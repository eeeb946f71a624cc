// The camera loan in this process against the fake camera and the stand-in
// camera service: the camera is given back as it was, and the service is
// started again exactly when it ran.
#include "CameraLoan.h"
#include "FakeCameraRegistry.h"

#include "camview/CameraProperties.h"
#include "common/CameraIds.h"
#include "common/Messages.h"
#include "sim/ChildProcess.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/TextForms.h"
#include "sim/Waiting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace camview::loan_e2e {
namespace {

constexpr unsigned kStartTimeoutMs = 20000;
constexpr unsigned kFrameWaitMs = 2000;
// How long a camera service that should not come back is looked for.
constexpr unsigned kNoRestartWindowMs = 3000;
constexpr auto kShortPause = std::chrono::milliseconds(100);

// "VideoProcAmp.Get Gamma", as the fake camera logs a call.
std::string CallLine(const PropertySetting& setting, const char* call)
{
    static const char* const amp[] = {"Brightness",  "Contrast",     "Hue",
                                      "Saturation",  "Sharpness",    "Gamma",
                                      "ColorEnable", "WhiteBalance", "BacklightCompensation",
                                      "Gain"};
    static const char* const control[] = {"Pan", "Tilt", "Roll", "Zoom", "Exposure", "Iris", "Focus"};
    const bool isAmp = setting.target == PropertyInterface::VideoProcAmp;
    return std::string(isAmp ? "VideoProcAmp." : "CameraControl.") + call + " " +
           (isAmp ? amp[setting.property] : control[setting.property]);
}

std::string SetLine(const PropertySetting& setting)
{
    return CallLine(setting, "Set") + " " + std::to_string(setting.value) + " " + std::to_string(setting.flags);
}

// What a fresh fake camera reports for each starting property: what a loan
// reads before it sets its own values.
std::vector<PropertySetting> FreshCameraValues(CameraGeneration generation)
{
    std::vector<PropertySetting> values;
    CLSID id{};
    if (FAILED(CLSIDFromString(const_cast<LPOLESTR>(fakecamera::kClassIdText), &id))) return values;
    ComPtr<IBaseFilter> camera;
    if (FAILED(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, camera.PutVoid()))) return values;
    ComPtr<IAMVideoProcAmp> amp;
    ComPtr<IAMCameraControl> control;
    camera.As(IID_IAMVideoProcAmp, amp);
    camera.As(IID_IAMCameraControl, control);
    for (PropertySetting setting : StartingProperties(generation)) {
        const HRESULT read = setting.target == PropertyInterface::VideoProcAmp
                                 ? amp->Get(setting.property, &setting.value, &setting.flags)
                                 : control->Get(setting.property, &setting.value, &setting.flags);
        if (SUCCEEDED(read)) values.push_back(setting);
    }
    return values;
}

std::wstring ListedPath(CameraGeneration generation)
{
    for (int model : product::kViewToolCameraModels) {
        if (product::kCameraModels[model].generation == static_cast<int>(generation))
            return fakecamera::UsbDevicePath(product::UpperHardwareId(product::kCameraModels[model]).data());
    }
    return L"";
}

class CameraLoanWithFakeCamera : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(stage_.Ok());
        ASSERT_TRUE(stage_.CopyIn(sim::BuiltPath(CAMERA_SERVICE_EXE), "ZorvikSrv.exe"));
        fakecamera::UnregisterFakeCamera();
        ASSERT_TRUE(fakecamera::RegisterFakeCamera(sim::WidePath(cameraDll_), ListedPath(CameraGeneration::Second)));
        before_ = FreshCameraValues(CameraGeneration::Second);
        ASSERT_EQ(before_.size(), StartingProperties(CameraGeneration::Second).size());
        DeleteFileA(cameraLog_.c_str());
        CloseAllCameraServices();
    }
    void TearDown() override
    {
        CloseAllCameraServices();
        fakecamera::UnregisterFakeCamera();
        CoUninitialize();
    }

    LoanRules Rules(bool restartWithoutCamera = false) const
    {
        return {"CameraLoanTest", sim::WidePath(stage_.Path()), restartWithoutCamera, kShortPause, kShortPause};
    }

    void StartCameraService()
    {
        service_ = sim::ChildProcess::Start(stage_.File("ZorvikSrv.exe"), stage_.Path());
        ASSERT_TRUE(service_);
        ASSERT_TRUE(sim::WaitUntil([&] { return ServiceStarts() == 1; }, kStartTimeoutMs));
        ASSERT_TRUE(
            sim::WaitUntil([] { return FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr; },
                           kStartTimeoutMs));
    }

    static void CloseAllCameraServices()
    {
        sim::WaitUntil(
            [] {
                HWND service = FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
                if (service) PostMessageW(service, WM_CLOSE, 0, 0);
                return service == nullptr;
            },
            kStartTimeoutMs);
    }

    int ServiceStarts() const { return sim::CountLines(stage_.File("ZorvikSrv.log"), "start"); }
    // The service notes its start just before its window comes up: a test
    // that ended in between would leave it running past the closing of
    // every service's window, on the desktop the next test gets.
    bool ServiceBackWithItsWindow(int starts) const
    {
        return sim::WaitUntil(
            [&] {
                return ServiceStarts() == starts &&
                       FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr;
            },
            kStartTimeoutMs);
    }

    // The camera's property calls (Get and Set) from `from` on.
    std::vector<std::string> PropertyCalls(std::size_t from = 0) const
    {
        std::vector<std::string> calls;
        const std::vector<std::string> lines = sim::LogLines(cameraLog_);
        for (std::size_t n = from; n < lines.size(); ++n) {
            if (lines[n].find(".Set ") != std::string::npos || lines[n].find(".Get ") != std::string::npos)
                calls.push_back(lines[n]);
        }
        return calls;
    }

    // What the loan must set when it gives the camera back: what it read,
    // last first.
    std::vector<std::string> RestoringSets() const
    {
        std::vector<std::string> sets;
        for (auto value = before_.rbegin(); value != before_.rend(); ++value) sets.push_back(SetLine(*value));
        return sets;
    }

    sim::ScratchFolder stage_{sim::OwnFolder() + "scratch\\", "camera-loan"};
    std::string cameraDll_ = sim::BuiltPath(FAKE_CAMERA_DLL);
    std::string cameraLog_ = sim::FolderOf(cameraDll_) + fakecamera::kLogFileName;
    std::vector<PropertySetting> before_;
    sim::ChildProcess service_;
};

TEST_F(CameraLoanWithFakeCamera, GivesTheCameraBackAsItWasAndRestartsTheServiceThatRan)
{
    ASSERT_NO_FATAL_FAILURE(StartCameraService());
    CameraLoan loan(Rules());
    ASSERT_EQ(loan.Borrow(), LoanState::Lent);
    EXPECT_TRUE(loan.Graph().Running());
    EXPECT_TRUE(loan.ServiceWasRunning());
    EXPECT_EQ(sim::CountLines(stage_.File("ZorvikSrv.log"), "msg " + std::to_string(msg::kServiceRelease) + " 0 0"), 1);

    // Each starting value is read just before it is replaced.
    std::vector<std::string> expected;
    for (const PropertySetting& setting : StartingProperties(CameraGeneration::Second)) {
        expected.push_back(CallLine(setting, "Get"));
        expected.push_back(SetLine(setting));
    }
    const std::vector<std::string> started = PropertyCalls();
    EXPECT_EQ(started, expected);

    // Every frame taken is a new one: the fake camera's picture moves from
    // each frame to the next, and the numbers only grow.
    CapturedFrame previous, frame;
    ASSERT_EQ(loan.Graph().TakeNewFrame(previous, kFrameWaitMs), GrabResult::Frame);
    EXPECT_EQ(previous.width, 320);
    EXPECT_EQ(previous.height, 240);
    EXPECT_TRUE(previous.bottomUp);
    for (int n = 0; n < 10; ++n) {
        ASSERT_EQ(loan.Graph().TakeNewFrame(frame, kFrameWaitMs), GrabResult::Frame);
        EXPECT_GT(frame.number, previous.number);
        ASSERT_EQ(frame.bytes, previous.bytes);
        EXPECT_FALSE(std::equal(frame.pixels.begin(), frame.pixels.end(), previous.pixels.begin()))
            << "frame " << frame.number << " is frame " << previous.number << " again";
        std::swap(frame, previous);
    }
    EXPECT_EQ(loan.Graph().TakeNewFrame(frame, 0), GrabResult::NoFrame) << "the frame just taken came again";

    // The slider's gamma too goes back to what the camera had.
    loan.Graph().SetBrightness(BrightnessSetting(CameraGeneration::Second, 184));
    const std::size_t givenBackFrom = sim::LogLines(cameraLog_).size();
    loan.GiveBack();
    EXPECT_EQ(loan.State(), LoanState::Returned);
    EXPECT_EQ(PropertyCalls(givenBackFrom), RestoringSets());
    EXPECT_EQ(sim::CountLines(cameraLog_, "Stop"), 1);
    EXPECT_TRUE(ServiceBackWithItsWindow(2)) << "the service is not back";

    loan.GiveBack();
    EXPECT_EQ(PropertyCalls(givenBackFrom).size(), RestoringSets().size()) << "given back twice";
}

TEST_F(CameraLoanWithFakeCamera, TheDestructorGivesBackAndStartsNoServiceThatDidNotRun)
{
    {
        CameraLoan loan(Rules());
        ASSERT_EQ(loan.Borrow(), LoanState::Lent);
        EXPECT_FALSE(loan.ServiceWasRunning());
        CapturedFrame frame;
        EXPECT_EQ(loan.Graph().TakeNewFrame(frame, kFrameWaitMs), GrabResult::Frame);
    }
    const std::vector<std::string> calls = PropertyCalls();
    ASSERT_GE(calls.size(), RestoringSets().size());
    EXPECT_EQ(std::vector<std::string>(calls.end() - static_cast<std::ptrdiff_t>(RestoringSets().size()), calls.end()),
              RestoringSets());
    EXPECT_EQ(sim::CountLines(cameraLog_, "Stop"), 1);
    EXPECT_FALSE(sim::WaitUntil([&] { return ServiceStarts() > 0; }, kNoRestartWindowMs))
        << "a camera service that was not running was started";
}

TEST_F(CameraLoanWithFakeCamera, NoListedCameraGivesTheServiceBackAtOnceWhereTheRulesAsk)
{
    fakecamera::UnregisterFakeCamera();
    ASSERT_TRUE(
        fakecamera::RegisterFakeCamera(sim::WidePath(cameraDll_), fakecamera::UsbDevicePath("VID_0000&PID_0000")));
    ASSERT_NO_FATAL_FAILURE(StartCameraService());
    CameraLoan loan(Rules(true));
    EXPECT_EQ(loan.Borrow(), LoanState::Refused);
    EXPECT_TRUE(ServiceBackWithItsWindow(2));
    EXPECT_EQ(sim::CountLinesStartingWith(cameraLog_, "Connect"), 0);
    loan.GiveBack();
    EXPECT_FALSE(sim::WaitUntil([&] { return ServiceStarts() > 2; }, kNoRestartWindowMs)) << "started twice";
}

} // namespace
} // namespace camview::loan_e2e
