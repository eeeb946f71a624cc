#pragma once
// One run of the real driver with its stand-ins for a scenario, and what the
// desktop saw: mouse events (from the recorder) and the drawing
// application's messages.
#include "sim/BoardRig.h"

#include <gtest/gtest.h>

#include <cstddef>
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
std::size_t LeftPresses(const std::vector<sim::MouseEvent>& events);
bool Near(const sim::MouseEvent& event, int x, int y);
// The events one to a line, for failure messages.
std::string Describe(const std::vector<sim::MouseEvent>& events);

// How the protocol scenarios want the drawing application and the main tool.
struct PeerSetup {
    std::string settingsFile = "e2e-WBInit.ini"; // beside the test
    bool listeningDrawingApp = false;
    bool mainTool = false;
};

bool IsMessage(const sim::LoggedMessage& message, unsigned number, unsigned long long wParam, long long lParam);
std::size_t CountMessages(const std::vector<sim::LoggedMessage>& messages, unsigned number, unsigned long long wParam,
                          long long lParam);
// How often `what` occurs in `text` (a support log read since a mark).
std::size_t Occurrences(const std::string& text, const std::string& what);

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

    // The driver with its peers and an idle camera service; touches come
    // later, with PlayScript, once the scenario has set the driver up.
    void StartIdle(const PeerSetup& peers);
    // Starts the camera service again playing `script` after kScriptStart,
    // and waits until it has been played.
    void PlayScript(const std::string& script);
    // Copies a file that lies beside the test into the run's folder.
    void CopyBeside(const std::string& source, const std::string& name);

    HWND DriverWindow() const;
    void PostToDriver(unsigned message, WPARAM wParam, LPARAM lParam);
    void PostRegistered(const char* name, WPARAM wParam, LPARAM lParam);
    // Asks for the socket mode flag ("CvDriverSet" 100) and returns the answer
    // the main tool got, or -1. Posted messages are handled in order, so
    // every message posted to the driver before has been handled too.
    int AskSocketMode(unsigned timeoutMs = kWaitMs);
    // Everything the driver posted to the drawing application before this
    // call is in its log afterwards.
    void SyncDrawingApp();

    std::string Log(const char* name) const;
    bool WaitForLine(const char* log, const std::string& line, unsigned timeoutMs = kWaitMs) const;
    // Lines of `log` that start with `prefix`.
    std::vector<std::string> LinesStartingWith(const char* log, const std::string& prefix) const;

    sim::BoardRig rig_;
};

} // namespace e2e
