// The two pointer machines, state by state and event by event, as their
// headers draw them, and the one-line traces of named sequences.
#include "DriverFakes.h"
#include "TestInput.h"

#include "driver/MousePointer.h"
#include "driver/SocketPointer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {
namespace {

using testing::FakeBoardKeys;
using testing::FakeCalibration;
using testing::FakeDesktop;
using testing::RecordingChannel;

class LineTrace final : public PointerTrace {
public:
    std::vector<std::string> lines;
    void Transition(const char* pointer, const char* from, const char* event, const char* to) override
    {
        char line[128];
        FormatTransition(line, sizeof line, pointer, from, event, to);
        lines.emplace_back(line);
    }
};

// One row of a machine's table: the state it starts in, the event, the
// state it ends in and what went out meanwhile.
struct Row {
    const char* from;
    PointerEvent event;
    const char* to;
    std::vector<std::uint32_t> injected; // mouse flags
    bool madeUp;
};

// A fresh mouse pointer and what it injects.
struct MouseRig {
    // Brings the pointer to `state` by samples.
    void Reach(const std::string& state)
    {
        const bool keyTakesPress = state == "KeyHeld";
        keys.hits = [keyTakesPress](const Point&) { return keyTakesPress; };
        state_.boardKeysEnabled = 1;
        if (state != "Up") mouse.Handle(PointerEvent::Contact, {100, 100}, now, calibration);
        if (state == "Pressed" || state == "KeyHeld") mouse.Handle(PointerEvent::Contact, {100, 100}, now, calibration);
        ASSERT_STREQ(Name(mouse.CurrentState()), state.c_str());
        desktop.mouseEvents.clear();
    }
    std::vector<std::uint32_t> Flags() const
    {
        std::vector<std::uint32_t> flags;
        for (const auto& e : desktop.mouseEvents) flags.push_back(e.flags);
        return flags;
    }

