#pragma once
// What reached the desktop during a run: counts of mouse events, the strokes
// drawn with the left button down, right clicks and the messages the drawing
// application got; printed as a summary and drawn as an SVG picture.
#include "sim/StandInLog.h"

#include <string>
#include <vector>

namespace sim {

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

struct SessionReport {
    int presses = 0; // left button down
    int moves = 0;
    int releases = 0;                              // left button up
    int rightClicks = 0;                           // right button down
    std::vector<std::vector<ScreenPoint>> strokes; // press, moves, release
    std::vector<ScreenPoint> rightClickPoints;
    std::vector<LoggedMessage> appMessages; // WM_USER and above

    // False for a run in which nothing reached the desktop or the drawing
    // application: no session to report.
    bool ReachedAnything() const
    {
        return presses + moves + releases + rightClicks > 0 || !appMessages.empty();
    }
};

inline constexpr unsigned kFirstAppMessage = 0x0400;

SessionReport BuildSessionReport(const std::vector<MouseEvent>& mouse, const std::vector<LoggedMessage>& messages);

std::string FormatSummary(const SessionReport& report);

// A picture of the screen (width x height pixels) with every stroke as a line
// and every right click as a ring.
std::string DrawStrokesSvg(const SessionReport& report, int width, int height);

} // namespace sim
