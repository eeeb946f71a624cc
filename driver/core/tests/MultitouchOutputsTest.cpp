// The outputs over the tracker: which snapshots make a bundle or a frame,
// what the bundles say about the contacts, and how failures are borne.
#include "DriverFakes.h"
#include "OscDecoder.h"

#include "driver/ContactTracker.h"
#include "driver/MultitouchOutputs.h"

#include <gtest/gtest.h>

#include <vector>

namespace driver {
namespace {

using osc_testing::Bundle;
using osc_testing::DecodeBundle;
using testing::FakeCalibration;
using testing::RecordBuilder;
using testing::RecordingChannel;
using testing::RecordingFaultLog;

class FailingChannel final : public ByteChannel {
public:
    bool fail = true;
    bool Write(const std::uint8_t*, std::size_t) override { return !fail; }
};

class FakeInjection final : public TouchInjection {
public:
    std::vector<TouchFrame> frames;
    bool refuse = false;
    bool Inject(const TouchFrame& frame) override
    {
        frames.push_back(frame);
        return !refuse;
    }
};

std::vector<std::int32_t> Alive(const Bundle& bundle)
{
    std::vector<std::int32_t> ids;
    const auto& alive = bundle.messages.at(1);
    for (std::size_t n = 1; n < alive.arguments.size(); ++n) ids.push_back(alive.Int(n));
    return ids;
}

class TuioOutputTest : public ::testing::Test {
protected:
    TuioOutputTest() { calibration.screen = {1000, 500}; }

    bool Record(const RecordBuilder& record, std::uint32_t elapsedMs = 10)
    {
        return tuio.Publish(tracker.Update(record.Decoded(), elapsedMs, calibration));
    }
    Bundle Last() const
    {
        auto bundle = DecodeBundle(channel.writes.back());
        EXPECT_TRUE(bundle);
        return bundle.value_or(Bundle{});
    }

    FakeCalibration calibration;
    ContactTracker tracker;
    RecordingChannel channel;
    RecordingFaultLog faults;
    TuioOutput tuio{channel, "Brelvin@127.0.0.1", "127.0.0.1:3333", faults};
};

TEST_F(TuioOutputTest, EveryRecordWithASampleMakesOneBundleAndEmptyOnesNone)
{
    EXPECT_FALSE(Record(RecordBuilder()));
    EXPECT_TRUE(channel.writes.empty());
    EXPECT_TRUE(Record(RecordBuilder().Contact(0, 100, 100))); // armed only: still a bundle, nobody alive
    EXPECT_TRUE(Alive(Last()).empty());
    EXPECT_TRUE(Record(RecordBuilder().Contact(0, 250, 100)));
    EXPECT_FALSE(Record(RecordBuilder()));
    EXPECT_TRUE(Record(RecordBuilder().Release(0)));
    EXPECT_TRUE(Alive(Last()).empty());
    EXPECT_EQ(channel.writes.size(), 3u);
    EXPECT_EQ(tuio.BundlesSent(), 3u);
}

TEST_F(TuioOutputTest, BundlesCarryTheContactsAndCountTheirFrames)
{
    Record(RecordBuilder().Contact(0, 100, 100).Contact(3, 500, 250));
    Record(RecordBuilder().Contact(0, 100, 100).Contact(3, 500, 250));
    Record(RecordBuilder().Contact(0, 200, 100).Contact(3, 500, 250));
    const Bundle bundle = Last();
    ASSERT_EQ(bundle.messages.size(), 5u);
    EXPECT_EQ(bundle.messages[0].String(1), "Brelvin@127.0.0.1");
    EXPECT_EQ(Alive(bundle), (std::vector<std::int32_t>{1, 2}));
    const auto& first = bundle.messages[2];
    EXPECT_EQ(first.Int(1), 1);
    EXPECT_FLOAT_EQ(first.Float(2), 0.2f);
    EXPECT_FLOAT_EQ(first.Float(3), 0.2f);
    EXPECT_FLOAT_EQ(first.Float(4), 10.0f); // 0.1 of the width in 10 ms
    EXPECT_FLOAT_EQ(first.Float(5), 0.0f);
    EXPECT_FLOAT_EQ(first.Float(6), 1000.0f);
    const auto& second = bundle.messages[3];
    EXPECT_EQ(second.Int(1), 2);
    EXPECT_FLOAT_EQ(second.Float(2), 0.5f);
    EXPECT_FLOAT_EQ(second.Float(3), 0.5f);
    EXPECT_EQ(bundle.messages[4].Int(1), 3);
    EXPECT_EQ(tuio.LastFrame(), 3);
}

// Forwarding to the calibration program starts: the contacts end with an
// alive that no longer lists them, and nothing follows.
TEST_F(TuioOutputTest, EndingAllSendsABundleWithoutTheContacts)
{
    Record(RecordBuilder().Contact(1, 100, 100));
    Record(RecordBuilder().Contact(1, 100, 100));
    ASSERT_EQ(Alive(Last()).size(), 1u);
    EXPECT_TRUE(tuio.Publish(tracker.EndAll()));
    const Bundle bundle = Last();
    EXPECT_TRUE(Alive(bundle).empty());
    EXPECT_EQ(bundle.messages.size(), 3u);
    EXPECT_FALSE(tuio.Publish(tracker.EndAll()));
}

TEST_F(TuioOutputTest, ASilentContactLeavesTheAliveList)
{
    Record(RecordBuilder().Contact(1, 100, 100));
    Record(RecordBuilder().Contact(1, 100, 100));
    const std::size_t before = channel.writes.size();
    for (int n = 0; n < 250; ++n) Record(RecordBuilder(), 2);
    EXPECT_EQ(channel.writes.size(), before);
    EXPECT_TRUE(Record(RecordBuilder(), 2));
    EXPECT_TRUE(Alive(Last()).empty());
}

TEST(TuioOutputFailureTest, AListenerThatIsGoneCostsBundlesAndAFewLinesOnly)
{
    FakeCalibration calibration;
    ContactTracker tracker;
    FailingChannel channel;
    RecordingFaultLog faults;
    TuioOutput tuio(channel, "B@1", "10.1.2.3:3333", faults);
    const ContactSnapshot& snapshot = tracker.Update(RecordBuilder().Contact(0, 1, 1).Decoded(), 2, calibration);
    for (int n = 0; n < 100; ++n) EXPECT_FALSE(tuio.Publish(snapshot));
    ASSERT_EQ(faults.lines.size(), 1u);
    EXPECT_NE(faults.lines[0].find("10.1.2.3:3333"), std::string::npos);
    EXPECT_EQ(tuio.BundlesLost(), 100u);

    // Each return after a recovery may note once more, up to the cap.
    for (int round = 0; round < 3 * static_cast<int>(TuioOutput::kMaxFaultLines); ++round) {
        channel.fail = false;
        EXPECT_TRUE(tuio.Publish(snapshot));
        channel.fail = true;
        tuio.Publish(snapshot);
    }
    EXPECT_EQ(faults.lines.size(), TuioOutput::kMaxFaultLines);
    EXPECT_EQ(faults.Count("further failures are not noted"), 1u);
    EXPECT_EQ(tuio.LastFrame(), static_cast<std::int32_t>(100 + 6 * TuioOutput::kMaxFaultLines));
}

class TouchOutputTest : public ::testing::Test {
protected:
    TouchOutputTest() { calibration.screen = {1024, 768}; }

