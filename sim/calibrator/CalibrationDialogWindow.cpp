#include "CalibrationDialogWindow.h"

#include "common/Messages.h"
#include "sim/LineLog.h"

namespace sim {

CalibrationDialogWindow::~CalibrationDialogWindow()
{
    if (window_) DestroyWindow(window_);
    if (instance_) UnregisterClassA(wnd::kCalibrationDialogClass, instance_);
}

bool CalibrationDialogWindow::Create(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &ObjectWindowProcedure<CalibrationDialogWindow>;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = wnd::kCalibrationDialogClass;
    if (!RegisterClassA(&windowClass)) return false;
    instance_ = instance;
    window_ = CreateWindowExA(0, wnd::kCalibrationDialogClass, "Calibration", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, this);
    return window_ != nullptr;
}

int CalibrationDialogWindow::RunMessageLoop()
{
    return RunThreadMessageLoop();
}

LRESULT CalibrationDialogWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) window_ = window;
    switch (message) {
    case WM_CLOSE:
        if (wParam != 0 || lParam != 0) {
            AppendLine(logPath_, "close " + std::to_string(wParam) + " " + std::to_string(lParam));
            return 0;
        }
        if (exitHandler_) exitHandler_();
        DestroyWindow(window);
        AppendLine(logPath_, "exit");
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace sim
