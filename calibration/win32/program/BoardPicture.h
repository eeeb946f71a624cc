#pragma once
// What the calibration window shows, and its drawing: one target at a time
// on a plain white background, large enough to be found from the back of a
// classroom (a ring and a cross), and the words of the run in a block on
// the half of the screen the target is not on. While the camera measures,
// the pattern it looks for instead: black, one white disc, and the run's
// progress dim at the bottom edge, where it barely changes the picture.
#include "calibration/FlowScreen.h"

#include <windows.h>

#include <optional>

namespace kalmeno {

enum class Tone {
    Running, // targets to touch, or a plain message
    Good,    // the check's verdict Good
    Bad,     // Recalibrate, a failure, a run stopped by the board
};

// The camera's pattern: black with nothing, or with one white disc.
struct PatternPicture {
    unsigned number = 0; // the run's pattern number: a new one is painted at once
    std::optional<POINT> disc;
    int radius = 0;

    bool operator==(const PatternPicture& other) const;
};

struct BoardPicture {
    // In client pixels of the window on the board's monitor.
    std::optional<POINT> target;
    // Instead of the target and the words; the title is its progress line.
    std::optional<PatternPicture> pattern;
    bool resting = false; // the pen rests on the target: its touch is being taken
    Tone tone = Tone::Running;
    calibration::FlowScreen words;

    bool operator==(const BoardPicture& other) const;
    bool operator!=(const BoardPicture& other) const { return !(*this == other); }
};

// Paints the whole client area, through a picture in memory, so that a
// new target never flickers.
void PaintBoardPicture(HDC dc, const RECT& client, const BoardPicture& picture);

} // namespace kalmeno
