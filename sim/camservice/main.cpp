// Stand-in for the camera service "ZorvikSrv.exe": owns the window the
// driver talks to, logs what it is told, and plays "ZorvikSrv.script" from
// its own folder into the shared touch block, faults included.
#include "ScriptPlayer.h"
#include "WindowFaults.h"

#include "common/Messages.h"
#include "common/Win32System.h"
#include "sim/LineLog.h"
#include "sim/LoggingWindow.h"

#include <windows.h>

#include <memory>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const std::string folder = common::ProgramFolderA();
    const std::string logPath = folder + "ZorvikSrv.log";

    sim::LoggingWindow window(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, logPath,
                              sim::LogScope::ApplicationMessages);
    std::unique_ptr<sim::ScriptPlayer> player;
    sim::WindowFaults faults;
    window.OnClose([&player] {
        if (player) player->Stop();
    });
    window.OnMessage(
        [&faults](UINT message, WPARAM wParam, LPARAM lParam) { faults.OnMessage(message, wParam, lParam); });
    window.Quiet(sim::kHangWindowRequest);
    if (!window.Create(instance)) return 1;

    const std::string scriptPath = folder + "ZorvikSrv.script";
    if (GetFileAttributesA(scriptPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        sim::TouchScript script = sim::ParseTouchScript(sim::ReadWholeFile(scriptPath));
        if (!script.Ok()) {
            sim::AppendLine(logPath, "script error line " + std::to_string(script.errorLine) + ": " + script.error);
        } else {
            player = std::make_unique<sim::ScriptPlayer>(std::move(script), logPath, folder + "ZorvikSrv.stamps",
                                                         window.Handle(), faults);
            player->Start();
        }
    }
    const int exitCode = window.RunMessageLoop();
    if (player) player->Stop();
    return exitCode;
}
