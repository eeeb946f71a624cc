// The real hook under the system: presses are injected as the driver injects
// them, and a second low-level hook, installed before the library's and so
// called after it, records what the rest of the system gets.
#include "hooklib/WToolobjectHook.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Press {
    int x;
    int y;
};

class PressRecorder {
public:
    PressRecorder()
    {
        instance_ = this;
        thread_ = std::thread([this] { Run(); });
        std::unique_lock<std::mutex> lock(lock_);
        changed_.wait(lock, [this] { return threadId_ != 0; });
    }

    ~PressRecorder()
    {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        instance_ = nullptr;
    }

    bool Installed() const { return installed_; }

    // The left presses seen so far, once there are `count` of them.
    std::vector<Press> WaitForPresses(std::size_t count)
    {
        std::unique_lock<std::mutex> lock(lock_);
        changed_.wait_for(lock, std::chrono::seconds(5), [&] { return presses_.size() >= count; });
        return presses_;
    }

    std::size_t Count()
    {
        std::lock_guard<std::mutex> lock(lock_);
        return presses_.size();
    }

private:
    void Run()
    {
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, &Proc, GetModuleHandleW(nullptr), 0);
        installed_ = hook != nullptr;
        {
            std::lock_guard<std::mutex> lock(lock_);
            threadId_ = GetCurrentThreadId();
        }
        changed_.notify_all();
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        if (hook) UnhookWindowsHookEx(hook);
    }

    static LRESULT CALLBACK Proc(int code, WPARAM message, LPARAM data)
    {
        if (code == HC_ACTION && message == WM_LBUTTONDOWN && instance_) {
            const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
            {
                std::lock_guard<std::mutex> lock(instance_->lock_);
                instance_->presses_.push_back({info.pt.x, info.pt.y});
            }
            instance_->changed_.notify_all();
        }
        return CallNextHookEx(nullptr, code, message, data);
    }

    static PressRecorder* instance_;
    std::thread thread_;
    std::mutex lock_;
    std::condition_variable changed_;
    DWORD threadId_ = 0;
    std::atomic<bool> installed_{false};
    std::vector<Press> presses_;
};

PressRecorder* PressRecorder::instance_ = nullptr;

LONG Absolute(int pixel, int size)
{
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + size - 1) / size);
}

// One tap as the driver makes it: move and press in one event, then release.
void Tap(int x, int y)
{
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, Absolute(x, w), Absolute(y, h), 0, 0);
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP, Absolute(x, w), Absolute(y, h), 0, 0);
}

void ExpectAt(const Press& press, int x, int y)
{
    // Absolute coordinates may come back one pixel off.
    EXPECT_NEAR(press.x, x, 1);
    EXPECT_NEAR(press.y, y, 1);
}

class WToolobjectHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(recorder.Installed());
        hook.setmousehook(nullptr);
    }

    void TearDown() override { hook.unsetmousehook(nullptr); }

    PressRecorder recorder;
    WToolobjectHook hook;
};

TEST_F(WToolobjectHookTest, SecondNearTapLandsOnTheFirstWhileOn)
{
    hook.ToHookMouseDBLCLK(1);
    Tap(300, 300);
    Tap(312, 290);
    const auto presses = recorder.WaitForPresses(2);
    ASSERT_EQ(presses.size(), 2u);
    ExpectAt(presses[0], 300, 300);
    ExpectAt(presses[1], 300, 300);

    // The replaced press never reached the rest of the system.
    Tap(600, 600);
    const auto later = recorder.WaitForPresses(3);
    ASSERT_EQ(later.size(), 3u);
    ExpectAt(later[2], 600, 600);
}

TEST_F(WToolobjectHookTest, TapsPassUnchangedWhileOffOrFarApart)
{
    hook.ToHookMouseDBLCLK(0);
    Tap(300, 300);
    Tap(312, 290);
    hook.ToHookMouseDBLCLK(1);
    Tap(500, 500);
    Tap(540, 500); // beyond a touch's reach
    const auto presses = recorder.WaitForPresses(4);
    ASSERT_EQ(presses.size(), 4u);
    ExpectAt(presses[1], 312, 290);
    ExpectAt(presses[3], 540, 500);
}

TEST_F(WToolobjectHookTest, RepeatedCallsWithTheSameValueAreHarmless)
{
    hook.setmousehook(nullptr);
    for (int i = 0; i < 5; ++i) hook.ToHookMouseDBLCLK(1);
    hook.ToReUseMouseDBLCLK();
    Tap(200, 200);
    hook.ToHookMouseDBLCLK(1); // does not forget the first tap
    Tap(205, 205);
    const auto presses = recorder.WaitForPresses(2);
    ASSERT_EQ(presses.size(), 2u);
    ExpectAt(presses[1], 200, 200);
}

