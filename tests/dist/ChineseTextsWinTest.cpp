// The Chinese Language.ini as the programs read it: the tools through the wide
// profile function, the driver through the narrow one, and Tilmaro showing
// the texts on its dialog. The build puts the file beside this test
// ("Language.zh-CN.ini") and a copy of Tilmaro with that file as its
// Language.ini into the folder "zh-launcher".
#include "sim/ChildProcess.h"
#include "sim/ScratchFolder.h"
#include "sim/TextForms.h"
#include "sim/WindowSearch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned kDialogWaitMs = 20000;
constexpr unsigned kEndWaitMs = 10000;

std::string LanguageFile()
{
    return sim::OwnFolder() + "Language.zh-CN.ini";
}

std::wstring ReadWide(const wchar_t* section, const wchar_t* key)
{
    wchar_t text[260] = {};
    GetPrivateProfileStringW(section, key, L"GetError", text, 260, sim::WidePath(LanguageFile()).c_str());
    return text;
}

std::string ReadNarrow(const char* section, const char* key)
{
    char text[260] = {};
    GetPrivateProfileStringA(section, key, "GetError", text, sizeof text, LanguageFile().c_str());
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

const std::wstring kLauncherCaption = L"Tilmaro - \u767D\u677F\u5B9A\u4F4D"; // 白板定位
const std::wstring kCalibrateButton = L"\u5B9A\u4F4D";                       // 定位

TEST(ChineseTexts, ReadThroughTheWideFunctionAsWritten)
{
    EXPECT_EQ(ReadWide(L"CamvitoOrient", L"IDS_TOTEL"), kLauncherCaption);
    EXPECT_EQ(ReadWide(L"CamvitoOrient", L"IDS_BTNORIENT   "), kCalibrateButton);
    EXPECT_EQ(ReadWide(L"SetPzPan", L"IDC_BMP6"), L"\u7B14"); // 笔
    EXPECT_EQ(ReadWide(L"string", L"IDS_CONNECTCAP   "),
              L"\u4EA4\u4E92\u5F0F\u7535\u5B50\u767D\u677F"); // 交互式电子白板
}

TEST(ChineseTexts, ReadThroughTheNarrowFunctionInTheSystemCodePage)
{
    EXPECT_EQ(ReadNarrow("String", "IDS_MSBCAP"), "Camvito");
    EXPECT_EQ(ReadNarrow("String", "IDS_CONNECTCAP   "),
              InSystemCodePage(L"\u4EA4\u4E92\u5F0F\u7535\u5B50\u767D\u677F"));
    EXPECT_EQ(ReadNarrow("String", "IDS_GETPARAMFAIL"), InSystemCodePage(ReadWide(L"String", L"IDS_GETPARAMFAIL")));
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

TEST(ChineseTexts, ShowOnTheLauncherDialog)
{
    const std::string folder = sim::OwnFolder() + "zh-launcher\\";
    const sim::ChildProcess launcher = sim::ChildProcess::Start(folder + "Tilmaro.exe", folder);
    ASSERT_TRUE(launcher);

    HWND dialog = sim::WaitForWindow(L"#32770", kLauncherCaption.c_str(), kDialogWaitMs);
    ASSERT_NE(dialog, nullptr) << "no launcher dialog with the Chinese caption";
    wchar_t button[260] = {};
    GetDlgItemTextW(dialog, 1000, button, 260);
    EXPECT_EQ(button, kCalibrateButton);

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(launcher.WaitForExit(kEndWaitMs));
}

} // namespace
