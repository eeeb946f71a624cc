#include "SoakSession.h"

#include "HandleCount.h"

#include "common/Messages.h"
#include "sim/DeviceChange.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/Waiting.h"

#include <windows.h>

namespace sim {
namespace {

constexpr unsigned kStepTimeoutMs = 20000;
constexpr unsigned kDeviceChangeTimeoutMs = 10000;
constexpr unsigned kSamplerTimeoutMs = 15000;
constexpr unsigned long kSocketOpen = 30;
constexpr unsigned long kSocketClose = 31;
// Where each part of a minute begins, in seconds from its start.
constexpr int kForwardingAt = 3;
constexpr int kPairSplitAt = 20;
constexpr int kHalfSplitAt = 32;
constexpr int kSocketOpenSeconds = 8;
constexpr int kReplugAt = 46;
constexpr int kMinuteSeconds = 60;

HWND Driver()
{
    return FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
}

} // namespace

bool SoakSession::Fail(const std::string& problem)
{
    problem_ = problem;
    return false;
}

bool SoakSession::Start(const std::string& script, const std::string& settings)
{
    if (!rig_.Prepare(script, settings) || !rig_.StartRecorder() || !rig_.StartListeningDrawingApp() ||
        !rig_.StartMainTool() || !rig_.StartDriver()) {
        return Fail(rig_.Problem());
    }
    if (!WaitForLogLine(
            rig_.File(kCameraServiceLog),
            [](const std::string& line) { return line.compare(0, 13, "script begin ") == 0; }, kStepTimeoutMs)) {
        return Fail("the camera service did not start its script");
    }
    return true;
}

void SoakSession::Sample(int minute)
{
    std::fprintf(out_, "sample %d handles %ld\n", minute, CountProcessHandles(rig_.Driver().Id()));
    std::fflush(out_);
    if (!awaitSampler_) return;
    const std::string sampled = rig_.File("sampled-" + std::to_string(minute));
    if (!WaitUntil([&] { return GetFileAttributesA(sampled.c_str()) != INVALID_FILE_ATTRIBUTES; }, kSamplerTimeoutMs)) {
        std::fprintf(out_, "the sampler did not answer sample %d\n", minute);
        std::fflush(out_);
    }
}

bool SoakSession::RunMinute(int minute)
{
    const long long start = NowMicroseconds();
    std::string report = "minute " + std::to_string(minute) + ":";
    if (!WaitUntilSecond(start, kForwardingAt)) return false;
    report += " " + ForwardingRun();
    if (!WaitUntilSecond(start, kPairSplitAt)) return false;
    report += ", " + SocketSession(6);
    if (!WaitUntilSecond(start, kHalfSplitAt)) return false;
    report += ", " + SocketSession(7);
    if (!WaitUntilSecond(start, kReplugAt)) return false;
    report += ", " + CameraReplugged();
    std::fprintf(out_, "%s\n", report.c_str());
    std::fflush(out_);
    return WaitUntilSecond(start, kMinuteSeconds);
}

// Waits until `second` of the minute, watching the driver meanwhile.
bool SoakSession::WaitUntilSecond(long long minuteStart, int second)
{
    const long long due = minuteStart + static_cast<long long>(second) * 1000000;
    while (NowMicroseconds() < due) {
        if (!rig_.Driver().Running()) {
            return Fail("the driver ended (exit code " + std::to_string(rig_.Driver().ExitCode()) + ")");
        }
        Sleep(100);
    }
    return true;
}

// A calibration run: raw records down the pipe for a while, then the end
// that reloads the calibration and tells the camera service.
std::string SoakSession::ForwardingRun()
{
    const std::string log = rig_.File(kCalibratorLog);
    const int done = CountLinesStartingWith(log, "script done");
    rig_.CloseCalibrator();
    if (!rig_.StartCalibrator("start 0\nnonzero 30\nend 0 0\n")) return "forwarding: " + rig_.Problem();
    const bool finished = WaitUntil([&] { return CountLinesStartingWith(log, "script done") > done; }, kStepTimeoutMs);
    rig_.CloseCalibrator();
    return finished ? "forwarding run ok" : "forwarding run did not finish";
}

// The drawing application takes the touch socket for a few seconds.
std::string SoakSession::SocketSession(long variant)
{
    const std::string log = rig_.File(kDrawingAppSocketLog);
    const std::string name = "socket " + std::to_string(variant);
    const UINT driverSet = RegisterWindowMessageA(msg::kRegisteredDriverSet);
    PostMessageA(Driver(), driverSet, kSocketOpen, variant);
    const std::string accepted = "accept " + std::to_string(socketConnections_ + 1);
    if (!WaitForLogLine(log, accepted, kStepTimeoutMs)) return name + " not connected";
    ++socketConnections_;
    Sleep(kSocketOpenSeconds * 1000);
    PostMessageA(Driver(), driverSet, kSocketClose, variant);
    const bool closed = WaitForLogLine(log, "closed " + std::to_string(socketConnections_), kStepTimeoutMs);
    return name + (closed ? " ok" : " not closed");
}

// A listed camera pulled out and plugged in again.
std::string SoakSession::CameraReplugged()
{
    const std::string name = ListedCameraInterfaceName(0);
    const bool removed = SendDeviceChange(Driver(), DeviceChange::RemoveComplete, name, kDeviceChangeTimeoutMs);
    const bool arrived = SendDeviceChange(Driver(), DeviceChange::Arrival, name, kDeviceChangeTimeoutMs);
    return std::string("camera ") + (removed && arrived ? "replugged" : "replug unanswered");
}

} // namespace sim
