// The driver's answer to the board check read back as written: every field,
// contacts on and off the screen, and values that must stay one line.
#include "common/BoardStatus.h"

#include <gtest/gtest.h>

namespace {

TEST(BoardStatus, ReadsBackWhatWasWrittenAndSkipsWhatItDoesNotKnow)
{
    common::BoardStatus status;
    status.protocol = common::kBoardStatusProtocol;
    status.driverVersion = "1.2.3";
    status.processId = 4321;
    status.startedAt = "2026-05-01 08:12:03";
    status.tick = 4000000000u;
    status.elevated = "no";
    status.virtualized = "yes";
    status.settingsFile = "C:\\Program Files\\Board\\WBInit.ini";
    status.calibrationProblem = "a cell\nwithout area";
    status.gridColumns = 4;
    status.gridRows = 3;
    status.screenWidth = 1280;
    status.screenHeight = 800;
    status.monitor = "primary";
    status.monitorLeft = -1280;
    status.monitorWidth = 1280;
    status.monitorHeight = 800;
    status.cameraKind = 2;
    status.boardKeys = true;
    status.records = 77;
    status.lastContactMs = 1500;
    status.contacts.push_back({120, 1, false, 1600, 1200, true, 640, 400});
    status.contacts.push_back({80, 3, true, 3300, 50, false, 0, 0});
    status.socketRouting = "half-split";
    status.socketChannel = true;
    status.forwarding = "forwarding";
    status.tuio = "127.0.0.1:3333";
    status.touchInjectionAsked = true;
    status.recording = "written";
    status.recordingSeconds = 10;
    status.recordingFile = "C:\\Users\\t\\Recording-1.script";

    const std::string text = common::FormatBoardStatus(status) + "some-future-key=42\nnot a line\n";
    const common::BoardStatus read = common::ParseBoardStatus(text);
    EXPECT_EQ(read.protocol, 1);
    EXPECT_EQ(read.driverVersion, "1.2.3");
    EXPECT_EQ(read.processId, 4321u);
    EXPECT_EQ(read.startedAt, status.startedAt);
    EXPECT_EQ(read.tick, 4000000000u);
    EXPECT_EQ(read.virtualized, "yes");
    EXPECT_EQ(read.settingsFile, status.settingsFile);
    EXPECT_FALSE(read.calibrationLoaded);
    EXPECT_EQ(read.calibrationProblem, "a cell without area");
    EXPECT_EQ(read.gridColumns, 4);
    EXPECT_EQ(read.gridRows, 3);
    EXPECT_EQ(read.screenHeight, 800);
    EXPECT_EQ(read.monitorLeft, -1280);
    EXPECT_EQ(read.monitorWidth, 1280);
    EXPECT_EQ(read.cameraKind, 2);
    EXPECT_TRUE(read.boardKeys);
    EXPECT_EQ(read.records, 77u);
    EXPECT_EQ(read.lastContactMs, 1500);
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.contacts[0].screenX, 640);
    EXPECT_EQ(read.contacts[0].screenY, 400);
    EXPECT_TRUE(read.contacts[0].onScreen);
    EXPECT_TRUE(read.contacts[1].released);
    EXPECT_FALSE(read.contacts[1].onScreen);
    EXPECT_EQ(read.contacts[1].cameraX, 3300);
    EXPECT_EQ(read.socketRouting, "half-split");
    EXPECT_TRUE(read.socketChannel);
    EXPECT_EQ(read.tuio, "127.0.0.1:3333");
    EXPECT_TRUE(read.touchInjectionAsked);
    EXPECT_FALSE(read.touchInjectionAvailable);
    EXPECT_EQ(read.recording, "written");
    EXPECT_EQ(read.recordingFile, status.recordingFile);

    EXPECT_EQ(common::ParseBoardStatus("last-contact-ms=none\r\n").lastContactMs, -1);
}

