#include "calibration/WholeFileWriter.h"

namespace calibration {

const char* Name(WriteOutcome outcome)
{
    switch (outcome) {
    case WriteOutcome::Written: return "Written";
    case WriteOutcome::NotSound: return "NotSound";
    case WriteOutcome::TemporaryFailed: return "TemporaryFailed";
    case WriteOutcome::MoveFailed: return "MoveFailed";
    }
    return "?";
}

std::string TemporaryPathFor(const std::string& target)
{
    return target + ".new";
}

WriteOutcome WriteWholeOrNothing(FileAccess& files, const std::string& target, std::string_view content)
{
    const std::string temporary = TemporaryPathFor(target);
    if (!files.WriteFlushed(temporary, content)) {
        files.Remove(temporary);
        return WriteOutcome::TemporaryFailed;
    }
    if (!files.MoveOver(temporary, target)) {
        files.Remove(temporary);
        return WriteOutcome::MoveFailed;
    }
    return WriteOutcome::Written;
}

} // namespace calibration
