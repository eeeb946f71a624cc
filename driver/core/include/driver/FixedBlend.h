#pragma once
// The default smoothing of the mouse and the touch socket: each move goes
// 0.6 of the way from the point shown last to the new sample. It holds
// nothing back, and being linear it is the same in every unit.
#include "driver/SmoothingStage.h"

namespace driver {

class FixedBlend final : public SmoothingStage {
public:
    static constexpr double kNewWeight = 0.6;
    static constexpr double kLastWeight = 0.4;

    void Start(const Point& first, std::uint32_t now, PointUnit unit) override;
    bool Next(const Point& sample, std::uint32_t now, Point& shown) override;

private:
    Point shown_;
};

} // namespace driver
