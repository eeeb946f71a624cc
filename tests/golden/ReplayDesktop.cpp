#include "ReplayDesktop.h"

#include "common/Messages.h"
#include "driver/MouseInput.h"

namespace golden {
namespace {

// The system places the cursor of an absolute move at ax * extent / 65536.
int PixelOf(int absolute, int extent)
{
    return static_cast<int>(static_cast<std::int64_t>(absolute) * extent / 65536);
}

} // namespace

ReplayDesktop::ReplayDesktop(Transcript& transcript, driver::ScreenSize primary)
    : transcript_(transcript),
      primary_(primary),
      windowClasses_{wnd::kDrawingAppClass, wnd::kCameraServiceClass},
      cursor_{primary.width / 2, primary.height / 2}
{}

driver::WindowRef ReplayDesktop::FindWindowByClass(const char* windowClass, const char* caption)
{
    for (std::size_t n = 0; n < windowClasses_.size(); ++n) {
        if (windowClasses_[n] == windowClass) return n + 1;
    }
    (void)caption;
    return 0;
}

const char* ReplayDesktop::WindowName(driver::WindowRef window) const
{
    return window >= 1 && window <= windowClasses_.size() ? windowClasses_[window - 1].c_str() : "(none)";
}

void ReplayDesktop::PostToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam)
{
    transcript_.Line("post %s 0x%04X %llu %lld", WindowName(window), message, static_cast<unsigned long long>(wParam),
                     static_cast<long long>(lParam));
}

std::intptr_t ReplayDesktop::SendToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam)
{
    transcript_.Line("send %s 0x%04X %llu %lld", WindowName(window), message, static_cast<unsigned long long>(wParam),
                     static_cast<long long>(lParam));
    return 0;
}

void ReplayDesktop::InjectMouseEvent(std::uint32_t flags, int ax, int ay)
{
    transcript_.Line("mouse 0x%04X %d %d", flags, ax, ay);
    const std::uint32_t absoluteMove = driver::mouse_flags::kAbsolute | driver::mouse_flags::kMove;
    if ((flags & absoluteMove) == absoluteMove) {
        cursor_ = {PixelOf(ax, primary_.width), PixelOf(ay, primary_.height)};
    }
}

void ReplayDesktop::SetCursorPosition(int x, int y)
{
    transcript_.Line("cursor %d %d", x, y);
    cursor_ = {x, y};
}

void ReplayDesktop::StartDriverTimer(unsigned timerId, unsigned periodMs)
{
    timers_[timerId] = Timer{periodMs, now_ + periodMs};
}

void ReplayDesktop::OpenProgram(const std::string& folder, const std::string& program)
{
    transcript_.Line("open %s%s", folder.c_str(), program.c_str());
}

unsigned ReplayDesktop::DueTimer() const
{
    unsigned due = 0;
    std::uint32_t earliest = now_;
    for (const auto& [id, timer] : timers_) {
        if (timer.dueAt <= earliest && (due == 0 || timer.dueAt < earliest)) {
            due = id;
            earliest = timer.dueAt;
        }
    }
    return due;
}

void ReplayDesktop::NoteTicked(unsigned timerId, std::uint32_t dueAt)
{
    const auto timer = timers_.find(timerId);
    // Killed by its tick, or started anew (a later due time).
    if (timer == timers_.end() || timer->second.dueAt != dueAt) return;
    timer->second.dueAt += timer->second.periodMs;
}

} // namespace golden
