#include "sim/ChildProcess.h"

#include <vector>

namespace sim {

ChildProcess::~ChildProcess()
{
    Terminate();
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        Terminate();
        process_ = std::move(other.process_);
        id_ = other.id_;
    }
    return *this;
}

ChildProcess ChildProcess::Start(const std::string& program, const std::string& folder)
{
    return Start(program, folder, std::string());
}

ChildProcess ChildProcess::Start(const std::string& program, const std::string& folder, const std::string& arguments)
{
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ChildProcess child;
    if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        return child;
    }
    CloseHandle(info.hThread);
    child.process_.Reset(info.hProcess);
    child.id_ = info.dwProcessId;
    return child;
}

ChildProcess ChildProcess::Adopt(unsigned long processId)
{
    ChildProcess child;
    child.process_.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (child.process_) child.id_ = processId;
    return child;
}

bool ChildProcess::Running() const
{
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(unsigned timeoutMs) const
{
    return !process_ || WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool ChildProcess::WaitForIdle(unsigned timeoutMs) const
{
    return process_ && WaitForInputIdle(process_.Get(), timeoutMs) == 0;
}

unsigned long ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.Get(), &code);
    return code;
}

void ChildProcess::Terminate()
{
    if (Running()) {
        TerminateProcess(process_.Get(), 255);
        WaitForSingleObject(process_.Get(), 5000);
    }
    process_.Reset();
}

} // namespace sim
