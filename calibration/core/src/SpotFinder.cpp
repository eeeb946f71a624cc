#include "calibration/SpotFinder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace calibration {
namespace {

// Noise under which no camera picture lies: a picture clipped to black
// throughout differs by nothing, and a threshold of 0 would count the
// rounding of its average.
constexpr double kNoiseFloor = 0.5;
// The median absolute deviation of Gaussian noise is 0.6745 sigma.
constexpr double kMadToSigma = 1.4826;

struct Peak {
    int x = 0;
    int y = 0;
    double value = 0;
};

// At most this many pixels, spread over the picture, tell its noise.
constexpr std::size_t kNoiseSamples = 8192;

// The brightest 3 x 3 mean: one hot pixel is not a spot. Sums of three
// along the rows first, then of three of those down the columns.
Peak BrightestBox(const std::vector<float>& image, int width, int height)
{
    Peak best;
    if (width < 3 || height < 3) return best;
    const std::size_t w = static_cast<std::size_t>(width);
    std::vector<float> rows(image.size(), 0.0f);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const float* in = image.data() + y * w;
        float* out = rows.data() + y * w;
        for (std::size_t x = 1; x + 1 < w; ++x) out[x] = in[x - 1] + in[x] + in[x + 1];
    }
    float top = -1;
    for (std::size_t y = 1; y + 1 < static_cast<std::size_t>(height); ++y) {
        const float* above = rows.data() + (y - 1) * w;
        const float* row = above + w;
        const float* below = row + w;
        for (std::size_t x = 1; x + 1 < w; ++x) {
            const float sum = above[x] + row[x] + below[x];
            if (sum > top) {
                top = sum;
                best = {static_cast<int>(x), static_cast<int>(y), 0};
            }
        }
    }
    best.value = std::max(0.0f, top) / 9.0;
    return best;
}

double RobustSigma(const std::vector<float>& difference)
{
    if (difference.empty()) return kNoiseFloor;
    // An odd step, so that the samples do not line up in columns.
    const std::size_t step = std::max<std::size_t>(1, difference.size() / kNoiseSamples) | 1;
    std::vector<float> values;
    values.reserve(difference.size() / step + 1);
    const float* d = difference.data();
    for (std::size_t i = 0; i < difference.size(); i += step) values.push_back(d[i]);
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    const float median = *middle;
    for (float& v : values) v = std::fabs(v - median);
    std::nth_element(values.begin(), middle, values.end());
    return std::max(kNoiseFloor, kMadToSigma * *middle);
}

struct Centroid {
    Point position;
    double energy = 0;
    int pixels = 0;
};

// The weighted centroid of what lies above `threshold` in the window of
// `radius` around (cx, cy), in picture positions (pixel i's centre at i + 0.5).
Centroid CentroidAround(const std::vector<float>& positive, int width, int height, int cx, int cy, int radius,
                        double threshold)
{
    Centroid c;
    double sx = 0, sy = 0;
    const float* p = positive.data();
    for (int y = std::max(0, cy - radius); y <= std::min(height - 1, cy + radius); ++y)
        for (int x = std::max(0, cx - radius); x <= std::min(width - 1, cx + radius); ++x) {
            const double w =
                p[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] -
                threshold;
            if (w <= 0) continue;
            sx += w * (x + 0.5);
            sy += w * (y + 0.5);
            c.energy += w;
            ++c.pixels;
        }
    if (c.energy > 0) c.position = {sx / c.energy, sy / c.energy};
    return c;
}

} // namespace

GreyImage ImageOf(const CameraPicture& frame)
{
    return AverageOf({&frame});
}

GreyImage AverageOf(const std::vector<const CameraPicture*>& frames)
{
    GreyImage image;
    if (frames.empty() || !frames.front() || frames.front()->Empty()) return image;
    const CameraPicture& first = *frames.front();
    for (const CameraPicture* frame : frames)
        if (!frame || frame->width != first.width || frame->height != first.height || frame->Empty()) return image;
    image.width = first.width;
    image.height = first.height;
    image.grey.assign(first.Size(), 0.0f);
    // Plain pointers in the loops over every pixel: a frame comes many
    // times a second, and an unoptimised build must keep up too.
    float* out = image.grey.data();
    const std::size_t size = image.grey.size();
    for (const CameraPicture* frame : frames) {
        const std::uint8_t* in = frame->grey.data();
        for (std::size_t i = 0; i < size; ++i) out[i] += in[i];
    }
    const float share = 1.0f / static_cast<float>(frames.size());
    for (std::size_t i = 0; i < size; ++i) out[i] *= share;
    return image;
}

Spot FindSpot(const GreyImage& shown, const GreyImage& reference, const SpotSearch& search)
{
    Spot spot;
    if (shown.Empty() || !shown.SameSize(reference) || shown.grey.size() != reference.grey.size()) return spot;
    const int width = shown.width, height = shown.height;
    const std::size_t size = shown.grey.size();

    std::vector<float> difference(size), positive(size);
    std::size_t saturated = 0;
    {
        const float* now = shown.grey.data();
        const float* before = reference.grey.data();
        float* d = difference.data();
        float* p = positive.data();
        for (std::size_t i = 0; i < size; ++i) {
            d[i] = now[i] - before[i];
            p[i] = d[i] > 0 ? d[i] : 0.0f;
            if (now[i] >= kSaturatedGrey) ++saturated;
        }
    }
    spot.saturatedShare = static_cast<double>(saturated) / static_cast<double>(size);
    spot.noise = RobustSigma(difference);

    const Peak peak = BrightestBox(positive, width, height);
    spot.peak = peak.value;
    spot.threshold = std::max(search.noiseFactor * spot.noise, search.peakShare * peak.value);

    // Taken twice: the second window is centred on the spot rather than on
    // its brightest pixel, so that it holds the spot's tail evenly.
    Centroid c = CentroidAround(positive, width, height, peak.x, peak.y, search.windowRadius, spot.threshold);
    if (c.energy > 0)
        c = CentroidAround(positive, width, height, static_cast<int>(c.position.x), static_cast<int>(c.position.y),
                           search.windowRadius, spot.threshold);
    spot.energy = c.energy;
    spot.blobPixels = c.pixels;
    spot.position = c.position;

    int above = 0;
    const float* p = positive.data();
    const float threshold = static_cast<float>(spot.threshold);
    for (std::size_t i = 0; i < size; ++i)
        if (p[i] > threshold) ++above;
    spot.outsidePixels = std::max(0, above - c.pixels);
    spot.compact = c.pixels > 0 && spot.outsidePixels <= search.maxOutsideShare * c.pixels;

    const bool aboveNoise = spot.peak >= std::max(search.minPeakOverNoise * spot.noise, search.minPeakGrey);
    spot.found = aboveNoise && spot.compact && c.pixels <= search.maxBlobPixels && c.energy > 0;
    if (!spot.found) spot.position = {};
    return spot;
}

double BrightestOf(const GreyImage& image)
{
    return image.Empty() ? 0 : BrightestBox(image.grey, image.width, image.height).value;
}

double ChangedShare(const CameraPicture& a, const CameraPicture& b, int level)
{
    if (a.Empty() || a.width != b.width || a.height != b.height || b.Empty()) return 1;
    std::size_t changed = 0;
    const std::uint8_t* pa = a.grey.data();
    const std::uint8_t* pb = b.grey.data();
    for (std::size_t i = 0; i < a.grey.size(); ++i) {
        const int d = pa[i] - pb[i];
        if (d > level || -d > level) ++changed;
    }
    return static_cast<double>(changed) / static_cast<double>(a.grey.size());
}

} // namespace calibration
