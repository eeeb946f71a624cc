#pragma once
// A turn at a named mutex that programs share, for as long as this object
// lives: asked for once, waited for at most `waitMs`. A mutex its last
// holder left without releasing (a program that ended) counts as got.
#include "common/UniqueHandle.h"

#include <windows.h>

namespace common {

class NamedMutexTurn {
public:
    NamedMutexTurn(const char* name, DWORD waitMs)
        : mutex_(CreateMutexA(nullptr, FALSE, name))
    {
        const DWORD got = mutex_ ? WaitForSingleObject(mutex_.Get(), waitMs) : WAIT_FAILED;
        held_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
    }
    ~NamedMutexTurn()
    {
        if (held_) ReleaseMutex(mutex_.Get());
    }
    NamedMutexTurn(const NamedMutexTurn&) = delete;
    NamedMutexTurn& operator=(const NamedMutexTurn&) = delete;

    bool Held() const { return held_; }

private:
    UniqueHandle mutex_;
    bool held_ = false;
};

} // namespace common
