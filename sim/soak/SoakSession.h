#pragma once
// One soak of the driver: the real-time camera stand-in draws all along
// while, every minute, the other programs come and go around the driver:
// a forwarding run of the calibration program, two touch-socket sessions of
// the drawing application, a camera pulled out and plugged in again.
#include "sim/BoardRig.h"

#include <cstdio>
#include <string>

namespace sim {

class SoakSession {
public:
    // With `awaitSampler`, each sample waits (bounded) until the sampler
    // outside has written "sampled-<minute>" into the session folder, so it
    // finds the driver as it was at the sample.
    SoakSession(BoardRig& rig, std::FILE* out, bool awaitSampler)
        : rig_(rig),
          out_(out),
          awaitSampler_(awaitSampler)
    {}

    // Starts the driver with its stand-ins; the camera plays `script`.
    bool Start(const std::string& script, const std::string& settings);
    // One minute of comings and goings, starting now; false with a reason
    // in Problem() when the driver is no longer there.
    bool RunMinute(int minute);
    // "sample <minute> handles <count>" for the sampler outside.
    void Sample(int minute);
    const std::string& Problem() const { return problem_; }

private:
    std::string ForwardingRun();
    std::string SocketSession(long variant);
    std::string CameraReplugged();
    bool WaitUntilSecond(long long minuteStart, int second);
    bool Fail(const std::string& problem);

    BoardRig& rig_;
    std::FILE* out_;
    bool awaitSampler_;
    std::string problem_;
    int socketConnections_ = 0;
};

} // namespace sim