    bool Record(const RecordBuilder& record, std::uint32_t elapsedMs = 10)
    {
        return touch.Publish(tracker.Update(record.Decoded(), elapsedMs, calibration), calibration.screen, elapsedMs);
    }

    FakeCalibration calibration;
    ContactTracker tracker;
    FakeInjection injection;
    RecordingFaultLog faults;
    TouchOutput touch{injection, faults};
};

TEST_F(TouchOutputTest, OnlyFramesWithContactsAreInjected)
{
    EXPECT_FALSE(Record(RecordBuilder().Contact(0, 100, 100)));
    EXPECT_TRUE(Record(RecordBuilder().Contact(0, 100, 100)));
    EXPECT_FALSE(Record(RecordBuilder(), 2));
    EXPECT_TRUE(Record(RecordBuilder().Release(0)));
    EXPECT_FALSE(Record(RecordBuilder().Release(0)));
    ASSERT_EQ(injection.frames.size(), 2u);
    EXPECT_EQ(injection.frames[0].contacts[0].flags, kTouchDownFlags);
    EXPECT_EQ(injection.frames[1].contacts[0].flags, static_cast<std::uint32_t>(kTouchUpFlags));
    EXPECT_EQ(touch.FramesInjected(), 2u);
}

TEST_F(TouchOutputTest, ARefusedFrameStartsTheContactsAgainWithADown)
{
    Record(RecordBuilder().Contact(0, 100, 100));
    Record(RecordBuilder().Contact(0, 100, 100));
    injection.refuse = true;
    EXPECT_FALSE(Record(RecordBuilder().Contact(0, 110, 100)));
    EXPECT_FALSE(Record(RecordBuilder().Contact(0, 120, 100)));
    EXPECT_EQ(faults.lines.size(), 1u);
    injection.refuse = false;
    EXPECT_TRUE(Record(RecordBuilder().Contact(0, 130, 100)));
    EXPECT_EQ(injection.frames.back().contacts[0].flags, kTouchDownFlags);
    EXPECT_EQ(injection.frames.back().contacts[0].x, 130);
    EXPECT_EQ(touch.FramesRefused(), 2u);
}

} // namespace
} // namespace driver
