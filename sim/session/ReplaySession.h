#pragma once
// The replay job: a recording the driver made for the board check, played
// against the real driver with the stand-ins, the routing it was made under
// set first; what reached the desktop is summed up as for the run job.
#include <string>

namespace sim {

// Plays "recording.script" beside the runner in the folder "replay"; the
// summary, or a line that says why there is none. `ok` tells which.
std::string RunReplay(const std::string& here, bool& ok);

} // namespace sim
