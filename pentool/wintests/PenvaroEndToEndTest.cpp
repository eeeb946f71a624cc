// Penvaro.exe as a user meets it: started in a folder with its Language.ini
// and WBInit.ini, its dialog driven through the controls, its results read
// from the settings file and from the stand-in driver window's log.
#include "sim/ChildProcess.h"
#include "sim/LogFiles.h"
#include "sim/RemoteComboBox.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned kWaitMs = 10000;
constexpr unsigned kDriverCloseMs = 5000;

constexpr int kFrontList = 1008;
constexpr int kBackList = 1010;
constexpr int kDefaultMode = 1009;
constexpr int kCustomMode = 1011;
constexpr int kFrontLabel = 1000;
constexpr int kListsFrame = 1012;
constexpr unsigned kPenButtonsChanged = 0x07E6;
// Sent by the test after Penvaro has ended, so that everything Penvaro
// posted is known to be in the log once this is.
constexpr unsigned kLogMarker = WM_APP + 7;

const char kLanguageIni[] = "[SetPzPan]\r\n"
                            "IDC_TOP=Pen buttons\r\n"
                            "IDOK=OK\r\n"
                            "IDCANCEL=Cancel\r\n"
                            "IDC_STATIC=Pen button actions\r\n"
                            "IDC_STATIC1=Front button:\r\n"
                            "IDC_STATIC2=Back button:\r\n"
                            "IDC_RADIO1=Built-in behaviour\r\n"
                            "IDC_RADIO2=Choose an action for each button\r\n"
                            "IDC_STATIC3=Actions\r\n"
                            "IDC_BMP1=New page\r\nIDC_BMP2=Save\r\nIDC_BMP3=Previous page\r\nIDC_BMP4=Next page\r\n"
                            "IDC_BMP5=Mouse\r\nIDC_BMP6=Pen\r\nIDC_BMP7=Eraser\r\nIDC_BMP8=Move\r\nIDC_BMP9=Zoom\r\n"
                            "IDC_BMP10=Full screen\r\nIDC_BMP11=Spotlight\r\n";

class PenvaroEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.Ok());
        ASSERT_TRUE(folder_.CopyIn(sim::BuiltPath(PENVARO_EXE), "Penvaro.exe"));
    }

    void TearDown() override
    {
        penvaro_ = sim::ChildProcess();
        if (driver_) {
            if (HWND window = FindWindowA("#32770", "Kelvado")) PostMessageA(window, WM_CLOSE, 0, 0);
            driver_.WaitForExit(kDriverCloseMs);
        }
    }

    void WithLanguageFile() { folder_.Write("Language.ini", kLanguageIni); }
    void WithSettings(const std::string& text) { folder_.Write("WBInit.ini", text); }

    void StartDriverWindow()
    {
        ASSERT_TRUE(folder_.CopyIn(sim::BuiltPath(SIM_DRIVER_WINDOW_EXE), "SimDriverWindow.exe"));
        driver_ = sim::ChildProcess::Start(folder_.File("SimDriverWindow.exe"), folder_.Path());
        ASSERT_TRUE(sim::WaitForLogLine(folder_.File("Kelvado.log"), "ready", kWaitMs));
    }

    void StartPenvaro()
    {
        penvaro_ = sim::ChildProcess::Start(folder_.File("Penvaro.exe"), folder_.Path());
        ASSERT_TRUE(penvaro_);
        dialog_ = sim::WaitForProcessWindow(penvaro_.Id(), sim::IsShownDialog, kWaitMs);
        ASSERT_NE(dialog_, nullptr) << "Penvaro showed no dialog";
        // The lists are filled during initialisation; the dialog is shown after it.
        ASSERT_TRUE(sim::WaitUntil([this] { return Count(kBackList) == 11; }, kWaitMs));
    }

    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    int Count(int list) const { return static_cast<int>(SendMessageW(Control(list), CB_GETCOUNT, 0, 0)); }
    int Selection(int list) const { return static_cast<int>(SendMessageW(Control(list), CB_GETCURSEL, 0, 0)); }
    bool Checked(int radio) const { return SendMessageW(Control(radio), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

    // Picks an item the way the list reports a user's choice to its parent.
    void Choose(int list, int item) const
    {
        SendMessageW(Control(list), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Control(list)));
    }
    void Click(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }

    void ExpectPenvaroEnds() const { ASSERT_TRUE(penvaro_.WaitForExit(kWaitMs)) << "Penvaro did not close"; }

    std::string Settings() const { return folder_.Read("WBInit.ini"); }
    std::string DriverLog() const { return folder_.Read("Kelvado.log"); }

    // Everything the driver window was sent up to now, once it has all arrived.
    std::string SettledDriverLog() const
    {
        PostMessageA(FindWindowA("#32770", "Kelvado"), kLogMarker, 0, 0);
        const std::string marker = "msg " + std::to_string(kLogMarker) + " 0 0";
        EXPECT_TRUE(sim::WaitForLogLine(folder_.File("Kelvado.log"), marker, kWaitMs));
        return DriverLog();
    }

    sim::ScratchFolder folder_{sim::OwnFolder() + "scratch\\", "penvaro"};
    sim::ChildProcess driver_;
    sim::ChildProcess penvaro_;
    HWND dialog_ = nullptr;
};

