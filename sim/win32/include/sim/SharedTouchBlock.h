#pragma once
// The camera service's side of the shared block "MMZorvikBoard" and its
// mutex "MMZorvikBoardMtx": created or opened, whichever side comes first.
#include "common/UniqueHandle.h"
#include "sim/TouchRecord.h"

namespace sim {

inline constexpr const char* kSharedBlockName = "MMZorvikBoard";
inline constexpr const char* kSharedBlockMutexName = "MMZorvikBoardMtx";

class SharedTouchBlock {
public:
    // 0 on success, else the system error of the failing step.
    unsigned long Open();

    // Writes the record under the mutex; false when the mutex was not had
    // within `timeoutMs`.
    bool Write(const TouchRecord& record, unsigned long timeoutMs = 1000);

    // Takes the block's mutex and keeps it until Unlock (or the end of the
    // thread, which abandons it); false when not had within `timeoutMs`.
    bool Lock(unsigned long timeoutMs);
    void Unlock();

    // The block as it is now. Read without the mutex: only this side writes
    // non-zero bytes, so a read torn by the driver's clearing is simply "not
    // yet consumed".
    TouchRecord Peek() const;
    bool Consumed() const { return IsConsumed(Peek()); }

private:
    common::UniqueHandle mapping_;
    common::UniqueHandle mutex_;
    common::UniqueView view_;
};

} // namespace sim
