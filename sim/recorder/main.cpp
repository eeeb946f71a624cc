// Recorder of the mouse input that reaches the desktop: a window
// "SimMouseRecorder" / "MouseRecorder" (closed with WM_CLOSE) whose thread
// holds a low-level mouse hook; events go to "MouseRecorder.log" in its own
// folder, after a "ready" line once the hook is in place.
#include "MouseRecorder.h"

#include "common/Win32System.h"
#include "sim/LineLog.h"
#include "sim/LoggingWindow.h"

namespace {

constexpr UINT_PTR kFlushTimer = 1;
constexpr UINT kFlushPeriodMs = 10;

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const std::string logPath = common::ProgramFolderA() + "MouseRecorder.log";
    sim::MouseRecorder recorder(logPath);
    sim::LoggingWindow window("SimMouseRecorder", "MouseRecorder", logPath, sim::LogScope::ApplicationMessages);
    window.OnClose([&recorder] { recorder.Flush(); });
    if (!window.Create(instance)) return 1;
    if (!recorder.Install()) {
        sim::AppendLine(logPath, "error hook " + std::to_string(GetLastError()));
        return 2;
    }
    sim::AppendLine(logPath, "ready");
    // The timer's messages flush the buffer from the same thread as the hook.
    SetTimer(window.Handle(), kFlushTimer, kFlushPeriodMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) recorder.Flush();
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    recorder.Flush();
    return 0;
}
