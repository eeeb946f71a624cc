#include "TouchThread.h"

#include <cstring>
#include <exception>

namespace brelvin {

bool TouchThread::Start()
{
    if (thread_) return true;
    stopRequested_ = false;
    thread_.Reset(CreateThread(nullptr, 0, &TouchThread::ThreadMain, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

bool TouchThread::Stop(DWORD waitMs)
{
    if (!thread_) return true;
    stopRequested_ = true;
    if (WaitForSingleObject(thread_.Get(), waitMs) != WAIT_OBJECT_0) {
        faults_.NoteF("The touch worker did not stop within %lu ms; the driver ends without it.",
                      static_cast<unsigned long>(waitMs));
        return false;
    }
    thread_.Reset();
    return true;
}

DWORD WINAPI TouchThread::ThreadMain(void* self)
{
    auto* thread = static_cast<TouchThread*>(self);
    try {
        thread->Run();
    } catch (const std::exception& error) {
        thread->faults_.NoteF("The touch worker stopped on an unexpected error: %s.", error.what());
    } catch (...) {
        thread->faults_.Note("The touch worker stopped on an unexpected error.");
    }
    return 0;
}

void TouchThread::NoteReadOutcome(DWORD status)
{
    if (status == WAIT_TIMEOUT) {
        if (lockTimeouts_++ == 0) {
            faults_.NoteF("The camera service held the touch block's lock for more than %lu ms; records read as "
                          "empty until it lets go.",
                          static_cast<unsigned long>(CShareMemory::kLockWaitMs));
        }
        return;
    }
    if (status == WAIT_ABANDONED) faults_.Note("The camera service ended while holding the touch block's lock.");
    if (lockTimeouts_ != 0 && status == 0) {
        faults_.NoteF("The camera service let go of the touch block's lock after %u waits.", lockTimeouts_);
    }
    lockTimeouts_ = 0;
}

void TouchThread::ReadRecord(driver::TouchRecordBytes& record)
{
    // A failed read (no block, a lock held too long, an abandoned lock)
    // counts as "nothing new", never as a repeat of the previous record.
    const DWORD status = block_.Read(record, sizeof record, 0);
    NoteReadOutcome(status);
    if (status != 0) std::memset(record, 0, sizeof record);
}

void TouchThread::Run()
{
    CycleTimer beat(kCycleMs);
    driver::TouchRecordBytes record = {};
    // Drops whatever the service wrote before the driver was ready.
    ReadRecord(record);
    worker_.Begin();

    while (!stopRequested_) {
        beat.Wait();
        ReadRecord(record);
        worker_.Cycle(record);
    }
}

} // namespace brelvin
