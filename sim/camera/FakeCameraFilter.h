#pragma once
// The fake camera as DirectShow sees it: a live source filter with one
// output pin delivering RGB24 frames of the test picture (or of the screen
// it films, see FramePicture.h), and the camera's picture-property
// interfaces, every call of which goes to the call log.
#include "MediaTypes.h"

#include "fakecamera/FilmSettings.h"

#include <dshow.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace fakecamera {

class FakeCameraFilter;
class FramePicture;

class FakeCameraPin final : public IPin, public IAMStreamConfig {
public:
    explicit FakeCameraPin(FakeCameraFilter& filter)
        : filter_(filter)
    {}
    ~FakeCameraPin();
    FakeCameraPin(const FakeCameraPin&) = delete;
    FakeCameraPin& operator=(const FakeCameraPin&) = delete;

    // IUnknown: the pin lives and dies with its filter.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPin
    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP EndOfStream() override { return E_UNEXPECTED; }
    STDMETHODIMP BeginFlush() override { return E_UNEXPECTED; }
    STDMETHODIMP EndFlush() override { return E_UNEXPECTED; }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

    // For the filter's state changes and its streaming thread.
    HRESULT Commit();
    void Decommit();
    HRESULT DeliverFrame(unsigned frameNumber, FramePicture& picture);

private:
    HRESULT TryConnection(IPin* receiver, const AM_MEDIA_TYPE& type);
    void ReleaseConnection();

    FakeCameraFilter& filter_;
    std::mutex lock_;
    IPin* peer_ = nullptr;
    IMemInputPin* peerInput_ = nullptr;
    IMemAllocator* allocator_ = nullptr;
    AM_MEDIA_TYPE connectedType_{};
    FrameSize connectedSize_{};
    bool hasPreferredSize_ = false;
    FrameSize preferredSize_{};
};

// IAMCameraControl has methods of the same names and signatures as
// IAMVideoProcAmp, so it lives in a part of its own that forwards to the filter.
class CameraControlPart final : public IAMCameraControl {
public:
    explicit CameraControlPart(FakeCameraFilter& filter)
        : filter_(filter)
    {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetRange(long property, long* minimum, long* maximum, long* step, long* fallback,
                          long* capsFlags) override;
    STDMETHODIMP Set(long property, long value, long flags) override;
    STDMETHODIMP Get(long property, long* value, long* flags) override;

private:
    FakeCameraFilter& filter_;
};

class FakeCameraFilter final : public IBaseFilter, public IAMVideoProcAmp {
public:
    FakeCameraFilter();
    ~FakeCameraFilter();
    FakeCameraFilter(const FakeCameraFilter&) = delete;
    FakeCameraFilter& operator=(const FakeCameraFilter&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPersist, IMediaFilter, IBaseFilter
    STDMETHODIMP GetClassID(CLSID* id) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
    STDMETHODIMP EnumPins(IEnumPins** pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

    // IAMVideoProcAmp
    STDMETHODIMP GetRange(long property, long* minimum, long* maximum, long* step, long* fallback,
                          long* capsFlags) override;
    STDMETHODIMP Set(long property, long value, long flags) override;
    STDMETHODIMP Get(long property, long* value, long* flags) override;

    // The calls of IAMCameraControl.
    HRESULT ControlGetRange(long property, long* minimum, long* maximum, long* step, long* fallback, long* capsFlags);
    HRESULT ControlSet(long property, long value, long flags);
    HRESULT ControlGet(long property, long* value, long* flags);

    IBaseFilter* AsFilter() { return this; }

    // A picture property's value and flags as the interfaces carry them.
    struct Setting {
        long value = 0;
        long flags = 0;
    };

private:
    HRESULT StartStreaming();
    void StopStreaming();
    void StreamFrames();

    std::atomic<ULONG> refs_{1};
    // Read once, when the filter is made: a camera does not change what it
    // films while it streams.
    const std::optional<FilmSettings> film_;
    std::mutex lock_;
    FILTER_STATE state_ = State_Stopped;
    IFilterGraph* graph_ = nullptr; // not held: the graph owns the filter
    std::wstring name_;
    IReferenceClock* clock_ = nullptr;
    std::map<long, Setting> procAmp_;
    std::map<long, Setting> cameraControl_;
    FakeCameraPin pin_;
    CameraControlPart cameraControlPart_;

    std::thread streamer_;
    std::mutex streamLock_;
    std::condition_variable streamWake_;
    bool stopStreaming_ = false;
    std::atomic<bool> running_{false};
};

// Creates a filter with one reference.
HRESULT CreateFakeCamera(REFIID iid, void** object);

} // namespace fakecamera
