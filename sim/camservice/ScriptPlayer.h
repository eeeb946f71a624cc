#pragma once
// Plays a touch script into the shared block on its own thread: each record
// is written under the block's mutex and the next one waits until the driver
// has consumed (zeroed) it, so nothing is overwritten unread, unless the
// script asks for a real-time camera, which writes at its frame rate
// whether the driver keeps up or not. The script's faults (a crash, a held
// lock, a hung window) are played here too.
#include "WindowFaults.h"

#include "sim/SharedTouchBlock.h"
#include "sim/TouchScript.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace sim {

class ScriptPlayer {
public:
    // Progress goes to `logPath` as "script ..." lines; with the script's
    // "stamp" command, write and consumption times go to `stampPath`.
    // `window` is the service's own, which `faults` watches.
    ScriptPlayer(TouchScript script, std::string logPath, std::string stampPath, HWND window, WindowFaults& faults);
    ~ScriptPlayer();
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

    void Start();
    // Asks the thread to stop and joins it; safe to call more than once.
    void Stop();

private:
    struct Stamp {
        long long written = 0;
        long long consumed = 0;
    };
    enum class Outcome { Done, TimedOut, Stopped, Failed };

    // How records are written: waiting for each to be consumed (with an
    // optional pace), or at a camera's frame rate.
    struct Timing {
        unsigned paceMs = 0;
        unsigned timeoutMs = kDefaultConsumeTimeoutMs;
        bool stamping = false;
        long long lastWrite = 0;
        unsigned framesPerSecond = 0;
        long long frameBase = 0; // when the current run of frames began
        long long frames = 0;    // written since frameBase
    };

    void Run();
    Outcome Play();
    // Each false with `outcome` set when the step ends the script.
    bool PlayStep(const ScriptStep& step, SharedTouchBlock& block, Timing& timing, Outcome& outcome);
    bool WriteWaited(const ScriptStep& step, SharedTouchBlock& block, Timing& timing, Outcome& outcome);
    bool WriteRealtime(const ScriptStep& step, SharedTouchBlock& block, Timing& timing, Outcome& outcome);
    bool HoldLock(const ScriptStep& step, SharedTouchBlock& block, Timing& timing, Outcome& outcome);
    [[noreturn]] void Die(const char* what);
    bool WaitMilliseconds(unsigned ms);
    bool WaitUntilMicroseconds(long long due);
    bool WaitForDriverWindow(unsigned ms);

    TouchScript script_;
    std::string logPath_;
    std::string stampPath_;
    HWND window_;
    WindowFaults& faults_;
    std::vector<Stamp> stamps_;
    int played_ = 0;
    int failedLine_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace sim
