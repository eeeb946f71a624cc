// ClickDialogButton.exe <dialog caption> <button id>: presses a button of a
// running dialog the way a click does, for scripted screenshots.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: ClickDialogButton <dialog caption> <button id>\n");
        return 2;
    }
    HWND dialog = FindWindowW(L"#32770", argv[1]);
    const int id = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    HWND button = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (!button) {
        std::fwprintf(stderr, L"no such dialog or button\n");
        return 1;
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return 0;
}
