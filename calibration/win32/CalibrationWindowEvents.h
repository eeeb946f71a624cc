#pragma once
// What happens to the calibration window from outside, as named events, so
// its procedure needs no knowledge of who sends what. The window is of
// class "ULDlg": the driver closes that window with WM_CLOSE (1, 1) when a
// forwarded contact hits board key 12, the teacher's way out at the board.
// Every event but RecordsWaiting cancels the run, as Escape does; a change
// of the monitors does too, since the targets no longer lie where the
// camera was shown them.
#include "common/DisplayLayout.h"
#include "common/Messages.h"
#include "common/UniqueHandle.h"

#include <windows.h>

namespace calibration {

inline constexpr const char* kCalibrationWindowClass = wnd::kCalibrationDialogClass;
// The forwarding session's hand-over (ForwardingSession).
inline constexpr UINT kRecordsWaitingMessage = WM_APP + 0x120;

enum class WindowEvent {
    None,           // not the calibration's: the window's default handling
    CalibrationKey, // the driver's WM_CLOSE (1, 1)
    CloseAsked,     // any other WM_CLOSE: the close box, Alt+F4
    Escape,         // the Escape key
    DisplayChanged, // WM_DISPLAYCHANGE
    RecordsWaiting, // kRecordsWaitingMessage
};

WindowEvent ClassifyWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
bool CancelsCalibration(WindowEvent event);
const char* Name(WindowEvent event);

// The class "ULDlg" registered with `procedure` while this object lives.
class CalibrationWindowClass {
public:
    CalibrationWindowClass(HINSTANCE instance, WNDPROC procedure);
    ~CalibrationWindowClass();
    CalibrationWindowClass(const CalibrationWindowClass&) = delete;
    CalibrationWindowClass& operator=(const CalibrationWindowClass&) = delete;

    explicit operator bool() const { return registered_; }
    // A borderless top-level window of the class over `rect` (the driver
    // finds only top-level windows), hidden until the caller shows it;
    // `creationData` reaches WM_NCCREATE and WM_CREATE.
    common::UniqueWindow Create(const common::PixelRect& rect, void* creationData) const;

private:
    HINSTANCE instance_;
    bool registered_ = false;
};

} // namespace calibration
