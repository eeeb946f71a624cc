// Kalmeno's automatic calibration beside the real driver and the stand-ins,
// with the fake camera filming the board's monitor (FakeCamera.ini beside
// FakeCamera.dll) on an X server where windows are really drawn (run by
// tests/screens/two-screens.sh; on Wine's null display, where nothing is
// drawn to film, the cases skip). The grid the camera measures is compared
// with where the fake camera truly sees each target; a camera that sees
// nothing, only white or a still picture, and a cancel in the middle, leave
// the settings file as it was, the camera's properties as they were and the
// camera service running again, and the board then works as before.
#include "KalmenoRun.h"

#include "FakeCameraRegistry.h"

#include "calibration/AccuracyCheck.h"
#include "calibration/CalibrationInText.h"
#include "calibration/CameraMeasurement.h"
#include "calibration/KalmenoTexts.h"
#include "calibration/TargetLayout.h"
#include "common/CameraIds.h"
#include "common/DisplayLayout.h"
#include "common/SupportLogFile.h"
#include "fakecamera/FilmGroundTruth.h"

#include <dshow.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace kalmeno_camera_e2e {
namespace {

using kalmeno_e2e::Point;

// The camera measures 26 patterns at a few frames each, after borrowing
// the camera (about 2 s) and before giving it back (3 s).
constexpr unsigned kMeasureWaitMs = 90000;
constexpr unsigned kServiceWaitMs = 20000;
constexpr const char* kSettings = "kalmeno-camera-WBInit.ini";
constexpr unsigned kStepWaitMs = 20000;

// A lens without distortion, which the driver's grid of cells maps within
// a pixel, and a camera that sees the whole board (the projected picture a
// little off square, as a camera above the board sees it), with the default
// blur, noise, room light and lag.
std::string FilmText(const char* mode, const common::PixelRect& monitor)
{
    return std::string("[Film]\r\nMODE=") + mode + "\r\nMONITOR_LEFT=" + std::to_string(monitor.left) +
           "\r\nMONITOR_TOP=" + std::to_string(monitor.top) + "\r\nMONITOR_WIDTH=" + std::to_string(monitor.Width()) +
           "\r\nMONITOR_HEIGHT=" + std::to_string(monitor.Height()) +
           "\r\nK1=0\r\nK2=0\r\nTOP_LEFT=-0.92,-0.66\r\nTOP_RIGHT=0.95,-0.64\r\nBOTTOM_RIGHT=1.0,0.72\r\n"
           "BOTTOM_LEFT=-0.98,0.74\r\nSEED=7\r\n";
}

std::wstring ListedCameraPath()
{
    const auto& model = product::kCameraModels[product::kViewToolCameraModels[3]];
    return fakecamera::UsbDevicePath(product::UpperHardwareId(model).data());
}

// "VideoProcAmp.Set Gamma 140 1" for each property a fresh fake camera
// reports: what the camera must be set back to when it is given back.
std::vector<std::string> FreshCameraSets()
{
    struct Property {
        bool amp;
        long number;
        const char* name;
    };
    // The properties Kalmeno's loan sets on a second-generation camera.
    const Property properties[] = {
        {true, 0, "Brightness"}, {true, 1, "Contrast"}, {true, 9, "Gain"}, {true, 5, "Gamma"}, {false, 4, "Exposure"}};
    std::vector<std::string> sets;
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    CLSID id{};
    IBaseFilter* camera = nullptr;
    if (SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(fakecamera::kClassIdText), &id)) &&
        SUCCEEDED(
            CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(&camera)))) {
        IAMVideoProcAmp* amp = nullptr;
        IAMCameraControl* control = nullptr;
        camera->QueryInterface(IID_IAMVideoProcAmp, reinterpret_cast<void**>(&amp));
        camera->QueryInterface(IID_IAMCameraControl, reinterpret_cast<void**>(&control));
        for (const Property& property : properties) {
            long value = 0, flags = 0;
            const HRESULT read = property.amp
                                     ? (amp ? amp->Get(property.number, &value, &flags) : E_NOINTERFACE)
                                     : (control ? control->Get(property.number, &value, &flags) : E_NOINTERFACE);
            if (SUCCEEDED(read))
                sets.push_back(std::string(property.amp ? "VideoProcAmp.Set " : "CameraControl.Set ") + property.name +
                               " " + std::to_string(value) + " " + std::to_string(flags));
        }
        if (amp) amp->Release();
        if (control) control->Release();
        camera->Release();
    }
    if (com) CoUninitialize();
    return sets;
}

