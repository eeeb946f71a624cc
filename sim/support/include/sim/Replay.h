#pragma once
// A recording made by the driver for the board check, made ready for a
// replay: the script the camera service stand-in plays (held back after its
// start until the go-ahead, so that the routing can be set first), the
// settings file the recording carries, and where contacts went.
#include <string>

namespace sim {

// The go-ahead the replay's script waits for (WM_APP+0x3F02).
inline constexpr unsigned kReplayGoAhead = 48898;

struct Replay {
    std::string script;
    // WBInit.ini as the driver had it, less [Multitouch]: a replay shows the
    // mouse side and sends nothing to the outputs of another machine.
    std::string settings;
    std::string route = "mouse"; // mouse, pair-split, half-split or forwarding
    std::string driverVersion;
    std::string startedAt;
    int records = 0;
    std::string error; // empty when the text is a recording
    bool Ok() const { return error.empty(); }
};

Replay PrepareReplay(const std::string& recording);

} // namespace sim
