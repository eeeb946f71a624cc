#pragma once
// Lines noted by any thread, waiting for the support log's writer. A fixed
// number of fixed-size lines: noting never allocates and never waits. When
// another thread holds the queue for that instant, or the queue is full, the
// line is dropped and counted, and the writer reports the count.
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

    void Note(const char* line) override;

    // Everything noted so far, oldest first, and how many lines were
    // dropped since the last take.
    struct Taken {
        std::vector<std::string> lines;
        unsigned dropped = 0;
    };
    Taken TakeAll();

private:
    using Line = std::array<char, kMaxLine + 1>;

    std::mutex mutex_;
    std::array<Line, kCapacity> lines_{};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    std::atomic<unsigned> dropped_{0};
};

} // namespace driver
