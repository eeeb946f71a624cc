#pragma once
// The one line at the top of the board check: the first thing that keeps the
// board from working, in the order a support call goes through it (the
// driver, the camera service, what the camera sends, the calibration, the
// board's monitor, the last accuracy check), or that the board is ready.
// Worked out from the same facts the other lines show; nothing new is asked.
#include "boardcheck/CheckPage.h"
#include "boardcheck/CheckTexts.h"
#include "boardcheck/StatusPoll.h"

#include <string>

namespace boardcheck {

enum class Verdict {
    DriverNotRunning,
    DriverSilent,
    // The driver has not answered yet, or the frame rate is still being counted.
    Checking,
    ServiceNotRunning,
    ServiceSendsNothing, // no record over the rate's whole span while the service runs
    CalibrationNotLoaded,
    MonitorMissing, // the primary screen stands in for the chosen monitor
    Recalibrate,    // the last accuracy check says so
    Ready,
};

Verdict JudgeBoard(const StatusPoll& poll, const CheckFacts& facts);

// The key of section [Sondaro] that says `verdict`.
const char* VerdictKey(Verdict verdict);

// The verdict in the words of `texts`, its %1 filled in (the missing
// monitor's choice, the check's worst distance).
std::string VerdictLine(const StatusPoll& poll, const CheckFacts& facts, const CheckTexts& texts);

} // namespace boardcheck
