#pragma once
// The lag between a screen and the camera filming it (the projector's and
// the camera's own buffering): frame n goes in, frame n - delay comes out;
// until that many frames have gone in, the first one comes out.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fakecamera {

class FrameDelay {
public:
    FrameDelay(int delayFrames, std::size_t frameBytes);

    // Takes the newest frame (frameBytes bytes) and gives the one that is due
    // now; valid until the next call.
    const std::uint8_t* Pass(const std::uint8_t* newest);

    int Delay() const { return static_cast<int>(ring_.size()) - 1; }

private:
    std::vector<std::vector<std::uint8_t>> ring_; // the last delay + 1 frames
    std::size_t passed_ = 0;
};

} // namespace fakecamera
