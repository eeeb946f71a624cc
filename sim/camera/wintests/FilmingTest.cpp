// The fake camera under Wine with FakeCamera.ini beside it: through the
// camera view's own capture graph, what it delivers in each mode, what its
// properties read before anyone set them, and (on an X server of two
// screens) that it films the second monitor where the ground truth says.
#include "CaptureGraph.h"
#include "FakeCameraRegistry.h"

#include "common/CameraIds.h"
#include "common/Win32Monitors.h"
#include "fakecamera/FilmGroundTruth.h"
#include "fakecamera/FilmRenderer.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/TextForms.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace fakecamera::e2e {
namespace {

using camview::CapturedFrame;
using camview::CaptureGraph;
using camview::GrabResult;

constexpr unsigned kFrameTimeoutMs = 5000;
constexpr unsigned kFollowTimeoutMs = 15000;
constexpr FrameSize kFrame{320, 240};

std::wstring ListedCameraPath()
{
    const auto& model = product::kCameraModels[product::kViewToolCameraModels[3]];
    return UsbDevicePath(product::UpperHardwareId(model).data());
}

// Lets the test's own window paint while a test waits.
void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The camera registered, its settings file written beside it, and the
// capture graph around it; all of it gone at the end.
class FakeCameraWithSettings : public ::testing::Test {
protected:
    void TearDown() override
    {
        graph_.TearDownGraph();
        DeleteFileA(settingsPath_.c_str());
        UnregisterFakeCamera();
    }

    void RegisterCamera(const std::string& settings)
    {
        UnregisterFakeCamera();
        DeleteFileA(cameraLog_.c_str());
        ASSERT_TRUE(WriteSettings(settings));
        ASSERT_TRUE(RegisterFakeCameraClass(sim::WidePath(cameraDll_)));
        ASSERT_TRUE(AddFakeCameraDevice(L"camera", ListedCameraPath()));
    }

    void StartCamera(const std::string& settings)
    {
        ASSERT_NO_FATAL_FAILURE(RegisterCamera(settings));
        ASSERT_EQ(graph_.FindDevice(), 1);
        graph_.BuildGraph();
    }

