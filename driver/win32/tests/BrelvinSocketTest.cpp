// The touch-packet socket against real local peers: packets arrive whole and
// in order, an absent, stalled or unanswering peer never holds up the
// writer or the opener, and the channel's end is the connection's end.
#include "BrelvinSocket.h"
#include "LoopbackListener.h"
#include "Win32SocketFactory.h"
#include "WinsockSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <vector>

namespace {

using brelvin::CBrelvinSocket;

constexpr long kPeerWaitMs = 5000;

using brelvin::testkit::AwaitReadable;
using brelvin::testkit::LoopbackListener;

// A port on which nothing listens (just released by a socket bound to it).
int UnusedPort()
{
    LoopbackListener probe;
    return probe.Port();
}

// Reads until `count` bytes came or the peer stopped sending.
std::vector<std::uint8_t> Receive(SOCKET socket, std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    std::size_t received = 0;
    while (received < count && AwaitReadable(socket, kPeerWaitMs)) {
        const int n =
            recv(socket, reinterpret_cast<char*>(bytes.data() + received), static_cast<int>(count - received), 0);
        if (n <= 0) break;
        received += static_cast<std::size_t>(n);
    }
    bytes.resize(received);
    return bytes;
}

std::vector<std::uint8_t> Packet(int index)
{
    std::vector<std::uint8_t> packet(8);
    for (int i = 0; i < 8; ++i) packet[i] = static_cast<std::uint8_t>(index * 8 + i);
    return packet;
}

class BrelvinSocketTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.Started()); }

    brelvin::WinsockSession session;
};

