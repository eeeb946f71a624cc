// Starts an installed board driver and checks that it came up from its own
// folder: its hidden dialog exists, it loaded the folder's WBInit.ini without
// the failed-calibration box (the load writes the BoardArea section) and it
// ends when its dialog is closed.
// Usage: DriverStartProbe <path of Brelvin.exe>
// Exit code 0 when every check passed; the reason of a failure goes to stdout.
#include "common/Messages.h"
#include "sim/ChildProcess.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr unsigned kAppearMs = 30000;
constexpr unsigned kIdleMs = 10000;
constexpr unsigned kLoadMs = 10000;
constexpr unsigned kEndMs = 15000;

int Fail(const char* reason)
{
    std::printf("FAIL: %s\n", reason);
    return 1;
}

// The BoardArea edges that the shipped grid gives: the whole camera picture.
bool BoardAreaWritten(const std::string& settings)
{
    const char* file = settings.c_str();
    return GetPrivateProfileIntA("BoardArea", "ptArea.left", -1, file) == 0 &&
           GetPrivateProfileIntA("BoardArea", "ptArea.right", -1, file) == 319 &&
           GetPrivateProfileIntA("BoardArea", "ptArea.top", -1, file) == 0 &&
           GetPrivateProfileIntA("BoardArea", "ptArea.bottom", -1, file) == 239;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return Fail("usage: DriverStartProbe <path of Brelvin.exe>");
    const std::string driver = argv[1];
    const std::string folder = sim::FolderOf(driver);
    const std::string settings = folder + "WBInit.ini";
    WritePrivateProfileStringA("BoardArea", nullptr, nullptr, settings.c_str());

    sim::ChildProcess process = sim::ChildProcess::Start(driver, folder);
    if (!process) return Fail("the driver did not start");

    HWND dialog = nullptr;
    const bool appeared = sim::WaitUntil(
        [&] {
            dialog = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
            return dialog != nullptr || !process.Running();
        },
        kAppearMs);
    if (!appeared || !dialog) return Fail("the driver's dialog did not appear");
    // Idle means start-up is over: a failed load would show its box by now.
    process.WaitForIdle(kIdleMs);

    int result = 0;
    if (!sim::WaitUntil([&] { return BoardAreaWritten(settings); }, kLoadMs))
        result = Fail("the driver did not load the program folder's WBInit.ini (no BoardArea of the shipped grid)");

    char caption[260] = {};
    GetPrivateProfileStringA("String", "IDS_CONNECTCAP", "GetError", caption, sizeof caption,
                             (folder + "Language.ini").c_str());
    HWND box = FindWindowA("#32770", caption);
    if (box && box != dialog) {
        result = Fail("the driver showed a message box at start (failed calibration?)");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }

    PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(kEndMs)) {
        process.Terminate();
        result = Fail("the driver did not end when its dialog was closed");
    }
    if (result == 0) std::printf("driver started from %s, loaded its settings and ended\n", folder.c_str());
    return result;
}
