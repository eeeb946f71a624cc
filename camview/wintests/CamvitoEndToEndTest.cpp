// Camvito.exe against the fake board camera and the stand-in camera
// service, in the test prefix.
#include "FakeCameraRegistry.h"

#include "common/CameraIds.h"
#include "common/Messages.h"
#include "common/SupportLogFile.h"
#include "sim/ChildProcess.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/TextForms.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace camview::e2e {
namespace {

constexpr unsigned kStartTimeoutMs = 20000;
constexpr unsigned kCloseTimeoutMs = 20000;
// How long a camera service that should not come back is looked for.
constexpr unsigned kNoRestartWindowMs = 4000;
// How long the picture may take to change, or a setting to reach the camera.
constexpr unsigned kLiveTimeoutMs = 10000;
constexpr unsigned kSettingTimeoutMs = 5000;

const std::wstring kViewCaption = L"Camvito test view";
const std::wstring kAlreadyRunningCaption = L"Camvito is open";
const std::wstring kAlreadyRunningText = L"Camvito runs already";
const std::wstring kNoCameraCaption = L"No camera";
const std::wstring kNoCameraText = L"The board camera is not connected";

const char kLanguageIni[] = "[String]\r\n"
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

std::string ReleaseLine()
{
    return "msg " + std::to_string(msg::kServiceRelease) + " 0 0";
}

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
        ASSERT_TRUE(stage_.Ok());
        ASSERT_TRUE(stage_.CopyIn(sim::BuiltPath(CAMVITO_EXE), "Camvito.exe"));
        ASSERT_TRUE(stage_.CopyIn(sim::BuiltPath(CAMERA_SERVICE_EXE), "ZorvikSrv.exe"));
        ASSERT_TRUE(stage_.Write("Language.ini", kLanguageIni));
        DeleteFileA(cameraLog_.c_str());
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
        ASSERT_TRUE(fakecamera::RegisterFakeCamera(sim::WidePath(cameraDll_), DevicePathOfGeneration(generation)));
    }

    void StartCameraService()
    {
        service_ = sim::ChildProcess::Start(stage_.File("ZorvikSrv.exe"), stage_.Path());
        ASSERT_TRUE(service_);
        ASSERT_TRUE(sim::WaitUntil([&] { return sim::CountLines(serviceLog_, "start") == 1; }, kStartTimeoutMs));
        ASSERT_NE(sim::WaitForWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, kStartTimeoutMs), nullptr);
    }

    // A camera service started from `folder`, playing `script` when given.
    sim::ChildProcess StartCameraServiceIn(const sim::ScratchFolder& folder, const std::string& script)
    {
        if (!script.empty()) {
            EXPECT_TRUE(folder.Write("ZorvikSrv.script", script));
        }
        sim::ChildProcess service = sim::ChildProcess::Start(folder.File("ZorvikSrv.exe"), folder.Path());
        EXPECT_TRUE(service);
        EXPECT_TRUE(sim::WaitUntil([&] { return sim::CountLines(folder.File("ZorvikSrv.log"), "start") == 1; },
                                   kStartTimeoutMs));
        return service;
    }

    // Support-log lines (of every program that writes there) holding `text`.
    static int SupportLogLinesWith(const std::string& text)
    {
        int count = 0;
        for (const std::string& line : sim::LogLines(common::SupportLogFile::DefaultPath()))
            if (line.find(text) != std::string::npos) ++count;
        return count;
    }

    sim::ChildProcess StartCamvito() const { return sim::ChildProcess::Start(camvito_, stage_.Path()); }

    // Starts Camvito and waits until its picture is live: the view's
    // window is up and the camera runs with its starting values set.
    HWND OpenLiveView(sim::ChildProcess& camvito, int startingSettings)
    {
        camvito = StartCamvito();
        EXPECT_TRUE(camvito);
        HWND view = sim::WaitForWindow(L"#32770", kViewCaption.c_str(), kStartTimeoutMs);
        EXPECT_NE(view, nullptr);
        EXPECT_TRUE(sim::WaitUntil([&] { return CountSettings() == startingSettings; }, kStartTimeoutMs));
        return view;
    }

    int CountSettings() const
    {
        return sim::CountLinesStartingWith(cameraLog_, "VideoProcAmp.Set") +
               sim::CountLinesStartingWith(cameraLog_, "CameraControl.Set");
    }

    std::vector<std::string> Settings() const
    {
        std::vector<std::string> settings;
        for (const std::string& line : sim::LogLines(cameraLog_))
            if (line.find(".Set ") != std::string::npos) settings.push_back(line);
        return settings;
    }

    int Frames() const { return sim::CountLinesStartingWith(cameraLog_, "Frame "); }

    // The picture is live when the camera keeps delivering into the graph.
    bool FramesKeepArriving(int more)
    {
        const int before = Frames();
        return sim::WaitUntil([&] { return Frames() >= before + more; }, kLiveTimeoutMs);
    }

    void CloseAllCameraServices()
    {
        sim::WaitUntil(
            [] {
                HWND service = FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
                if (service) PostMessageW(service, WM_CLOSE, 0, 0);
                return service == nullptr;
            },
            kLiveTimeoutMs);
    }

    // With its window: the service notes its start just before the window
    // comes up, and one whose window came after the test's closing of every
    // service would outlive the test on its desktop.
    bool ServiceRestarted()
    {
        return sim::WaitUntil(
            [&] {
                return sim::CountLines(serviceLog_, "start") == 2 &&
                       FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr;
            },
            kCloseTimeoutMs);
    }
    bool ServiceStartedAgainSoon()
    {
        return sim::WaitUntil([&] { return sim::CountLines(serviceLog_, "start") > 1; }, kNoRestartWindowMs);
    }
    bool AnyServiceAppearsSoon()
    {
        return sim::WaitForWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, kNoRestartWindowMs) != nullptr;
    }

    sim::ScratchFolder stage_{sim::OwnFolder() + "scratch\\", "camvito"};
    std::string camvito_ = stage_.File("Camvito.exe");
    std::string serviceLog_ = stage_.File("ZorvikSrv.log");
    std::string cameraDll_ = sim::BuiltPath(FAKE_CAMERA_DLL);
    std::string cameraLog_ = sim::FolderOf(cameraDll_) + fakecamera::kLogFileName;
    sim::ChildProcess service_;
};

