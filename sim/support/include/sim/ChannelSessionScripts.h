#pragma once
// What the camera service plays during the run job's two channel sessions,
// written once so that the run job and the native replay of the session
// play the same records.
#include <string>

namespace sim {

// A contact of the second pair (slot 2) held for a moment, then lifted: it
// goes to the touch socket while the pair split is on.
std::string SecondPairContactScript();

// A contact at the board's centre, played while the calibration program
// takes the raw records through the forwarding pipe.
std::string ForwardedContactScript();

} // namespace sim
