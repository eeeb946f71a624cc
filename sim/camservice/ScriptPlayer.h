#pragma once
// Plays a touch script into the shared block on its own thread: each record
// is written under the block's mutex and the next one waits until the driver
// has consumed (zeroed) it, so nothing is overwritten unread.
#include "sim/TouchScript.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace sim {

class ScriptPlayer {
public:
    // Progress goes to `logPath` as "script ..." lines; with the script's
    // "stamp" command, write and consumption times go to `stampPath`.
    ScriptPlayer(TouchScript script, std::string logPath, std::string stampPath);
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

    void Run();
    Outcome Play();
    bool WaitMilliseconds(unsigned ms);
    bool WaitForDriverWindow(unsigned ms);

    TouchScript script_;
    std::string logPath_;
    std::string stampPath_;
    std::vector<Stamp> stamps_;
    int played_ = 0;
    int failedLine_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace sim
