#pragma once
// Sondaro.exe started beside the driver's stand-ins, worked as a user would:
// its lines read, its buttons pressed, its saved report read back.
#include "DriverRun.h"

#include "sim/ChildProcess.h"

#include <windows.h>

#include <functional>
#include <string>

namespace boardcheck_e2e {

class CheckWindow {
public:
    // Copies the check and the shipped English texts into `folder` and starts it there.
    bool Start(const sim::ScratchFolder& folder);
    ~CheckWindow();

    HWND Handle() const { return window_; }
    std::string Text(int control) const;
    bool WaitForText(int control, const std::function<bool(const std::string&)>& wanted,
                     unsigned timeoutMs = e2e::kWaitMs) const;
    void Click(int control) const;
    // Presses "Save report" and returns the report's text (empty when none
    // was saved) and the path of its picture, which the caller removes. Once
    // per check: reports saved within one second share a name.
    std::string SaveReport(std::string& picturePath) const;

private:
    sim::ChildProcess process_;
    HWND window_ = nullptr;
};

bool StartsWith(const std::string& text, const std::string& start);

} // namespace boardcheck_e2e
