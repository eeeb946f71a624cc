#include "MediaTypes.h"

#include <cstring>

namespace fakecamera {

const std::vector<FrameSize>& OfferedSizes()
{
    static const std::vector<FrameSize> sizes = {{640, 480}, {320, 240}, {160, 120}};
    return sizes;
}

AM_MEDIA_TYPE MakeRgb24Type(FrameSize size)
{
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_RGB24;
    type.bFixedSizeSamples = TRUE;
    type.formattype = FORMAT_VideoInfo;
    auto* info = static_cast<VIDEOINFOHEADER*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
    if (!info) return type;
    std::memset(info, 0, sizeof(VIDEOINFOHEADER));
    const DWORD stride = (static_cast<DWORD>(size.width) * 3 + 3) & ~3u;
    info->AvgTimePerFrame = 333333;
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = size.width;
    info->bmiHeader.biHeight = size.height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 24;
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biSizeImage = stride * static_cast<DWORD>(size.height);
    type.lSampleSize = info->bmiHeader.biSizeImage;
    type.cbFormat = sizeof(VIDEOINFOHEADER);
    type.pbFormat = reinterpret_cast<BYTE*>(info);
    return type;
}

bool CopyMediaType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source)
{
    target = source;
    target.pUnk = nullptr;
    target.pbFormat = nullptr;
    target.cbFormat = 0;
    if (source.cbFormat && source.pbFormat) {
        target.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
        if (!target.pbFormat) return false;
        std::memcpy(target.pbFormat, source.pbFormat, source.cbFormat);
        target.cbFormat = source.cbFormat;
    }
    return true;
}

void FreeMediaTypeFields(AM_MEDIA_TYPE& type)
{
    CoTaskMemFree(type.pbFormat);
    type.pbFormat = nullptr;
    type.cbFormat = 0;
    if (type.pUnk) {
        type.pUnk->Release();
        type.pUnk = nullptr;
    }
}

AM_MEDIA_TYPE* CreateMediaTypeCopy(const AM_MEDIA_TYPE& source)
{
    auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (copy && !CopyMediaType(*copy, source)) {
        CoTaskMemFree(copy);
        return nullptr;
    }
    return copy;
}

void DeleteMediaTypeCopy(AM_MEDIA_TYPE* type)
{
    if (!type) return;
    FreeMediaTypeFields(*type);
    CoTaskMemFree(type);
}

bool DeliverableSize(const AM_MEDIA_TYPE& type, FrameSize& size)
{
    if (type.majortype != MEDIATYPE_Video || type.subtype != MEDIASUBTYPE_RGB24 ||
        type.formattype != FORMAT_VideoInfo || type.cbFormat < sizeof(VIDEOINFOHEADER) || !type.pbFormat)
        return false;
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
    for (const FrameSize& offered : OfferedSizes()) {
        if (info->bmiHeader.biWidth == offered.width && info->bmiHeader.biHeight == offered.height) {
            size = offered;
            return true;
        }
    }
    return false;
}

} // namespace fakecamera
