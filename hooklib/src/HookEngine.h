#pragma once
// The one low-level mouse hook of the process and the thread that owns it.
// The hook runs on a thread of its own, so it keeps answering while the
// thread that installed it is busy (the driver's window thread sleeps during
// start-up) and so that the system never has to wait on a caller's thread.
//
// Install and Remove wait for that thread a bounded time. A thread that is
// not done by then is left to finish by itself: it reads nothing of the
// caller's (only the engine, which lives as long as the process), and the
// engine remembers it, so that no second thread, and no second hook, is
// ever started beside it.
//
//   thread   | Install                            | Remove
//   ---------+------------------------------------+-----------------------------------
//   None     | start; Running, Starting or None   | -
//   Starting | Running once its hook is in place  | ask it to end; None or Stopping
//   Running  | -                                  | ask it to end; None or Stopping
//   Stopping | None once it has ended, then start | None once it has ended
#include "DoubleTapAssist.h"

#include "common/UniqueHandle.h"
#include "hooklib/WToolobjectHook.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>

namespace hooklib {

class HookEngine {
public:
    // Marks the presses the engine injects itself, so that its hook lets
    // them through.
    static constexpr ULONG_PTR kOwnPressTag = 0x4C4E4B31; // "LNK1"

    // How long Install waits for the hook to be in place: the hook thread
    // needs a moment, the driver's start-up (and so the board) waits for it.
    static constexpr DWORD kThreadStartTimeoutMs = 2000;
    // How long Remove waits for the hook thread to end; at process exit it
    // may be gone already, or unable to run while the loader is busy.
    static constexpr DWORD kThreadStopTimeoutMs = 2000;

    static HookEngine& Instance();

    void Install();
    void Remove();
    WToolobjectHook::HookState State();
    void SetEnabled(bool on);
    void ForgetPendingPress();
    void Housekeeping();

    ~HookEngine();

private:
    enum class Thread { None, Starting, Running, Stopping };

    HookEngine();

    static LRESULT CALLBACK LowLevelMouseProc(int code, WPARAM message, LPARAM data);
    static DWORD WINAPI HookThreadMain(void* engine);

    void RunHookThread();
    void StartThread();
    // Brings thread_ up to date with what the thread did since: Starting
    // becomes Running (or None, when it ended without a hook), Stopping
    // becomes None once it has ended.
    void Settle();
    bool ThreadEnded() const;
    void ForgetThread();
    // Injects the press the hook left for the loop, if there is one.
    void InjectPendingPress();
    // True when the press described by `info` must be replaced by one at `target`.
    bool ReplacePress(const MSLLHOOKSTRUCT& info, PixelPoint& target);
    static void InjectPressAt(PixelPoint target);

    std::mutex stateLock_; // guards assist_: used by the hook thread and every caller
    DoubleTapAssist assist_;
    // A press the hook swallowed, to be made again at this place once the
    // system is done with the original. Hook thread only: the hook and its
    // loop run there, so the message that wakes the loop need carry nothing
    // another program could forge.
    std::optional<PixelPoint> pendingPress_;

    std::mutex lifecycleLock_; // serialises Install, Remove and State
    Thread thread_ = Thread::None;
    common::UniqueHandle threadHandle_;
    DWORD threadId_ = 0;
    bool lastStartFailed_ = false;

    // Shared with the hook thread, and as long-lived as the engine.
    common::UniqueHandle started_; // set once the thread has tried its hook
    std::atomic<bool> hookInPlace_{false};
    std::atomic<bool> stopRequested_{false};
};

} // namespace hooklib
