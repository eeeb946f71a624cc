#include "common/EventRateLimit.h"

#include <utility>

namespace common {

bool EventRateLimit::Ended(const Window& window, std::uint32_t nowMs) const
{
    return static_cast<std::uint32_t>(nowMs - window.startMs) >= limits_.windowMs;
}

AdminEvent EventRateLimit::Summary(const Window& window) const
{
    return EventsNotWrittenEvent(window.id, window.held, limits_.windowMs / 60000);
}

void EventRateLimit::Close(std::size_t index)
{
    if (open_[index].held != 0) summaries_.push_back(Summary(open_[index]));
    open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool EventRateLimit::Admit(EventId id, std::uint32_t nowMs)
{
    for (std::size_t n = 0; n < open_.size(); ++n) {
        Window& window = open_[n];
        if (window.id != id) continue;
        if (Ended(window, nowMs)) {
            Close(n);
            break;
        }
        if (window.written < limits_.perWindow) {
            ++window.written;
            return true;
        }
        ++window.held;
        return false;
    }
    const bool admitted = limits_.perWindow != 0;
    open_.push_back({id, nowMs, admitted ? 1u : 0u, admitted ? 0u : 1u});
    return admitted;
}

void EventRateLimit::CountNotWritten(EventId id)
{
    for (Window& window : open_) {
        if (window.id != id) continue;
        --window.written;
        ++window.held;
        return;
    }
}

std::vector<AdminEvent> EventRateLimit::EndedWindows(std::uint32_t nowMs)
{
    for (std::size_t n = 0; n < open_.size();) {
        if (Ended(open_[n], nowMs)) {
            Close(n);
        } else {
            ++n;
        }
    }
    return std::exchange(summaries_, {});
}

std::vector<AdminEvent> EventRateLimit::EndAllWindows()
{
    while (!open_.empty()) Close(0);
    return std::exchange(summaries_, {});
}

} // namespace common
