#pragma once
// Walks a touch script's steps in playing order: loops are taken here, so
// the player sees only the steps that do something. Portable, so the loop
// rules are tested natively.
#include "sim/TouchScript.h"

#include <cstddef>
#include <vector>

namespace sim {

class StepCursor {
public:
    // `steps` must outlive the cursor and come from a script that parsed.
    explicit StepCursor(const std::vector<ScriptStep>& steps)
        : steps_(steps)
    {}

    // The index of the next step to perform; false at the end of the script.
    bool Next(std::size_t& index);

private:
    struct OpenLoop {
        std::size_t begin = 0;   // index of the LoopBegin step
        unsigned roundsLeft = 0; // after the current one; ignored for ever
        bool forever = false;
    };

    const std::vector<ScriptStep>& steps_;
    std::size_t position_ = 0;
    std::vector<OpenLoop> loops_;
};

} // namespace sim
