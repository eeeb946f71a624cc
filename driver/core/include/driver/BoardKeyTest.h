#pragma once
// The board-key test offered every new press of either pointer while board
// keys are enabled. NoBoardKeys answers "no key" for tests of the pointer
// path that leave the keys out.
#include "driver/CalibrationView.h"

namespace driver {

class BoardKeyTest {
public:
    virtual ~BoardKeyTest() = default;

    // `screenPoint` in screen pixels. True when it hit a key, whether or not
    // the key's action ran; the caller then suppresses the press.
    virtual bool TryBoardKey(const Point& screenPoint, const CalibrationView& calibration) = 0;
};

class NoBoardKeys final : public BoardKeyTest {
public:
    bool TryBoardKey(const Point&, const CalibrationView&) override { return false; }
};

} // namespace driver
