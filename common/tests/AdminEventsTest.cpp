// The events an administrator acts on: their IDs, types and inserts, the
// rate limit that keeps a storm of one fact from flooding the log, and the
// start event's line of the options in force.
#include "common/AdminEventQueue.h"
#include "common/AdminEvents.h"
#include "common/OptionsInForce.h"
#include "common/TextProfile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace common {

void PrintTo(const AdminEvent& event, std::ostream* out)
{
    *out << static_cast<unsigned>(event.id) << "/" << static_cast<int>(event.level) << ::testing::PrintToString(event.inserts);
}

bool operator==(const AdminEvent& a, const AdminEvent& b)
{
    return a.id == b.id && a.level == b.level && a.inserts == b.inserts;
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint32_t kMinute = 60 * 1000;

std::vector<unsigned> Ids(const std::vector<AdminEvent>& events)
{
    std::vector<unsigned> ids;
    for (const AdminEvent& event : events) ids.push_back(static_cast<unsigned>(event.id));
    return ids;
}

TEST(AdminEvents, EveryFactHasItsDocumentedIdTypeAndInserts)
{
    CalibrationCheckRecord good{"good", "2.1", "2026-12-09 10:15:00"};
    CalibrationCheckRecord recalibrate{"recalibrate", "14.0", "2026-12-09 10:20:00"};
    const std::vector<AdminEvent> events = {
        DriverStartedEvent("1.0.0", "C:\\WBInit.ini", "[Display] MONITOR=primary"),
        CalibrationUnusableEvent("the grid size (wdot, hdot) lies outside 2..10"),
        CameraArrivedEvent("\\\\?\\USB#VID_1"),
        CameraLeftEvent("\\\\?\\USB#VID_1"),
        MouseHookNotInstalledEvent(),
        PolicyAppliedEvent({"[Multitouch] TUIO=1, TUIO_PORT=3334", "[Display] MONITOR=secondary"}),
        NoPolicyEvent(),
        CalibrationSavedEvent("C:\\WBInit.ini"),
        CalibrationCheckedEvent(good),
        EventsNotWrittenEvent(EventId::CameraArrived, 7, 10),
    };
    std::set<unsigned> tableIds;
    for (std::size_t n = 0; n < events.size(); ++n) {
        const EventKind& kind = kEventKinds[n];
        tableIds.insert(static_cast<unsigned>(kind.id));
        EXPECT_EQ(events[n].id, kind.id) << n;
        EXPECT_EQ(events[n].inserts.size(), kind.inserts) << static_cast<unsigned>(kind.id);
    }
    EXPECT_EQ(tableIds.size(), std::size(kEventKinds)) << "an ID listed twice";
    EXPECT_EQ(std::size(kEventKinds), events.size());

    const EventLevel levels[] = {EventLevel::Information, EventLevel::Error,       EventLevel::Information,
                                 EventLevel::Warning,     EventLevel::Error,       EventLevel::Information,
                                 EventLevel::Information, EventLevel::Information, EventLevel::Information,
                                 EventLevel::Warning};
    for (std::size_t n = 0; n < events.size(); ++n) EXPECT_EQ(events[n].level, levels[n]) << n;

    EXPECT_EQ(CalibrationCheckedEvent(recalibrate).level, EventLevel::Warning);
    EXPECT_THAT(CalibrationCheckedEvent(recalibrate).inserts, ElementsAre("recalibrate", "14.0", "2026-12-09 10:20:00"));
    EXPECT_THAT(events[5].inserts, ElementsAre("[Multitouch] TUIO=1, TUIO_PORT=3334; [Display] MONITOR=secondary"));
    EXPECT_THAT(events[9].inserts, ElementsAre("7", "1010", "10"));
}

TEST(EventRateLimit, AStormWritesABoundedNumberAndOneSummaryWhenItsWindowEnds)
{
    AdminEventQueue queue(EventRateLimits{3, 10 * kMinute});
    std::uint32_t now = 0xFFFFF000u; // the tick count wraps within the window
    for (int n = 0; n < 20; ++n) queue.Push(CameraArrivedEvent("camera " + std::to_string(n)), now += 100);
    queue.Push(MouseHookNotInstalledEvent(), now);

    const std::vector<AdminEvent> first = queue.Take(now);
    EXPECT_THAT(Ids(first), ElementsAre(1010, 1010, 1010, 1020)) << "another ID has a window of its own";
    EXPECT_EQ(first[2].inserts[0], "camera 2");

    // Still inside the window: the rest waits, counted.
    EXPECT_THAT(queue.Take(0xFFFFF000u + 10 * kMinute), IsEmpty());
    const std::vector<AdminEvent> ended = queue.Take(0xFFFFF000u + 100 + 10 * kMinute);
    EXPECT_THAT(ended, ElementsAre(EventsNotWrittenEvent(EventId::CameraArrived, 17, 10)));
    EXPECT_THAT(queue.Take(now + 60 * kMinute), IsEmpty()) << "one summary per window, none for a window without drops";

    // The next event opens a new window.
    queue.Push(CameraArrivedEvent("again"), now + 61 * kMinute);
    EXPECT_THAT(queue.Take(now + 61 * kMinute), ElementsAre(CameraArrivedEvent("again")));
}

TEST(EventRateLimit, WhatTheEndOfTheProgramCutsShortIsStillSummarised)
{
    AdminEventQueue queue(EventRateLimits{1, 10 * kMinute});
    queue.Push(PolicyAppliedEvent({"[Display] MONITOR=secondary"}), 0);
    queue.Push(NoPolicyEvent(), 10);
    queue.Push(NoPolicyEvent(), 20);
    queue.Push(NoPolicyEvent(), 30);
    EXPECT_THAT(Ids(queue.Take(40)), ElementsAre(1030, 1031));
    EXPECT_THAT(queue.TakeAtEnd(), ElementsAre(EventsNotWrittenEvent(EventId::NoPolicy, 2, 10)));
}

TEST(EventRateLimit, EventsFindingNoRoomAreCountedInTheSummary)
{
    AdminEventQueue queue(EventRateLimits{1000, 10 * kMinute});
    const std::size_t pushed = AdminEventQueue::kCapacity + 5;
    for (std::size_t n = 0; n < pushed; ++n) queue.Push(CameraLeftEvent("camera"), 0);
    EXPECT_EQ(queue.Take(1).size(), AdminEventQueue::kCapacity);
    EXPECT_THAT(queue.Take(10 * kMinute), ElementsAre(EventsNotWrittenEvent(EventId::CameraLeft, 5, 10)));
}

TEST(OptionsInForce, EveryOptionWithItsSourcesValueOrItsDefaultAndPoliciesMarked)
{
    const TextProfile user("[Multitouch]\r\nTUIO=1\r\n[Filter]\r\nMODE=adaptive\r\nBETA=0.1\r\n");
    const TextProfile programFolder("[Display]\r\nMONITOR=largest\r\n[Calibration]\r\nOWN_PROGRAM=1\r\n");
    PolicyValues policies;
    policies.Set(options::kTuioPort, "3334");
    EXPECT_EQ(DescribeOptionsInForce(SettingsSources{user, programFolder, policies}),
              "[Multitouch] TUIO=1, TUIO_HOST=127.0.0.1, TUIO_PORT=3334 (policy), TOUCH_INJECTION=0; "
              "[Display] MONITOR=largest; "
              "[Filter] MODE=adaptive, MIN_CUTOFF=0.5, BETA=0.1, DERIVATIVE_CUTOFF=0.7, STILL_SPEED=100; "
              "[Calibration] OWN_PROGRAM=1");
}

} // namespace
} // namespace common
