#pragma once
// The smoothing of one contact, from its press to its release: one stage per
// pointer (mouse, touch socket) and per tracked contact, made by
// SmoothingFactory.h from [Filter] and restarted at every press.
//
// Implementations: the fixed blend (FixedBlend.h), the adaptive chain
// (PointFilter.h) and, for the tracked contacts in fixed mode, none at all.
//
// Units: a stage smooths in camera units (3200 x 2400 over the camera's
// picture), the units of the adaptive chain's distances and speeds. A caller
// whose points are in another unit says at Start how many camera units one
// of its units is on each axis: the touch socket's points are screen pixels,
// taken as if the camera's picture spanned the screen (PixelUnit). The
// adaptive chain scales the points it takes and scales back the points it
// shows; the fixed blend is linear, the same in every unit, and takes the
// points as they come, so no scaling rounds them.
//
// Time is the records' clock in milliseconds: each sample is one camera
// frame, whatever the worker's polls did in between.
#include "driver/Geometry.h"

#include <cstdint>

namespace driver {

// Camera units in one unit of the caller's points, per axis.
struct PointUnit {
    double cameraX = 1;
    double cameraY = 1;
};

inline constexpr PointUnit kCameraUnit{};

// A screen pixel of `screen` as a share of the camera's picture spanning it
// (camera units where the screen has no size).
PointUnit PixelUnit(ScreenSize screen);

class SmoothingStage {
public:
    virtual ~SmoothingStage() = default;

    // A contact starts at `first`, its press, which is shown as it is (the
    // caller keeps it as the contact's point).
    virtual void Start(const Point& first, std::uint32_t now, PointUnit unit) = 0;
    // The contact's next sample: true with the point to show in `shown`, or
    // false, leaving `shown` alone, while the stage holds the sample back
    // (nothing moves for it).
    virtual bool Next(const Point& sample, std::uint32_t now, Point& shown) = 0;
};

} // namespace driver