// How many pixels in `rect` of the screen are white now.
int WhitePixelsOnScreen(const common::PixelRect& rect)
{
    int white = 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = rect.Width();
    info.bmiHeader.biHeight = -rect.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, rect.Width(), rect.Height(), screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        const std::size_t count = static_cast<std::size_t>(rect.Width()) * static_cast<std::size_t>(rect.Height());
        for (std::size_t n = 0; n < count; ++n) {
            const std::uint32_t pixel = pixels[n];
            if ((pixel & 0xFF) > 200 && ((pixel >> 8) & 0xFF) > 200 && ((pixel >> 16) & 0xFF) > 200) ++white;
        }
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return white;
}

class KalmenoCamera : public kalmeno_e2e::Kalmeno {
protected:
    void SetUp() override
    {
        const common::DisplayLayout layout = common::ReadDisplayLayout();
        if (layout.monitors.size() < 2) GTEST_SKIP() << "Wine draws no windows to film on this display";
        for (const common::MonitorInfo& monitor : layout.monitors) {
            if (monitor.primary)
                primary_ = monitor.rect;
            else
                second_ = monitor.rect;
        }
        fakecamera::UnregisterFakeCamera();
        ASSERT_TRUE(fakecamera::RegisterFakeCamera(sim::WidePath(cameraDll_), ListedCameraPath()));
        freshSets_ = FreshCameraSets();
        ASSERT_EQ(freshSets_.size(), 5u);
        DeleteFileA(cameraLog_.c_str());
    }

    void TearDown() override
    {
        // Without the file the camera shows its test picture again, for
        // Camvito's tests.
        DeleteFileA(filmFile_.c_str());
        fakecamera::UnregisterFakeCamera();
    }

    void Film(const char* mode, const common::PixelRect& monitor) const
    {
        ASSERT_TRUE(sim::WriteWholeFile(filmFile_, FilmText(mode, monitor)));
    }

