#pragma once
// The driver's side of the shared block for the stand-ins' own tests: read
// and clear under the mutex, as the driver does.
#include "sim/SharedTouchBlock.h"
#include "sim/Waiting.h"

#include <windows.h>

namespace sim {

inline constexpr unsigned kBlockWaitMs = 10000;

class BlockReader {
public:
    BlockReader()
    {
        mapping_ = common::UniqueHandle(
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRecordSize, kSharedBlockName));
        mutex_ = common::UniqueHandle(CreateMutexA(nullptr, FALSE, kSharedBlockMutexName));
        view_ = common::UniqueView(MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, kRecordSize));
    }
    bool Ok() const { return mapping_ && mutex_ && view_; }

    TouchRecord Consume()
    {
        TouchRecord record{};
        if (WaitForSingleObject(mutex_.Get(), 1000) != WAIT_OBJECT_0) return record;
        auto* bytes = static_cast<std::uint8_t*>(view_.Get());
        for (int i = 0; i < kRecordSize; ++i) {
            record[i] = bytes[i];
            bytes[i] = 0;
        }
        ReleaseMutex(mutex_.Get());
        return record;
    }
    TouchRecord Peek() const
    {
        TouchRecord record{};
        const auto* bytes = static_cast<const volatile std::uint8_t*>(view_.Get());
        for (int i = 0; i < kRecordSize; ++i) record[i] = bytes[i];
        return record;
    }
    // The result of waiting `ms` for the mutex; a mutex had (abandoned or
    // not) is given back at once.
    DWORD TryLock(unsigned ms)
    {
        const DWORD wait = WaitForSingleObject(mutex_.Get(), ms);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ReleaseMutex(mutex_.Get());
        return wait;
    }
    // Waits for a record to be written and consumes it.
    TouchRecord Next()
    {
        WaitUntil([&] { return !IsConsumed(Peek()); }, kBlockWaitMs, 1);
        return Consume();
    }

private:
    common::UniqueHandle mapping_;
    common::UniqueHandle mutex_;
    common::UniqueView view_;
};

} // namespace sim
