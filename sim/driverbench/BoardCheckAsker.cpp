#include "BoardCheckAsker.h"

#include "common/BoardStatus.h"
#include "common/Messages.h"

#include <windows.h>

namespace sim {
namespace {

constexpr const char* kClassName = "SimBoardCheckAsker";
constexpr DWORD kAnswerWaitMs = 2000;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData == common::kBoardStatusTag) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 1);
            return TRUE;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

} // namespace

BoardCheckAsker::BoardCheckAsker()
    : thread_([this] { Run(); })
{}

BoardCheckAsker::~BoardCheckAsker()
{
    Stop();
}

void BoardCheckAsker::Stop()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void BoardCheckAsker::Run()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const UINT request = RegisterWindowMessageA(msg::kRegisteredBoardCheck);
    while (!stop_) {
        const HWND driver = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        LARGE_INTEGER asked, now;
        QueryPerformanceCounter(&asked);
        if (driver) PostMessageA(driver, request, reinterpret_cast<WPARAM>(window), common::BoardCheckRequest(common::kBoardCheckStatus));
        const DWORD start = GetTickCount();
        bool answered = false;
        while (!answered && GetTickCount() - start < kAnswerWaitMs) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            answered = GetWindowLongPtrA(window, GWLP_USERDATA) != 0;
        }
        QueryPerformanceCounter(&now);
        if (answered) roundTrips_.push_back(Milliseconds(asked, now));
        else if (driver) ++unanswered_;
        // The check's own pace.
        const DWORD spent = GetTickCount() - start;
        if (spent < kPeriodMs && !stop_) Sleep(kPeriodMs - spent);
    }
    DestroyWindow(window);
}

} // namespace sim