    bool WriteSettings(const std::string& settings) const
    {
        HANDLE file = CreateFileA(settingsPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const bool ok = WriteFile(file, settings.data(), static_cast<DWORD>(settings.size()), &written, nullptr) &&
                        written == settings.size();
        CloseHandle(file);
        return ok;
    }

    bool Grab(CapturedFrame& frame)
    {
        return graph_.GrabFrame(frame, keepWaiting_) == GrabResult::Frame && frame.width == kFrame.width &&
               frame.height == kFrame.height && frame.bytes == Rgb24Bytes(kFrame);
    }

    std::string cameraDll_ = sim::BuiltPath(FAKE_CAMERA_DLL);
    std::string cameraLog_ = sim::FolderOf(cameraDll_) + kLogFileName;
    std::string settingsPath_ = sim::FolderOf(cameraDll_) + kFilmSettingsFileName;
    std::atomic<int> keepWaiting_{1};
    CaptureGraph graph_;
};

TEST_F(FakeCameraWithSettings, ABlindedCameraDeliversOnlyWhiteFrames)
{
    ASSERT_NO_FATAL_FAILURE(StartCamera("[Film]\r\nMODE=white\r\n"));
    CapturedFrame frame;
    ASSERT_TRUE(sim::WaitUntil([&] { return Grab(frame); }, kFrameTimeoutMs));
    EXPECT_TRUE(
        std::all_of(frame.pixels.begin(), frame.pixels.begin() + frame.bytes, [](std::uint8_t b) { return b == 255; }));
    EXPECT_EQ(sim::CountLines(cameraLog_, "Film white 1024x768 at 0,0 delay 1"), 1);
}

TEST_F(FakeCameraWithSettings, PropertiesReadTheirFactoryValuesUntilSet)
{
    ASSERT_NO_FATAL_FAILURE(RegisterCamera("[Film]\r\nMODE=black\r\n"));
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CLSID classId{};
    ASSERT_EQ(CLSIDFromString(kClassIdText, &classId), S_OK);
    IAMVideoProcAmp* amp = nullptr;
    ASSERT_EQ(
        CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IAMVideoProcAmp, reinterpret_cast<void**>(&amp)),
        S_OK);
    long value = 0, flags = 0;
    EXPECT_EQ(amp->Get(VideoProcAmp_Brightness, &value, &flags), S_OK);
    EXPECT_EQ(value, 57);
    EXPECT_EQ(flags, 2);
    EXPECT_EQ(amp->Get(VideoProcAmp_Brightness, &value, &flags), S_OK);
    EXPECT_EQ(value, 57) << "stable";
    EXPECT_EQ(amp->Set(VideoProcAmp_Brightness, 70, 1), S_OK);
    EXPECT_EQ(amp->Get(VideoProcAmp_Brightness, &value, &flags), S_OK);
    EXPECT_EQ(value, 70);
    amp->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    EXPECT_EQ(sim::CountLines(cameraLog_, "VideoProcAmp.Get Brightness"), 3);
}

// A borderless topmost window over one monitor, black, with a white disc
// drawn pixel by pixel: every pixel whose centre lies within the radius of
// the disc's centre pixel's centre, so the disc is centred on that pixel.
class DiscWindow {
public:
    explicit DiscWindow(const common::PixelRect& monitor)
        : width_(monitor.Width()),
          height_(monitor.Height()),
          pixels_(static_cast<std::size_t>(width_) * height_, 0)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &DiscWindow::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"FilmingTestDisc";
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassW(&windowClass);
        window_ =
            CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"Disc", WS_POPUP,
                            monitor.left, monitor.top, width_, height_, nullptr, nullptr, windowClass.hInstance, this);
        if (window_) {
            ShowWindow(window_, SW_SHOWNOACTIVATE);
            UpdateWindow(window_);
        }
    }
    ~DiscWindow()
    {
        if (window_) DestroyWindow(window_);
        PumpMessages();
    }
    DiscWindow(const DiscWindow&) = delete;
    DiscWindow& operator=(const DiscWindow&) = delete;

    explicit operator bool() const { return window_ != nullptr; }

    void ShowDisc(int centreX, int centreY, int radius)
    {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const int dx = x - centreX, dy = y - centreY;
                pixels_[static_cast<std::size_t>(y) * width_ + x] = dx * dx + dy * dy <= radius * radius ? 0xFFFFFF : 0;
            }
        }
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<DiscWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_PAINT && self) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            self->Paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void Paint(HDC dc) const
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, width_, height_, 0, 0, 0, height_, pixels_.data(), &info, DIB_RGB_COLORS);
    }

    int width_, height_;
    std::vector<std::uint32_t> pixels_;
    HWND window_ = nullptr;
};

// Grey level of the frame at picture pixel (x, y), the top row first.
int GreyAt(const CapturedFrame& frame, int x, int y)
{
    return frame.pixels[static_cast<std::size_t>(kFrame.height - 1 - y) * Rgb24Stride(kFrame.width) + x * 3];
}

// Where the frame is brighter than `dark`, weighted by how much, within a
// window around its brightest spot; a picture position, or nothing when no
// spot stands out.
bool SpotCentroid(const CapturedFrame& frame, const std::vector<std::uint8_t>& dark, Point& centroid)
{
    auto excess = [&](int x, int y) {
        return GreyAt(frame, x, y) -
               dark[static_cast<std::size_t>(kFrame.height - 1 - y) * Rgb24Stride(kFrame.width) + x * 3];
    };
    int brightest = 0, peakX = 0, peakY = 0;
    for (int y = 0; y < kFrame.height; ++y) {
        for (int x = 0; x < kFrame.width; ++x) {
            if (excess(x, y) > brightest) {
                brightest = excess(x, y);
                peakX = x;
                peakY = y;
            }
        }
    }
    if (brightest < 40) return false;
    constexpr int kReach = 12;
    double sum = 0, sumX = 0, sumY = 0;
    for (int y = std::max(0, peakY - kReach); y <= std::min(kFrame.height - 1, peakY + kReach); ++y) {
        for (int x = std::max(0, peakX - kReach); x <= std::min(kFrame.width - 1, peakX + kReach); ++x) {
            const int weight = excess(x, y);
            sum += weight;
            sumX += weight * (x + 0.5);
            sumY += weight * (y + 0.5);
        }
    }
    centroid = {sumX / sum, sumY / sum};
    return true;
}

