#include "EndToEndSupport.h"

#include <thread>

namespace camview::e2e {

std::wstring WindowsPathOf(const std::string& buildPath)
{
    std::wstring path = L"Z:";
    for (char c : buildPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return path;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

bool CopyInto(const std::wstring& file, const std::wstring& folder)
{
    const std::wstring name = file.substr(file.find_last_of(L'\\') + 1);
    return CopyFileW(file.c_str(), (folder + name).c_str(), FALSE) != 0;
}

bool WriteTextFile(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    CloseHandle(file);
    return ok;
}

void RemoveFile(const std::wstring& path) { DeleteFileW(path.c_str()); }

std::vector<std::string> ReadLines(const std::wstring& path)
{
    std::vector<std::string> lines;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) content.append(buffer, got);
    CloseHandle(file);
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) break; // a line still being written
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

int CountLines(const std::wstring& path, const std::string& line)
{
    int count = 0;
    for (const std::string& l : ReadLines(path)) count += l == line ? 1 : 0;
    return count;
}

int CountLinesStartingWith(const std::wstring& path, const std::string& prefix)
{
    int count = 0;
    for (const std::string& l : ReadLines(path)) count += l.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& caption, std::chrono::milliseconds timeout)
{
    HWND window = nullptr;
    WaitFor([&] { return (window = FindWindowW(windowClass, caption.c_str())) != nullptr; }, timeout);
    return window;
}

Process::~Process()
{
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool Process::Start(const std::wstring& program)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        FolderOf(program).c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    return true;
}

bool Process::WaitForExit(std::chrono::milliseconds timeout)
{
    return process_ && WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool Process::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Process::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace camview::e2e
