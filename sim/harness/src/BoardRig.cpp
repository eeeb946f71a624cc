#include "sim/BoardRig.h"

#include "common/Messages.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/StandInMessages.h"
#include "sim/WindowSearch.h"

#include <windows.h>

namespace sim {
namespace {

constexpr unsigned kCloseTimeoutMs = 10000;
// A window that does not answer within this is hung: its program is killed
// rather than asked.
constexpr unsigned kAnswerTimeoutMs = 1000;

bool Answers(HWND window)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) != 0;
}

// The program that owns the window, or an empty object.
ChildProcess OwnerOf(HWND window)
{
    DWORD id = 0;
    if (window) GetWindowThreadProcessId(window, &id);
    return id ? ChildProcess::Adopt(id) : ChildProcess();
}

// Programs the rig copies into its folder.
constexpr const char* kPrograms[] = {kDriverProgram,     kHookLibrary,     wnd::kCameraServiceProgram,
                                     kDrawingAppProgram, kMainToolProgram, kRecorderProgram};

} // namespace

BoardRig::BoardRig(const std::string& programs, const std::string& scratchParent, const std::string& label,
                   FolderLifetime lifetime)
    : programs_(programs),
      folder_(scratchParent, label, lifetime)
{}

BoardRig::~BoardRig()
{
    CloseDriver(kCloseTimeoutMs);
    CloseStandIns();
}

bool BoardRig::Fail(const std::string& problem)
{
    problem_ = problem;
    return false;
}

bool BoardRig::CopyProgram(const std::string& name)
{
    if (folder_.CopyIn(programs_ + name, name)) return true;
    return Fail("cannot copy " + programs_ + name + " (error " + std::to_string(GetLastError()) + ")");
}

bool BoardRig::Prepare(const std::string& script, const std::string& settings)
{
    if (!folder_.Ok()) return Fail("cannot make the folder " + folder_.Path());
    for (const char* program : kPrograms) {
        if (!CopyProgram(program)) return false;
    }
    if (!script.empty() && !folder_.Write(kScriptFile, script)) return Fail("cannot write the script");
    if (!settings.empty() && !folder_.Write(kSettingsFile, settings)) return Fail("cannot write the settings");
    return true;
}

bool BoardRig::StartRecorder()
{
    recorder_ = ChildProcess::Start(File(kRecorderProgram), folder_.Path());
    if (!recorder_) return Fail("cannot start the mouse recorder");
    if (!WaitForLogLine(File(kRecorderLog), "ready", kStartTimeoutMs)) return Fail("the mouse recorder is not ready");
    return true;
}

bool BoardRig::StartDrawingApp()
{
    drawingApp_ = ChildProcess::Start(File(kDrawingAppProgram), folder_.Path());
    if (!drawingApp_ || !WaitForWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption, kStartTimeoutMs)) {
        return Fail("the drawing application stand-in did not come up");
    }
    return true;
}

bool BoardRig::StartMainTool()
{
    mainTool_ = ChildProcess::Start(File(kMainToolProgram), folder_.Path());
    if (!mainTool_ || !WaitForWindow(wnd::kMainToolClass, nullptr, kStartTimeoutMs)) {
        return Fail("the main tool stand-in did not come up");
    }
    return true;
}

bool BoardRig::StartDriver()
{
    driver_ = ChildProcess::Start(File(kDriverProgram), folder_.Path());
    if (!driver_) return Fail("cannot start " + File(kDriverProgram));
    HWND window = WaitForWindow(wnd::kDriverClass, wnd::kDriverCaption, kStartTimeoutMs);
    if (!window) return Fail("the driver's window did not appear");
    if (!WaitForAnswer(window, kStartTimeoutMs)) return Fail("the driver's start-up did not end");
    return true;
}

ChildProcess BoardRig::StartSecondDriver() const
{
    return ChildProcess::Start(File(kDriverProgram), folder_.Path());
}

bool BoardRig::WaitForScript(unsigned timeoutMs) const
{
    const std::string log = File(kCameraServiceLog);
    if (!WaitForLogLine(
            log,
            [](const std::string& line) {
                return line.compare(0, 7, "script ") == 0 && line.compare(0, 13, "script begin ") != 0;
            },
            timeoutMs)) {
        return false;
    }
    return !FindLogLine(log, "script done ").empty();
}

bool BoardRig::CloseDriver(unsigned timeoutMs)
{
    if (!driver_.Running()) return true;
    if (HWND window = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption)) PostMessageA(window, WM_CLOSE, 0, 0);
    if (driver_.WaitForExit(timeoutMs)) return true;
    driver_.Terminate();
    return false;
}

