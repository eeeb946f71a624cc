#pragma once
// What the tools' end-to-end tests need: a scratch folder to run a program
// in, the program as a child process that never outlives the test, its
// dialog found as a user would see it, and waits on conditions with a
// time-out.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace sim {

using namespace std::chrono_literals;

// Polls `condition` until it holds or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

std::string ReadTextFile(const std::wstring& path);
void WriteTextFile(const std::wstring& path, const std::string& text);
bool FileExists(const std::wstring& path);

// A fresh folder under the temporary folder, removed with its contents.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Ends with a backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + name; }
    // Copies a file built elsewhere (a path as the build gives it) in as `name`.
    bool CopyIn(const char* builtPath, const std::wstring& name) const;

private:
    std::wstring path_;
};

// A program started in a folder, with `arguments` after its quoted name.
// Ended by force if it is still running when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::wstring& program, const std::wstring& workingFolder,
                 const std::wstring& arguments = std::wstring());
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    bool WaitForExit(std::chrono::milliseconds timeout = 10s) const;
    bool Running() const;
    // The exit code once the process has ended, else STILL_ACTIVE.
    DWORD ExitCode() const;

    // The visible top-level dialog of this process, or null after `timeout`.
    HWND WaitForDialog(std::chrono::milliseconds timeout = 10s) const;

private:
    PROCESS_INFORMATION info_{};
};

// The text of a window of another process.
std::wstring WindowText(HWND window);

// One item of an image combo box (ComboBoxEx) of another process of the
// same bitness; `read` is false when the item could not be fetched.
struct ImageComboItem {
    bool read = false;
    std::wstring text;
    int image = -1;
    int selectedImage = -1;
};
ImageComboItem ReadImageComboItem(HWND comboBoxEx, int index);

} // namespace sim