TEST_F(BrelvinSocketTest, PacketsReachTheListenerWholeAndInOrder)
{
    LoopbackListener listener;
    ASSERT_NE(listener.Port(), 0);
    CBrelvinSocket channel(listener.Port());
    ASSERT_TRUE(channel.Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    common::UniqueSocket peer = listener.Accept(kPeerWaitMs);
    ASSERT_TRUE(peer);

    std::vector<std::uint8_t> expected;
    for (int i = 0; i < 32; ++i) {
        const std::vector<std::uint8_t> packet = Packet(i);
        ASSERT_TRUE(channel.Write(packet.data(), packet.size())) << "packet " << i;
        expected.insert(expected.end(), packet.begin(), packet.end());
    }
    EXPECT_EQ(Receive(peer.Get(), expected.size()), expected);
}

TEST_F(BrelvinSocketTest, OpenSucceedsWithNobodyListeningAndWritesThenFail)
{
    CBrelvinSocket channel(UnusedPort());
    EXPECT_TRUE(channel.Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    const std::vector<std::uint8_t> packet = Packet(1);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(channel.Write(packet.data(), packet.size()));

    brelvin::Win32SocketFactory factory;
    const auto opened = factory.OpenStream("127.0.0.1", UnusedPort());
    ASSERT_NE(opened, nullptr);
    EXPECT_FALSE(opened->Write(packet.data(), packet.size()));
}

TEST_F(BrelvinSocketTest, OpenRefusesWhatItCannotReach)
{
    CBrelvinSocket channel(UnusedPort());
    EXPECT_FALSE(channel.Open(CBrelvinSocket::kConnect, "localhost"));
    EXPECT_FALSE(channel.Open(CBrelvinSocket::kConnect, nullptr));
    EXPECT_FALSE(channel.Open(3, "127.0.0.1"));
    EXPECT_FALSE(channel.Open(1, "127.0.0.1")) << "the driver never listens";
    const std::vector<std::uint8_t> packet = Packet(1);
    EXPECT_FALSE(channel.Write(packet.data(), packet.size()));

    brelvin::Win32SocketFactory factory;
    EXPECT_EQ(factory.OpenStream("not an address", 6171), nullptr);
}

TEST_F(BrelvinSocketTest, APeerThatNeverReadsMakesWritesFailInsteadOfBlocking)
{
    LoopbackListener listener(5, 4096);
    ASSERT_NE(listener.Port(), 0);
    auto channel = std::make_unique<CBrelvinSocket>(listener.Port());
    ASSERT_TRUE(channel->Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    common::UniqueSocket peer = listener.Accept(kPeerWaitMs);
    ASSERT_TRUE(peer);

    const std::vector<std::uint8_t> packet = Packet(3);
    constexpr std::size_t kEnoughToFillAnyBuffer = 200000;
    std::size_t accepted = 0;
    while (accepted < kEnoughToFillAnyBuffer && channel->Write(packet.data(), packet.size())) ++accepted;
    ASSERT_GT(accepted, 0u);
    ASSERT_LT(accepted, kEnoughToFillAnyBuffer) << "no write ever failed";

    // Every packet reported as written reaches the peer whole; at most the
    // unfinished rest of one refused packet follows before the stream ends.
    channel.reset();
    const std::vector<std::uint8_t> received = Receive(peer.Get(), (accepted + 1) * packet.size());
    ASSERT_GE(received.size(), accepted * packet.size());
    EXPECT_LT(received.size(), (accepted + 1) * packet.size());
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < accepted * packet.size(); ++i)
        if (received[i] != packet[i % packet.size()]) ++mismatches;
    EXPECT_EQ(mismatches, 0u);
}

TEST_F(BrelvinSocketTest, DestroyingTheChannelEndsTheConnection)
{
    LoopbackListener listener;
    ASSERT_NE(listener.Port(), 0);
    auto channel = std::make_unique<CBrelvinSocket>(listener.Port());
    ASSERT_TRUE(channel->Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    common::UniqueSocket peer = listener.Accept(kPeerWaitMs);
    ASSERT_TRUE(peer);
    const std::vector<std::uint8_t> packet = Packet(5);
    ASSERT_TRUE(channel->Write(packet.data(), packet.size()));

    channel.reset();
    EXPECT_EQ(Receive(peer.Get(), 8), packet);
    ASSERT_TRUE(AwaitReadable(peer.Get(), kPeerWaitMs));
    char byte = 0;
    EXPECT_EQ(recv(peer.Get(), &byte, 1, 0), 0) << "the peer should see the end of the stream";
}

// The drawing application listens but takes no calls, and its queue of
// waiting callers is full: the system leaves a further connect unanswered
// (unlike a closed port, which refuses at once). Open gives the connection
// its second and returns; the listener looks at its queue again only at
// three times that. A channel opened afresh to a listener that answers
// connects and delivers.
TEST_F(BrelvinSocketTest, AConnectThatIsNeverAnsweredHoldsUpOpenForASecondAtMost)
{
    LoopbackListener listener(1);
    ASSERT_NE(listener.Port(), 0);
    std::vector<common::UniqueSocket> waiting;
    bool full = false;
    while (!full && waiting.size() < 64) {
        common::UniqueSocket caller(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        u_long nonBlocking = 1;
        ASSERT_EQ(ioctlsocket(caller.Get(), FIONBIO, &nonBlocking), 0);
        sockaddr_in peer = {};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(static_cast<u_short>(listener.Port()));
        peer.sin_addr.s_addr = inet_addr("127.0.0.1");
        connect(caller.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(caller.Get(), &writable);
        timeval answerWait = {0, 300 * 1000};
        full = select(0, nullptr, &writable, nullptr, &answerWait) == 0; // this one got no answer
        waiting.push_back(std::move(caller));
    }
    ASSERT_TRUE(full) << "the listener's queue never filled";

    auto channel = std::make_unique<CBrelvinSocket>(listener.Port());
    auto opening = std::async(std::launch::async, [&] { return channel->Open(CBrelvinSocket::kConnect, "127.0.0.1"); });
    constexpr long kConnectBoundMs = 1000;
    const bool inTime = opening.wait_for(std::chrono::milliseconds(3 * kConnectBoundMs)) == std::future_status::ready;
    while (listener.Accept(0)) {
    } // makes room, so that a connect still waiting can end
    ASSERT_TRUE(inTime) << "Open waited for the connection past its bound";
    EXPECT_TRUE(opening.get()) << "a connection under way still opens the channel";

    channel.reset();
    LoopbackListener answering;
    CBrelvinSocket fresh(answering.Port());
    ASSERT_TRUE(fresh.Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    common::UniqueSocket peer = answering.Accept(kPeerWaitMs);
    ASSERT_TRUE(peer);
    const std::vector<std::uint8_t> packet = Packet(9);
    ASSERT_TRUE(fresh.Write(packet.data(), packet.size()));
    EXPECT_EQ(Receive(peer.Get(), packet.size()), packet);
}

} // namespace
