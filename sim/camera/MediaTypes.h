#pragma once
// The formats the fake camera offers: 24-bit RGB with a VIDEOINFOHEADER.
#include "fakecamera/CameraFrame.h"

#include <dshow.h>

#include <vector>

namespace fakecamera {

// Offered in this order; the 320 x 240 format is deliberately not first.
const std::vector<FrameSize>& OfferedSizes();

// A complete media type for that size; free it with FreeMediaTypeFields.
AM_MEDIA_TYPE MakeRgb24Type(FrameSize size);
bool CopyMediaType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source);
void FreeMediaTypeFields(AM_MEDIA_TYPE& type);
AM_MEDIA_TYPE* CreateMediaTypeCopy(const AM_MEDIA_TYPE& source); // CoTaskMemAlloc'd
void DeleteMediaTypeCopy(AM_MEDIA_TYPE* type);

// The frame size of an RGB24 video type the camera can deliver, or nothing.
bool DeliverableSize(const AM_MEDIA_TYPE& type, FrameSize& size);

} // namespace fakecamera
