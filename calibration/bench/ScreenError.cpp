#include "ScreenError.h"

#include <algorithm>

namespace calibration_bench {

void ErrorFigures::Add(double error)
{
    sumSquares += error * error;
    ++count;
    worst = std::max(worst, error);
}

void NoteMappingError(const driver::CCalibration& model, const CameraView& view, int step, ErrorFigures& figures)
{
    for (int y = step / 2; y <= kBoard.height; y += step) {
        for (int x = step / 2; x <= kBoard.width; x += step) {
            const driver::Point screen{static_cast<double>(x), static_cast<double>(y)};
            driver::Point p = view(screen);
            if (model.Upright() == 0) p = driver::TurnedUpsideDown(p);
            const int cell = model.CellAt(p);
            // Off the calibrated screen still counts as the mapping puts it.
            const double error = cell >= 0 && (model.MapInCell(cell, p) || std::isfinite(p.x))
                                     ? std::hypot(p.x - screen.x, p.y - screen.y)
                                     : INFINITY;
            figures.Add(error);
        }
    }
}

} // namespace calibration_bench
