#pragma once
// The socket pointer: one machine for the contacts routed to the touch
// socket, whose packets go to the drawing application. It acts only while a
// socket routing is on.
//
//   state  | Contact                          | Release             | Silence, Cancel
//   -------+----------------------------------+---------------------+----------------------
//   Up     | -> Armed (first sample dropped)  | release packet -> Up| -> Up
//   Armed  | first contact packet, unless a   | release packet -> Up| -> Up
//          | board key took it -> Down        |                     |
//   Down   | contact packet at the smoothed   | release packet -> Up| release packet -> Up
//          | point                            |                     |
//
// Smoothing: the pointer's own stage, as the mouse pointer's
// (MousePointer.h), restarted at each first contact packet. Its points are
// screen pixels (PixelUnit in SmoothingStage.h).
//
// With double taps on (the half-split routing) the real releases pair up,
// beside the contact state:
//
//   tap          | release                                    | new contact
//   -------------+--------------------------------------------+---------------------------
//   NoTap        | the clock starts -> FirstTapDone           | its point is the origin
//   FirstTapDone | a double tap (0x88) when under 650 ms and  | origin kept
//                | under 15 pixels from the origin -> NoTap   |
//
// A release the driver makes up (silence, cancel) is always a plain
// release packet and does not count towards a pair.
#include "driver/BoardKeyTest.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/MousePointer.h"
#include "driver/PointerTrace.h"
#include "driver/SmoothingFactory.h"
#include "driver/TouchPacket.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace driver {

class SocketPointer {
public:
    enum class State { Up, Armed, Down };
    enum class Tap { NoTap, FirstTapDone };

    static constexpr std::uint32_t kDoubleTapMs = 650;
    static constexpr int kDoubleTapSquaredDistance = 225;

    // `smoothing`: the pointer's stage (by default the one [Filter]'s
    // defaults give).
    SocketPointer(Desktop& desktop, DriverState& shared, BoardKeyTest& boardKeys, ChannelSlot& channel,
                  std::unique_ptr<SmoothingStage> smoothing = MakeSmoothing({}).ForPointer())
        : desktop_(desktop),
          shared_(shared),
          boardKeys_(boardKeys),
          channel_(channel),
          smoothing_(std::move(smoothing))
    {}

    struct Step {
        State from;
        State to;
        bool keyTookPress = false;
        bool madeUpRelease = false;
    };

    // `point` in screen pixels (Contact only); `doubleTaps` while the
    // half-split routing is on; `now` is the records' clock.
    Step Handle(PointerEvent event, const Point& point, bool doubleTaps, std::uint32_t now,
                const CalibrationView& calibration);
    Step Tick(std::uint32_t now, const CalibrationView& calibration);

    State CurrentState() const { return state_; }
    Tap CurrentTap() const { return tap_; }

    void SetTrace(PointerTrace* trace) { trace_ = trace; }

private:
    State OnUp(PointerEvent event, bool doubleTaps);
    State OnArmed(PointerEvent event, const Point& point, bool doubleTaps, Step& step,
                  const CalibrationView& calibration);
    State OnDown(PointerEvent event, const Point& point, bool doubleTaps, Step& step);

    void Release(bool doubleTaps);
    void MadeUpRelease();
    PacketEvent PairRelease();
    void Send(PacketEvent event, const Point& point);

    Desktop& desktop_;
    DriverState& shared_;
    BoardKeyTest& boardKeys_;
    ChannelSlot& channel_;
    PointerTrace* trace_ = nullptr;
    // The monitor of the event being handled.
    const BoardScreen* board_ = nullptr;

    State state_ = State::Up;
    Point last_; // screen pixels, smoothed
    std::uint32_t lastSampleAt_ = 0;
    std::unique_ptr<SmoothingStage> smoothing_;

    Tap tap_ = Tap::NoTap;
    ScreenPosition tapOrigin_;
    std::uint32_t firstTapTick_ = 0;
};

const char* Name(SocketPointer::State state);
const char* Name(SocketPointer::Tap tap);

} // namespace driver
