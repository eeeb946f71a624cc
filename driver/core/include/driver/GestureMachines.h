#pragma once
// Routes the slots of one record to the two pointer machines. Three routings:
//   ProcessTouchMouse      socket routing off: slots 0-1 drive the mouse;
//                          slots 2-3 only when 0-1 carry no contact.
//   ProcessTouchPairSplit  slots 0-1 mouse, 2-3 socket.
//   ProcessTouchHalfSplit  a slot mapped to the right half of the screen
//                          goes to the socket (with double taps), the rest
//                          to the mouse.
// Slots other than contact or release are ignored by both pointers. After
// every record each pointer hears the time, and a pointer whose contact has
// been silent for longer than kSilenceMs of records is released.
#include "driver/BoardKeyTest.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/MousePointer.h"
#include "driver/SmoothingFactory.h"
#include "driver/SocketPointer.h"
#include "driver/TouchRecord.h"

#include <cstdint>

namespace driver {

// The touch socket's rule for a point off the screen (or not a number): it
// is kept at the nearest edge rather than dropped.
Point ClampToScreen(Point point, ScreenSize screen);

class GestureMachines {
public:
    // Each pointer gets a smoothing stage of its own from `smoothing`.
    GestureMachines(Desktop& desktop, DriverState& state, BoardKeyTest& boardKeys, ChannelSlot& socket,
                    const SmoothingFactory& smoothing = MakeSmoothing({}))
        : state_(state),
          mouse_(desktop, state, boardKeys, smoothing.ForPointer()),
          socket_(desktop, state, boardKeys, socket, smoothing.ForPointer())
    {}

    // What one record did besides the pointers' own output.
    struct Outcome {
        // Pointers released on the driver's own account (silence, cancel).
        bool mouseReleased = false;
        bool socketReleased = false;
        // Bit s: a board key took the press of the contact in slot s.
        unsigned keyTookSlots = 0;
        // Bit s: slot s belongs to the mouse in this record (all four while
        // no socket routing is on).
        unsigned mouseSlots = 0;
        bool AnyReleased() const { return mouseReleased || socketReleased; }
    };

    // Picks the routing in force. `now` is the records' clock in
    // milliseconds: it runs only over records handed to the machines.
    Outcome Process(const TouchRecord& record, const CalibrationView& calibration, std::uint32_t now = 0);

    // Ends every contact in progress: at a change of routing and when the
    // driver closes.
    Outcome ReleaseAll(const CalibrationView& calibration, std::uint32_t now = 0);

    void SetMouseOutput(bool on) { mouse_.SetMouseOutput(on); }
    void SetTrace(PointerTrace* trace)
    {
        mouse_.SetTrace(trace);
        socket_.SetTrace(trace);
    }

private:
    void ProcessTouchMouse(const TouchRecord& record, const CalibrationView& calibration);
    void ProcessTouchPairSplit(const TouchRecord& record, const CalibrationView& calibration);
    void ProcessTouchHalfSplit(const TouchRecord& record, const CalibrationView& calibration);

    void ToMouse(std::size_t slot, const PointSlot& sample, const CalibrationView& calibration);
    void ToSocket(std::size_t slot, const PointSlot& sample, bool doubleTaps, const CalibrationView& calibration);

    DriverState& state_;
    MousePointer mouse_;
    SocketPointer socket_;
    // The record being processed.
    std::uint32_t now_ = 0;
    Outcome outcome_;
};

} // namespace driver
