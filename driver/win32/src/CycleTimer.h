#pragma once
// The worker's 2 ms beat. A plain Sleep(2) follows the system timer
// resolution (about 15.6 ms by default), which would lose most records the
// camera service writes; a high-resolution waitable timer keeps the beat
// where the system has one, otherwise the process raises the timer
// resolution to 1 ms for as long as the cycle timer lives. The timer is
// periodic, so the time a cycle spends working does not add to its period.
#include "common/UniqueHandle.h"

#include <windows.h>

namespace brelvin {

class CycleTimer {
public:
    explicit CycleTimer(unsigned periodMs);
    ~CycleTimer();

    CycleTimer(const CycleTimer&) = delete;
    CycleTimer& operator=(const CycleTimer&) = delete;

    // Blocks until the next beat; at most one period from the call, and
    // at once when a beat has passed since the last wait (a beat missed while
    // working is not made up twice: the timer signals once).
    void Wait();

    bool UsesHighResolutionTimer() const { return highResolution_; }

private:
    unsigned periodMs_;
    common::UniqueHandle timer_;
    bool highResolution_ = false;
    bool raisedResolution_ = false;
    bool periodic_ = false;
};

} // namespace brelvin
