#include "TouchThread.h"

#include <cstring>

namespace brelvin {

bool TouchThread::Start()
{
    if (thread_) return true;
    stopRequested_ = false;
    thread_.reset(CreateThread(nullptr, 0, &TouchThread::ThreadMain, this, 0, nullptr));
    return thread_ != nullptr;
}

void TouchThread::Stop()
{
    if (!thread_) return;
    stopRequested_ = true;
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

DWORD WINAPI TouchThread::ThreadMain(void* self)
{
    static_cast<TouchThread*>(self)->Run();
    return 0;
}

void TouchThread::ReadRecord(driver::TouchRecordBytes& record)
{
    // A failed read (no block, abandoned lock) counts as "nothing new", never
    // as a repeat of the previous record.
    if (block_.Read(record, sizeof record, 0) != 0) std::memset(record, 0, sizeof record);
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
