// The board check beside the real driver and the stand-ins: it finds the
// driver and the camera service, shows the frame rate the stand-in plays at,
// draws the contacts that were played, and its report holds every line;
// with the driver or the service gone, or a driver window that never
// answers, it says so and keeps answering its user. Its verdict names the
// first fault of each scenario, and follows the settings file read again.
#include "CheckWindow.h"
#include "DriverRun.h"
#include "resource.h"

#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace boardcheck_e2e {
namespace {

constexpr double kPlayedRate = 60;
// The stand-in's clock and the driver's reads share a busy machine.
constexpr double kRateTolerance = 0.25;

// A pen drawn across the upper board for as long as the test runs: 60
// records a second (camera y 600 is screen row 192 of 768).
const std::string kDrawingAt60 = e2e::kScriptStart + "realtime 60\n"
                                                     "loop\n"
                                                     "  down 800 600\n"
                                                     "  line 800 600 2400 600 58\n"
                                                     "  up 2400 600\n"
                                                     "endloop\n";

// Pixels of the saved picture in the colour of a dot (old or new), by row band.
struct DotPixels {
    int inBand = 0;
    int elsewhere = 0;
};

DotPixels CountDotPixels(const std::string& bitmap, int bandTop, int bandBottom)
{
    DotPixels count;
    if (bitmap.size() < 54) return count;
    const auto word = [&](std::size_t at) {
        return static_cast<int>(static_cast<unsigned char>(bitmap[at]) | static_cast<unsigned char>(bitmap[at + 1]) << 8 |
                                static_cast<unsigned char>(bitmap[at + 2]) << 16);
    };
    const int offset = word(10), width = word(18), height = word(22);
    const int row = (width * 3 + 3) & ~3;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(offset + (height - 1 - y) * row + x * 3);
            if (at + 2 >= bitmap.size()) return count;
            const int b = static_cast<unsigned char>(bitmap[at]), g = static_cast<unsigned char>(bitmap[at + 1]),
                      r = static_cast<unsigned char>(bitmap[at + 2]);
            if (r - g < 40 || r - b < 40) continue;
            (y >= bandTop && y <= bandBottom ? count.inBand : count.elsewhere) += 1;
        }
    }
    return count;
}

// A camera that sees nothing on the board still sends its records, about
// 60 a second.
const std::string kIdleCamera = e2e::kScriptStart + "loop\n"
                                                    "  sync 1\n"
                                                    "  pause 15\n"
                                                    "endloop\n";

const std::string kReady = "The board is ready";
const std::string kDriverNotRunning = "The board driver is not running: start it (log off and on, or Start menu)";

bool Is(const std::string& wanted, const std::string& text)
{
    return text == wanted;
}

using BoardCheck = e2e::DriverRun;

