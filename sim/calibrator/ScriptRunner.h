#pragma once
// Plays the calibrator script on a thread of its own while the window thread
// keeps the "ULDlg" window answering; the log tells the test how far it got.
#include "CalibratorScript.h"
#include "ForwardingClient.h"

#include "common/UniqueHandle.h"

#include <memory>
#include <string>
#include <thread>

namespace sim {

class ScriptRunner {
public:
    // `folder` with a trailing backslash; the log and the files the script
    // names live there.
    ScriptRunner(std::string folder, std::string logPath);
    // Stops the script where it is and ends the current run's reading.
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    void Start(CalibratorScript script);
    void Stop();

private:
    enum class Outcome { Next, TimedOut, Stopped, Failed };

    void Play();
    Outcome Perform(const CalibratorCommand& command);
    Outcome StartRun(long lParam);
    Outcome EndRun(long wParam, long lParam);
    Outcome WaitForRecords(long count, bool nonZeroOnly);
    Outcome WaitForFile(const std::string& name);
    Outcome CopySettings(const std::string& name);
    bool Stopped(unsigned waitMs) const;

    std::string folder_;
    std::string logPath_;
    CalibratorScript script_;
    common::UniqueHandle stop_;
    std::unique_ptr<ForwardingClient> client_;
    int run_ = 0;
    std::thread thread_;
};

} // namespace sim
