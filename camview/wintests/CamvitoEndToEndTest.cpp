// Camvito.exe against the fake board camera and the stand-in camera
// service, in the test prefix.
#include "EndToEndSupport.h"
#include "FakeCameraRegistry.h"

#include "common/CameraIds.h"
#include "common/Messages.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace camview::e2e {
namespace {

constexpr auto kStartTimeout = 20s;
constexpr auto kCloseTimeout = 20s;
// How long a camera service that should not come back is looked for.
constexpr auto kNoRestartWindow = 4s;

const std::wstring kViewCaption = L"Camvito test view";
const std::wstring kAlreadyRunningCaption = L"Camvito is open";
const std::wstring kAlreadyRunningText = L"Camvito runs already";
const std::wstring kNoCameraCaption = L"No camera";
const std::wstring kNoCameraText = L"The board camera is not connected";

const char kLanguageIni[] =
    "[String]\r\n"
    "IDS_MSBCAP=Camvito is open\r\n"
    "IDS_SERRUNNING=Camvito runs already\r\n"
    "IDS_CONNECTCAP=No camera\r\n"
    "[Camvito]\r\n"
    "IDS_CAMVITONOINIT=The board camera is not connected\r\n"
    "IDS_CAMVITOCAP=Turn the camera until the board is inside the red frame\r\n"
    "IDS_CAMVITOSET=Brightness:\r\n"
    "IDS_TOTEL=Camvito test view\r\n"
    "IDS_BTNIMAGE=Turn\r\n"
    "IDS_BTNCANCEL=Close\r\n";

constexpr int kSlider = 1000;
constexpr int kCloseButton = 1003;

std::string ReleaseLine() { return "msg " + std::to_string(msg::kServiceRelease) + " 0 0"; }

std::wstring DevicePathOfGeneration(int generation)
{
    for (int model : product::kViewToolCameraModels) {
        if (product::kCameraModels[model].generation == generation)
            return fakecamera::UsbDevicePath(product::UpperHardwareId(product::kCameraModels[model]).data());
    }
    return L"";
}

class CamvitoEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        stage_ = FolderOf(self) + L"camvito-stage\\";
        CreateDirectoryW(stage_.c_str(), nullptr);
        ASSERT_TRUE(CopyInto(WindowsPathOf(CAMVITO_EXE), stage_));
        ASSERT_TRUE(CopyInto(WindowsPathOf(CAMERA_SERVICE_EXE), stage_));
        ASSERT_TRUE(WriteTextFile(stage_ + L"Language.ini", kLanguageIni));
        camvito_ = stage_ + L"Camvito.exe";
        serviceLog_ = stage_ + L"ZorvikSrv.log";
        cameraDll_ = WindowsPathOf(FAKE_CAMERA_DLL);
        cameraLog_ = FolderOf(cameraDll_) + fakecamera::kLogFileName;
        RemoveFile(serviceLog_);
        RemoveFile(cameraLog_);
        // A camera service left behind by an earlier test would answer for ours.
        CloseAllCameraServices();
        ASSERT_EQ(FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption), nullptr)
            << "a camera service of another test does not close";
    }

    void TearDown() override
    {
        CloseAllCameraServices();
        fakecamera::UnregisterFakeCamera();
    }

    void AttachCamera(int generation)
    {
        ASSERT_TRUE(fakecamera::RegisterFakeCamera(cameraDll_, DevicePathOfGeneration(generation)));
    }

    void StartCameraService()
    {
        ASSERT_TRUE(service_.Start(stage_ + L"ZorvikSrv.exe"));
        ASSERT_TRUE(WaitFor([&] { return CountLines(serviceLog_, "start") == 1; }, kStartTimeout));
        ASSERT_TRUE(WaitFor([] { return FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr; },
                            kStartTimeout));
    }

    // Starts Camvito and waits until its picture is live: the view's
    // window is up and the camera runs with its starting values set.
    HWND OpenLiveView(Process& camvito, int startingSettings)
    {
        EXPECT_TRUE(camvito.Start(camvito_));
        HWND view = WaitForWindow(L"#32770", kViewCaption, kStartTimeout);
        EXPECT_NE(view, nullptr);
        EXPECT_TRUE(WaitFor([&] { return CountSettings() == startingSettings; }, kStartTimeout));
        return view;
    }

    int CountSettings() const
    {
        return CountLinesStartingWith(cameraLog_, "VideoProcAmp.Set") +
               CountLinesStartingWith(cameraLog_, "CameraControl.Set");
    }

    std::vector<std::string> Settings() const
    {
        std::vector<std::string> settings;
        for (const std::string& line : ReadLines(cameraLog_))
            if (line.find(".Set ") != std::string::npos) settings.push_back(line);
        return settings;
    }

    int Frames() const { return CountLinesStartingWith(cameraLog_, "Frame "); }

    // The picture is live when the camera keeps delivering into the graph.
    bool FramesKeepArriving(int more)
    {
        const int before = Frames();
        return WaitFor([&] { return Frames() >= before + more; }, 10s);
    }

    void CloseAllCameraServices()
    {
        WaitFor(
            [] {
                HWND service = FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
                if (service) PostMessageW(service, WM_CLOSE, 0, 0);
                return service == nullptr;
            },
            10s);
    }

    bool ServiceRestarted() { return WaitFor([&] { return CountLines(serviceLog_, "start") == 2; }, kCloseTimeout); }
    bool ServiceStartedAgainSoon() { return WaitFor([&] { return CountLines(serviceLog_, "start") > 1; }, kNoRestartWindow); }
    bool AnyServiceAppearsSoon()
    {
        return WaitFor([] { return FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr; },
                       kNoRestartWindow);
    }

    std::wstring stage_;
    std::wstring camvito_;
    std::wstring serviceLog_;
    std::wstring cameraDll_;
    std::wstring cameraLog_;
    Process service_;
};

