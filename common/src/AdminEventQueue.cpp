#include "common/AdminEventQueue.h"

#include <utility>

namespace common {

void AdminEventQueue::Push(AdminEvent event, std::uint32_t nowMs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!limit_.Admit(event.id, nowMs)) return;
    if (waiting_.size() >= kCapacity) {
        limit_.CountNotWritten(event.id);
        return;
    }
    waiting_.push_back(std::move(event));
}

std::vector<AdminEvent> AdminEventQueue::Take(std::uint32_t nowMs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<AdminEvent> taken = std::exchange(waiting_, {});
    for (AdminEvent& summary : limit_.EndedWindows(nowMs)) taken.push_back(std::move(summary));
    return taken;
}

std::vector<AdminEvent> AdminEventQueue::TakeAtEnd()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<AdminEvent> taken = std::exchange(waiting_, {});
    for (AdminEvent& summary : limit_.EndAllWindows()) taken.push_back(std::move(summary));
    return taken;
}

} // namespace common
