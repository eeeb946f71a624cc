// Plays the board driver's window for the pen-button tool: a dialog-class
// window captioned "Kelvado" that logs every message posted to it as
// "msg <message> <wParam> <lParam>" in Kelvado.log. "ready" is logged once
// the window can be found; WM_CLOSE ends the program. Started with
// "/linger:MS" it plays a driver that takes MS milliseconds to end after its
// window has gone; with "/stay", one that does not answer the close at all.
#include "common/Win32System.h"
#include "sim/LineLog.h"
#include "sim/StandInLog.h"

#include <windows.h>

#include <cwchar>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    const std::string log = common::ProgramFolderA() + "Kelvado.log";
    const wchar_t* arguments = commandLine ? commandLine : L"";
    const bool stays = std::wcsstr(arguments, L"/stay") != nullptr;
    const wchar_t* linger = std::wcsstr(arguments, L"/linger:");
    const DWORD lingerMs = linger ? static_cast<DWORD>(std::wcstoul(linger + 8, nullptr, 10)) : 0;
    HWND window = CreateWindowExA(0, "#32770", "Kelvado", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (!window) {
        sim::AppendLine(log, "failed");
        return 1;
    }
    sim::AppendLine(log, "ready");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == window) {
            sim::AppendLine(log, sim::FormatMessageLine(sim::LoggedMessage{
                                     message.message, static_cast<unsigned long long>(message.wParam),
                                     static_cast<long long>(message.lParam)}));
            if (message.message == WM_CLOSE) {
                if (!stays) break;
                continue;
            }
        }
        DispatchMessageW(&message);
    }
    DestroyWindow(window);
    if (lingerMs) Sleep(lingerMs);
    sim::AppendLine(log, "exit");
    return 0;
}
