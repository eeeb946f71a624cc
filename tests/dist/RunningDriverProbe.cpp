// Tells which board driver runs on this desktop, so that a script can see an
// old driver give way to a new one: the process behind the driver's window,
// the image it runs from and that image's file version.
// Usage:
//   RunningDriverProbe start <command line>  starts the command as a Run value
//                                            is started and waits for its window
//   RunningDriverProbe await-other <pid>     waits until process <pid> has ended
//                                            and another process's driver runs
//   RunningDriverProbe await-none <pid>      waits until process <pid> has ended
//                                            and no Brelvin.exe process is left
// (<pid> 0: none to wait for.) Prints pid=, image= and version= (the image's
// fixed file version, a.b.c.d) of the running driver, or "none"; exit code 0
// when the state came within 30 s, else 1 after a "FAIL:" line.
#include "common/Messages.h"

#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser()
    {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 30s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

int Fail(const char* reason)
{
    std::printf("FAIL: %s\n", reason);
    return 1;
}

std::string Narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size - 1));
    return result;
}

DWORD DriverProcess()
{
    HWND window = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
    DWORD processId = 0;
    if (window) GetWindowThreadProcessId(window, &processId);
    return processId;
}

bool Ended(DWORD processId)
{
    if (processId == 0) return true;
    HandleCloser process{OpenProcess(SYNCHRONIZE, FALSE, processId)};
    return !process.handle || WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0;
}

bool AnyDriverProcess()
{
    HandleCloser snapshot{CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)};
    if (snapshot.handle == INVALID_HANDLE_VALUE) return true;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.handle, &entry); more; more = Process32NextW(snapshot.handle, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Brelvin.exe") == 0) return true;
    }
    return false;
}

std::wstring ImageOf(DWORD processId)
{
    HandleCloser process{OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)};
    if (!process.handle) return {};
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    return QueryFullProcessImageNameW(process.handle, 0, path, &size) ? std::wstring(path, size) : std::wstring();
}

std::string FileVersionOf(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> block(size);
    void* value = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return "none";
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    return text;
}

void Report(DWORD processId)
{
    const std::wstring image = ImageOf(processId);
    std::printf("pid=%lu\nimage=%s\nversion=%s\n", static_cast<unsigned long>(processId), Narrow(image).c_str(),
                image.empty() ? "none" : FileVersionOf(image).c_str());
}

int Start(const std::wstring& command)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = command;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return Fail("the command did not start");
    HandleCloser thread{info.hThread};
    HandleCloser process{info.hProcess};
    if (!WaitFor([&] { return DriverProcess() == info.dwProcessId; }))
        return Fail("the driver's window did not appear");
    Report(info.dwProcessId);
    return 0;
}

int AwaitOther(DWORD previous)
{
    if (!WaitFor([&] { return Ended(previous); })) return Fail("the earlier driver did not end");
    DWORD current = 0;
    if (!WaitFor([&] { return (current = DriverProcess()) != 0 && current != previous; }))
        return Fail("no other driver runs");
    Report(current);
    return 0;
}

int AwaitNone(DWORD previous)
{
    if (!WaitFor([&] { return Ended(previous); })) return Fail("the earlier driver did not end");
    if (!WaitFor([] { return DriverProcess() == 0 && !AnyDriverProcess(); })) {
        Report(DriverProcess());
        return Fail("a driver still runs");
    }
    std::printf("none\n");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wcscmp(argv[1], L"start") == 0) return Start(argv[2]);
    if (argc == 3 && std::wcscmp(argv[1], L"await-other") == 0)
        return AwaitOther(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    if (argc == 3 && std::wcscmp(argv[1], L"await-none") == 0)
        return AwaitNone(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    return Fail("usage: RunningDriverProbe start <command line> | await-other <pid> | await-none <pid>");
}
