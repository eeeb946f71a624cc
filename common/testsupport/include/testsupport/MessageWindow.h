#pragma once
// A window on the creating thread for tests that watch what other code posts
// or sends to a window: every message goes first to the test's handler, and
// the thread's queue is pumped until everything posted so far is handled or
// until a condition holds. Each window registers a class of its own, named
// after the process and the window, so no two windows of any test share a
// class and no test finds another's window by its class.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace testsupport {

class MessageWindow {
public:
    // The answer to a message the handler took; nullopt hands it on to the
    // system's default handling.
    using Handler = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

    enum class Kind {
        TopLevel,    // a hidden top-level popup, as most programs' windows are
        MessageOnly, // below HWND_MESSAGE: no broadcast reaches it
    };

    explicit MessageWindow(Handler handler = {}, Kind kind = Kind::TopLevel);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Null when the window could not be created.
    HWND Handle() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }
    // The class this window alone has. Another window made of it with
    // CreateWindowEx hands every message to the default handling: a handle
    // for a test that needs one to a window that is gone.
    const std::string& ClassName() const { return className_; }

    // Handles every message posted to the thread before the call, the way
    // a program's loop (GetMessage, DispatchMessage) does.
    void Pump();
    // Handles messages until `done` holds; false when it did not within
    // `timeoutMs`. `done` is checked before the first wait and after each
    // batch of messages.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    std::string className_;
    HINSTANCE module_ = nullptr;
    bool registered_ = false;
    HWND window_ = nullptr;
};

} // namespace testsupport
