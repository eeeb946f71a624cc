#include "MouseRecorder.h"

#include "sim/LineLog.h"
#include "sim/StandInLog.h"

namespace sim {
namespace {

// A hook procedure gets no context; the one recorder of the process is
// reached through this pointer, set while its hook is installed.
MouseRecorder* activeRecorder = nullptr;

MouseKind KindOf(WPARAM message)
{
    switch (message) {
    case WM_MOUSEMOVE: return MouseKind::Move;
    case WM_LBUTTONDOWN: return MouseKind::LeftDown;
    case WM_LBUTTONUP: return MouseKind::LeftUp;
    case WM_RBUTTONDOWN: return MouseKind::RightDown;
    case WM_RBUTTONUP: return MouseKind::RightUp;
    case WM_MBUTTONDOWN: return MouseKind::MiddleDown;
    case WM_MBUTTONUP: return MouseKind::MiddleUp;
    case WM_MOUSEWHEEL: return MouseKind::Wheel;
    default: return MouseKind::Other;
    }
}

} // namespace

MouseRecorder::MouseRecorder(std::string logPath)
    : logPath_(std::move(logPath))
{}

MouseRecorder::~MouseRecorder()
{
    hook_.Reset();
    if (activeRecorder == this) activeRecorder = nullptr;
    Flush();
}

bool MouseRecorder::Install()
{
    if (activeRecorder) return false;
    activeRecorder = this;
    hook_.Reset(SetWindowsHookExA(WH_MOUSE_LL, &MouseRecorder::HookProcedure, GetModuleHandleA(nullptr), 0));
    if (!hook_) activeRecorder = nullptr;
    return static_cast<bool>(hook_);
}

void MouseRecorder::Flush()
{
    if (pending_.empty()) return;
    if (AppendText(logPath_, pending_)) pending_.clear();
}

LRESULT CALLBACK MouseRecorder::HookProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && activeRecorder) {
        activeRecorder->Record(wParam, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MouseRecorder::Record(WPARAM message, const MSLLHOOKSTRUCT& event)
{
    MouseEvent logged;
    logged.microseconds = NowMicroseconds();
    logged.kind = KindOf(message);
    logged.x = event.pt.x;
    logged.y = event.pt.y;
    logged.injected = (event.flags & LLMHF_INJECTED) != 0;
    pending_ += FormatMouseLine(logged) + "\r\n";
}

} // namespace sim
