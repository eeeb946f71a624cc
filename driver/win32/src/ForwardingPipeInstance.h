#pragma once
// One server instance of the forwarding pipe. Its client is awaited on a
// thread of its own, which reports the outcome to the driver window; the
// window thread may end the run at any time with Close, while the worker
// thread writes records.
#include "common/UniqueHandle.h"
#include "driver/ChannelPorts.h"

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

class ForwardingPipeInstance final : public driver::PipeInstance {
public:
    // Takes an instance just created for overlapped I/O and starts waiting
    // for its client; `report` is nudged when the client connects, the wait
    // fails or the connection breaks. Null when the wait could not be
    // started; the pipe is closed then and nothing is reported.
    static std::shared_ptr<ForwardingPipeInstance> AwaitClient(common::UniqueHandle pipe, PipeWaitReport report,
                                                               DWORD writeWaitMs);

    ~ForwardingPipeInstance() override;

    ForwardingPipeInstance(const ForwardingPipeInstance&) = delete;
    ForwardingPipeInstance& operator=(const ForwardingPipeInstance&) = delete;

    Link CurrentLink() const override;
    std::uint64_t DeliveredWrites() const override { return delivered_; }

    // One write of all `length` bytes, given up after the write wait (or at
    // Close) so a client that stops reading never holds up the writer.
    // False unless connected and all bytes went. A write that finds the
    // client's end gone breaks the link.
    bool Write(const std::uint8_t* data, std::size_t length) override;

    // No report is posted for a wait that Close ended.
    void Close() override;

private:
    enum class State { AwaitingClient, Connected, ConnectFailed, Broken, Closed };

    ForwardingPipeInstance(common::UniqueHandle pipe, PipeWaitReport report, DWORD writeWaitMs);

    bool StartConnect();
    bool StartWaiter();
    static DWORD WINAPI WaiterMain(void* self);
    void AwaitConnection();
    // Leaves AwaitingClient for `outcome` and tells the window, unless Close
    // came first.
    void SettleWait(State outcome);
    void CancelConnect();
    // Connected -> Broken, with a nudge; false when the link was not up.
    void BreakLink();
    void Nudge() const;

    common::UniqueHandle pipe_;
    const PipeWaitReport report_;
    const DWORD writeWaitMs_;
    std::atomic<State> state_{State::AwaitingClient};

    // Manual-reset, set by Close: ends the client wait and any write wait.
    common::UniqueHandle closed_;
    common::UniqueHandle connectDone_;
    OVERLAPPED connect_ = {};
    common::UniqueHandle waiter_;

    std::mutex writeMutex_;
    common::UniqueHandle writeDone_;
    std::atomic<std::uint64_t> delivered_{0};

    // Held while the wait's outcome is reported, so none is posted once
    // Close has returned.
    std::mutex reportMutex_;
    std::mutex closeMutex_;
};

} // namespace brelvin
