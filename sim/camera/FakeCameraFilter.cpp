#include "FakeCameraFilter.h"

#include "CallLog.h"
#include "Enumerators.h"
#include "FramePicture.h"

#include <chrono>
#include <string>

namespace fakecamera {

// {6F0A3C52-1B7E-4D3A-9C61-5E2B8F4A7D10}
extern const CLSID kFakeCameraClassId;
const CLSID kFakeCameraClassId = {0x6f0a3c52, 0x1b7e, 0x4d3a, {0x9c, 0x61, 0x5e, 0x2b, 0x8f, 0x4a, 0x7d, 0x10}};

namespace {

constexpr auto kFramePeriod = std::chrono::milliseconds(33);

std::string ProcAmpName(long property)
{
    static const char* const names[] = {"Brightness",  "Contrast",     "Hue",
                                        "Saturation",  "Sharpness",    "Gamma",
                                        "ColorEnable", "WhiteBalance", "BacklightCompensation",
                                        "Gain"};
    return property >= 0 && property < 10 ? names[property] : "Property" + std::to_string(property);
}

std::string CameraControlName(long property)
{
    static const char* const names[] = {"Pan", "Tilt", "Roll", "Zoom", "Exposure", "Iris", "Focus"};
    return property >= 0 && property < 7 ? names[property] : "Property" + std::to_string(property);
}

// What a property reads before anyone set it: a camera's own factory
// setting, never the range's default of 0, so that a caller that saves a
// value and puts it back afterwards shows in the log with that value.
FakeCameraFilter::Setting FactorySetting(bool cameraControl, long property)
{
    static const long procAmp[] = {57, 43, 3, 64, 5, 120, 1, 4600, 1, 21};
    static const long control[] = {7, -3, 1, 10, -6, 4, 30};
    const long* values = cameraControl ? control : procAmp;
    const long count = cameraControl ? 7 : 10;
    return {property >= 0 && property < count ? values[property] : 11 + property, 2}; // manual
}

HRESULT FillRange(long* minimum, long* maximum, long* step, long* fallback, long* capsFlags)
{
    if (!minimum || !maximum || !step || !fallback || !capsFlags) return E_POINTER;
    *minimum = -1000;
    *maximum = 1000;
    *step = 1;
    *fallback = 0;
    *capsFlags = 3; // automatic and manual
    return S_OK;
}

} // namespace

FakeCameraFilter::FakeCameraFilter()
    : film_(ReadFilmSettings()),
      pin_(*this),
      cameraControlPart_(*this)
{}

FakeCameraFilter::~FakeCameraFilter()
{
    StopStreaming();
    if (clock_) clock_->Release();
}

STDMETHODIMP FakeCameraFilter::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter || iid == IID_IBaseFilter)
        *object = static_cast<IBaseFilter*>(this);
    else if (iid == IID_IAMVideoProcAmp)
        *object = static_cast<IAMVideoProcAmp*>(this);
    else if (iid == IID_IAMCameraControl)
        *object = static_cast<IAMCameraControl*>(&cameraControlPart_);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FakeCameraFilter::AddRef()
{
    return ++refs_;
}

