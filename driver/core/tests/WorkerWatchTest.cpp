// What the worker shows the board check: nothing unless asked, the records
// and contacts of the last seconds while asked, and the next seconds of
// records for a recording.
#include "DriverFakes.h"
#include "WorkerFakes.h"

#include "driver/TouchWorker.h"
#include "driver/WorkerWatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace driver {
namespace {

using testing::FakeCalibration;
using testing::RecordBuilder;

class WorkerWatchTest : public ::testing::Test {
protected:
    void Cycle(const RecordBuilder& record, RecordRoute route = RecordRoute::Mouse)
    {
        watch.OnCycle(record.Bytes(), calibration, now, route);
        now += 2;
    }

    WorkerWatch watch;
    FakeCalibration calibration;
    std::uint32_t now = 50000;
};

TEST_F(WorkerWatchTest, KeepsNothingUnaskedAndStopsWhenNobodyAsksAgain)
{
    Cycle(RecordBuilder().Contact(0, 100, 200));
    std::uint32_t tick = 0;
    EXPECT_EQ(watch.RecordsSeen(), 0u);
    EXPECT_FALSE(watch.LastContact(tick));
    EXPECT_TRUE(watch.ContactsSince(0).empty());

    watch.Arm(now);
    Cycle(RecordBuilder().Contact(0, 100, 200));
    Cycle(RecordBuilder()); // nothing new: not a record
    EXPECT_EQ(watch.RecordsSeen(), 1u);
    // Asked again before the end: the watch goes on past the first end.
    now += WorkerWatch::kWatchMs - 100;
    watch.Arm(now);
    now += 200;
    Cycle(RecordBuilder().Contact(0, 110, 200));
    EXPECT_EQ(watch.RecordsSeen(), 2u);
    now += WorkerWatch::kWatchMs;
    Cycle(RecordBuilder().Contact(0, 120, 200));
    Cycle(RecordBuilder().Contact(0, 130, 200));
    EXPECT_EQ(watch.RecordsSeen(), 2u);
    EXPECT_EQ(watch.ContactsSince(0).size(), 2u);
}

TEST_F(WorkerWatchTest, KeepsContactsAsTheDriverTurnsThemButNotPenButtons)
{
    calibration.upright = 0;
    watch.Arm(now);
    Cycle(RecordBuilder().Event(8));
    Cycle(RecordBuilder().Event(4).Contact(2, 1000, 400));
    Cycle(RecordBuilder().Slot(0, 2, 3000, 2000));
    EXPECT_EQ(watch.RecordsSeen(), 3u);
    const std::vector<WatchedContact> contacts = watch.ContactsSince(0);
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].slot, 2);
    EXPECT_FALSE(contacts[0].released);
    EXPECT_EQ(contacts[0].camera.x, 2200);
    EXPECT_EQ(contacts[0].camera.y, 2000);
    EXPECT_TRUE(contacts[1].released);
    EXPECT_EQ(contacts[1].camera.x, 200);
    std::uint32_t tick = 0;
    ASSERT_TRUE(watch.LastContact(tick)); // a release is no contact
    EXPECT_EQ(tick, contacts[0].tick);
}

TEST_F(WorkerWatchTest, TheRingKeepsTheNewestAndReadsFromAMoment)
{
    watch.Arm(now);
    const int total = static_cast<int>(WorkerWatch::kRingSize) + 10;
    for (int n = 0; n < total; ++n) Cycle(RecordBuilder().Contact(0, static_cast<unsigned>(n), 7));
    std::vector<WatchedContact> contacts = watch.ContactsSince(0);
    ASSERT_EQ(contacts.size(), WorkerWatch::kRingSize);
    EXPECT_EQ(contacts.front().camera.x, 10);
    EXPECT_EQ(contacts.back().camera.x, total - 1);
    contacts = watch.ContactsSince(now - 6); // the last three cycles
    ASSERT_EQ(contacts.size(), 3u);
    EXPECT_EQ(contacts.front().camera.x, total - 3);
}