TEST_F(CamvitoEndToEnd, SecondGenerationCameraLiveViewSliderAndCloseButtonRestartingTheService)
{
    AttachCamera(2);
    StartCameraService();
    Process camvito;
    HWND view = OpenLiveView(camvito, 5);
    ASSERT_NE(view, nullptr);

    EXPECT_EQ(CountLines(serviceLog_, ReleaseLine()), 1);
    EXPECT_EQ(Settings(), (std::vector<std::string>{"VideoProcAmp.Set Brightness 70 1", "VideoProcAmp.Set Contrast 100 1",
                                                    "VideoProcAmp.Set Gain 80 1", "VideoProcAmp.Set Gamma 140 1",
                                                    "CameraControl.Set Exposure -5 2"}));
    EXPECT_EQ(CountLines(cameraLog_, "Connect 320x240"), 1) << "the 320 x 240 format is chosen";
    EXPECT_TRUE(FramesKeepArriving(30));

    HWND slider = GetDlgItem(view, kSlider);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 184);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 183);
    SendMessageW(slider, WM_KEYDOWN, VK_END, 0);
    SendMessageW(slider, WM_KEYUP, VK_END, 0);
    EXPECT_TRUE(WaitFor([&] { return CountLines(cameraLog_, "VideoProcAmp.Set Gamma 71 1") >= 1; }, 5s));
    EXPECT_EQ(CountLinesStartingWith(cameraLog_, "CameraControl.Set"), 1) << "the slider moves gamma only";
    EXPECT_TRUE(FramesKeepArriving(10)) << "the picture stays live after the slider moved";

    PostMessageW(view, WM_COMMAND, MAKEWPARAM(kCloseButton, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(view, kCloseButton)));
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeout));
    EXPECT_EQ(CountLines(cameraLog_, "Stop"), 1);
    EXPECT_TRUE(ServiceRestarted());
    EXPECT_EQ(CountLines(serviceLog_, ReleaseLine()), 1);
}

