#pragma once
// The calibration's full-screen window on the board's monitor: the one
// window of Kalmeno.exe, of class "ULDlg" so that the driver's close on
// board key 12 reaches it. It drives the run (calibration/CalibrationFlow.h)
// with what the system brings: the board's records through the driver's
// forwarding pipe, its clock, the keyboard, the driver's close and changes
// of the display, and the board camera's frames; and it does what the run
// asks of the system: borrowing the camera while the run measures with it,
// writing the settings file, telling the driver to reload it, and
// forwarding anew for the next stage.
#include "BoardPicture.h"
#include "CameraFrames.h"
#include "Win32FileAccess.h"

#include "CameraLoan.h"

#include "CalibrationWindowEvents.h"
#include "ForwardingSession.h"

#include "calibration/CalibrationFlow.h"
#include "calibration/KalmenoTexts.h"
#include "calibration/ProgramOptions.h"
#include "common/CalibrationCheckRecord.h"
#include "common/DisplayLayout.h"
#include "common/SupportLogFile.h"
#include "common/UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace kalmeno {

struct WindowSetup {
    calibration::ProgramOptions options;
    std::string settingsPath; // UTF-8
    // The settings file is the user's own copy (a user who is no administrator).
    bool perUserCopy = false;
    common::PixelRect monitor;
    calibration::KalmenoTexts texts;
    // A listed camera is there to borrow for an automatic calibration.
    bool cameraOffered = false;
};

// Exit codes of the program.
enum class ExitCode : int { Done = 0, Cancelled = 1, Failed = 2, NoWindow = 3 };

// A window timer, killed when this goes.
class WindowTimer {
public:
    WindowTimer() = default;
    ~WindowTimer() { Stop(); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    bool Start(HWND window, UINT_PTR id, UINT periodMs);
    void Stop();

private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

class KalmenoWindow {
public:
    // The run's clock ticks this often: the idle minute, a pen whose
    // samples stopped, the last screen's time.
    static constexpr UINT kTickMs = 100;
    // A run that ends while the pen is on the board (the driver's close on
    // board key 12 comes at the key's first touch) keeps the records until
    // the pen lifts, at most this long: what is left of that touch would
    // otherwise be the mouse's, a press on key 12 once more.
    static constexpr DWORD kLiftWaitMs = 2000;

    KalmenoWindow(HINSTANCE instance, WindowSetup setup);
    ~KalmenoWindow();
    KalmenoWindow(const KalmenoWindow&) = delete;
    KalmenoWindow& operator=(const KalmenoWindow&) = delete;

    // Shows the window and handles this thread's messages until the run is
    // over and its last screen seen.
    ExitCode Run();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void OnOutsideEvent(calibration::WindowEvent event);
    void OnKey(WPARAM key);
    void OnRecordsWaiting();
    void OnRecord(const calibration::RawRecord& record);
    void OnCameraFrames();

    // Does what each stage the run has come to asks of the system, until
    // the run rests in one, then shows it.
    void Advance();
    void Enter(calibration::FlowStage stage);
    void BeginForwarding();
    void EndForwarding(calibration::RunOutcome outcome);
    // Ends it at once, or once the pen that is down now lifts.
    void EndForwardingOnceLifted();
    void EndForwardingIfLifted();
    // Without a forwarding to end (the camera's grid), the driver is told
    // to reload all the same.
    void TellDriverToReload() const;
    void TellDriverKeysAreOn() const;
    // The camera is the window's exactly while the run is in Camera:
    // borrowed on entering, given back on leaving, before anything is saved.
    void BorrowCamera();
    void GiveCameraBack();
    // A new pattern is painted at once, and the run told once it is.
    void ShowNewPattern();
    void WriteCheckRecord(const common::CalibrationCheckRecord& record) const;

    BoardPicture Picture() const;
    void Show(bool now = false);
    void Log(const std::string& line);
    ExitCode Outcome() const;

    WindowSetup setup_;
    Win32FileAccess files_;
    calibration::CalibrationFlow flow_;
    common::SupportLogFile log_;
    HINSTANCE instance_;
    calibration::CalibrationWindowClass class_;
    common::UniqueWindow window_;
    // Both go before the window they post to and time on.
    WindowTimer ticks_;
    std::unique_ptr<calibration::ForwardingSession> session_;
    // What the session's failure handler reported during a hand-over.
    std::optional<calibration::ForwardingError> forwardingFailure_;
    std::optional<calibration::FlowStage> entered_;
    bool penDown_ = false;
    // When a forwarding left to end once the pen lifts ends regardless.
    std::optional<DWORD> liftDeadline_;
    bool connecting_ = false;
    BoardPicture shown_;
    // The loan goes after the frames that read from its graph.
    std::unique_ptr<camview::CameraLoan> camera_;
    std::unique_ptr<CameraFrames> frames_;
    // The last pattern the run was told is on the screen.
    unsigned patternTold_ = 0;
};

calibration::CancelCause CauseOf(calibration::ForwardingError error);
calibration::CancelCause CauseOf(calibration::WindowEvent event);

} // namespace kalmeno
