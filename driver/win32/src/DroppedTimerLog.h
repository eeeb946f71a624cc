#pragma once
// The timer-callback guard's notes, in the driver's support log.
#include "common/TimerCallbackGuard.h"
#include "driver/FaultLog.h"

namespace brelvin {

class DroppedTimerLog final : public common::DroppedTimerNotes {
public:
    explicit DroppedTimerLog(driver::FaultLog& faults)
        : faults_(faults)
    {}

    void TimerCallbackDropped(unsigned count) override
    {
        faults_.NoteF("Dropped a timer message carrying a callback address, posted by another program (%u so far).",
                      count);
    }

private:
    driver::FaultLog& faults_;
};

} // namespace brelvin
