#pragma once
// The touch worker's thread: one shared-block read per 2 ms cycle, each
// record handed to the core's TouchWorker. It runs from Start until Stop,
// which the dialog calls before the shared block is closed.
#include "CycleTimer.h"
#include "ShareMemory.h"
#include "UniqueHandle.h"

#include "driver/TouchWorker.h"

#include <atomic>

namespace brelvin {

class TouchThread {
public:
    static constexpr unsigned kCycleMs = 2;

    TouchThread(CShareMemory& block, driver::TouchWorker& worker) : block_(block), worker_(worker) {}
    ~TouchThread() { Stop(); }

    TouchThread(const TouchThread&) = delete;
    TouchThread& operator=(const TouchThread&) = delete;

    // False when the thread could not be created.
    bool Start();
    // Asks the thread to end after its current cycle and waits for it.
    void Stop();

    bool Running() const { return thread_ != nullptr; }

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    void ReadRecord(driver::TouchRecordBytes& record);

    CShareMemory& block_;
    driver::TouchWorker& worker_;
    std::atomic<bool> stopRequested_{false};
    UniqueHandle thread_;
};

} // namespace brelvin
