// The run job's session: the driver and its stand-ins in the folder
// "session" beside this program, the camera service playing "session.script"
// with the calibration "session.ini", followed by a touch socket session and
// a pipe forwarding session; then a summary of what reached the desktop and
// the other programs on standard output and a picture of the strokes,
// "strokes.svg". Given "replay", it plays "recording.script" instead (a
// recording the driver made for the board check; see ReplaySession.h).
#include "ChannelSessions.h"
#include "ReplaySession.h"
#include "sim/BoardRig.h"
#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int Fail(const std::string& problem)
{
    std::printf("session failed: %s\n", problem.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string here = sim::OwnFolder();
    if (argc > 1 && std::strcmp(argv[1], "replay") == 0) {
        bool ok = false;
        const std::string summary = sim::RunReplay(here, ok);
        if (ok) sim::WriteWholeFile(here + "summary.txt", summary);
        std::printf("%s", summary.c_str());
        return ok ? 0 : 1;
    }
    const std::string script = sim::ReadWholeFile(here + "session.script");
    const std::string settings = sim::ReadWholeFile(here + "session.ini");
    if (script.empty() || settings.empty()) return Fail("session.script or session.ini missing beside the runner");

    sim::SessionReport report;
    std::string cameraLog;
    std::string channelSummary;
    {
        sim::BoardRig rig(here, here, "session", sim::FolderLifetime::Kept);
        if (!rig.Prepare(script, settings) || !rig.StartRecorder() || !rig.StartListeningDrawingApp() ||
            !rig.StartDriver()) {
            return Fail(rig.Problem());
        }
        std::printf("driver running; the camera service stand-in plays the session...\n");
        std::fflush(stdout);
        const bool played = rig.WaitForScript(120000);
        if (played) {
            std::printf("then a touch socket session and a pipe forwarding session...\n");
            std::fflush(stdout);
            channelSummary = sim::RunChannelSessions(rig);
        }
        rig.CloseDriver();
        rig.CloseStandIns();
        report = sim::BuildSessionReport(rig.MouseEvents(), rig.DrawingAppMessages());
        cameraLog = rig.File(sim::kCameraServiceLog);
        if (!played) return Fail("the session did not play to its end; see " + cameraLog);
        if (!report.ReachedAnything()) return Fail("the session produced no input at all; see " + rig.Folder().Path());
        std::printf("logs in %s\n", rig.Folder().Path().c_str());
    }
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    sim::WriteWholeFile(here + "strokes.svg", sim::DrawStrokesSvg(report, width, height));
    const std::string summary = sim::FormatSummary(report) + channelSummary;
    sim::WriteWholeFile(here + "summary.txt", summary);
    std::printf("%s", summary.c_str());
    return 0;
}
