#pragma once
// Routes the slots of one record to the two pointers. Three routings:
//   ProcessTouchMouse      socket mode off: slots 0-1 drive the mouse; slots
//                          2-3 only when 0-1 carry no contact.
//   ProcessTouchPairSplit  socket variant 0: slots 0-1 mouse, 2-3 socket.
//   ProcessTouchHalfSplit  socket variant 1: a slot mapped to the right half
//                          of the screen goes to the socket (with double
//                          taps), the rest to the mouse.
// Slots other than contact or release are ignored by both pointers.
#include "driver/BoardKeyTest.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/MousePointer.h"
#include "driver/PointerDispatcher.h"
#include "driver/SocketPointer.h"
#include "driver/TouchRecord.h"

namespace driver {

class GestureMachines {
public:
    GestureMachines(Desktop& desktop, DriverState& state, BoardKeyTest& boardKeys,
                    ChannelSlot& socket, PointerDispatcher& dispatcher)
        : state_(state),
          mouse_(state, boardKeys, dispatcher),
          socket_(desktop, state, boardKeys, socket) {}

    // Picks the routing from the socket mode and variant in force.
    void Process(const TouchRecord& record, const CalibrationView& calibration);

    void ProcessTouchMouse(const TouchRecord& record, const CalibrationView& calibration);
    void ProcessTouchPairSplit(const TouchRecord& record, const CalibrationView& calibration);
    void ProcessTouchHalfSplit(const TouchRecord& record, const CalibrationView& calibration);

    const MousePointer& Mouse() const { return mouse_; }
    const SocketPointer& Socket() const { return socket_; }

private:
    void ToMouse(const PointSlot& slot, const CalibrationView& calibration);
    void ToSocket(const PointSlot& slot, bool doubleTaps, const CalibrationView& calibration);

    DriverState& state_;
    MousePointer mouse_;
    SocketPointer socket_;
};

} // namespace driver