    // The driver with its stand-ins, on the settings beside the test plus
    // `more`.
    void StartBoard(const std::string& more)
    {
        ASSERT_TRUE(sim::WriteWholeFile(sim::OwnFolder() + kSettings,
                                        sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini") + more));
        ASSERT_NO_FATAL_FAILURE(StartIdle(e2e::PeerSetup{kSettings}));
    }

    // One idle camera service: the stand-in stays when it lets go of the
    // camera, so each run that gives the camera back starts another.
    void OneIdleService()
    {
        for (int n = 0; n < 4 && FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption); ++n)
            rig_.KillCameraService();
        ASSERT_TRUE(rig_.RestartCameraService("")) << rig_.Problem();
    }

    int ServiceStarts() const { return sim::CountLines(rig_.File(sim::kCameraServiceLog), "start"); }

    // The camera's property Sets from line `from` of its log on.
    std::vector<std::string> SetsFrom(std::size_t from) const
    {
        std::vector<std::string> sets;
        const std::vector<std::string> lines = sim::LogLines(cameraLog_);
        for (std::size_t n = from; n < lines.size(); ++n)
            if (lines[n].find(".Set ") != std::string::npos) sets.push_back(lines[n]);
        return sets;
    }

    // Given back as it was: the last five Sets put back what a fresh camera
    // reports, the last set first.
    void ExpectPropertiesRestored() const
    {
        const std::vector<std::string> sets = SetsFrom(0);
        ASSERT_GE(sets.size(), freshSets_.size()) << sim::ReadWholeFile(cameraLog_);
        const std::vector<std::string> last(sets.end() - static_cast<std::ptrdiff_t>(freshSets_.size()), sets.end());
        EXPECT_EQ(last, std::vector<std::string>(freshSets_.rbegin(), freshSets_.rend()));
        EXPECT_EQ(sim::CountLines(cameraLog_, "Stop"), 1) << "the graph was not stopped";
    }

    // The board drives the mouse as before: a tap at camera (600, 1200),
    // which the test settings map linearly on the primary screen.
    void ExpectTheBoardStillWorks()
    {
        for (int n = 0; n < 4 && FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption); ++n)
            rig_.KillCameraService();
        const std::size_t before = e2e::LeftPresses(e2e::InjectedEvents(rig_.MouseEvents()));
        ASSERT_TRUE(rig_.RestartCameraService(e2e::kScriptStart + "pace 16\ndown 600 1200\nhold 600 1200 3\n"
                                                                  "up 600 1200\n"))
            << rig_.Problem();
        const auto events = WaitForEvents([&](const std::vector<sim::MouseEvent>& e) {
            return e2e::LeftPresses(e) > before && e.back().kind == sim::MouseKind::LeftUp;
        });
        ASSERT_GT(e2e::LeftPresses(events), before) << e2e::Describe(events);
        EXPECT_EQ(events.back().kind, sim::MouseKind::LeftUp) << e2e::Describe(events);
        for (auto event = events.end() - 2; event != events.end(); ++event)
            EXPECT_TRUE(e2e::Near(*event, e2e::ScreenX(600), e2e::ScreenY(1200))) << e2e::Describe(events);
    }

    std::string cameraDll_ = sim::BuiltPath(FAKE_CAMERA_DLL);
    std::string cameraLog_ = sim::FolderOf(cameraDll_) + fakecamera::kLogFileName;
    std::string filmFile_ = sim::FolderOf(cameraDll_) + fakecamera::kFilmSettingsFileName;
    common::PixelRect primary_;
    common::PixelRect second_;
    std::vector<std::string> freshSets_;
};

