// The Chinese Language.ini as the programs read it: the tools through the wide
// profile function, the driver through the narrow one, and Tilmaro showing
// the texts on its dialog. The build puts the file beside this test
// ("Language.zh-CN.ini") and a copy of Tilmaro with that file as its
// Language.ini into the folder "zh-launcher".
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

std::wstring TestFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring ReadWide(const wchar_t* section, const wchar_t* key)
{
    wchar_t text[260] = {};
    GetPrivateProfileStringW(section, key, L"GetError", text, 260, (TestFolder() + L"Language.zh-CN.ini").c_str());
    return text;
}

std::string ReadNarrow(const char* section, const char* key)
{
    char path[MAX_PATH * 2] = {};
    std::wstring file = TestFolder() + L"Language.zh-CN.ini";
    WideCharToMultiByte(CP_ACP, 0, file.c_str(), -1, path, sizeof path, nullptr, nullptr);
    char text[260] = {};
    GetPrivateProfileStringA(section, key, "GetError", text, sizeof text, path);
    return text;
}

// What a narrow reader gets for a text in the system code page (GBK on a
// Chinese system).
std::string InSystemCodePage(const std::wstring& text)
{
    char narrow[520] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

const std::wstring kLauncherCaption = L"Tilmaro - \u767D\u677F\u5B9A\u4F4D"; // 白板定位
const std::wstring kCalibrateButton = L"\u5B9A\u4F4D";                      // 定位

TEST(ChineseTexts, ReadThroughTheWideFunctionAsWritten)
{
    EXPECT_EQ(ReadWide(L"CamvitoOrient", L"IDS_TOTEL"), kLauncherCaption);
    EXPECT_EQ(ReadWide(L"CamvitoOrient", L"IDS_BTNORIENT   "), kCalibrateButton);
    EXPECT_EQ(ReadWide(L"SetPzPan", L"IDC_BMP6"), L"\u7B14");             // 笔
    EXPECT_EQ(ReadWide(L"string", L"IDS_CONNECTCAP   "), L"\u4EA4\u4E92\u5F0F\u7535\u5B50\u767D\u677F"); // 交互式电子白板
}

TEST(ChineseTexts, ReadThroughTheNarrowFunctionInTheSystemCodePage)
{
    EXPECT_EQ(ReadNarrow("String", "IDS_MSBCAP"), "Camvito");
    EXPECT_EQ(ReadNarrow("String", "IDS_CONNECTCAP   "), InSystemCodePage(L"\u4EA4\u4E92\u5F0F\u7535\u5B50\u767D\u677F"));
    EXPECT_EQ(ReadNarrow("String", "IDS_GETPARAMFAIL"),
              InSystemCodePage(ReadWide(L"String", L"IDS_GETPARAMFAIL")));
}

// The driver on a Chinese system: the narrow function converts the UTF-16
// file into the GBK bytes a GBK file would have held. The build runs this
// test once more with a Chinese locale, which gives the process code page 936.
TEST(ChineseTexts, ReadAsGbkOnAChineseSystem)
{
    if (GetACP() != 936) GTEST_SKIP() << "system code page " << GetACP() << ", not 936";
    EXPECT_EQ(ReadNarrow("String", "IDS_CONNECTCAP   "),
              "\xBD\xBB\xBB\xA5\xCA\xBD\xB5\xE7\xD7\xD3\xB0\xD7\xB0\xE5"); // 交互式电子白板 in GBK
}

struct ChildProcess {
    PROCESS_INFORMATION info{};
    ~ChildProcess()
    {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
            CloseHandle(info.hProcess);
        }
        if (info.hThread) CloseHandle(info.hThread);
    }
};

TEST(ChineseTexts, ShowOnTheLauncherDialog)
{
    const std::wstring folder = TestFolder() + L"zh-launcher\\";
    std::wstring program = folder + L"Tilmaro.exe";
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ChildProcess launcher;
    ASSERT_TRUE(CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &launcher.info));

    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindWindowW(L"#32770", kLauncherCaption.c_str())) != nullptr; },
                        std::chrono::seconds(20)))
        << "no launcher dialog with the Chinese caption";
    wchar_t button[260] = {};
    GetDlgItemTextW(dialog, 1000, button, 260);
    EXPECT_EQ(button, kCalibrateButton);

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WaitForSingleObject(launcher.info.hProcess, 10000), WAIT_OBJECT_0);
}

} // namespace
