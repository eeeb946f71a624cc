#pragma once
// The touch worker's thread: one shared-block read per 2 ms cycle, each
// record handed to the core's TouchWorker. It runs from Start until Stop,
// which the dialog calls before the shared block is closed.
#include "CycleTimer.h"
#include "ShareMemory.h"

#include "common/UniqueHandle.h"
#include "driver/FaultLog.h"
#include "driver/TouchWorker.h"

#include <atomic>

namespace brelvin {

class TouchThread {
public:
    static constexpr unsigned kCycleMs = 2;
    // How long the close waits for the current cycle to end.
    static constexpr DWORD kStopWaitMs = 2000;

    TouchThread(CShareMemory& block, driver::TouchWorker& worker, driver::FaultLog& faults)
        : block_(block),
          worker_(worker),
          faults_(faults)
    {}
    // Only ever destroyed stopped: a thread that would not stop is never
    // destroyed (see Stop).
    ~TouchThread() { Stop(); }

    TouchThread(const TouchThread&) = delete;
    TouchThread& operator=(const TouchThread&) = delete;

    // False when the thread could not be created.
    bool Start();
    // Asks the thread to end after its current cycle and waits for it, at
    // most `waitMs`. False when it is still running then: the caller must
    // keep everything the thread uses alive until the process ends.
    bool Stop(DWORD waitMs = kStopWaitMs);

    bool Running() const { return static_cast<bool>(thread_); }

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    void ReadRecord(driver::TouchRecordBytes& record);
    void NoteReadOutcome(DWORD status);

    CShareMemory& block_;
    driver::TouchWorker& worker_;
    driver::FaultLog& faults_;
    std::atomic<bool> stopRequested_{false};
    common::UniqueHandle thread_;
    // Consecutive reads the camera service's lock held up; the first and
    // the end of a run of them are noted.
    unsigned lockTimeouts_ = 0;
};

} // namespace brelvin