TEST_F(WToolobjectHookTest, HadDoubleClickStartsANewPair)
{
    hook.ToHookMouseDBLCLK(1);
    Tap(200, 200);
    recorder.WaitForPresses(1);
    hook.ToHadMouseDBLCLK();
    Tap(205, 205);
    const auto presses = recorder.WaitForPresses(2);
    ASSERT_EQ(presses.size(), 2u);
    ExpectAt(presses[1], 205, 205);
}

TEST_F(WToolobjectHookTest, NothingChangesOnceTheHookIsRemoved)
{
    hook.ToHookMouseDBLCLK(1);
    hook.unsetmousehook(nullptr);
    hook.unsetmousehook(nullptr);
    Tap(400, 400);
    Tap(405, 405);
    const auto presses = recorder.WaitForPresses(2);
    ASSERT_EQ(presses.size(), 2u);
    ExpectAt(presses[1], 405, 405);
}

TEST_F(WToolobjectHookTest, CallsFromTwoThreadsAtOnceLeaveItWorking)
{
    std::atomic<bool> go{true};
    std::thread other([&] {
        while (go) {
            hook.ToHookMouseDBLCLK(0);
            hook.ToHookMouseDBLCLK(1);
            hook.ToReUseMouseDBLCLK();
        }
    });
    for (int i = 0; i < 2000; ++i) {
        hook.ToHadMouseDBLCLK();
        hook.ToHookMouseDBLCLK(1);
    }
    go = false;
    other.join();

    hook.ToHookMouseDBLCLK(1);
    Tap(100, 100);
    Tap(110, 110);
    const auto presses = recorder.WaitForPresses(2);
    ASSERT_EQ(presses.size(), 2u);
    ExpectAt(presses[1], 100, 100);
}

// Holds the system's loader lock. A thread created meanwhile cannot begin
// to run: it first has to tell the loaded libraries that it exists.
class LoaderLockHeld {
public:
    LoaderLockHeld()
    {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        const auto lock = reinterpret_cast<LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*)>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrLockLoaderLock")));
        unlock_ = reinterpret_cast<LONG(NTAPI*)(ULONG, ULONG_PTR)>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnlockLoaderLock")));
        held_ = lock && unlock_ && lock(0, nullptr, &cookie_) >= 0;
    }
    ~LoaderLockHeld() { Release(); }
    LoaderLockHeld(const LoaderLockHeld&) = delete;
    LoaderLockHeld& operator=(const LoaderLockHeld&) = delete;

    bool Held() const { return held_; }
    void Release()
    {
        if (held_) unlock_(0, cookie_);
        held_ = false;
    }

private:
    LONG(NTAPI* unlock_)(ULONG, ULONG_PTR) = nullptr;
    ULONG_PTR cookie_ = 0;
    bool held_ = false;
};

int ThreadsOfThisProcess()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}

bool WaitForState(const WToolobjectHook& hook, WToolobjectHook::HookState state)
{
    const DWORD start = GetTickCount();
    while (hook.mousehookstate() != state) {
        if (GetTickCount() - start > 10000) return false;
        Sleep(10);
    }
    return true;
}

// A hook thread that cannot run yet (the loader is busy, as at a crowded
// logon): setmousehook waits its 2 s, returns and says so; another
// setmousehook meanwhile starts no second thread. Once the thread can run,
// its hook comes into place by itself and double taps get their help.
TEST_F(WToolobjectHookTest, AHookThreadThatCannotStartAtOnceIsLeftToStartAndNeverDoubled)
{
    hook.unsetmousehook(nullptr);
    ASSERT_EQ(hook.mousehookstate(), WToolobjectHook::HookState::Removed);
    const int threadsBefore = ThreadsOfThisProcess();
    {
        LoaderLockHeld loader;
        ASSERT_TRUE(loader.Held());
        hook.setmousehook(nullptr);
        const WToolobjectHook::HookState afterFirst = hook.mousehookstate();
        hook.setmousehook(nullptr);
        const int threadsWhileWaiting = ThreadsOfThisProcess();
        loader.Release();
        EXPECT_EQ(afterFirst, WToolobjectHook::HookState::StillStarting);
        EXPECT_EQ(threadsWhileWaiting, threadsBefore + 1) << "a second install started a second hook thread";
    }
    ASSERT_TRUE(WaitForState(hook, WToolobjectHook::HookState::Installed));
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore + 1);

    hook.ToHookMouseDBLCLK(1);
    Tap(300, 300);
    Tap(312, 290);
    const auto presses = recorder.WaitForPresses(2);
    ASSERT_EQ(presses.size(), 2u);
    ExpectAt(presses[1], 300, 300);
}

} // namespace
