#pragma once
// Byte counts as the file functions take them.
#include <windows.h>

#include <cstddef>

namespace brelvin {

inline bool FitsInDword(std::size_t length)
{
    return static_cast<DWORD>(length) == length;
}

} // namespace brelvin
