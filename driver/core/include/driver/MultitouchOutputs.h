#pragma once
// The two outputs that carry every contact: TUIO bundles to a listener and
// touch frames to the system. Each takes the tracker's snapshot of a record
// and decides itself whether it has something to send; neither allocates or
// waits. A failure costs the frame at hand; it is noted in the fault log the
// first few times only, so a listener that went away cannot fill the log.
#include "driver/ByteChannel.h"
#include "driver/ContactTracker.h"
#include "driver/FaultLog.h"
#include "driver/TouchFrame.h"
#include "driver/TuioBundle.h"

#include <array>
#include <cstdint>

namespace driver {

class TuioOutput {
public:
    static constexpr unsigned kMaxFaultLines = 10;

    // `source` goes into every bundle ("application@address"); `destination`
    // names the listener in fault lines.
    TuioOutput(ByteChannel& channel, const char* source, const char* destination, FaultLog& faults);

    // One bundle for a newsworthy snapshot: its live contacts in the alive
    // and set messages, and the next frame number. False when there was
    // nothing to send or the send failed.
    bool Publish(const ContactSnapshot& snapshot);

    std::uint64_t BundlesSent() const { return sent_; }
    std::uint64_t BundlesLost() const { return lost_; }
    // The frame number of the last bundle built, 0 before the first.
    std::int32_t LastFrame() const { return frame_; }

private:
    ByteChannel& channel_;
    TuioBundleWriter writer_;
    char destination_[48] = {};
    FaultLog& faults_;
    std::array<std::uint8_t, TuioBundleWriter::kMaxBundleBytes> buffer_{};
    std::int32_t frame_ = 0;
    std::uint64_t sent_ = 0;
    std::uint64_t lost_ = 0;
    unsigned faultLines_ = 0;
    bool failing_ = false;
};

class TouchOutput {
public:
    static constexpr unsigned kMaxFaultLines = 10;

    TouchOutput(TouchInjection& injection, FaultLog& faults);

    // Injects the frame due for `snapshot` (see TouchFrameBuilder::Build),
    // if any; `elapsedMs` is the time since the previous call. False when
    // nothing was due or the system refused the frame; after a refusal the
    // contacts still live start again with a down.
    // Only the contacts of `slots` become touch pointers (see
    // TouchFrameBuilder::Build).
    bool Publish(const ContactSnapshot& snapshot, ScreenSize screen, std::uint32_t elapsedMs,
                 ContactTracker::SlotMask slots = TouchFrameBuilder::kAllSlots, ScreenPosition origin = {});

    std::uint64_t FramesInjected() const { return injected_; }
    std::uint64_t FramesRefused() const { return refused_; }
    bool AnyDown() const { return builder_.AnyDown(); }

private:
    TouchInjection& injection_;
    FaultLog& faults_;
    TouchFrameBuilder builder_;
    std::uint64_t injected_ = 0;
    std::uint64_t refused_ = 0;
    unsigned faultLines_ = 0;
    bool failing_ = false;
};

} // namespace driver
