#include "CaptureGraph.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace camview {

namespace {

// The sample grabber and null renderer classes, which the SDK headers
// declare without their ids.
const CLSID kSampleGrabberClass = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID kNullRendererClass = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

constexpr auto kGraphSettleTime = std::chrono::milliseconds(1000);
constexpr auto kFirstFrameTimeout = std::chrono::seconds(5);
constexpr auto kFirstFramePoll = std::chrono::milliseconds(10);
// ISampleGrabber::SetCallback's choice of BufferCB (0 would be SampleCB).
constexpr long kBufferCallback = 1;

class Variant {
public:
    Variant() { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value_); }
    VARIANT* Get() { return &value_; }

private:
    VARIANT value_;
};

std::wstring ReadDevicePath(IMoniker* moniker)
{
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) return {};
    Variant path;
    path.Get()->vt = VT_BSTR;
    if (FAILED(bag->Read(L"DevicePath", path.Get(), nullptr)) || path.Get()->vt != VT_BSTR || !path.Get()->bstrVal)
        return {};
    return std::wstring(path.Get()->bstrVal, SysStringLen(path.Get()->bstrVal));
}

// The pin at `index` in the filter's own order.
ComPtr<IPin> PinAt(IBaseFilter* filter, ULONG index)
{
    ComPtr<IPin> pin;
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.Put()))) return pin;
    pins->Reset();
    if (index > 0 && pins->Skip(index) != S_OK) return pin;
    if (pins->Next(1, pin.Put(), nullptr) != S_OK) pin.Reset();
    return pin;
}

AM_MEDIA_TYPE GrabberMediaType()
{
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_RGB24;
    type.formattype = FORMAT_VideoInfo;
    return type;
}

ComPtr<IEnumMoniker> VideoInputDevices()
{
    ComPtr<IEnumMoniker> monikers;
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.PutVoid())))
        return monikers;
    if (devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.Put(), 0) != S_OK) monikers.Reset();
    return monikers;
}

} // namespace

int CountListedCameras()
{
    ComPtr<IEnumMoniker> monikers = VideoInputDevices();
    if (!monikers) return -1;
    CameraSearch search;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        const std::wstring path = ReadDevicePath(moniker.Get());
        if (!path.empty()) search.Offer(path);
    }
    return search.Count();
}

int CaptureGraph::FindDevice()
{
    if (!comInitialised_) comInitialised_ = SUCCEEDED(CoInitialize(nullptr));

    ComPtr<IEnumMoniker> monikers = VideoInputDevices();
    if (!monikers) return -1;

    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        const std::wstring path = ReadDevicePath(moniker.Get());
        if (path.empty() || !search_.Offer(path)) continue;
        // A later listed camera replaces an earlier one, but only once it is
        // bound: a camera that cannot be opened does not cost the one before.
        ComPtr<IBaseFilter> filter;
        if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.PutVoid())) && filter)
            captureFilter_ = std::move(filter);
    }
    return search_.Count();
}

