// The touch socket to the drawing application: opened and closed by
// "CvDriverSet", fed with 8-byte packets for the contacts routed to it.
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace e2e {
namespace {

constexpr std::uint8_t kContact = 0x81;
constexpr std::uint8_t kRelease = 0x83;
constexpr std::uint8_t kDoubleTapRelease = 0x88;

struct Packet {
    int connection = 0;
    std::uint8_t bytes[8] = {};
    std::uint8_t event() const { return bytes[2]; }
    int x() const { return bytes[3] << 8 | bytes[4]; }
    int y() const { return bytes[5] << 8 | bytes[6]; }
    bool Framed() const
    {
        std::uint8_t check = 0;
        for (int i = 0; i < 7; ++i) check ^= bytes[i];
        return bytes[0] == 0xEE && bytes[1] == 0xEE && bytes[7] == check;
    }
};

// "packet <connection> <16 hex digits>"
Packet ParsePacket(const std::string& line)
{
    std::istringstream words(line);
    std::string word, hex;
    Packet packet;
    words >> word >> packet.connection >> hex;
    for (int i = 0; i < 8 && hex.size() == 16; ++i)
        packet.bytes[i] = static_cast<std::uint8_t>(std::strtoul(hex.substr(2 * i, 2).c_str(), nullptr, 16));
    return packet;
}

struct Expected {
    std::uint8_t event;
    double x; // screen pixels before truncation
    double y;
};

std::string AsText(const std::vector<Packet>& packets)
{
    std::ostringstream text;
    for (const Packet& p : packets)
        text << "conn " << p.connection << " event " << std::hex << int(p.event()) << std::dec << " at " << p.x() << ","
             << p.y() << (p.Framed() ? "" : " (badly framed)") << "\n";
    return text.str();
}

class TouchSocket : public DriverRun {
protected:
    void SetUp() override { StartIdle(PeerSetup{"e2e-WBInit.ini", true, true}); }

    std::vector<Packet> Packets() const
    {
        std::vector<Packet> packets;
        for (const std::string& line : LinesStartingWith(sim::kDrawingAppSocketLog, "packet "))
            packets.push_back(ParsePacket(line));
        return packets;
    }
    std::vector<Packet> WaitForPackets(std::size_t count) const
    {
        std::vector<Packet> packets;
        sim::WaitUntil([&] { return (packets = Packets()).size() >= count; }, kWaitMs);
        return packets;
    }
    void Open(int request, int connection)
    {
        PostRegistered(msg::kRegisteredDriverSet, 30, request);
        ASSERT_TRUE(WaitForLine(sim::kDrawingAppSocketLog, "accept " + std::to_string(connection)))
            << Log(sim::kDrawingAppSocketLog);
    }
    // A packet's coordinates are the mapped point truncated; allow for a
    // mapping that lands a hair short of a whole pixel.
    static void ExpectPackets(const std::vector<Packet>& packets, const std::vector<Expected>& expected, int connection)
    {
        ASSERT_EQ(packets.size(), expected.size()) << AsText(packets);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const Packet& packet = packets[i];
            EXPECT_TRUE(packet.Framed()) << i << "\n" << AsText(packets);
            EXPECT_EQ(packet.connection, connection) << i;
            EXPECT_EQ(packet.event(), expected[i].event) << i << "\n" << AsText(packets);
            EXPECT_LE(std::abs(packet.x() - static_cast<int>(expected[i].x)), 1) << i << "\n" << AsText(packets);
            EXPECT_LE(std::abs(packet.y() - static_cast<int>(expected[i].y)), 1) << i << "\n" << AsText(packets);
        }
    }
};

double X(double camera)
{
    return camera * PrimaryScreen().width / 3200.0;
}
double Y(double camera)
{
    return camera * PrimaryScreen().height / 2400.0;
}

TEST_F(TouchSocket, PairSplitSendsTheSecondPairAndTheQueryFollowsTheChannel)
{
    EXPECT_EQ(AskSocketMode(), 0);
    ASSERT_NO_FATAL_FAILURE(Open(6, 1));
    EXPECT_EQ(AskSocketMode(), 1);

    // Slot 0 drives the mouse, slot 2 the socket, in the same records.
    ASSERT_NO_FATAL_FAILURE(PlayScript("rec 1 800 600 0 0 0 1 2000 1500\n"
                                       "rec 1 800 600 0 0 0 1 2000 1500\n"
                                       "rec 1 800 600 0 0 0 1 2400 1500\n"
                                       "rec 2 800 600 0 0 0 2 2400 1500\n"));
    const double smoothedX = 0.6 * X(2400) + 0.4 * X(2000);
    ExpectPackets(WaitForPackets(3),
                  {{kContact, X(2000), Y(1500)}, {kContact, smoothedX, Y(1500)}, {kRelease, smoothedX, Y(1500)}}, 1);
    const auto mouse =
        WaitForEvents([](const std::vector<sim::MouseEvent>& events) { return ButtonSequence(events) == "ldown lup"; });
    ASSERT_EQ(ButtonSequence(mouse), "ldown lup") << Describe(mouse);
    EXPECT_TRUE(Near(mouse.front(), ScreenX(800), ScreenY(600))) << Describe(mouse);

    // Closed: the connection goes, the query answers 0, contacts of the
    // second pair go nowhere.
    PostRegistered(msg::kRegisteredDriverSet, 31, 6);
    ASSERT_TRUE(WaitForLine(sim::kDrawingAppSocketLog, "closed 1")) << Log(sim::kDrawingAppSocketLog);
    EXPECT_EQ(AskSocketMode(), 0);
    ASSERT_NO_FATAL_FAILURE(
        PlayScript("rec 0 0 0 0 0 0 1 2000 1500\nrec 0 0 0 0 0 0 1 2000 1500\nrec 0 0 0 0 0 0 2 2000 1500\n"));
    EXPECT_EQ(Packets().size(), 3u);
    EXPECT_TRUE(LinesStartingWith(sim::kDrawingAppSocketLog, "accept 2").empty());
}

TEST_F(TouchSocket, HalfSplitSendsTheRightHalfAndMarksADoubleTap)
{
    ASSERT_NO_FATAL_FAILURE(Open(7, 1));
    // Two quick taps on the right half a few pixels apart, then a tap on
    // the left half, which is the mouse's.
    ASSERT_NO_FATAL_FAILURE(PlayScript("rec 1 2400 1200\nrec 1 2400 1200\nrec 2 2400 1200\n"
                                       "rec 1 2410 1205\nrec 1 2410 1205\nrec 2 2410 1205\n"
                                       "rec 1 800 1200\nrec 1 800 1200\nrec 2 800 1200\n"));
    ExpectPackets(WaitForPackets(4),
                  {{kContact, X(2400), Y(1200)},
                   {kRelease, X(2400), Y(1200)},
                   {kContact, X(2410), Y(1205)},
                   {kDoubleTapRelease, X(2410), Y(1205)}},
                  1);
    const auto mouse =
        WaitForEvents([](const std::vector<sim::MouseEvent>& events) { return ButtonSequence(events) == "ldown lup"; });
    ASSERT_EQ(ButtonSequence(mouse), "ldown lup") << Describe(mouse);
    EXPECT_TRUE(Near(mouse.front(), ScreenX(800), ScreenY(1200))) << Describe(mouse);
}

TEST_F(TouchSocket, SecondOpenReplacesTheFirstConnection)
{
    ASSERT_NO_FATAL_FAILURE(Open(6, 1));
    ASSERT_NO_FATAL_FAILURE(Open(7, 2));
    ASSERT_TRUE(WaitForLine(sim::kDrawingAppSocketLog, "closed 1")) << Log(sim::kDrawingAppSocketLog);
    // Request 5 is not a socket request: the channel stays as it is.
    PostRegistered(msg::kRegisteredDriverSet, 30, 5);
    EXPECT_EQ(AskSocketMode(), 1);
    ASSERT_NO_FATAL_FAILURE(PlayScript("rec 1 2400 1200\nrec 1 2400 1200\nrec 2 2400 1200\n"));
    ExpectPackets(WaitForPackets(2), {{kContact, X(2400), Y(1200)}, {kRelease, X(2400), Y(1200)}}, 2);
    EXPECT_TRUE(LinesStartingWith(sim::kDrawingAppSocketLog, "accept 3").empty());
}

} // namespace
} // namespace e2e
