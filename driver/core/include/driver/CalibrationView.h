#pragma once
// What the touch pipeline asks of the calibration: the point mapping, the
// camera orientation, the monitor it was loaded for and the board keys. The
// worker wraps the model snapshot in force for one record in a
// CalibrationModelView; tests give the pipeline a simpler mapping.
#include "driver/Calibration.h"
#include "driver/Desktop.h"

namespace driver {

class CalibrationView {
public:
    virtual ~CalibrationView() = default;

    // Camera units in, screen pixels out in place; false when the point lies
    // in no calibrated cell or off the screen.
    virtual bool MapPoint(Point& point) const = 0;
    virtual int Upright() const = 0;
    // W x H of the board's monitor, in which mapped points are counted.
    virtual ScreenSize Screen() const = 0;
    // That monitor: what the outputs convert the board's pixels with.
    virtual const BoardScreen& Board() const = 0;
    virtual Point KeyPoint(int n) const = 0;
    // False for a key point that never hits (read outside the camera's range).
    virtual bool KeyUsable(int n) const = 0;
    virtual int KeyTolerance() const = 0;
};

class CalibrationModelView final : public CalibrationView {
public:
    explicit CalibrationModelView(const CCalibration& model)
        : model_(model)
    {}

    bool MapPoint(Point& point) const override { return model_.MapPoint(point); }
    int Upright() const override { return model_.Upright(); }
    ScreenSize Screen() const override { return {model_.ScreenWidth(), model_.ScreenHeight()}; }
    const BoardScreen& Board() const override { return model_.Board(); }
    Point KeyPoint(int n) const override { return model_.KeyPoint(n); }
    bool KeyUsable(int n) const override { return model_.KeyUsable(n); }
    int KeyTolerance() const override { return model_.KeyTolerance(); }

private:
    const CCalibration& model_;
};

} // namespace driver
