#include "driver/Calibration.h"
#include "driver/Truncate.h"

#include "common/DecimalNumber.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace driver {
namespace {

const char kCoordinateSection[] = "coordinate";
const char kHardwareSection[] = "hardware";
const char kButtonSection[] = "Button";

int ClampGridSize(int size)
{
    return std::clamp(size, CCalibration::kMinGrid, CCalibration::kMaxGrid);
}

std::string GridKey(const char* name, int column, int row, char axis)
{
    char key[64];
    std::snprintf(key, sizeof key, "%s(%d,%d).%c", name, column, row, axis);
    return key;
}

double ReadNumber(const common::Profile& settings, const char* section, const std::string& key)
{
    double value = 0;
    // A malformed number still yields the prefix it starts with.
    common::ParseNumber(settings.ReadString(section, key, "0").c_str(), value);
    return value;
}

} // namespace

bool CCalibration::Load(common::Profile& settings, const BoardScreen& board)
{
    *this = CCalibration();
    ReadGridSizes(settings);
    board_ = board;
    screenWidth_ = board.Size().width;
    screenHeight_ = board.Size().height;
    BuildScreenGrid();
    ReadGrids(settings);
    WriteBoardArea(settings);
    TurnIfUpsideDown();
    SolveCellTransforms();
    PushBorder();
    if (gridSizeClamped_) {
        loadProblem_ = "the grid size (wdot, hdot) lies outside 2..10";
    } else if (HasDegenerateCell()) {
        loadProblem_ = "the calibration grid has a cell without area or one that cannot be solved";
    }
    const bool sound = loadProblem_ == nullptr;
    BuildCellRegions();
    useKey_ = settings.ReadInt(kHardwareSection, "USE_KEY", 0);
    ReadKeyPoints(settings);
    ComputeKeyTolerance();
    return sound;
}

void CCalibration::ReadGridSizes(const common::Profile& settings)
{
    twdot_ = ClampGridSize(settings.ReadInt(kCoordinateSection, "Twdot", 10));
    thdot_ = ClampGridSize(settings.ReadInt(kCoordinateSection, "Thdot", 10));
    const int columns = settings.ReadInt(kCoordinateSection, "wdot", 3);
    const int rows = settings.ReadInt(kCoordinateSection, "hdot", 3);
    wdot_ = ClampGridSize(columns);
    hdot_ = ClampGridSize(rows);
    gridSizeClamped_ = wdot_ != columns || hdot_ != rows;
}

void CCalibration::ReadGrids(const common::Profile& settings)
{
    for (int i = 0; i < twdot_; ++i) {
        for (int j = 0; j < thdot_; ++j) {
            tdotX_[i][j] = ReadNumber(settings, kCoordinateSection, GridKey("Tdot", i, j, 'x'));
            tdotY_[i][j] = ReadNumber(settings, kCoordinateSection, GridKey("Tdot", i, j, 'y'));
        }
    }
    for (int i = 0; i < wdot_; ++i) {
        for (int j = 0; j < hdot_; ++j) {
            dotX_[i][j] = ReadNumber(settings, kCoordinateSection, GridKey("dot", i, j, 'x'));
            dotY_[i][j] = ReadNumber(settings, kCoordinateSection, GridKey("dot", i, j, 'y'));
        }
    }
}

void CCalibration::ReadKeyPoints(const common::Profile& settings)
{
    for (int n = 0; n < kKeyPoints; ++n) {
        const std::string name = "Rpt" + std::to_string(n);
        Point& key = keyPoints_[n];
        key.x = ReadNumber(settings, kButtonSection, name + ".x");
        key.y = ReadNumber(settings, kButtonSection, name + ".y");
        // Written to keep NaN out: it fails every comparison.
        keyUsable_[n] = key.x >= 0 && key.x <= kCameraWidth && key.y >= 0 && key.y <= kCameraHeight;
        MapPoint(key);
    }
}

void CCalibration::ComputeKeyTolerance()
{
    const auto& k = keyPoints_;
    const double heights =
        (k[1].y - k[0].y) + (k[12].y - k[11].y) + (k[6].y - k[5].y) + (k[16].y - k[15].y) + (k[27].y - k[26].y);
    keyToleranceAsComputed_ = TruncateToInt(heights / 9.0);
    keyTolerance_ = std::clamp(keyToleranceAsComputed_, 0, MaxKeyTolerance());
}

} // namespace driver
