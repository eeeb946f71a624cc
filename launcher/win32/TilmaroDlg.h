#pragma once
// The launcher's dialog: one button starts the settings program and stays,
// one starts the calibration program and closes, one just closes.
#include <windows.h>

namespace launcher {

class CTilmaroDlg {
public:
    explicit CTilmaroDlg(HINSTANCE instance) : instance_(instance) {}
    INT_PTR DoModal();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam);
    BOOL OnInitDialog();
    BOOL OnPaint();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
};

} // namespace launcher
