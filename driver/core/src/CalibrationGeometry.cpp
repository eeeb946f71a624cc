#include "driver/Calibration.h"
#include "driver/LinearSystem.h"
#include "driver/ScreenGrid.h"
#include "driver/Truncate.h"

#include <cmath>
#include <string>

namespace driver {
namespace {

constexpr double kAreaWideningX = 2.3;
constexpr double kAreaWideningY = 2.5;
constexpr double kAreaClampRight = 3190;
constexpr double kAreaClampBottom = 2390;
constexpr double kBorderNear = 0;
constexpr double kBorderFar = 65535;

std::string AreaText(double cameraValue)
{
    return std::to_string(TruncateToInt(cameraValue / 10 + 0.5));
}

// Every start and any program's reload request load the calibration: the
// user's file is written only where a value changed, so a crash or a power
// cut during a load finds nothing being rewritten. The file ends up as a
// rewrite of every key would leave it.
void WriteIfDifferent(common::Profile& settings, const char* key, const std::string& value)
{
    // No value read from a line can hold a line break: the key is missing.
    constexpr const char* kMissing = "\n";
    if (settings.ReadString("BoardArea", key, kMissing) != value) settings.WriteString("BoardArea", key, value);
}

} // namespace

void CCalibration::BuildScreenGrid()
{
    for (int i = 0; i < wdot_; ++i) {
        for (int j = 0; j < hdot_; ++j) {
            const Point p = ScreenGridPoint(i, j, wdot_, hdot_, screenWidth_, screenHeight_);
            screenX_[i][j] = p.x;
            screenY_[i][j] = p.y;
        }
    }
}

// On the points as read: a camera turned upside down sees the first column
// on the right and the first row at the bottom.
void CCalibration::WriteBoardArea(common::Profile& settings)
{
    const int lastColumn = wdot_ - 1;
    const int lastRow = hdot_ - 1;

    double x0, x1;
    if (dotX_[lastColumn][lastRow] < dotX_[0][0]) {
        x0 = 0;
        x1 = kBorderFar;
        for (int j = 0; j < hdot_; ++j) {
            if (dotX_[0][j] > x0) x0 = dotX_[0][j];
            if (dotX_[lastColumn][j] < x1) x1 = dotX_[lastColumn][j];
        }
    } else {
        x0 = kBorderFar;
        x1 = 0;
        for (int j = 0; j < hdot_; ++j) {
            if (dotX_[0][j] < x0) x0 = dotX_[0][j];
            if (dotX_[lastColumn][j] > x1) x1 = dotX_[lastColumn][j];
        }
    }

    double y0, y1;
    if (dotY_[lastColumn][lastRow] < dotY_[0][0]) {
        y0 = 0;
        y1 = kBorderFar;
        for (int i = 0; i < wdot_; ++i) {
            if (dotY_[i][0] > y0) y0 = dotY_[i][0];
            if (dotY_[i][lastRow] < y1) y1 = dotY_[i][lastRow];
        }
    } else {
        y0 = kBorderFar;
        y1 = 0;
        for (int i = 0; i < wdot_; ++i) {
            if (dotY_[i][0] < y0) y0 = dotY_[i][0];
            if (dotY_[i][lastRow] > y1) y1 = dotY_[i][lastRow];
        }
    }
    area_ = {x0, y0, x1, y1};

    // |x0 - x1| / kGridSpan * kScreenMargin is the camera size of one screen
    // margin.
    const double my = std::fabs(y0 - y1) / kGridSpan * kScreenMargin * kAreaWideningY;
    const double mx = std::fabs(x0 - x1) / kGridSpan * kScreenMargin * kAreaWideningX;

    double left, right, top, bottom;
    if (x1 < x0) {
        right = x0 + mx;
        left = x1 - mx;
    } else {
        left = x0 - mx;
        right = x1 + mx;
    }
    if (y1 > y0) {
        top = y0 - my;
        bottom = y1 + my;
    } else {
        bottom = y0 + my;
        top = y1 - my;
    }
    if (top < 0) top = 0;
    if (bottom >= kCameraHeight) bottom = kAreaClampBottom;
    if (left < 0) left = 0;
    if (right >= kCameraWidth) right = kAreaClampRight;

    WriteIfDifferent(settings, "ptArea.left", AreaText(left));
    WriteIfDifferent(settings, "ptArea.right", AreaText(right));
    WriteIfDifferent(settings, "ptArea.top", AreaText(top));
    WriteIfDifferent(settings, "ptArea.bottom", AreaText(bottom));
}

void CCalibration::TurnIfUpsideDown()
{
    upright_ = dotX_[wdot_ - 1][hdot_ - 1] < dotX_[0][0] ? 0 : 1;
    if (upright_) return;
    for (int i = 0; i < wdot_; ++i) {
        for (int j = 0; j < hdot_; ++j) {
            const Point turned = TurnedUpsideDown({dotX_[i][j], dotY_[i][j]});
            dotX_[i][j] = turned.x;
            dotY_[i][j] = turned.y;
        }
    }
}

void CCalibration::SolveCellTransforms()
{
    int n = 0;
    for (int i = 0; i < wdot_ - 1; ++i) {
        for (int j = 0; j < hdot_ - 1; ++j, ++n) {
            const int columns[4] = {i, i + 1, i + 1, i};
            const int rows[4] = {j, j, j + 1, j + 1};
            double matrix[8][8];
            double rhs[8];
            for (int k = 0; k < 4; ++k) {
                const double x = dotX_[columns[k]][rows[k]];
                const double y = dotY_[columns[k]][rows[k]];
                const double sx = screenX_[columns[k]][rows[k]];
                const double sy = screenY_[columns[k]][rows[k]];
                const double xRow[8] = {x, y, 1, 0, 0, 0, -sx * x, -sx * y};
                const double yRow[8] = {0, 0, 0, x, y, 1, -sy * x, -sy * y};
                for (int c = 0; c < 8; ++c) {
                    matrix[k][c] = xRow[c];
                    matrix[k + 4][c] = yRow[c];
                }
                rhs[k] = sx;
                rhs[k + 4] = sy;
            }
            SolveLinearSystem(&matrix[0][0], 8, rhs);
            bool finite = true;
            for (int c = 0; c < 8; ++c) {
                dotCell_[n][c] = rhs[c];
                finite = finite && std::isfinite(rhs[c]);
            }
            cellSolved_[n] = finite;
        }
    }
}

// The transforms keep the values solved from the measured points, so a
// point beyond the measured grid falls into an edge cell and is extrapolated.
void CCalibration::PushBorder()
{
    for (int i = 0; i < wdot_; ++i) {
        dotY_[i][0] = kBorderNear;
        dotY_[i][hdot_ - 1] = kBorderFar;
    }
    for (int j = 0; j < hdot_; ++j) {
        dotX_[0][j] = kBorderNear;
        dotX_[wdot_ - 1][j] = kBorderFar;
    }
}

// A cell whose diagonal has no extent in x or y, or whose transform could not
// be solved, cannot map the screen it was measured for.
bool CCalibration::HasDegenerateCell() const
{
    bool degenerate = false;
    int n = 0;
    for (int i = 0; i < wdot_ - 1; ++i) {
        for (int j = 0; j < hdot_ - 1; ++j, ++n) {
            if (dotX_[i + 1][j + 1] - dotX_[i][j] == 0 || dotY_[i + 1][j + 1] - dotY_[i][j] == 0) degenerate = true;
            if (!cellSolved_[n]) degenerate = true;
        }
    }
    return degenerate;
}

void CCalibration::BuildCellRegions()
{
    int n = 0;
    for (int i = 0; i < wdot_ - 1; ++i) {
        for (int j = 0; j < hdot_ - 1; ++j, ++n) {
            const double x[4] = {dotX_[i][j], dotX_[i + 1][j], dotX_[i + 1][j + 1], dotX_[i][j + 1]};
            const double y[4] = {dotY_[i][j], dotY_[i + 1][j], dotY_[i + 1][j + 1], dotY_[i][j + 1]};
            const IntQuad quad = MakeIntQuad(x, y);
            CellBounds bounds{quad.x[0], quad.y[0], quad.x[0], quad.y[0]};
            for (int k = 1; k < 4; ++k) {
                if (quad.x[k] < bounds.left) bounds.left = quad.x[k];
                if (quad.x[k] > bounds.right) bounds.right = quad.x[k];
                if (quad.y[k] < bounds.top) bounds.top = quad.y[k];
                if (quad.y[k] > bounds.bottom) bounds.bottom = quad.y[k];
            }
            cellQuads_[n] = quad;
            cellBounds_[n] = bounds;
        }
    }
}

} // namespace driver
