// Random records, silences, key hits, pen-button records, changes of the
// slots that drive the touch screen and ends of everything through the
// contact tracker and both multitouch outputs. Whatever the stream:
//   - every TUIO bundle is well-formed OSC, its alive list is exactly the
//     tracker's live contacts, and every position lies in 0..1 with finite
//     motion;
//   - per touch pointer the frames read down, updates, up; no frame names a
//     pointer twice or leaves out one that is down; nothing lies off the
//     screen;
//   - once everything has ended, no pointer is down and the last bundle
//     lists nobody alive;
// with the contacts unsmoothed or, chosen by the input, smoothed by the
// adaptive chain.
// The sanitizers watch the rest.
#include "FuzzInput.h"
#include "DriverFakes.h"
#include "OscDecoder.h"

#include "driver/ContactTracker.h"
#include "driver/MultitouchOutputs.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace driver;

using fuzzing::Bytes;
using fuzzing::Violation;

class LastBundle final : public ByteChannel {
public:
    std::vector<std::uint8_t> bytes;
    bool fail = false;
    bool Write(const std::uint8_t* data, std::size_t length) override
    {
        bytes.assign(data, data + length);
        return !fail;
    }
};

class CheckedInjection final : public TouchInjection {
public:
    ScreenSize screen;
    std::array<bool, kPointSlots> down{};
    bool refuse = false;

    bool Inject(const TouchFrame& frame) override
    {
        std::array<bool, kPointSlots> named{};
        for (std::size_t n = 0; n < frame.count; ++n) {
            const TouchContact& c = frame.contacts[n];
            if (c.pointerId >= kPointSlots) Violation("pointer id out of range");
            if (named[c.pointerId]) Violation("pointer named twice in one frame");
            named[c.pointerId] = true;
            if (c.x < 0 || c.y < 0 || c.x >= std::max(screen.width, 1) || c.y >= std::max(screen.height, 1))
                Violation("touch off the screen");
            bool& isDown = down[c.pointerId];
            if (c.flags == kTouchDownFlags) {
                if (isDown) Violation("down while down");
                isDown = true;
            } else if (c.flags == kTouchUpdateFlags) {
                if (!isDown) Violation("update while up");
            } else if (c.flags == kTouchUpFlags) {
                if (!isDown) Violation("up while up");
                isDown = false;
            } else {
                Violation("flags outside the documented sequence");
            }
        }
        for (int id = 0; id < kPointSlots; ++id) {
            if (down[id] && !named[id] && frame.count != 0) Violation("frame left out a pointer that is down");
        }
        if (refuse) down = {}; // the system dropped them all
        return !refuse;
    }
};

void CheckBundle(const LastBundle& channel, const ContactSnapshot& snapshot)
{
    const auto bundle = osc_testing::DecodeBundle(channel.bytes);
    if (!bundle || bundle->messages.size() != 3 + snapshot.liveCount) Violation("bundle not as the profile has it");
    const auto& alive = bundle->messages[1];
    if (alive.arguments.size() != 1 + snapshot.liveCount) Violation("alive list differs from the live contacts");
    for (std::size_t n = 0; n < snapshot.liveCount; ++n) {
        if (alive.Int(n + 1) != static_cast<std::int32_t>(snapshot.live[n].session)) Violation("alive id wrong");
        const auto& set = bundle->messages[2 + n];
        const float x = set.Float(2), y = set.Float(3);
        if (!(x >= 0 && x <= 1 && y >= 0 && y <= 1)) Violation("cursor off the screen");
        for (std::size_t a = 4; a <= 6; ++a) {
            if (!std::isfinite(set.Float(a))) Violation("motion not finite");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes in(data, size);
    testing::FakeCalibration calibration;
    calibration.screen = {1 + static_cast<int>(in.Word() % 4000), 1 + static_cast<int>(in.Word() % 3000)};
    calibration.scale = 0.1 + (in.Next() % 40) / 10.0;
    calibration.boardEndX = in.Word();
    // The adaptive smoothing by the board end's lowest bit, which matters
    // little else: the seeds keep their meaning.
    FilterSettings filter;
    if (static_cast<unsigned>(calibration.boardEndX) & 1) filter.mode = FilterMode::Adaptive;
    ContactTracker tracker(MakeSmoothing(filter));
    LastBundle channel;
    CheckedInjection injection;
    injection.screen = calibration.screen;
    NoFaultLog faults;
    TuioOutput tuio(channel, "Brelvin@127.0.0.1", "fuzz", faults);
    TouchOutput touch(injection, faults);

    // The slots that drive the touch screen (the rest go to the socket).
    ContactTracker::SlotMask touchSlots = TouchFrameBuilder::kAllSlots;
    auto publish = [&](const ContactSnapshot& snapshot, std::uint32_t elapsed) {
        if (tuio.Publish(snapshot)) CheckBundle(channel, snapshot);
        touch.Publish(snapshot, calibration.screen, elapsed, touchSlots);
    };

    while (!in.Empty()) {
        const std::uint8_t op = in.Next();
        if (op < 8) {
            publish(tracker.EndAll(), 0);
            continue;
        }
        if (op < 16) { // a pen button's record: the tracker never sees it
            touch.Publish(tracker.Hold(), calibration.screen, in.Next() % 80, touchSlots);
            continue;
        }
        if (op < 20) { // the socket opens or closes, in some variant
            touchSlots = static_cast<ContactTracker::SlotMask>(in.Next() & TouchFrameBuilder::kAllSlots);
            continue;
        }
        const auto keys = static_cast<ContactTracker::SlotMask>(op < 24 ? 1u << (op % kPointSlots) : 0);
        injection.refuse = op >= 250;
        channel.fail = op == 249;
        testing::RecordBuilder record;
        for (int s = 0; s < kPointSlots; ++s) {
            const std::uint8_t status = in.Next() % 5;
            record.Slot(s, status, in.Word(), in.Word());
        }
        const std::uint32_t elapsed = in.Next() % 8 == 0 ? in.Word() : in.Next() % 80;
        publish(tracker.Update(record.Decoded(in.Next() & 1), elapsed, calibration, keys), elapsed);
    }

    injection.refuse = false;
    channel.fail = false;
    touchSlots = TouchFrameBuilder::kAllSlots;
    const ContactSnapshot& last = tracker.EndAll();
    tuio.Publish(last);
    touch.Publish(last, calibration.screen, 0);
    for (bool isDown : injection.down) {
        if (isDown) Violation("a touch pointer is still down after everything ended");
    }
    if (touch.AnyDown()) Violation("the frame builder still holds a pointer down");
    if (last.liveCount != 0) Violation("a contact outlived the end of everything");
    return 0;
}