void BoardRig::CloseWindowAndWait(const char* className, const char* caption, ChildProcess& process)
{
    // Started by someone else (the camera service by the driver): found by its window.
    if (!process) process = OwnerOf(FindWindowA(className, caption));
    if (!process.Running()) return;
    HWND window = FindWindowA(className, caption);
    if (window && !Answers(window)) {
        process.Terminate();
        return;
    }
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(kCloseTimeoutMs)) process.Terminate();
}

void BoardRig::KillByWindow(const char* className, const char* caption, ChildProcess& process)
{
    if (!process.Running()) process = OwnerOf(FindWindowA(className, caption));
    process.Terminate();
    process = ChildProcess();
}

void BoardRig::CloseStandIns()
{
    ChildProcess cameraService;
    CloseWindowAndWait(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, cameraService);
    CloseWindowAndWait(wnd::kDrawingAppClass, wnd::kDrawingAppCaption, drawingApp_);
    CloseWindowAndWait(wnd::kMainToolClass, nullptr, mainTool_);
    CloseWindowAndWait(kRecorderClass, nullptr, recorder_);
}

bool BoardRig::StartListeningDrawingApp()
{
    drawingApp_ = ChildProcess::Start(File(kDrawingAppProgram), folder_.Path(), "/listen");
    if (!drawingApp_ || !WaitForLogLine(File(kDrawingAppSocketLog), "listening", kStartTimeoutMs) ||
        !WaitForWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption, kStartTimeoutMs)) {
        return Fail("the listening drawing application did not come up: " + ReadWholeFile(File(kDrawingAppSocketLog)));
    }
    return true;
}

bool BoardRig::StartCalibrator(const std::string& script)
{
    if (!CopyProgram(kCalibratorProgram)) return false;
    if (!folder_.Write(kCalibratorScript, script)) return Fail("cannot write the calibrator's script");
    calibrator_ = ChildProcess::Start(File(kCalibratorProgram), folder_.Path());
    if (!calibrator_ || !WaitForWindow(wnd::kCalibrationDialogClass, nullptr, kStartTimeoutMs)) {
        return Fail("the calibrator stand-in did not come up");
    }
    return true;
}

void BoardRig::StopCameraService()
{
    CloseWindowAndWait(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, cameraService_);
    cameraService_ = ChildProcess();
}

void BoardRig::KillCameraService()
{
    KillByWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, cameraService_);
    // One the driver started while ours ran (or that outlived a kill's wait).
    ChildProcess other;
    KillByWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, other);
}

bool BoardRig::DropTouchConnections() const
{
    HWND window = FindWindowA(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    return window && PostMessageA(window, kDropTouchConnections, 0, 0);
}

void BoardRig::KillCalibrator()
{
    KillByWindow(wnd::kCalibrationDialogClass, nullptr, calibrator_);
}

void BoardRig::KillDrawingApp()
{
    KillByWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption, drawingApp_);
}

void BoardRig::CloseCalibrator()
{
    CloseWindowAndWait(wnd::kCalibrationDialogClass, nullptr, calibrator_);
}

bool BoardRig::RestartCameraService(const std::string& script, ServiceEnd end)
{
    if (end == ServiceEnd::Kill) {
        KillCameraService();
    } else {
        StopCameraService();
    }
    if (script.empty()) {
        DeleteFileA(File(kScriptFile).c_str());
    } else if (!folder_.Write(kScriptFile, script)) {
        return Fail("cannot write the script");
    }
    cameraService_ = ChildProcess::Start(File(wnd::kCameraServiceProgram), folder_.Path());
    if (!cameraService_ || !WaitForWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, kStartTimeoutMs)) {
        return Fail("the camera service did not come back");
    }
    return true;
}

std::vector<MouseEvent> BoardRig::MouseEvents() const
{
    std::vector<MouseEvent> events;
    for (const std::string& line : LogLines(File(kRecorderLog))) {
        if (auto event = ParseMouseLine(line)) events.push_back(*event);
    }
    return events;
}

std::vector<LoggedMessage> BoardRig::DrawingAppMessages() const
{
    return MessagesInLog(File(kDrawingAppLog));
}
std::vector<LoggedMessage> BoardRig::CameraServiceMessages() const
{
    return MessagesInLog(File(kCameraServiceLog));
}
std::vector<LoggedMessage> BoardRig::MainToolMessages() const
{
    return MessagesInLog(File(kMainToolLog));
}

} // namespace sim
