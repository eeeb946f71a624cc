#include "sim/TouchScript.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using Kind = ScriptStep::Kind;

TouchRecord Bytes(std::initializer_list<int> values)
{
    TouchRecord record{};
    int i = 0;
    for (int value : values) record[i++] = static_cast<std::uint8_t>(value);
    return record;
}

TEST(TouchRecordTest, SlotsAreBigEndianAtFiveByteSteps)
{
    TouchRecord record{};
    PutSlot(record, 0, PointSlot{1, 0x0C80, 0x0960});
    PutSlot(record, 3, PointSlot{2, 0x0102, 0xFFFF});
    EXPECT_EQ(ToHex(record), "010C800960"
                             "00000000000000000000"
                             "020102FFFF");
    const PointSlot back = SlotAt(record, 3);
    EXPECT_EQ(back.status, 2);
    EXPECT_EQ(back.x, 0x0102);
    EXPECT_EQ(back.y, 0xFFFF);
}

TEST(TouchRecordTest, NoOpRecordCarriesNoStatusButIsNotConsumed)
{
    const TouchRecord record = MakeNoOpRecord();
    EXPECT_FALSE(IsConsumed(record));
    for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(SlotAt(record, slot).status, status::kNone);
    EXPECT_TRUE(IsConsumed(TouchRecord{}));
}

