#pragma once
// The support log's lines of a calibration run, for the school's IT staff
// reading it afterwards: what was saved where, what each check found, and
// why a run ended without its check.
#include "calibration/CalibrationFlow.h"
#include "common/CalibrationCheckRecord.h"

#include <string>

namespace calibration {

// After a Save that wrote: the grid (or the board keys), the file and how
// far the measured targets map from their places.
std::string SavedLine(const CalibrationFlow& flow);
// In Done: each place's error and the verdict; in Untrusted, the confirming
// touch's error and that the file is back as it was.
std::string CheckLine(const CalibrationFlow& flow);
// Once the camera measured (any stage after Camera): how long it took and
// what came of it.
std::string CameraLine(const CalibrationFlow& flow);
// In Cancelled or Failed: why, and what the file holds now.
std::string EndedEarlyLine(const CalibrationFlow& flow);

// In Done: the record of the check the settings file keeps for the board
// check, made at local time `checkedAt`. A worst error the model could not
// place on the screen is written as "off".
common::CalibrationCheckRecord CheckRecord(const CalibrationFlow& flow, const std::string& checkedAt);

} // namespace calibration
