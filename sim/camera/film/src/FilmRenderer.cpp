#include "fakecamera/FilmRenderer.h"

#include <algorithm>
#include <cmath>

namespace fakecamera {
namespace {

// A camera pixel's patch of the screen is measured by this many sample
// points a screen pixel along each side (fewer than that leave the disc's
// spot off its centre by a few hundredths of a camera pixel), within limits
// for a patch of very many or very few screen pixels.
constexpr double kSamplesPerScreenPixel = 3;
constexpr int kFewestSamplesPerAxis = 4, kMostSamplesPerAxis = 24;

struct Corner {
    Point screen;
    bool seesBoard = false;
};

Point Between(const Point& a, const Point& b, double t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// A counter-based generator: the noise of a pixel depends on the seed, the
// frame and the pixel only, never on what was drawn before.
std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

double UnitInterval(std::uint64_t bits)
{
    // 53 bits, never 0, so that its logarithm is finite.
    return (static_cast<double>(bits >> 11) + 0.5) / 9007199254740992.0;
}

// Luminance of a screen pixel (blue, green, red), 0..255.
int Luminance(const std::uint8_t* pixel)
{
    return (pixel[0] * 29 + pixel[1] * 150 + pixel[2] * 77 + 128) >> 8;
}

} // namespace

FilmRenderer::FilmRenderer(const FilmSettings& settings, FrameSize frame)
    : settings_(settings),
      frame_(frame),
      levels_(static_cast<std::size_t>(frame.width) * frame.height),
      scratch_(levels_.size())
{
    // The blur's sigma is in picture pixels; a larger frame has more of its
    // pixels to a picture pixel.
    const double sigma = settings_.blurSigma * frame_.width / kPictureWidth;
    if (sigma >= 0.05) {
        const int reach = static_cast<int>(std::ceil(3 * sigma));
        double sum = 0;
        for (int i = -reach; i <= reach; ++i) {
            kernel_.push_back(static_cast<float>(std::exp(-0.5 * i * i / (sigma * sigma))));
            sum += kernel_.back();
        }
        for (float& weight : kernel_) weight = static_cast<float>(weight / sum);
    }
}

void FilmRenderer::Render(const ScreenImage& screen, unsigned frameNumber, std::uint8_t* frame)
{
    const LookupKey key{screen.width, screen.height, screen.bytesPerPixel, screen.stride};
    if (!(key == lookupKey_)) BuildLookup(key);
    SampleScreen(screen);
    AddRoomLight();
    Blur();
    AddNoise(frameNumber);
    WriteFrame(frame);
}

void FilmRenderer::BuildLookup(const LookupKey& key)
{
    lookupKey_ = key;
    shares_.clear();
    shareStarts_.assign(levels_.size() + 1, 0);
    if (key.width <= 0 || key.height <= 0) return;

    // Where the corners of the frame's pixels see the screen. Within one
    // pixel the way back to the screen is as good as straight, so its patch
    // is the four-sided figure between its corners.
    const BoardCameraModel model({key.width, key.height}, settings_.lens, settings_.pose);
    const int across = frame_.width + 1;
    std::vector<Corner> corners(static_cast<std::size_t>(across) * (frame_.height + 1));
    for (int row = 0; row <= frame_.height; ++row) {
        for (int column = 0; column <= frame_.width; ++column) {
            Corner& corner = corners[static_cast<std::size_t>(row) * across + column];
            corner.seesBoard = model.ScreenPointAt(
                {column * kPictureWidth / frame_.width, row * kPictureHeight / frame_.height}, corner.screen);
        }
    }

    std::vector<int> counts; // samples in each screen pixel of a patch's bounding box
    for (int row = 0; row < frame_.height; ++row) {
        for (int column = 0; column < frame_.width; ++column) {
            const std::size_t pixel = static_cast<std::size_t>(row) * frame_.width + column;
            shareStarts_[pixel] = static_cast<std::uint32_t>(shares_.size());
            const Corner& topLeft = corners[static_cast<std::size_t>(row) * across + column];
            const Corner& topRight = (&topLeft)[1];
            const Corner& bottomLeft = (&topLeft)[across];
            const Corner& bottomRight = (&topLeft)[across + 1];
            // A pixel looking past the board's plane sees the wall.
            if (!topLeft.seesBoard || !topRight.seesBoard || !bottomLeft.seesBoard || !bottomRight.seesBoard) continue;
            const double side = std::fmax(
                std::fmax(std::hypot(topRight.screen.x - topLeft.screen.x, topRight.screen.y - topLeft.screen.y),
                          std::hypot(bottomLeft.screen.x - topLeft.screen.x, bottomLeft.screen.y - topLeft.screen.y)),
                std::fmax(
                    std::hypot(bottomRight.screen.x - bottomLeft.screen.x, bottomRight.screen.y - bottomLeft.screen.y),
                    std::hypot(bottomRight.screen.x - topRight.screen.x, bottomRight.screen.y - topRight.screen.y)));
            const int samples = std::clamp(static_cast<int>(std::ceil(side * kSamplesPerScreenPixel)),
                                           kFewestSamplesPerAxis, kMostSamplesPerAxis);
            // Count the samples that fall in each screen pixel of the patch's
            // bounding box.
            const double left = std::fmin(std::fmin(topLeft.screen.x, topRight.screen.x),
                                          std::fmin(bottomLeft.screen.x, bottomRight.screen.x));
            const double top = std::fmin(std::fmin(topLeft.screen.y, topRight.screen.y),
                                         std::fmin(bottomLeft.screen.y, bottomRight.screen.y));
            const double right = std::fmax(std::fmax(topLeft.screen.x, topRight.screen.x),
                                           std::fmax(bottomLeft.screen.x, bottomRight.screen.x));
            const double bottom = std::fmax(std::fmax(topLeft.screen.y, topRight.screen.y),
                                            std::fmax(bottomLeft.screen.y, bottomRight.screen.y));
            const int boxLeft = static_cast<int>(std::floor(std::fmax(left, 0)));
            const int boxTop = static_cast<int>(std::floor(std::fmax(top, 0)));
            const int boxRight = static_cast<int>(std::floor(std::fmin(right, key.width - 1.0)));
            const int boxBottom = static_cast<int>(std::floor(std::fmin(bottom, key.height - 1.0)));
            if (boxRight < boxLeft || boxBottom < boxTop) continue;
            const int boxWidth = boxRight - boxLeft + 1;
            counts.assign(static_cast<std::size_t>(boxWidth) * (boxBottom - boxTop + 1), 0);
            for (int sy = 0; sy < samples; ++sy) {
                const double down = (sy + 0.5) / samples;
                const Point rowLeft = Between(topLeft.screen, bottomLeft.screen, down);
                const Point rowRight = Between(topRight.screen, bottomRight.screen, down);
                for (int sx = 0; sx < samples; ++sx) {
                    const Point at = Between(rowLeft, rowRight, (sx + 0.5) / samples);
                    if (at.x < 0 || at.y < 0 || at.x >= key.width || at.y >= key.height) continue;
                    const int x = std::clamp(static_cast<int>(at.x), boxLeft, boxRight);
                    const int y = std::clamp(static_cast<int>(at.y), boxTop, boxBottom);
                    ++counts[static_cast<std::size_t>(y - boxTop) * boxWidth + (x - boxLeft)];
                }
            }
            const double toLevel = settings_.contrast / (255.0 * samples * samples);
            for (std::size_t cell = 0; cell < counts.size(); ++cell) {
                if (counts[cell] == 0) continue;
                const std::size_t x = boxLeft + cell % boxWidth, y = boxTop + cell / boxWidth;
                shares_.push_back({static_cast<std::int32_t>(y * key.stride + x * key.bytesPerPixel),
                                   static_cast<float>(counts[cell] * toLevel)});
            }
        }
    }
    shareStarts_[levels_.size()] = static_cast<std::uint32_t>(shares_.size());
}

void FilmRenderer::SampleScreen(const ScreenImage& screen)
{
    for (std::size_t pixel = 0; pixel < levels_.size(); ++pixel) {
        float level = 0;
        for (std::uint32_t at = shareStarts_[pixel]; at < shareStarts_[pixel + 1]; ++at)
            level += shares_[at].weight * static_cast<float>(Luminance(screen.pixels + shares_[at].offset));
        levels_[pixel] = level;
    }
}

void FilmRenderer::AddRoomLight()
{
    const double across = frame_.width > 1 ? frame_.width - 1 : 1;
    for (int row = 0; row < frame_.height; ++row) {
        float* level = &levels_[static_cast<std::size_t>(row) * frame_.width];
        for (int column = 0; column < frame_.width; ++column)
            level[column] += static_cast<float>(settings_.roomLight + settings_.roomGradient * column / across);
    }
}

void FilmRenderer::Blur()
{
    if (kernel_.empty()) return;
    const int reach = static_cast<int>(kernel_.size() / 2);
    const int width = frame_.width, height = frame_.height;
    // Along the rows into the scratch frame, then down the columns back;
    // beyond the picture's edges its edge pixels go on.
    for (int row = 0; row < height; ++row) {
        const float* in = &levels_[static_cast<std::size_t>(row) * width];
        float* out = &scratch_[static_cast<std::size_t>(row) * width];
        for (int column = 0; column < width; ++column) {
            float sum = 0;
            for (int k = -reach; k <= reach; ++k) sum += kernel_[k + reach] * in[std::clamp(column + k, 0, width - 1)];
            out[column] = sum;
        }
    }
    for (int row = 0; row < height; ++row) {
        float* out = &levels_[static_cast<std::size_t>(row) * width];
        for (int column = 0; column < width; ++column) {
            float sum = 0;
            for (int k = -reach; k <= reach; ++k)
                sum += kernel_[k + reach] *
                       scratch_[static_cast<std::size_t>(std::clamp(row + k, 0, height - 1)) * width + column];
            out[column] = sum;
        }
    }
}

void FilmRenderer::AddNoise(unsigned frameNumber)
{
    if (settings_.noiseSigma <= 0) return;
    const std::uint64_t stream = Mix((static_cast<std::uint64_t>(settings_.seed) << 32) | frameNumber);
    // Box and Muller's two normal numbers from two uniform ones, for a pair
    // of pixels at a time.
    constexpr double kTwoPi = 6.283185307179586;
    for (std::size_t at = 0; at < levels_.size(); at += 2) {
        const std::uint64_t first = Mix(stream ^ at), second = Mix(first);
        const double radius = settings_.noiseSigma * std::sqrt(-2 * std::log(UnitInterval(first)));
        const double angle = kTwoPi * UnitInterval(second);
        levels_[at] += static_cast<float>(radius * std::cos(angle));
        if (at + 1 < levels_.size()) levels_[at + 1] += static_cast<float>(radius * std::sin(angle));
    }
}

void FilmRenderer::WriteFrame(std::uint8_t* frame) const
{
    const std::size_t stride = Rgb24Stride(frame_.width);
    for (int row = 0; row < frame_.height; ++row) {
        // Rows run bottom-up in the frame.
        std::uint8_t* out = frame + static_cast<std::size_t>(frame_.height - 1 - row) * stride;
        const float* level = &levels_[static_cast<std::size_t>(row) * frame_.width];
        for (int column = 0; column < frame_.width; ++column, out += 3) {
            const auto grey = static_cast<std::uint8_t>(std::clamp(std::lround(level[column]), 0l, 255l));
            out[0] = out[1] = out[2] = grey;
        }
        std::fill(out, frame + static_cast<std::size_t>(frame_.height - row) * stride, std::uint8_t{0});
    }
}

} // namespace fakecamera
