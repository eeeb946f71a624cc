#include "ForwardingSession.h"

#include "common/BoardStatusRequest.h"
#include "common/Messages.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace calibration {
namespace {

// How often a pipe that is not there yet is looked for again.
constexpr DWORD kPipeRetryMs = 20;
// lParam of WM_PIPE_FORWARD_END that ends the forwarding without a reload:
// any pair but (0, 0) does.
constexpr LPARAM kEndWithoutReload = 1;

// The driver's process, to tell a driver that ended from one that ended
// the forwarding; empty when it cannot be opened.
common::UniqueHandle OpenDriverProcess(HWND driver)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(driver, &processId);
    return common::UniqueHandle(processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
}

// The client end of the driver's pipe once it exists and is free, or
// nothing by `waitMs`.
common::UniqueHandle ConnectToPipe(DWORD waitMs)
{
    const DWORD started = GetTickCount();
    for (;;) {
        common::UniqueHandle pipe(CreateFileA(channel::kForwardingPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
        if (pipe) return pipe;
        const DWORD error = GetLastError();
        // Not there yet, or its instance still taken by a client before us.
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PIPE_BUSY) return common::UniqueHandle();
        const DWORD waited = GetTickCount() - started;
        if (waited >= waitMs) return common::UniqueHandle();
        const DWORD pause = std::min<DWORD>(kPipeRetryMs, waitMs - waited);
        if (error == ERROR_PIPE_BUSY) WaitNamedPipeA(channel::kForwardingPipe, pause);
        else Sleep(pause);
    }
}

ForwardingError ErrorOf(ForwardedRecords::Ending ending)
{
    switch (ending) {
    case ForwardedRecords::Ending::Broken: return ForwardingError::PipeBroken;
    case ForwardedRecords::Ending::DriverGone: return ForwardingError::DriverGone;
    case ForwardedRecords::Ending::Silent: return ForwardingError::RecordsStopped;
    case ForwardedRecords::Ending::None:
    case ForwardedRecords::Ending::Stopped: return ForwardingError::None;
    }
    return ForwardingError::None;
}

} // namespace

ForwardingSession::ForwardingSession(HWND window, UINT handOver, RecordHandler onRecord, FailureHandler onFailure,
                                     const ForwardingBounds& bounds)
    : window_(window),
      handOver_(handOver),
      onRecord_(std::move(onRecord)),
      onFailure_(std::move(onFailure)),
      bounds_(bounds)
{}

ForwardingSession::~ForwardingSession()
{
    if (state_ == State::Forwarding || state_ == State::Failed) End(RunOutcome::Cancelled);
}

ForwardingError ForwardingSession::Begin()
{
    if (state_ != State::Idle) return error_;
    const HWND driver = common::FindDriverWindow();
    if (!driver) return Fail(ForwardingError::DriverNotRunning);
    common::UniqueHandle driverProcess = OpenDriverProcess(driver);
    // Posted, never sent: the driver waits for its client before it is
    // done with the request, and the client connects only after it.
    if (!PostMessageA(driver, msg::kPipeForwardStart, 0, 0)) return Fail(ForwardingError::DriverNotRunning);
    common::UniqueHandle pipe = ConnectToPipe(bounds_.pipeWaitMs);
    if (!pipe) {
        // A pipe that comes late must not take the board from the teacher.
        TellDriverTheEnd(RunOutcome::Cancelled);
        return Fail(IsWindow(driver) ? ForwardingError::PipeNotOffered : ForwardingError::DriverNotRunning);
    }
    records_ = std::make_unique<ForwardedRecords>(std::move(pipe), std::move(driverProcess), window_, handOver_,
                                                  bounds_.reader);
    if (!records_->Start()) {
        records_.reset();
        TellDriverTheEnd(RunOutcome::Cancelled);
        return Fail(ForwardingError::PipeBroken);
    }
    state_ = State::Forwarding;
    return ForwardingError::None;
}

void ForwardingSession::OnHandOver()
{
    if (state_ != State::Forwarding || !records_) return;
    std::vector<RawRecord> records;
    const ForwardingError error = ErrorOf(records_->Take(records));
    for (const RawRecord& record : records) {
        if (onRecord_) onRecord_(record);
    }
    if (error == ForwardingError::None) return;
    Fail(error);
    if (onFailure_) onFailure_(error);
}

void ForwardingSession::End(RunOutcome outcome)
{
    if (state_ == State::Ended) return;
    // A driver that closed its end has ended the run itself, and may since
    // be waiting for another program's client: an end from here would end
    // that one's run. Whenever else the driver may still forward, it is told.
    const bool endedByDriver = error_ == ForwardingError::PipeBroken || error_ == ForwardingError::DriverGone;
    if (records_) records_->ExpectTheEnd();
    if (!endedByDriver) TellDriverTheEnd(outcome);
    // The driver closes its end once it has handled the end; ours goes after.
    if (records_) records_->Stop(endedByDriver ? 0 : bounds_.driverEndWaitMs);
    records_.reset();
    state_ = State::Ended;
}

ForwardingError ForwardingSession::Fail(ForwardingError error)
{
    state_ = State::Failed;
    error_ = error;
    return error;
}

void ForwardingSession::TellDriverTheEnd(RunOutcome outcome) const
{
    if (const HWND driver = common::FindDriverWindow()) {
        PostMessageA(driver, msg::kPipeForwardEnd, 0, outcome == RunOutcome::Saved ? 0 : kEndWithoutReload);
    }
}

const char* Name(ForwardingError error)
{
    switch (error) {
    case ForwardingError::None: return "none";
    case ForwardingError::DriverNotRunning: return "the driver is not running";
    case ForwardingError::PipeNotOffered: return "the driver offered no pipe";
    case ForwardingError::PipeBroken: return "the driver ended the forwarding";
    case ForwardingError::DriverGone: return "the driver ended";
    case ForwardingError::RecordsStopped: return "the driver's records stopped";
    }
    return "?";
}

} // namespace calibration
