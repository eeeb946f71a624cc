#pragma once
// Records every mouse event that reaches the system's input stream through a
// low-level mouse hook, with its position, whether it was injected and the
// high-resolution time it was seen. Lines are buffered in the hook (which
// must return quickly) and appended to the log by Flush.
#include "common/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace sim {

class MouseRecorder {
public:
    explicit MouseRecorder(std::string logPath);
    ~MouseRecorder();
    MouseRecorder(const MouseRecorder&) = delete;
    MouseRecorder& operator=(const MouseRecorder&) = delete;

    // Installs the hook on the calling thread, which must pump messages.
    bool Install();
    void Flush();

private:
    static LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam);
    void Record(WPARAM message, const MSLLHOOKSTRUCT& event);

    std::string logPath_;
    std::string pending_;
    common::UniqueHook hook_;
};

} // namespace sim
