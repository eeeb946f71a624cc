#include "driver/FaultLineQueue.h"

#include <cstdint>
#include <cstring>

namespace driver {

FaultLineQueue::FaultLineQueue()
{
    for (std::size_t n = 0; n < kCapacity; ++n) slots_[n].turn.store(n, std::memory_order_relaxed);
}

void FaultLineQueue::Note(const char* line)
{
    std::size_t position = nextToNote_.load(std::memory_order_relaxed);
    Slot* slot = nullptr;
    for (;;) {
        slot = &slots_[position % kCapacity];
        const std::size_t turn = slot->turn.load(std::memory_order_acquire);
        const auto ahead = static_cast<std::intptr_t>(turn - position);
        if (ahead == 0) {
            if (nextToNote_.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) break;
        } else if (ahead < 0) {
            // The slot still holds the line of the previous lap: full.
            dropped_.fetch_add(1, std::memory_order_relaxed);
            return;
        } else {
            // Another thread claimed this position first.
            position = nextToNote_.load(std::memory_order_relaxed);
        }
    }
    std::strncpy(slot->text.data(), line ? line : "", kMaxLine);
    slot->text[kMaxLine] = '\0';
    slot->turn.store(position + 1, std::memory_order_release);
}

FaultLineQueue::Taken FaultLineQueue::TakeAll()
{
    Taken taken;
    std::lock_guard<std::mutex> taking(takeMutex_);
    for (;;) {
        Slot& slot = slots_[nextToTake_ % kCapacity];
        if (slot.turn.load(std::memory_order_acquire) != nextToTake_ + 1) break;
        taken.lines.emplace_back(slot.text.data());
        slot.turn.store(nextToTake_ + kCapacity, std::memory_order_release);
        ++nextToTake_;
    }
    taken.dropped = dropped_.exchange(0);
    return taken;
}

} // namespace driver
