#pragma once
// The new text of the settings file from the old one. Only the keys the
// calibration owns change: in [coordinate] "wdot", "hdot" and the grid's
// "dot(i,j).x/.y" (the point keys of an earlier, larger grid go, since they
// no longer belong to any grid); with board keys taught, that copy's
// "Rpt<n>.x/.y" in [Button] and "USE_KEY" in [hardware]. Every other line
// stays as it was. The second grid (Tdot) is left alone: nothing reads it.
#include "calibration/BoardKeySpots.h"
#include "calibration/CalibrationSession.h"

#include <string>
#include <string_view>

namespace calibration {

// A camera coordinate as the settings file holds it: a plain decimal to the
// hundredth of a unit, with '.' whatever the process locale.
std::string FormatCameraNumber(double value);

std::string WithGrid(std::string_view text, const MeasuredGrid& grid);

// The driver maps key points through the turned grid when the camera hangs
// upside down without turning them first, so they are written turned then:
// `cameraUpsideDown` is what the driver's load of the grid decided.
std::string WithBoardKeys(std::string_view text, const TaughtKeys& keys, bool cameraUpsideDown);

} // namespace calibration
