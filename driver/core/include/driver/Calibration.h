#pragma once
// The calibration model: a grid of up to 10 x 10 points measured by the
// camera, one projective transform per grid cell, the board area, the camera
// orientation and the board's key points. Built from WBInit.ini by Load and
// then only read; a reload builds a new model (see CalibrationStore).
#include "common/Profile.h"
#include "driver/BoardScreen.h"
#include "driver/Geometry.h"
#include "driver/QuadRegion.h"

#include <array>
#include <cstdint>

namespace driver {

class CCalibration {
public:
    static constexpr int kMinGrid = 2;
    static constexpr int kMaxGrid = 10;
    static constexpr int kMaxCells = (kMaxGrid - 1) * (kMaxGrid - 1);
    static constexpr int kKeyPoints = 28;
    static constexpr double kCameraWidth = 3200;
    static constexpr double kCameraHeight = 2400;

    // Reads sections coordinate, hardware and Button of `settings`, rebuilds
    // the whole model for the board's monitor and writes the BoardArea
    // section back. The monitor's size is the screen the grid is built for,
    // and the model keeps the monitor, so that every output converts the
    // model's pixels for the monitor it was loaded for. False when the grid
    // holds a degenerate cell (the model is still usable as computed).
    //
    // Also false, with the model built all the same, when:
    // - "wdot" or "hdot" lies outside 2..10: the size is clamped into that
    //   range, so the model never indexes past its arrays or divides by zero,
    //   but a clamped grid does not describe the screen as measured;
    // - a cell's transform could not be solved (singular system, or points
    //   that are not finite numbers): that cell maps nothing.
    // "Twdot" and "Thdot" are clamped into 2..10 silently, as nothing is
    // derived from the second grid.
    bool Load(common::Profile& settings, const BoardScreen& board);

    // Maps a camera point (already turned when Upright() is 0) to screen
    // pixels in place. False when the point lies in no cell (point unchanged)
    // or maps off the screen (point holds the mapped values). A point whose
    // cell has no usable transform, or whose mapping is not a finite number,
    // also gives false and stays unchanged.
    bool MapPoint(Point& point) const;

    // The first cell, in scan order (column outer, row inner), whose
    // quadrilateral holds the point truncated toward zero; -1 when none does
    // or the point is not finite.
    int CellAt(const Point& point) const;

    // The mapping of MapPoint through the transform of `cell`.
    bool MapInCell(int cell, Point& point) const;

    // Why Load answered false: a text for the support log, or null after a
    // sound load.
    const char* LoadProblem() const { return loadProblem_; }

    int GetUseKey() const { return useKey_; }
    void SetUseKey(int value) { useKey_ = value; }

    int Upright() const { return upright_; }
    // The monitor this model maps to.
    const BoardScreen& Board() const { return board_; }
    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }
    const Point& KeyPoint(int n) const { return keyPoints_[n]; }
    // False for a key point read outside the camera's range (0..3200 x
    // 0..2400): a hand edit or a broken calibration program, never a place
    // on the board. Such a point never hits.
    bool KeyUsable(int n) const { return keyUsable_[n]; }
    // The key tolerance in pixels, within 0..MaxKeyTolerance(): one wild key
    // point must not make every touch a key.
    int KeyTolerance() const { return keyTolerance_; }
    // The tolerance the key points gave before it was kept within range.
    int KeyToleranceAsComputed() const { return keyToleranceAsComputed_; }
    // Adjacent keys along a board edge of H pixels stand about H / 14
    // apart and the tolerance comes to about half of that, so a sixteenth of
    // the screen height is comfortably above any real tolerance.
    int MaxKeyTolerance() const { return screenHeight_ / 16; }

    int GridColumns() const { return wdot_; }
    int GridRows() const { return hdot_; }
    int SecondGridColumns() const { return twdot_; }
    int SecondGridRows() const { return thdot_; }
    int CellCount() const { return (wdot_ - 1) * (hdot_ - 1); }
    // Calibration point after loading (turned, border pushed); camera space.
    Point DotPoint(int column, int row) const { return {dotX_[column][row], dotY_[column][row]}; }
    // Screen position of a calibration point.
    Point ScreenPoint(int column, int row) const { return {screenX_[column][row], screenY_[column][row]}; }
    // Coefficients a..h of a cell's transform.
    const double* CellTransform(int cell) const { return dotCell_[cell]; }
    // Camera-space extremes of the grid: column-0 x, row-0 y, last-column x,
    // last-row y.
    const std::array<double, 4>& Area() const { return area_; }

private:
    // Bounding box of a cell's quadrilateral: a pixel in the region lies in
    // left <= x < right and top <= y < bottom.
    struct CellBounds {
        std::int32_t left, top, right, bottom;
    };

    void ReadGridSizes(const common::Profile& settings);
    void BuildScreenGrid();
    void ReadGrids(const common::Profile& settings);
    void WriteBoardArea(common::Profile& settings);
    void TurnIfUpsideDown();
    void SolveCellTransforms();
    void PushBorder();
    bool HasDegenerateCell() const;
    void BuildCellRegions();
    void ReadKeyPoints(const common::Profile& settings);
    void ComputeKeyTolerance();

    int wdot_ = 3, hdot_ = 3;
    int twdot_ = 10, thdot_ = 10;
    bool gridSizeClamped_ = false;
    double tdotX_[kMaxGrid][kMaxGrid] = {}, tdotY_[kMaxGrid][kMaxGrid] = {};
    double dotX_[kMaxGrid][kMaxGrid] = {}, dotY_[kMaxGrid][kMaxGrid] = {};
    double screenX_[kMaxGrid][kMaxGrid] = {}, screenY_[kMaxGrid][kMaxGrid] = {};
    double dotCell_[kMaxCells][8] = {};
    bool cellSolved_[kMaxCells] = {};
    IntQuad cellQuads_[kMaxCells] = {};
    CellBounds cellBounds_[kMaxCells] = {};
    std::array<double, 4> area_ = {};
    int useKey_ = 0;
    int screenWidth_ = 0, screenHeight_ = 0;
    BoardScreen board_;
    int upright_ = 1;
    std::array<Point, kKeyPoints> keyPoints_ = {};
    std::array<bool, kKeyPoints> keyUsable_ = {};
    int keyTolerance_ = 0;
    int keyToleranceAsComputed_ = 0;
    const char* loadProblem_ = nullptr;
};

// The 180-degree turn of camera space: what the driver does to the grid and
// to every contact when the camera hangs upside down.
inline Point TurnedUpsideDown(const Point& point)
{
    return {CCalibration::kCameraWidth - point.x, CCalibration::kCameraHeight - point.y};
}

} // namespace driver