TEST_F(WorkerWatchTest, ACaptureKeepsTheNextSecondsThenIsTakenOnce)
{
    ASSERT_TRUE(watch.ArmCapture(now, 100, 1000));
    EXPECT_FALSE(watch.ArmCapture(now, 100, 1000)); // one at a time
    EXPECT_EQ(watch.Capture().CurrentState(), RecordCapture::State::Armed);
    const std::uint32_t first = now;
    Cycle(RecordBuilder().Contact(0, 1, 2), RecordRoute::PairSplit);
    Cycle(RecordBuilder());
    Cycle(RecordBuilder().Slot(0, 2, 1, 2));
    EXPECT_TRUE(watch.Capture().Take().empty()); // not complete yet
    // The watch itself would have ended; the capture keeps it going.
    now += WorkerWatch::kWatchMs;
    Cycle(RecordBuilder().Contact(0, 5, 6));
    ASSERT_EQ(watch.Capture().CurrentState(), RecordCapture::State::Complete);
    const std::vector<CapturedRecord> records = watch.Capture().Take();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].tick, first);
    EXPECT_EQ(records[0].route, RecordRoute::PairSplit);
    EXPECT_EQ(records[1].bytes[0], 2);
    EXPECT_EQ(watch.Capture().CurrentState(), RecordCapture::State::Idle);

    // A full capture ends before its time.
    ASSERT_TRUE(watch.ArmCapture(now, 100000, 2));
    Cycle(RecordBuilder().Contact(0, 1, 2));
    Cycle(RecordBuilder().Contact(0, 1, 3));
    EXPECT_EQ(watch.Capture().Take().size(), 2u);
}

TEST(WorkerWatchWiring, TheWorkerFeedsTheWatchWithTheRouteInForce)
{
    testing::WorkerFakes fakes;
    WorkerWatch watch;
    TouchWorkerDeps deps = fakes.Deps();
    deps.watch = &watch;
    TouchWorker worker(deps);
    worker.Begin();
    fakes.state.socketRouting = SocketRouting::HalfSplit;
    ASSERT_TRUE(watch.ArmCapture(fakes.desktop.now, 1000, 10));
    worker.Cycle(RecordBuilder().Contact(0, 300, 400).Bytes(), fakes.calibration);
    fakes.desktop.now += 2000;
    worker.Cycle(RecordBuilder().Bytes(), fakes.calibration);
    EXPECT_EQ(watch.RecordsSeen(), 1u);
    ASSERT_EQ(watch.ContactsSince(0).size(), 1u);
    const std::vector<CapturedRecord> records = watch.Capture().Take();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].route, RecordRoute::HalfSplit);
}

// The worker writes while the window thread reads: every contact read is
// one the worker wrote whole (its x and slot follow from its tick).
TEST(WorkerWatchConcurrency, AReaderNeverTakesHalfOfOneContactForAnother)
{
    WorkerWatch watch;
    FakeCalibration calibration;
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        for (std::uint32_t tick = 1; !stop; ++tick) {
            if (tick % 1000 == 1) watch.Arm(tick);
            const RecordBuilder record = RecordBuilder().Contact(static_cast<int>(tick % 4), tick % 3000, 5);
            watch.OnCycle(record.Bytes(), calibration, tick, RecordRoute::Mouse);
        }
    });
    // Reads while the worker overwrites the ring many times over; a busy
    // machine may start the worker late.
    long checked = 0;
    for (long round = 0; checked < 200000 && round < 10000000; ++round) {
        for (const WatchedContact& contact : watch.ContactsSince(0)) {
            ASSERT_EQ(contact.camera.x, contact.tick % 3000);
            ASSERT_EQ(contact.slot, static_cast<int>(contact.tick % 4));
            ++checked;
        }
        std::this_thread::yield();
    }
    stop = true;
    worker.join();
    EXPECT_GE(checked, 200000);
}

} // namespace
} // namespace driver
