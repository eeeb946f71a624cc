#pragma once
// How many events of one ID reach the event log: a camera cable that makes
// and breaks contact, or a policy flipping at each refresh, must not flood
// the log that IT staff read for many PCs. Per ID, a window opens at the
// first event written; within it at most `perWindow` events are written and
// the rest only counted. When the window ends, the count becomes one
// summary event (1090), and the next event of that ID opens a new window.
//
// Time is the caller's millisecond tick count, so tests drive it by hand;
// it may wrap around (only differences are taken).
#include "common/AdminEvents.h"

#include <cstdint>
#include <vector>

namespace common {

struct EventRateLimits {
    unsigned perWindow = 5;
    std::uint32_t windowMs = 10 * 60 * 1000;
};

class EventRateLimit {
public:
    explicit EventRateLimit(EventRateLimits limits = {})
        : limits_(limits)
    {}

    // Whether an event of this ID may be written now; one that may not is
    // counted for its window's summary.
    bool Admit(EventId id, std::uint32_t nowMs);

    // An admitted event that was not written after all (no room to wait in):
    // counted as if it had not been admitted.
    void CountNotWritten(EventId id);

    // The summaries of the windows that have ended by now with events held
    // back, oldest first.
    std::vector<AdminEvent> EndedWindows(std::uint32_t nowMs);

    // The summaries of every window with events held back, ended or not:
    // for the end of the program, when no later call would write them.
    std::vector<AdminEvent> EndAllWindows();

private:
    struct Window {
        EventId id;
        std::uint32_t startMs;
        unsigned written;
        unsigned held;
    };

    bool Ended(const Window& window, std::uint32_t nowMs) const;
    AdminEvent Summary(const Window& window) const;
    // Ends the window, keeping its summary when it held events back.
    void Close(std::size_t index);

    EventRateLimits limits_;
    std::vector<Window> open_;
    std::vector<AdminEvent> summaries_;
};

} // namespace common
