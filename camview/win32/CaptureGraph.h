#pragma once
// The capture graph: the board camera, found among the video-input devices
// by its hardware ID, feeding a sample grabber that keeps the latest frame
// as 24-bit RGB, ending in a null renderer.
#include "ComPtr.h"
#include "FrameArrivals.h"
#include "MediaType.h"

#include "camview/CameraMatch.h"
#include "camview/CameraProperties.h"

#include <dshow.h>
#include <qedit.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace camview {

// A copy of the latest frame: 24-bit rows, bottom-up unless the camera's
// format says otherwise.
struct CapturedFrame {
    std::vector<std::uint8_t> pixels;
    std::size_t bytes = 0; // of `pixels`, as the camera delivered them
    int width = 0;
    int height = 0;
    bool bottomUp = true;     // a VIDEOINFOHEADER's positive biHeight
    std::uint64_t number = 0; // of the frame since the graph ran, from 1 (TakeNewFrame)
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

// How many listed cameras the video-input devices hold, -1 when they cannot
// be listed. Only their names are read: no camera is opened, so the camera
// service keeps its camera meanwhile. COM must be initialised on the thread.
int CountListedCameras();

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
    // The next frame the camera delivered after the one this returned
    // before (never the same one twice; frames that came in between are
    // skipped), waiting at most `waitMs` for it; `height` is positive here.
    // NoFrame when none came in time, Ended when the graph does not run.
    GrabResult TakeNewFrame(CapturedFrame& frame, unsigned waitMs);
    void SetBrightness(const PropertySetting& setting);
    // Sets back, last first, what each starting property read before
    // BuildGraph set it; once.
    void RestoreProperties();
    void TearDownGraph();

    CameraGeneration Generation() const { return search_.Generation(); }
    // BuildGraph connected the camera to the grabber and the graph runs.
    bool Running() const { return running_; }

private:
    void ApplyProperty(const PropertySetting& setting);
    // The property's current value and flags, in a setting of its own.
    std::optional<PropertySetting> ReadProperty(const PropertySetting& setting);
    void ReadConnectedFrameSize();

    bool comInitialised_ = false;
    bool running_ = false;
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
    ComPtr<FrameArrivals> arrivals_;
    // Read before the starting values replaced them, in the order set.
    std::vector<PropertySetting> propertiesBefore_;

    // Touched only by the drawing thread once the graph runs; the size stays
    // 0 x 0 (and no frame is drawn) until a VIDEOINFOHEADER type told it.
    int frameWidth_ = 0;
    int frameHeight_ = 0; // negative for a top-down format
    long frameSize_ = 0;
    bool frameSeen_ = false;
    std::uint64_t lastTaken_ = 0;
};

} // namespace camview
