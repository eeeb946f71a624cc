// Stand-in for the calibration program's side of raw forwarding: asks the
// driver for the raw feed, reads it from the pipe, rewrites the grid and
// ends the run, as "SimCalibrator.script" in its own folder says. Logs to
// "SimCalibrator.log" there.
#include "CalibrationDialogWindow.h"
#include "CalibratorScript.h"
#include "ScriptRunner.h"
#include "common/Win32System.h"
#include "sim/LineLog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const std::string folder = common::ProgramFolderA();
    const std::string logPath = folder + "SimCalibrator.log";
    sim::AppendLine(logPath, "start");

    sim::CalibratorScript script = sim::ParseCalibratorScript(sim::ReadWholeFile(folder + "SimCalibrator.script"));
    if (!script.error.empty()) {
        sim::AppendLine(logPath, "script error line " + std::to_string(script.errorLine) + ": " + script.error);
    }
    sim::CalibrationDialogWindow window(logPath);
    if (!window.Create(instance)) return 1;
    sim::ScriptRunner runner(folder, logPath);
    window.OnExit([&runner] { runner.Stop(); });
    if (script.error.empty()) {
        sim::AppendLine(logPath, "script begin " + std::to_string(script.commands.size()));
        runner.Start(std::move(script));
    }
    return window.RunMessageLoop();
}
