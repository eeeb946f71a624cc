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
    windowClass.lpfnWndProc = &ObjectWindowProcedure<LoggingWindow>;
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
    return RunThreadMessageLoop();
}

bool LoggingWindow::Logs(UINT message) const
{
    if (quiet_.count(message)) return false;
    return scope_ == LogScope::AllMessages || message >= WM_USER;
}

LRESULT LoggingWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) window_ = window;
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