TEST_F(CamvitoEndToEnd, FirstGenerationCameraSliderSetsExposureAndEscapeLeavesAbsentServiceAlone)
{
    AttachCamera(1);
    Process camvito;
    HWND view = OpenLiveView(camvito, 4);
    ASSERT_NE(view, nullptr);

    EXPECT_EQ(Settings(), (std::vector<std::string>{"VideoProcAmp.Set Brightness 80 1", "VideoProcAmp.Set Contrast 100 1",
                                                    "VideoProcAmp.Set Gain 100 1", "CameraControl.Set Exposure -5 2"}));
    EXPECT_TRUE(FramesKeepArriving(30));

    HWND slider = GetDlgItem(view, kSlider);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 13);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 9);
    SendMessageW(slider, WM_KEYDOWN, VK_HOME, 0);
    SendMessageW(slider, WM_KEYUP, VK_HOME, 0);
    EXPECT_TRUE(WaitFor([&] { return CountLines(cameraLog_, "CameraControl.Set Exposure -13 2") >= 1; }, 5s));
    EXPECT_EQ(CountLinesStartingWith(cameraLog_, "VideoProcAmp.Set"), 3) << "the slider moves exposure only";

    PostMessageW(view, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeout));
    EXPECT_EQ(CountLines(cameraLog_, "Stop"), 1);
    EXPECT_FALSE(AnyServiceAppearsSoon()) << "the camera service was not running, so it is not started";
}

TEST_F(CamvitoEndToEnd, EscapeRestartsARunningServiceLikeTheCloseButton)
{
    AttachCamera(1);
    StartCameraService();
    Process camvito;
    HWND view = OpenLiveView(camvito, 4);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(CountLines(serviceLog_, ReleaseLine()), 1);

    PostMessageW(view, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeout));
    EXPECT_TRUE(ServiceRestarted());
    EXPECT_EQ(CountLines(serviceLog_, "start"), 2) << "started once again, not twice";
}

TEST_F(CamvitoEndToEnd, SecondCopyShowsAlreadyRunningAndLeavesTheFirstLive)
{
    AttachCamera(2);
    Process first;
    HWND view = OpenLiveView(first, 5);
    ASSERT_NE(view, nullptr);

    Process second;
    ASSERT_TRUE(second.Start(camvito_));
    HWND box = WaitForWindow(L"#32770", kAlreadyRunningCaption, kStartTimeout);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), kAlreadyRunningText);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitForExit(kCloseTimeout));

    EXPECT_EQ(FindWindowW(L"#32770", kViewCaption.c_str()), view);
    EXPECT_EQ(CountLinesStartingWith(cameraLog_, "Connect "), 1) << "the second copy never touched the camera";
    EXPECT_EQ(CountSettings(), 5);
    EXPECT_TRUE(FramesKeepArriving(20));

    PostMessageW(view, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitForExit(kCloseTimeout));
}

TEST_F(CamvitoEndToEnd, TurnButtonAndAboutBoxKeepThePictureLive)
{
    AttachCamera(2);
    Process camvito;
    HWND view = OpenLiveView(camvito, 5);
    ASSERT_NE(view, nullptr);
    for (int press = 0; press < 3; ++press) {
        PostMessageW(view, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(view, 1002)));
        EXPECT_TRUE(FramesKeepArriving(5));
    }

    // The About item of the system menu; the low four bits do not count.
    PostMessageW(view, WM_SYSCOMMAND, 0x0010 | 0x3, 0);
    HWND about = WaitForWindow(L"#32770", L"\u5173\u4e8e Camvito", kStartTimeout);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(FramesKeepArriving(5)) << "the picture stays live under the About box";
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, 5s));
    PostMessageW(view, WM_CLOSE, 0, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeout));
}

TEST_F(CamvitoEndToEnd, NoListedCameraTellsTheUserAndLeavesTheServiceReleased)
{
    // A video-input device whose path carries no listed hardware ID.
    ASSERT_TRUE(fakecamera::RegisterFakeCamera(cameraDll_, fakecamera::UsbDevicePath("VID_0000&PID_0000")));
    StartCameraService();
    Process camvito;
    ASSERT_TRUE(camvito.Start(camvito_));
    HWND box = WaitForWindow(L"#32770", kNoCameraCaption, kStartTimeout);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), kNoCameraText);
    EXPECT_EQ(CountLines(serviceLog_, ReleaseLine()), 1);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeout));
    EXPECT_EQ(camvito.ExitCode(), 0u);
    EXPECT_EQ(CountLinesStartingWith(cameraLog_, "Connect"), 0);
    EXPECT_FALSE(ServiceStartedAgainSoon()) << "the service is not restarted on this path";
}

} // namespace
} // namespace camview::e2e
