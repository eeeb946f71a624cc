#pragma once
// A program started by a test or the run job, ended when its owner goes if it
// has not ended by itself.
#include "common/UniqueHandle.h"

#include <string>

namespace sim {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&&) noexcept = default;
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    // Starts `program` with `folder` as its working directory; an empty
    // object when the start failed (see GetLastError).
    static ChildProcess Start(const std::string& program, const std::string& folder);
    // The same with `arguments` after the program's quoted name.
    static ChildProcess Start(const std::string& program, const std::string& folder, const std::string& arguments);
    // Takes over a process this one did not start itself, such as the camera
    // service that the driver starts; empty when it cannot be opened.
    static ChildProcess Adopt(unsigned long processId);

    explicit operator bool() const { return static_cast<bool>(process_); }
    bool Running() const;
    // True once the process has ended (at once for an empty object).
    bool WaitForExit(unsigned timeoutMs) const;
    // Until the program waits for input with nothing left in its queue.
    bool WaitForIdle(unsigned timeoutMs) const;
    // STILL_ACTIVE while running.
    unsigned long ExitCode() const;
    unsigned long Id() const { return id_; }
    void Terminate();

private:
    common::UniqueHandle process_;
    unsigned long id_ = 0;
};

} // namespace sim
