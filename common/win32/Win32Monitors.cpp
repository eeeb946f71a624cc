#include "common/Win32Monitors.h"

#include "common/DisplaySettings.h"
#include "common/ToolOptions.h"

#include <algorithm>
#include <vector>

namespace common {
namespace {

// The thread's DPI awareness (Windows 10 1607 and later, looked up at run
// time): the suite's programs are not DPI-aware, and a thread of theirs
// sees physical pixels only while it says it is per-monitor aware.
using DpiContext = HANDLE;
using SetThreadDpiAwarenessContextFunction = DpiContext(WINAPI*)(DpiContext);
const DpiContext kPerMonitorAware = reinterpret_cast<DpiContext>(static_cast<INT_PTR>(-3));

SetThreadDpiAwarenessContextFunction DpiContextSwitch()
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32) return nullptr;
    return reinterpret_cast<SetThreadDpiAwarenessContextFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    reinterpret_cast<std::vector<HMONITOR>*>(list)->push_back(monitor);
    return TRUE;
}

PixelRect ToPixelRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

PixelRect VirtualScreen()
{
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

DisplayLayout ReadDisplayLayoutAsListed()
{
    std::vector<HMONITOR> handles;
    EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&handles));
    DisplayLayout layout;
    for (HMONITOR handle : handles) {
        MONITORINFOEXA info = {};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoA(handle, &info)) continue;
        const PixelRect rect = ToPixelRect(info.rcMonitor);
        layout.monitors.push_back(MonitorInfo{info.szDevice, rect, rect, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    layout.virtualScreen = VirtualScreen();
    layout.physicalVirtualScreen = layout.virtualScreen;

    const SetThreadDpiAwarenessContextFunction setContext = DpiContextSwitch();
    if (!setContext) return layout;
    const DpiContext previous = setContext(kPerMonitorAware);
    if (!previous) return layout;
    std::size_t n = 0;
    for (HMONITOR handle : handles) {
        MONITORINFOEXA info = {};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoA(handle, &info)) continue;
        if (n < layout.monitors.size()) layout.monitors[n++].physical = ToPixelRect(info.rcMonitor);
    }
    layout.physicalVirtualScreen = VirtualScreen();
    setContext(previous);
    return layout;
}

} // namespace

DisplayLayout ReadDisplayLayout()
{
    // The system lists the monitors in an order of its own; a canonical one
    // keeps two looks at an unchanged desktop equal.
    DisplayLayout layout = ReadDisplayLayoutAsListed();
    std::sort(layout.monitors.begin(), layout.monitors.end(), [](const MonitorInfo& a, const MonitorInfo& b) {
        if (a.rect.left != b.rect.left) return a.rect.left < b.rect.left;
        if (a.rect.top != b.rect.top) return a.rect.top < b.rect.top;
        return a.deviceName < b.deviceName;
    });
    return layout;
}

RECT BoardMonitorWorkArea()
{
    const ToolOptions options;
    const DisplaySettings settings = ReadDisplaySettings(options.Sources());
    const DisplayLayout layout = ReadDisplayLayout();
    const MonitorInfo* chosen = ChooseMonitor(layout, settings);
    if (!chosen) chosen = layout.Primary();
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    if (!chosen) return area;
    const RECT rect = {chosen->rect.left, chosen->rect.top, chosen->rect.right, chosen->rect.bottom};
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY), &info)) area = info.rcWork;
    return area;
}

void CentreOnBoardMonitor(HWND window)
{
    RECT own = {};
    if (!GetWindowRect(window, &own)) return;
    const RECT area = BoardMonitorWorkArea();
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    LONG left = area.left + (area.right - area.left - width) / 2;
    LONG top = area.top + (area.bottom - area.top - height) / 2;
    // A window larger than the area keeps its top left corner on it.
    left = std::max(left, area.left);
    top = std::max(top, area.top);
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace common
