#pragma once
// A byte stream to another program: the raw-record pipe and the packet
// socket, as the touch worker writes to them. The window thread opens and
// closes the real channels and hands them over through a ChannelSlot, so the
// worker never writes through a channel that is being destroyed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace driver {

class ByteChannel {
public:
    virtual ~ByteChannel() = default;

    // Writes `length` bytes synchronously; false when the write failed. The
    // driver does not retry or queue.
    virtual bool Write(const std::uint8_t* data, std::size_t length) = 0;
};

// The channel currently in use, or none. The window thread publishes and
// withdraws; the worker takes a reference per write, which keeps a withdrawn
// channel alive until that write has returned.
class ChannelSlot {
public:
    void Publish(std::shared_ptr<ByteChannel> channel)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        channel_ = std::move(channel);
    }

    void Withdraw() { Publish(nullptr); }

    std::shared_ptr<ByteChannel> Current() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return channel_;
    }

    // False when no channel is published.
    bool Write(const std::uint8_t* data, std::size_t length) const
    {
        const std::shared_ptr<ByteChannel> channel = Current();
        return channel && channel->Write(data, length);
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<ByteChannel> channel_;
};

} // namespace driver
