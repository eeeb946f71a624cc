// The driver as a program: one copy, never seen, and what it tells the
// drawing application when it ends.
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <windows.h>

#include <algorithm>

namespace e2e {
namespace {

struct WindowSearch {
    const char* className;
    const char* caption;
    int found = 0;
};

BOOL CALLBACK CountMatchingWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    char name[64] = {};
    char title[64] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, title, sizeof title);
    if (std::string(name) == search->className && std::string(title) == search->caption) ++search->found;
    return TRUE;
}

int CountWindows(const char* className, const char* caption)
{
    WindowSearch search{className, caption};
    EnumWindows(&CountMatchingWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Is(const sim::LoggedMessage& message, unsigned number, unsigned long long wParam, long long lParam)
{
    return message.message == number && message.wParam == wParam && message.lParam == lParam;
}

using DriverLifecycle = DriverRun;

TEST_F(DriverLifecycle, RunsHiddenWithoutTaskBarButtonAndEnterDoesNotCloseIt)
{
    Start("");
    HWND window = FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(sim::WaitUntil([&] { return !IsWindowVisible(window); }, kWaitMs));
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    SendMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(rig_.Driver().Running());
    // It started the camera service from its own folder.
    EXPECT_NE(sim::WaitForWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, kWaitMs), nullptr);
}

TEST_F(DriverLifecycle, ASecondCopyShowsTheAlreadyRunningBoxAndEnds)
{
    Start("");
    sim::ChildProcess second = rig_.StartSecondDriver();
    ASSERT_TRUE(second);
    // No Language.ini beside the copy: caption and text read "GetError".
    HWND box = sim::WaitForWindow("#32770", "GetError", kWaitMs);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(second.WaitForExit(0)) << "the copy ended before the box was answered";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitForExit(kWaitMs));
    EXPECT_TRUE(rig_.Driver().Running());
    EXPECT_EQ(CountWindows(wnd::kDriverClass, wnd::kDriverCaption), 1);
}

TEST_F(DriverLifecycle, ClosingTellsTheDrawingApplicationOnlyAfterACameraNotice)
{
    Start(kScriptStart);
    WaitForScript();
    const auto messages = CloseAndCollectMessages();
    EXPECT_TRUE(std::none_of(messages.begin(), messages.end(),
                             [](const sim::LoggedMessage& m) { return m.message == msg::kBoardEvent; }));
    EXPECT_TRUE(rig_.CameraServiceMessages().empty());
}

TEST_F(DriverLifecycle, TheCameraNoticeGoesOnceAndClosingFollowsIt)
{
    Start(kScriptStart + "event 4\nevent 4\nevent 3\n");
    WaitForScript();
    const auto messages = CloseAndCollectMessages();
    const auto connected = [](const sim::LoggedMessage& m) { return Is(m, msg::kBoardEvent, 10, 2321); };
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(), connected), 1);
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                            [](const sim::LoggedMessage& m) { return Is(m, msg::kBoardEvent, 0, 2321); }),
              0);
    const auto first = std::find_if(messages.begin(), messages.end(), connected);
    const auto closing = std::find_if(messages.begin(), messages.end(),
                                      [](const sim::LoggedMessage& m) { return Is(m, msg::kBoardEvent, 0, 0x119); });
    ASSERT_NE(closing, messages.end()) << "no closing notice";
    EXPECT_TRUE(first < closing);
}

} // namespace
} // namespace e2e
