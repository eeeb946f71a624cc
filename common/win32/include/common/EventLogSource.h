#pragma once
// The suite's event source in the Application log, as one program writes to
// it. The source is registered lazily, at the first event, and given back
// when the owner goes. Writing never fails the program: an event the log
// refuses (no event log service, a full log, no right to write) is only
// counted. A write is a call into the event log service, so the driver
// writes from its support log's writer thread, never from the window
// thread or the touch worker.
#include "common/AdminEvents.h"
#include "common/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace common {

// The event source handle of RegisterEventSource.
struct EventSourceTraits {
    using Handle = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE source) { return source != nullptr; }
    static void Close(HANDLE source) { DeregisterEventSource(source); }
};
using UniqueEventSource = UniqueResource<EventSourceTraits>;

class EventLogSource {
public:
    // True when the log took the event.
    bool Write(const AdminEvent& event);

    unsigned Written() const { return written_; }
    unsigned Refused() const { return refused_; }
    // The last refusal's system error, 0 before any.
    DWORD LastRefusal() const { return lastRefusal_; }

private:
    bool Open();

    UniqueEventSource source_;
    unsigned written_ = 0;
    unsigned refused_ = 0;
    DWORD lastRefusal_ = 0;
};

// The event type ReportEvent takes for a level.
WORD EventTypeOf(EventLevel level);

// For a program that tells the log one thing now and then (the calibration
// program's save and check): registers the source, writes the event and
// gives the source back. False when the log refused it, which the caller
// may ignore.
bool ReportAdminEvent(const AdminEvent& event);

} // namespace common
