// Starts an installed board driver and checks that it came up from its own
// folder: its hidden dialog exists, it loaded the folder's WBInit.ini without
// the failed-calibration box (the load writes the BoardArea section) and it
// ends when its dialog is closed.
// Usage: DriverStartProbe <path of Brelvin.exe>
// Exit code 0 when every check passed; the reason of a failure goes to stdout.
#include "common/Messages.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

namespace {

struct ProcessHandles {
    PROCESS_INFORMATION info{};
    ~ProcessHandles()
    {
        if (info.hThread) CloseHandle(info.hThread);
        if (info.hProcess) CloseHandle(info.hProcess);
    }
};

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".\\") : path.substr(0, cut + 1);
}

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
    const std::string folder = FolderOf(driver);
    const std::string settings = folder + "WBInit.ini";
    WritePrivateProfileStringA("BoardArea", nullptr, nullptr, settings.c_str());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + driver + "\"";
    ProcessHandles process;
    if (!CreateProcessA(driver.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process.info))
        return Fail("the driver did not start");

    HWND dialog = nullptr;
    const bool appeared = WaitFor([&] {
        dialog = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
        return dialog != nullptr || WaitForSingleObject(process.info.hProcess, 0) == WAIT_OBJECT_0;
    }, std::chrono::seconds(30));
    if (!appeared || !dialog) return Fail("the driver's dialog did not appear");
    // Idle means start-up is over: a failed load would show its box by now.
    WaitForInputIdle(process.info.hProcess, 10000);

    int result = 0;
    if (!WaitFor([&] { return BoardAreaWritten(settings); }, std::chrono::seconds(10)))
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
    if (WaitForSingleObject(process.info.hProcess, 15000) != WAIT_OBJECT_0) {
        TerminateProcess(process.info.hProcess, 1);
        WaitForSingleObject(process.info.hProcess, 5000);
        result = Fail("the driver did not end when its dialog was closed");
    }
    if (result == 0) std::printf("driver started from %s, loaded its settings and ended\n", folder.c_str());
    return result;
}
