// The tests' message window: each has a class of its own, so a search by
// class finds that window alone; a pump handles what was posted before it
// and no more; the handler's answer is what the sender gets.
#include "testsupport/MessageWindow.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using testsupport::MessageWindow;

constexpr UINT kNoted = WM_APP + 7;

TEST(MessageWindow, EachWindowHasAClassOfItsOwnThatFindsItAlone)
{
    const MessageWindow first;
    const MessageWindow second;
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_NE(first.ClassName(), second.ClassName());
    EXPECT_EQ(FindWindowA(first.ClassName().c_str(), nullptr), first.Handle());
    EXPECT_EQ(FindWindowA(second.ClassName().c_str(), nullptr), second.Handle());

    const MessageWindow hidden({}, MessageWindow::Kind::MessageOnly);
    ASSERT_TRUE(hidden);
    EXPECT_EQ(FindWindowExA(HWND_MESSAGE, nullptr, hidden.ClassName().c_str(), nullptr), hidden.Handle());
}

TEST(MessageWindow, PumpsWhatWasPostedBeforeAndAnswersWithTheHandler)
{
    std::vector<WPARAM> noted;
    MessageWindow window([&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != kNoted) return std::nullopt;
        noted.push_back(wParam);
        if (wParam == 1) PostMessageA(nullptr, kNoted, 99, 0); // a thread message, after the pump's mark
        return static_cast<LRESULT>(wParam * 10);
    });
    ASSERT_TRUE(window);

    PostMessageA(window.Handle(), kNoted, 1, 0);
    PostMessageA(window.Handle(), kNoted, 2, 0);
    window.Pump();
    EXPECT_EQ(noted, (std::vector<WPARAM>{1, 2}));
    MSG left;
    EXPECT_TRUE(PeekMessageA(&left, nullptr, kNoted, kNoted, PM_REMOVE)) << "what came after the mark waits";

    EXPECT_EQ(SendMessageA(window.Handle(), kNoted, 3, 0), 30);
    EXPECT_EQ(SendMessageA(window.Handle(), WM_GETTEXTLENGTH, 0, 0), 0) << "the rest goes to the default handling";

    EXPECT_FALSE(window.PumpUntil([&] { return noted.size() > 3; }, 100));
    PostMessageA(window.Handle(), kNoted, 4, 0);
    EXPECT_TRUE(window.PumpUntil([&] { return noted.size() > 3; }, 5000));
}

} // namespace
