#pragma once
// The monitor the calibration's targets are drawn on: the one the driver
// maps the board onto, taken from the driver's own answer to the board
// check's status request, so that the two never disagree, the driver's
// fallback to the main display included. Where the driver does not answer
// in time, [Display] as every tool reads it (a policy's value, else
// WBInit.ini), and the main display as the last resort.
//
// Rectangles are desktop pixels of a program that is not DPI-aware, as the
// driver and Kalmeno.exe are (see their manifests): on a scaled display
// both see the same scaled desktop.
#include "common/DisplayLayout.h"

#include <windows.h>

#include <string>

namespace calibration {

enum class MonitorSource {
    Driver,      // the driver's answer
    Settings,    // no answer in time: the monitor [Display] chooses
    MainDisplay, // no answer, and [Display]'s monitor is not there
};

struct BoardMonitorAnswer {
    common::PixelRect rect;
    MonitorSource source = MonitorSource::MainDisplay;
    // Driver only: how the driver names it ("primary", a device name, or
    // "primary-instead-of-<choice>" when its chosen monitor is not there).
    std::string driverName;
    // Whether the driver's window was found; with another source than
    // Driver it then did not answer within the bound.
    bool driverRunning = false;
};

class BoardMonitorQuery {
public:
    // As long as the board check waits before it calls the driver silent:
    // a driver that answers the check answers here too.
    static constexpr DWORD kDriverAnswerWaitMs = 2000;

    explicit BoardMonitorQuery(DWORD answerWaitMs = kDriverAnswerWaitMs)
        : answerWaitMs_(answerWaitMs)
    {}

    // Asks the driver and waits for its answer, at most the bound, handling
    // meanwhile only what is sent to this thread's windows: the caller's
    // posted messages stay queued.
    BoardMonitorAnswer Ask() const;

private:
    DWORD answerWaitMs_;
};

const char* Name(MonitorSource source);

} // namespace calibration
