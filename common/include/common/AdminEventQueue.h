#pragma once
// Events on their way to the event log: the program's threads hand them
// in, and one writer takes them out and writes them, so that a slow or
// refusing event log never holds up the thread that had something to tell.
// The rate limit is applied as events come in, by the time they happened;
// a window's summary comes out with the first take after the window ended.
// At most kCapacity events wait; one that finds no room is counted in its
// ID's summary like an event the rate limit held back.
#include "common/AdminEvents.h"
#include "common/EventRateLimit.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace common {

class AdminEventQueue {
public:
    static constexpr std::size_t kCapacity = 32;

    explicit AdminEventQueue(EventRateLimits limits = {})
        : limit_(limits)
    {}

    // Any thread; holds a lock only for a copy.
    void Push(AdminEvent event, std::uint32_t nowMs);

    // The writer: the waiting events, oldest first, then the summaries of
    // the windows ended by now.
    std::vector<AdminEvent> Take(std::uint32_t nowMs);

    // The writer, at the program's end: the waiting events and a summary
    // for every window that held events back, ended or not.
    std::vector<AdminEvent> TakeAtEnd();

private:
    std::mutex mutex_;
    EventRateLimit limit_;
    std::vector<AdminEvent> waiting_;
};

} // namespace common