TEST_F(KalmenoCamera, CalibratesTheSecondMonitorAutomaticallyAndOneTouchConfirmsIt)
{
    ASSERT_NO_FATAL_FAILURE(Film("film", second_));
    ASSERT_NO_FATAL_FAILURE(StartBoard("\r\n[Display]\r\nMONITOR=secondary\r\n"));
    ASSERT_NO_FATAL_FAILURE(OneIdleService());
    const int startsBefore = ServiceStarts();
    const std::string supportLog = common::SupportLogFile::DefaultPath();
    const std::size_t logBefore = sim::ReadWholeFile(supportLog).size();
    ASSERT_NO_FATAL_FAILURE(StartKalmeno(false, "/auto"));

    // The patterns cover the second monitor, which the camera films.
    ASSERT_TRUE(WaitForCaption([](const std::string& c) { return c.rfind("Camera calibration: target ", 0) == 0; }))
        << Caption();
    RECT shown = {};
    ASSERT_TRUE(GetWindowRect(window_, &shown));
    EXPECT_EQ(shown.left, second_.left);
    EXPECT_EQ(shown.top, second_.top);
    EXPECT_EQ(shown.right - shown.left, second_.Width());
    EXPECT_EQ(shown.bottom - shown.top, second_.Height());
    // A disc, and nothing else bright, shows on the second monitor; the
    // first stays as it was.
    int disc = 0;
    EXPECT_TRUE(sim::WaitUntil([&] { return (disc = WhitePixelsOnScreen(second_)) > 0; }, kStepWaitMs, 20));
    const double radius = calibration::CameraMeasurement::DiscRadiusPx({second_.Width(), second_.Height()});
    const double discArea = 3.14159265 * radius * radius;
    EXPECT_GT(disc, discArea / 2);
    EXPECT_LT(disc, discArea * 2) << "more than a disc is white";
    EXPECT_EQ(WhitePixelsOnScreen(primary_), 0);

    // Measured, saved, the camera given back: one touch to confirm.
    ASSERT_TRUE(WaitForCaption([](const std::string& c) { return c.rfind("Check 1 of 1", 0) == 0; }, kMeasureWaitMs))
        << Caption() << "\n"
        << sim::ReadWholeFile(supportLog).substr(logBefore);
    EXPECT_TRUE(sim::WaitUntil([&] { return ServiceStarts() == startsBefore + 1; }, kServiceWaitMs))
        << "the camera service was not started again";
    ExpectPropertiesRestored();

    // The written grid lies where the camera truly sees each target.
    const driver::ScreenSize board{second_.Width(), second_.Height()};
    const calibration::TargetLayout layout(calibration::kDefaultGrid, board);
    const auto truth = fakecamera::FilmGroundTruth::FromText(FilmText("film", second_));
    ASSERT_TRUE(truth);
    const std::string text = rig_.Folder().Read(sim::kSettingsFile);
    const calibration::CalibrationInText written = calibration::ReadCalibrationInText(text, board);
    ASSERT_TRUE(written.Usable()) << text;
    ASSERT_EQ(written.grid.grid, layout.Grid());
    double squares = 0;
    for (int t = 0; t < layout.Count(); ++t) {
        const Point target = layout.ScreenPoint(t);
        // The disc is drawn on the pixel nearest the target, as a cross is.
        const Point seen =
            truth->CameraPointOfPixel(static_cast<int>(std::lround(target.x)), static_cast<int>(std::lround(target.y)));
        const Point measured = written.grid.camera[static_cast<std::size_t>(t)];
        const double error = std::hypot(measured.x - seen.x, measured.y - seen.y);
        EXPECT_LT(error, 4) << "target " << t;
        squares += error * error;
    }
    EXPECT_LT(std::sqrt(squares / layout.Count()), 1.5) << "RMS of the grid, camera units";

    // And the driver's model of it puts each place of the board where the
    // camera sees it, within a pixel.
    const Point first = layout.ScreenPoint(0), last = layout.ScreenPoint(layout.Count() - 1);
    double worst = 0;
    for (double y = first.y; y <= last.y; y += (last.y - first.y) / 12) {
        for (double x = first.x; x <= last.x; x += (last.x - first.x) / 12) {
            const int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
            Point mapped = truth->CameraPointOfPixel(px, py);
            ASSERT_TRUE(written.model->MapPoint(mapped)) << px << ", " << py;
            worst = std::max(worst, std::hypot(mapped.x - px, mapped.y - py));
        }
    }
    EXPECT_LE(worst, 1.0) << "the driver's worst error over the board, pixels";

    // The support log says how long the camera took.
    const std::string log = sim::ReadWholeFile(supportLog).substr(logBefore);
    EXPECT_NE(log.find("Kalmeno: Camera measurement: 25 of 25 targets measured in "), std::string::npos) << log;

    // The confirming touch, through the camera service, where the camera
    // sees the check's place.
    const auto places = calibration::CheckGridPlaces(layout.Grid());
    const Point place = layout.ScreenPointAt(places[0].x, places[0].y);
    const Point placeSeen =
        truth->CameraPointOfPixel(static_cast<int>(std::lround(place.x)), static_cast<int>(std::lround(place.y)));
    for (int n = 0; n < 4 && FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption); ++n)
        rig_.KillCameraService();
    ASSERT_NO_FATAL_FAILURE(PlayTouches({kalmeno_e2e::When("Check 1 of 1", placeSeen)}));
    ASSERT_TRUE(WaitForCaption([](const std::string& c) { return c.rfind("Good: ", 0) == 0; })) << Caption();
    EXPECT_NE(rig_.Folder().Read(sim::kSettingsFile), std::string()) << "the grid is kept";
    PostMessageA(window_, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(kalmeno_.WaitForExit(e2e::kWaitMs));
    EXPECT_EQ(kalmeno_.ExitCode(), 0u);
}

