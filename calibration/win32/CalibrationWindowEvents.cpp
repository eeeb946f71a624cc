#include "CalibrationWindowEvents.h"

namespace calibration {

WindowEvent ClassifyWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE: return wParam == 1 && lParam == 1 ? WindowEvent::CalibrationKey : WindowEvent::CloseAsked;
    case WM_KEYDOWN: return wParam == VK_ESCAPE ? WindowEvent::Escape : WindowEvent::None;
    case WM_DISPLAYCHANGE: return WindowEvent::DisplayChanged;
    case kRecordsWaitingMessage: return WindowEvent::RecordsWaiting;
    default: return WindowEvent::None;
    }
}

bool CancelsCalibration(WindowEvent event)
{
    return event != WindowEvent::None && event != WindowEvent::RecordsWaiting;
}

const char* Name(WindowEvent event)
{
    switch (event) {
    case WindowEvent::None: return "none";
    case WindowEvent::CalibrationKey: return "calibration key";
    case WindowEvent::CloseAsked: return "close asked";
    case WindowEvent::Escape: return "escape";
    case WindowEvent::DisplayChanged: return "display changed";
    case WindowEvent::RecordsWaiting: return "records waiting";
    }
    return "?";
}

namespace {

// A window of the wide functions, so that its caption keeps the texts of any
// language whatever the system's code page; the driver finds it by the same
// class name through the narrow ones (kCalibrationWindowClass; the Wine
// tests of the calibration key hold the two to each other).
const wchar_t* const kWideClassName = L"ULDlg";

} // namespace

CalibrationWindowClass::CalibrationWindowClass(HINSTANCE instance, WNDPROC procedure)
    : instance_(instance)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWideClassName;
    registered_ = RegisterClassW(&windowClass) != 0;
}

CalibrationWindowClass::~CalibrationWindowClass()
{
    if (registered_) UnregisterClassW(kWideClassName, instance_);
}

common::UniqueWindow CalibrationWindowClass::Create(const common::PixelRect& rect, void* creationData) const
{
    if (!registered_) return common::UniqueWindow();
    return common::UniqueWindow(CreateWindowExW(WS_EX_TOPMOST, kWideClassName, L"", WS_POPUP, rect.left,
                                                rect.top, rect.Width(), rect.Height(), nullptr, nullptr, instance_,
                                                creationData));
}

} // namespace calibration
