#pragma once
// The desktop a replayed session runs on: a manual clock, the peer windows
// of the run job (the drawing application and the camera service), timers
// that fire when the replay's clock reaches them, and a cursor that follows
// absolute mouse moves the way the system places it. Everything the driver
// sends out becomes a transcript line.
#include "Transcript.h"

#include "driver/Desktop.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace golden {

class ReplayDesktop final : public driver::Desktop {
public:
    ReplayDesktop(Transcript& transcript, driver::ScreenSize primary);

    driver::WindowRef FindWindowByClass(const char* windowClass, const char* caption) override;
    void PostToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendToWindow(driver::WindowRef window, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    void InjectMouseEvent(std::uint32_t flags, int ax, int ay) override;
    void SetCursorPosition(int x, int y) override;
    driver::ScreenPosition CursorPosition() override { return cursor_; }
    driver::WindowRef ForegroundWindow() override { return 0; }
    driver::ScreenSize PrimaryScreenSize() override { return primary_; }
    void StartDriverTimer(unsigned timerId, unsigned periodMs) override;
    void KillDriverTimer(unsigned timerId) override { timers_.erase(timerId); }
    std::string ProgramFolder() override { return "C:\\Board\\"; }
    // Every program of a full install is there.
    bool ProgramExists(const std::string&, const std::string&) override { return true; }
    void OpenProgram(const std::string& folder, const std::string& program) override;
    // The caller's thread waits: the replay's clock moves on.
    void SleepMs(unsigned milliseconds) override { now_ += milliseconds; }
    std::uint32_t TickCount() override { return now_; }

    std::uint32_t Now() const { return now_; }
    void Advance(std::uint32_t ms) { now_ += ms; }

    // The id of the armed timer due first at the present time, or 0 when
    // none is due. Ticking it moves it one period on, unless its tick killed
    // or restarted it.
    unsigned DueTimer() const;
    void NoteTicked(unsigned timerId, std::uint32_t dueAt);
    std::uint32_t DueAt(unsigned timerId) const { return timers_.at(timerId).dueAt; }

private:
    struct Timer {
        unsigned periodMs = 0;
        std::uint32_t dueAt = 0;
    };
    const char* WindowName(driver::WindowRef window) const;

    Transcript& transcript_;
    driver::ScreenSize primary_;
    std::vector<std::string> windowClasses_;
    driver::ScreenPosition cursor_;
    std::map<unsigned, Timer> timers_;
    std::uint32_t now_ = 0;
};

} // namespace golden
