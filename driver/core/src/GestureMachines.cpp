#include "driver/GestureMachines.h"

#include <cmath>
#include <cstdint>

namespace driver {
namespace {

bool IsContact(const PointSlot& slot) { return slot.status == static_cast<std::uint8_t>(SlotStatus::Contact); }
bool IsRelease(const PointSlot& slot) { return slot.status == static_cast<std::uint8_t>(SlotStatus::Release); }

double ClampTo(double value, int extent) {
    if (std::isnan(value) || value < 0) return 0;
    if (value > extent) return extent;
    return value;
}

// Socket-side points that miss the calibrated area are kept on the screen
// rather than dropped.
Point MapOrClamp(Point point, const CalibrationView& calibration) {
    if (!calibration.MapPoint(point)) {
        const ScreenSize screen = calibration.Screen();
        point = {ClampTo(point.x, screen.width), ClampTo(point.y, screen.height)};
    }
    return point;
}

// Adds without wrapping: a pointer left quiet for weeks stays quiet.
std::uint32_t AddQuiet(std::uint32_t quiet, std::uint32_t elapsed) {
    return quiet > UINT32_MAX - elapsed ? UINT32_MAX : quiet + elapsed;
}

} // namespace

GestureMachines::Released GestureMachines::Process(const TouchRecord& record, const CalibrationView& calibration,
                                                   std::uint32_t elapsedMs) {
    mouseFed_ = false;
    socketFed_ = false;
    if (state_.socketMode == 0) {
        ProcessTouchMouse(record, calibration);
    } else if (state_.socketVariant == 1) {
        ProcessTouchHalfSplit(record, calibration);
    } else {
        ProcessTouchPairSplit(record, calibration);
    }
    return ReleaseSilent(calibration, elapsedMs);
}

GestureMachines::Released GestureMachines::ReleaseSilent(const CalibrationView& calibration,
                                                         std::uint32_t elapsedMs) {
    Released released;
    if (mouseFed_ || mouse_.CurrentState() == MousePointer::State::Up) {
        mouseQuietMs_ = 0;
    } else if ((mouseQuietMs_ = AddQuiet(mouseQuietMs_, elapsedMs)) > kSilenceMs) {
        released.mouse = mouse_.Cancel(calibration);
        mouseQuietMs_ = 0;
    }
    if (socketFed_ || socket_.CurrentState() == SocketPointer::State::Up) {
        socketQuietMs_ = 0;
    } else if ((socketQuietMs_ = AddQuiet(socketQuietMs_, elapsedMs)) > kSilenceMs) {
        released.socket = socket_.Cancel();
        socketQuietMs_ = 0;
    }
    return released;
}

GestureMachines::Released GestureMachines::ReleaseAll(const CalibrationView& calibration) {
    Released released;
    released.mouse = mouse_.Cancel(calibration);
    released.socket = socket_.Cancel();
    mouseQuietMs_ = 0;
    socketQuietMs_ = 0;
    return released;
}

void GestureMachines::ToMouse(const PointSlot& slot, const CalibrationView& calibration) {
    if (IsContact(slot)) {
        mouseFed_ = true;
        mouse_.OnContact(slot.point, calibration);
    } else if (IsRelease(slot)) {
        mouseFed_ = true;
        mouse_.OnRelease(calibration);
    }
}

void GestureMachines::ToSocket(const PointSlot& slot, bool doubleTaps, const CalibrationView& calibration) {
    if (IsContact(slot)) {
        socketFed_ = true;
        socket_.OnContact(slot.point, doubleTaps, calibration);
    } else if (IsRelease(slot)) {
        socketFed_ = true;
        socket_.OnRelease(doubleTaps);
    }
}

void GestureMachines::ProcessTouchMouse(const TouchRecord& record, const CalibrationView& calibration) {
    const auto& slots = record.slots;
    ToMouse(slots[0], calibration);
    ToMouse(slots[1], calibration);
    // The second pair stands in only while the first pair has no contact.
    if (!IsContact(slots[0]) && !IsContact(slots[1])) {
        ToMouse(slots[2], calibration);
        ToMouse(slots[3], calibration);
    }
}

void GestureMachines::ProcessTouchPairSplit(const TouchRecord& record, const CalibrationView& calibration) {
    const auto& slots = record.slots;
    ToMouse(slots[0], calibration);
    ToMouse(slots[1], calibration);
    for (std::size_t s = 2; s < slots.size(); ++s) {
        PointSlot onScreen = slots[s];
        if (IsContact(onScreen)) onScreen.point = MapOrClamp(onScreen.point, calibration);
        ToSocket(onScreen, false, calibration);
    }
}

void GestureMachines::ProcessTouchHalfSplit(const TouchRecord& record, const CalibrationView& calibration) {
    const int halfWidth = calibration.Screen().width / 2;
    for (const PointSlot& slot : record.slots) {
        // A point outside the calibrated area is compared as it came back
        // from the mapping, possibly still in camera units.
        Point mapped = slot.point;
        calibration.MapPoint(mapped);
        if (mapped.x > halfWidth) {
            state_.idleCount = 0;
            PointSlot onScreen = slot;
            onScreen.point = MapOrClamp(slot.point, calibration);
            ToSocket(onScreen, true, calibration);
        } else {
            ToMouse(slot, calibration);
        }
    }
}

} // namespace driver
