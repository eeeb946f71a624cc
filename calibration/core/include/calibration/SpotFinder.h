#pragma once
// Finding the disc a pattern shows in the camera's picture, to a fraction of
// a camera pixel. The picture is compared with the one of the pattern before
// (its reference): only what got brighter counts, so the room's light, the
// board's own marks and the disc shown before all cancel. The brightest spot
// of that difference is its peak; the spot's position is the centroid of the
// difference above a threshold set from the picture's noise, weighted by how
// far above it each pixel lies, within a window around the peak (twice, the
// second window centred on the first centroid).
//
// The figures beside the position let a caller tell a spot from no spot
// (a peak within the noise) and from a picture that changed as a whole (the
// camera's own exposure, a lamp switched on: much of the change lies outside
// the window), and see a saturated picture, where nothing can get brighter.
#include "calibration/CameraPicture.h"

#include <cstdint>
#include <vector>

namespace calibration {

// A picture of grey levels in floating point: the average of a few frames.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<float> grey;

    bool Empty() const { return width <= 0 || height <= 0 || grey.empty(); }
    bool SameSize(const GreyImage& o) const { return width == o.width && height == o.height; }
    bool SameSize(const CameraPicture& o) const { return width == o.width && height == o.height; }
};

// The average of equally sized frames; empty when there are none or their
// sizes differ.
GreyImage AverageOf(const std::vector<const CameraPicture*>& frames);
GreyImage ImageOf(const CameraPicture& frame);

// A grey level at or above this counts as saturated.
inline constexpr float kSaturatedGrey = 250;

struct SpotSearch {
    // Half the side of the window the centroid is taken in, in pixels of the
    // picture: a few times the disc's radius, and well under the distance
    // between two targets.
    int windowRadius = 7;
    // The threshold: this many times the difference's noise...
    double noiseFactor = 4;
    // ... and at least this share of the peak, so that the blur's long tail
    // in a bright spot does not weigh in.
    double peakShare = 0.08;
    // A peak under this many times the noise (and under kMinPeakGrey) is no spot.
    double minPeakOverNoise = 8;
    double minPeakGrey = 12;
    // A spot of this many pixels above the threshold or more is no disc.
    int maxBlobPixels = 400;
    // A spot whose pixels above the threshold outside the window reach this
    // share of those inside is not compact.
    double maxOutsideShare = 0.25;
};

struct Spot {
    bool found = false;        // a compact spot well above the noise
    Point position;            // picture position (left/top edge 0), when found
    double peak = 0;           // the difference at the peak, grey levels (3 x 3 mean)
    double energy = 0;         // the weights' sum over the window
    int blobPixels = 0;        // pixels above the threshold in the window
    int outsidePixels = 0;     // pixels above the threshold elsewhere
    bool compact = false;      // the change lies in the window
    double noise = 0;          // the difference's noise (sigma), grey levels
    double threshold = 0;      // grey levels
    double saturatedShare = 0; // of the shown picture's pixels, at kSaturatedGrey or above
};

// `shown` and `reference` of the same size; an empty Spot otherwise.
Spot FindSpot(const GreyImage& shown, const GreyImage& reference, const SpotSearch& search = {});

// The brightest 3 x 3 mean of the picture, grey levels: whether it shows any
// light at all.
double BrightestOf(const GreyImage& image);

// The share of pixels of `a` and `b` (of the same size) that differ by more
// than `level` grey levels: whether the picture changed between two frames.
double ChangedShare(const CameraPicture& a, const CameraPicture& b, int level);

} // namespace calibration
