// What the check shows and reports: the window's lines in the user's words,
// a report with every line whether or not the driver answers, and the
// contacts placed on the picture of the board's screen.
#include "boardcheck/BoardPicture.h"
#include "boardcheck/CheckPage.h"
#include "boardcheck/LogTail.h"

#include <gtest/gtest.h>

namespace boardcheck {
namespace {

common::BoardStatus AnsweringDriver()
{
    common::BoardStatus status;
    status.protocol = 1;
    status.driverVersion = "1.0.0";
    status.startedAt = "2026-05-01 08:00:00";
    status.calibrationLoaded = true;
    status.gridColumns = 3;
    status.gridRows = 3;
    status.screenWidth = 1024;
    status.screenHeight = 768;
    status.monitor = "primary";
    status.monitorWidth = 1024;
    status.monitorHeight = 768;
    status.settingsFile = "C:\\B\\WBInit.ini";
    status.lastContactMs = 2300;
    status.contacts.push_back({100, 0, false, 1600, 1200, true, 512, 384});
    status.contacts.push_back({90, 1, false, 3300, 1200, false, 0, 0});
    status.contacts.push_back({80, 0, true, 1600, 1200, true, 512, 384});
    status.socketRouting = "pair-split";
    status.forwarding = "idle";
    status.tuio = "off";
    status.recording = "written";
    status.recordingFile = "C:\\L\\Recording-1.script";
    return status;
}

TEST(CheckPage, TheWindowSaysWhatItFoundInTheUsersWords)
{
    CheckTexts texts;
    texts.Set("IDS_DRIVEROFF", "nicht gestartet");
    texts.Set("IDS_DRIVERON", "Version %1 seit %2");
    texts.Set("IDS_CONTACTSSEEN", "%2 daneben, %1 auf dem Bild");
    texts.Set("IDS_ON", "an");
    texts.Set("IDS_OFF", "aus");
    texts.Set("IDS_OUTPUTLINE", "%1 / %2 / %3 / %4 / %5");
    StatusPoll poll;
    CheckFacts facts;
    poll.OnRefresh(false, 0);
    DisplayLines lines = MakeDisplayLines(poll, facts, texts);
    EXPECT_EQ(lines.driver, "nicht gestartet");
    EXPECT_EQ(lines.service, "GetError");
    EXPECT_TRUE(lines.calibration.empty());

    poll.OnRefresh(true, 0);
    poll.OnAnswer(common::FormatBoardStatus(AnsweringDriver()), 0);
    lines = MakeDisplayLines(poll, facts, texts);
    EXPECT_EQ(lines.driver, "Version 1.0.0 seit 2026-05-01 08:00:00");
    EXPECT_EQ(lines.contacts, "1 daneben, 1 auf dem Bild");
    EXPECT_EQ(lines.outputs, "an (pair-split) / aus / aus / aus / GetError");
    EXPECT_EQ(lines.smoothing, "not told by this driver"); // an older driver, and no text: the English built in
    texts.Set("IDS_SMOOTHADAPTIVE", "adaptiv: %1");
    common::BoardStatus adaptive = AnsweringDriver();
    adaptive.smoothing = "adaptive";
    adaptive.smoothingParameters = "MIN_CUTOFF=1 BETA=0";
    poll.OnAnswer(common::FormatBoardStatus(adaptive), 0);
    EXPECT_EQ(MakeDisplayLines(poll, facts, texts).smoothing, "adaptiv: MIN_CUTOFF=1 BETA=0");
    EXPECT_EQ(FillIn("%3%1", {"a"}), "%3a");

    texts.Set("IDS_CALOK", "ok");
    texts.Set("IDS_CALCHECKGOOD", ", gut (%1 px, %2)");
    common::BoardStatus checked = AnsweringDriver();
    checked.calibrationCheck = "good";
    checked.calibrationCheckWorstPx = "3.4";
    checked.calibrationCheckAt = "heute";
    poll.OnAnswer(common::FormatBoardStatus(checked), 0);
    EXPECT_EQ(MakeDisplayLines(poll, facts, texts).calibration, "ok, gut (3.4 px, heute)");
    EXPECT_NE(MakeReport(poll, facts, {}, "now").find("Last calibration check: good, worst 3.4 px, heute\r\n"),
              std::string::npos);
}

TEST(CheckPage, TheReportHoldsEveryLineWithOrWithoutTheDriver)
{
    CheckFacts facts;
    facts.serviceFound = true;
    facts.logPath = "C:\\L\\Brelvin.log";
    facts.logLines = {"2026-05-01 08:00:00.000 Brelvin Started; settings file C:\\B\\WBInit.ini."};
    SystemFacts system;
    system.windows = "Windows 10.0 build 19045, 64-bit";
    system.monitors.push_back({"\\\\.\\DISPLAY1", 0, 0, 1920, 1080, true, 125});
    system.foreground = "\"Board\" of Draw.exe, not elevated";
    const std::vector<std::string> labels = {
        "Board check report\r\n", "Saved: now\r\n", "Driver: ", "Camera service: window found\r\n", "Records: ",
        "Verdict: ", "Contacts: ", "Calibration: ", "Board monitor: ", "Outputs: ", "Smoothing: ", "Board keys: ",
        "Recording: ",
        "Windows: Windows 10.0 build 19045, 64-bit\r\n", "Monitor 1: \\\\.\\DISPLAY1, 1920 x 1080 at 0, 0, primary, scale 125 %\r\n",
        "Foreground window: \"Board\" of Draw.exe, not elevated\r\n", "Support log: C:\\L\\Brelvin.log, last 1 lines\r\n",
        "    2026-05-01 08:00:00.000 Brelvin Started", "Driver's answer:"};

    StatusPoll poll;
    poll.OnRefresh(false, 0);
    std::string report = MakeReport(poll, facts, system, "now");
    for (const std::string& label : labels) EXPECT_NE(report.find(label), std::string::npos) << label << "\n" << report;
    EXPECT_NE(report.find("Driver: not running"), std::string::npos);
    EXPECT_NE(report.find("Calibration: unknown (no answer from the driver)"), std::string::npos);
    EXPECT_NE(report.find("Verdict: The board driver is not running: start it"), std::string::npos);

    poll.OnRefresh(true, 0);
    common::BoardStatus adaptive = AnsweringDriver();
    adaptive.smoothing = "adaptive";
    adaptive.smoothingParameters = "MIN_CUTOFF=0.5 BETA=0.06 DERIVATIVE_CUTOFF=0.7 STILL_SPEED=100";
    poll.OnAnswer(common::FormatBoardStatus(adaptive), 0);
    report = MakeReport(poll, facts, system, "now");
    for (const std::string& label : labels) EXPECT_NE(report.find(label), std::string::npos) << label << "\n" << report;
    EXPECT_NE(report.find("Calibration: loaded, grid 3 x 3, for 1024 x 768, file C:\\B\\WBInit.ini\r\n"), std::string::npos);
    EXPECT_NE(report.find("Contacts: 1 on the screen and 1 outside the calibrated area"), std::string::npos);
    EXPECT_NE(report.find("last contact 2.3 s ago"), std::string::npos);
    EXPECT_NE(report.find("Board monitor: primary screen, 1024 x 768 at 0, 0\r\n"), std::string::npos);
    EXPECT_NE(report.find("    driver-version=1.0.0\r\n"), std::string::npos);
    EXPECT_NE(report.find("Smoothing: adaptive, MIN_CUTOFF=0.5 BETA=0.06 DERIVATIVE_CUTOFF=0.7 STILL_SPEED=100\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("Verdict: Checking the board...\r\n"), std::string::npos) << "one answer tells no rate yet";
}

TEST(BoardPicture, TheScreenFitsThePictureAndContactsLandWhereTheyWere)
{
    common::BoardStatus status = AnsweringDriver();
    status.contacts.push_back({10, 2, false, 0, 0, true, 1023, 0});
    const BoardPicture wide = PlaceContacts(status, 200, 100); // 4:3 screen in a wide picture
    EXPECT_EQ(wide.screen.width, 133);
    EXPECT_EQ(wide.screen.height, 100);
    EXPECT_EQ(wide.screen.left, 33);
    EXPECT_EQ(wide.screen.top, 0);
    ASSERT_EQ(wide.dots.size(), 2u); // neither the released nor the one off the screen
    EXPECT_EQ(wide.dots[0].x, 33 + 66);
    EXPECT_EQ(wide.dots[0].y, 50);
    EXPECT_EQ(wide.dots[1].x, 33 + 132);
    EXPECT_EQ(wide.dots[1].y, 0);
}

TEST(LogTail, TheNewestLinesWhateverTheirEnds)
{
    EXPECT_EQ(LastLines("a\r\nb\nc\r\nd", 2), (std::vector<std::string>{"c", "d"}));
    EXPECT_EQ(LastLines("a\n", 5), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(LastLines("", 5).empty());
}

} // namespace
} // namespace boardcheck
