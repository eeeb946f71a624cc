#pragma once
// What every fuzz target reads its input with, and how it says that an
// invariant broke: a message libFuzzer keeps with the crash, then abort.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzing {

[[noreturn]] inline void Violation(const char* what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Reads the fuzz input a byte at a time; zeros once it is used up.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size)
        : data_(data),
          size_(size)
    {}
    bool Empty() const { return at_ >= size_; }
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    // Two bytes, high first.
    unsigned Word() { return static_cast<unsigned>(Next()) << 8 | Next(); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

} // namespace fuzzing
