// Brelvin.exe itself, started in a scratch folder with its own Language.ini
// and no settings file (so the calibration-failure box appears).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

namespace {

constexpr const char* kCaption = "BoardCaption";
constexpr const char* kAlreadyRunning = "Board driver already runs";
constexpr const char* kNoCalibration = "No calibration";

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

std::string Folder(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string ScratchFolder()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "brelvin_start_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "WBInit.ini").c_str());
    const std::string built = Folder(module);
    CopyFileA((built + "Brelvin.exe").c_str(), (folder + "Brelvin.exe").c_str(), FALSE);
    CopyFileA((built + "LINK.dll").c_str(), (folder + "LINK.dll").c_str(), FALSE);
    std::ofstream(folder + "Language.ini") << "[String]\r\nIDS_CONNECTCAP=" << kCaption
                                           << "\r\nIDS_SERRUNNING=" << kAlreadyRunning
                                           << "\r\nIDS_GETPARAMFAIL=" << kNoCalibration << "\r\n";
    return folder;
}

class Process {
public:
    explicit Process(const std::string& program)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + program + "\"";
        started_ = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  Folder(program).c_str(), &startup, &info_) != FALSE;
    }

    ~Process()
    {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }

    bool Started() const { return started_; }
    bool Ended(DWORD waitMs) const { return WaitForSingleObject(info_.hProcess, waitMs) == WAIT_OBJECT_0; }
    DWORD Id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_ = {};
    bool started_ = false;
};

struct BoxSearch {
    DWORD processId;
    const char* text;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<BoxSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[128] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == search->processId && std::string(caption) == kCaption &&
        FindWindowExA(window, nullptr, "Static", search->text)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The message box of `process` showing `text` under the localized caption.
HWND FindBox(const Process& process, const char* text)
{
    BoxSearch search{process.Id(), text, nullptr};
    EnumWindows(&MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND DriverWindow()
{
    return FindWindowA("#32770", "Kelvado");
}

// Starts the driver, answers its calibration box and waits until the
// start-up has finished (its window thread answers again).
HWND StartDriver(const Process& driver)
{
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindBox(driver, kNoCalibration)) != nullptr; })) return nullptr;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(box, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 10000, &answer);
    HWND window = DriverWindow();
    if (!window) return nullptr;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer)) return nullptr;
    return window;
}

class DriverStartTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(DriverWindow(), nullptr) << "another driver runs"; }

    std::string folder = ScratchFolder();
};

TEST_F(DriverStartTest, RunsHiddenWithoutTaskbarButtonUntilClosed)
{
    Process driver(folder + "Brelvin.exe");
    ASSERT_TRUE(driver.Started());
    const HWND window = StartDriver(driver);
    ASSERT_NE(window, nullptr) << "no calibration box or no driver window";

    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);

    // Enter does nothing; a close ends the program.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 5000, &answer);
    EXPECT_FALSE(driver.Ended(200));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.Ended(10000));
}

TEST_F(DriverStartTest, StaysHiddenWhenTheCalibrationBoxOutlastsTheHideTimer)
{
    Process driver(folder + "Brelvin.exe");
    ASSERT_TRUE(driver.Started());
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindBox(driver, kNoCalibration)) != nullptr; }));
    // The hide timer ticks while the box is still up.
    const HWND window = DriverWindow();
    ASSERT_NE(window, nullptr);
    Sleep(400);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(box, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 10000, &answer);
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer));

    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver.Ended(10000));
}

TEST_F(DriverStartTest, SecondCopyShowsTheLocalizedBoxAndEnds)
{
    Process first(folder + "Brelvin.exe");
    ASSERT_TRUE(first.Started());
    const HWND window = StartDriver(first);
    ASSERT_NE(window, nullptr);

    Process second(folder + "Brelvin.exe");
    ASSERT_TRUE(second.Started());
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindBox(second, kAlreadyRunning)) != nullptr; }));
    EXPECT_FALSE(second.Ended(0));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.Ended(10000));

    EXPECT_FALSE(first.Ended(0));
    EXPECT_EQ(DriverWindow(), window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.Ended(10000));
}

} // namespace
