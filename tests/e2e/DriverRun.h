#pragma once
// One run of the real driver with its stand-ins for a scenario, and what the
// desktop saw: mouse events (from the recorder) and the drawing
// application's messages.
#include "sim/BoardRig.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

inline constexpr unsigned kWaitMs = 20000;

// Every script waits for the driver to be up, then for its start-up reads.
inline const std::string kScriptStart = "driver\nsync\n";

struct ScreenSize {
    int width = 0;
    int height = 0;
};
ScreenSize PrimaryScreen();

// The screen pixel that the test calibration maps a camera point to.
int ScreenX(double cameraX);
int ScreenY(double cameraY);

// Injected events of the kinds that matter here, in order.
std::vector<sim::MouseEvent> InjectedEvents(const std::vector<sim::MouseEvent>& all);
// "ldown lup rdown ..." for the button events of `events`.
std::string ButtonSequence(const std::vector<sim::MouseEvent>& events);
bool Near(const sim::MouseEvent& event, int x, int y);
// The events one to a line, for failure messages.
std::string Describe(const std::vector<sim::MouseEvent>& events);

class DriverRun : public ::testing::Test {
protected:
    DriverRun();

    // Starts the recorder, the drawing application and the driver, with the
    // camera service set to play `script` (empty: none).
    void Start(const std::string& script);
    // Waits for the script's end in the camera service's log.
    void WaitForScript();
    // Waits until the injected events satisfy `done`; returns them.
    std::vector<sim::MouseEvent> WaitForEvents(const std::function<bool(const std::vector<sim::MouseEvent>&)>& done);
    // Closes the driver, then the drawing application (whose log is then
    // complete), and returns its messages of WM_USER and above.
    std::vector<sim::LoggedMessage> CloseAndCollectMessages();

    sim::BoardRig rig_;
};

} // namespace e2e
