#pragma once
// The two enumerators the filter hands out: over its one pin, and over the
// media types its pin offers.
#include "MediaTypes.h"
#include "SingleInterfaceObject.h"

#include <dshow.h>

#include <utility>
#include <vector>

namespace fakecamera {

class PinEnumerator final : public SingleInterfaceObject<IEnumPins, &IID_IEnumPins> {
public:
    explicit PinEnumerator(IPin* pin, ULONG position = 0)
        : pin_(pin),
          position_(position)
    {
        pin_->AddRef();
    }
    ~PinEnumerator() { pin_->Release(); }

    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override
    {
        if (!pins || (count > 1 && !fetched)) return E_POINTER;
        ULONG given = 0;
        if (count > 0 && position_ == 0) {
            pins[0] = pin_;
            pin_->AddRef();
            given = 1;
            position_ = 1;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        const ULONG end = position_ + count;
        position_ = end > 1 ? 1 : end;
        return end <= 1 ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumPins** copy) override
    {
        if (!copy) return E_POINTER;
        *copy = new PinEnumerator(pin_, position_);
        return S_OK;
    }

private:
    IPin* pin_;
    ULONG position_;
};

class MediaTypeEnumerator final : public SingleInterfaceObject<IEnumMediaTypes, &IID_IEnumMediaTypes> {
public:
    explicit MediaTypeEnumerator(std::vector<FrameSize> sizes, ULONG position = 0)
        : sizes_(std::move(sizes)),
          position_(position)
    {}

    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override
    {
        if (!types || (count > 1 && !fetched)) return E_POINTER;
        const auto& sizes = sizes_;
        ULONG given = 0;
        while (given < count && position_ < sizes.size()) {
            AM_MEDIA_TYPE type = MakeRgb24Type(sizes[position_]);
            types[given] = CreateMediaTypeCopy(type);
            FreeMediaTypeFields(type);
            if (!types[given]) break;
            ++given;
            ++position_;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        const ULONG size = static_cast<ULONG>(sizes_.size());
        const ULONG end = position_ + count;
        position_ = end > size ? size : end;
        return end <= size ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumMediaTypes** copy) override
    {
        if (!copy) return E_POINTER;
        *copy = new MediaTypeEnumerator(sizes_, position_);
        return S_OK;
    }

private:
    std::vector<FrameSize> sizes_;
    ULONG position_;
};

} // namespace fakecamera
