#include "CallLog.h"
#include "Enumerators.h"
#include "FakeCameraFilter.h"
#include "FramePicture.h"

#include <cstring>
#include <string>

namespace fakecamera {

namespace {

const wchar_t kPinName[] = L"Capture";

std::string SizeText(FrameSize size)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

} // namespace

FakeCameraPin::~FakeCameraPin()
{
    ReleaseConnection();
}

STDMETHODIMP FakeCameraPin::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPin)
        *object = static_cast<IPin*>(this);
    else if (iid == IID_IAMStreamConfig)
        *object = static_cast<IAMStreamConfig*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FakeCameraPin::AddRef()
{
    return filter_.AddRef();
}
STDMETHODIMP_(ULONG) FakeCameraPin::Release()
{
    return filter_.Release();
}

STDMETHODIMP FakeCameraPin::Connect(IPin* receiver, const AM_MEDIA_TYPE* type)
{
    if (!receiver) return E_POINTER;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (peer_) return VFW_E_ALREADY_CONNECTED;
    }
    FrameSize size{};
    if (type && type->formattype == FORMAT_VideoInfo) {
        if (!DeliverableSize(*type, size)) return VFW_E_TYPE_NOT_ACCEPTED;
        {
            // Like a real camera, a format chosen with SetFormat is the only one.
            std::lock_guard<std::mutex> hold(lock_);
            if (hasPreferredSize_ && (size.width != preferredSize_.width || size.height != preferredSize_.height))
                return VFW_E_TYPE_NOT_ACCEPTED;
        }
        AM_MEDIA_TYPE wanted = MakeRgb24Type(size);
        const HRESULT hr = TryConnection(receiver, wanted);
        FreeMediaTypeFields(wanted);
        return hr;
    }
    // A format chosen with SetFormat is the only one offered; otherwise
    // every offered size in turn.
    std::vector<FrameSize> candidates;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (hasPreferredSize_) candidates.push_back(preferredSize_);
    }
    if (candidates.empty()) candidates = OfferedSizes();
    for (const FrameSize& candidate : candidates) {
        AM_MEDIA_TYPE offer = MakeRgb24Type(candidate);
        const bool acceptable = !type || ((type->majortype == GUID_NULL || type->majortype == offer.majortype) &&
                                          (type->subtype == GUID_NULL || type->subtype == offer.subtype));
        const HRESULT hr = acceptable ? TryConnection(receiver, offer) : VFW_E_TYPE_NOT_ACCEPTED;
        FreeMediaTypeFields(offer);
        if (SUCCEEDED(hr)) return hr;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT FakeCameraPin::TryConnection(IPin* receiver, const AM_MEDIA_TYPE& type)
{
    HRESULT hr = receiver->ReceiveConnection(this, &type);
    if (FAILED(hr)) return hr;

    IMemInputPin* input = nullptr;
    hr = receiver->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&input));
    if (FAILED(hr)) {
        receiver->Disconnect();
        return hr;
    }
    IMemAllocator* allocator = nullptr;
    if (FAILED(input->GetAllocator(&allocator)))
        hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                              reinterpret_cast<void**>(&allocator));
    if (SUCCEEDED(hr)) {
        ALLOCATOR_PROPERTIES wanted{3, static_cast<long>(type.lSampleSize), 1, 0};
        ALLOCATOR_PROPERTIES actual{};
        hr = allocator->SetProperties(&wanted, &actual);
        if (SUCCEEDED(hr) && actual.cbBuffer < static_cast<long>(type.lSampleSize)) hr = E_FAIL;
        if (SUCCEEDED(hr)) hr = input->NotifyAllocator(allocator, FALSE);
    }
    if (FAILED(hr)) {
        if (allocator) allocator->Release();
        input->Release();
        receiver->Disconnect();
        return hr;
    }

    std::lock_guard<std::mutex> hold(lock_);
    peer_ = receiver;
    peer_->AddRef();
    peerInput_ = input;
    allocator_ = allocator;
    FreeMediaTypeFields(connectedType_);
    CopyMediaType(connectedType_, type);
    DeliverableSize(type, connectedSize_);
    ModuleLog().Line("Connect " + SizeText(connectedSize_));
    return S_OK;
}

void FakeCameraPin::ReleaseConnection()
{
    std::lock_guard<std::mutex> hold(lock_);
    if (allocator_) allocator_->Release();
    if (peerInput_) peerInput_->Release();
    if (peer_) peer_->Release();
    allocator_ = nullptr;
    peerInput_ = nullptr;
    peer_ = nullptr;
    FreeMediaTypeFields(connectedType_);
    connectedType_ = AM_MEDIA_TYPE{};
    connectedSize_ = FrameSize{};
}

STDMETHODIMP FakeCameraPin::Disconnect()
{
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!peer_) return S_FALSE;
    }
    ReleaseConnection();
    return S_OK;
}

STDMETHODIMP FakeCameraPin::ConnectedTo(IPin** pin)
{
    if (!pin) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *pin = peer_;
    if (!peer_) return VFW_E_NOT_CONNECTED;
    peer_->AddRef();
    return S_OK;
}

