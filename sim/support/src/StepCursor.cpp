#include "sim/StepCursor.h"

namespace sim {

bool StepCursor::Next(std::size_t& index)
{
    while (position_ < steps_.size()) {
        const ScriptStep& step = steps_[position_];
        if (step.kind == ScriptStep::Kind::LoopBegin) {
            loops_.push_back(OpenLoop{position_, step.value == 0 ? 0u : step.value - 1, step.value == 0});
            ++position_;
            continue;
        }
        if (step.kind == ScriptStep::Kind::LoopEnd) {
            // The parser pairs them, so the innermost open loop is this one's.
            OpenLoop& loop = loops_.back();
            if (loop.forever || loop.roundsLeft > 0) {
                if (!loop.forever) --loop.roundsLeft;
                position_ = loop.begin + 1;
            } else {
                loops_.pop_back();
                ++position_;
            }
            continue;
        }
        index = position_++;
        return true;
    }
    return false;
}

} // namespace sim
