#include "MediaType.h"

#include <cstring>

namespace camview {

void FreeMediaTypeFields(AM_MEDIA_TYPE& type)
{
    if (type.cbFormat != 0 || type.pbFormat) CoTaskMemFree(type.pbFormat);
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    if (type.pUnk) {
        type.pUnk->Release();
        type.pUnk = nullptr;
    }
}

bool MediaTypeRecord::CopyFrom(const AM_MEDIA_TYPE& other)
{
    AM_MEDIA_TYPE* target = Put();
    *target = other;
    target->pbFormat = nullptr;
    target->cbFormat = 0;
    if (target->pUnk) target->pUnk->AddRef();
    if (other.cbFormat && other.pbFormat) {
        target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(other.cbFormat));
        if (!target->pbFormat) return false;
        std::memcpy(target->pbFormat, other.pbFormat, other.cbFormat);
        target->cbFormat = other.cbFormat;
    }
    return true;
}

void EnumeratedMediaTypeDeleter::operator()(AM_MEDIA_TYPE* type) const
{
    if (!type) return;
    FreeMediaTypeFields(*type);
    CoTaskMemFree(type);
}

bool VideoInfoFrameSize(const AM_MEDIA_TYPE& type, int& width, int& height)
{
    if (type.formattype != FORMAT_VideoInfo || type.cbFormat < sizeof(VIDEOINFOHEADER) || !type.pbFormat) return false;
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
    width = info->bmiHeader.biWidth;
    height = info->bmiHeader.biHeight;
    return true;
}

} // namespace camview
