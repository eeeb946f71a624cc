#include "calibration/FlowLogLines.h"

#include "calibration/FlowScreen.h"

#include <cmath>

namespace calibration {
namespace {

std::string Pixels(double px)
{
    return std::isfinite(px) ? FormatPixels(px) + " px" : std::string("off the screen");
}

std::string GridName(GridSize grid)
{
    return std::to_string(grid.columns) + " x " + std::to_string(grid.rows);
}

std::string WhatIsLeft(const CalibrationFlow& flow)
{
    if (flow.KeysSaved()) return "the new grid and board keys are kept";
    if (flow.GridSaved()) return "the new grid is kept";
    return "nothing was written";
}

} // namespace

std::string SavedLine(const CalibrationFlow& flow)
{
    if (flow.SavingKeys() || flow.KeysSaved())
        return "Board keys saved: printed copy " + std::to_string(flow.KeyCopy() + 1) + " into " +
               flow.SettingsPath() + ".";
    std::string line = "Calibration saved: grid " + GridName(flow.Grid().grid) + " into " + flow.SettingsPath();
    if (const auto worst = flow.WorstTargetErrorPx()) line += "; worst target " + Pixels(*worst) + " from its place";
    return line + ".";
}

std::string CheckLine(const CalibrationFlow& flow)
{
    std::string line = flow.CheckOnly() ? "Check of the calibration in " + flow.SettingsPath() + ":"
                                        : std::string("Check of the new calibration:");
    const auto errors = flow.CheckErrors();
    for (std::size_t place = 0; place < errors.size(); ++place) {
        line += place == 0 ? " " : ", ";
        line += errors[place] ? Pixels(*errors[place]) : std::string("not taken");
    }
    line += "; worst " + Pixels(flow.WorstCheckErrorPx()) + ": " + Name(flow.Verdict()) + ".";
    return line;
}

common::CalibrationCheckRecord CheckRecord(const CalibrationFlow& flow, const std::string& checkedAt)
{
    common::CalibrationCheckRecord record;
    record.verdict = flow.Verdict() == AccuracyCheck::Verdict::Good ? "good" : "recalibrate";
    const double worst = flow.WorstCheckErrorPx();
    record.worstPx = std::isfinite(worst) ? FormatPixels(worst) : std::string("off");
    record.checkedAt = checkedAt;
    return record;
}

std::string EndedEarlyLine(const CalibrationFlow& flow)
{
    if (flow.Stage() == FlowStage::Failed) {
        std::string line = std::string("Calibration failed: ") + Name(flow.Failure());
        if (flow.Failure() == FlowFailure::WriteFailed) line += std::string(" (") + Name(flow.LastWrite()) + ")";
        return line + " (" + flow.SettingsPath() + "); " + WhatIsLeft(flow) + ".";
    }
    return std::string("Calibration stopped in ") + Name(flow.CancelledIn()) + " by " + Name(flow.Cause()) + "; " +
           WhatIsLeft(flow) + ".";
}

} // namespace calibration
