#include "ForwardingClient.h"

#include "sim/LineLog.h"
#include "sim/TouchRecord.h"

#include <algorithm>

namespace sim {
namespace {

constexpr unsigned kRetryMs = 20;

} // namespace

ForwardingClient::ForwardingClient(std::string logPath, int run)
    : logPath_(std::move(logPath)),
      run_(run),
      stopReading_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      readerEnded_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{}

ForwardingClient::~ForwardingClient()
{
    StopReading();
}

void ForwardingClient::StopReading()
{
    if (!reader_.joinable()) return;
    SetEvent(stopReading_.Get());
    reader_.join();
}

unsigned long ForwardingClient::Connect(HANDLE stop, unsigned timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        HANDLE pipe = CreateFileA(kForwardingPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            pipe_ = common::UniqueHandle(pipe);
            return 0;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PIPE_BUSY) return error;
        // Not there yet, or every instance taken: the driver makes a fresh
        // one when it has handled the start message.
        if (error == ERROR_PIPE_BUSY) WaitNamedPipeA(kForwardingPipeName, kRetryMs);
        if (GetTickCount64() >= deadline) return error;
        if (WaitForSingleObject(stop, kRetryMs) == WAIT_OBJECT_0) return ERROR_CANCELLED;
    }
}

void ForwardingClient::StartReading()
{
    if (!pipe_ || reader_.joinable()) return;
    ResetEvent(stopReading_.Get());
    reader_ = std::thread([this] { Read(); });
}

bool ForwardingClient::WaitForDisconnect(unsigned timeoutMs) const
{
    return WaitForSingleObject(readerEnded_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

void ForwardingClient::Read()
{
    common::UniqueHandle readDone(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    char buffer[512];
    for (;;) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = readDone.Get();
        ResetEvent(readDone.Get());
        DWORD got = 0;
        if (!ReadFile(pipe_.Get(), buffer, sizeof buffer, &got, &overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) break;
            const HANDLE waits[] = {readDone.Get(), stopReading_.Get()};
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
                CancelIo(pipe_.Get());
                // What the read got before it was cancelled still counts.
                if (GetOverlappedResult(pipe_.Get(), &overlapped, &got, TRUE)) TakeBytes(buffer, got);
                return; // stopped by the owner, not ended by the driver
            }
            if (!GetOverlappedResult(pipe_.Get(), &overlapped, &got, FALSE)) break;
        }
        TakeBytes(buffer, got);
    }
    SetEvent(readerEnded_.Get());
}

void ForwardingClient::TakeBytes(const char* bytes, unsigned long count)
{
    partial_.insert(partial_.end(), bytes, bytes + count);
    std::size_t used = 0;
    while (partial_.size() - used >= static_cast<std::size_t>(kRecordSize)) {
        TouchRecord record{};
        std::copy_n(partial_.begin() + static_cast<std::ptrdiff_t>(used), kRecordSize, record.begin());
        used += kRecordSize;
        if (!IsConsumed(record)) {
            AppendLine(logPath_, "record " + std::to_string(run_) + " " + ToHex(record));
            ++nonZero_;
        }
        ++records_;
    }
    partial_.erase(partial_.begin(), partial_.begin() + static_cast<std::ptrdiff_t>(used));
}

} // namespace sim
