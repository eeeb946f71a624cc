#include "CameraFrames.h"

#include <utility>

namespace kalmeno {

void CameraFrames::Start()
{
    thread_.Start([this] { Run(); });
}

std::vector<calibration::CameraPicture> CameraFrames::Take()
{
    std::lock_guard<std::mutex> hold(queueLock_);
    std::vector<calibration::CameraPicture> pictures(std::make_move_iterator(waiting_.begin()),
                                                     std::make_move_iterator(waiting_.end()));
    waiting_.clear();
    return pictures;
}

void CameraFrames::Run()
{
    camview::CapturedFrame frame;
    while (thread_.Running()) {
        const camview::GrabResult result = graph_.TakeNewFrame(frame, kFrameWaitMs);
        if (result == camview::GrabResult::Ended) break;
        if (result != camview::GrabResult::Frame) continue;
        calibration::CameraPicture picture =
            calibration::GreyFromRgb24(frame.pixels.data(), frame.bytes, frame.width, frame.height, frame.bottomUp);
        // A frame that does not fill its stated size is no picture.
        if (!picture.Empty()) HandOver(std::move(picture));
    }
}

void CameraFrames::HandOver(calibration::CameraPicture picture)
{
    bool first = false;
    {
        std::lock_guard<std::mutex> hold(queueLock_);
        if (waiting_.size() >= kMostWaiting) {
            waiting_.pop_front();
            ++dropped_;
        }
        first = waiting_.empty();
        waiting_.push_back(std::move(picture));
    }
    // One message for all the frames that wait: the window takes them all.
    if (first) PostMessageW(window_, kCameraFramesMessage, 0, 0);
}

} // namespace kalmeno
