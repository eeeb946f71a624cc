#include "driver/GestureMachines.h"

#include <cmath>

namespace driver {
namespace {

bool IsContact(const PointSlot& slot)
{
    return slot.status == static_cast<std::uint8_t>(SlotStatus::Contact);
}
bool IsRelease(const PointSlot& slot)
{
    return slot.status == static_cast<std::uint8_t>(SlotStatus::Release);
}

double ClampTo(double value, int extent)
{
    if (std::isnan(value) || value < 0) return 0;
    if (value > extent) return extent;
    return value;
}

// Socket-side points that miss the calibrated area are kept on the screen
// rather than dropped.
Point MapOrClamp(Point point, const CalibrationView& calibration)
{
    if (!calibration.MapPoint(point)) point = ClampToScreen(point, calibration.Screen());
    return point;
}

} // namespace

Point ClampToScreen(Point point, ScreenSize screen)
{
    return {ClampTo(point.x, screen.width), ClampTo(point.y, screen.height)};
}

GestureMachines::Outcome GestureMachines::Process(const TouchRecord& record, const CalibrationView& calibration,
                                                  std::uint32_t now)
{
    now_ = now;
    outcome_ = Outcome();
    switch (state_.socketRouting.load()) {
    case SocketRouting::Off: ProcessTouchMouse(record, calibration); break;
    case SocketRouting::PairSplit: ProcessTouchPairSplit(record, calibration); break;
    case SocketRouting::HalfSplit: ProcessTouchHalfSplit(record, calibration); break;
    }
    outcome_.mouseReleased = mouse_.Tick(now, calibration).madeUpRelease;
    outcome_.socketReleased = socket_.Tick(now, calibration).madeUpRelease;
    return outcome_;
}

GestureMachines::Outcome GestureMachines::ReleaseAll(const CalibrationView& calibration, std::uint32_t now)
{
    Outcome outcome;
    outcome.mouseReleased = mouse_.Handle(PointerEvent::Cancel, Point{}, now, calibration).madeUpRelease;
    outcome.socketReleased = socket_.Handle(PointerEvent::Cancel, Point{}, false, now, calibration).madeUpRelease;
    return outcome;
}

void GestureMachines::ToMouse(std::size_t slot, const PointSlot& sample, const CalibrationView& calibration)
{
    MousePointer::Step step{};
    if (IsContact(sample)) {
        step = mouse_.Handle(PointerEvent::Contact, sample.point, now_, calibration);
    } else if (IsRelease(sample)) {
        step = mouse_.Handle(PointerEvent::Release, sample.point, now_, calibration);
    }
    if (step.keyTookPress) outcome_.keyTookSlots |= 1u << slot;
}

void GestureMachines::ToSocket(std::size_t slot, const PointSlot& sample, bool doubleTaps,
                               const CalibrationView& calibration)
{
    SocketPointer::Step step{};
    if (IsContact(sample)) {
        step = socket_.Handle(PointerEvent::Contact, sample.point, doubleTaps, now_, calibration);
    } else if (IsRelease(sample)) {
        step = socket_.Handle(PointerEvent::Release, sample.point, doubleTaps, now_, calibration);
    }
    if (step.keyTookPress) outcome_.keyTookSlots |= 1u << slot;
}

void GestureMachines::ProcessTouchMouse(const TouchRecord& record, const CalibrationView& calibration)
{
    const auto& slots = record.slots;
    outcome_.mouseSlots = 0xF;
    ToMouse(0, slots[0], calibration);
    ToMouse(1, slots[1], calibration);
    // The second pair stands in only while the first pair has no contact.
    if (!IsContact(slots[0]) && !IsContact(slots[1])) {
        ToMouse(2, slots[2], calibration);
        ToMouse(3, slots[3], calibration);
    }
}

void GestureMachines::ProcessTouchPairSplit(const TouchRecord& record, const CalibrationView& calibration)
{
    const auto& slots = record.slots;
    outcome_.mouseSlots = 0x3;
    ToMouse(0, slots[0], calibration);
    ToMouse(1, slots[1], calibration);
    for (std::size_t s = 2; s < slots.size(); ++s) {
        PointSlot onScreen = slots[s];
        if (IsContact(onScreen)) onScreen.point = MapOrClamp(onScreen.point, calibration);
        ToSocket(s, onScreen, false, calibration);
    }
}

void GestureMachines::ProcessTouchHalfSplit(const TouchRecord& record, const CalibrationView& calibration)
{
    const int halfWidth = calibration.Screen().width / 2;
    for (std::size_t s = 0; s < record.slots.size(); ++s) {
        const PointSlot& slot = record.slots[s];
        // A point outside the calibrated area is compared as it came back
        // from the mapping, possibly still in camera units.
        Point mapped = slot.point;
        calibration.MapPoint(mapped);
        if (mapped.x > halfWidth) {
            state_.idleCount = 0;
            PointSlot onScreen = slot;
            onScreen.point = MapOrClamp(slot.point, calibration);
            ToSocket(s, onScreen, true, calibration);
        } else {
            outcome_.mouseSlots |= 1u << s;
            ToMouse(s, slot, calibration);
        }
    }
}

} // namespace driver
