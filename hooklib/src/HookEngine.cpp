#include "HookEngine.h"

#include "hooklib/WToolobjectHook.h"

#include "common/AbsoluteCoordinate.h"

#include <cstdint>

namespace hooklib {
namespace {

// Posted to the hook thread: inject the press the hook left pending. Any
// program can post a thread message; this one carries nothing, so a forged
// one finds nothing pending and injects nothing.
constexpr UINT kInjectPressMessage = WM_APP + 0x4C;
// The system's own timer message; not in the public headers.
constexpr UINT kSystemTimerMessage = 0x0118;
// The system passes an input event to the low-level hooks by way of the first
// hook's thread, and skips every hook when that thread has not asked for a
// message for five seconds (Wine takes such a thread for hung even when the
// event's own first part has just woken it: the press of a move-and-press
// then reaches no hook). An idle board must not hide its next press from the
// double-tap help and the hooks after it, so this thread asks at least once
// a second.
constexpr UINT kQueueCheckMs = 1000;

// The hook reports positions in physical pixels whatever the program's DPI
// awareness, so its thread counts in physical pixels too (Windows 10 1607
// and later; earlier systems scale nothing for it).
void CountPhysicalPixels()
{
    using DpiContext = HANDLE;
    using SetThreadDpiAwarenessContextFunction = DpiContext(WINAPI*)(DpiContext);
    const DpiContext perMonitorAware = reinterpret_cast<DpiContext>(static_cast<INT_PTR>(-3));
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    const auto setContext = reinterpret_cast<SetThreadDpiAwarenessContextFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    if (setContext) setContext(perMonitorAware);
}

// A press on the primary screen is placed over it, as the driver places its
// own; anywhere else (the board may be on another monitor) over the whole
// desktop.
void PlaceAbsolute(PixelPoint target, INPUT& input)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (target.x >= 0 && target.y >= 0 && target.x < width && target.y < height) {
        input.mi.dx = common::AbsoluteCoordinate(target.x, width);
        input.mi.dy = common::AbsoluteCoordinate(target.y, height);
        return;
    }
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    input.mi.dx = common::AbsoluteCoordinate(static_cast<std::int64_t>(target.x) - left,
                                             GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy = common::AbsoluteCoordinate(static_cast<std::int64_t>(target.y) - top,
                                             GetSystemMetrics(SM_CYVIRTUALSCREEN));
    input.mi.dwFlags |= MOUSEEVENTF_VIRTUALDESK;
}

HMODULE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

} // namespace

HookEngine& HookEngine::Instance()
{
    static HookEngine engine;
    return engine;
}

HookEngine::HookEngine()
    : assist_(GetDoubleClickTime(), WToolobjectHook::kTouchReachPixels),
      started_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{}

HookEngine::~HookEngine()
{
    Remove();
}

void HookEngine::Install()
{
    std::lock_guard<std::mutex> lifecycle(lifecycleLock_);
    Settle();
    if (thread_ == Thread::None) StartThread();
}

void HookEngine::StartThread()
{
    lastStartFailed_ = true;
    if (!started_) return;
    ResetEvent(started_.Get());
    hookInPlace_ = false;
    stopRequested_ = false;
    DWORD id = 0;
    threadHandle_.Reset(CreateThread(nullptr, 0, &HookEngine::HookThreadMain, this, 0, &id));
    if (!threadHandle_) return;
    threadId_ = id;
    thread_ = Thread::Starting;
    // Whatever the wait's outcome, the thread reads only the engine.
    HANDLE waits[2] = {started_.Get(), threadHandle_.Get()};
    WaitForMultipleObjects(2, waits, FALSE, kThreadStartTimeoutMs);
    Settle();
    lastStartFailed_ = thread_ == Thread::None;
}

void HookEngine::Remove()
{
    {
        std::lock_guard<std::mutex> lifecycle(lifecycleLock_);
        Settle();
        if (thread_ != Thread::None) {
            // The flag covers a thread whose queue does not exist yet, which
            // the quit message cannot reach; it looks before its loop.
            stopRequested_ = true;
            PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
            WaitForSingleObject(threadHandle_.Get(), kThreadStopTimeoutMs);
            thread_ = Thread::Stopping;
            Settle();
        }
    }
    std::lock_guard<std::mutex> state(stateLock_);
    assist_.Forget();
}

WToolobjectHook::HookState HookEngine::State()
{
    std::lock_guard<std::mutex> lifecycle(lifecycleLock_);
    Settle();
    switch (thread_) {
    case Thread::None:
        return lastStartFailed_ ? WToolobjectHook::HookState::CouldNotInstall : WToolobjectHook::HookState::Removed;
    case Thread::Starting: return WToolobjectHook::HookState::StillStarting;
    case Thread::Running: return WToolobjectHook::HookState::Installed;
    case Thread::Stopping: return WToolobjectHook::HookState::StillStopping;
    }
    return WToolobjectHook::HookState::Removed;
}

void HookEngine::Settle()
{
    switch (thread_) {
    case Thread::None:
    case Thread::Running: return;
    case Thread::Starting:
        if (WaitForSingleObject(started_.Get(), 0) == WAIT_OBJECT_0 && hookInPlace_ && !ThreadEnded()) {
            thread_ = Thread::Running;
        } else if (ThreadEnded()) {
            ForgetThread();
        }
        return;
    case Thread::Stopping:
        if (ThreadEnded()) ForgetThread();
        return;
    }
}

bool HookEngine::ThreadEnded() const
{
    return WaitForSingleObject(threadHandle_.Get(), 0) == WAIT_OBJECT_0;
}

void HookEngine::ForgetThread()
{
    threadHandle_.Reset();
    threadId_ = 0;
    thread_ = Thread::None;
}

void HookEngine::SetEnabled(bool on)
{
    std::lock_guard<std::mutex> state(stateLock_);
    if (assist_.Enabled() != on) assist_.SetEnabled(on);
}

void HookEngine::ForgetPendingPress()
{
    std::lock_guard<std::mutex> state(stateLock_);
    assist_.Forget();
}

void HookEngine::Housekeeping()
{
    std::lock_guard<std::mutex> state(stateLock_);
    assist_.SetDoubleClickTime(GetDoubleClickTime());
    assist_.Expire(GetTickCount());
}

DWORD WINAPI HookEngine::HookThreadMain(void* engine)
{
    try {
        static_cast<HookEngine*>(engine)->RunHookThread();
    } catch (...) {
        // Nothing may unwind into the system; the hook ends with the thread.
    }
    return 0;
}

void HookEngine::RunHookThread()
{
    CountPhysicalPixels();
    // Makes the message queue exist before anybody may post to it.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    if (stopRequested_) {
        SetEvent(started_.Get());
        return;
    }

