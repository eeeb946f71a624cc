#pragma once
// The camera's record of what was done to it, for the tests to read: the
// file FakeCamera.log beside the DLL, one line per event, opened and closed
// for every line so that another process can follow it.
#include <mutex>
#include <string>

namespace fakecamera {

class CallLog {
public:
    explicit CallLog(std::wstring path)
        : path_(std::move(path))
    {}
    void Line(const std::string& text);

private:
    std::wstring path_;
    std::mutex lock_;
};

// The log of this DLL's instance.
CallLog& ModuleLog();

} // namespace fakecamera
