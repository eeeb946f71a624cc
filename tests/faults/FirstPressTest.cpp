// A board whose contacts have gone elsewhere for a while (to the touch socket
// here, nowhere during a message storm: see MessageStormTest.cpp) has sent
// the desktop no mouse input, and the hook library's thread has had nothing
// to do. The next contact on the mouse's side must still press where every
// low-level hook sees it, not come through as moves and a lone left-up.
#include "FaultRun.h"

#include "common/BoardCodes.h"
#include "common/Messages.h"

namespace faults {
namespace {

constexpr int kLeftX = 800;
constexpr int kLeftY = 1200;

using FirstPress = FaultRun;

TEST_F(FirstPress, AMouseContactAfterTapsOnTheSocketHalfPresses)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    PostRegistered(msg::kRegisteredDriverSet, code::kDriverSetOpenSocket, code::kSocketHalfSplit);
    ASSERT_EQ(AskSocketMode(), 1);
    const std::size_t mark = EventMark();
    // Six seconds of writing on the socket's half at a camera's pace, then
    // two taps there and, soon after the second, a contact on the mouse's half.
    const std::string body = "pace 16\ndown 2400 1200\nline 2400 1200 2800 1600 375\nup 2800 1600\npace 0\n"
                             "pause 1000\n" +
                             Tap(2600, 1000) + "pause 720\n" + Tap(2600, 1000) + "pause 200\n" + Tap(kLeftX, kLeftY);
    ASSERT_NO_FATAL_FAILURE(StartService(body));
    const std::string ending = WaitForScriptEnd();
    EXPECT_EQ(ending.compare(0, 12, "script done "), 0) << ending;
    const std::vector<sim::MouseEvent> events = WaitForEventsSince(
        mark, [](const std::vector<sim::MouseEvent>& seen) { return Count(seen, sim::MouseKind::LeftUp) >= 1; });
    ASSERT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
    const auto press = FindFrom(events, events.begin(), sim::MouseKind::LeftDown);
    EXPECT_TRUE(e2e::Near(*press, e2e::ScreenX(kLeftX), e2e::ScreenY(kLeftY))) << e2e::Describe(events);

    // The closing touch lands on the right half: the mouse has all of it again.
    PostRegistered(msg::kRegisteredDriverSet, code::kDriverSetCloseSocket, code::kSocketHalfSplit);
    ASSERT_EQ(AskSocketMode(), 0);
    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