const std::string kPenButtonsChangedLine = "msg " + std::to_string(kPenButtonsChanged) + " 0 0";

TEST_F(PenvaroEndToEnd, StoredDefaultModeIsShownWithGreyedListsAndLocalisedTexts)
{
    WithLanguageFile();
    WithSettings("[PENVARO]\r\nIF_SET_F_NO_T=1\r\nBOX1LASTCHOOSE=2\r\nBOX2LASTCHOOSE=9\r\n");
    StartPenvaro();

    EXPECT_EQ(sim::WindowText(dialog_), L"Pen buttons");
    EXPECT_EQ(sim::WindowText(Control(kFrontLabel)), L"Front button:");
    EXPECT_EQ(sim::WindowText(Control(kCustomMode)), L"Choose an action for each button");
    EXPECT_EQ(sim::WindowText(Control(kListsFrame)), L"Actions");
    EXPECT_EQ(sim::WindowText(Control(IDCANCEL)), L"Cancel");
    EXPECT_EQ(Count(kFrontList), 11);
    const wchar_t* names[] = {L"New page", L"Save", L"Previous page", L"Next page",   L"Mouse",    L"Pen",
                              L"Eraser",   L"Move", L"Zoom",          L"Full screen", L"Spotlight"};
    for (int list : {kFrontList, kBackList}) {
        for (int n = 0; n < 11; ++n) {
            const sim::ImageComboItem item = sim::ReadImageComboItem(Control(list), n);
            ASSERT_TRUE(item.read) << list << " item " << n;
            EXPECT_EQ(item.text, names[n]) << list << " item " << n;
            EXPECT_EQ(item.image, 2 * n);
            EXPECT_EQ(item.selectedImage, 2 * n + 1);
        }
    }
    EXPECT_TRUE(Checked(kDefaultMode));
    EXPECT_FALSE(Checked(kCustomMode));
    EXPECT_EQ(Selection(kFrontList), 2);
    EXPECT_EQ(Selection(kBackList), 9);
    EXPECT_FALSE(Enabled(kFrontList));
    EXPECT_FALSE(Enabled(kBackList));
}

TEST_F(PenvaroEndToEnd, OkSavesTheChosenActionsAndTellsTheDriver)
{
    WithLanguageFile();
    StartDriverWindow();
    StartPenvaro();
    // No settings file: custom mode with the pen in front and the eraser behind.
    EXPECT_TRUE(Checked(kCustomMode));
    EXPECT_TRUE(Enabled(kFrontList));
    EXPECT_EQ(Selection(kFrontList), 5);
    EXPECT_EQ(Selection(kBackList), 6);

    Choose(kFrontList, 0);
    Choose(kBackList, 10);
    Click(IDOK);
    ExpectPenvaroEnds();

    const std::string settings = Settings();
    EXPECT_NE(settings.find("IF_SET_F_NO_T=0"), std::string::npos) << settings;
    EXPECT_NE(settings.find("BOX1LASTCHOOSE=0"), std::string::npos) << settings;
    EXPECT_NE(settings.find("BOX2LASTCHOOSE=10"), std::string::npos) << settings;
    EXPECT_NE(SettledDriverLog().find(kPenButtonsChangedLine), std::string::npos) << DriverLog();
}