TEST_F(BoardCheck, FindsTheDriverAndServiceShowsTheRateDrawsTheContactsAndReportsEveryLine)
{
    Start(kDrawingAt60);
    CheckWindow check;
    ASSERT_TRUE(check.Start(rig_.Folder()));
    EXPECT_TRUE(check.WaitForText(IDC_DRIVER, [](const std::string& t) { return StartsWith(t, "running, version 1."); }))
        << check.Text(IDC_DRIVER);
    EXPECT_EQ(check.Text(IDC_SERVICE), "running (its window was found)");
    // The rate settles once the answers span the check's two seconds.
    const auto rateNearPlayed = [](const std::string& text) {
        return text.find(" a second;") != std::string::npos &&
               std::abs(std::strtod(text.c_str(), nullptr) - kPlayedRate) <= kPlayedRate * kRateTolerance;
    };
    EXPECT_TRUE(check.WaitForText(IDC_RECORDS, rateNearPlayed)) << check.Text(IDC_RECORDS);
    EXPECT_TRUE(check.WaitForText(IDC_VERDICT, [](const std::string& t) { return Is(kReady, t); }))
        << check.Text(IDC_VERDICT);
    EXPECT_EQ(check.Text(IDC_SMOOTHING), "fixed");
    EXPECT_TRUE(StartsWith(check.Text(IDC_CALIBRATION), "loaded, grid 3 x 3, from ")) << check.Text(IDC_CALIBRATION);
    EXPECT_EQ(check.Text(IDC_MONITOR), "main display, 1024 x 768 at 0, 0");
    EXPECT_TRUE(StartsWith(check.Text(IDC_OUTPUTS), "touch socket off; forwarding off; TUIO off; touch injection off"))
        << check.Text(IDC_OUTPUTS);
    // The driver's writer thread appends the line in its own time.
    EXPECT_TRUE(check.WaitForText(
        IDC_LOG, [](const std::string& t) { return t.find("Started; settings file") != std::string::npos; }))
        << check.Text(IDC_LOG);

    std::string picture;
    const std::string report = check.SaveReport(picture);
    ASSERT_FALSE(report.empty()) << check.Text(IDC_MESSAGE);
    for (const char* line :
         {"Board check report\r\nSaved: ", "\r\nDriver: running, version 1.", "\r\nCamera service: window found\r\n",
          "\r\nRecords: ", " a second as the driver counts them; last contact ", "\r\nContacts: ",
          "\r\nCalibration: loaded, grid 3 x 3, for 1024 x 768, file ", "\r\nBoard monitor: primary screen, 1024 x 768 at 0, 0\r\n",
          "\r\nOutputs: touch socket off; forwarding idle; TUIO off; touch injection off (this PC: not available)\r\n",
          "\r\nVerdict: The board is ready\r\n", "\r\nSmoothing: fixed\r\n",
          "\r\nBoard keys: ", "\r\nRecording: idle\r\n", "\r\nWindows: ", "\r\nMonitor 1: ", "\r\nForeground window: ",
          "\r\nSupport log: ", "\r\nDriver's answer:\r\n    protocol=1\r\n", "    contact="}) {
        EXPECT_NE(report.find(line), std::string::npos) << "missing \"" << line << "\" in\n" << report;
    }
    EXPECT_EQ(report.find("Contacts: 0 on the screen"), std::string::npos) << report;

    // The saved picture (320 x 240 for the 1024 x 768 screen) has the dots
    // along the played line, row 60, and nowhere else.
    const DotPixels dots = CountDotPixels(sim::ReadWholeFile(picture), 52, 68);
    EXPECT_GT(dots.inBand, 30) << picture;
    EXPECT_EQ(dots.elsewhere, 0) << picture;
    DeleteFileA(picture.c_str());
}

