#pragma once
// Every sample the grabber passes on, copied as it passes with a number of
// its own: the grabber's buffered copy cannot tell a new frame from the one
// read before, and a measurement must see each frame exactly once.
#include <dshow.h>
#include <qedit.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace camview {

class FrameArrivals final : public ISampleGrabberCB {
public:
    // Reference-counted: the grabber holds one reference while it is the
    // callback, the graph another. Starts with one, the creator's.
    static FrameArrivals* Create() { return new FrameArrivals(); }
    FrameArrivals(const FrameArrivals&) = delete;
    FrameArrivals& operator=(const FrameArrivals&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // Called on the camera's streaming thread for every sample.
    STDMETHODIMP SampleCB(double, IMediaSample*) override { return S_OK; }
    STDMETHODIMP BufferCB(double sampleTime, BYTE* buffer, LONG length) override;

    // Copies the newest frame into `pixels` when its number is above
    // `lastSeen`, waiting for one at most `waitMs`; returns its number, or
    // 0 when none came. Frames that came between two calls are skipped,
    // never repeated.
    std::uint64_t TakeNewerThan(std::uint64_t lastSeen, std::vector<std::uint8_t>& pixels, unsigned waitMs);
    std::uint64_t Arrived() const { return arrived_.load(); }

private:
    FrameArrivals() = default;
    ~FrameArrivals() = default;

    std::atomic<ULONG> references_{1};
    std::mutex lock_;
    std::condition_variable newFrame_;
    std::vector<std::uint8_t> latest_; // under lock_
    std::atomic<std::uint64_t> arrived_{0};
};

} // namespace camview