STDMETHODIMP FakeCameraPin::ConnectionMediaType(AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    if (!peer_) {
        *type = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(*type, connectedType_) ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP FakeCameraPin::QueryPinInfo(PIN_INFO* info)
{
    if (!info) return E_POINTER;
    info->pFilter = filter_.AsFilter();
    info->pFilter->AddRef();
    info->dir = PINDIR_OUTPUT;
    lstrcpynW(info->achName, kPinName, MAX_PIN_NAME);
    return S_OK;
}

STDMETHODIMP FakeCameraPin::QueryDirection(PIN_DIRECTION* direction)
{
    if (!direction) return E_POINTER;
    *direction = PINDIR_OUTPUT;
    return S_OK;
}

STDMETHODIMP FakeCameraPin::QueryId(LPWSTR* id)
{
    if (!id) return E_POINTER;
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(kPinName)));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, kPinName, sizeof(kPinName));
    return S_OK;
}

STDMETHODIMP FakeCameraPin::QueryAccept(const AM_MEDIA_TYPE* type)
{
    FrameSize size{};
    return type && DeliverableSize(*type, size) ? S_OK : S_FALSE;
}

STDMETHODIMP FakeCameraPin::EnumMediaTypes(IEnumMediaTypes** types)
{
    if (!types) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *types = hasPreferredSize_ ? new MediaTypeEnumerator(std::vector<FrameSize>{preferredSize_})
                               : new MediaTypeEnumerator(OfferedSizes());
    return S_OK;
}

STDMETHODIMP FakeCameraPin::SetFormat(AM_MEDIA_TYPE* type)
{
    FrameSize size{};
    if (!type || !DeliverableSize(*type, size)) {
        ModuleLog().Line("SetFormat refused");
        return VFW_E_INVALIDMEDIATYPE;
    }
    std::lock_guard<std::mutex> hold(lock_);
    if (peer_) return VFW_E_ALREADY_CONNECTED;
    preferredSize_ = size;
    hasPreferredSize_ = true;
    ModuleLog().Line("SetFormat " + SizeText(size));
    return S_OK;
}

STDMETHODIMP FakeCameraPin::GetFormat(AM_MEDIA_TYPE** type)
{
    if (!type) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    AM_MEDIA_TYPE current = MakeRgb24Type(peer_               ? connectedSize_
                                          : hasPreferredSize_ ? preferredSize_
                                                              : OfferedSizes()[0]);
    *type = CreateMediaTypeCopy(current);
    FreeMediaTypeFields(current);
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP FakeCameraPin::GetNumberOfCapabilities(int* count, int* size)
{
    if (!count || !size) return E_POINTER;
    *count = static_cast<int>(OfferedSizes().size());
    *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP FakeCameraPin::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps)
{
    if (!type || !caps) return E_POINTER;
    if (index < 0 || index >= static_cast<int>(OfferedSizes().size())) return S_FALSE;
    const FrameSize size = OfferedSizes()[index];
    AM_MEDIA_TYPE offer = MakeRgb24Type(size);
    *type = CreateMediaTypeCopy(offer);
    FreeMediaTypeFields(offer);
    auto* streamCaps = reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps);
    std::memset(streamCaps, 0, sizeof(*streamCaps));
    streamCaps->guid = FORMAT_VideoInfo;
    streamCaps->InputSize = streamCaps->MinOutputSize = streamCaps->MaxOutputSize = {size.width, size.height};
    streamCaps->MinFrameInterval = streamCaps->MaxFrameInterval = 333333;
    return *type ? S_OK : E_OUTOFMEMORY;
}

HRESULT FakeCameraPin::Commit()
{
    std::lock_guard<std::mutex> hold(lock_);
    return allocator_ ? allocator_->Commit() : S_OK;
}

void FakeCameraPin::Decommit()
{
    std::lock_guard<std::mutex> hold(lock_);
    if (allocator_) allocator_->Decommit();
}

HRESULT FakeCameraPin::DeliverFrame(unsigned frameNumber, FramePicture& picture)
{
    // Connections change only while the filter is stopped, that is while no
    // frame is being delivered, so the pointers are stable here.
    IMemAllocator* allocator = nullptr;
    IMemInputPin* input = nullptr;
    FrameSize size{};
    {
        std::lock_guard<std::mutex> hold(lock_);
        allocator = allocator_;
        input = peerInput_;
        size = connectedSize_;
    }
    if (!allocator || !input) return VFW_E_NOT_CONNECTED;

    IMediaSample* sample = nullptr;
    HRESULT hr = allocator->GetBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* data = nullptr;
    const long needed = static_cast<long>(Rgb24Bytes(size));
    if (SUCCEEDED(sample->GetPointer(&data)) && sample->GetSize() >= needed) {
        picture.Paint(data, size, frameNumber);
        sample->SetActualDataLength(needed);
        sample->SetTime(nullptr, nullptr);
        sample->SetSyncPoint(TRUE);
        hr = input->Receive(sample);
    } else {
        hr = E_FAIL;
    }
    sample->Release();
    return hr;
}

} // namespace fakecamera
