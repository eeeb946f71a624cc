#pragma once
// The board-key test offered every new press of either pointer. Until the
// board keys are built, NoBoardKeys answers "no key", which is what the
// driver does with board keys disabled.
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
