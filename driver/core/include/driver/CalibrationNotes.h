#pragma once
// What a calibration load found wrong, for the support log: why the load
// failed, key points that will never hit, a key tolerance kept in range.
// None of these is a reason of its own to fail the load. A failed load is
// also reported for the event log.
#include "driver/Calibration.h"
#include "driver/FaultLog.h"

namespace driver {

void NoteLoadProblems(const CCalibration& model, FaultLog& faults);

} // namespace driver
