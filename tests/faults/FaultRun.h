#pragma once
// The driver with its stand-ins, for scenarios in which a peer misbehaves:
// camera services that can be replaced at any moment (killed, not asked),
// probes of the driver's window with posted messages, and the closing proof
// that the board still works.
#include "DriverRun.h"

#include "sim/StandInLog.h"

#include <cstddef>
#include <string>
#include <vector>

namespace faults {

// How long a posted probe of the driver's window may take to be answered
// while a peer misbehaves; the driver's own bounds are shorter.
inline constexpr unsigned kProbeAnswerMs = 5000;

// Where the closing touch lands, in camera units.
inline constexpr int kFinalTouchX = 2000;
inline constexpr int kFinalTouchY = 900;

// A contact of three samples and its release at one point: pressed on the
// second sample, released by the fourth record.
std::string Tap(int x, int y);
// Taps at one point, each followed by `pauseMs`, until the service ends.
std::string TapForEver(int x, int y, unsigned pauseMs);
// The number of events of `kind` in `events`.
int Count(const std::vector<sim::MouseEvent>& events, sim::MouseKind kind);
// The first event of `kind` at or after `from`; events.end() when none.
std::vector<sim::MouseEvent>::const_iterator FindFrom(const std::vector<sim::MouseEvent>& events,
                                                      std::vector<sim::MouseEvent>::const_iterator from,
                                                      sim::MouseKind kind);

class FaultRun : public e2e::DriverRun {
protected:
    // The driver, the drawing application (listening on the touch socket
    // when asked), the main tool and an idle camera service.
    void StartPeers(bool listeningDrawingApp = false);
    // Kills whatever camera service runs (it may hang or hold the lock) and
    // starts one that plays `body` after the usual start; does not wait for
    // the script.
    void StartService(const std::string& body);
    bool WaitForServiceLine(const std::string& line, unsigned timeoutMs = e2e::kWaitMs) const;
    // The camera service's last word on its script ("script done 7", ...),
    // empty when none came within the time.
    std::string WaitForScriptEnd(unsigned timeoutMs = e2e::kWaitMs) const;

    // Injected events so far, to look only at what comes later.
    std::size_t EventMark() const;
    std::vector<sim::MouseEvent> EventsSince(std::size_t mark) const;
    // Waits until the events since `mark` satisfy `done`; returns them.
    std::vector<sim::MouseEvent>
    WaitForEventsSince(std::size_t mark, const std::function<bool(const std::vector<sim::MouseEvent>&)>& done,
                       unsigned timeoutMs = e2e::kWaitMs) const;

    // A posted "CvDriverSet" 100 answered to the main tool in time: the
    // driver's window thread handles posted messages.
    bool AnswersPosted(unsigned timeoutMs = kProbeAnswerMs);
    // Posts `message` to the camera service's window (a go-ahead its script awaits).
    void PostToService(unsigned message);

    // The closing proof: the driver still runs, and from a freshly started,
    // well-behaved camera service a touch presses and releases at its place.
    void ExpectFinalTouchWorks();
};

} // namespace faults
