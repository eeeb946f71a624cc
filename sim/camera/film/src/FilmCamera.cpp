#include "fakecamera/FilmCamera.h"

#include <algorithm>
#include <cstring>

namespace fakecamera {
namespace {

bool SameSize(FrameSize a, FrameSize b)
{
    return a.width == b.width && a.height == b.height;
}

void FillFrame(std::uint8_t* frame, FrameSize size, std::uint8_t grey)
{
    const std::size_t stride = Rgb24Stride(size.width), row = static_cast<std::size_t>(size.width) * 3;
    for (int y = 0; y < size.height; ++y) {
        std::uint8_t* line = frame + static_cast<std::size_t>(y) * stride;
        std::fill(line, line + row, grey);
        std::fill(line + row, line + stride, std::uint8_t{0});
    }
}

} // namespace

bool FilmCamera::WantsScreen(FrameSize size) const
{
    switch (settings_.mode) {
    case FilmMode::Black:
    case FilmMode::White: return false;
    case FilmMode::Still: return frozen_.empty() || !SameSize(size, size_);
    case FilmMode::Film: return true;
    }
    return true;
}

void FilmCamera::StartSize(FrameSize size)
{
    size_ = size;
    renderer_ = std::make_unique<FilmRenderer>(settings_, size);
    delay_ = std::make_unique<FrameDelay>(settings_.delayFrames, Rgb24Bytes(size));
    fresh_.assign(Rgb24Bytes(size), 0);
    frozen_.clear();
}

void FilmCamera::NextFrame(const ScreenImage* screen, FrameSize size, unsigned frameNumber, std::uint8_t* frame)
{
    if (settings_.mode == FilmMode::Black || settings_.mode == FilmMode::White) {
        FillFrame(frame, size, settings_.mode == FilmMode::Black ? 0 : 255);
        return;
    }
    if (!renderer_ || !SameSize(size, size_)) StartSize(size);
    if (settings_.mode == FilmMode::Still && !frozen_.empty()) {
        std::memcpy(frame, frozen_.data(), frozen_.size());
        return;
    }
    // A screen that could not be taken is a dark one of the monitor's size.
    ScreenImage shown;
    if (screen && screen->pixels) {
        shown = *screen;
    } else {
        shown.width = std::max(settings_.monitor.width, 1);
        shown.height = std::max(settings_.monitor.height, 1);
        shown.bytesPerPixel = 4;
        shown.stride = static_cast<std::size_t>(shown.width) * 4;
        dark_.resize(shown.stride * shown.height);
        shown.pixels = dark_.data();
    }
    renderer_->Render(shown, frameNumber, fresh_.data());
    if (settings_.mode == FilmMode::Still) {
        frozen_ = fresh_;
        std::memcpy(frame, frozen_.data(), frozen_.size());
        return;
    }
    std::memcpy(frame, delay_->Pass(fresh_.data()), fresh_.size());
}

} // namespace fakecamera
