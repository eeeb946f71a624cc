// Works a dialog of another program from outside, for scripted screenshots:
//   SimDialogPoke <caption> click <control id>
//   SimDialogPoke <caption> drop <control id>    opens a combo box's list
//   SimDialogPoke <caption> select <control id> <item>
// Waits up to ten seconds for the dialog; exit code 1 when it never shows.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) return 2;
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 200 && !dialog; ++attempt) {
        dialog = FindWindowW(L"#32770", argv[1]);
        if (!dialog) Sleep(50);
    }
    if (!dialog) return 1;
    HWND control = GetDlgItem(dialog, _wtoi(argv[3]));
    if (!control) return 1;
    const std::wstring command = argv[2];
    if (command == L"click") {
        SendMessageW(control, BM_CLICK, 0, 0);
    } else if (command == L"drop") {
        SetForegroundWindow(dialog);
        SetFocus(control);
        SendMessageW(control, CB_SHOWDROPDOWN, TRUE, 0);
    } else if (command == L"select" && argc > 4) {
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(_wtoi(argv[4])), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
    } else {
        return 2;
    }
    return 0;
}
