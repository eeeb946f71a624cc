#include "FrameArrivals.h"

#include <chrono>

namespace camview {

namespace {

// {0579154A-2B53-4994-B0D0-E773148EFF85}, which the SDK headers declare
// without defining it.
const IID kSampleGrabberCallback = {0x0579154A, 0x2B53, 0x4994, {0xB0, 0xD0, 0xE7, 0x73, 0x14, 0x8E, 0xFF, 0x85}};

} // namespace

STDMETHODIMP FrameArrivals::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kSampleGrabberCallback)) {
        *object = static_cast<ISampleGrabberCB*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FrameArrivals::AddRef()
{
    return ++references_;
}

STDMETHODIMP_(ULONG) FrameArrivals::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP FrameArrivals::BufferCB(double, BYTE* buffer, LONG length)
{
    if (!buffer || length <= 0) return S_OK;
    {
        std::lock_guard<std::mutex> hold(lock_);
        latest_.assign(buffer, buffer + length);
        ++arrived_;
    }
    newFrame_.notify_all();
    return S_OK;
}

std::uint64_t FrameArrivals::TakeNewerThan(std::uint64_t lastSeen, std::vector<std::uint8_t>& pixels, unsigned waitMs)
{
    std::unique_lock<std::mutex> hold(lock_);
    if (!newFrame_.wait_for(hold, std::chrono::milliseconds(waitMs), [&] { return arrived_.load() > lastSeen; }))
        return 0;
    pixels.assign(latest_.begin(), latest_.end());
    return arrived_.load();
}

} // namespace camview
