#pragma once
// A one-line account of a pointer machine's transition, for tests and the
// support log: "mouse Armed --contact--> Pressed".
#include <cstddef>
#include <cstdio>

namespace driver {

// Told every transition of the pointer machines it is given to.
class PointerTrace {
public:
    virtual ~PointerTrace() = default;
    virtual void Transition(const char* pointer, const char* from, const char* event, const char* to) = 0;
};

// The transition as one line into `out`.
inline void FormatTransition(char* out, std::size_t size, const char* pointer, const char* from, const char* event,
                             const char* to)
{
    std::snprintf(out, size, "%s %s --%s--> %s", pointer, from, event, to);
}

} // namespace driver
