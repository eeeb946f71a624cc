#pragma once
// The figures that judge a smoothing on a trace, from what reached the
// desktop and the trace's truth. Positions are compared in screen pixels
// before truncation, so that a pixel boundary near the pen does not count as
// jitter.
#include "FilterReplay.h"
#include "FilterTraces.h"

namespace filterbench {

// Root mean square distance between the pointer and the pen, from one
// second after each press (when the press point's own noise has faded) to
// the release.
double StillJitterPixels(const Trace& trace, const Replay& replay);

// How the pointer follows a moving pen, over every sample of each stroke
// after its press, by the point of the pen's path nearest to the pointer:
// how long ago the pen was there (the lag, mean in milliseconds), and how far
// the pointer is from it (the wobble off the path, RMS in pixels).
struct Following {
    double lagMs = 0;
    double offPathPixels = 0;
    long samples = 0;
};
Following FollowPath(const Trace& trace, const Replay& replay);

// The most a spike moved the pointer off the path it took without the
// spike: the largest distance, over each spike's frame and the eight after
// it, between the pointer and the clean run's pointer path around it.
double LargestSpikeDisplacementPixels(const Trace& spiked, const Replay& withSpikes, const Replay& clean);

// The share of contacts that right-clicked (press-and-hold).
double RightClickShare(const Trace& trace, const Replay& replay);

// The share of contacts that clicked: pressed and released with the pointer
// never outside the system's drag rectangle (4 x 4 pixels) around the press
// point meanwhile, so that the program under the pen sees a click, not a
// drag.
double ClickShare(const Trace& trace, const Replay& replay);

} // namespace filterbench
