#pragma once
// Lines noted by any thread, waiting for the support log's writer: a ring of
// a fixed number of fixed-size lines. Noting never allocates and never waits
// for another thread, the writer included: a line claims its slot with one
// atomic step, is copied in and then published. A line is lost only when
// every slot still holds a line the writer has not taken; those are counted,
// and the writer reports the count.
#include "driver/FaultLog.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace driver {

class FaultLineQueue final : public FaultLog {
public:
    static constexpr std::size_t kCapacity = 128;

    FaultLineQueue();

    void Note(const char* line) override;

    // Everything noted so far, oldest first, and how many lines were
    // dropped since the last take. A line whose writer is still copying it
    // in waits for the next take, and so do the lines after it.
    struct Taken {
        std::vector<std::string> lines;
        unsigned dropped = 0;
    };
    Taken TakeAll();

private:
    // A slot's turn says whose it is: equal to the position of the line
    // that may claim it next when free, one more once that line is in, and
    // a lap further on once it has been taken.
    struct Slot {
        std::atomic<std::size_t> turn{0};
        std::array<char, kMaxLine + 1> text{};
    };

    std::array<Slot, kCapacity> slots_;
    std::atomic<std::size_t> nextToNote_{0};
    // Taking is the writer's alone; the lock only keeps two takers apart
    // and is never held by a thread that notes.
    std::mutex takeMutex_;
    std::size_t nextToTake_ = 0;
    std::atomic<unsigned> dropped_{0};
};

} // namespace driver
