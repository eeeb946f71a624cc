#include "DriverAsker.h"

#include "common/BoardStatusRequest.h"
#include "sim/Waiting.h"

#include <string>
#include <utility>

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
}

DriverAsker::~DriverAsker()
{
    DestroyWindow(window_);
}

bool DriverAsker::Ask(LPARAM request)
{
    driver_ = common::FindDriverWindow();
    return common::PostBoardStatusRequest(driver_, window_, request);
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
    std::string text;
    if (self && message == WM_COPYDATA &&
        common::ReadBoardStatusAnswer(reinterpret_cast<HWND>(wParam), self->driver_,
                                      *reinterpret_cast<const COPYDATASTRUCT*>(lParam), text)) {
        self->answers_.push_back(std::move(text));
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace boardcheck_e2e