void CaptureGraph::BuildGraph()
{
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IGraphBuilder,
                     graphBuilder_.PutVoid());
    if (!graphBuilder_) return;
    graphBuilder_.As(IID_IMediaControl, mediaControl_);
    graphBuilder_.As(IID_IMediaEvent, mediaEvent_);

    CoCreateInstance(kNullRendererClass, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, rendererFilter_.PutVoid());
    CoCreateInstance(kSampleGrabberClass, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabberFilter_.PutVoid());
    if (!rendererFilter_ || !grabberFilter_) return;
    grabberFilter_.As(IID_ISampleGrabber, grabber_);
    if (!grabber_) return;

    AM_MEDIA_TYPE grabberType = GrabberMediaType();
    grabber_->SetMediaType(&grabberType);
    MediaTypeRecord wanted;
    wanted.CopyFrom(grabberType);

    graphBuilder_->AddFilter(rendererFilter_.Get(), L"NullRenderer");
    graphBuilder_->AddFilter(grabberFilter_.Get(), L"Grabber");
    if (!captureFilter_) return;
    graphBuilder_->AddFilter(captureFilter_.Get(), nullptr);

    captureOutput_ = PinAt(captureFilter_.Get(), 0);
    grabberInput_ = PinAt(grabberFilter_.Get(), 0);
    grabberOutput_ = PinAt(grabberFilter_.Get(), 1);
    rendererInput_ = PinAt(rendererFilter_.Get(), 0);
    if (!captureOutput_) return;

    ComPtr<IEnumMediaTypes> types;
    if (SUCCEEDED(captureOutput_->EnumMediaTypes(types.Put())) && types) {
        AM_MEDIA_TYPE* raw = nullptr;
        while (types->Next(1, &raw, nullptr) == S_OK) {
            std::unique_ptr<AM_MEDIA_TYPE, EnumeratedMediaTypeDeleter> type(raw);
            int width = 0, height = 0;
            if (VideoInfoFrameSize(*type, width, height) && width == 320 && height == 240) {
                wanted.CopyFrom(*type);
                break;
            }
        }
    }

    if (SUCCEEDED(captureOutput_.As(IID_IAMStreamConfig, streamConfig_)))
        streamConfig_->SetFormat(const_cast<AM_MEDIA_TYPE*>(&wanted.Get()));

    const bool connected = SUCCEEDED(graphBuilder_->Connect(captureOutput_.Get(), grabberInput_.Get()));
    graphBuilder_->Connect(grabberOutput_.Get(), rendererInput_.Get());

    // The grabber keeps a copy of every sample and the stream keeps
    // flowing; each drawing cycle reads the latest copy. (In one-shot mode
    // the stream would stop after the first sample and the view would
    // freeze on it.)
    grabber_->SetBufferSamples(TRUE);
    grabber_->SetOneShot(FALSE);
    // And every sample is also copied as it passes, numbered, so that a
    // reader can tell a new frame from the one it read before.
    arrivals_.Reset();
    *arrivals_.Put() = FrameArrivals::Create();
    grabber_->SetCallback(arrivals_.Get(), kBufferCallback);
    ReadConnectedFrameSize();

    const bool ran = mediaControl_ && SUCCEEDED(mediaControl_->Run());
    running_ = connected && ran;
    std::this_thread::sleep_for(kGraphSettleTime);

    // Each value the camera had is read before it is replaced, so that
    // whoever borrowed the camera can give it back as it was.
    propertiesBefore_.clear();
    for (const PropertySetting& setting : StartingProperties(search_.Generation())) {
        if (const auto before = ReadProperty(setting)) propertiesBefore_.push_back(*before);
        ApplyProperty(setting);
    }
}

void CaptureGraph::ReadConnectedFrameSize()
{
    MediaTypeRecord connected;
    if (!grabber_ || FAILED(grabber_->GetConnectedMediaType(connected.Put()))) return;
    int width = 0, height = 0;
    if (VideoInfoFrameSize(connected.Get(), width, height)) {
        frameWidth_ = width;
        frameHeight_ = height;
    }
}

GrabResult CaptureGraph::TakeNewFrame(CapturedFrame& frame, unsigned waitMs)
{
    if (!grabber_ || !arrivals_) return GrabResult::Ended;
    const std::uint64_t number = arrivals_->TakeNewerThan(lastTaken_, frame.pixels, waitMs);
    if (number == 0) return GrabResult::NoFrame;
    lastTaken_ = number;
    const long size = static_cast<long>(frame.pixels.size());
    if (size != frameSize_) {
        // A new sample size may mean a new format: take the size again.
        frameSize_ = size;
        ReadConnectedFrameSize();
    }
    frame.bytes = frame.pixels.size();
    frame.width = frameWidth_;
    frame.height = frameHeight_ < 0 ? -frameHeight_ : frameHeight_;
    frame.bottomUp = frameHeight_ >= 0;
    frame.number = number;
    return GrabResult::Frame;
}

