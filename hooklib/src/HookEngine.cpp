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
constexpr DWORD kThreadStartTimeoutMs = 5000;
constexpr DWORD kThreadStopTimeoutMs = 2000;

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
    : assist_(GetDoubleClickTime(), WToolobjectHook::kTouchReachPixels)
{}

HookEngine::~HookEngine()
{
    Remove();
}

void HookEngine::Install()
{
    std::lock_guard<std::mutex> lifecycle(lifecycleLock_);
    if (thread_) return;

    common::UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready) return;
    ThreadStart args{this, ready.Get()};

    DWORD id = 0;
    common::UniqueHandle thread(CreateThread(nullptr, 0, &HookEngine::HookThreadMain, &args, 0, &id));
    if (!thread) return;

    // The thread signals once its hook is in place (or could not be); `args`
    // must outlive that moment.
    HANDLE waits[2] = {ready.Get(), thread.Get()};
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kThreadStartTimeoutMs);
    if (woke != WAIT_OBJECT_0 || WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0) {
        // No hook: the thread has ended or is ending by itself.
        if (woke == WAIT_TIMEOUT) PostThreadMessageW(id, WM_QUIT, 0, 0);
        WaitForSingleObject(thread.Get(), kThreadStopTimeoutMs);
        return;
    }
    thread_ = std::move(thread);
    threadId_ = id;
}

void HookEngine::Remove()
{
    std::lock_guard<std::mutex> lifecycle(lifecycleLock_);
    if (thread_) {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        // Bounded: at process exit the thread may already be gone, or unable
        // to run while the loader is busy.
        WaitForSingleObject(thread_.Get(), kThreadStopTimeoutMs);
        thread_.Reset();
        threadId_ = 0;
    }
    std::lock_guard<std::mutex> state(stateLock_);
    assist_.Forget();
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

DWORD WINAPI HookEngine::HookThreadMain(void* raw)
{
    const auto* start = static_cast<const ThreadStart*>(raw);
    try {
        start->engine->RunHookThread(start->ready);
    } catch (...) {
        // Nothing may unwind into the system; the hook ends with the thread.
    }
    return 0;
}

void HookEngine::RunHookThread(HANDLE ready)
{
    CountPhysicalPixels();
    // Makes the message queue exist before anybody may post to it.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    const common::UniqueHook hook(SetWindowsHookExW(WH_MOUSE_LL, &HookEngine::LowLevelMouseProc, ThisModule(), 0));
    SetEvent(ready);
    if (!hook) return;

    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kInjectPressMessage) {
            InjectPendingPress();
            continue;
        }
        // The system's dispatch would call a timer message's lParam as a
        // callback; this thread sets none, so such a message was forged.
        if ((msg.message == WM_TIMER || msg.message == kSystemTimerMessage) && msg.lParam != 0) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
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
