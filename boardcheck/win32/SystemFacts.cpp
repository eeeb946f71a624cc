#include "SystemFacts.h"

#include "common/TextEncoding.h"
#include "common/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace boardcheck {
namespace {

// RTL_OSVERSIONINFOW: GetVersionEx answers what the manifest claims, the
// kernel what the system is.
std::string WindowsVersion()
{
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) return "unknown";
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const bool system64 = wow64 || sizeof(void*) == 8;
    std::string text = "Windows " + std::to_string(version.dwMajorVersion) + "." +
                       std::to_string(version.dwMinorVersion) + " build " + std::to_string(version.dwBuildNumber);
    if (version.szCSDVersion[0]) text += " " + common::Utf8(version.szCSDVersion);
    text += system64 ? ", 64-bit" : ", 32-bit";
    if (ntdll && GetProcAddress(ntdll, "wine_get_version")) text += " (Wine)";
    return text;
}

// GetDpiForMonitor (Windows 8.1 and later), looked up at run time.
int ScalePercent(HMONITOR monitor)
{
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const HMODULE shcore = LoadLibraryW(L"shcore.dll");
    const auto getDpi = shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                                     reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                               : nullptr;
    UINT dpiX = 0, dpiY = 0;
    if (getDpi && SUCCEEDED(getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &dpiX, &dpiY)) && dpiX > 0)
        return static_cast<int>((dpiX * 100 + 48) / 96);
    // Before Windows 8.1 every monitor has the system's one scale.
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? (dpi * 100 + 48) / 96 : 0;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM facts)
{
    MONITORINFOEXW info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    MonitorFact fact;
    fact.name = common::Utf8(info.szDevice);
    fact.left = info.rcMonitor.left;
    fact.top = info.rcMonitor.top;
    fact.width = info.rcMonitor.right - info.rcMonitor.left;
    fact.height = info.rcMonitor.bottom - info.rcMonitor.top;
    fact.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    fact.scalePercent = ScalePercent(monitor);
    reinterpret_cast<SystemFacts*>(facts)->monitors.push_back(fact);
    return TRUE;
}

std::string ProgramOf(DWORD processId, HANDLE process)
{
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (process && QueryFullProcessImageNameW(process, 0, path, &size)) {
        const std::wstring full(path, size);
        return common::Utf8(full.substr(full.find_last_of(L'\\') + 1));
    }
    return "process " + std::to_string(processId);
}

// The token of another user's or an elevated process cannot be read from
// here: that itself is the answer a support call needs.
std::string Elevation(HANDLE process)
{
    HANDLE raw = nullptr;
    if (!process || !OpenProcessToken(process, TOKEN_QUERY, &raw)) {
        return GetLastError() == ERROR_ACCESS_DENIED ? "cannot be looked at (elevated, or another user's)"
                                                     : "elevation unknown";
    }
    common::UniqueHandle token(raw);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size))
        return "elevation unknown";
    return elevation.TokenIsElevated ? "elevated: injected input does not reach it" : "not elevated";
}

std::string Foreground()
{
    const HWND window = GetForegroundWindow();
    if (!window) return "none";
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    common::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    std::string text = "\"" + common::Utf8(caption) + "\" of " + ProgramOf(processId, process.Get()) + ", ";
    if (!process) return text + "cannot be looked at (elevated, or another user's)";
    return text + Elevation(process.Get());
}

} // namespace

SystemFacts GatherSystemFacts()
{
    SystemFacts facts;
    facts.windows = WindowsVersion();
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&facts));
    facts.foreground = Foreground();
    return facts;
}

} // namespace boardcheck