// Readers of the first answers parse the text as it was then: the settings'
// reads and the smoothing add their lines and change no other byte.
TEST(BoardStatus, LaterKeysAddTheirLinesAndLeaveTheRestAsItWas)
{
    common::BoardStatus status;
    status.protocol = 1;
    status.driverVersion = "1.0.0";
    status.processId = 12;
    status.calibrationLoaded = true;
    status.gridColumns = 3;
    status.gridRows = 3;
    status.monitor = "primary";
    status.contacts.push_back({5, 0, false, 10, 20, false, 0, 0});
    status.socketRouting = "off";
    status.tuio = "off";
    status.recording = "idle";
    const std::string start = "protocol=1\ndriver-version=1.0.0\ndriver-process=12\ndriver-started=\ndriver-tick=0\n"
                              "driver-elevated=\ndriver-virtualized=\nsettings-file=\n";
    const std::string before = "calibration=loaded\ngrid=3 3\n"
                               "screen=0 0\nmonitor=primary 0 0 0 0\ncamera-kind=0\nboard-keys=no\nrecords=0\n"
                               "last-contact-ms=none\ncontact=5 0 down 10 20 off\nsocket=off\nsocket-channel=no\n"
                               "forwarding=\ntuio=off\ntouch-injection=no\ntouch-injection-system=no\n"
                               "touch-injection-on=no\n";
    const std::string after = "recording=idle\nrecording-seconds=0\n";
    EXPECT_EQ(common::FormatBoardStatus(status), start + before + after);

    status.settingsReads = 2;
    status.settingsReadAt = "2026-05-01 09:00:00";
    status.smoothing = "adaptive";
    status.smoothingParameters = "MIN_CUTOFF=0.5 BETA=0.06 DERIVATIVE_CUTOFF=0.7 STILL_SPEED=100";
    const std::string text = common::FormatBoardStatus(status);
    EXPECT_EQ(text, start + "settings-reads=2\nsettings-read-at=2026-05-01 09:00:00\n" + before +
                        "smoothing=adaptive\nsmoothing-parameters=" + status.smoothingParameters + "\n" + after);
    const common::BoardStatus read = common::ParseBoardStatus(text);
    EXPECT_EQ(read.settingsReads, 2u);
    EXPECT_EQ(read.settingsReadAt, status.settingsReadAt);
    EXPECT_EQ(read.smoothing, "adaptive");
    EXPECT_EQ(read.smoothingParameters, status.smoothingParameters);
}

// Whatever a line holds, the answer still reads: a key given twice keeps its
// last value, a number keeps its leading digits, a word other than the true
// one is false, a pair stops at its first bad word, and a contact that does
// not read is dropped while the others stay.
TEST(BoardStatus, MalformedAndRepeatedLinesReadAsTheyAlwaysHave)
{
    const common::BoardStatus read = common::ParseBoardStatus(
        "=orphan\nprotocol=1\nprotocol=2x\nPROTOCOL=9\n protocol=8\nrecords=12x\ndriver-process=nine\n"
        "calibration=yes\nboard-keys=on\nsocket-channel=yes\r\r\nlast-contact-ms=soon\n"
        "grid=7\nscreen=1024 tall\nmonitor=left 5 x 9 9\n"
        "contact=1 0 sideways 5 5 off\ncontact=2 0 up 5 5 9\ncontact=3 1 down 5 5 6x 7\ncontact=4 1 down 6 7 off\n"
        "smoothing=a=b\n");
    EXPECT_EQ(read.protocol, 2);
    EXPECT_EQ(read.records, 12u);
    EXPECT_EQ(read.processId, 0u);
    EXPECT_FALSE(read.calibrationLoaded);
    EXPECT_FALSE(read.boardKeys);
    EXPECT_FALSE(read.socketChannel);
    EXPECT_EQ(read.lastContactMs, 0);
    EXPECT_EQ(read.gridColumns, 7);
    EXPECT_EQ(read.screenWidth, 1024);
    EXPECT_EQ(read.screenHeight, 0);
    EXPECT_EQ(read.monitor, "left");
    EXPECT_EQ(read.monitorLeft, 5);
    EXPECT_EQ(read.monitorWidth, 0);
    ASSERT_EQ(read.contacts.size(), 1u);
    EXPECT_EQ(read.contacts[0].ageMs, 4u);
    EXPECT_EQ(read.smoothing, "a=b");
}

} // namespace
