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

ForwardingPipeInstance::ForwardingPipeInstance(common::UniqueHandle pipe, PipeWaitReport report,
                                               const PipeInstanceBounds& bounds, driver::FaultLog& faults)
    : pipe_(std::move(pipe)),
      report_(report),
      bounds_(bounds),
      faults_(faults),
      closed_(ManualResetEvent()),
      connectDone_(ManualResetEvent()),
      waiterDone_(ManualResetEvent()),
      writeDone_(ManualResetEvent())
{
    connect_.hEvent = connectDone_.Get();
}

std::shared_ptr<ForwardingPipeInstance> ForwardingPipeInstance::AwaitClient(common::UniqueHandle pipe,
                                                                            PipeWaitReport report,
                                                                            const PipeInstanceBounds& bounds,
                                                                            driver::FaultLog& faults)
{
    if (!pipe) return nullptr;
    std::shared_ptr<ForwardingPipeInstance> instance(
        new ForwardingPipeInstance(std::move(pipe), report, bounds, faults));
    if (!instance->closed_ || !instance->connectDone_ || !instance->waiterDone_ || !instance->writeDone_)
        return nullptr;
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
    // The waiter holds the instance for as long as it runs, so no Close
    // that gave up waiting for it can free what it uses.
    auto* keepAlive = new std::shared_ptr<ForwardingPipeInstance>(shared_from_this());
    const common::UniqueHandle waiter(
        CreateThread(nullptr, 0, &ForwardingPipeInstance::WaiterMain, keepAlive, 0, nullptr));
    if (!waiter) {
        delete keepAlive;
        return false;
    }
    waiterStarted_ = true;
    return true;
}

DWORD WINAPI ForwardingPipeInstance::WaiterMain(void* keepAlive)
{
    const std::unique_ptr<std::shared_ptr<ForwardingPipeInstance>> held(
        static_cast<std::shared_ptr<ForwardingPipeInstance>*>(keepAlive));
    ForwardingPipeInstance& instance = **held;
    try {
        instance.AwaitConnection();
    } catch (...) {
        // Nothing here throws; the guard keeps it that way for the system.
    }
    SetEvent(instance.waiterDone_.Get());
    return 0;
}

void ForwardingPipeInstance::AwaitConnection()
{
    // Waits for the client or for Close, whichever comes first; Close
    // always comes at the end of a run.
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
    CancelAndAwaitEnd(connect_, "wait for the client");
}

bool ForwardingPipeInstance::CancelAndAwaitEnd(OVERLAPPED& operation, const char* what)
{
    bounds_.cancelIo(pipe_.Get(), &operation);
    if (WaitForSingleObject(operation.hEvent, bounds_.cancelledIoWaitMs) == WAIT_OBJECT_0) return true;
    {
        std::lock_guard<std::mutex> keeping(keepMutex_);
        keptForStuckIo_ = shared_from_this();
    }
    faults_.NoteF("A cancelled %s on the forwarding pipe did not end within %lu ms; that pipe instance is kept, "
                  "unused, until the driver ends.",
                  what, static_cast<unsigned long>(bounds_.cancelledIoWaitMs));
    return false;
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
    if (writeStuck_) return false;
    write_ = {};
    write_.hEvent = writeDone_.Get();
    ResetEvent(write_.hEvent);
    if (!WriteFile(pipe_.Get(), data, static_cast<DWORD>(length), nullptr, &write_)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            if (ClientGone(error)) BreakLink();
            return false;
        }
    }

    const HANDLE events[] = {writeDone_.Get(), closed_.Get()};
    if (WaitForMultipleObjects(2, events, FALSE, bounds_.writeWaitMs) != WAIT_OBJECT_0 &&
        !CancelAndAwaitEnd(write_, "write")) {
        writeStuck_ = true;
        BreakLink();
        return false;
    }
    DWORD written = 0;
    const bool done = GetOverlappedResult(pipe_.Get(), &write_, &written, FALSE) != FALSE;
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
    if (waiterStarted_ && WaitForSingleObject(waiterDone_.Get(), bounds_.waiterStopWaitMs) != WAIT_OBJECT_0) {
        // The waiter holds the instance; it goes when the waiter does.
        faults_.NoteF("The forwarding pipe's wait for its client did not end within %lu ms of the run's end; it "
                      "is left to end by itself.",
                      static_cast<unsigned long>(bounds_.waiterStopWaitMs));
    }
    waiterStarted_ = false;
    if (previous == State::Closed) return;
    // Ends a write another thread has in flight; it then finds the run over.
    bounds_.cancelIo(pipe_.Get(), nullptr);
    DisconnectNamedPipe(pipe_.Get());
}

} // namespace brelvin
