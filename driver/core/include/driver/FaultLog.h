#pragma once
// Where the driver reports what went wrong around it: a peer that did not
// answer in time, a forwarding run that ended because its client vanished,
// a pointer released because its contact fell silent, a key point ignored.
// The driver has no window anyone looks at, so these lines are the only
// trace a school's IT staff will find of a board that misbehaved.
//
// Note may be called from any thread, the touch worker's 2 ms loop included:
// an implementation never blocks the caller (it may drop a line instead)
// and never allocates on the caller's behalf.
#include <cstdarg>
#include <cstddef>
#include <cstdio>

namespace common {
struct AdminEvent;
}

namespace driver {

class FaultLog {
public:
    static constexpr std::size_t kMaxLine = 240;

    virtual ~FaultLog() = default;
    // One line of text, without its end of line.
    virtual void Note(const char* line) = 0;

    // printf-style, formatted into a buffer on the caller's stack and cut at
    // kMaxLine characters.
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    void
    NoteF(const char* format, ...)
    {
        char line[kMaxLine + 1];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        Note(line);
    }

    // One of the few facts an administrator acts on (common/AdminEvents.h),
    // for the system's event log, in addition to the line that tells it
    // here. Only from the window thread's work, never from the worker's
    // loop: the event's texts are allocated. An implementation never blocks
    // the caller; one without an event log drops the event.
    virtual void Report(const common::AdminEvent& event) { (void)event; }
};

// For pipelines and tests that keep no record.
class NoFaultLog final : public FaultLog {
public:
    void Note(const char*) override {}
};

} // namespace driver