int LargestDifference(const CapturedFrame& frame, const std::vector<std::uint8_t>& expected)
{
    int largest = 0;
    for (std::size_t at = 0; at < expected.size(); ++at)
        largest = std::max(largest, std::abs(frame.pixels[at] - expected[at]));
    return largest;
}

class FakeCameraFilmsTheSecondMonitor : public FakeCameraWithSettings {
protected:
    void SetUp() override
    {
        const common::DisplayLayout layout = common::ReadDisplayLayout();
        for (const common::MonitorInfo& monitor : layout.monitors) {
            if (!monitor.primary) second_ = monitor.rect;
        }
        if (layout.monitors.size() < 2) GTEST_SKIP() << "Wine shows one monitor on this display";
    }

    std::string Settings() const
    {
        return "[Film]\r\nMODE=film\r\nMONITOR_LEFT=" + std::to_string(second_.left) +
               "\r\nMONITOR_TOP=" + std::to_string(second_.top) +
               "\r\nMONITOR_WIDTH=" + std::to_string(second_.Width()) +
               "\r\nMONITOR_HEIGHT=" + std::to_string(second_.Height()) +
               "\r\nK1=-0.17\r\nBLUR=0.8\r\nNOISE=0\r\nROOM=25\r\nROOM_GRADIENT=12\r\nCONTRAST=190\r\nDELAY=2\r\n";
    }

    common::PixelRect second_;
};

TEST_F(FakeCameraFilmsTheSecondMonitor, TheDiscShowsWhereTheGroundTruthPutsIt)
{
    const std::string settingsText = Settings();
    const auto settings = ParseFilmSettings(settingsText);
    const auto truth = FilmGroundTruth::FromText(settingsText);
    ASSERT_TRUE(settings && truth);

    DiscWindow window(second_);
    ASSERT_TRUE(window);
    ASSERT_NO_FATAL_FAILURE(StartCamera(settingsText));

    // The camera's picture of the dark window, as the camera's own renderer
    // makes it: the frames follow the screen once they show it.
    std::vector<std::uint8_t> dark(Rgb24Bytes(kFrame));
    {
        const std::vector<std::uint8_t> black(static_cast<std::size_t>(second_.Width()) * second_.Height() * 4, 0);
        FilmRenderer renderer(*settings, kFrame);
        renderer.Render(
            {black.data(), second_.Width(), second_.Height(), 4, static_cast<std::size_t>(second_.Width()) * 4}, 1,
            dark.data());
    }
    CapturedFrame frame;
    int difference = -1;
    EXPECT_TRUE(sim::WaitUntil(
        [&] {
            PumpMessages();
            if (!Grab(frame)) return false;
            difference = LargestDifference(frame, dark);
            return difference <= 2;
        },
        kFollowTimeoutMs))
        << "the frames never showed the dark window; largest difference " << difference;

    const int centreX = second_.Width() * 3 / 10, centreY = second_.Height() * 6 / 10;
    window.ShowDisc(centreX, centreY, 14);
    const Point wanted = truth->CameraPointOfPixel(centreX, centreY);
    const Point wantedPosition{wanted.x / 10, wanted.y / 10};
    Point found{-1, -1};
    const bool followed = sim::WaitUntil(
        [&] {
            PumpMessages();
            return Grab(frame) && SpotCentroid(frame, dark, found) &&
                   std::hypot(found.x - wantedPosition.x, found.y - wantedPosition.y) < 0.3;
        },
        kFollowTimeoutMs);
    EXPECT_TRUE(followed) << "disc seen at " << found.x << "," << found.y << ", truly at " << wantedPosition.x << ","
                          << wantedPosition.y;
    EXPECT_NEAR(found.x, wantedPosition.x, 0.3);
    EXPECT_NEAR(found.y, wantedPosition.y, 0.3);
}

} // namespace
} // namespace fakecamera::e2e
