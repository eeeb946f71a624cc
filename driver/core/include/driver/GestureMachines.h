#pragma once
// Routes the slots of one record to the two pointers. Three routings:
//   ProcessTouchMouse      socket mode off: slots 0-1 drive the mouse; slots
//                          2-3 only when 0-1 carry no contact.
//   ProcessTouchPairSplit  socket variant 0: slots 0-1 mouse, 2-3 socket.
//   ProcessTouchHalfSplit  socket variant 1: a slot mapped to the right half
//                          of the screen goes to the socket (with double
//                          taps), the rest to the mouse.
// Slots other than contact or release are ignored by both pointers.
//
// A pointer that is not up and gets no sample for longer than kSilenceMs of
// records is released by the driver: the slowest camera sends a frame every
// 67 ms or so, and a held contact keeps sending samples, so only a contact
// whose release was lost (the camera service died or restarted) falls that
// silent. Time counts only over the records handed to the machines, so a
// held pen button, whose records never reach them, neither feeds nor
// starves a pointer.
#include "driver/BoardKeyTest.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/MousePointer.h"
#include "driver/PointerDispatcher.h"
#include "driver/SocketPointer.h"
#include "driver/TouchRecord.h"

#include <cstdint>

namespace driver {

class GestureMachines {
public:
    GestureMachines(Desktop& desktop, DriverState& state, BoardKeyTest& boardKeys,
                    ChannelSlot& socket, PointerDispatcher& dispatcher)
        : state_(state),
          mouse_(state, boardKeys, dispatcher),
          socket_(desktop, state, boardKeys, socket) {}

    static constexpr std::uint32_t kSilenceMs = 500;

    // Which pointers a call released on the driver's own account.
    struct Released {
        bool mouse = false;
        bool socket = false;
        bool Any() const { return mouse || socket; }
    };

    // Picks the routing from the socket mode and variant in force.
    // `elapsedMs` is the time since the previous record handed to the
    // machines; pointers that got no sample for longer than kSilenceMs are
    // released.
    Released Process(const TouchRecord& record, const CalibrationView& calibration, std::uint32_t elapsedMs = 0);

    // Ends every contact in progress: at a change of routing and when the
    // driver closes.
    Released ReleaseAll(const CalibrationView& calibration);

    void ProcessTouchMouse(const TouchRecord& record, const CalibrationView& calibration);
    void ProcessTouchPairSplit(const TouchRecord& record, const CalibrationView& calibration);
    void ProcessTouchHalfSplit(const TouchRecord& record, const CalibrationView& calibration);

    const MousePointer& Mouse() const { return mouse_; }
    const SocketPointer& Socket() const { return socket_; }

private:
    void ToMouse(const PointSlot& slot, const CalibrationView& calibration);
    void ToSocket(const PointSlot& slot, bool doubleTaps, const CalibrationView& calibration);

    Released ReleaseSilent(const CalibrationView& calibration, std::uint32_t elapsedMs);

    DriverState& state_;
    MousePointer mouse_;
    SocketPointer socket_;
    // Records' time without a sample, per pointer, and whether this record
    // brought one.
    std::uint32_t mouseQuietMs_ = 0;
    std::uint32_t socketQuietMs_ = 0;
    bool mouseFed_ = false;
    bool socketFed_ = false;
};

} // namespace driver
