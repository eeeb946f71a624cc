#pragma once
// The run job's second part: with the board session played, the driver
// talks to the drawing application over the touch socket and to the
// calibration program over the forwarding pipe, and the summary tells what
// went across.
#include "sim/BoardRig.h"

#include <string>

namespace sim {

// Runs both sessions against the running driver; returns their summary, or
// a line saying where one stopped.
std::string RunChannelSessions(BoardRig& rig);

} // namespace sim
