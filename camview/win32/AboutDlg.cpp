#include "AboutDlg.h"

#include "resource.h"

namespace camview {

INT_PTR CAboutDlg::DoModal(HINSTANCE instance, HWND owner)
{
    return RunModal(instance, IDD_ABOUTBOX, owner);
}

INT_PTR CAboutDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(Window(), LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace camview
