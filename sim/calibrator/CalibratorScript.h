#pragma once
// The calibration program stand-in's script: what it asks of the driver and
// when, one command per line, read from "SimCalibrator.script". Portable, so
// the parsing is tested natively; the stand-in runs the result.
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class CalibratorStep {
    Start,    // post the forwarding start with lParam `value`, then connect to the pipe
    Records,  // wait until this run has received `value` records
    NonZero,  // wait until this run has received `value` records that are not all zero
    Wait,     // wait until the file `name` exists in the own folder, then remove it
    Settings, // copy the file `name` from the own folder over the settings file
    End,      // post the forwarding end (value, second) and finish the run
    Stall,    // stop reading the pipe but keep it open, as a hung calibration program does
    Resume,   // read the pipe again after a stall, as a program whose prompt was answered
};

struct CalibratorCommand {
    CalibratorStep step = CalibratorStep::Start;
    long value = 0;
    long second = 0;
    std::string name;
    int line = 0; // in the script, for the log
};

struct CalibratorScript {
    std::vector<CalibratorCommand> commands; // `repeat` blocks already unrolled
    std::string error;                       // empty when the script is sound
    int errorLine = 0;
};

// A run's commands must come in order: `start`, then reading, waiting and
// settings steps, then `end`; `records`/`nonzero` only inside a run.
CalibratorScript ParseCalibratorScript(const std::string& text);

} // namespace sim
