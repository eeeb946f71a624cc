#include "ReplaySession.h"

#include "common/Messages.h"
#include "sim/BoardRig.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/Replay.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <cstdio>
#include <sstream>

namespace sim {
namespace {

constexpr unsigned kWaitMs = 20000;
// A recording is at most a minute of records, read at the driver's pace.
constexpr unsigned kReplayTimeoutMs = 180000;
constexpr unsigned kSocketOpen = 30;

// The routing of contacts the recording began with; lParam of "CvDriverSet" 30.
long SocketRoutingFor(const std::string& route)
{
    if (route == "pair-split") return 6;
    if (route == "half-split") return 7;
    return 0;
}

bool OpenSocket(BoardRig& rig, long lParam)
{
    const UINT driverSet = RegisterWindowMessageA(msg::kRegisteredDriverSet);
    PostMessageA(FindWindowA(wnd::kDriverClass, wnd::kDriverCaption), driverSet, kSocketOpen, lParam);
    return WaitForLogLine(rig.File(kDrawingAppSocketLog), "accept 1", kWaitMs);
}

} // namespace

std::string RunReplay(const std::string& here, bool& ok)
{
    ok = false;
    const std::string text = ReadWholeFile(here + "recording.script");
    if (text.empty()) return "replay failed: recording.script missing beside the runner\n";
    const Replay replay = PrepareReplay(text);
    if (!replay.Ok()) return "replay failed: " + replay.error + "\n";

    std::ostringstream out;
    out << "recording of " << replay.records << " records by Brelvin " << replay.driverVersion << ", made "
        << replay.startedAt << ", contacts routed: " << replay.route << "\n";
    if (replay.route == "forwarding") out << "(recorded while the calibration program took the records: replayed as mouse input)\n";
    for (const std::string& note : replay.notes) out << "(" << note << ")\n";
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (replay.screenWidth > 0 && (replay.screenWidth != screenWidth || replay.screenHeight != screenHeight)) {
        // The calibration maps to the board's monitor as this machine has it.
        out << "(recorded on a board screen of " << replay.screenWidth << " x " << replay.screenHeight
            << " pixels; this machine's is " << screenWidth << " x " << screenHeight
            << ": positions come out in its pixels)\n";
    }
    const long socketRouting = SocketRoutingFor(replay.route);
    SessionReport report;
    std::string packets;
    {
        BoardRig rig(here, here, "replay", FolderLifetime::Kept);
        const bool listening = socketRouting != 0;
        if (!rig.Prepare(replay.script, replay.settings) || !rig.StartRecorder() ||
            !(listening ? rig.StartListeningDrawingApp() : rig.StartDrawingApp()) || !rig.StartDriver()) {
            return "replay failed: " + rig.Problem() + "\n";
        }
        if (listening && !OpenSocket(rig, socketRouting)) return "replay failed: the driver did not connect to the touch socket\n";
        if (!WaitUntil([] { return FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption) != nullptr; }, kWaitMs))
            return "replay failed: the camera service stand-in did not start\n";
        PostMessageA(FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption), kReplayGoAhead, 0, 0);
        std::printf("driver running; the camera service stand-in replays the recording...\n");
        std::fflush(stdout);
        const bool played = rig.WaitForScript(kReplayTimeoutMs);
        rig.CloseDriver();
        rig.CloseStandIns();
        if (!played) return "replay failed: the recording did not play to its end; see " + rig.File(kCameraServiceLog) + "\n";
        report = BuildSessionReport(rig.MouseEvents(), rig.DrawingAppMessages());
        int packetCount = 0;
        if (listening) {
            packetCount = CountLinesStartingWith(rig.File(kDrawingAppSocketLog), "packet ");
            packets = "touch socket: " + std::to_string(packetCount) + " packets of 8 bytes\n";
        }
        if (!report.ReachedAnything() && packetCount == 0)
            return "replay failed: the recording produced no input at all; see " + rig.Folder().Path() + "\n";
        out << "logs in " << rig.Folder().Path() << "\n";
    }
    WriteWholeFile(here + "strokes.svg", DrawStrokesSvg(report, screenWidth, screenHeight));
    out << FormatSummary(report) << packets;
    ok = true;
    return out.str();
}

} // namespace sim
