#include "driver/WorkerWatch.h"

#include <algorithm>

namespace driver {
namespace {

constexpr std::uint32_t kCoordinateMask = 0x3FFF;

bool Reached(std::uint32_t deadline, std::uint32_t now)
{
    return static_cast<std::int32_t>(now - deadline) >= 0;
}

std::uint32_t Pack(const WatchedContact& contact)
{
    const auto coordinate = [](double value) {
        return static_cast<std::uint32_t>(std::clamp(value, 0.0, static_cast<double>(kCoordinateMask)));
    };
    return (static_cast<std::uint32_t>(contact.slot) & 3u) << 29 | (contact.released ? 1u : 0u) << 28 |
           coordinate(contact.camera.x) << 14 | coordinate(contact.camera.y);
}

WatchedContact Unpack(std::uint32_t tick, std::uint32_t packed)
{
    WatchedContact contact;
    contact.tick = tick;
    contact.slot = static_cast<int>(packed >> 29 & 3u);
    contact.released = (packed >> 28 & 1u) != 0;
    contact.camera.x = static_cast<double>(packed >> 14 & kCoordinateMask);
    contact.camera.y = static_cast<double>(packed & kCoordinateMask);
    return contact;
}

} // namespace

void WorkerWatch::Arm(std::uint32_t now)
{
    const std::uint32_t until = now + kWatchMs;
    watchUntil_.store(until == 0 ? 1 : until, std::memory_order_relaxed);
}

bool WorkerWatch::ArmCapture(std::uint32_t now, std::uint32_t durationMs, std::size_t capacity)
{
    if (!capture_.Arm(durationMs, capacity)) return false;
    Arm(now);
    return true;
}

void WorkerWatch::OnCycle(const TouchRecordBytes& record, const CalibrationView& calibration, std::uint32_t now,
                          RecordRoute route)
{
    std::uint32_t until = watchUntil_.load(std::memory_order_relaxed);
    if (until == 0) return; // nobody asks: the whole cost
    const bool capturing = capture_.Busy();
    if (Reached(until, now) && !capturing) {
        // Only this watch ends: a request that came meanwhile moved the end on.
        watchUntil_.compare_exchange_strong(until, 0, std::memory_order_relaxed);
        return;
    }
    Count(record, calibration.Upright(), now);
    if (capturing) capture_.OnCycle(record, now, route);
}

void WorkerWatch::Count(const TouchRecordBytes& record, int upright, std::uint32_t now)
{
    if (std::all_of(record, record + kTouchRecordSize, [](std::uint8_t b) { return b == 0; })) return;
    records_.fetch_add(1, std::memory_order_relaxed);
    const auto event = static_cast<RecordEvent>(record[0]);
    // A pen button's record carries nothing else.
    if (event == RecordEvent::FrontPenButton || event == RecordEvent::RearPenButton) return;
    const TouchRecord decoded = DecodeTouchRecord(record, upright);
    for (int s = 0; s < kPointSlots; ++s) {
        const PointSlot& slot = decoded.slots[static_cast<std::size_t>(s)];
        const bool contact = slot.status == static_cast<std::uint8_t>(SlotStatus::Contact);
        const bool release = slot.status == static_cast<std::uint8_t>(SlotStatus::Release);
        if (!contact && !release) continue;
        if (contact) {
            lastContactTick_.store(now, std::memory_order_relaxed);
            sawContact_.store(true, std::memory_order_release);
        }
        WatchedContact kept;
        kept.tick = now;
        kept.slot = s;
        kept.released = release;
        kept.camera = slot.point;
        Keep(kept);
    }
}

void WorkerWatch::Keep(const WatchedContact& contact)
{
    const std::uint32_t n = written_.load(std::memory_order_relaxed);
    // Claimed before it is written: a reader that may have read the entry
    // half old and half new sees the claim and drops it.
    claimed_.store(n + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    Entry& entry = ring_[n % kRingSize];
    entry.tick.store(contact.tick, std::memory_order_relaxed);
    entry.packed.store(Pack(contact), std::memory_order_relaxed);
    written_.store(n + 1, std::memory_order_release);
}

bool WorkerWatch::LastContact(std::uint32_t& tick) const
{
    if (!sawContact_.load(std::memory_order_acquire)) return false;
    tick = lastContactTick_.load(std::memory_order_relaxed);
    return true;
}

std::vector<WatchedContact> WorkerWatch::ContactsSince(std::uint32_t since) const
{
    const std::uint32_t end = written_.load(std::memory_order_acquire);
    const std::uint32_t available = std::min<std::uint32_t>(end, kRingSize);
    std::vector<WatchedContact> contacts;
    contacts.reserve(available);
    for (std::uint32_t n = end - available; n != end; ++n) {
        const Entry& entry = ring_[n % kRingSize];
        const std::uint32_t tick = entry.tick.load(std::memory_order_relaxed);
        const std::uint32_t packed = entry.packed.load(std::memory_order_relaxed);
        contacts.push_back(Unpack(tick, packed));
    }
    // The worker went on meanwhile: entries it claimed since may have
    // landed on the oldest of those read.
    std::atomic_thread_fence(std::memory_order_acquire);
    const std::uint32_t claimedSince = claimed_.load(std::memory_order_relaxed) - end;
    const std::uint32_t free = static_cast<std::uint32_t>(kRingSize) - available;
    const std::uint32_t overwritten = claimedSince > free ? std::min(claimedSince - free, available) : 0;
    contacts.erase(contacts.begin(), contacts.begin() + overwritten);
    contacts.erase(std::remove_if(contacts.begin(), contacts.end(),
                                  [since](const WatchedContact& c) { return static_cast<std::int32_t>(c.tick - since) < 0; }),
                   contacts.end());
    return contacts;
}

} // namespace driver