GrabResult CaptureGraph::GrabFrame(CapturedFrame& frame, const std::atomic<int>& keepWaiting)
{
    if (!grabber_) return GrabResult::Ended;

    long size = 0;
    const auto deadline = std::chrono::steady_clock::now() + kFirstFrameTimeout;
    while (FAILED(grabber_->GetCurrentBuffer(&size, nullptr)) || size <= 0) {
        if (frameSeen_) return GrabResult::NoFrame;
        if (keepWaiting.load() != 1 || std::chrono::steady_clock::now() >= deadline) return GrabResult::Ended;
        std::this_thread::sleep_for(kFirstFramePoll);
    }
    frameSeen_ = true;

    if (size != frameSize_) {
        // A new sample size may mean a new format: take the size again.
        frameSize_ = size;
        ReadConnectedFrameSize();
    }
    if (frame.pixels.size() < static_cast<std::size_t>(size)) frame.pixels.resize(static_cast<std::size_t>(size));
    long copied = static_cast<long>(frame.pixels.size());
    if (FAILED(grabber_->GetCurrentBuffer(&copied, reinterpret_cast<long*>(frame.pixels.data()))) || copied <= 0 ||
        static_cast<std::size_t>(copied) > frame.pixels.size())
        return GrabResult::NoFrame;
    frame.bytes = static_cast<std::size_t>(copied);
    frame.width = frameWidth_;
    frame.height = frameHeight_;
    frame.bottomUp = frameHeight_ >= 0;
    return GrabResult::Frame;
}

void CaptureGraph::SetBrightness(const PropertySetting& setting)
{
    ApplyProperty(setting);
}

void CaptureGraph::ApplyProperty(const PropertySetting& setting)
{
    if (!captureFilter_) return;
    if (setting.target == PropertyInterface::VideoProcAmp) {
        ComPtr<IAMVideoProcAmp> amp;
        if (SUCCEEDED(captureFilter_.As(IID_IAMVideoProcAmp, amp)))
            amp->Set(setting.property, setting.value, setting.flags);
    } else {
        ComPtr<IAMCameraControl> control;
        if (SUCCEEDED(captureFilter_.As(IID_IAMCameraControl, control)))
            control->Set(setting.property, setting.value, setting.flags);
    }
}

std::optional<PropertySetting> CaptureGraph::ReadProperty(const PropertySetting& setting)
{
    if (!captureFilter_) return std::nullopt;
    PropertySetting current = setting;
    HRESULT read = E_NOINTERFACE;
    if (setting.target == PropertyInterface::VideoProcAmp) {
        ComPtr<IAMVideoProcAmp> amp;
        if (SUCCEEDED(captureFilter_.As(IID_IAMVideoProcAmp, amp)))
            read = amp->Get(setting.property, &current.value, &current.flags);
    } else {
        ComPtr<IAMCameraControl> control;
        if (SUCCEEDED(captureFilter_.As(IID_IAMCameraControl, control)))
            read = control->Get(setting.property, &current.value, &current.flags);
    }
    // A property the camera cannot report is left as the start set it.
    if (FAILED(read)) return std::nullopt;
    return current;
}

void CaptureGraph::RestoreProperties()
{
    for (auto before = propertiesBefore_.rbegin(); before != propertiesBefore_.rend(); ++before) ApplyProperty(*before);
    propertiesBefore_.clear();
}

void CaptureGraph::TearDownGraph()
{
    if (mediaControl_) mediaControl_->Stop();
    running_ = false;
    if (grabber_) grabber_->SetCallback(nullptr, kBufferCallback);
    arrivals_.Reset();
    propertiesBefore_.clear();
    lastTaken_ = 0;
    captureFilter_.Reset();
    graphBuilder_.Reset();
    mediaControl_.Reset();
    mediaEvent_.Reset();
    grabber_.Reset();
    captureOutput_.Reset();
    grabberInput_.Reset();
    grabberOutput_.Reset();
    rendererInput_.Reset();
    grabberFilter_.Reset();
    streamConfig_.Reset();
    rendererFilter_.Reset();
    frameWidth_ = frameHeight_ = 0;
    frameSize_ = 0;
    frameSeen_ = false;
    if (comInitialised_) {
        CoUninitialize();
        comInitialised_ = false;
    }
}

} // namespace camview