TEST_F(KalmenoCamera, ACameraThatSeesNothingUsefulChangesNothingAndGivesTheBoardBack)
{
    ASSERT_NO_FATAL_FAILURE(StartBoard(""));
    const std::string before = rig_.Folder().Read(sim::kSettingsFile);
    ASSERT_FALSE(before.empty());
    const calibration::KalmenoTexts texts;
    struct Fault {
        const char* mode;
        const char* message;
    };
    const Fault faults[] = {{"black", calibration::texts::kCameraTooDark},
                            {"white", calibration::texts::kCameraTooBright},
                            {"still", calibration::texts::kCameraDoesNotFollow}};
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.mode);
        ASSERT_NO_FATAL_FAILURE(Film(fault.mode, primary_));
        DeleteFileA(cameraLog_.c_str());
        ASSERT_NO_FATAL_FAILURE(OneIdleService());
        const int startsBefore = ServiceStarts();
        ASSERT_NO_FATAL_FAILURE(StartKalmeno(false, "/auto"));
        const std::string message = texts.Get(fault.message);
        ASSERT_TRUE(WaitForCaption([&](const std::string& c) { return c.rfind(message, 0) == 0; }, kMeasureWaitMs))
            << "waited for \"" << message << "\"; Kalmeno shows \"" << Caption() << "\"";
        EXPECT_EQ(rig_.Folder().Read(sim::kSettingsFile), before);
        EXPECT_FALSE(rig_.Folder().Holds(std::string(sim::kSettingsFile) + ".new"));
        EXPECT_TRUE(sim::WaitUntil([&] { return ServiceStarts() == startsBefore + 1; }, kServiceWaitMs))
            << "the camera service was not started again";
        ExpectPropertiesRestored();
        PostMessageA(window_, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(kalmeno_.WaitForExit(e2e::kWaitMs));
        EXPECT_EQ(kalmeno_.ExitCode(), 2u) << "a failed run";
    }
    ASSERT_NO_FATAL_FAILURE(ExpectTheBoardStillWorks());
}

TEST_F(KalmenoCamera, EscapeInTheMiddleGivesTheCameraBackAsItWasAndLeavesTheFile)
{
    ASSERT_NO_FATAL_FAILURE(Film("film", primary_));
    ASSERT_NO_FATAL_FAILURE(StartBoard(""));
    const std::string before = rig_.Folder().Read(sim::kSettingsFile);
    ASSERT_NO_FATAL_FAILURE(OneIdleService());
    const int startsBefore = ServiceStarts();
    // With a listed camera plugged in the teacher is asked first; looking
    // for it took nothing from the camera service.
    ASSERT_NO_FATAL_FAILURE(StartKalmeno(false));
    const std::string choice = calibration::KalmenoTexts().Get(calibration::texts::kChoice);
    ASSERT_TRUE(WaitForCaption([&](const std::string& c) { return c == choice; })) << Caption();
    EXPECT_EQ(sim::CountLinesStartingWith(cameraLog_, "Connect"), 0);
    EXPECT_EQ(e2e::CountMessages(rig_.CameraServiceMessages(), msg::kServiceRelease, 0, 0), 0u);
    PostMessageA(window_, WM_KEYDOWN, VK_RETURN, 0);
    // Two targets measured, the third on the screen.
    ASSERT_TRUE(WaitForCaption([](const std::string& c) { return c.rfind("Camera calibration: target 3 of", 0) == 0; },
                               kMeasureWaitMs))
        << Caption();
    PostMessageA(window_, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(kalmeno_.WaitForExit(e2e::kWaitMs)) << Caption();
    EXPECT_EQ(kalmeno_.ExitCode(), 1u) << "a cancelled run";
    EXPECT_EQ(rig_.Folder().Read(sim::kSettingsFile), before);
    ExpectPropertiesRestored();
    EXPECT_TRUE(sim::WaitUntil([&] { return ServiceStarts() == startsBefore + 1; }, kServiceWaitMs))
        << "the camera service was not started again";
    ASSERT_NO_FATAL_FAILURE(ExpectTheBoardStillWorks());
}

} // namespace
} // namespace kalmeno_camera_e2e
