// A recording is a script the camera service stand-in plays: parsed with the
// stand-in's own parser it gives back every record, in order, with pauses
// for the gaps between them, and carries the settings for the replay.
#include "driver/RecordingScript.h"

#include "common/TextProfile.h"
#include "sim/Replay.h"
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

// A classroom's options come from a policy, the program folder's copy and
// the user's file; the replay has no policy and an empty program folder, yet
// its driver must read every option as the classroom's did.
TEST(RecordingScript, CarriesTheOptionsInForceSoAReplayReadsTheSame)
{
    const common::TextProfile userFile("[coordinate]\r\nwdot=3\r\n[Multitouch]\r\nTUIO=1\r\nTUIO_HOST=10.1.2.3\r\n"
                                       "[Display]\r\nMONITOR=secondary\r\n");
    const common::TextProfile programFolder("[Filter]\r\nMODE=fixed\r\nBETA=0.2\r\n[Calibration]\r\nOWN_PROGRAM=1\r\n");
    common::PolicyValues policies;
    policies.Set(common::options::kFilterMode, "adaptive");
    const common::SettingsSources classroom{userFile, programFolder, policies};
    RecordingFacts facts;
    facts.settingsText = "[coordinate]\r\nwdot=3\r\n[Multitouch]\r\nTUIO=1\r\nTUIO_HOST=10.1.2.3\r\n";
    facts.options = ReadOptionsInForce(classroom);
    const std::string text = FormatRecording(facts, {Captured(1000, {1, 0, 1, 0, 1})});
    EXPECT_NE(text.find("#: option Filter MODE adaptive policy\n"), std::string::npos) << text;
    EXPECT_NE(text.find("#: option Filter BETA 0.2 program-folder\n"), std::string::npos) << text;
    EXPECT_NE(text.find("#: option Multitouch TUIO 1 file\n"), std::string::npos) << text;
    EXPECT_NE(text.find("#: option Multitouch TUIO_PORT 3333 default\n"), std::string::npos) << text;

    const sim::Replay replay = sim::PrepareReplay(text);
    ASSERT_TRUE(replay.Ok()) << replay.error;
    const common::TextProfile replayFile(replay.settings);
    const common::TextProfile noProgramFolder("");
    const common::PolicyValues noPolicies;
    const std::vector<OptionInForce> replayed = ReadOptionsInForce({replayFile, noProgramFolder, noPolicies});
    ASSERT_EQ(replayed.size(), facts.options.size());
    for (std::size_t i = 0; i < replayed.size(); ++i) {
        const common::Option& option = *facts.options[i].option;
        // TUIO goes to this machine, never to the classroom's receiver.
        const std::string expected = &option == &common::options::kTuioHost ? sim::kReplayTuioHost : facts.options[i].value;
        EXPECT_EQ(replayed[i].value, expected) << option.section << " " << option.key << "\n" << replay.settings;
    }
    EXPECT_NE(replay.settings.find("[coordinate]\r\nwdot=3\r\n"), std::string::npos) << replay.settings;
    EXPECT_TRUE(replay.tuio);
}

} // namespace
} // namespace driver
