#pragma once
// What the pen buttons do, as WBInit.ini's PENVARO section stores it.
#include "common/Profile.h"

namespace pentool {

inline constexpr int kActionCount = 11;
// A list without a selection; stored as such when the user confirms it.
inline constexpr int kNoAction = -1;

struct PenButtonChoice {
    bool defaultMode = false; // the driver's built-in behaviour instead of the actions below
    int front = 5;            // action index of the front button
    int back = 6;             // action index of the back button
};

// The stored choice; a missing file or key gives custom mode, pen and eraser.
PenButtonChoice ReadPenButtonChoice(const common::Profile& settings);

// Writes all three keys, changed or not.
void WritePenButtonChoice(common::Profile& settings, const PenButtonChoice& choice);

// The list item to show for a stored index: itself within the list, no
// selection otherwise.
int ListItemForStoredIndex(int storedIndex);

} // namespace pentool
