#pragma once
// The calibration program's window "ULDlg", which the driver closes with
// WM_CLOSE (1, 1) when a forwarded contact hits the calibration key. The
// stand-in logs that close as `close 1 1` and stays, so one process can see
// several of them; only a plain WM_CLOSE (0, 0) ends it.
#include "sim/ObjectWindow.h"

#include <windows.h>

#include <functional>
#include <string>

namespace sim {

class CalibrationDialogWindow {
public:
    explicit CalibrationDialogWindow(std::string logPath)
        : logPath_(std::move(logPath))
    {}
    ~CalibrationDialogWindow();
    CalibrationDialogWindow(const CalibrationDialogWindow&) = delete;
    CalibrationDialogWindow& operator=(const CalibrationDialogWindow&) = delete;

    // Runs on the plain WM_CLOSE, before the window goes.
    void OnExit(std::function<void()> handler) { exitHandler_ = std::move(handler); }

    bool Create(HINSTANCE instance);
    int RunMessageLoop();

private:
    template <class Owner>
    friend LRESULT CALLBACK ObjectWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::string logPath_;
    std::function<void()> exitHandler_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
};

} // namespace sim
