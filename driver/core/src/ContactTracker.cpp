#include "driver/ContactTracker.h"

#include "driver/GestureMachines.h"

#include <cmath>

namespace driver {
namespace {

constexpr std::uint32_t kLastSession = 0x7FFFFFFF; // TUIO carries the id as an int32

Point ToScreen(const Point& cameraPoint, const CalibrationView& calibration, ScreenSize size)
{
    Point point = cameraPoint;
    calibration.MapPoint(point);
    return ClampToScreen(point, size);
}

double Fraction(double pixels, int extent)
{
    return extent > 0 ? pixels / extent : 0;
}

std::uint32_t AddTime(std::uint32_t total, std::uint32_t elapsed)
{
    return total > UINT32_MAX - elapsed ? UINT32_MAX : total + elapsed;
}

bool Is(const PointSlot& slot, SlotStatus status)
{
    return slot.status == static_cast<std::uint8_t>(status);
}

} // namespace

ContactTracker::ContactTracker(const SmoothingFactory& smoothing)
{
    for (Slot& slot : slots_) slot.smoothing = smoothing.ForContact();
}

const ContactSnapshot& ContactTracker::Update(const TouchRecord& record, std::uint32_t elapsedMs,
                                              const CalibrationView& calibration, SlotMask takenByKey)
{
    BeginSnapshot();
    clock_ += elapsedMs;
    for (int s = 0; s < kPointSlots; ++s) {
        Slot& slot = slots_[static_cast<std::size_t>(s)];
        const PointSlot& sample = record.slots[static_cast<std::size_t>(s)];
        if (takenByKey & (1u << s)) OnKeyTake(slot);
        slot.sinceSampleMs = AddTime(slot.sinceSampleMs, elapsedMs);
        if (Is(sample, SlotStatus::Contact)) {
            snapshot_.sampled = true;
            OnContact(slot, s, sample.point, calibration);
            slot.sinceSampleMs = 0;
        } else if (Is(sample, SlotStatus::Release)) {
            snapshot_.sampled = true;
            OnRelease(slot);
            slot.sinceSampleMs = 0;
        } else if (slot.state != SlotState::Idle && slot.sinceSampleMs > kSilenceMs) {
            OnSilence(slot);
        }
    }
    FinishSnapshot();
    return snapshot_;
}

const ContactSnapshot& ContactTracker::Hold()
{
    BeginSnapshot();
    FinishSnapshot();
    return snapshot_;
}

const ContactSnapshot& ContactTracker::EndAll()
{
    BeginSnapshot();
    for (Slot& slot : slots_) OnEndAll(slot);
    FinishSnapshot();
    return snapshot_;
}

void ContactTracker::OnContact(Slot& slot, int index, const Point& cameraPoint, const CalibrationView& calibration)
{
    switch (slot.state) {
    case SlotState::Idle:
        // The first sample of a contact is often a bounce; it only arms.
        slot.state = SlotState::Armed;
        break;
    case SlotState::Armed:
        slot.smoothing->Start(cameraPoint, clock_, kCameraUnit);
        Start(slot, index, ToScreen(cameraPoint, calibration, calibration.Screen()), calibration.Screen());
        slot.state = SlotState::Live;
        break;
    case SlotState::Live: {
        Point point;
        if (!slot.smoothing->Next(cameraPoint, clock_, point)) break;
        Move(slot, ToScreen(point, calibration, calibration.Screen()), calibration.Screen());
        break;
    }
    case SlotState::Taken: break;
    }
}

void ContactTracker::OnRelease(Slot& slot)
{
    switch (slot.state) {
    case SlotState::Idle:
    case SlotState::Armed:
    case SlotState::Taken: break;
    case SlotState::Live: End(slot, ContactEnd::Released); break;
    }
    slot.state = SlotState::Idle;
}

void ContactTracker::OnSilence(Slot& slot)
{
    switch (slot.state) {
    case SlotState::Idle: return;
    case SlotState::Armed:
    case SlotState::Taken: break;
    case SlotState::Live: End(slot, ContactEnd::Silent); break;
    }
    slot.state = SlotState::Idle;
    slot.sinceSampleMs = 0;
}

void ContactTracker::OnEndAll(Slot& slot)
{
    switch (slot.state) {
    case SlotState::Idle:
    case SlotState::Armed:
    case SlotState::Taken: break;
    case SlotState::Live: End(slot, ContactEnd::EndedAll); break;
    }
    slot.state = SlotState::Idle;
    slot.sinceSampleMs = 0;
}

void ContactTracker::OnKeyTake(Slot& slot)
{
    switch (slot.state) {
    case SlotState::Idle:
    case SlotState::Armed:
    case SlotState::Taken: break;
    case SlotState::Live: End(slot, ContactEnd::TakenByKey); break;
    }
    slot.state = SlotState::Taken;
}

void ContactTracker::Start(Slot& slot, int index, const Point& screen, ScreenSize size)
{
    TrackedContact& contact = slot.contact;
    contact = TrackedContact{};
    contact.slot = index;
    contact.session = NextSession();
    contact.screen = screen;
    contact.x = Fraction(screen.x, size.width);
    contact.y = Fraction(screen.y, size.height);
    contact.started = true;
}

void ContactTracker::Move(Slot& slot, const Point& screen, ScreenSize size)
{
    TrackedContact& contact = slot.contact;
    const double x = Fraction(screen.x, size.width);
    const double y = Fraction(screen.y, size.height);
    if (slot.sinceSampleMs != 0) {
        const double seconds = slot.sinceSampleMs / 1000.0;
        // From the pixel positions, so that a contact held still moves by
        // exactly nothing whatever precision the fractions were kept in.
        const double velocityX = Fraction(screen.x - contact.screen.x, size.width) / seconds;
        const double velocityY = Fraction(screen.y - contact.screen.y, size.height) / seconds;
        const double speed = std::hypot(velocityX, velocityY);
        const double lastSpeed = std::hypot(contact.velocityX, contact.velocityY);
        contact.acceleration = (speed - lastSpeed) / seconds;
        contact.velocityX = velocityX;
        contact.velocityY = velocityY;
    }
    contact.screen = screen;
    contact.x = x;
    contact.y = y;
}

void ContactTracker::End(Slot& slot, ContactEnd why)
{
    snapshot_.ended[snapshot_.endedCount++] = {slot.contact, why};
}

void ContactTracker::BeginSnapshot()
{
    snapshot_.liveCount = 0;
    snapshot_.endedCount = 0;
    snapshot_.sampled = false;
    for (Slot& slot : slots_) slot.contact.started = false;
}

void ContactTracker::FinishSnapshot()
{
    for (const Slot& slot : slots_) {
        if (slot.state == SlotState::Live) snapshot_.live[snapshot_.liveCount++] = slot.contact;
    }
}

std::uint32_t ContactTracker::NextSession()
{
    lastSession_ = lastSession_ >= kLastSession ? 1 : lastSession_ + 1;
    return lastSession_;
}

} // namespace driver
