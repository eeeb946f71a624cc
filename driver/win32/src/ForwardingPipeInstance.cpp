#include "ForwardingPipeInstance.h"

#include "ByteCount.h"

namespace brelvin {

namespace {

common::UniqueHandle ManualResetEvent()
{
    return common::UniqueHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

// The errors a write meets once the client has closed its end.
bool ClientGone(DWORD error)
{
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED;
}

} // namespace

ForwardingPipeInstance::ForwardingPipeInstance(common::UniqueHandle pipe, PipeWaitReport report, DWORD writeWaitMs)
    : pipe_(std::move(pipe)),
      report_(report),
      writeWaitMs_(writeWaitMs),
      closed_(ManualResetEvent()),
      connectDone_(ManualResetEvent()),
      writeDone_(ManualResetEvent())
{
    connect_.hEvent = connectDone_.Get();
}

std::shared_ptr<ForwardingPipeInstance> ForwardingPipeInstance::AwaitClient(common::UniqueHandle pipe,
                                                                            PipeWaitReport report, DWORD writeWaitMs)
{
    if (!pipe) return nullptr;
    std::shared_ptr<ForwardingPipeInstance> instance(new ForwardingPipeInstance(std::move(pipe), report, writeWaitMs));
    if (!instance->closed_ || !instance->connectDone_ || !instance->writeDone_) return nullptr;
    if (!instance->StartConnect()) return nullptr;
    return instance;
}

ForwardingPipeInstance::~ForwardingPipeInstance()
{
    Close();
}

bool ForwardingPipeInstance::StartConnect()
{
    if (ConnectNamedPipe(pipe_.Get(), &connect_)) {
        SettleWait(State::Connected);
        return true;
    }
    switch (GetLastError()) {
    case ERROR_PIPE_CONNECTED:
        // The client came between creation and the wait.
        SettleWait(State::Connected);
        return true;
    case ERROR_IO_PENDING:
        if (StartWaiter()) return true;
        CancelConnect();
        return false;
    default: SettleWait(State::ConnectFailed); return true;
    }
}

bool ForwardingPipeInstance::StartWaiter()
{
    waiter_.Reset(CreateThread(nullptr, 0, &ForwardingPipeInstance::WaiterMain, this, 0, nullptr));
    return static_cast<bool>(waiter_);
}

DWORD WINAPI ForwardingPipeInstance::WaiterMain(void* self)
{
    try {
        static_cast<ForwardingPipeInstance*>(self)->AwaitConnection();
    } catch (...) {
        // Nothing here throws; the guard keeps it that way for the system.
    }
    return 0;
}

void ForwardingPipeInstance::AwaitConnection()
{
    const HANDLE events[] = {connectDone_.Get(), closed_.Get()};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        CancelConnect();
        return;
    }
    DWORD unused = 0;
    const bool connected = GetOverlappedResult(pipe_.Get(), &connect_, &unused, FALSE) != FALSE;
    SettleWait(connected ? State::Connected : State::ConnectFailed);
}

void ForwardingPipeInstance::CancelConnect()
{
    // The system writes into `connect_` until the operation is over, so it
    // must be over before this object can go.
    CancelIoEx(pipe_.Get(), &connect_);
    DWORD unused = 0;
    GetOverlappedResult(pipe_.Get(), &connect_, &unused, TRUE);
}

void ForwardingPipeInstance::SettleWait(State outcome)
{
    std::lock_guard<std::mutex> lock(reportMutex_);
    State expected = State::AwaitingClient;
    if (!state_.compare_exchange_strong(expected, outcome)) return;
    Nudge();
}

void ForwardingPipeInstance::BreakLink()
{
    std::lock_guard<std::mutex> lock(reportMutex_);
    State expected = State::Connected;
    if (!state_.compare_exchange_strong(expected, State::Broken)) return;
    Nudge();
}

void ForwardingPipeInstance::Nudge() const
{
    PostMessageA(report_.window, report_.message, 0, 0);
}

driver::PipeInstance::Link ForwardingPipeInstance::CurrentLink() const
{
    switch (state_.load()) {
    case State::AwaitingClient: return Link::AwaitingClient;
    case State::Connected: return Link::Connected;
    case State::ConnectFailed:
    case State::Broken:
    case State::Closed: return Link::Lost;
    }
    return Link::Lost;
}

bool ForwardingPipeInstance::Write(const std::uint8_t* data, std::size_t length)
{
    if ((!data && length != 0) || !FitsInDword(length)) return false;
    if (state_ != State::Connected) return false;

    std::lock_guard<std::mutex> lock(writeMutex_);
    OVERLAPPED write = {};
    write.hEvent = writeDone_.Get();
    ResetEvent(write.hEvent);
    if (!WriteFile(pipe_.Get(), data, static_cast<DWORD>(length), nullptr, &write)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            if (ClientGone(error)) BreakLink();
            return false;
        }
    }

    const HANDLE events[] = {writeDone_.Get(), closed_.Get()};
    if (WaitForMultipleObjects(2, events, FALSE, writeWaitMs_) != WAIT_OBJECT_0) CancelIoEx(pipe_.Get(), &write);
    DWORD written = 0;
    const bool done = GetOverlappedResult(pipe_.Get(), &write, &written, TRUE) != FALSE;
    if (!done && ClientGone(GetLastError())) BreakLink();
    if (written != 0 && written < length) {
        // The reader would take every later record out of step.
        DisconnectNamedPipe(pipe_.Get());
        BreakLink();
        return false;
    }
    if (!done || written != length) return false;
    ++delivered_;
    return true;
}

void ForwardingPipeInstance::Close()
{
    std::lock_guard<std::mutex> closing(closeMutex_);
    State previous;
    {
        std::lock_guard<std::mutex> lock(reportMutex_);
        previous = state_.exchange(State::Closed);
    }
    if (closed_) SetEvent(closed_.Get());
    if (waiter_) {
        WaitForSingleObject(waiter_.Get(), INFINITE);
        waiter_.Reset();
    }
    if (previous == State::Closed) return;
    // Ends a write another thread has in flight; it then finds the run over.
    CancelIoEx(pipe_.Get(), nullptr);
    DisconnectNamedPipe(pipe_.Get());
}

} // namespace brelvin
