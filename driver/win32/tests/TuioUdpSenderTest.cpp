// TUIO bundles over real loopback datagrams: they arrive whole at a listener,
// a listener that appears late gets the next bundle, and no bundle waits.
#include "OscDecoder.h"
#include "TuioUdpSender.h"

#include "driver/ContactTracker.h"
#include "driver/MultitouchOutputs.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using brelvin::TuioUdpSender;

constexpr long kArrivalWaitMs = 5000;
const driver::IPv4Address kLoopback{127, 0, 0, 1};

// A datagram socket on 127.0.0.1 at a port the system picks (or a given one).
class Listener {
public:
    explicit Listener(int port = 0)
        : socket_(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP))
    {
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = inet_addr("127.0.0.1");
        local.sin_port = htons(static_cast<u_short>(port));
        int length = sizeof local;
        if (bind(socket_.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            getsockname(socket_.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0)
            socket_.Reset();
        else
            port_ = ntohs(local.sin_port);
    }

    int Port() const { return port_; }

    // The next datagram, or nothing within the wait.
    std::vector<std::uint8_t> Receive(long waitMs = kArrivalWaitMs) const
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_.Get(), &readable);
        timeval timeout = {waitMs / 1000, (waitMs % 1000) * 1000};
        if (select(0, &readable, nullptr, nullptr, &timeout) != 1) return {};
        std::vector<std::uint8_t> datagram(2048);
        const int n =
            recv(socket_.Get(), reinterpret_cast<char*>(datagram.data()), static_cast<int>(datagram.size()), 0);
        datagram.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return datagram;
    }

private:
    common::UniqueSocket socket_;
    int port_ = 0;
};

class TuioUdpSenderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.Started()); }

    brelvin::WinsockSession session;
};

TEST_F(TuioUdpSenderTest, BundlesArriveWholeAndInOrder)
{
    Listener listener;
    ASSERT_NE(listener.Port(), 0);
    TuioUdpSender sender(kLoopback, listener.Port());
    ASSERT_TRUE(sender.Open());
    EXPECT_EQ(sender.LocalAddress(), "127.0.0.1");
    EXPECT_EQ(sender.Destination(), "127.0.0.1:" + std::to_string(listener.Port()));

    std::vector<std::vector<std::uint8_t>> sent;
    for (int n = 0; n < 20; ++n) {
        std::vector<std::uint8_t> datagram(64 + 16 * n);
        for (std::size_t i = 0; i < datagram.size(); ++i) datagram[i] = static_cast<std::uint8_t>(n + i);
        ASSERT_TRUE(sender.Write(datagram.data(), datagram.size())) << n;
        sent.push_back(datagram);
    }
    for (const auto& datagram : sent) EXPECT_EQ(listener.Receive(), datagram);
}

// The whole path the worker takes: tracker, TUIO output, datagram, decoded
// at the other end.
TEST_F(TuioUdpSenderTest, TheListenerDecodesTheContactsOfARecord)
{
    Listener listener;
    TuioUdpSender sender(kLoopback, listener.Port());
    ASSERT_TRUE(sender.Open());
    driver::NoFaultLog faults;
    const std::string source = "Brelvin@" + sender.LocalAddress();
    driver::TuioOutput tuio(sender, source.c_str(), sender.Destination().c_str(), faults);
    driver::ContactTracker tracker;

    class HalfScale final : public driver::CalibrationView {
    public:
        bool MapPoint(driver::Point& p) const override
        {
            p.x /= 2;
            p.y /= 2;
            return true;
        }
        int Upright() const override { return 1; }
        driver::ScreenSize Screen() const override { return {1600, 1200}; }
        const driver::BoardScreen& Board() const override { return board; }
        driver::Point KeyPoint(int) const override { return {}; }
        bool KeyUsable(int) const override { return false; }
        int KeyTolerance() const override { return 0; }
        driver::BoardScreen board = driver::BoardScreen::PrimaryOnly({1600, 1200});
    } calibration;

    driver::TouchRecord record;
    record.slots[1] = {1, {800, 600}};
    record.slots[2] = {1, {3200, 2400}};
    tuio.Publish(tracker.Update(record, 10, calibration));
    tuio.Publish(tracker.Update(record, 10, calibration));

    ASSERT_FALSE(listener.Receive().empty()); // the arming record's bundle
    const auto bundle = osc_testing::DecodeBundle(listener.Receive());
    ASSERT_TRUE(bundle);
    ASSERT_EQ(bundle->messages.size(), 5u);
    EXPECT_EQ(bundle->messages[0].String(1), "Brelvin@127.0.0.1");
    EXPECT_EQ(bundle->messages[1].tags, "sii");
    EXPECT_FLOAT_EQ(bundle->messages[2].Float(2), 0.25f);
    EXPECT_FLOAT_EQ(bundle->messages[2].Float(3), 0.25f);
    EXPECT_FLOAT_EQ(bundle->messages[3].Float(2), 1.0f);
    EXPECT_FLOAT_EQ(bundle->messages[3].Float(3), 1.0f);
    EXPECT_EQ(bundle->messages[4].Int(1), 2);
}

// Nobody listens at first: writes neither wait nor stop the channel, and
// the first bundle after a listener appears reaches it.
TEST_F(TuioUdpSenderTest, ALateListenerGetsTheNextBundle)
{
    int port = 0;
    {
        Listener probe;
        port = probe.Port();
    }
    TuioUdpSender sender(kLoopback, port);
    ASSERT_TRUE(sender.Open());
    const std::array<std::uint8_t, 8> lost = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int n = 0; n < 50; ++n) sender.Write(lost.data(), lost.size());

    Listener late(port);
    ASSERT_EQ(late.Port(), port);
    const std::array<std::uint8_t, 8> wanted = {9, 9, 9, 9, 8, 8, 8, 8};
    EXPECT_TRUE(sender.Write(wanted.data(), wanted.size()));
    EXPECT_EQ(late.Receive(), std::vector<std::uint8_t>(wanted.begin(), wanted.end()));
}

TEST_F(TuioUdpSenderTest, NoSocketWithoutAUsablePort)
{
    for (int port : {0, -1, 65536}) {
        TuioUdpSender sender(kLoopback, port);
        EXPECT_FALSE(sender.Open()) << port;
        const std::uint8_t byte = 1;
        EXPECT_FALSE(sender.Write(&byte, 1));
        EXPECT_EQ(sender.LocalAddress(), "127.0.0.1");
    }
}

} // namespace
