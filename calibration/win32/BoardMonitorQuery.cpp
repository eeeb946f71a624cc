#include "BoardMonitorQuery.h"

#include "common/BoardStatus.h"
#include "common/BoardStatusRequest.h"
#include "common/DisplaySettings.h"
#include "common/ToolOptions.h"
#include "common/UniqueHandle.h"
#include "common/Win32Monitors.h"

#include <optional>

namespace calibration {
namespace {

constexpr const char* kAnswerWindowClass = "KalmenoBoardMonitorAnswer";

// What the answer window has received; the window's user data.
struct Reception {
    HWND driver = nullptr;
    std::optional<std::string> text;
};

LRESULT CALLBACK AnswerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* reception = reinterpret_cast<Reception*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && reception) {
        std::string text;
        if (common::ReadBoardStatusAnswer(reinterpret_cast<HWND>(wParam), reception->driver,
                                          *reinterpret_cast<const COPYDATASTRUCT*>(lParam), text)) {
            reception->text = std::move(text);
            return TRUE;
        }
        return FALSE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window of no desktop's: it only receives the answer.
common::UniqueWindow MakeAnswerWindow(Reception& reception)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &AnswerProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kAnswerWindowClass;
    RegisterClassA(&windowClass); // fails harmlessly when registered before
    common::UniqueWindow window(
        CreateWindowExA(0, kAnswerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
    if (window) SetWindowLongPtrA(window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reception));
    return window;
}

// The driver's answer's text, or nothing within `waitMs`.
std::optional<std::string> AskDriver(HWND driver, DWORD waitMs)
{
    Reception reception;
    reception.driver = driver;
    const common::UniqueWindow window = MakeAnswerWindow(reception);
    if (!window ||
        !common::PostBoardStatusRequest(driver, window.Get(), common::BoardCheckRequest(common::kBoardCheckStatus)))
        return std::nullopt;
    const DWORD started = GetTickCount();
    for (;;) {
        // Sent messages (the answer) are delivered by any look at the queue.
        MSG message;
        while (PeekMessageA(&message, window.Get(), 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (reception.text) return reception.text;
        const DWORD waited = GetTickCount() - started;
        if (waited >= waitMs) return std::nullopt;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs - waited, QS_SENDMESSAGE);
    }
}

BoardMonitorAnswer FromSettings(bool driverRunning)
{
    const common::ToolOptions options;
    const common::DisplaySettings settings = common::ReadDisplaySettings(options.Sources());
    const common::DisplayLayout layout = common::ReadDisplayLayout();
    BoardMonitorAnswer answer;
    answer.driverRunning = driverRunning;
    if (const common::MonitorInfo* chosen = common::ChooseMonitor(layout, settings)) {
        answer.rect = chosen->rect;
        answer.source = MonitorSource::Settings;
    } else if (const common::MonitorInfo* primary = layout.Primary()) {
        answer.rect = primary->rect;
    } else {
        answer.rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return answer;
}

} // namespace

BoardMonitorAnswer BoardMonitorQuery::Ask() const
{
    const HWND driver = common::FindDriverWindow();
    if (!driver) return FromSettings(false);
    const std::optional<std::string> text = AskDriver(driver, answerWaitMs_);
    if (!text) return FromSettings(true);
    const common::BoardStatus status = common::ParseBoardStatus(*text);
    // An answer without a monitor is a driver older than the board's
    // monitor, or a broken one: not to be drawn on.
    if (status.monitor.empty() || status.monitorWidth <= 0 || status.monitorHeight <= 0) return FromSettings(true);
    BoardMonitorAnswer answer;
    answer.rect = {status.monitorLeft, status.monitorTop, status.monitorLeft + status.monitorWidth,
                   status.monitorTop + status.monitorHeight};
    answer.source = MonitorSource::Driver;
    answer.driverName = status.monitor;
    answer.driverRunning = true;
    return answer;
}

const char* Name(MonitorSource source)
{
    switch (source) {
    case MonitorSource::Driver: return "driver";
    case MonitorSource::Settings: return "settings";
    case MonitorSource::MainDisplay: return "main display";
    }
    return "?";
}

} // namespace calibration
