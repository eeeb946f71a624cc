#pragma once
// The filming camera as a whole: the mode, the renderer for the frame size
// asked for, and the delay line. It is fed the screen as it is at each
// frame and hands out the frame to deliver.
#include "fakecamera/CameraFrame.h"
#include "fakecamera/FilmRenderer.h"
#include "fakecamera/FilmSettings.h"
#include "fakecamera/FrameDelay.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace fakecamera {

class FilmCamera {
public:
    explicit FilmCamera(const FilmSettings& settings)
        : settings_(settings)
    {}

    // Whether the next frame of this size looks at the screen at all: not
    // for a covered or blinded camera, nor for a frozen one once it froze.
    bool WantsScreen(FrameSize size) const;

    // Frame `frameNumber` of `size` into `frame` (Rgb24Bytes(size) bytes).
    // `screen` is the monitor now, or null when it could not be taken (the
    // camera then films a dark screen).
    void NextFrame(const ScreenImage* screen, FrameSize size, unsigned frameNumber, std::uint8_t* frame);

    const FilmSettings& Settings() const { return settings_; }

private:
    void StartSize(FrameSize size);

    FilmSettings settings_;
    FrameSize size_{0, 0};
    std::unique_ptr<FilmRenderer> renderer_;
    std::unique_ptr<FrameDelay> delay_;
    std::vector<std::uint8_t> fresh_;  // the frame just rendered
    std::vector<std::uint8_t> frozen_; // Still: the first frame, once filmed
    std::vector<std::uint8_t> dark_;   // stands in for a screen that could not be taken
};

} // namespace fakecamera
