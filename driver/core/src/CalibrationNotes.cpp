#include "driver/CalibrationNotes.h"

#include "common/AdminEvents.h"

namespace driver {

void NoteLoadProblems(const CCalibration& model, FaultLog& faults)
{
    if (const char* problem = model.LoadProblem()) {
        faults.NoteF("The calibration in WBInit.ini could not be used as measured: %s.", problem);
        faults.Report(common::CalibrationUnusableEvent(problem));
    }
    for (int n = 0; n < CCalibration::kKeyPoints; ++n) {
        if (!model.KeyUsable(n)) {
            faults.NoteF("Board key point Rpt%d lies outside the camera's range; that key place is ignored.", n);
        }
    }
    if (model.KeyTolerance() != model.KeyToleranceAsComputed()) {
        faults.NoteF("The board keys' tolerance of %d pixels was kept to %d (range 0..%d).",
                     model.KeyToleranceAsComputed(), model.KeyTolerance(), model.MaxKeyTolerance());
    }
}

} // namespace driver
