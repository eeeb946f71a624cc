#include "driver/MultitouchOutputs.h"

#include <cstring>

namespace driver {

TuioOutput::TuioOutput(ByteChannel& channel, const char* source, const char* destination, FaultLog& faults)
    : channel_(channel),
      writer_(source),
      faults_(faults)
{
    if (destination) std::strncpy(destination_, destination, sizeof destination_ - 1);
}

bool TuioOutput::Publish(const ContactSnapshot& snapshot)
{
    if (!snapshot.Newsworthy()) return false;
    TuioCursor cursors[TuioBundleWriter::kMaxCursors];
    for (std::size_t n = 0; n < snapshot.liveCount; ++n) {
        const TrackedContact& contact = snapshot.live[n];
        cursors[n] = {static_cast<std::int32_t>(contact.session),
                      static_cast<float>(contact.x),
                      static_cast<float>(contact.y),
                      static_cast<float>(contact.velocityX),
                      static_cast<float>(contact.velocityY),
                      static_cast<float>(contact.acceleration)};
    }
    // Frame numbers stay positive: the profile reserves -1.
    frame_ = frame_ == INT32_MAX ? 1 : frame_ + 1;
    const std::size_t size = writer_.Write(cursors, snapshot.liveCount, frame_, buffer_.data(), buffer_.size());
    if (size != 0 && channel_.Write(buffer_.data(), size)) {
        ++sent_;
        failing_ = false;
        return true;
    }
    ++lost_;
    if (!failing_ && faultLines_ < kMaxFaultLines) {
        ++faultLines_;
        faults_.NoteF("TUIO bundles to %s could not be sent (%llu lost so far); the board goes on without them%s.",
                      destination_, static_cast<unsigned long long>(lost_),
                      faultLines_ == kMaxFaultLines ? "; further failures are not noted" : "");
    }
    failing_ = true;
    return false;
}

TouchOutput::TouchOutput(TouchInjection& injection, FaultLog& faults)
    : injection_(injection),
      faults_(faults)
{}

bool TouchOutput::Publish(const ContactSnapshot& snapshot, ScreenSize screen, std::uint32_t elapsedMs,
                          ContactTracker::SlotMask slots, ScreenPosition origin)
{
    const TouchFrame& frame = builder_.Build(snapshot, screen, elapsedMs, slots, origin);
    if (frame.count == 0) return false;
    if (injection_.Inject(frame)) {
        ++injected_;
        failing_ = false;
        return true;
    }
    ++refused_;
    // Whatever the system kept of the contacts, it ends them itself once no
    // valid frame follows; ours start again with a down.
    builder_.Forget();
    if (!failing_ && faultLines_ < kMaxFaultLines) {
        ++faultLines_;
        faults_.NoteF("The system refused a touch frame (%llu refused so far); the contacts start again%s.",
                      static_cast<unsigned long long>(refused_),
                      faultLines_ == kMaxFaultLines ? "; further refusals are not noted" : "");
    }
    failing_ = true;
    return false;
}

} // namespace driver