STDMETHODIMP_(ULONG) FakeCameraFilter::Release()
{
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP FakeCameraFilter::GetClassID(CLSID* id)
{
    if (!id) return E_POINTER;
    *id = kFakeCameraClassId;
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::Stop()
{
    ModuleLog().Line("Stop");
    running_ = false;
    StopStreaming();
    std::lock_guard<std::mutex> hold(lock_);
    state_ = State_Stopped;
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::Pause()
{
    ModuleLog().Line("Pause");
    running_ = false;
    const HRESULT hr = StartStreaming();
    if (FAILED(hr)) return hr;
    std::lock_guard<std::mutex> hold(lock_);
    // A live source delivers nothing while paused; GetState says so.
    state_ = State_Paused;
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::Run(REFERENCE_TIME)
{
    ModuleLog().Line("Run");
    const HRESULT hr = StartStreaming();
    if (FAILED(hr)) return hr;
    {
        std::lock_guard<std::mutex> hold(lock_);
        state_ = State_Running;
    }
    running_ = true;
    streamWake_.notify_all();
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::GetState(DWORD, FILTER_STATE* state)
{
    if (!state) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *state = state_;
    return state_ == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP FakeCameraFilter::SetSyncSource(IReferenceClock* clock)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (clock) clock->AddRef();
    if (clock_) clock_->Release();
    clock_ = clock;
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::GetSyncSource(IReferenceClock** clock)
{
    if (!clock) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *clock = clock_;
    if (clock_) clock_->AddRef();
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::EnumPins(IEnumPins** pins)
{
    if (!pins) return E_POINTER;
    *pins = new PinEnumerator(&pin_);
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::FindPin(LPCWSTR id, IPin** pin)
{
    if (!id || !pin) return E_POINTER;
    if (lstrcmpW(id, L"Capture") != 0) {
        *pin = nullptr;
        return VFW_E_NOT_FOUND;
    }
    *pin = &pin_;
    pin_.AddRef();
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::QueryFilterInfo(FILTER_INFO* info)
{
    if (!info) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    lstrcpynW(info->achName, name_.c_str(), MAX_FILTER_NAME);
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name)
{
    std::lock_guard<std::mutex> hold(lock_);
    graph_ = graph;
    name_ = name ? name : L"";
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::GetRange(long property, long* minimum, long* maximum, long* step, long* fallback,
                                        long* capsFlags)
{
    ModuleLog().Line("VideoProcAmp.GetRange " + ProcAmpName(property));
    return FillRange(minimum, maximum, step, fallback, capsFlags);
}

STDMETHODIMP FakeCameraFilter::Set(long property, long value, long flags)
{
    ModuleLog().Line("VideoProcAmp.Set " + ProcAmpName(property) + " " + std::to_string(value) + " " +
                     std::to_string(flags));
    std::lock_guard<std::mutex> hold(lock_);
    procAmp_[property] = {value, flags};
    return S_OK;
}

STDMETHODIMP FakeCameraFilter::Get(long property, long* value, long* flags)
{
    if (!value || !flags) return E_POINTER;
    Setting setting;
    {
        std::lock_guard<std::mutex> hold(lock_);
        setting = procAmp_.emplace(property, FactorySetting(false, property)).first->second;
    }
    ModuleLog().Line("VideoProcAmp.Get " + ProcAmpName(property));
    *value = setting.value;
    *flags = setting.flags;
    return S_OK;
}

HRESULT FakeCameraFilter::ControlGetRange(long property, long* minimum, long* maximum, long* step, long* fallback,
                                          long* capsFlags)
{
    ModuleLog().Line("CameraControl.GetRange " + CameraControlName(property));
    return FillRange(minimum, maximum, step, fallback, capsFlags);
}

HRESULT FakeCameraFilter::ControlSet(long property, long value, long flags)
{
    ModuleLog().Line("CameraControl.Set " + CameraControlName(property) + " " + std::to_string(value) + " " +
                     std::to_string(flags));
    std::lock_guard<std::mutex> hold(lock_);
    cameraControl_[property] = {value, flags};
    return S_OK;
}

HRESULT FakeCameraFilter::ControlGet(long property, long* value, long* flags)
{
    if (!value || !flags) return E_POINTER;
    Setting setting;
    {
        std::lock_guard<std::mutex> hold(lock_);
        setting = cameraControl_.emplace(property, FactorySetting(true, property)).first->second;
    }
    ModuleLog().Line("CameraControl.Get " + CameraControlName(property));
    *value = setting.value;
    *flags = setting.flags;
    return S_OK;
}

HRESULT FakeCameraFilter::StartStreaming()
{
    std::lock_guard<std::mutex> hold(streamLock_);
    if (streamer_.joinable()) return S_OK;
    const HRESULT hr = pin_.Commit();
    if (FAILED(hr)) return hr;
    stopStreaming_ = false;
    streamer_ = std::thread([this] { StreamFrames(); });
    return S_OK;
}

void FakeCameraFilter::StopStreaming()
{
    {
        std::lock_guard<std::mutex> hold(streamLock_);
        if (!streamer_.joinable()) return;
        stopStreaming_ = true;
    }
    streamWake_.notify_all();
    // Decommitting releases a thread waiting for a free buffer.
    pin_.Decommit();
    streamer_.join();
}

void FakeCameraFilter::StreamFrames()
{
    // This thread alone paints, so the picture (and the screen it may film)
    // is its own.
    FramePicture picture(film_);
    unsigned frameNumber = 0;
    bool refused = false;
    // Frames keep their pace however long painting one takes, short of a
    // whole period; a camera that fell behind starts its pace anew.
    auto due = std::chrono::steady_clock::now() + kFramePeriod;
    std::unique_lock<std::mutex> hold(streamLock_);
    while (!stopStreaming_) {
        streamWake_.wait_until(hold, due, [this] { return stopStreaming_; });
        if (stopStreaming_) break;
        due += kFramePeriod;
        if (due < std::chrono::steady_clock::now()) due = std::chrono::steady_clock::now() + kFramePeriod;
        if (!running_ || refused) continue;
        hold.unlock();
        const HRESULT hr = pin_.DeliverFrame(++frameNumber, picture);
        if (hr == S_OK) {
            ModuleLog().Line("Frame " + std::to_string(frameNumber));
        } else {
            // Downstream wants no more (S_FALSE) or failed: a source stops.
            ModuleLog().Line("FrameRefused " + std::to_string(frameNumber));
            refused = true;
        }
        hold.lock();
    }
}

STDMETHODIMP CameraControlPart::QueryInterface(REFIID iid, void** object)
{
    return filter_.QueryInterface(iid, object);
}
STDMETHODIMP_(ULONG) CameraControlPart::AddRef()
{
    return filter_.AddRef();
}
STDMETHODIMP_(ULONG) CameraControlPart::Release()
{
    return filter_.Release();
}
STDMETHODIMP CameraControlPart::GetRange(long property, long* minimum, long* maximum, long* step, long* fallback,
                                         long* capsFlags)
{
    return filter_.ControlGetRange(property, minimum, maximum, step, fallback, capsFlags);
}
STDMETHODIMP CameraControlPart::Set(long property, long value, long flags)
{
    return filter_.ControlSet(property, value, flags);
}
STDMETHODIMP CameraControlPart::Get(long property, long* value, long* flags)
{
    return filter_.ControlGet(property, value, flags);
}

HRESULT CreateFakeCamera(REFIID iid, void** object)
{
    auto* filter = new (std::nothrow) FakeCameraFilter();
    if (!filter) return E_OUTOFMEMORY;
    const HRESULT hr = filter->QueryInterface(iid, object);
    filter->Release();
    return hr;
}

} // namespace fakecamera
