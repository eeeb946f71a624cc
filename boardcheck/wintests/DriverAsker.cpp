#include "DriverAsker.h"

#include "common/Messages.h"
#include "sim/Waiting.h"

namespace boardcheck_e2e {
namespace {

constexpr const char* kClassName = "BoardCheckTestAsker";

} // namespace

DriverAsker::DriverAsker()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &DriverAsker::Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    request_ = RegisterWindowMessageA(msg::kRegisteredBoardCheck);
}

DriverAsker::~DriverAsker()
{
    DestroyWindow(window_);
}

bool DriverAsker::Ask(LPARAM request)
{
    const HWND driver = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
    return driver && PostMessageA(driver, request_, reinterpret_cast<WPARAM>(window_), request);
}

bool DriverAsker::WaitForAnswer(const std::function<bool(const common::BoardStatus&)>& wanted, unsigned timeoutMs)
{
    std::size_t seen = 0;
    return sim::WaitUntil(
        [&] {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            for (; seen < answers_.size(); ++seen) {
                if (wanted(common::ParseBoardStatus(answers_[seen]))) return true;
            }
            return false;
        },
        timeoutMs);
}

LRESULT CALLBACK DriverAsker::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<DriverAsker*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData == common::kBoardStatusTag && data->lpData) {
            self->answers_.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
            return TRUE;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace boardcheck_e2e
