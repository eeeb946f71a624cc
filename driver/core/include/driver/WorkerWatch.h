#pragma once
// What the touch worker shows the board check: how many records arrive,
// where the contacts of the last seconds were, and the next seconds of
// records for a recording. The board check asks the driver's window, which
// arms the watch for a few seconds at each request; the worker fills it in
// only while it is armed. Unasked, the worker's whole cost is one relaxed
// load per cycle.
//
// The worker alone writes the counters and the ring of contacts; the window
// thread reads them. Every entry is made of atomic words and a reader drops
// the entries the worker may have overwritten while it read, so a reader
// never takes half of one contact for another.
#include "driver/CalibrationView.h"
#include "driver/RecordCapture.h"
#include "driver/TouchRecord.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace driver {

struct WatchedContact {
    std::uint32_t tick = 0;
    int slot = 0;
    bool released = false;
    Point camera; // after the turn of an upside-down camera; kept within 0..16383
};

class WorkerWatch {
public:
    // How long one request keeps the watch armed.
    static constexpr std::uint32_t kWatchMs = 5000;
    static constexpr std::size_t kRingSize = 1024;

    // Window thread: somebody asked at `now`.
    void Arm(std::uint32_t now);
    // Window thread: arms a capture of the next `durationMs` (see RecordCapture);
    // the watch stays armed until it is complete.
    bool ArmCapture(std::uint32_t now, std::uint32_t durationMs, std::size_t capacity);

    // Worker, every cycle, with the record as read (before any turn) and
    // the calibration it was read with.
    void OnCycle(const TouchRecordBytes& record, const CalibrationView& calibration, std::uint32_t now,
                 RecordRoute route);

    // Window thread readers.
    // Records that were not all zero, counted while armed; wraps at 2^32.
    std::uint32_t RecordsSeen() const { return records_.load(std::memory_order_relaxed); }
    // False while no contact has been seen since the first request.
    bool LastContact(std::uint32_t& tick) const;
    // Contact samples of the ring taken at or after `since`, oldest first.
    std::vector<WatchedContact> ContactsSince(std::uint32_t since) const;
    RecordCapture& Capture() { return capture_; }
    const RecordCapture& Capture() const { return capture_; }

private:
    void Count(const TouchRecordBytes& record, int upright, std::uint32_t now);
    void Keep(const WatchedContact& contact);

    // The end of the watch; 0 while nobody watches.
    std::atomic<std::uint32_t> watchUntil_{0};
    std::atomic<std::uint32_t> records_{0};
    std::atomic<std::uint32_t> lastContactTick_{0};
    std::atomic<bool> sawContact_{false};
    // Entry n lives at n % kRingSize; `written_` counts the entries ever
    // written, `claimed_` those the worker has begun to write.
    struct Entry {
        std::atomic<std::uint32_t> tick{0};
        std::atomic<std::uint32_t> packed{0}; // slot 2 bits, released 1, x 14, y 14
    };
    std::array<Entry, kRingSize> ring_;
    std::atomic<std::uint32_t> written_{0};
    std::atomic<std::uint32_t> claimed_{0};
    RecordCapture capture_;
};

} // namespace driver
