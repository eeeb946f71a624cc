#pragma once
// Kalmeno.exe started for real beside the driver and its stand-ins: the
// fixture of its end-to-end tests, and the camera service stand-in's resting
// touches, each let go by the test once Kalmeno shows what it waits for.
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/ChildProcess.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/StandInMessages.h"
#include "sim/TextForms.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include "driver/Desktop.h"
#include "driver/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace kalmeno_e2e {

using driver::Point;

constexpr unsigned kStepWaitMs = 20000;
// A touch Kalmeno takes: the pen lands, rests about 0.65 s at a camera's 60
// frames a second, lifts (calibration/TouchTaker.h: at least 5 still
// samples between the first and the last 100 ms).
constexpr int kRestSamples = 40;
constexpr int kNoiseUnits = 2;
// The driver's key 12 in e2e-keys-WBInit.ini, in camera units.
constexpr int kCalibrationKeyX = 2810;
constexpr int kCalibrationKeyY = 2080;

inline driver::ScreenSize Screen()
{
    const e2e::ScreenSize screen = e2e::PrimaryScreen();
    return {screen.width, screen.height};
}

// This board's camera: the projected picture of the board's monitor (of
// `size`) seen from above, rows nearer the bottom farther away and so
// narrower, as in a classroom.
inline Point CameraSeesOn(const Point& screen, driver::ScreenSize size)
{
    const double u = screen.x / size.width, v = screen.y / size.height;
    const double w = 1 + 0.12 * v;
    return {1600 + (u - 0.5) * 2900 / w, 150 + 2100 * v / w};
}

// The board on the primary screen.
inline Point CameraSees(const Point& screen)
{
    return CameraSeesOn(screen, Screen());
}

inline std::string At(double x, double y)
{
    return std::to_string(std::lround(x)) + " " + std::to_string(std::lround(y));
}

// One resting touch at `camera`, after the go-ahead of the test.
inline std::string RestingTouch(const Point& camera, std::mt19937& random)
{
    std::uniform_int_distribution<int> noise(-kNoiseUnits, kNoiseUnits);
    std::string script = "await " + std::to_string(sim::kScriptGoAhead) + " 60000\n";
    script += "down " + At(camera.x, camera.y) + "\n";
    for (int n = 0; n < kRestSamples; ++n)
        script += "rec 1 " + At(camera.x + noise(random), camera.y + noise(random)) + "\n";
    return script + "up " + At(camera.x, camera.y) + "\n";
}

// What the test waits for before it lets the next touch go.
struct Step {
    Point camera;
    std::function<bool(const std::string& caption)> ready;
    std::string waitsFor; // for a failure's message
};

inline Step When(const std::string& caption, const Point& camera)
{
    return {camera, [caption](const std::string& shown) { return shown == caption; }, caption};
}

class Kalmeno : public e2e::DriverRun {
protected:
    ~Kalmeno() override
    {
        if (kalmeno_.Running()) kalmeno_.Terminate();
    }

    void StartKalmeno(bool withLanguageFile, const std::string& arguments = "")
    {
        ASSERT_TRUE(rig_.Folder().CopyIn(sim::BuiltPath(KALMENO_EXE), "Kalmeno.exe"));
        if (withLanguageFile) {
            ASSERT_TRUE(rig_.Folder().CopyIn(sim::BuiltPath(DIST_LANGUAGE_INI), "Language.ini"));
        }
        kalmeno_ = sim::ChildProcess::Start(rig_.File("Kalmeno.exe"), rig_.Folder().Path(), arguments);
        ASSERT_TRUE(kalmeno_);
        window_ = sim::WaitForProcessWindow(
            kalmeno_.Id(), [](HWND w) { return IsWindowVisible(w) && ClassIs(w, wnd::kCalibrationDialogClass); },
            e2e::kWaitMs);
        ASSERT_NE(window_, nullptr) << "no \"ULDlg\" window of Kalmeno's";
    }

    static bool ClassIs(HWND window, const char* name)
    {
        char className[32] = {};
        GetClassNameA(window, className, sizeof className);
        return std::string(className) == name;
    }

    // The stored text: a window busy with the driver is not waited on.
    std::string Caption() const
    {
        wchar_t text[512] = {};
        GetWindowTextW(window_, text, 512);
        return sim::Utf8(text);
    }

    bool WaitForCaption(const std::function<bool(const std::string&)>& wanted, unsigned timeoutMs = kStepWaitMs) const
    {
        return sim::WaitUntil([&] { return wanted(Caption()); }, timeoutMs, 10);
    }

    // The camera service plays every step's touch, each once its go-ahead
    // comes, and the test gives it when Kalmeno shows what the step waits for.
    void PlayTouches(const std::vector<Step>& steps, const std::string& after = "")
    {
        std::mt19937 random(12);
        std::string script = e2e::kScriptStart + "pace 16\n";
        for (const Step& step : steps) script += RestingTouch(step.camera, random);
        ASSERT_TRUE(rig_.RestartCameraService(script + after)) << rig_.Problem();
        for (std::size_t n = 0; n < steps.size(); ++n) {
            ASSERT_TRUE(WaitForCaption(steps[n].ready)) << "step " << n << " waited for \"" << steps[n].waitsFor
                                                        << "\"; Kalmeno shows \"" << Caption() << "\"\n"
                                                        << Log(sim::kCameraServiceLog);
            GoAhead();
        }
    }

    void GoAhead() const
    {
        PostMessageA(FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption), sim::kScriptGoAhead, 0, 0);
    }

    sim::ChildProcess kalmeno_;
    HWND window_ = nullptr;
};

} // namespace kalmeno_e2e
