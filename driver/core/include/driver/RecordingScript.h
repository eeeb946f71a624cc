#pragma once
// A recording as a file: the records the worker read, in the language the
// camera service stand-in plays (one command a line, "#" starts a comment),
// so a developer can replay a school's problem against the real driver. The
// facts the replay needs ride along as comment lines "#: <key> <value>":
// the driver and the time, the screen, where contacts went, the outputs in
// force, every option of the table with its value in force and where that
// came from ("#: option <section> <key> <value> <source>": a replay has no
// policies and may lack the program folder's copy, so the file alone would
// not tell what ran) and the settings file ("#: ini <line>", one per line of
// WBInit.ini). docs/INTEGRATION.md lists them.
#include "common/SectionInForce.h"
#include "driver/RecordCapture.h"

#include <string>
#include <vector>

namespace driver {

// Where an option's value in force came from.
enum class OptionSource {
    File,          // the settings file in force
    ProgramFolder, // the program folder's copy, for a user's copy without the section
    Policy,        // Group Policy
    Default,       // no source sets it
};

const char* Name(OptionSource source);

struct OptionInForce {
    const common::Option* option = nullptr;
    std::string value; // the default's text where no source sets it
    OptionSource source = OptionSource::Default;
};

// Every option of the table, in the table's order, as the driver reads it.
std::vector<OptionInForce> ReadOptionsInForce(const common::SettingsSources& sources);

struct RecordingFacts {
    std::string driverVersion;
    std::string startedAt; // local time
    unsigned seconds = 0;
    int screenWidth = 0, screenHeight = 0;
    bool boardKeys = false;
    std::string tuio = "off";
    bool touchInjection = false;
    std::string settingsText; // the settings file as it was when the recording began
    std::vector<OptionInForce> options;
};

// Records read less than this apart follow each other without a pause: the
// stand-in writes the next one once the driver has read the last, which
// takes up to one cycle.
inline constexpr std::uint32_t kRecordingCycleMs = 2;

std::string FormatRecording(const RecordingFacts& facts, const std::vector<CapturedRecord>& records);

// The command that writes one record: "event c", "down x y", "up x y" or
// "rec s x y ..." as far as the last slot that is not empty.
std::string RecordCommand(const std::array<std::uint8_t, kTouchRecordSize>& bytes);

} // namespace driver