TEST_F(CamvitoEndToEnd, SecondGenerationCameraLiveViewSliderAndCloseButtonRestartingTheService)
{
    AttachCamera(2);
    StartCameraService();
    sim::ChildProcess camvito;
    HWND view = OpenLiveView(camvito, 5);
    ASSERT_NE(view, nullptr);

    EXPECT_EQ(sim::CountLines(serviceLog_, ReleaseLine()), 1);
    EXPECT_EQ(Settings(),
              (std::vector<std::string>{"VideoProcAmp.Set Brightness 70 1", "VideoProcAmp.Set Contrast 100 1",
                                        "VideoProcAmp.Set Gain 80 1", "VideoProcAmp.Set Gamma 140 1",
                                        "CameraControl.Set Exposure -5 2"}));
    EXPECT_EQ(sim::CountLines(cameraLog_, "Connect 320x240"), 1) << "the 320 x 240 format is chosen";
    EXPECT_TRUE(FramesKeepArriving(30));

    HWND slider = GetDlgItem(view, kSlider);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 184);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 183);
    SendMessageW(slider, WM_KEYDOWN, VK_END, 0);
    SendMessageW(slider, WM_KEYUP, VK_END, 0);
    EXPECT_TRUE(sim::WaitUntil([&] { return sim::CountLines(cameraLog_, "VideoProcAmp.Set Gamma 71 1") >= 1; },
                               kSettingTimeoutMs));
    EXPECT_EQ(sim::CountLinesStartingWith(cameraLog_, "CameraControl.Set"), 1) << "the slider moves gamma only";
    EXPECT_TRUE(FramesKeepArriving(10)) << "the picture stays live after the slider moved";

    PostMessageW(view, WM_COMMAND, MAKEWPARAM(kCloseButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(view, kCloseButton)));
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeoutMs));
    EXPECT_EQ(sim::CountLines(cameraLog_, "Stop"), 1);
    EXPECT_TRUE(ServiceRestarted());
    EXPECT_EQ(sim::CountLines(serviceLog_, ReleaseLine()), 1);
}

