// The per-slot contact machines: named sequences of samples, silences, ends
// and key hits, and a long random stream checked for the promises the
// outputs rely on.
#include "DriverFakes.h"

#include "driver/ContactTracker.h"
#include "driver/GestureMachines.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace driver {
namespace {

using testing::FakeCalibration;
using testing::RecordBuilder;
using SlotState = ContactTracker::SlotState;

class ContactTrackerTest : public ::testing::Test {
protected:
    ContactTrackerTest() { calibration.screen = {1000, 500}; }

    const ContactSnapshot& Record(const RecordBuilder& record, std::uint32_t elapsedMs = 10,
                                  ContactTracker::SlotMask takenByKey = 0)
    {
        return tracker.Update(record.Decoded(), elapsedMs, calibration, takenByKey);
    }
    const ContactSnapshot& Contact(int slot, unsigned x, unsigned y, std::uint32_t elapsedMs = 10)
    {
        return Record(RecordBuilder().Contact(slot, x, y), elapsedMs);
    }
    const ContactSnapshot& Release(int slot) { return Record(RecordBuilder().Release(slot)); }
    const ContactSnapshot& Empty(std::uint32_t elapsedMs) { return Record(RecordBuilder(), elapsedMs); }

    FakeCalibration calibration;
    ContactTracker tracker;
};

TEST_F(ContactTrackerTest, TheSecondSampleStartsTheContactAtItsOwnPoint)
{
    const ContactSnapshot& first = Contact(0, 100, 100);
    EXPECT_TRUE(first.sampled);
    EXPECT_EQ(first.liveCount, 0u);
    EXPECT_EQ(tracker.StateOf(0), SlotState::Armed);

    const ContactSnapshot& second = Contact(0, 250, 125);
    ASSERT_EQ(second.liveCount, 1u);
    const TrackedContact& contact = second.live[0];
    EXPECT_EQ(contact.slot, 0);
    EXPECT_EQ(contact.session, 1u);
    EXPECT_TRUE(contact.started);
    EXPECT_DOUBLE_EQ(contact.screen.x, 250);
    EXPECT_DOUBLE_EQ(contact.screen.y, 125);
    EXPECT_DOUBLE_EQ(contact.x, 0.25);
    EXPECT_DOUBLE_EQ(contact.y, 0.25);
    EXPECT_EQ(contact.velocityX, 0);
    EXPECT_EQ(contact.acceleration, 0);
    EXPECT_EQ(tracker.StateOf(0), SlotState::Live);

    EXPECT_FALSE(Contact(0, 250, 125).live[0].started);
}

TEST_F(ContactTrackerTest, ASingleSampleTouchIsNoContact)
{
    Contact(1, 100, 100);
    const ContactSnapshot& release = Release(1);
    EXPECT_TRUE(release.Newsworthy());
    EXPECT_EQ(release.liveCount, 0u);
    EXPECT_EQ(release.endedCount, 0u);
    EXPECT_EQ(tracker.StateOf(1), SlotState::Idle);
}

// Positions in screen widths and heights, time in the records' milliseconds.
TEST_F(ContactTrackerTest, VelocityAndAccelerationFollowTheSamplesAndTheirTime)
{
    Contact(0, 100, 100);
    Contact(0, 100, 100);                                           // x 0.1, y 0.2
    Empty(10);                                                      // no sample: its time still counts
    const TrackedContact moving = Contact(0, 200, 100, 10).live[0]; // 0.1 across in 20 ms
    EXPECT_DOUBLE_EQ(moving.velocityX, 5.0);
    EXPECT_DOUBLE_EQ(moving.velocityY, 0.0);
    EXPECT_DOUBLE_EQ(moving.acceleration, 5.0 / 0.02);

    const TrackedContact down = Contact(0, 200, 150, 10).live[0]; // 0.1 down in 10 ms
    EXPECT_DOUBLE_EQ(down.velocityX, 0.0);
    EXPECT_DOUBLE_EQ(down.velocityY, 10.0);
    EXPECT_DOUBLE_EQ(down.acceleration, (10.0 - 5.0) / 0.01);

    const TrackedContact still = Contact(0, 200, 150, 10).live[0];
    EXPECT_DOUBLE_EQ(still.velocityY, 0.0);
    EXPECT_DOUBLE_EQ(still.acceleration, -10.0 / 0.01);

    // No time between two samples: the position moves, the motion stays.
    const TrackedContact sameTime = Contact(0, 300, 150, 0).live[0];
    EXPECT_DOUBLE_EQ(sameTime.x, 0.3);
    EXPECT_DOUBLE_EQ(sameTime.velocityX, 0.0);
    EXPECT_DOUBLE_EQ(sameTime.acceleration, -10.0 / 0.01);
}

TEST_F(ContactTrackerTest, AReleaseEndsTheContactAndTheNextOneGetsANewSession)
{
    Contact(2, 100, 100);
    Contact(2, 120, 130);
    const ContactSnapshot& release = Release(2);
    EXPECT_EQ(release.liveCount, 0u);
    ASSERT_EQ(release.endedCount, 1u);
    EXPECT_EQ(release.ended[0].why, ContactEnd::Released);
    EXPECT_EQ(release.ended[0].last.session, 1u);
    EXPECT_DOUBLE_EQ(release.ended[0].last.screen.x, 120);

    Contact(2, 100, 100);
    EXPECT_EQ(Contact(2, 100, 100).live[0].session, 2u);
}

TEST_F(ContactTrackerTest, FourSlotsAreFourContactsInSlotOrder)
{
    RecordBuilder all;
    for (int s = 0; s < kPointSlots; ++s) all.Contact(s, 100u * (s + 1), 50u * (s + 1));
    Record(all);
    const ContactSnapshot& snapshot = Record(all);
    ASSERT_EQ(snapshot.liveCount, 4u);
    std::set<std::uint32_t> sessions;
    for (std::size_t n = 0; n < 4; ++n) {
        EXPECT_EQ(snapshot.live[n].slot, static_cast<int>(n));
        EXPECT_DOUBLE_EQ(snapshot.live[n].screen.x, 100.0 * (n + 1));
        sessions.insert(snapshot.live[n].session);
    }
    EXPECT_EQ(sessions.size(), 4u);

    // A record that samples only one of them still lists all four.
    EXPECT_EQ(Contact(3, 10, 10).liveCount, 4u);
}

TEST_F(ContactTrackerTest, SilenceLongerThanTheBoundEndsALiveContact)
{
    Contact(0, 100, 100);
    Contact(0, 100, 100);
    const ContactSnapshot& atBound = Empty(kSilenceMs);
    EXPECT_EQ(atBound.liveCount, 1u);
    EXPECT_FALSE(atBound.Newsworthy());

    const ContactSnapshot& past = Empty(1);
    EXPECT_EQ(past.liveCount, 0u);
    ASSERT_EQ(past.endedCount, 1u);
    EXPECT_EQ(past.ended[0].why, ContactEnd::Silent);
    EXPECT_TRUE(past.Newsworthy());
    EXPECT_EQ(tracker.StateOf(0), SlotState::Idle);
}

TEST_F(ContactTrackerTest, AnArmedSlotForgetsItsFirstSampleAfterSilence)
{
    Contact(1, 100, 100);
    Empty(kSilenceMs + 1);
    EXPECT_EQ(tracker.StateOf(1), SlotState::Idle);
    EXPECT_EQ(Contact(1, 100, 100).liveCount, 0u);
}

// Pen-button records never reach the tracker: the caller holds the clock,
// so only the time of records handed to it counts.
TEST_F(ContactTrackerTest, OnlyTheTimeOfRecordsHandedToItCounts)
{
    Contact(0, 100, 100);
    Contact(0, 100, 100);
    for (int n = 0; n < 1000; ++n) Empty(0);
    Empty(400);
    EXPECT_EQ(Contact(0, 101, 100, 100).liveCount, 1u);
    EXPECT_EQ(Empty(kSilenceMs).liveCount, 1u);
}

TEST_F(ContactTrackerTest, EndAllEndsLiveContactsAndAContactStillThereStartsAnew)
{
    Contact(0, 100, 100);
    Record(RecordBuilder().Contact(0, 100, 100).Contact(1, 300, 300), 10, 1u << 2);
    ASSERT_EQ(tracker.StateOf(2), SlotState::Taken);
    const ContactSnapshot& ended = tracker.EndAll();
    EXPECT_FALSE(ended.sampled);
    EXPECT_EQ(ended.liveCount, 0u);
    ASSERT_EQ(ended.endedCount, 1u);
    EXPECT_EQ(ended.ended[0].why, ContactEnd::EndedAll);
    EXPECT_EQ(ended.ended[0].last.slot, 0);
    for (int s = 0; s < kPointSlots; ++s) EXPECT_EQ(tracker.StateOf(s), SlotState::Idle) << s;

    EXPECT_EQ(Contact(0, 100, 100).liveCount, 0u);
    const ContactSnapshot& again = Contact(0, 100, 100);
    ASSERT_EQ(again.liveCount, 1u);
    EXPECT_EQ(again.live[0].session, 2u);
}

// The key test runs on the press, which is the sample that would start the
// contact: that sample starts nothing, and neither do the ones after it.
TEST_F(ContactTrackerTest, APressAKeyTookIsNoContactUntilItsRelease)
{
    Contact(0, 100, 100);
    const ContactSnapshot& pressed = Record(RecordBuilder().Contact(0, 100, 100), 10, 1u << 0);
    EXPECT_TRUE(pressed.sampled);
    EXPECT_EQ(pressed.liveCount, 0u);
    EXPECT_EQ(pressed.endedCount, 0u);
    EXPECT_EQ(tracker.StateOf(0), SlotState::Taken);
    EXPECT_EQ(Contact(0, 400, 100).liveCount, 0u);
    EXPECT_EQ(Empty(kSilenceMs).liveCount, 0u);
    EXPECT_EQ(Release(0).endedCount, 0u);
    EXPECT_EQ(tracker.StateOf(0), SlotState::Idle);

    Contact(0, 100, 100);
    EXPECT_EQ(Contact(0, 100, 100).live[0].session, 1u) << "the taken press used no session id";
}

TEST_F(ContactTrackerTest, AKeyTakingAContactAlreadyOutEndsIt)
{
    Record(RecordBuilder().Contact(0, 100, 100).Contact(1, 500, 100));
    Record(RecordBuilder().Contact(0, 100, 100).Contact(1, 500, 100));
    const ContactSnapshot& taken = Record(RecordBuilder().Contact(0, 120, 100).Contact(1, 510, 100), 10, 1u << 0);
    ASSERT_EQ(taken.endedCount, 1u);
    EXPECT_EQ(taken.ended[0].why, ContactEnd::TakenByKey);
    EXPECT_EQ(taken.ended[0].last.slot, 0);
    EXPECT_DOUBLE_EQ(taken.ended[0].last.screen.x, 100) << "the taken sample does not move it";
    ASSERT_EQ(taken.liveCount, 1u);
    EXPECT_EQ(taken.live[0].slot, 1);
    EXPECT_EQ(Release(0).endedCount, 0u);
}

TEST_F(ContactTrackerTest, ContactsOffTheBoardStayOnTheScreensEdge)
{
    calibration.boardEndX = 2000;
    Contact(0, 100, 100);
    const TrackedContact beyond = Contact(0, 1500, 900).live[0]; // maps off the screen
    EXPECT_DOUBLE_EQ(beyond.screen.x, 1000);
    EXPECT_DOUBLE_EQ(beyond.screen.y, 500);
    EXPECT_DOUBLE_EQ(beyond.x, 1.0);
    EXPECT_DOUBLE_EQ(beyond.y, 1.0);
    const TrackedContact noCell = Contact(0, 2500, 300).live[0]; // in no cell: camera units, clamped
    EXPECT_DOUBLE_EQ(noCell.screen.x, 1000);
    EXPECT_DOUBLE_EQ(noCell.screen.y, 300);
}

TEST_F(ContactTrackerTest, RecordEventCodesInSlotZeroAreNoSamples)
{
    const ContactSnapshot& kind = Record(RecordBuilder().Event(3));
    EXPECT_FALSE(kind.sampled);
    EXPECT_EQ(tracker.StateOf(0), SlotState::Idle);
    EXPECT_TRUE(Record(RecordBuilder().Event(4).Contact(1, 10, 10)).sampled);
    EXPECT_EQ(tracker.StateOf(1), SlotState::Armed);
}

// A long random stream of samples, silences, ends and key hits. Whatever
// comes, every session starts once, stays in one slot, is listed in every
// snapshot from its start to its end, ends exactly once, and never lies off
// the screen; no slot holds two contacts.
TEST_F(ContactTrackerTest, RandomStreamsKeepEveryContactAccountedFor)
{
    std::mt19937 random(1234);
    std::map<std::uint32_t, int> liveSessions; // session -> slot
    std::set<std::uint32_t> endedSessions;
    std::uint32_t lastStarted = 0;
    for (int step = 0; step < 20000; ++step) {
        const unsigned choice = random() % 100;
        const ContactSnapshot* snapshot;
        if (choice < 2) {
            snapshot = &tracker.EndAll();
        } else {
            RecordBuilder record;
            for (int s = 0; s < kPointSlots; ++s) {
                const unsigned what = random() % 10;
                if (what < 5) record.Contact(s, random() % 3400, random() % 2600);
                if (what == 5) record.Release(s);
            }
            const auto keys = static_cast<ContactTracker::SlotMask>(choice < 6 ? 1u << (random() % kPointSlots) : 0);
            snapshot = &Record(record, random() % 4 == 0 ? 0 : random() % 300, keys);
        }

        std::set<int> slots;
        for (std::size_t n = 0; n < snapshot->endedCount; ++n) {
            const TrackedContact& last = snapshot->ended[n].last;
            ASSERT_EQ(liveSessions.count(last.session), 1u) << "ended a session never listed: " << last.session;
            ASSERT_EQ(liveSessions[last.session], last.slot);
            liveSessions.erase(last.session);
            ASSERT_TRUE(endedSessions.insert(last.session).second);
            ASSERT_TRUE(slots.insert(last.slot).second);
        }
        std::set<std::uint32_t> listed;
        for (std::size_t n = 0; n < snapshot->liveCount; ++n) {
            const TrackedContact& contact = snapshot->live[n];
            ASSERT_TRUE(slots.insert(contact.slot).second) << "two contacts in slot " << contact.slot;
            ASSERT_EQ(endedSessions.count(contact.session), 0u);
            if (contact.started) {
                ASSERT_GT(contact.session, lastStarted);
                lastStarted = contact.session;
                liveSessions[contact.session] = contact.slot;
            }
            ASSERT_EQ(liveSessions.count(contact.session), 1u);
            ASSERT_EQ(liveSessions[contact.session], contact.slot);
            ASSERT_GE(contact.screen.x, 0);
            ASSERT_LE(contact.screen.x, 1000);
            ASSERT_GE(contact.screen.y, 0);
            ASSERT_LE(contact.screen.y, 500);
            ASSERT_TRUE(contact.x >= 0 && contact.x <= 1 && contact.y >= 0 && contact.y <= 1);
            listed.insert(contact.session);
        }
        for (const auto& [session, slot] : liveSessions) {
            ASSERT_EQ(listed.count(session), 1u) << "session " << session << " vanished without an end";
        }
    }
    tracker.EndAll();
    for (int s = 0; s < kPointSlots; ++s) EXPECT_EQ(tracker.StateOf(s), SlotState::Idle);
}

} // namespace
} // namespace driver
