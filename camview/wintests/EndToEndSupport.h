#pragma once
// What the end-to-end tests need from the system: programs to start, windows
// to wait for, log files to read.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace camview::e2e {

using namespace std::chrono_literals;

// A build-tree path (as CMake gives it) as Wine's Windows path.
std::wstring WindowsPathOf(const std::string& buildPath);
std::wstring FolderOf(const std::wstring& path); // with the trailing backslash

bool CopyInto(const std::wstring& file, const std::wstring& folder);
bool WriteTextFile(const std::wstring& path, const std::string& text);
void RemoveFile(const std::wstring& path);
// The file's lines without line ends; empty when it does not exist.
std::vector<std::string> ReadLines(const std::wstring& path);
int CountLines(const std::wstring& path, const std::string& line);
int CountLinesStartingWith(const std::wstring& path, const std::string& prefix);

// Polls until `condition` holds or `timeout` passes; the condition's last answer.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& caption, std::chrono::milliseconds timeout);

// A started program; ended by force if it is still running at destruction.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    bool Start(const std::wstring& program);
    bool WaitForExit(std::chrono::milliseconds timeout);
    bool Running() const;
    DWORD ExitCode() const;

private:
    HANDLE process_ = nullptr;
};

std::wstring WindowText(HWND window);

} // namespace camview::e2e