TEST_F(CamvitoEndToEnd, FirstGenerationCameraSliderSetsExposureAndEscapeLeavesAbsentServiceAlone)
{
    AttachCamera(1);
    sim::ChildProcess camvito;
    HWND view = OpenLiveView(camvito, 4);
    ASSERT_NE(view, nullptr);

    EXPECT_EQ(Settings(),
              (std::vector<std::string>{"VideoProcAmp.Set Brightness 80 1", "VideoProcAmp.Set Contrast 100 1",
                                        "VideoProcAmp.Set Gain 100 1", "CameraControl.Set Exposure -5 2"}));
    EXPECT_TRUE(FramesKeepArriving(30));

    HWND slider = GetDlgItem(view, kSlider);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 13);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 9);
    SendMessageW(slider, WM_KEYDOWN, VK_HOME, 0);
    SendMessageW(slider, WM_KEYUP, VK_HOME, 0);
    EXPECT_TRUE(sim::WaitUntil([&] { return sim::CountLines(cameraLog_, "CameraControl.Set Exposure -13 2") >= 1; },
                               kSettingTimeoutMs));
    EXPECT_EQ(sim::CountLinesStartingWith(cameraLog_, "VideoProcAmp.Set"), 3) << "the slider moves exposure only";

    PostMessageW(view, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeoutMs));
    EXPECT_EQ(sim::CountLines(cameraLog_, "Stop"), 1);
    EXPECT_FALSE(AnyServiceAppearsSoon()) << "the camera service was not running, so it is not started";
}

TEST_F(CamvitoEndToEnd, EscapeRestartsARunningServiceLikeTheCloseButton)
{
    AttachCamera(1);
    StartCameraService();
    sim::ChildProcess camvito;
    HWND view = OpenLiveView(camvito, 4);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(sim::CountLines(serviceLog_, ReleaseLine()), 1);

    PostMessageW(view, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeoutMs));
    EXPECT_TRUE(ServiceRestarted());
    EXPECT_EQ(sim::CountLines(serviceLog_, "start"), 2) << "started once again, not twice";
}

TEST_F(CamvitoEndToEnd, SecondCopyShowsAlreadyRunningAndLeavesTheFirstLive)
{
    AttachCamera(2);
    sim::ChildProcess first;
    HWND view = OpenLiveView(first, 5);
    ASSERT_NE(view, nullptr);

    const sim::ChildProcess second = StartCamvito();
    ASSERT_TRUE(second);
    HWND box = sim::WaitForWindow(L"#32770", kAlreadyRunningCaption.c_str(), kStartTimeoutMs);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(sim::WindowText(GetDlgItem(box, 0xFFFF)), kAlreadyRunningText);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitForExit(kCloseTimeoutMs));

    EXPECT_EQ(FindWindowW(L"#32770", kViewCaption.c_str()), view);
    EXPECT_EQ(sim::CountLinesStartingWith(cameraLog_, "Connect "), 1) << "the second copy never touched the camera";
    EXPECT_EQ(CountSettings(), 5);
    EXPECT_TRUE(FramesKeepArriving(20));

    PostMessageW(view, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitForExit(kCloseTimeoutMs));
}

TEST_F(CamvitoEndToEnd, TurnButtonAndAboutBoxKeepThePictureLive)
{
    AttachCamera(2);
    sim::ChildProcess camvito;
    HWND view = OpenLiveView(camvito, 5);
    ASSERT_NE(view, nullptr);
    for (int press = 0; press < 3; ++press) {
        PostMessageW(view, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(view, 1002)));
        EXPECT_TRUE(FramesKeepArriving(5));
    }

    // The About item of the system menu; the low four bits do not count.
    PostMessageW(view, WM_SYSCOMMAND, 0x0010 | 0x3, 0);
    HWND about = sim::WaitForWindow(L"#32770", L"\u5173\u4e8e Camvito", kStartTimeoutMs);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(FramesKeepArriving(5)) << "the picture stays live under the About box";
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(sim::WaitUntil([&] { return !IsWindow(about); }, kSettingTimeoutMs));
    PostMessageW(view, WM_CLOSE, 0, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeoutMs));
}

