#include "ForwardedRecords.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace calibration {

struct ForwardedRecords::Shared {
    common::UniqueHandle pipe;
    common::UniqueHandle driverProcess;
    HWND window = nullptr;
    UINT message = 0;
    ReaderBounds bounds;
    common::UniqueHandle stop{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    common::UniqueHandle readDone{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    // Set by Stop: an ending from now on is the one asked for.
    std::atomic<bool> stopping{false};

    std::mutex mutex;
    std::vector<RawRecord> queue; // under mutex
    Ending ending = Ending::None; // under mutex

    // Reader thread only.
    std::vector<std::uint8_t> partial;

    void Read();
    bool AwaitRead(OVERLAPPED& overlapped, DWORD& got);
    void TakeBytes(const std::uint8_t* bytes, DWORD count);
    Ending WhyBroken() const;
    void End(Ending why);
};

namespace {

constexpr DWORD kReadChunk = 512;

} // namespace

void ForwardedRecords::Shared::Read()
{
    std::uint8_t buffer[kReadChunk];
    for (;;) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = readDone.Get();
        ResetEvent(readDone.Get());
        DWORD got = 0;
        if (!ReadFile(pipe.Get(), buffer, sizeof buffer, &got, &overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) return End(WhyBroken());
            const HANDLE waits[] = {readDone.Get(), stop.Get()};
            const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, bounds.silenceMs);
            if (woke != WAIT_OBJECT_0) {
                // The system writes into the buffer and the OVERLAPPED until
                // the cancelled read has ended, so the thread waits for that
                // (at once on a local pipe); Stop does not wait beyond its
                // bound. What the read got before it ended still counts.
                CancelIoEx(pipe.Get(), &overlapped);
                if (GetOverlappedResult(pipe.Get(), &overlapped, &got, TRUE)) TakeBytes(buffer, got);
                return End(woke == WAIT_TIMEOUT && !stopping ? Ending::Silent : Ending::Stopped);
            }
            if (!GetOverlappedResult(pipe.Get(), &overlapped, &got, FALSE)) return End(WhyBroken());
        }
        TakeBytes(buffer, got);
    }
}

void ForwardedRecords::Shared::TakeBytes(const std::uint8_t* bytes, DWORD count)
{
    partial.insert(partial.end(), bytes, bytes + count);
    std::vector<RawRecord> records;
    std::size_t used = 0;
    for (; partial.size() - used >= driver::kTouchRecordSize; used += driver::kTouchRecordSize) {
        RawRecord record;
        std::copy_n(partial.begin() + static_cast<std::ptrdiff_t>(used), driver::kTouchRecordSize, record.begin());
        records.push_back(record);
    }
    partial.erase(partial.begin(), partial.begin() + static_cast<std::ptrdiff_t>(used));
    if (records.empty()) return;
    bool wasEmpty = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        wasEmpty = queue.empty();
        queue.insert(queue.end(), records.begin(), records.end());
    }
    // One message for a queue that fills, not one per record.
    if (wasEmpty) PostMessageA(window, message, 0, 0);
}

ForwardedRecords::Ending ForwardedRecords::Shared::WhyBroken() const
{
    if (stopping) return Ending::Stopped;
    if (driverProcess && WaitForSingleObject(driverProcess.Get(), bounds.driverExitGraceMs) == WAIT_OBJECT_0)
        return Ending::DriverGone;
    return Ending::Broken;
}

void ForwardedRecords::Shared::End(Ending why)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        ending = why;
    }
    PostMessageA(window, message, 0, 0);
}

ForwardedRecords::ForwardedRecords(common::UniqueHandle pipe, common::UniqueHandle driverProcess, HWND window,
                                   UINT message, const ReaderBounds& bounds)
    : shared_(std::make_shared<Shared>())
{
    shared_->pipe = std::move(pipe);
    shared_->driverProcess = std::move(driverProcess);
    shared_->window = window;
    shared_->message = message;
    shared_->bounds = bounds;
}

ForwardedRecords::~ForwardedRecords()
{
    Stop(0);
}

bool ForwardedRecords::Start()
{
    if (thread_ || !shared_->pipe || !shared_->stop || !shared_->readDone) return false;
    // The thread holds the shared part for as long as it runs.
    auto* keepAlive = new std::shared_ptr<Shared>(shared_);
    thread_.Reset(CreateThread(nullptr, 0, &ForwardedRecords::ThreadMain, keepAlive, 0, nullptr));
    if (!thread_) delete keepAlive;
    return static_cast<bool>(thread_);
}

DWORD WINAPI ForwardedRecords::ThreadMain(void* shared)
{
    const std::unique_ptr<std::shared_ptr<Shared>> keepAlive(static_cast<std::shared_ptr<Shared>*>(shared));
    (*keepAlive)->Read();
    return 0;
}

ForwardedRecords::Ending ForwardedRecords::Take(std::vector<RawRecord>& records)
{
    std::lock_guard<std::mutex> lock(shared_->mutex);
    records.insert(records.end(), shared_->queue.begin(), shared_->queue.end());
    shared_->queue.clear();
    return shared_->ending;
}

void ForwardedRecords::ExpectTheEnd()
{
    shared_->stopping = true;
}

void ForwardedRecords::Stop(DWORD endWaitMs)
{
    if (!thread_) return;
    shared_->stopping = true;
    if (WaitForSingleObject(thread_.Get(), endWaitMs) != WAIT_OBJECT_0) {
        SetEvent(shared_->stop.Get());
        // Past the bound the thread is left to end by itself, with the
        // shared part it holds.
        WaitForSingleObject(thread_.Get(), shared_->bounds.stopWaitMs);
    }
    thread_.Reset();
}

const char* Name(ForwardedRecords::Ending ending)
{
    switch (ending) {
    case ForwardedRecords::Ending::None: return "reading";
    case ForwardedRecords::Ending::Broken: return "broken";
    case ForwardedRecords::Ending::DriverGone: return "driver gone";
    case ForwardedRecords::Ending::Silent: return "silent";
    case ForwardedRecords::Ending::Stopped: return "stopped";
    }
    return "?";
}

} // namespace calibration
