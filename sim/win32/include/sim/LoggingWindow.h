#pragma once
// A hidden top-level window that stands in for another program's window and
// writes what it receives to a log: "start" when it exists, "msg N w l" per
// message, "exit" when WM_CLOSE ends it. Sent messages it logs are answered
// with 0.
#include "sim/ObjectWindow.h"

#include <windows.h>

#include <functional>
#include <set>
#include <string>

namespace sim {

enum class LogScope {
    ApplicationMessages, // WM_USER and above: private, WM_APP and registered messages
    AllMessages,
};

class LoggingWindow {
public:
    LoggingWindow(std::string className, std::string caption, std::string logPath, LogScope scope);
    ~LoggingWindow();
    LoggingWindow(const LoggingWindow&) = delete;
    LoggingWindow& operator=(const LoggingWindow&) = delete;

    // Runs on WM_CLOSE before "exit" is logged and the window goes.
    void OnClose(std::function<void()> handler) { closeHandler_ = std::move(handler); }
    // Runs for every message once it has been logged, before it is handled.
    void OnMessage(std::function<void(UINT, WPARAM, LPARAM)> handler) { messageHandler_ = std::move(handler); }
    // A message of the program's own that its log leaves out.
    void Quiet(UINT message) { quiet_.insert(message); }

    bool Create(HINSTANCE instance);
    HWND Handle() const { return window_; }
    // Until WM_CLOSE; returns the exit code.
    int RunMessageLoop();

private:
    template <class Owner>
    friend LRESULT CALLBACK ObjectWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Logs(UINT message) const;

    std::string className_;
    std::string caption_;
    std::string logPath_;
    LogScope scope_;
    std::function<void()> closeHandler_;
    std::function<void(UINT, WPARAM, LPARAM)> messageHandler_;
    std::set<UINT> quiet_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
};

} // namespace sim
