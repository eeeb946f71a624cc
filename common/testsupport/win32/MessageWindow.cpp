#include "testsupport/MessageWindow.h"

#include <cstdint>
#include <utility>

namespace testsupport {
namespace {

// Posted by Pump behind everything already queued; never reaches the handler.
constexpr UINT kPumpSentinel = WM_APP + 0x3F7E;

std::string UniqueClassName(const void* window)
{
    return "BrelvinTestWindow_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(reinterpret_cast<std::uintptr_t>(window));
}

std::wstring Wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace

MessageWindow::MessageWindow(Handler handler, Kind kind)
    : handler_(std::move(handler)),
      className_(UniqueClassName(this)),
      module_(GetModuleHandleW(nullptr))
{
    const std::wstring name = Wide(className_);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &MessageWindow::Procedure;
    windowClass.hInstance = module_;
    windowClass.lpszClassName = name.c_str();
    registered_ = RegisterClassW(&windowClass) != 0;
    if (!registered_) return;
    const bool messageOnly = kind == Kind::MessageOnly;
    window_ = CreateWindowExW(0, name.c_str(), L"", messageOnly ? 0 : WS_POPUP, 0, 0, 0, 0,
                              messageOnly ? HWND_MESSAGE : nullptr, nullptr, module_, this);
}

MessageWindow::~MessageWindow()
{
    if (window_) DestroyWindow(window_);
    // Windows made of the class elsewhere must be gone by now, or the
    // class stays registered until the process ends (harmless: its name is
    // this window's alone).
    if (registered_) UnregisterClassW(Wide(className_).c_str(), module_);
}

void MessageWindow::Pump()
{
    if (!window_) return;
    PostMessageW(window_, kPumpSentinel, 0, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
        if (message.message == kPumpSentinel && message.hwnd == window_) return;
    }
}

bool MessageWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kPumpSentinel) return 0;
    if (self && self->handler_) {
        if (const std::optional<LRESULT> answer = self->handler_(message, wParam, lParam)) return *answer;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace testsupport
