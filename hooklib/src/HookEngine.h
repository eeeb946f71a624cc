#pragma once
// The one low-level mouse hook of the process and the thread that owns it.
// The hook runs on a thread of its own, so it keeps answering while the
// thread that installed it is busy (the driver's window thread sleeps during
// start-up) and so that the system never has to wait on a caller's thread.
#include "DoubleTapAssist.h"

#include "common/UniqueHandle.h"

#include <windows.h>

#include <mutex>
#include <optional>

namespace hooklib {

class HookEngine {
public:
    // Marks the presses the engine injects itself, so that its hook lets
    // them through.
    static constexpr ULONG_PTR kOwnPressTag = 0x4C4E4B31; // "LNK1"

    static HookEngine& Instance();

    void Install();
    void Remove();
    void SetEnabled(bool on);
    void ForgetPendingPress();
    void Housekeeping();

    ~HookEngine();

private:
    HookEngine();

    struct ThreadStart {
        HookEngine* engine;
        HANDLE ready;
    };

    static LRESULT CALLBACK LowLevelMouseProc(int code, WPARAM message, LPARAM data);
    static DWORD WINAPI HookThreadMain(void* self);

    void RunHookThread(HANDLE ready);
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

    std::mutex lifecycleLock_; // serialises Install and Remove
    common::UniqueHandle thread_;
    DWORD threadId_ = 0;
};

} // namespace hooklib
