// Tilmaro.exe as a user meets it: started from another working folder, its
// buttons pressed, and the stand-in programs beside it recording that they
// ran and in which folder.
#include "sim/ChildProcess.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned kWaitMs = 10000;

constexpr int kStartCalibration = 1000;
constexpr int kExplanation = 1001;
constexpr int kBoardCheck = 1002;

// Two keys are written without the blanks the launcher asks with.
const char kLanguageIni[] = "[CamvitoOrient]\r\n"
                            "IDS_TOTEL=Board calibration\r\n"
                            "IDS_CAP=Calibrate the board, or change the camera settings first.\r\n"
                            "IDS_BTNSET=Settings...\r\n"
                            "IDS_BTNORIENT=Calibrate\r\n"
                            "IDS_BTNCANCEL=Close\r\n"
                            "IDS_LNKCHECK=Board check...\r\n"
                            "IDS_NOCALIBRATION=No calibration program is installed.\r\n";

// The static text of a message box, as the system numbers it.
constexpr int kMessageBoxText = 0xFFFF;

class TilmaroEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.Ok());
        ASSERT_TRUE(folder_.CopyIn(sim::BuiltPath(TILMARO_EXE), "Tilmaro.exe"));
        ASSERT_TRUE(CreateDirectoryA(folder_.File("elsewhere").c_str(), nullptr));
    }

    void WithLanguageFile() { folder_.Write("Language.ini", kLanguageIni); }
    void WithProgram(const char* built, const char* name) { ASSERT_TRUE(folder_.CopyIn(sim::BuiltPath(built), name)); }

    void StartTilmaro()
    {
        // Started from another folder, so the programs' working folder must
        // come from the launcher itself.
        tilmaro_ = sim::ChildProcess::Start(folder_.File("Tilmaro.exe"), folder_.File("elsewhere"));
        ASSERT_TRUE(tilmaro_);
        dialog_ = sim::WaitForProcessWindow(tilmaro_.Id(), sim::IsShownDialog, kWaitMs);
        ASSERT_NE(dialog_, nullptr) << "Tilmaro showed no dialog";
    }

    void Click(int id) const { SendMessageW(GetDlgItem(dialog_, id), BM_CLICK, 0, 0); }
    std::wstring Text(int id) const { return sim::WindowText(GetDlgItem(dialog_, id)); }
    std::string Log(const char* name) const { return folder_.Read(name); }

    // The line a stand-in writes when it was started from the launcher's folder.
    std::string RanHere() const
    {
        std::string path = folder_.Path();
        path.pop_back();
        return "ran " + path + "\r\n";
    }

    static int Count(const std::string& text, const std::string& line)
    {
        int count = 0;
        for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
        return count;
    }

    sim::ScratchFolder folder_{sim::OwnFolder() + "scratch\\", "tilmaro"};
    sim::ChildProcess tilmaro_;
    HWND dialog_ = nullptr;
};

TEST_F(TilmaroEndToEnd, ShowsItsTextsAlsoForKeysAskedWithTrailingBlanks)
{
    WithLanguageFile();
    StartTilmaro();
    EXPECT_EQ(sim::WindowText(dialog_), L"Board calibration");
    EXPECT_EQ(Text(kExplanation), L"Calibrate the board, or change the camera settings first.");
    EXPECT_EQ(Text(IDOK), L"Settings...");
    EXPECT_EQ(Text(kStartCalibration), L"Calibrate");
    EXPECT_EQ(Text(IDCANCEL), L"Close");
}

TEST_F(TilmaroEndToEnd, WithoutLanguageFileEveryTextReadsGetError)
{
    StartTilmaro();
    EXPECT_EQ(sim::WindowText(dialog_), L"GetError");
    for (int id : {IDOK, IDCANCEL, kStartCalibration, kExplanation}) EXPECT_EQ(Text(id), L"GetError") << id;
}

