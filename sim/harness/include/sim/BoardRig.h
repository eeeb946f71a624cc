#pragma once
// The driver with its stand-ins in one folder: the mouse recorder and the
// drawing application first, then Brelvin.exe, which starts the camera
// service stand-in from the same folder. Ends them all when it goes.
#include "sim/ChildProcess.h"
#include "sim/ScratchFolder.h"
#include "sim/SessionReport.h"

#include <string>
#include <vector>

namespace sim {

inline constexpr const char* kDriverProgram = "Brelvin.exe";
inline constexpr const char* kHookLibrary = "LINK.dll";
inline constexpr const char* kDrawingAppProgram = "SimDrawingApp.exe";
inline constexpr const char* kMainToolProgram = "SimMainTool.exe";
inline constexpr const char* kRecorderProgram = "SimMouseRecorder.exe";
inline constexpr const char* kRecorderClass = "SimMouseRecorder";
inline constexpr const char* kCameraServiceLog = "ZorvikSrv.log";
inline constexpr const char* kDrawingAppLog = "Dovrel.log";
inline constexpr const char* kRecorderLog = "MouseRecorder.log";
inline constexpr const char* kMainToolLog = "MainTool.log";
inline constexpr const char* kScriptFile = "ZorvikSrv.script";
inline constexpr const char* kSettingsFile = "WBInit.ini";
inline constexpr const char* kCalibratorProgram = "SimCalibrator.exe";
inline constexpr const char* kCalibratorLog = "SimCalibrator.log";
inline constexpr const char* kCalibratorScript = "SimCalibrator.script";
inline constexpr const char* kDrawingAppSocketLog = "DovrelSocket.log";

// How long a program gets to show up or go away.
inline constexpr unsigned kStartTimeoutMs = 20000;
// How long a played script may take, at the driver's 2 ms cycle.
inline constexpr unsigned kScriptTimeoutMs = 60000;

// How a camera service that is running goes before another one starts.
enum class ServiceEnd {
    Polite, // WM_CLOSE, then killed only when it does not end in time
    Kill,   // killed at once: it may hang or hold the block's lock
};

class BoardRig {
public:
    // `programs` is the folder that holds the built programs.
    BoardRig(const std::string& programs, const std::string& scratchParent, const std::string& label,
             FolderLifetime lifetime = FolderLifetime::Temporary);
    // Closes the driver and every stand-in, politely first.
    ~BoardRig();
    BoardRig(const BoardRig&) = delete;
    BoardRig& operator=(const BoardRig&) = delete;

    const ScratchFolder& Folder() const { return folder_; }
    std::string File(const std::string& name) const { return folder_.File(name); }

    // Copies the driver, its hook library and the stand-ins in; false with
    // a reason in Problem() when one is missing.
    bool Prepare(const std::string& script, const std::string& settings);
    bool StartRecorder();
    bool StartDrawingApp();
    bool StartMainTool();
    // Starts Brelvin.exe and waits until its window has finished its start-up.
    bool StartDriver();
    ChildProcess StartSecondDriver() const;

    // The drawing application that also listens on the touch socket; ready
    // once its socket log says `listening`.
    bool StartListeningDrawingApp();
    // Copies in the calibration program stand-in and starts it with `script`
    // (its own language, see sim/calibrator).
    bool StartCalibrator(const std::string& script);
    // Ends the camera service the driver started, then starts it again
    // playing `script` (empty: none), so a script can begin at a moment the
    // test chooses.
    bool RestartCameraService(const std::string& script, ServiceEnd end = ServiceEnd::Polite);
    // Ends the camera service and waits until it is gone.
    void StopCameraService();
    // Ends the camera service at once, as a crash would (its window, its
    // share of the block and a lock it holds are left to the system), and
    // waits until the process is gone.
    void KillCameraService();
    // Asks the listening drawing application to end its touch-socket
    // connections (its socket log then says `dropped <n>`).
    bool DropTouchConnections() const;
    // The same for the calibration program and the drawing application.
    void KillCalibrator();
    void KillDrawingApp();
    // Closes the calibration program (it stays after its script) politely.
    void CloseCalibrator();

    // Waits for "script done" in the camera service's log.
    bool WaitForScript(unsigned timeoutMs = kScriptTimeoutMs) const;

    // Posts WM_CLOSE to the driver and waits for it to end.
    bool CloseDriver(unsigned timeoutMs = kStartTimeoutMs);
    void CloseStandIns();

    std::vector<MouseEvent> MouseEvents() const;
    std::vector<LoggedMessage> DrawingAppMessages() const;
    std::vector<LoggedMessage> CameraServiceMessages() const;
    std::vector<LoggedMessage> MainToolMessages() const;
    ChildProcess& Driver() { return driver_; }
    const std::string& Problem() const { return problem_; }

private:
    bool CopyProgram(const std::string& name);
    bool Fail(const std::string& problem);
    void CloseWindowAndWait(const char* className, const char* caption, ChildProcess& process);
    // Kills `process`, or when it does not run, the owner of the window.
    void KillByWindow(const char* className, const char* caption, ChildProcess& process);

    std::string programs_;
    ScratchFolder folder_;
    ChildProcess recorder_;
    ChildProcess drawingApp_;
    ChildProcess mainTool_;
    ChildProcess driver_;
    ChildProcess calibrator_;
    ChildProcess cameraService_;
    std::string problem_;
};

} // namespace sim
