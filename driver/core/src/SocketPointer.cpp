#include "driver/SocketPointer.h"

#include "driver/Truncate.h"

namespace driver {

const char* Name(SocketPointer::State state)
{
    switch (state) {
    case SocketPointer::State::Up: return "Up";
    case SocketPointer::State::Armed: return "Armed";
    case SocketPointer::State::Down: return "Down";
    }
    return "?";
}

const char* Name(SocketPointer::Tap tap)
{
    switch (tap) {
    case SocketPointer::Tap::NoTap: return "NoTap";
    case SocketPointer::Tap::FirstTapDone: return "FirstTapDone";
    }
    return "?";
}

SocketPointer::Step SocketPointer::Handle(PointerEvent event, const Point& point, bool doubleTaps, std::uint32_t now,
                                          const CalibrationView& calibration)
{
    Step step{state_, state_};
    board_ = &calibration.Board();
    const bool sample = event == PointerEvent::Contact || event == PointerEvent::Release;
    // Samples count only while a socket routing is on; the driver's own
    // events end a contact whatever the routing has become.
    if (sample && shared_.socketRouting == SocketRouting::Off) return step;
    if (sample) {
        shared_.idleCount = 0;
        lastSampleAt_ = now;
    }
    switch (state_) {
    case State::Up: state_ = OnUp(event, doubleTaps); break;
    case State::Armed: state_ = OnArmed(event, point, doubleTaps, step, calibration); break;
    case State::Down: state_ = OnDown(event, point, doubleTaps, step); break;
    }
    step.to = state_;
    if (trace_) trace_->Transition("socket", Name(step.from), Name(event), Name(step.to));
    return step;
}

SocketPointer::Step SocketPointer::Tick(std::uint32_t now, const CalibrationView& calibration)
{
    if (state_ == State::Up || now - lastSampleAt_ <= kSilenceMs) return Step{state_, state_};
    return Handle(PointerEvent::Silence, Point{}, false, now, calibration);
}

SocketPointer::State SocketPointer::OnUp(PointerEvent event, bool doubleTaps)
{
    switch (event) {
    case PointerEvent::Contact: return State::Armed;
    case PointerEvent::Release: Release(doubleTaps); return State::Up;
    case PointerEvent::Silence:
    case PointerEvent::Cancel: return State::Up;
    }
    return State::Up;
}

SocketPointer::State SocketPointer::OnArmed(PointerEvent event, const Point& point, bool doubleTaps, Step& step,
                                            const CalibrationView& calibration)
{
    switch (event) {
    case PointerEvent::Contact:
        if (doubleTaps && tap_ == Tap::NoTap) tapOrigin_ = {TruncateToInt(point.x), TruncateToInt(point.y)};
        last_ = point;
        smoothing_->Start(point, lastSampleAt_, PixelUnit(calibration.Screen()));
        step.keyTookPress = shared_.boardKeysEnabled != 0 && boardKeys_.TryBoardKey(point, calibration);
        if (!step.keyTookPress) Send(PacketEvent::Contact, point);
        return State::Down;
    case PointerEvent::Release: Release(doubleTaps); return State::Up;
    case PointerEvent::Silence:
    case PointerEvent::Cancel:
        shared_.actionArmed = true;
        shared_.socketKeyArmed = true;
        return State::Up;
    }
    return State::Up;
}

SocketPointer::State SocketPointer::OnDown(PointerEvent event, const Point& point, bool doubleTaps, Step& step)
{
    switch (event) {
    case PointerEvent::Contact:
        if (smoothing_->Next(point, lastSampleAt_, last_)) Send(PacketEvent::Contact, last_);
        return State::Down;
    case PointerEvent::Release: Release(doubleTaps); return State::Up;
    case PointerEvent::Silence:
    case PointerEvent::Cancel:
        MadeUpRelease();
        step.madeUpRelease = true;
        return State::Up;
    }
    return State::Up;
}

void SocketPointer::Release(bool doubleTaps)
{
    shared_.actionArmed = true;
    PacketEvent event = PacketEvent::Release;
    if (doubleTaps) {
        shared_.socketKeyArmed = true;
        event = PairRelease();
    }
    Send(event, last_);
}

void SocketPointer::MadeUpRelease()
{
    shared_.actionArmed = true;
    shared_.socketKeyArmed = true;
    Send(PacketEvent::Release, last_);
}

// Releases pair up: the first of a pair starts the clock, the second is a
// double tap when it is quick and close to the first tap's contact point.
PacketEvent SocketPointer::PairRelease()
{
    const std::uint32_t now = desktop_.TickCount();
    switch (tap_) {
    case Tap::NoTap:
        firstTapTick_ = now;
        tap_ = Tap::FirstTapDone;
        return PacketEvent::Release;
    case Tap::FirstTapDone: {
        tap_ = Tap::NoTap;
        const double dx = tapOrigin_.x - last_.x;
        const double dy = tapOrigin_.y - last_.y;
        const bool quick = now - firstTapTick_ < kDoubleTapMs;
        const bool close = TruncateToInt(dx * dx + dy * dy) < kDoubleTapSquaredDistance;
        return quick && close ? PacketEvent::DoubleTapRelease : PacketEvent::Release;
    }
    }
    return PacketEvent::Release;
}

// Packets carry desktop pixels: the board's pixel plus its monitor's origin.
void SocketPointer::Send(PacketEvent event, const Point& point)
{
    const ScreenPosition boardPixel{TruncateToInt(point.x), TruncateToInt(point.y)};
    const ScreenPosition at = board_ ? board_->ToDesktop(boardPixel) : boardPixel;
    const TouchPacket packet = BuildTouchPacket(event, at.x, at.y);
    channel_.Write(packet.data(), packet.size());
}

} // namespace driver