TEST_F(BoardCheck, SaysSoWhenTheDriverOrTheServiceIsGoneOrTheDriverDoesNotAnswer)
{
    CheckWindow check;
    ASSERT_TRUE(rig_.Folder().Ok());
    ASSERT_TRUE(check.Start(rig_.Folder()));
    EXPECT_TRUE(check.WaitForText(IDC_DRIVER, [](const std::string& t) { return t == "not running"; }));
    EXPECT_EQ(check.Text(IDC_SERVICE), "not running (no window found)");
    EXPECT_EQ(check.Text(IDC_VERDICT), kDriverNotRunning);

    // A window that looks like the driver's and never answers.
    ASSERT_TRUE(rig_.Folder().CopyIn(sim::BuiltPath(SIM_DRIVER_WINDOW_EXE), "SimDriverWindow.exe"));
    sim::ChildProcess silent = sim::ChildProcess::Start(rig_.File("SimDriverWindow.exe"), rig_.Folder().Path());
    ASSERT_TRUE(silent);
    EXPECT_TRUE(check.WaitForText(IDC_DRIVER, [](const std::string& t) { return t == "running, but it does not answer"; }))
        << check.Text(IDC_DRIVER);
    EXPECT_TRUE(StartsWith(check.Text(IDC_VERDICT), "The board driver does not answer")) << check.Text(IDC_VERDICT);
    EXPECT_TRUE(sim::WaitForAnswer(check.Handle(), 1000)) << "the check itself must not hang";
    std::string picture;
    const std::string report = check.SaveReport(picture);
    EXPECT_NE(report.find("\r\nDriver: running, but its last request is unanswered"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nCalibration: unknown (no answer from the driver)\r\n"), std::string::npos) << report;
    DeleteFileA(picture.c_str());
    silent.Terminate();
    silent.WaitForExit(e2e::kWaitMs);
    EXPECT_TRUE(check.WaitForText(IDC_DRIVER, [](const std::string& t) { return t == "not running"; }));

    // The real driver with its camera service, which plays nothing, then
    // each of them gone.
    Start("");
    EXPECT_TRUE(check.WaitForText(IDC_SERVICE, [](const std::string& t) { return t == "running (its window was found)"; }));
    EXPECT_TRUE(check.WaitForText(IDC_DRIVER, [](const std::string& t) { return StartsWith(t, "running, version"); }));
    EXPECT_TRUE(check.WaitForText(IDC_VERDICT, [](const std::string& t) {
        return Is("The camera service sends nothing: is the camera plugged in?", t);
    })) << check.Text(IDC_VERDICT);
    rig_.StopCameraService();
    EXPECT_TRUE(check.WaitForText(IDC_SERVICE, [](const std::string& t) { return t == "not running (no window found)"; }));
    EXPECT_TRUE(StartsWith(check.Text(IDC_DRIVER), "running, version")) << check.Text(IDC_DRIVER);
    EXPECT_TRUE(StartsWith(check.Text(IDC_VERDICT), "The camera service is not running")) << check.Text(IDC_VERDICT);
    ASSERT_TRUE(rig_.CloseDriver());
    EXPECT_TRUE(check.WaitForText(IDC_DRIVER, [](const std::string& t) { return t == "not running"; }))
        << check.Text(IDC_DRIVER);
    EXPECT_EQ(check.Text(IDC_VERDICT), kDriverNotRunning);
}

// A teacher's edits of WBInit.ini: the calibration program's last check is
// read at every request; the monitor and the calibration count once the
// button has the driver read the settings again, and the verdict names the
// first fault each time.
TEST_F(BoardCheck, TheVerdictFollowsTheSettingsReadAgain)
{
    Start(kIdleCamera);
    CheckWindow check;
    ASSERT_TRUE(check.Start(rig_.Folder()));
    EXPECT_TRUE(check.WaitForText(IDC_VERDICT, [](const std::string& t) { return Is(kReady, t); }))
        << check.Text(IDC_VERDICT);
    const std::string settings = rig_.File(sim::kSettingsFile);

    ASSERT_TRUE(WritePrivateProfileStringA("CalibrationCheck", "VERDICT", "recalibrate", settings.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("CalibrationCheck", "WORST_PX", "14.2", settings.c_str()));
    EXPECT_TRUE(check.WaitForText(IDC_VERDICT, [](const std::string& t) {
        return Is("The last calibration check found the pen up to 14.2 px off: calibrate the board again", t);
    })) << check.Text(IDC_VERDICT);

    ASSERT_TRUE(WritePrivateProfileStringA("Display", "MONITOR", "secondary", settings.c_str()));
    check.Click(IDC_RELOAD);
    EXPECT_TRUE(check.WaitForText(
        IDC_MESSAGE, [](const std::string& t) { return StartsWith(t, "The driver read its settings again at "); }))
        << check.Text(IDC_MESSAGE);
    EXPECT_TRUE(check.WaitForText(IDC_VERDICT, [](const std::string& t) {
        return Is("The board is on a monitor that is not there (secondary): the main display stands in for it", t);
    })) << check.Text(IDC_VERDICT);

    // Only a read changes the calibration in force.
    ASSERT_TRUE(WritePrivateProfileStringA("coordinate", "wdot", "1", settings.c_str()));
    check.Click(IDC_RELOAD);
    EXPECT_TRUE(check.WaitForText(IDC_VERDICT, [](const std::string& t) {
        return Is("The calibration did not load: calibrate the board", t);
    })) << check.Text(IDC_VERDICT);
    EXPECT_TRUE(StartsWith(check.Text(IDC_CALIBRATION), "failed (")) << check.Text(IDC_CALIBRATION);
}

} // namespace
} // namespace boardcheck_e2e
