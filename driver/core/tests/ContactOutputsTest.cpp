// The touch worker with the outputs that carry every contact: TUIO bundles
// beside the mouse, and touch frames instead of it. The rest of the board
// (keys, pen buttons, forwarding, the socket) keeps its behaviour.
#include "DriverFakes.h"
#include "WorkerFakes.h"
#include "OscDecoder.h"
#include "TestInput.h"

#include "driver/TouchWorker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace driver {
namespace {

using testing::RecordBuilder;
using testing::RecordingChannel;

class RecordingInjection final : public TouchInjection {
public:
    std::vector<TouchFrame> frames;
    bool Inject(const TouchFrame& frame) override
    {
        frames.push_back(frame);
        return true;
    }
};

class ContactOutputsTest : public ::testing::Test, protected testing::WorkerFakes {
protected:
    void Start(bool tuio, bool touch)
    {
        ContactOutputs outputs;
        if (tuio) outputs.tuio = &tuioOutput;
        if (touch) outputs.touch = &touchOutput;
        socket.Publish(socketChannel);
        worker = std::make_unique<TouchWorker>(Deps(outputs));
        worker->Begin();
    }
    void Cycle(const RecordBuilder& record = RecordBuilder())
    {
        desktop.now += 2;
        worker->Cycle(record.Bytes(), calibration);
    }
    // The session ids each bundle's alive message lists.
    std::vector<std::vector<int>> Alive() const
    {
        std::vector<std::vector<int>> alive;
        for (const auto& datagram : udp->writes) {
            const auto bundle = osc_testing::DecodeBundle(datagram);
            EXPECT_TRUE(bundle.has_value());
            if (!bundle) continue;
            for (const auto& message : bundle->messages) {
                if (message.Command() != "alive") continue;
                std::vector<int> ids;
                for (std::size_t n = 1; n < message.arguments.size(); ++n) ids.push_back(message.Int(n));
                alive.push_back(ids);
            }
        }
        return alive;
    }
    int MousePresses() const
    {
        return static_cast<int>(std::count_if(desktop.mouseEvents.begin(), desktop.mouseEvents.end(),
                                              [](const testing::MouseEvent& e) { return e.flags & 0x0002; }));
    }

    std::shared_ptr<RecordingChannel> socketChannel = std::make_shared<RecordingChannel>();
    std::shared_ptr<RecordingChannel> udp = std::make_shared<RecordingChannel>();
    TuioOutput tuioOutput{*udp, "Brelvin@127.0.0.1", "127.0.0.1:3333", faults};
    RecordingInjection injection;
    TouchOutput touchOutput{injection, faults};
    std::unique_ptr<TouchWorker> worker;
};

TEST_F(ContactOutputsTest, TuioCarriesEveryContactBesideTheMouse)
{
    Start(true, false);
    state.socketRouting = SocketRouting::PairSplit;
    Cycle();
    // Slot 0 drives the mouse, slot 2 goes to the socket: both are touches.
    for (int n = 0; n < 3; ++n) Cycle(RecordBuilder().Contact(0, 100, 100).Contact(2, 800, 600));
    Cycle(RecordBuilder().Release(0).Release(2));
    EXPECT_EQ(MousePresses(), 1) << "the mouse still gets its press";
    EXPECT_FALSE(socketChannel->writes.empty()) << "the socket still gets its packets";
    const auto alive = Alive();
    ASSERT_GE(alive.size(), 3u);
    EXPECT_EQ(alive[1].size(), 2u) << "both contacts, once past their first sample";
    EXPECT_TRUE(alive.back().empty()) << "the releases end both";
}

TEST_F(ContactOutputsTest, AContactABoardKeyTookIsNoTouch)
{
    Start(true, false);
    state.boardKeysEnabled = 1;
    keys.hits = [](const Point& p) { return p.x < 50; };
    for (int n = 0; n < 3; ++n) Cycle(RecordBuilder().Contact(0, 20, 20));
    Cycle(RecordBuilder().Release(0));
    for (const auto& ids : Alive()) EXPECT_TRUE(ids.empty());
}

TEST_F(ContactOutputsTest, ForwardingEndsLiveContactsAndSendsNothing)
{
    Start(true, false);
    for (int n = 0; n < 3; ++n) Cycle(RecordBuilder().Contact(0, 100, 100));
    ASSERT_FALSE(Alive().back().empty());
    state.forwarding = ForwardingState::Forwarding;
    Cycle(RecordBuilder().Contact(0, 100, 100));
    const std::size_t bundles = udp->writes.size();
    EXPECT_TRUE(Alive().back().empty()) << "the forwarded contact is still alive for the TUIO client";
    for (int n = 0; n < 20; ++n) Cycle(RecordBuilder().Contact(0, 100, 100));
    EXPECT_EQ(udp->writes.size(), bundles) << "bundles went out while forwarding";
}

TEST_F(ContactOutputsTest, TouchFramesReplaceTheMouseAndKeysStillTakePresses)
{
    Start(false, true);
    EXPECT_EQ(hook.calls, std::vector<int>{0}) << "the system makes its own double taps";
    for (int n = 0; n < 120; ++n) Cycle(RecordBuilder().Contact(0, 100, 100).Contact(1, 300, 300));
    Cycle(RecordBuilder().Release(0).Release(1));
    EXPECT_TRUE(desktop.mouseEvents.empty()) << "no mouse input, press-and-hold included";
    ASSERT_FALSE(injection.frames.empty());
    EXPECT_EQ(injection.frames.front().count, 2u);
    EXPECT_EQ(injection.frames.front().contacts[0].flags, kTouchDownFlags);
    EXPECT_EQ(injection.frames.back().contacts[0].flags, kTouchUpFlags);

    // A board key still takes the press: it is no touch, and its command goes out.
    injection.frames.clear();
    state.boardKeysEnabled = 1;
    keys.hits = [](const Point&) { return true; };
    for (int n = 0; n < 3; ++n) Cycle(RecordBuilder().Contact(0, 100, 100));
    Cycle(RecordBuilder().Release(0));
    EXPECT_FALSE(keys.asked.empty());
    EXPECT_TRUE(injection.frames.empty());
}

TEST_F(ContactOutputsTest, AHeldPenButtonKeepsTouchContactsAliveAndClosingEndsThem)
{
    Start(false, true);
    for (int n = 0; n < 3; ++n) Cycle(RecordBuilder().Contact(0, 100, 100));
    const std::size_t before = injection.frames.size();
    for (int n = 0; n < 100; ++n) Cycle(RecordBuilder().Event(8)); // 200 ms of a held button
    EXPECT_GT(injection.frames.size(), before + 2) << "the system would drop a contact it hears nothing of";
    worker->End(calibration);
    EXPECT_EQ(injection.frames.back().contacts[0].flags, kTouchUpFlags);
    EXPECT_FALSE(touchOutput.AnyDown());
}

} // namespace
} // namespace driver
