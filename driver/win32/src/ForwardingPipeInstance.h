#pragma once
// One server instance of the forwarding pipe. Its client is awaited on a
// thread of its own, which reports the outcome to the driver window; the
// window thread may end the run at any time with Close, while the worker
// thread writes records.
//
// Every wait is bounded. The system writes into an operation's OVERLAPPED
// until the operation has ended, so an operation that does not end within
// its bound after being cancelled makes the instance keep itself (and the
// handle, events and OVERLAPPED the operation uses) for the rest of the
// process, instead of freeing them under it; the fault log hears of it.
#include "common/UniqueHandle.h"
#include "driver/ChannelPorts.h"
#include "driver/FaultLog.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace brelvin {

// Where the instance nudges the driver window when its link changes; the
// message carries nothing, the window asks the instance.
struct PipeWaitReport {
    HWND window;
    UINT message;
};

// The instance's waits. Tests shorten them, or stand in for the system's
// cancellation to see what happens when it does not end an operation.
struct PipeInstanceBounds {
    // How long one record may wait for room in the pipe before it is lost:
    // fifty of the worker's cycles, far more than a reading client needs.
    DWORD writeWaitMs = 100;
    // How long a cancelled operation may take to end. Cancelling a pending
    // operation on a local pipe ends it at once; twice the write bound
    // allows a loaded machine its scheduling without holding up the worker
    // for long.
    DWORD cancelledIoWaitMs = 200;
    // How long Close waits for the client's waiter, which itself ends
    // within cancelledIoWaitMs of being told: the same second a peer that
    // hangs may cost the window thread elsewhere.
    DWORD waiterStopWaitMs = 1000;
    BOOL(WINAPI* cancelIo)(HANDLE, LPOVERLAPPED) = &CancelIoEx;
};

class ForwardingPipeInstance final : public driver::PipeInstance,
                                     public std::enable_shared_from_this<ForwardingPipeInstance> {
public:
    // Takes an instance just created for overlapped I/O and starts waiting
    // for its client; `report` is nudged when the client connects, the wait
    // fails or the connection breaks. Null when the wait could not be
    // started; the pipe is closed then (or kept, see above) and nothing is
    // reported. `faults` must live as long as the process.
    static std::shared_ptr<ForwardingPipeInstance> AwaitClient(common::UniqueHandle pipe, PipeWaitReport report,
                                                               const PipeInstanceBounds& bounds,
                                                               driver::FaultLog& faults);

    ~ForwardingPipeInstance() override;

    ForwardingPipeInstance(const ForwardingPipeInstance&) = delete;
    ForwardingPipeInstance& operator=(const ForwardingPipeInstance&) = delete;

    Link CurrentLink() const override;
    std::uint64_t DeliveredWrites() const override { return delivered_; }

    // One write of all `length` bytes, given up after the write wait (or at
    // Close) so a client that stops reading never holds up the writer.
    // False unless connected and all bytes went. A write that finds the
    // client's end gone, or that does not end once cancelled, breaks the
    // link.
    bool Write(const std::uint8_t* data, std::size_t length) override;

    // No report is posted for a wait that Close ended. Returns within
    // about waiterStopWaitMs whatever the waiter does.
    void Close() override;

private:
    enum class State { AwaitingClient, Connected, ConnectFailed, Broken, Closed };

    ForwardingPipeInstance(common::UniqueHandle pipe, PipeWaitReport report, const PipeInstanceBounds& bounds,
                           driver::FaultLog& faults);

    bool StartConnect();
    bool StartWaiter();
    static DWORD WINAPI WaiterMain(void* keepAlive);
    void AwaitConnection();
    // Leaves AwaitingClient for `outcome` and tells the window, unless Close
    // came first.
    void SettleWait(State outcome);
    void CancelConnect();
    // Cancels `operation` and waits, bounded, for it to end; false when it
    // did not, and the instance then keeps itself.
    bool CancelAndAwaitEnd(OVERLAPPED& operation, const char* what);
    // Connected -> Broken, with a nudge; nothing when the link was not up.
    void BreakLink();
    void Nudge() const;

    common::UniqueHandle pipe_;
    const PipeWaitReport report_;
    const PipeInstanceBounds bounds_;
    driver::FaultLog& faults_;
    std::atomic<State> state_{State::AwaitingClient};

    // Manual-reset, set by Close: ends the client wait and any write wait.
    common::UniqueHandle closed_;
    common::UniqueHandle connectDone_;
    OVERLAPPED connect_ = {};
    // Set by the waiter as the last thing it does with the instance.
    common::UniqueHandle waiterDone_;
    bool waiterStarted_ = false;

    std::mutex writeMutex_;
    common::UniqueHandle writeDone_;
    OVERLAPPED write_ = {};
    // A cancelled write that never ended still owns write_ and writeDone_.
    std::atomic<bool> writeStuck_{false};
    std::atomic<std::uint64_t> delivered_{0};

    // Held while the wait's outcome is reported, so none is posted once
    // Close has returned.
    std::mutex reportMutex_;
    std::mutex closeMutex_;

    // The instance itself, once an operation outlived its cancellation.
    std::mutex keepMutex_;
    std::shared_ptr<ForwardingPipeInstance> keptForStuckIo_;
};

} // namespace brelvin
