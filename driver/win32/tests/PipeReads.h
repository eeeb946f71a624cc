#pragma once
// Reading a pipe end in the pipe tests.
#include "BrelvinPipe.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace brelvin {

// Reads until `count` bytes came or the pipe ended.
inline std::vector<std::uint8_t> ReadExactly(CBrelvinPipe& pipe, std::size_t count)
{
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[64];
    while (bytes.size() < count) {
        const int n = pipe.Read(buffer, static_cast<int>(std::min<std::size_t>(sizeof buffer, count - bytes.size())));
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

} // namespace brelvin
