#pragma once
// One camera frame of the filmed screen: each camera pixel averages the
// screen over the patch of it that the pixel sees through the camera model
// (so the spot of a disc keeps its centre), sits on the room light, is blurred by
// the lens, gets the sensor's noise and is clipped to 0..255. The camera is
// a grey one, as a board camera behind its filter is: blue, green and red
// of a frame pixel are equal.
#include "fakecamera/BoardCameraModel.h"
#include "fakecamera/CameraFrame.h"
#include "fakecamera/FilmSettings.h"

#include <cstdint>
#include <vector>

namespace fakecamera {

class FilmRenderer {
public:
    FilmRenderer(const FilmSettings& settings, FrameSize frame);

    // Frame number `frameNumber` (which seeds its noise) of `screen` into
    // `frame`, Rgb24Bytes(Size()) bytes. The screen image is laid on the
    // board whatever its size; the monitor's own size is what the ground
    // truth assumes.
    void Render(const ScreenImage& screen, unsigned frameNumber, std::uint8_t* frame);

    FrameSize Size() const { return frame_; }

private:
    struct LookupKey {
        int width = 0, height = 0, bytesPerPixel = 0;
        std::size_t stride = 0;
        bool operator==(const LookupKey& other) const
        {
            return width == other.width && height == other.height && bytesPerPixel == other.bytesPerPixel &&
                   stride == other.stride;
        }
    };
    struct Share {
        std::int32_t offset; // of a screen pixel, bytes into the screen image
        float weight;        // the part of the camera pixel it fills, times the contrast
    };
    void BuildLookup(const LookupKey& key);
    void SampleScreen(const ScreenImage& screen);
    void AddRoomLight();
    void Blur();
    void AddNoise(unsigned frameNumber);
    void WriteFrame(std::uint8_t* frame) const;

    FilmSettings settings_;
    FrameSize frame_;
    LookupKey lookupKey_;
    // What each frame pixel (top row first) sees of the screen: its shares
    // run from shareStarts_[pixel] to shareStarts_[pixel + 1]. The part of a
    // pixel that sees no screen sees the dark wall.
    std::vector<Share> shares_;
    std::vector<std::uint32_t> shareStarts_;
    std::vector<float> levels_; // grey levels of the frame being made, top row first
    std::vector<float> scratch_;
    std::vector<float> kernel_;
};

} // namespace fakecamera
