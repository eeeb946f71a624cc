#include "FilterReplay.h"

#include "driver/BoardKeyTest.h"
#include "driver/MouseInput.h"
#include "driver/MousePointer.h"
#include "driver/TouchWorker.h"

#include <cmath>

namespace filterbench {
namespace {

using driver::testing::RecordBuilder;

// The camera's picture linearly over the whole screen; remembers the last
// point it mapped, which is the one the pointer dispatched.
class BoardView final : public driver::CalibrationView {
public:
    bool MapPoint(Point& point) const override
    {
        point = {point.x * kPixelsPerUnit, point.y * kPixelsPerUnit};
        lastMapped = point;
        return point.x >= 0 && point.y >= 0 && point.x <= kScreenWidth && point.y <= kScreenHeight;
    }
    int Upright() const override { return 1; }
    driver::ScreenSize Screen() const override { return {kScreenWidth, kScreenHeight}; }
    const driver::BoardScreen& Board() const override { return board; }
    Point KeyPoint(int) const override { return {}; }
    bool KeyUsable(int) const override { return false; }
    int KeyTolerance() const override { return 0; }

    mutable Point lastMapped;
    driver::BoardScreen board = driver::BoardScreen::PrimaryOnly({kScreenWidth, kScreenHeight});
};

RecordBuilder RecordOf(const TraceFrame& frame)
{
    if (frame.status == driver::SlotStatus::Release) return RecordBuilder().Release(0);
    const auto coordinate = [](double units) {
        return static_cast<unsigned>(std::lround(std::fmin(std::fmax(units, 0), 65535)));
    };
    return RecordBuilder().Contact(0, coordinate(frame.sample.x), coordinate(frame.sample.y));
}

Replay PlayThroughWorker(const Trace& trace, const driver::FilterSettings& settings)
{
    driver::testing::FakeDesktop desktop;
    desktop.now = 0;
    driver::testing::FakeHook hook;
    driver::DriverState state;
    driver::NoBoardKeys keys;
    driver::ChannelSlot socket;
    driver::ChannelSlot pipe;
    driver::NoFaultLog faults;
    BoardView view;
    driver::TouchWorker worker({desktop, hook, state, nullptr, keys, socket, pipe, faults, {}, settings});
    worker.Begin();

    Replay replay;
    Point pointer;
    bool down = false;
    for (const TraceFrame& frame : trace.frames) {
        FrameOutcome& outcome = replay.frames.emplace_back();
        outcome.firstEvent = desktop.mouseEvents.size();
        if (frame.status != driver::SlotStatus::Empty) {
            // The record waits in the block until the next 2 ms read.
            while (desktop.now + 2 < frame.atMs) {
                desktop.now += 2;
                worker.Cycle(RecordBuilder().Bytes(), view);
            }
            desktop.now += 2;
            worker.Cycle(RecordOf(frame).Bytes(), view);
        }
        for (std::size_t n = outcome.firstEvent; n < desktop.mouseEvents.size(); ++n) {
            const std::uint32_t flags = desktop.mouseEvents[n].flags;
            if (flags & driver::mouse_flags::kMove) pointer = view.lastMapped;
            // Press-and-hold's click lifts the left button and the contact
            // stays pressed: its right click comes after the left-up.
            if (flags & (driver::mouse_flags::kLeftDown | driver::mouse_flags::kRightDown)) down = true;
            if (flags & driver::mouse_flags::kLeftUp) down = false;
        }
        outcome.endEvent = desktop.mouseEvents.size();
        outcome.down = down;
        outcome.pointer = pointer;
    }
    replay.events = desktop.mouseEvents;
    return replay;
}

// The samples as they come, through the pointer's dispatch: the first
// sample of a contact dropped, the second pressing, each further one a move.
Replay PlayRaw(const Trace& trace)
{
    driver::testing::FakeDesktop desktop;
    driver::DriverState state;
    driver::NoBoardKeys keys;
    BoardView view;
    driver::MousePointer dispatcher(desktop, state, keys);

    Replay replay;
    int samples = 0;
    Point last;
    Point pointer;
    for (const TraceFrame& frame : trace.frames) {
        FrameOutcome& outcome = replay.frames.emplace_back();
        outcome.firstEvent = desktop.mouseEvents.size();
        if (frame.status == driver::SlotStatus::Contact) {
            ++samples;
            last = frame.sample;
            if (samples >= 2) {
                const auto phase = samples == 2 ? driver::PointerPhase::Press : driver::PointerPhase::Move;
                dispatcher.DispatchPointer({last.x, last.y, phase}, view);
                pointer = view.lastMapped;
            }
        } else if (frame.status == driver::SlotStatus::Release) {
            dispatcher.DispatchPointer({last.x, last.y, driver::PointerPhase::Release}, view);
            samples = 0;
        }
        outcome.endEvent = desktop.mouseEvents.size();
        outcome.down = samples >= 2;
        outcome.pointer = pointer;
    }
    replay.events = desktop.mouseEvents;
    return replay;
}

} // namespace

Replay Play(const Trace& trace, Smoothing smoothing, const driver::OneEuroParameters& parameters)
{
    switch (smoothing) {
    case Smoothing::Raw: return PlayRaw(trace);
    case Smoothing::Fixed: return PlayThroughWorker(trace, {driver::FilterMode::Fixed, parameters});
    case Smoothing::Adaptive: return PlayThroughWorker(trace, {driver::FilterMode::Adaptive, parameters});
    }
    return {};
}

} // namespace filterbench
