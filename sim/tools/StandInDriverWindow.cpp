// Plays the board driver's window for the pen-button tool: a dialog-class
// window captioned "Kelvado" that logs every message posted to it as
// "msg <message> <wParam> <lParam>" in Kelvado.log. "ready" is logged once
// the window can be found; WM_CLOSE ends the program.
#include "StandInLog.h"

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::wstring log = L"Kelvado.log";
    HWND window = CreateWindowExA(0, "#32770", "Kelvado", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (!window) {
        sim::AppendLogLine(log, "failed");
        return 1;
    }
    sim::AppendLogLine(log, "ready");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == window) {
            sim::AppendLogLine(log, "msg " + std::to_string(message.message) + " " +
                                        std::to_string(static_cast<unsigned long long>(message.wParam)) + " " +
                                        std::to_string(static_cast<long long>(message.lParam)));
            if (message.message == WM_CLOSE) break;
        }
        DispatchMessageW(&message);
    }
    DestroyWindow(window);
    sim::AppendLogLine(log, "exit");
    return 0;
}
