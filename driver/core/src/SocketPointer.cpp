#include "driver/SocketPointer.h"

#include "driver/Truncate.h"

namespace driver {
namespace {

constexpr double kNewWeight = 0.6;
constexpr double kLastWeight = 0.4;

} // namespace

void SocketPointer::Send(PacketEvent event, const Point& point) {
    const TouchPacket packet = BuildTouchPacket(event, TruncateToInt(point.x), TruncateToInt(point.y));
    channel_.Write(packet.data(), packet.size());
}

void SocketPointer::OnContact(const Point& point, bool doubleTaps, const CalibrationView& calibration) {
    if (state_.socketMode == 0) return;
    state_.idleCount = 0;
    switch (current_) {
    case State::Up:
        current_ = State::Armed;
        break;
    case State::Armed: {
        if (doubleTaps && state_.tapCount == 0) {
            tapOrigin_ = {TruncateToInt(point.x), TruncateToInt(point.y)};
        }
        last_ = point;
        current_ = State::Down;
        const bool keyTookIt = state_.boardKeysEnabled != 0 && boardKeys_.TryBoardKey(point, calibration);
        if (!keyTookIt) Send(PacketEvent::Contact, point);
        break;
    }
    case State::Down:
        last_ = {kNewWeight * point.x + kLastWeight * last_.x, kNewWeight * point.y + kLastWeight * last_.y};
        Send(PacketEvent::Contact, last_);
        break;
    }
}

void SocketPointer::OnRelease(bool doubleTaps) {
    if (state_.socketMode == 0) return;
    state_.idleCount = 0;
    state_.actionArmed = 1;
    current_ = State::Up;
    PacketEvent event = PacketEvent::Release;
    if (doubleTaps) {
        state_.socketKeyArmed = 1;
        event = ReleaseEvent();
    }
    Send(event, last_);
}

bool SocketPointer::Cancel() {
    if (current_ == State::Up) return false;
    const bool wasDown = current_ == State::Down;
    state_.actionArmed = 1;
    state_.socketKeyArmed = 1;
    current_ = State::Up;
    if (wasDown) Send(PacketEvent::Release, last_);
    return wasDown;
}

// Releases pair up: the first of a pair starts the clock, the second is a
// double tap when it is quick and close to the first tap's contact point.
PacketEvent SocketPointer::ReleaseEvent() {
    const int taps = ++state_.tapCount;
    const std::uint32_t now = desktop_.TickCount();
    if (taps >= 2) {
        state_.tapCount = 0;
        const double dx = tapOrigin_.x - last_.x;
        const double dy = tapOrigin_.y - last_.y;
        const bool quick = now - firstTapTick_ < kDoubleTapMs;
        const bool close = TruncateToInt(dx * dx + dy * dy) < kDoubleTapSquaredDistance;
        if (quick && close) return PacketEvent::DoubleTapRelease;
    } else if (taps == 1) {
        firstTapTick_ = now;
    }
    return PacketEvent::Release;
}

} // namespace driver