    FakeDesktop desktop;
    DriverState state_;
    FakeBoardKeys keys;
    FakeCalibration calibration;
    MousePointer mouse{desktop, state_, keys};
    std::uint32_t now = 1000;
};

class MouseTable : public ::testing::Test, protected MouseRig {};

// Every event in every state, as the table in MousePointer.h says.
TEST(MousePointerTable, EveryEventInEveryState)
{
    using E = PointerEvent;
    const std::vector<Row> rows = {
        {"Up", E::Contact, "Armed", {}, false},
        {"Up", E::Release, "Up", {testing::kLeftUp}, false},
        {"Up", E::Silence, "Up", {}, false},
        {"Up", E::Cancel, "Up", {}, false},
        {"Armed", E::Contact, "Pressed", {testing::kMoveLeftDown}, false},
        {"Armed", E::Release, "Up", {testing::kLeftUp}, false},
        {"Armed", E::Silence, "Up", {}, false},
        {"Armed", E::Cancel, "Up", {}, false},
        {"Pressed", E::Contact, "Pressed", {testing::kMove}, false},
        {"Pressed", E::Release, "Up", {testing::kLeftUp}, false},
        {"Pressed", E::Silence, "Up", {testing::kLeftUp}, true},
        {"Pressed", E::Cancel, "Up", {testing::kLeftUp}, true},
        {"KeyHeld", E::Contact, "KeyHeld", {testing::kMove}, false},
        {"KeyHeld", E::Release, "Up", {testing::kLeftUp}, false},
        {"KeyHeld", E::Silence, "Up", {testing::kLeftUp}, true},
        {"KeyHeld", E::Cancel, "Up", {testing::kLeftUp}, true},
    };
    for (const Row& row : rows) {
        MouseRig t;
        t.Reach(row.from);
        t.state_.actionArmed = false;
        const MousePointer::Step step = t.mouse.Handle(row.event, {100, 100}, t.now, t.calibration);
        const std::string what = std::string(row.from) + " --" + Name(row.event) + "-->";
        EXPECT_STREQ(Name(step.to), row.to) << what;
        EXPECT_EQ(t.Flags(), row.injected) << what;
        EXPECT_EQ(step.madeUpRelease, row.madeUp) << what;
        // Every way back to Up re-arms the one-shot actions, except the
        // pointer that was up already.
        const bool backUp = std::string(row.to) == "Up" && std::string(row.from) != "Up";
        EXPECT_EQ(t.state_.actionArmed.load(), backUp || row.event == E::Release) << what;
    }
}

TEST_F(MouseTable, SilenceComesFromTheTimeOfTheLastSampleNotFromTicks)
{
    Reach("Pressed");
    EXPECT_STREQ(Name(mouse.Tick(now + kSilenceMs, calibration).to), "Pressed");
    EXPECT_FALSE(mouse.Tick(now + kSilenceMs, calibration).madeUpRelease);
    mouse.Handle(PointerEvent::Contact, {100, 100}, now + 400, calibration); // a late frame
    EXPECT_STREQ(Name(mouse.Tick(now + 400 + kSilenceMs, calibration).to), "Pressed");
    const MousePointer::Step step = mouse.Tick(now + 401 + kSilenceMs, calibration);
    EXPECT_TRUE(step.madeUpRelease);
    EXPECT_STREQ(Name(step.to), "Up");
}

TEST_F(MouseTable, HoldCountsOnlyAfterAPressAndStopsAtTheRelease)
{
    EXPECT_EQ(mouse.CurrentHold(), MousePointer::Hold::Counting);
    Reach("Pressed");
    mouse.Handle(PointerEvent::Release, {}, now, calibration);
    EXPECT_EQ(mouse.CurrentHold(), MousePointer::Hold::Disarmed);
    // A key took the next press: still moves never right-click.
    keys.hits = [](const Point&) { return true; };
    mouse.Handle(PointerEvent::Contact, {100, 100}, now, calibration);
    mouse.Handle(PointerEvent::Contact, {100, 100}, now, calibration);
    desktop.mouseEvents.clear();
    for (int n = 0; n < 150; ++n) mouse.Handle(PointerEvent::Contact, {100, 100}, now, calibration);
    for (const auto& e : desktop.mouseEvents) EXPECT_NE(e.flags, testing::kRightClick);
    EXPECT_EQ(mouse.CurrentHold(), MousePointer::Hold::Disarmed);
}

TEST_F(MouseTable, ATraceTellsAContactInOneLinePerTransition)
{
    LineTrace trace;
    mouse.SetTrace(&trace);
    mouse.Handle(PointerEvent::Contact, {100, 100}, now, calibration);
    mouse.Handle(PointerEvent::Contact, {100, 100}, now, calibration);
    mouse.Handle(PointerEvent::Contact, {120, 100}, now, calibration);
    mouse.Tick(now + kSilenceMs + 1, calibration);
    EXPECT_EQ(trace.lines, (std::vector<std::string>{
                               "mouse Up --contact--> Armed",
                               "mouse Armed --contact--> Pressed",
                               "mouse Pressed --contact--> Pressed",
                               "mouse Pressed --silence--> Up",
                           }));
}

// A fresh socket pointer on the half-split routing and what it sends.
struct SocketRig {
    SocketRig()
    {
        slot.Publish(channel);
        state_.socketRouting = SocketRouting::HalfSplit;
    }
    void Reach(const std::string& state)
    {
        if (state != "Up") socket.Handle(PointerEvent::Contact, {700, 100}, true, now, calibration);
        if (state == "Down") socket.Handle(PointerEvent::Contact, {700, 100}, true, now, calibration);
        ASSERT_STREQ(Name(socket.CurrentState()), state.c_str());
        channel->writes.clear();
    }
    std::vector<std::uint8_t> Events() const
    {
        std::vector<std::uint8_t> events;
        for (const auto& packet : channel->writes) events.push_back(packet[2]);
        return events;
    }