TEST(TouchScriptTest, ShorthandsBuildSlotZeroRecords)
{
    const TouchScript script = ParseTouchScript("down 1600 1200\r\nup 1600 1201  # lift\nevent 4\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    ASSERT_EQ(script.steps.size(), 3u);
    EXPECT_EQ(script.steps[0].record, Bytes({1, 0x06, 0x40, 0x04, 0xB0}));
    EXPECT_EQ(script.steps[1].record, Bytes({2, 0x06, 0x40, 0x04, 0xB1}));
    EXPECT_EQ(script.steps[2].record, Bytes({4}));
    EXPECT_EQ(script.steps[1].line, 2);
    EXPECT_EQ(script.RecordCount(), 3);
}

TEST(TouchScriptTest, RecFillsSlotsInOrderAndRawIsTakenAsIs)
{
    const TouchScript script =
        ParseTouchScript("rec 0 0 0 1 10 20 2 300 400\nraw 0102030405060708090A0B0C0D0E0F10111213ff\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    EXPECT_EQ(ToHex(script.steps[0].record), "0000000000"
                                             "01000A0014"
                                             "02012C0190"
                                             "0000000000");
    EXPECT_EQ(script.steps[1].record[19], 0xFF);
    EXPECT_EQ(script.steps[1].record[0], 0x01);
}

TEST(TouchScriptTest, LineSpreadsSamplesEvenlyWithBothEnds)
{
    const TouchScript script = ParseTouchScript("line 100 200 400 200 4\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    ASSERT_EQ(script.steps.size(), 4u);
    const int expected[] = {100, 200, 300, 400};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(SlotAt(script.steps[i].record, 0).x, expected[i]);
        EXPECT_EQ(SlotAt(script.steps[i].record, 0).y, 200);
        EXPECT_EQ(SlotAt(script.steps[i].record, 0).status, status::kContact);
    }
}

TEST(TouchScriptTest, HoldRepeatsOnePointAndSyncAddsNoOpRecords)
{
    const TouchScript script = ParseTouchScript("driver\nsync\nhold 5 6 101\nsync 1\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    ASSERT_EQ(script.steps.size(), 1u + 3u + 101u + 1u);
    EXPECT_EQ(script.steps[0].kind, Kind::WaitForDriver);
    EXPECT_EQ(script.steps[0].ms, kDefaultDriverWaitMs);
    EXPECT_EQ(script.steps[1].kind, Kind::SyncRecord);
    EXPECT_EQ(script.steps[1].record, MakeNoOpRecord());
    EXPECT_EQ(script.steps[104].record, script.steps[4].record);
    EXPECT_EQ(script.steps.back().kind, Kind::SyncRecord);
    // Sync records are not counted as the script's own records.
    EXPECT_EQ(script.RecordCount(), 101);
}

TEST(TouchScriptTest, TimingCommandsCarryTheirMilliseconds)
{
    const TouchScript script = ParseTouchScript("pace 8\npause 650\ntimeout 100\nstamp\ndriver 500\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    ASSERT_EQ(script.steps.size(), 5u);
    EXPECT_EQ(script.steps[0].kind, Kind::Pace);
    EXPECT_EQ(script.steps[0].ms, 8u);
    EXPECT_EQ(script.steps[1].kind, Kind::Pause);
    EXPECT_EQ(script.steps[1].ms, 650u);
    EXPECT_EQ(script.steps[2].kind, Kind::ConsumeTimeout);
    EXPECT_EQ(script.steps[3].kind, Kind::Stamp);
    EXPECT_EQ(script.steps[4].ms, 500u);
}

TEST(TouchScriptTest, ErrorsNameTheLineAndDropEverything)
{
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"down 1 2\nfly 1 2\n", 2},
        {"down 1\n", 1},
        {"down 1 2 3\n", 1},
        {"down 65536 0\n", 1},
        {"down -1 0\n", 1},
        {"down 1x 0\n", 1},
        {"rec 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\n", 1},
        {"rec 256 1 1\n", 1},
        {"rec 1 1\n", 1},
        {"raw 00000000000000000000000000000000000000\n", 1},
        {"raw 0000000000000000000000000000000000000000\n", 1}, // all zero: never seen as written
        {"rec 0 0 0\n", 1},
        {"event 0\n", 1},
        {"line 0 0 10 10 1\n", 1},
        {"hold 1 1 99999999999999999999\n", 1},
        {"pause\n", 1},
        {"stamp now\n", 1},
        {"\n\nsync 101\n", 3},
        {"realtime\n", 1},
        {"realtime 1001\n", 1},
        {"realtime 60 fast\n", 1},
        {"die now\n", 1},
        {"die-holding-lock 5\n", 1},
        {"hang-lock -1\n", 1},
        {"hang-window 3600001\n", 1},
        {"hang-on\n", 1},
        {"hang-on 0\n", 1},
        {"hang-on 65536\n", 1},
        {"await\n", 1},
        {"await 32870 1 2\n", 1},
        {"loop 0\ndown 1 1\nendloop\n", 1},
        {"loop x\n", 1},
        {"down 1 1\nendloop\n", 2},
        {"loop\nendloop\n", 2},
        {"loop 2\ndown 1 1\nloop\ndown 2 2\nendloop\n", 1},
        {"loop 2\ndown 1 1\nendloop now\n", 3},
        {"note\n", 1},
        {"note two words\n", 1},
    };
    for (const Case& c : cases) {
        const TouchScript script = ParseTouchScript(c.text);
        EXPECT_FALSE(script.Ok()) << c.text;
        EXPECT_EQ(script.errorLine, c.line) << c.text;
        EXPECT_TRUE(script.steps.empty()) << c.text;
    }
}

TEST(TouchScriptTest, FaultCommandsCarryTheirArguments)
{
    const TouchScript script = ParseTouchScript("realtime 60\nrealtime 0\ndie\ndie-holding-lock\n"
                                                "hang-lock\nhang-lock 250\nhang-window\nhang-window 0\n"
                                                "hang-on 32870\nawait 32869\nawait 33000 1500\nnote here\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    ASSERT_EQ(script.steps.size(), 12u);
    EXPECT_EQ(script.steps[0].kind, Kind::Realtime);
    EXPECT_EQ(script.steps[0].value, 60u);
    EXPECT_EQ(script.steps[1].value, 0u);
    EXPECT_EQ(script.steps[2].kind, Kind::Die);
    EXPECT_EQ(script.steps[3].kind, Kind::DieHoldingLock);
    EXPECT_EQ(script.steps[4].kind, Kind::HangLock);
    EXPECT_TRUE(script.steps[4].forever);
    EXPECT_FALSE(script.steps[5].forever);
    EXPECT_EQ(script.steps[5].ms, 250u);
    EXPECT_EQ(script.steps[6].kind, Kind::HangWindow);
    EXPECT_TRUE(script.steps[6].forever);
    // Zero is a time, not "for ever".
    EXPECT_FALSE(script.steps[7].forever);
    EXPECT_EQ(script.steps[7].ms, 0u);
    EXPECT_EQ(script.steps[8].kind, Kind::HangOn);
    EXPECT_EQ(script.steps[8].value, 32870u);
    EXPECT_EQ(script.steps[9].kind, Kind::Await);
    EXPECT_EQ(script.steps[9].value, 32869u);
    EXPECT_EQ(script.steps[9].ms, kDefaultAwaitMs);
    EXPECT_EQ(script.steps[10].ms, 1500u);
    EXPECT_EQ(script.steps[11].kind, Kind::Note);
    EXPECT_EQ(script.steps[11].text, "here");
    EXPECT_EQ(script.RecordCount(), 0);
}

TEST(TouchScriptTest, LoopsPairUpInnermostFirstAndCountTheirRecordsOnce)
{
    const TouchScript script = ParseTouchScript("loop\n down 1 1\n loop 3\n  up 1 1\n endloop\nendloop\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    ASSERT_EQ(script.steps.size(), 6u);
    EXPECT_EQ(script.steps[0].kind, Kind::LoopBegin);
    EXPECT_EQ(script.steps[0].value, 0u);
    EXPECT_EQ(script.steps[2].kind, Kind::LoopBegin);
    EXPECT_EQ(script.steps[2].value, 3u);
    EXPECT_EQ(script.steps[4].kind, Kind::LoopEnd);
    EXPECT_EQ(script.steps[4].value, 2u);
    EXPECT_EQ(script.steps[5].value, 0u);
    EXPECT_EQ(script.RecordCount(), 2);
}

TEST(TouchScriptTest, CommentsAndBlankLinesAreSkipped)
{
    const TouchScript script = ParseTouchScript("# a session\n\n   \t\ndown 1 1 # press\n#up 1 1\n");
    ASSERT_TRUE(script.Ok()) << script.error;
    ASSERT_EQ(script.steps.size(), 1u);
    EXPECT_EQ(script.steps[0].line, 4);
}

TEST(TouchScriptTest, ExpansionIsBounded)
{
    const TouchScript script = ParseTouchScript("hold 1 1 600000\nhold 1 1 600000\n");
    EXPECT_FALSE(script.Ok());
    EXPECT_EQ(script.errorLine, 2);
}

} // namespace
} // namespace sim
