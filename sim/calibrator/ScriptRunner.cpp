#include "ScriptRunner.h"

#include "common/Messages.h"
#include "sim/LineLog.h"

#include <windows.h>

namespace sim {
namespace {

// Generous, so a slow Wine start never counts as a fault; the test's own
// time-outs decide.
constexpr unsigned kStepTimeoutMs = 15000;
constexpr unsigned kDisconnectTimeoutMs = 1000;
constexpr unsigned kPollMs = 5;
constexpr const char* kSettingsFile = "WBInit.ini";

HWND FindDriver()
{
    return FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
}

} // namespace

ScriptRunner::ScriptRunner(std::string folder, std::string logPath)
    : folder_(std::move(folder)),
      logPath_(std::move(logPath)),
      stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{}

ScriptRunner::~ScriptRunner()
{
    Stop();
}

void ScriptRunner::Start(CalibratorScript script)
{
    script_ = std::move(script);
    thread_ = std::thread([this] { Play(); });
}

void ScriptRunner::Stop()
{
    SetEvent(stop_.Get());
    if (thread_.joinable()) thread_.join();
    client_.reset();
}

bool ScriptRunner::Stopped(unsigned waitMs) const
{
    return WaitForSingleObject(stop_.Get(), waitMs) == WAIT_OBJECT_0;
}

void ScriptRunner::Play()
{
    for (const CalibratorCommand& command : script_.commands) {
        switch (Perform(command)) {
        case Outcome::Next: continue;
        case Outcome::TimedOut: AppendLine(logPath_, "script timeout line " + std::to_string(command.line)); return;
        case Outcome::Failed: AppendLine(logPath_, "script failed line " + std::to_string(command.line)); return;
        case Outcome::Stopped: AppendLine(logPath_, "script stopped"); return;
        }
    }
    AppendLine(logPath_, "script done");
}

ScriptRunner::Outcome ScriptRunner::Perform(const CalibratorCommand& command)
{
    switch (command.step) {
    case CalibratorStep::Start: return StartRun(command.value);
    case CalibratorStep::Records: return WaitForRecords(command.value, false);
    case CalibratorStep::NonZero: return WaitForRecords(command.value, true);
    case CalibratorStep::Wait: return WaitForFile(command.name);
    case CalibratorStep::Settings: return CopySettings(command.name);
    case CalibratorStep::End: return EndRun(command.value, command.second);
    case CalibratorStep::Stall:
        client_->StopReading();
        AppendLine(logPath_, "stalled " + std::to_string(run_));
        return Outcome::Next;
    case CalibratorStep::Resume:
        client_->StartReading();
        AppendLine(logPath_, "resumed " + std::to_string(run_));
        return Outcome::Next;
    }
    return Outcome::Failed;
}

// Posted, not sent: the driver answers the start only once a client is
// connected, and this client connects after the post.
ScriptRunner::Outcome ScriptRunner::StartRun(long lParam)
{
    ++run_;
    HWND driver = FindDriver();
    if (!driver) {
        AppendLine(logPath_, "error no driver window");
        return Outcome::Failed;
    }
    PostMessageA(driver, msg::kPipeForwardStart, 0, lParam);
    client_ = std::make_unique<ForwardingClient>(logPath_, run_);
    const unsigned long error = client_->Connect(stop_.Get(), kStepTimeoutMs);
    if (error == ERROR_CANCELLED) return Outcome::Stopped;
    if (error != 0) {
        AppendLine(logPath_, "error connect " + std::to_string(run_) + " " + std::to_string(error));
        return Outcome::Failed;
    }
    client_->StartReading();
    AppendLine(logPath_, "connected " + std::to_string(run_));
    return Outcome::Next;
}

ScriptRunner::Outcome ScriptRunner::EndRun(long wParam, long lParam)
{
    if (HWND driver = FindDriver()) PostMessageA(driver, msg::kPipeForwardEnd, wParam, lParam);
    // The driver ends the connection when it has handled the end; records
    // written until then still count for this run.
    const bool disconnected = client_->WaitForDisconnect(kDisconnectTimeoutMs);
    const long records = client_->Records();
    const long nonZero = client_->NonZeroRecords();
    client_.reset();
    AppendLine(logPath_, "end " + std::to_string(run_) + " records " + std::to_string(records) + " nonzero " +
                             std::to_string(nonZero) + (disconnected ? " disconnected" : " connected"));
    return Outcome::Next;
}

ScriptRunner::Outcome ScriptRunner::WaitForRecords(long count, bool nonZeroOnly)
{
    const ULONGLONG deadline = GetTickCount64() + kStepTimeoutMs;
    while ((nonZeroOnly ? client_->NonZeroRecords() : client_->Records()) < count) {
        if (Stopped(kPollMs)) return Outcome::Stopped;
        if (GetTickCount64() >= deadline) return Outcome::TimedOut;
    }
    return Outcome::Next;
}

// The test's go-ahead: it writes the file when it has seen what it waited for.
// The go-ahead counts once the file is deleted, not once it is there: it
// appears while the test still has it open for writing, and one left behind
// would let the next wait for the same name pass at once.
ScriptRunner::Outcome ScriptRunner::WaitForFile(const std::string& name)
{
    const std::string path = folder_ + name;
    const ULONGLONG deadline = GetTickCount64() + kStepTimeoutMs;
    while (!DeleteFileA(path.c_str())) {
        if (Stopped(kPollMs)) return Outcome::Stopped;
        if (GetTickCount64() >= deadline) return Outcome::TimedOut;
    }
    return Outcome::Next;
}

// A calibration run ends by writing its new grid into the settings file.
ScriptRunner::Outcome ScriptRunner::CopySettings(const std::string& name)
{
    const std::string text = ReadWholeFile(folder_ + name);
    if (text.empty() || !WriteWholeFile(folder_ + kSettingsFile, text)) {
        AppendLine(logPath_, "error settings " + name);
        return Outcome::Failed;
    }
    AppendLine(logPath_, "settings " + name);
    return Outcome::Next;
}

} // namespace sim