    FakeDesktop desktop;
    DriverState state_;
    FakeBoardKeys keys;
    FakeCalibration calibration;
    std::shared_ptr<RecordingChannel> channel = std::make_shared<RecordingChannel>();
    ChannelSlot slot;
    SocketPointer socket{desktop, state_, keys, slot};
    std::uint32_t now = 1000;
};

class SocketTable : public ::testing::Test, protected SocketRig {};

TEST(SocketPointerTable, EveryEventInEveryState)
{
    using E = PointerEvent;
    const std::uint8_t contact = testing::kContactPacket;
    const std::uint8_t release = testing::kReleasePacket;
    struct SocketRow {
        const char* from;
        E event;
        const char* to;
        std::vector<std::uint8_t> sent;
        bool madeUp;
    };
    const std::vector<SocketRow> rows = {
        {"Up", E::Contact, "Armed", {}, false},
        {"Up", E::Release, "Up", {release}, false},
        {"Up", E::Silence, "Up", {}, false},
        {"Up", E::Cancel, "Up", {}, false},
        {"Armed", E::Contact, "Down", {contact}, false},
        {"Armed", E::Release, "Up", {release}, false},
        {"Armed", E::Silence, "Up", {}, false},
        {"Armed", E::Cancel, "Up", {}, false},
        {"Down", E::Contact, "Down", {contact}, false},
        {"Down", E::Release, "Up", {release}, false},
        {"Down", E::Silence, "Up", {release}, true},
        {"Down", E::Cancel, "Up", {release}, true},
    };
    for (const SocketRow& row : rows) {
        SocketRig t;
        t.Reach(row.from);
        // Plain releases here: no pair is complete yet.
        const SocketPointer::Step step = t.socket.Handle(row.event, {700, 100}, true, t.now, t.calibration);
        const std::string what = std::string(row.from) + " --" + Name(row.event) + "-->";
        EXPECT_STREQ(Name(step.to), row.to) << what;
        EXPECT_EQ(t.Events(), row.sent) << what;
        EXPECT_EQ(step.madeUpRelease, row.madeUp) << what;
    }
}

TEST_F(SocketTable, SamplesWithoutASocketRoutingChangeNothingButTheDriverStillEndsAContact)
{
    Reach("Down");
    state_.socketRouting = SocketRouting::Off;
    socket.Handle(PointerEvent::Contact, {710, 100}, true, now, calibration);
    socket.Handle(PointerEvent::Release, {}, true, now, calibration);
    EXPECT_TRUE(Events().empty());
    EXPECT_STREQ(Name(socket.CurrentState()), "Down");
    EXPECT_TRUE(socket.Handle(PointerEvent::Cancel, {}, true, now, calibration).madeUpRelease);
    EXPECT_EQ(Events(), std::vector<std::uint8_t>{testing::kReleasePacket});
}

TEST_F(SocketTable, TapPairingMovesOnlyWithRealReleases)
{
    EXPECT_EQ(socket.CurrentTap(), SocketPointer::Tap::NoTap);
    Reach("Down");
    socket.Handle(PointerEvent::Release, {}, true, now, calibration);
    EXPECT_EQ(socket.CurrentTap(), SocketPointer::Tap::FirstTapDone);
    Reach("Down");
    socket.Handle(PointerEvent::Cancel, {}, true, now, calibration);
    EXPECT_EQ(socket.CurrentTap(), SocketPointer::Tap::FirstTapDone) << "a made-up release counted";
    Reach("Down");
    socket.Handle(PointerEvent::Release, {}, true, now, calibration);
    EXPECT_EQ(socket.CurrentTap(), SocketPointer::Tap::NoTap);
    EXPECT_EQ(Events().back(), testing::kDoubleTapPacket);
    // Without double taps (the pair-split routing) releases never pair.
    Reach("Down");
    socket.Handle(PointerEvent::Release, {}, false, now, calibration);
    EXPECT_EQ(socket.CurrentTap(), SocketPointer::Tap::NoTap);
}

} // namespace
} // namespace driver
