#pragma once
// Owners of the media-type records DirectShow hands out.
#include <dshow.h>

#include "camview/FrameLayout.h"

namespace camview {

// Frees the format block and the extra interface of a record in place.
void FreeMediaTypeFields(AM_MEDIA_TYPE& type);

// A record the caller fills (GetConnectedMediaType) and this object frees.
class MediaTypeRecord {
public:
    MediaTypeRecord() = default;
    MediaTypeRecord(const MediaTypeRecord&) = delete;
    MediaTypeRecord& operator=(const MediaTypeRecord&) = delete;
    ~MediaTypeRecord() { FreeMediaTypeFields(type_); }

    AM_MEDIA_TYPE* Put()
    {
        FreeMediaTypeFields(type_);
        type_ = AM_MEDIA_TYPE{};
        return &type_;
    }
    const AM_MEDIA_TYPE& Get() const { return type_; }
    // Replaces the content with a deep copy of `other`.
    bool CopyFrom(const AM_MEDIA_TYPE& other);

private:
    AM_MEDIA_TYPE type_{};
};

// A record allocated by an enumerator, record and block both freed.
struct EnumeratedMediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* type) const;
};

// Width and height of a VIDEOINFOHEADER video type; false for other types.
bool VideoInfoFrameSize(const AM_MEDIA_TYPE& type, int& width, int& height);

} // namespace camview
