#pragma once
// The capture graph: the board camera, found among the video-input devices
// by its hardware ID, feeding a sample grabber that keeps the latest frame
// as 24-bit RGB, ending in a null renderer.
#include "ComPtr.h"
#include "MediaType.h"

#include "camview/CameraMatch.h"
#include "camview/CameraProperties.h"

#include <dshow.h>
#include <qedit.h>

#include <atomic>
#include <cstdint>
#include <vector>

namespace camview {

// A copy of the latest frame: bottom-up 24-bit rows.
struct CapturedFrame {
    std::vector<std::uint8_t> pixels;
    std::size_t bytes = 0; // of `pixels`, as the camera delivered them
    int width = 0;
    int height = 0;
};

enum class GrabResult {
    Frame,   // `frame` holds the latest picture
    NoFrame, // nothing new this time; ask again later
    Ended,   // the camera delivers no pictures: the view ends
};

// Where the drawing thread takes its pictures from.
class FrameSource {
public:
    // The latest picture into `frame`; may wait for the first one while
    // `keepWaiting` is 1.
    virtual GrabResult GrabFrame(CapturedFrame& frame, const std::atomic<int>& keepWaiting) = 0;

protected:
    ~FrameSource() = default;
};

class CaptureGraph final : public FrameSource {
public:
    CaptureGraph() = default;
    CaptureGraph(const CaptureGraph&) = delete;
    CaptureGraph& operator=(const CaptureGraph&) = delete;
    ~CaptureGraph() { TearDownGraph(); }

    // -1 when the devices cannot be listed or there are no video-input
    // devices, otherwise the number of listed cameras found; the last one
    // found becomes the capture filter.
    int FindDevice();
    void BuildGraph();
    // Copies the grabber's latest frame. Until the first frame has arrived it
    // waits for one, as long as `keepWaiting` stays 1 and at most a few
    // seconds; after that it never waits.
    GrabResult GrabFrame(CapturedFrame& frame, const std::atomic<int>& keepWaiting) override;
    void SetBrightness(const PropertySetting& setting);
    void TearDownGraph();

    CameraGeneration Generation() const { return search_.Generation(); }

private:
    void ApplyProperty(const PropertySetting& setting);
    void ReadConnectedFrameSize();

    bool comInitialised_ = false;
    CameraSearch search_;
    ComPtr<IBaseFilter> captureFilter_;
    ComPtr<IGraphBuilder> graphBuilder_;
    ComPtr<IMediaControl> mediaControl_;
    ComPtr<IMediaEvent> mediaEvent_;
    ComPtr<IBaseFilter> grabberFilter_;
    ComPtr<ISampleGrabber> grabber_;
    ComPtr<IBaseFilter> rendererFilter_;
    ComPtr<IPin> captureOutput_;
    ComPtr<IPin> grabberInput_;
    ComPtr<IPin> grabberOutput_;
    ComPtr<IPin> rendererInput_;
    ComPtr<IAMStreamConfig> streamConfig_;

    // Touched only by the drawing thread once the graph runs; the size stays
    // 0 x 0 (and no frame is drawn) until a VIDEOINFOHEADER type told it.
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    long frameSize_ = 0;
    bool frameSeen_ = false;
};

} // namespace camview
