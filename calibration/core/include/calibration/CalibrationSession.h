#pragma once
// Measuring the calibration grid: the targets of a TargetLayout touched in
// the file's order, each touch judged against where the points measured so
// far say that target must be, so that a touch of the wrong target or a
// hand resting on the board is refused instead of folding the grid.
//
// The points are kept as the camera reports them, never turned: the settings
// file holds them so, and the driver decides from them whether the camera
// hangs upside down.
#include "calibration/TargetLayout.h"
#include "calibration/TargetPrediction.h"
#include "calibration/TargetRun.h"

#include <cstdint>
#include <vector>

namespace calibration {

// A grid as measured: camera points by target index.
struct MeasuredGrid {
    GridSize grid;
    std::vector<Point> camera;
};

class CalibrationSession {
public:
    // A touch may land this many grid steps from where the points taken so
    // far say its target is, and still count for it: halfway to the
    // neighbouring target, where the two are told apart. Predicting from
    // the points taken so far (often beyond them, for the next column)
    // misses a target by at most 0.28 steps behind a wide-angle lens of
    // k1 = -0.2, and puts its nearest neighbour 0.77 steps away or more
    // (the miss and nbr figures of calibration_accuracy_bench): no real lens
    // is refused, and a touch of the neighbour always is.
    static constexpr double kPredictionReach = 0.5;
    // Before any prediction can be made: two targets are never this close
    // in the camera's picture (camera units; neighbours on a 10 x 10 grid
    // stand well over 100 apart), a second touch of the same spot always is.
    static constexpr double kMinTargetApart = 60;

    CalibrationSession(const TargetLayout& layout, std::uint32_t nowMs);

    TargetRun::Step OnSample(const PenSample& sample) { return run_.OnSample(sample); }
    TargetRun::Step OnTick(std::uint32_t nowMs) { return run_.OnTick(nowMs); }
    bool Undo(std::uint32_t nowMs) { return run_.Undo(nowMs); }
    void Retake(const std::vector<int>& targets, std::uint32_t nowMs) { run_.Retake(targets, nowMs); }
    void Cancel() { run_.Cancel(); }

    const TargetLayout& Layout() const { return layout_; }
    const TargetRun& Run() const { return run_; }
    // The grid as measured; complete only in state Complete.
    MeasuredGrid Result() const;

    // What a touch of `target` is judged against, given the points taken.
    static Expectation ExpectationFor(const TargetLayout& layout, int target, const GridPoints& taken);

private:
    TargetLayout layout_;
    TargetRun run_;
};

} // namespace calibration
