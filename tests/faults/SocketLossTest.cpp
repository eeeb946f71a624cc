// The drawing application ends the touch socket while a stroke is going to
// it (it closes the connection, or it exits): the driver neither hangs nor
// dies, and the mouse side of the board goes on working.
#include "FaultRun.h"

#include "common/Messages.h"
#include "sim/StandInMessages.h"
#include "sim/Waiting.h"

namespace faults {
namespace {

// "CvDriverSet" requests: open the touch socket (pair split), close it.
constexpr unsigned long kOpenSocket = 30;
constexpr long kPairSplit = 6;

// A contact in slot 2, which goes to the socket while it is open.
std::string SocketSamples(int count, int x)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += "rec 0 0 0 0 0 0 1 " + std::to_string(x + 10 * i) + " 1500\n";
    return text;
}

class SocketLoss : public FaultRun {
protected:
    std::size_t PacketsOf(int connection) const
    {
        return LinesStartingWith(sim::kDrawingAppSocketLog, "packet " + std::to_string(connection) + " ").size();
    }
    void Open(int connection)
    {
        PostRegistered(msg::kRegisteredDriverSet, kOpenSocket, kPairSplit);
        ASSERT_TRUE(WaitForLine(sim::kDrawingAppSocketLog, "accept " + std::to_string(connection)))
            << Log(sim::kDrawingAppSocketLog);
    }
    void GoAheadTo(const std::string& note)
    {
        ASSERT_NO_FATAL_FAILURE(PostToService(sim::kScriptGoAhead));
        ASSERT_TRUE(WaitForServiceLine("script note " + note)) << Log(sim::kCameraServiceLog);
    }
};

TEST_F(SocketLoss, DrawingAppDroppingOrLeavingTheSocketMidStrokeHarmsNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers(true));
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const std::string await = "await " + std::to_string(sim::kScriptGoAhead) + " 30000\n";
    // One stroke to the socket, held up at each fault until the test has
    // made it, then going on onto the lost connection.
    ASSERT_NO_FATAL_FAILURE(StartService(SocketSamples(4, 2000) + "note sent\n" + await + SocketSamples(20, 2040) +
                                         "note dropped\n" + await + SocketSamples(4, 2240) + "note reopened\n" + await +
                                         SocketSamples(20, 2280) + "rec 0 0 0 0 0 0 2 2480 1500\n"));
    ASSERT_TRUE(WaitForServiceLine("script note sent")) << Log(sim::kCameraServiceLog);
    ASSERT_TRUE(sim::WaitUntil([&] { return PacketsOf(1) >= 2; }, e2e::kWaitMs)) << Log(sim::kDrawingAppSocketLog);

    // The drawing application closes the connection; the stroke goes on.
    ASSERT_TRUE(rig_.DropTouchConnections());
    ASSERT_TRUE(WaitForLine(sim::kDrawingAppSocketLog, "dropped 1")) << Log(sim::kDrawingAppSocketLog);
    ASSERT_NO_FATAL_FAILURE(GoAheadTo("dropped"));
    EXPECT_TRUE(AnswersPosted()) << "the driver's window stopped after the connection was dropped";
    ASSERT_TRUE(rig_.Driver().Running()) << "the driver died writing to a dropped connection";

    // A new connection, then the drawing application goes away altogether.
    ASSERT_NO_FATAL_FAILURE(Open(2));
    ASSERT_NO_FATAL_FAILURE(GoAheadTo("reopened"));
    ASSERT_TRUE(sim::WaitUntil([&] { return PacketsOf(2) >= 2; }, e2e::kWaitMs)) << Log(sim::kDrawingAppSocketLog);
    rig_.KillDrawingApp();
    ASSERT_NO_FATAL_FAILURE(PostToService(sim::kScriptGoAhead));
    const std::string ending = WaitForScriptEnd();
    EXPECT_EQ(ending.compare(0, 12, "script done "), 0) << "the driver stopped taking records\n"
                                                        << Log(sim::kCameraServiceLog);
    EXPECT_TRUE(AnswersPosted()) << "the driver's window stopped after the drawing application left";

    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
