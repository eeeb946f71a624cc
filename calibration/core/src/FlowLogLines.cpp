#include "calibration/FlowLogLines.h"

#include "calibration/FlowScreen.h"

#include <cmath>

namespace calibration {
namespace {

std::string Pixels(double px)
{
    return std::isfinite(px) ? FormatPixels(px) + " px" : std::string("off the screen");
}

std::string Seconds(std::uint32_t ms)
{
    return FormatPixels(ms / 1000.0) + " s";
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
    if (flow.Stage() == FlowStage::Untrusted)
        return "Confirming touch of the automatic calibration: " + Pixels(flow.UntrustedErrorPx().value_or(INFINITY)) +
               ": not trusted; " + flow.SettingsPath() + " is back as it was.";
    if (flow.Automatic() && !flow.CheckOnly()) {
        const auto errors = flow.CheckErrors();
        const std::string error = !errors.empty() && errors.front() ? Pixels(*errors.front()) : "not taken";
        return "Confirming touch of the automatic calibration: " + error + ": " + Name(flow.Verdict()) + ".";
    }
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

std::string CameraLine(const CalibrationFlow& flow)
{
    const CameraMeasurement* camera = flow.Measurement();
    if (!camera) return "No camera measurement.";
    const std::uint32_t ms = flow.CameraMeasuredMs().value_or(camera->ElapsedMs());
    std::string line = "Camera measurement: " + std::to_string(camera->TargetsDone()) + " of " +
                       std::to_string(camera->TargetCount()) + " targets measured in " + Seconds(ms) + "; ";
    switch (camera->Current()) {
    case CameraMeasurement::State::Complete:
        line += flow.Failure() == FlowFailure::CameraNotSound ? "the points make no sound grid, nothing was written"
                                                              : "complete";
        break;
    case CameraMeasurement::State::Failed:
        line += std::string("failed: ") + Name(camera->Problem());
        if (camera->ProblemTarget() >= 0) line += " (target " + std::to_string(camera->ProblemTarget() + 1) + ")";
        line += ", nothing was written";
        break;
    case CameraMeasurement::State::Cancelled: line += "stopped, nothing was written"; break;
    case CameraMeasurement::State::Measuring: line += "still measuring"; break;
    }
    return line + ".";
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
