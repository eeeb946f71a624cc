#pragma once
// The camera service stand-in's script: a text file of commands, one a line,
// that becomes a list of steps for the player. The language is documented in
// sim/camservice/README.md.
#include "sim/TouchRecord.h"

#include <string>
#include <vector>

namespace sim {

struct ScriptStep {
    enum class Kind {
        Record,         // write `record`, wait until the driver has consumed it
        SyncRecord,     // the same with a no-op record; never time-stamped
        WaitForDriver,  // wait until the driver's window exists (`ms` at most)
        Pause,          // leave the block alone for `ms`
        Pace,           // from here on, at least `ms` between two records
        Stamp,          // from here on, keep write and consumption times
        ConsumeTimeout, // from here on, give up after `ms` without consumption
        Realtime,       // from here on, `value` records a second, none waited for (0: wait again)
        LoopBegin,      // the steps up to the matching LoopEnd run `value` times (0: for ever)
        LoopEnd,        // back to the LoopBegin at step index `value` while it has rounds left
        Die,            // the process ends at once, as if it crashed
        DieHoldingLock, // the same while owning the block's mutex
        HangLock,       // take the block's mutex and keep it `ms` (or for ever)
        HangWindow,     // the window thread stops answering for `ms` (or for ever)
        HangOn,         // from here on, the window hangs when message `value` arrives
        Await,          // wait until the window has got message `value` once more (`ms` at most)
        Note,           // write `text` to the log, so a test knows how far the script has come
    };
    Kind kind = Kind::Record;
    TouchRecord record{};
    unsigned ms = 0;
    unsigned value = 0;   // frame rate, round count, step index or message number, by kind
    bool forever = false; // HangLock, HangWindow: no time given
    std::string text;     // Note
    int line = 0;         // script line the step comes from, for the log
};

struct TouchScript {
    std::vector<ScriptStep> steps;
    std::string error; // empty when the whole text parsed
    int errorLine = 0;

    bool Ok() const { return error.empty(); }
    int RecordCount() const;
};

inline constexpr unsigned kDefaultDriverWaitMs = 30000;
inline constexpr unsigned kDefaultConsumeTimeoutMs = 5000;
inline constexpr int kDefaultSyncRecords = 3;
inline constexpr unsigned kDefaultAwaitMs = 60000;
inline constexpr unsigned kMaxFramesPerSecond = 1000;
// A script may not expand beyond this many steps (a typing slip in a count
// must not eat the machine's memory).
inline constexpr long kMaxSteps = 1000000;

TouchScript ParseTouchScript(const std::string& text);

} // namespace sim
