#include "sim/LoggingWindow.h"

#include "sim/LineLog.h"
#include "sim/StandInLog.h"

namespace sim {

LoggingWindow::LoggingWindow(std::string className, std::string caption, std::string logPath, LogScope scope)
    : className_(std::move(className)),
      caption_(std::move(caption)),
      logPath_(std::move(logPath)),
      scope_(scope)
{}

LoggingWindow::~LoggingWindow()
{
    if (window_) DestroyWindow(window_);
    if (instance_) UnregisterClassA(className_.c_str(), instance_);
}

bool LoggingWindow::Create(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &LoggingWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className_.c_str();
    if (!RegisterClassA(&windowClass)) return false;
    instance_ = instance;
    AppendLine(logPath_, "start");
    // Never shown: the peers find it by class and caption only.
    window_ = CreateWindowExA(0, className_.c_str(), caption_.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, this);
    return window_ != nullptr;
}

int LoggingWindow::RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

bool LoggingWindow::Logs(UINT message) const
{
    if (quiet_.count(message)) return false;
    return scope_ == LogScope::AllMessages || message >= WM_USER;
}

LRESULT CALLBACK LoggingWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<LoggingWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<LoggingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return self->HandleMessage(window, message, wParam, lParam);
}

LRESULT LoggingWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Logs(message)) {
        AppendLine(logPath_, FormatMessageLine(LoggedMessage{message, static_cast<unsigned long long>(wParam),
                                                             static_cast<long long>(lParam)}));
    }
    if (messageHandler_) {
        try {
            messageHandler_(message, wParam, lParam);
        } catch (...) {
            // Nothing may leave a window procedure; the stand-in goes on.
        }
    }
    switch (message) {
    case WM_CLOSE:
        if (closeHandler_) closeHandler_();
        DestroyWindow(window);
        // Last, so that a reader who sees "exit" has seen everything.
        AppendLine(logPath_, "exit");
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    if (message >= WM_USER) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace sim
