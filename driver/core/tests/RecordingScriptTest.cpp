// A recording is a script the camera service stand-in plays: parsed with the
// stand-in's own parser it gives back every record, in order, with pauses
// for the gaps between them, and carries the settings for the replay.
#include "driver/RecordingScript.h"

#include "sim/TouchScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace driver {
namespace {

CapturedRecord Captured(std::uint32_t tick, std::initializer_list<std::uint8_t> bytes,
                        RecordRoute route = RecordRoute::Mouse)
{
    CapturedRecord record;
    record.tick = tick;
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
    record.route = route;
    return record;
}

TEST(RecordingScript, PlaysBackAsTheSameRecordsWithTheirGaps)
{
    const std::vector<CapturedRecord> records = {
        Captured(1000, {4}),                                                    // camera kind: event
        Captured(1002, {1, 0x01, 0x90, 0x02, 0x58}),                            // down 400 600
        Captured(1019, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x0C, 0x80, 0x09, 0x60}, RecordRoute::PairSplit), // rec
        Captured(1050, {2, 0x01, 0x90, 0x02, 0x58}, RecordRoute::PairSplit),    // up
        Captured(1051, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}),
    };
    RecordingFacts facts;
    facts.seconds = 10;
    facts.settingsText = "[coordinate]\r\nwdot=3\r\n";
    const std::string text = FormatRecording(facts, records);

    const sim::TouchScript script = sim::ParseTouchScript(text);
    ASSERT_TRUE(script.Ok()) << script.error << " at line " << script.errorLine << "\n" << text;
    std::vector<std::array<std::uint8_t, kTouchRecordSize>> played;
    std::vector<unsigned> pauses;
    for (const sim::ScriptStep& step : script.steps) {
        if (step.kind == sim::ScriptStep::Kind::Record) {
            std::array<std::uint8_t, kTouchRecordSize> bytes{};
            std::copy(step.record.begin(), step.record.end(), bytes.begin());
            played.push_back(bytes);
        }
        if (step.kind == sim::ScriptStep::Kind::Pause) pauses.push_back(step.ms);
    }
    ASSERT_EQ(played.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(played[i], records[i].bytes) << "record " << i;
    // Gaps of a cycle or less need no pause; the others less the cycle the read takes.
    EXPECT_EQ(pauses, (std::vector<unsigned>{15, 29}));
    EXPECT_EQ(script.steps.front().kind, sim::ScriptStep::Kind::WaitForDriver);

    EXPECT_NE(text.find("#: ini [coordinate]\n#: ini wdot=3\n"), std::string::npos);
    EXPECT_NE(text.find("#: route mouse\n"), std::string::npos);
    EXPECT_NE(text.find("#: route pair-split\nrec 0 0 0 0 0 0 1 3200 2400\n"), std::string::npos);
    EXPECT_NE(text.find("event 4\ndown 400 600\n"), std::string::npos);
    EXPECT_NE(text.find("#: records 5\n"), std::string::npos);
}

} // namespace
} // namespace driver
