#pragma once
// A recording made by the driver for the board check, made ready for a
// replay: the script the camera service stand-in plays (held back after its
// start until the go-ahead, so that the routing can be set first), the
// settings file that makes the replayed driver run as the recorded one did,
// and where contacts went.
#include <string>
#include <vector>

namespace sim {

// The go-ahead the replay's script waits for (WM_APP+0x3F02).
inline constexpr unsigned kReplayGoAhead = 48898;

// Where a replay sends TUIO bundles when the recording had TUIO on: this
// machine, never the classroom's receiver.
inline constexpr const char* kReplayTuioHost = "127.0.0.1";

struct Replay {
    std::string script;
    // WBInit.ini for the replayed driver: the recorded file with every
    // option of the table set to its recorded value in force (so neither a
    // policy nor the program folder's copy that stood in is needed), USE_KEY
    // as the board keys were, and TUIO sent to kReplayTuioHost. A recording
    // without option lines (older drivers) keeps its file less [Multitouch],
    // with TUIO and touch injection as its facts say.
    std::string settings;
    std::string route = "mouse"; // mouse, pair-split, half-split or forwarding
    std::string driverVersion;
    std::string startedAt;
    int records = 0;
    int screenWidth = 0, screenHeight = 0; // 0: not recorded
    bool tuio = false;
    bool touchInjection = false;
    // What the replay does differently from the classroom, one line each,
    // for the replay's report.
    std::vector<std::string> notes;
    std::string error; // empty when the text is a recording
    bool Ok() const { return error.empty(); }
};

Replay PrepareReplay(const std::string& recording);

} // namespace sim
