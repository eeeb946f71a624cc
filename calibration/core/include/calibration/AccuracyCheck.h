#pragma once
// The accuracy check after a calibration: five places the calibration did
// not measure (or only the first of them, to confirm an automatic
// calibration with a single touch) are touched, each taken as a grid target is, and mapped
// through the driver's own model of the new settings (as a contact is, not
// through the mouse). The error is the distance from the place in pixels of
// the board's monitor; the verdict is Good when every place is within
// kRecalibrateAbovePx, else Recalibrate.
//
// The places, in the order shown:
// - the centre of the board, where most writing happens; when the grid has
//   a point there, half a column to its right, between two measured points;
// - one place in each corner cell, half a cell in from the outer grid points
//   (a quarter of the way on an axis with one cell only): the lens bends
//   the picture most towards the corners, and the middle of a cell is where
//   a grid that misses the bend is farthest off.
#include "calibration/CalibrationSession.h"
#include "calibration/TargetLayout.h"
#include "calibration/TargetRun.h"

#include "driver/Calibration.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace calibration {

inline constexpr int kCheckPlaces = 5;

// Grid coordinates (fractional column in x, row in y) of the five places.
std::array<Point, kCheckPlaces> CheckGridPlaces(GridSize grid);

class AccuracyCheck {
public:
    enum class Verdict { Pending, Good, Recalibrate };

    // Chosen from calibration_accuracy_bench: a sound calibration on the
    // default 5 x 5 grid, with touch noise, misses by 5.5 px at worst
    // anywhere on a 1024 x 768 board behind a wide-angle lens (k1 = -0.15),
    // and its five places by 5.3 px at worst; 7 px leaves a teacher's aim
    // some room, while a calibration gone wrong (a moved camera, a bad
    // touch) misses by tens of pixels.
    static constexpr double kRecalibrateAbovePx = 7;

    // `model` is the driver's model of the grid `grid` (WritePlan::model);
    // `places`: the first so many of the five (1..kCheckPlaces).
    AccuracyCheck(const TargetLayout& layout, const MeasuredGrid& grid,
                  std::shared_ptr<const driver::CCalibration> model, std::uint32_t nowMs, int places = kCheckPlaces);

    TargetRun::Step OnSample(const PenSample& sample) { return run_.OnSample(sample); }
    TargetRun::Step OnTick(std::uint32_t nowMs) { return run_.OnTick(nowMs); }
    bool Undo(std::uint32_t nowMs) { return run_.Undo(nowMs); }
    void Cancel() { run_.Cancel(); }

    const TargetRun& Run() const { return run_; }
    int PlaceCount() const { return static_cast<int>(places_.size()); }
    // Where place n is shown, in pixels of the board's monitor.
    Point ScreenPlace(int place) const;
    // The error of a touch at camera point `camera` meant for place n (also
    // one refused as far from it), in pixels; infinite off the screen.
    double ErrorAtPx(int place, Point camera) const;
    // The error at place n in pixels, once it is taken; infinite for a touch
    // the model places on no part of the screen.
    std::optional<double> ErrorPx(int place) const;
    double WorstErrorPx() const;
    Verdict Result() const;

private:
    TargetLayout layout_;
    std::shared_ptr<const driver::CCalibration> model_;
    std::vector<Point> places_;
    TargetRun run_;
};

const char* Name(AccuracyCheck::Verdict verdict);

} // namespace calibration
