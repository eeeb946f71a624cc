// The drawing thread's stop: a camera filter that does not return holds up
// the close for a second at most, and the view is left running rather than
// destroyed under its thread.
#include "LiveView.h"

#include "common/UniqueHandle.h"
#include "sim/Waiting.h"

#include <gtest/gtest.h>

#include <atomic>

namespace camview {
namespace {

// The view's documented stop bound.
constexpr DWORD kStopBoundMs = 1000;

// Stuck in the camera's filter: returns only once released, or at three
// times the view's stop bound.
class StuckFrames final : public FrameSource {
public:
    GrabResult GrabFrame(CapturedFrame&, const std::atomic<int>&) override
    {
        entered = true;
        WaitForSingleObject(release_.Get(), 3 * kStopBoundMs);
        return GrabResult::NoFrame;
    }
    void Release() { SetEvent(release_.Get()); }

    std::atomic<bool> entered{false};

private:
    common::UniqueHandle release_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

TEST(LiveView, AViewStuckInItsFrameSourceIsLeftRunningAfterASecond)
{
    HWND window = CreateWindowExW(0, L"Static", L"view", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    StuckFrames frames;
    const std::atomic<int> turned{0};
    LiveView view(window, frames, turned);
    view.Start();
    ASSERT_TRUE(sim::WaitUntil([&] { return frames.entered.load(); }, 5000));

    const bool stopped = view.Stop();
    frames.Release();
    EXPECT_FALSE(stopped) << "the stop waited for the frame source to return";
    // Once the source returns, the thread leaves its loop and the view stops.
    EXPECT_TRUE(view.Stop());
    DestroyWindow(window);
}

} // namespace
} // namespace camview