TEST_F(PenvaroEndToEnd, CancelLeavesTheFileAsItWasAndTellsNobody)
{
    const std::string before = "[coordinate]\r\nwdot=3\r\n[PENVARO]\r\nIF_SET_F_NO_T=0\r\nBOX1LASTCHOOSE=1\r\n";
    WithSettings(before);
    StartDriverWindow();
    StartPenvaro();
    Choose(kFrontList, 8);
    Click(kDefaultMode);
    Click(IDCANCEL);
    ExpectPenvaroEnds();

    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(SettledDriverLog().find(kPenButtonsChangedLine), std::string::npos) << DriverLog();
}

TEST_F(PenvaroEndToEnd, DefaultModeKeepsTheActionsChosenLastAndEnterConfirms)
{
    WithSettings("[PENVARO]\r\nIF_SET_F_NO_T=0\r\nBOX1LASTCHOOSE=5\r\nBOX2LASTCHOOSE=6\r\n");
    StartPenvaro();
    Choose(kFrontList, 3);
    Choose(kBackList, 4);
    Click(kDefaultMode);
    EXPECT_FALSE(Enabled(kFrontList));
    EXPECT_FALSE(Checked(kCustomMode));

    Click(kCustomMode);
    EXPECT_TRUE(Enabled(kBackList));
    EXPECT_EQ(Selection(kFrontList), 3);
    EXPECT_EQ(Selection(kBackList), 4);
    Choose(kFrontList, 7);
    Choose(kBackList, 8);
    // Clicking the radio that is already on keeps the fresh picks.
    Click(kCustomMode);
    EXPECT_EQ(Selection(kFrontList), 7);
    EXPECT_EQ(Selection(kBackList), 8);
    Click(kDefaultMode);

    PostMessageW(Control(kDefaultMode), WM_KEYDOWN, VK_RETURN, 0);
    ExpectPenvaroEnds();
    const std::string settings = Settings();
    EXPECT_NE(settings.find("IF_SET_F_NO_T=1"), std::string::npos) << settings;
    EXPECT_NE(settings.find("BOX1LASTCHOOSE=7"), std::string::npos) << settings;
    EXPECT_NE(settings.find("BOX2LASTCHOOSE=8"), std::string::npos) << settings;
}

TEST_F(PenvaroEndToEnd, AStoredIndexOutsideTheListShowsNoSelectionAndIsSavedAsMinusOne)
{
    WithSettings("[PENVARO]\r\nBOX1LASTCHOOSE=11\r\nBOX2LASTCHOOSE=-3\r\n");
    StartPenvaro();
    EXPECT_EQ(Selection(kFrontList), CB_ERR);
    EXPECT_EQ(Selection(kBackList), CB_ERR);
    Click(IDOK);
    ExpectPenvaroEnds();
    const std::string settings = Settings();
    EXPECT_NE(settings.find("BOX1LASTCHOOSE=-1"), std::string::npos) << settings;
    EXPECT_NE(settings.find("BOX2LASTCHOOSE=-1"), std::string::npos) << settings;
}

TEST_F(PenvaroEndToEnd, WithoutLanguageFileEveryTextReadsGetError)
{
    StartPenvaro();
    EXPECT_EQ(sim::WindowText(dialog_), L"GetError");
    for (int id : {IDOK, IDCANCEL, kFrontLabel, kDefaultMode, kCustomMode, kListsFrame})
        EXPECT_EQ(sim::WindowText(Control(id)), L"GetError") << id;
    for (int list : {kFrontList, kBackList}) {
        for (int n = 0; n < 11; ++n) {
            const sim::ImageComboItem item = sim::ReadImageComboItem(Control(list), n);
            ASSERT_TRUE(item.read);
            EXPECT_EQ(item.text, L"GetError") << list << " item " << n;
        }
    }
    Click(IDCANCEL);
    ExpectPenvaroEnds();
    EXPECT_FALSE(folder_.Holds("WBInit.ini"));
}

} // namespace
