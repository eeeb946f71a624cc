#pragma once
// The About box, opened from the system menu.
#include <windows.h>

namespace camview {

class CAboutDlg {
public:
    INT_PTR DoModal(HINSTANCE instance, HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace camview
