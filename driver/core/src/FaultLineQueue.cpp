#include "driver/FaultLineQueue.h"

#include <cstring>

namespace driver {

void FaultLineQueue::Note(const char* line)
{
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock() || count_ == kCapacity) {
        ++dropped_;
        return;
    }
    Line& slot = lines_[(first_ + count_) % kCapacity];
    std::strncpy(slot.data(), line ? line : "", kMaxLine);
    slot[kMaxLine] = '\0';
    ++count_;
}

FaultLineQueue::Taken FaultLineQueue::TakeAll()
{
    Taken taken;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        taken.lines.reserve(count_);
        for (std::size_t n = 0; n < count_; ++n) taken.lines.emplace_back(lines_[(first_ + n) % kCapacity].data());
        first_ = 0;
        count_ = 0;
    }
    taken.dropped = dropped_.exchange(0);
    return taken;
}

} // namespace driver