TEST_F(CamvitoEndToEnd, NoListedCameraTellsTheUserAndLeavesTheServiceReleased)
{
    // A video-input device whose path carries no listed hardware ID.
    ASSERT_TRUE(
        fakecamera::RegisterFakeCamera(sim::WidePath(cameraDll_), fakecamera::UsbDevicePath("VID_0000&PID_0000")));
    StartCameraService();
    sim::ChildProcess camvito;
    camvito = StartCamvito();
    ASSERT_TRUE(camvito);
    HWND box = sim::WaitForWindow(L"#32770", kNoCameraCaption.c_str(), kStartTimeoutMs);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(sim::WindowText(GetDlgItem(box, 0xFFFF)), kNoCameraText);
    EXPECT_EQ(sim::CountLines(serviceLog_, ReleaseLine()), 1);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeoutMs));
    EXPECT_EQ(camvito.ExitCode(), 0u);
    EXPECT_EQ(sim::CountLinesStartingWith(cameraLog_, "Connect"), 0);
    EXPECT_FALSE(ServiceStartedAgainSoon()) << "the service is not restarted on this path";
}

TEST_F(CamvitoEndToEnd, HungServiceDelaysThePictureOnlyBrieflyAndIsNoted)
{
    // The service takes the request to let go of the camera and never answers.
    AttachCamera(2);
    const std::string hung = "The camera service did not answer the request to let go of the camera";
    const int notedBefore = SupportLogLinesWith(hung);
    service_ = StartCameraServiceIn(stage_, "hang-on " + std::to_string(msg::kServiceRelease) + "\n");
    ASSERT_TRUE(service_);

    sim::ChildProcess camvito;
    HWND view = OpenLiveView(camvito, 5);
    ASSERT_NE(view, nullptr) << "Camvito waits for a service that does not answer";
    EXPECT_EQ(sim::CountLines(serviceLog_, ReleaseLine()), 1);
    EXPECT_TRUE(FramesKeepArriving(20));
    EXPECT_EQ(SupportLogLinesWith(hung), notedBefore + 1);

    PostMessageW(view, WM_CLOSE, 0, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeoutMs));
    EXPECT_TRUE(ServiceRestarted()) << "the service is started again from Camvito's folder";
    service_.Terminate();
}

TEST_F(CamvitoEndToEnd, ServiceMissingFromItsFolderIsNotStartedFromElsewhere)
{
    // A service runs from another folder that is also on the search path;
    // Camvito's own folder has none.
    AttachCamera(2);
    ASSERT_TRUE(DeleteFileA(stage_.File("ZorvikSrv.exe").c_str()));
    const sim::ScratchFolder elsewhere(sim::OwnFolder() + "scratch\\", "camvito-elsewhere");
    ASSERT_TRUE(elsewhere.Ok());
    ASSERT_TRUE(elsewhere.CopyIn(sim::BuiltPath(CAMERA_SERVICE_EXE), "ZorvikSrv.exe"));
    char oldPath[32768] = {};
    GetEnvironmentVariableA("PATH", oldPath, sizeof(oldPath));
    SetEnvironmentVariableA("PATH", (elsewhere.Path() + ";" + oldPath).c_str());
    const std::string missing = "ZorvikSrv.exe is missing from";
    const int notedBefore = SupportLogLinesWith(missing);
    service_ = StartCameraServiceIn(elsewhere, std::string());
    ASSERT_TRUE(service_);

    sim::ChildProcess camvito;
    HWND view = OpenLiveView(camvito, 5);
    SetEnvironmentVariableA("PATH", oldPath);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(sim::CountLines(elsewhere.File("ZorvikSrv.log"), ReleaseLine()), 1);

    PostMessageW(view, WM_CLOSE, 0, 0);
    EXPECT_TRUE(camvito.WaitForExit(kCloseTimeoutMs));
    EXPECT_TRUE(sim::WaitUntil([&] { return SupportLogLinesWith(missing) == notedBefore + 1; }, kCloseTimeoutMs));
    EXPECT_FALSE(sim::WaitUntil([&] { return sim::CountLines(elsewhere.File("ZorvikSrv.log"), "start") > 1; },
                                kNoRestartWindowMs))
        << "a service of the same name elsewhere was started";
    service_.Terminate();
}

} // namespace
} // namespace camview::e2e
