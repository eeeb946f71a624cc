#include "pentool/PenModeMachine.h"

namespace pentool {

ModeEffect PenModeMachine::OnDefaultChosen(ListSelections current)
{
    switch (mode_) {
    case PenMode::Custom:
        remembered_ = current;
        mode_ = PenMode::Default;
        break;
    case PenMode::Default:
        // The greyed lists already show the remembered choice.
        break;
    }
    return {false, std::nullopt};
}

ModeEffect PenModeMachine::OnCustomChosen()
{
    switch (mode_) {
    case PenMode::Default: mode_ = PenMode::Custom; return {true, remembered_};
    case PenMode::Custom:
        // Clicking the radio that is already on must not throw away what
        // the user has just picked.
        return {true, std::nullopt};
    }
    return {true, std::nullopt};
}

} // namespace pentool
