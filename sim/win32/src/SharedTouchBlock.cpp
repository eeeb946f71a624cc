#include "sim/SharedTouchBlock.h"

namespace sim {

unsigned long SharedTouchBlock::Open()
{
    mapping_ = common::UniqueHandle(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRecordSize, kSharedBlockName));
    if (!mapping_) return GetLastError();
    mutex_ = common::UniqueHandle(CreateMutexA(nullptr, FALSE, kSharedBlockMutexName));
    if (!mutex_) return GetLastError();
    view_ = common::UniqueView(MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, kRecordSize));
    if (!view_) return GetLastError();
    return 0;
}

bool SharedTouchBlock::Write(const TouchRecord& record, unsigned long timeoutMs)
{
    if (!view_) return false;
    const DWORD wait = WaitForSingleObject(mutex_.Get(), timeoutMs);
    // An abandoned mutex (a driver that died holding it) is ours now all the same.
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
    volatile std::uint8_t* bytes = static_cast<std::uint8_t*>(view_.Get());
    for (int i = 0; i < kRecordSize; ++i) bytes[i] = record[i];
    ReleaseMutex(mutex_.Get());
    return true;
}

bool SharedTouchBlock::Lock(unsigned long timeoutMs)
{
    if (!mutex_) return false;
    const DWORD wait = WaitForSingleObject(mutex_.Get(), timeoutMs);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

void SharedTouchBlock::Unlock()
{
    if (mutex_) ReleaseMutex(mutex_.Get());
}

TouchRecord SharedTouchBlock::Peek() const
{
    TouchRecord record{};
    if (!view_) return record;
    const volatile std::uint8_t* bytes = static_cast<const std::uint8_t*>(view_.Get());
    for (int i = 0; i < kRecordSize; ++i) record[i] = bytes[i];
    return record;
}

} // namespace sim
