#pragma once
// The run job's board session replayed through the driver's portable core,
// deterministically: the camera service's records with their pacing and
// pauses on a manual clock (one worker cycle every 2 ms), the counting
// timers fired as the window thread would fire them, the calibration loaded
// from the session's settings, and the peers' requests of the run job (the
// touch socket opened for a second-pair contact, a forwarding run, a reload).
// The result is a transcript of everything the driver sent out.
#include "driver/Desktop.h"

#include <string>

namespace golden {

struct ReplayOptions {
    // [Multitouch] TUIO=1 and TOUCH_INJECTION=1: bundles and touch frames
    // are written to the transcript too, and the mouse carries no contacts.
    bool multitouch = false;
    // [Filter] MODE=adaptive: every pointer and tracked contact smoothed by
    // its adaptive chain, with the chain's default parameters.
    bool adaptive = false;
    driver::ScreenSize primary{1024, 768};
};

// `script` in the camera service stand-in's language, `settings` the text of
// the session's WBInit.ini. A transcript line starting with "error" tells
// what could not be replayed.
std::string ReplayBoardSession(const std::string& script, const std::string& settings, const ReplayOptions& options);

} // namespace golden
