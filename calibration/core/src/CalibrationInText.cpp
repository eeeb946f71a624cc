#include "calibration/CalibrationInText.h"

#include "common/DecimalNumber.h"
#include "common/TextProfile.h"

#include <string>

namespace calibration {
namespace {

double ReadNumber(const common::Profile& settings, const std::string& key)
{
    double value = 0;
    // As the driver's load: a malformed number counts as what it parses to.
    common::ParseNumber(settings.ReadString("coordinate", key, "0").c_str(), value);
    return value;
}

std::string DotKey(int column, int row, char axis)
{
    return "dot(" + std::to_string(column) + "," + std::to_string(row) + ")." + axis;
}

} // namespace

bool UseKeyIn(std::string_view text)
{
    return common::TextProfile(text).ReadInt("hardware", "USE_KEY", 0) != 0;
}

CalibrationInText ReadCalibrationInText(std::string_view text, ScreenSize screen)
{
    common::TextProfile settings(text);
    CalibrationInText found;
    found.useKey = UseKeyIn(text);
    // The driver's defaults for a missing size.
    const GridSize grid{settings.ReadInt("coordinate", "wdot", 3), settings.ReadInt("coordinate", "hdot", 3)};
    found.grid.grid = grid;
    if (!IsValidGrid(grid)) return found;
    const TargetLayout layout(grid, screen);
    for (int t = 0; t < layout.Count(); ++t) {
        const GridPoint at = layout.GridPointOf(t);
        found.grid.camera.push_back(
            {ReadNumber(settings, DotKey(at.column, at.row, 'x')), ReadNumber(settings, DotKey(at.column, at.row, 'y'))});
    }
    auto model = std::make_shared<driver::CCalibration>();
    if (model->Load(settings, driver::BoardScreen::PrimaryOnly(screen))) found.model = std::move(model);
    return found;
}

} // namespace calibration
