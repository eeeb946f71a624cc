#pragma once
// The fakes a touch worker runs against, wired as the driver's dialog wires
// the real ones. A fixture derives from it and builds its worker from Deps().
#include "DriverFakes.h"

#include "driver/DriverState.h"
#include "driver/TouchWorker.h"

namespace driver::testing {

struct WorkerFakes {
    TouchWorkerDeps Deps(ContactOutputs outputs = {}, FilterSettings filter = {})
    {
        return {desktop, hook, state, nullptr, keys, socket, pipe, faults, outputs, filter};
    }

    FakeDesktop desktop;
    FakeHook hook;
    DriverState state;
    FakeBoardKeys keys;
    FakeCalibration calibration;
    ChannelSlot socket;
    ChannelSlot pipe;
    RecordingFaultLog faults;
};

} // namespace driver::testing
