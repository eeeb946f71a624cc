#pragma once
// A trace played into the driver's real touch pipeline, as the worker reads
// it (a 2 ms beat, each camera record seen once), with the fakes' desktop
// recording what reached it. The raw samples go through the pointer's own
// dispatch unsmoothed, for comparison.
#include "FilterTraces.h"

#include "DriverFakes.h"
#include "driver/FilterSettings.h"

#include <vector>

namespace filterbench {

inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;
// Camera units to screen pixels: the camera's picture spans the screen.
inline constexpr double kPixelsPerUnit = kScreenWidth / driver::CCalibration::kCameraWidth;

enum class Smoothing { Raw, Fixed, Adaptive };

struct FrameOutcome {
    bool down = false;          // a contact is pressed after this frame
    Point pointer;              // where the pointer is then, screen pixels before truncation
    std::size_t firstEvent = 0; // the mouse events this frame injected
    std::size_t endEvent = 0;
};

struct Replay {
    std::vector<FrameOutcome> frames; // one per trace frame
    std::vector<driver::testing::MouseEvent> events;
};

Replay Play(const Trace& trace, Smoothing smoothing, const driver::OneEuroParameters& parameters = {});

} // namespace filterbench
