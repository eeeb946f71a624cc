#include "ChannelSessions.h"

#include "common/Messages.h"
#include "sim/ChannelSessionScripts.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <sstream>

namespace sim {
namespace {

constexpr unsigned kWaitMs = 20000;
constexpr long kOpenPairSplit = 6;
constexpr unsigned kSocketOpen = 30;
constexpr unsigned kSocketClose = 31;

void PostDriverSet(WPARAM wParam, LPARAM lParam)
{
    const UINT driverSet = RegisterWindowMessageA(msg::kRegisteredDriverSet);
    PostMessageA(FindWindowA(wnd::kDriverClass, wnd::kDriverCaption), driverSet, wParam, lParam);
}

// Plays `script` through a fresh camera service and waits until it is done.
bool Play(BoardRig& rig, const std::string& script)
{
    const std::string log = rig.File(kCameraServiceLog);
    const int before = CountLinesStartingWith(log, "script done");
    return rig.RestartCameraService("driver\nsync\n" + script) &&
           WaitUntil([&] { return CountLinesStartingWith(log, "script done") > before; }, kWaitMs);
}

std::string SocketSession(BoardRig& rig)
{
    const std::string log = rig.File(kDrawingAppSocketLog);
    PostDriverSet(kSocketOpen, kOpenPairSplit);
    if (!WaitForLogLine(log, "accept 1", kWaitMs)) return "touch socket session: the driver did not connect\n";
    if (!Play(rig, SecondPairContactScript())) return "touch socket session: the contact was not played\n";
    WaitUntil([&] { return CountLinesStartingWith(log, "packet ") > 0; }, kWaitMs);
    PostDriverSet(kSocketClose, kOpenPairSplit);
    WaitForLogLine(log, "closed 1", kWaitMs);
    std::ostringstream out;
    out << "touch socket session (\"CvDriverSet\" 30 then 31): " << CountLinesStartingWith(log, "packet ")
        << " packets of 8 bytes; first " << FindLogLine(log, "packet ") << "\n";
    return out.str();
}

std::string PipeSession(BoardRig& rig)
{
    const std::string log = rig.File(kCalibratorLog);
    if (!rig.StartCalibrator("start 0\nwait go\nend 0 1\n")) return "pipe session: " + rig.Problem() + "\n";
    if (!WaitForLogLine(log, "connected 1", kWaitMs)) return "pipe session: the calibration program did not connect\n";
    if (!Play(rig, ForwardedContactScript())) return "pipe session: nothing was played\n";
    WriteWholeFile(rig.File("go"), "");
    if (!WaitForLogLine(log, "script done", kWaitMs)) return "pipe session: the calibration program did not finish\n";
    return "pipe forwarding session (calibration program): " + FindLogLine(log, "end 1 ") +
           " (records: every 2 ms cycle; non-zero: the contact)\n";
}

} // namespace

std::string RunChannelSessions(BoardRig& rig)
{
    return SocketSession(rig) + PipeSession(rig);
}

} // namespace sim