TEST_F(TilmaroEndToEnd, SettingsButtonAndEnterStartTheSettingsProgramAndStayOpen)
{
    WithProgram(SIM_SETTINGS_PROGRAM_EXE, "ZorvikSet.exe");
    WithProgram(SIM_CALIBRATION_PROGRAM_EXE, "Radozi.exe");
    StartTilmaro();

    Click(IDOK);
    ASSERT_TRUE(sim::WaitUntil([&] { return Count(Log("ZorvikSet.log"), "ran ") == 1; }, kWaitMs));
    EXPECT_EQ(Log("ZorvikSet.log"), RanHere());

    PostMessageW(GetDlgItem(dialog_, IDOK), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(sim::WaitUntil([&] { return Count(Log("ZorvikSet.log"), "ran ") == 2; }, kWaitMs));
    EXPECT_EQ(Count(Log("ZorvikSet.log"), RanHere()), 2);

    EXPECT_TRUE(tilmaro_.Running());
    EXPECT_TRUE(IsWindow(dialog_));
    EXPECT_FALSE(folder_.Holds("Radozi.log"));
}

TEST_F(TilmaroEndToEnd, CalibrationButtonStartsTheCalibrationProgramAndCloses)
{
    WithProgram(SIM_SETTINGS_PROGRAM_EXE, "ZorvikSet.exe");
    WithProgram(SIM_CALIBRATION_PROGRAM_EXE, "Radozi.exe");
    StartTilmaro();
    Click(kStartCalibration);
    ASSERT_TRUE(tilmaro_.WaitForExit(kWaitMs)) << "Tilmaro stayed open";
    ASSERT_TRUE(sim::WaitUntil([&] { return !Log("Radozi.log").empty(); }, kWaitMs));
    EXPECT_EQ(Log("Radozi.log"), RanHere());
    EXPECT_FALSE(folder_.Holds("ZorvikSet.log"));
}

TEST_F(TilmaroEndToEnd, CalibrationButtonStartsTheSuitesProgramWhereTheCameraSoftwaresIsMissingOrItIsPreferred)
{
    WithProgram(SIM_CALIBRATION_PROGRAM_EXE, "Kalmeno.exe");
    StartTilmaro();
    Click(kStartCalibration);
    ASSERT_TRUE(tilmaro_.WaitForExit(kWaitMs)) << "Tilmaro stayed open";
    ASSERT_TRUE(sim::WaitUntil([&] { return !Log("Kalmeno.log").empty(); }, kWaitMs));
    EXPECT_EQ(Log("Kalmeno.log"), RanHere());

    // Both there, and [Calibration] OWN_PROGRAM=1 beside the launcher (the
    // Wine user is an administrator, whose settings are the program folder's).
    WithProgram(SIM_CALIBRATION_PROGRAM_EXE, "Radozi.exe");
    ASSERT_TRUE(folder_.Write("WBInit.ini", "[Calibration]\r\nOWN_PROGRAM=1\r\n"));
    StartTilmaro();
    Click(kStartCalibration);
    ASSERT_TRUE(tilmaro_.WaitForExit(kWaitMs)) << "Tilmaro stayed open";
    ASSERT_TRUE(sim::WaitUntil([&] { return Count(Log("Kalmeno.log"), "ran ") == 2; }, kWaitMs));
    EXPECT_FALSE(folder_.Holds("Radozi.log"));
}

TEST_F(TilmaroEndToEnd, WithNeitherCalibrationProgramItSaysSoAndCloses)
{
    WithLanguageFile();
    // A program of that name elsewhere, in the launcher's working folder,
    // must not be started in its place.
    ASSERT_TRUE(folder_.CopyIn(sim::BuiltPath(SIM_CALIBRATION_PROGRAM_EXE), "elsewhere\\Radozi.exe"));
    StartTilmaro();
    // Posted: the box holds the button's handler until it is answered.
    PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(kStartCalibration, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog_, kStartCalibration)));
    const HWND box = sim::WaitForProcessWindow(
        tilmaro_.Id(), [this](HWND window) { return window != dialog_ && sim::IsShownDialog(window); }, kWaitMs);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(sim::WindowText(box), L"Board calibration");
    EXPECT_EQ(sim::WindowText(GetDlgItem(box, kMessageBoxText)), L"No calibration program is installed.");
    EXPECT_TRUE(tilmaro_.Running()) << "closed before the message was read";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(tilmaro_.WaitForExit(kWaitMs)) << "Tilmaro stayed open";
    EXPECT_FALSE(folder_.Holds("elsewhere\\Radozi.log"));
    EXPECT_FALSE(folder_.Holds("Radozi.log"));
}

TEST_F(TilmaroEndToEnd, BoardCheckLinkShowsWhereTheCheckIsAndStartsItWhileTheLauncherStays)
{
    WithLanguageFile();
    StartTilmaro();
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog_, kBoardCheck))) << "no board check beside the launcher";
    Click(IDCANCEL);
    ASSERT_TRUE(tilmaro_.WaitForExit(kWaitMs));

    // A stand-in that notes its start plays the board check.
    WithProgram(SIM_SETTINGS_PROGRAM_EXE, "Sondaro.exe");
    StartTilmaro();
    const HWND link = GetDlgItem(dialog_, kBoardCheck);
    ASSERT_TRUE(IsWindowVisible(link));
    EXPECT_EQ(Text(kBoardCheck), L"<a>Board check...</a>");
    // A click on the link's first letters.
    PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    ASSERT_TRUE(sim::WaitUntil([&] { return Count(Log("Sondaro.log"), "ran ") == 1; }, kWaitMs));
    EXPECT_EQ(Log("Sondaro.log"), RanHere());
    EXPECT_TRUE(tilmaro_.Running());
    EXPECT_FALSE(folder_.Holds("ZorvikSet.log"));
}

TEST_F(TilmaroEndToEnd, CancelClosesWithoutStartingAnything)
{
    WithProgram(SIM_SETTINGS_PROGRAM_EXE, "ZorvikSet.exe");
    WithProgram(SIM_CALIBRATION_PROGRAM_EXE, "Radozi.exe");
    StartTilmaro();
    Click(IDCANCEL);
    ASSERT_TRUE(tilmaro_.WaitForExit(kWaitMs));
    EXPECT_FALSE(folder_.Holds("ZorvikSet.log"));
    EXPECT_FALSE(folder_.Holds("Radozi.log"));
}

} // namespace
