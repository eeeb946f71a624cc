#pragma once
// The socket pointer: contacts routed to it become touch packets for the
// drawing application over the socket channel. It acts only while socket
// mode is on.
//
//   state  | contact sample                          | release sample
//   -------+-----------------------------------------+------------------------
//   Up     | dropped (debounce) -> Armed             | release packet -> Up
//   Armed  | first contact packet, unless a board    | release packet -> Up
//          | key took it -> Down                     |
//   Down   | contact packet at 0.6 new + 0.4 last    | release packet -> Up
//
// With double taps on (the half-split routing), the releases pair up: the
// second of a pair is a double tap when it comes under 650 ms after the
// first and under 15 pixels from the first tap's contact point.
//
// Cancel ends a contact whose release never came with a plain release
// packet; it never completes a double tap and is not counted towards one.
#include "driver/BoardKeyTest.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/TouchPacket.h"

#include <cstdint>

namespace driver {

class SocketPointer {
public:
    enum class State { Up, Armed, Down };

    static constexpr std::uint32_t kDoubleTapMs = 650;
    static constexpr int kDoubleTapSquaredDistance = 225;

    SocketPointer(Desktop& desktop, DriverState& state, BoardKeyTest& boardKeys,
                  ChannelSlot& channel)
        : desktop_(desktop), state_(state), boardKeys_(boardKeys), channel_(channel) {}

    // `point` in screen pixels.
    void OnContact(const Point& point, bool doubleTaps, const CalibrationView& calibration);
    void OnRelease(bool doubleTaps);
    // Down: a release packet at the last point; Armed: back to Up with
    // nothing sent; Up: nothing. True when a packet was sent.
    bool Cancel();

    State CurrentState() const { return current_; }

private:
    PacketEvent ReleaseEvent();
    void Send(PacketEvent event, const Point& point);

    Desktop& desktop_;
    DriverState& state_;
    BoardKeyTest& boardKeys_;
    ChannelSlot& channel_;
    State current_ = State::Up;
    Point last_;
    ScreenPosition tapOrigin_;
    std::uint32_t firstTapTick_ = 0;
};

} // namespace driver