    const common::UniqueHook hook(SetWindowsHookExW(WH_MOUSE_LL, &HookEngine::LowLevelMouseProc, ThisModule(), 0));
    hookInPlace_ = static_cast<bool>(hook);
    SetEvent(started_.Get());
    if (!hook) return;
    const UINT_PTR queueCheck = SetTimer(nullptr, 0, kQueueCheckMs, nullptr);

    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kInjectPressMessage) {
            InjectPendingPress();
            continue;
        }
        // Its only work is the asking itself.
        if (msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == queueCheck && msg.lParam == 0) continue;
        // The system's dispatch would call a timer message's lParam as a
        // callback; this thread sets none, so such a message was forged.
        if ((msg.message == WM_TIMER || msg.message == kSystemTimerMessage) && msg.lParam != 0) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (queueCheck != 0) KillTimer(nullptr, queueCheck);
}

void HookEngine::InjectPendingPress()
{
    if (!pendingPress_) return;
    const PixelPoint target = *pendingPress_;
    pendingPress_.reset();
    InjectPressAt(target);
}

bool HookEngine::ReplacePress(const MSLLHOOKSTRUCT& info, PixelPoint& target)
{
    if (info.dwExtraInfo == kOwnPressTag) return false;
    std::lock_guard<std::mutex> state(stateLock_);
    const auto replacement = assist_.OnLeftPress(PixelPoint{info.pt.x, info.pt.y}, info.time);
    if (!replacement) return false;
    target = *replacement;
    return true;
}

void HookEngine::InjectPressAt(PixelPoint target)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN;
    PlaceAbsolute(target, input);
    input.mi.dwExtraInfo = kOwnPressTag;
    SendInput(1, &input, sizeof input);
}

LRESULT CALLBACK HookEngine::LowLevelMouseProc(int code, WPARAM message, LPARAM data)
{
    try {
        if (code == HC_ACTION && message == WM_LBUTTONDOWN) {
            const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
            PixelPoint target;
            HookEngine& engine = Instance();
            if (engine.ReplacePress(info, target)) {
                // The press is swallowed here and made again at the first
                // tap's place once the system has finished with this one.
                engine.pendingPress_ = target;
                PostThreadMessageW(GetCurrentThreadId(), kInjectPressMessage, 0, 0);
                return 1;
            }
        }
    } catch (...) {
        // Nothing may unwind into the system's input path: the press goes on as it came.
    }
    return CallNextHookEx(nullptr, code, message, data);
}

} // namespace hooklib
