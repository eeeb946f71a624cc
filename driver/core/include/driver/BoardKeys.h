#pragma once
// The 14 keys printed on the board. A press on a key runs the key's action
// instead of becoming a mouse press: a command to the drawing application,
// a counted press that the supervision timer resolves later, or the start
// of the calibration program. Each key exists at two places on the board;
// the calibration carries both.
#include "common/BoardCodes.h"
#include "common/CalibrationProgram.h"
#include "common/Profile.h"
#include "driver/BoardKeyTest.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/FaultLog.h"

namespace driver {

inline constexpr int kBoardKeyCount = code::kBoardKeyCount;

// Which key a screen point hits: keys are tried in order, each at its first
// place before its second, so where two keys overlap the lower one wins.
// -1 when it hits none.
int BoardKeyAt(const Point& screenPoint, const CalibrationView& calibration);
// Whether the point hits key place `place` (0..27) within the tolerance; a
// place whose point lies outside the camera's range never hits.
bool HitsKeyPlace(const Point& screenPoint, const CalibrationView& calibration, int place);

class BoardKeys final : public BoardKeyTest {
public:
    // `settings` is the settings file, where the calibration key asks the
    // calibration program for a fresh orientation; `calibrationProgram` says
    // which of the two calibration programs the key prefers
    // (common/CalibrationProgram.h); `faults` hears of a key that found
    // neither.
    BoardKeys(Desktop& desktop, DriverState& state, common::Profile& settings, FaultLog& faults,
              common::CalibrationProgramSettings calibrationProgram = {})
        : desktop_(desktop),
          state_(state),
          settings_(settings),
          faults_(faults),
          calibrationProgram_(calibrationProgram)
    {}

    bool TryBoardKey(const Point& screenPoint, const CalibrationView& calibration) override;

private:
    void PostCommand(int code);
    void CountPress(int countedKey, const Point& screenPoint, const CalibrationView& calibration);
    void StartCalibration();

    Desktop& desktop_;
    DriverState& state_;
    common::Profile& settings_;
    FaultLog& faults_;
    const common::CalibrationProgramSettings calibrationProgram_;
};

} // namespace driver
