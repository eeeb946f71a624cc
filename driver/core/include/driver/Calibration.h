#pragma once
// The calibration model: a grid of up to 10 x 10 points measured by the
// camera, one projective transform per grid cell, the board area, the camera
// orientation and the board's key points. Built from WBInit.ini by Load and
// then only read; a reload builds a new model (see CalibrationStore).
#include "common/Profile.h"

#include <array>

namespace driver {

struct Point {
    double x = 0;
    double y = 0;
};

class CCalibration {
public:
    static constexpr int kMaxGrid = 10;
    static constexpr int kMaxCells = (kMaxGrid - 1) * (kMaxGrid - 1);
    static constexpr int kKeyPoints = 28;
    static constexpr double kCameraWidth = 3200;
    static constexpr double kCameraHeight = 2400;

    // Reads sections coordinate, hardware and Button of `settings`, rebuilds
    // the whole model for a primary screen of `screenWidth` x `screenHeight`
    // pixels and writes the BoardArea section back. False when the grid holds
    // a degenerate cell (the model is still usable as computed).
    bool Load(common::Profile& settings, int screenWidth, int screenHeight);

    // Maps a camera point (already turned when Upright() is 0) to screen
    // pixels in place. False when the point lies in no cell (point unchanged)
    // or maps off the screen (point holds the mapped values).
    bool MapPoint(Point& point) const;

    int GetUseKey() const { return useKey_; }
    void SetUseKey(int value) { useKey_ = value; }

    int Upright() const { return upright_; }
    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }
    const Point& KeyPoint(int n) const { return keyPoints_[n]; }
    int KeyTolerance() const { return keyTolerance_; }

    int GridColumns() const { return wdot_; }
    int GridRows() const { return hdot_; }
    // Camera-space extremes of the grid: column-0 x, row-0 y, last-column x,
    // last-row y.
    const std::array<double, 4>& Area() const { return area_; }

private:
    int wdot_ = 3, hdot_ = 3;
    int twdot_ = 10, thdot_ = 10;
    double tdotX_[kMaxGrid][kMaxGrid] = {}, tdotY_[kMaxGrid][kMaxGrid] = {};
    double dotX_[kMaxGrid][kMaxGrid] = {}, dotY_[kMaxGrid][kMaxGrid] = {};
    double screenX_[kMaxGrid][kMaxGrid] = {}, screenY_[kMaxGrid][kMaxGrid] = {};
    double dotCell_[kMaxCells][8] = {};
    std::array<double, 4> area_ = {};
    int useKey_ = 0;
    int screenWidth_ = 0, screenHeight_ = 0;
    int upright_ = 1;
    std::array<Point, kKeyPoints> keyPoints_ = {};
    int keyTolerance_ = 0;
};

// Longest decimal floating-point prefix of `text` after blanks and tabs, in
// the C locale. The value is stored in every case; false when it is 0 without
// a leading '0', or when anything but blanks and tabs follows the number.
bool ParseNumber(const char* text, double& value);

// Gauss-Jordan elimination with full pivoting on an n x n system stored row
// by row: on return `rhs` holds the solution and `matrix` the inverse.
void SolveLinearSystem(double* matrix, int n, double* rhs);

} // namespace driver
