// The touch-packet socket against real local peers: packets arrive whole and
// in order, an absent or stalled peer never holds up the writer, and the
// channel's end is the connection's end.
#include "BrelvinSocket.h"
#include "Win32SocketFactory.h"
#include "WinsockSession.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using brelvin::CBrelvinSocket;

constexpr long kPeerWaitMs = 5000;

bool AwaitReadable(SOCKET socket, long timeoutMs)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, &readable, nullptr, nullptr, &timeout) == 1;
}

// A loopback TCP listener on a port the system picks.
class Listener {
public:
    explicit Listener(int receiveBuffer = 0)
        : socket_(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP))
    {
        if (receiveBuffer > 0)
            setsockopt(socket_.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
                       sizeof receiveBuffer);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = inet_addr("127.0.0.1");
        int length = sizeof local;
        if (bind(socket_.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            listen(socket_.Get(), 5) != 0 ||
            getsockname(socket_.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0)
            socket_.Reset();
        else
            port_ = ntohs(local.sin_port);
    }

    int Port() const { return port_; }

    common::UniqueSocket Accept() const
    {
        if (!socket_ || !AwaitReadable(socket_.Get(), kPeerWaitMs)) return common::UniqueSocket();
        return common::UniqueSocket(accept(socket_.Get(), nullptr, nullptr));
    }

private:
    common::UniqueSocket socket_;
    int port_ = 0;
};

// A port on which nothing listens (just released by a socket bound to it).
int UnusedPort()
{
    Listener probe;
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
    Listener listener;
    ASSERT_NE(listener.Port(), 0);
    CBrelvinSocket channel(listener.Port());
    ASSERT_TRUE(channel.Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    common::UniqueSocket peer = listener.Accept();
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
    const std::vector<std::uint8_t> packet = Packet(1);
    EXPECT_FALSE(channel.Write(packet.data(), packet.size()));
    std::uint8_t buffer[8];
    EXPECT_EQ(channel.Read(buffer, sizeof buffer), 0);

    brelvin::Win32SocketFactory factory;
    EXPECT_EQ(factory.OpenStream("not an address", 6171), nullptr);
}

TEST_F(BrelvinSocketTest, APeerThatNeverReadsMakesWritesFailInsteadOfBlocking)
{
    Listener listener(4096);
    ASSERT_NE(listener.Port(), 0);
    auto channel = std::make_unique<CBrelvinSocket>(listener.Port());
    ASSERT_TRUE(channel->Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    common::UniqueSocket peer = listener.Accept();
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
    Listener listener;
    ASSERT_NE(listener.Port(), 0);
    auto channel = std::make_unique<CBrelvinSocket>(listener.Port());
    ASSERT_TRUE(channel->Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    common::UniqueSocket peer = listener.Accept();
    ASSERT_TRUE(peer);
    const std::vector<std::uint8_t> packet = Packet(5);
    ASSERT_TRUE(channel->Write(packet.data(), packet.size()));

    channel.reset();
    EXPECT_EQ(Receive(peer.Get(), 8), packet);
    ASSERT_TRUE(AwaitReadable(peer.Get(), kPeerWaitMs));
    char byte = 0;
    EXPECT_EQ(recv(peer.Get(), &byte, 1, 0), 0) << "the peer should see the end of the stream";
}

TEST_F(BrelvinSocketTest, AListeningChannelReceivesFromAConnectingOne)
{
    const int port = UnusedPort();
    CBrelvinSocket server(port);
    ASSERT_TRUE(server.Open(CBrelvinSocket::kListen, nullptr));
    CBrelvinSocket client(port);
    ASSERT_TRUE(client.Open(CBrelvinSocket::kConnect, "127.0.0.1"));
    const std::vector<std::uint8_t> packet = Packet(7);
    ASSERT_TRUE(client.Write(packet.data(), packet.size()));

    std::vector<std::uint8_t> received;
    std::uint8_t buffer[8];
    while (received.size() < packet.size()) {
        const int n = server.Read(buffer, sizeof buffer);
        if (n <= 0) break;
        received.insert(received.end(), buffer, buffer + n);
    }
    EXPECT_EQ(received, packet);
}

} // namespace
