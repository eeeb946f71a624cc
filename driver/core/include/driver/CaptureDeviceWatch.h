#pragma once
// Arrival and removal of capture devices: a device of one of the driver's
// camera models starts the camera service, and its removal releases the
// service and tells the drawing application. Both are reported for the
// event log: a camera that comes and goes is what IT staff look for first.
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/FaultLog.h"

#include <string>

namespace driver {

class CaptureDeviceWatch {
public:
    CaptureDeviceWatch(Desktop& desktop, DriverState& state, FaultLog& faults);

    // True for a device of one of the driver's models (by the hardware id
    // from position 8 of its interface name); sets the camera kind and
    // switches the socket side off.
    bool Match(const std::string& deviceName);

    void OnArrival(const std::string& deviceName);
    void OnRemoval(const std::string& deviceName);

private:
    Desktop& desktop_;
    DriverState& state_;
    FaultLog& faults_;
};

} // namespace driver
