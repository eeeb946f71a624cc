#include "driver/RecordingScript.h"

#include <cstring>
#include <memory>
#include <sstream>

namespace driver {
namespace {

constexpr std::size_t kRecordSlotBytes = 5;

unsigned SlotValue(const std::array<std::uint8_t, kTouchRecordSize>& bytes, std::size_t offset)
{
    return static_cast<unsigned>(bytes[offset]) << 8 | bytes[offset + 1];
}

bool ZeroFrom(const std::array<std::uint8_t, kTouchRecordSize>& bytes, std::size_t first)
{
    for (std::size_t i = first; i < kTouchRecordSize; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

// Every line of the settings file as a comment, so a replay can rebuild it.
void PutSettings(std::ostringstream& out, const std::string& text)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out << "#: ini " << line << '\n';
    }
}

void PutOptions(std::ostringstream& out, const std::vector<OptionInForce>& options)
{
    for (const OptionInForce& entry : options) {
        out << "#: option " << entry.option->section << ' ' << entry.option->key << ' ' << entry.value << ' '
            << Name(entry.source) << '\n';
    }
}

} // namespace

const char* Name(OptionSource source)
{
    switch (source) {
    case OptionSource::File: return "file";
    case OptionSource::ProgramFolder: return "program-folder";
    case OptionSource::Policy: return "policy";
    case OptionSource::Default: return "default";
    }
    return "default";
}

std::vector<OptionInForce> ReadOptionsInForce(const common::SettingsSources& sources)
{
    std::vector<OptionInForce> options;
    std::unique_ptr<common::SectionInForce> section;
    const char* sectionName = nullptr;
    for (const common::Option* option : common::kOptions) {
        // The file is chosen for a whole section, as the driver reads it.
        if (!sectionName || std::strcmp(sectionName, option->section) != 0) {
            sectionName = option->section;
            section = std::make_unique<common::SectionInForce>(sectionName, sources);
        }
        OptionInForce entry;
        entry.option = option;
        entry.value = section->Text(*option);
        if (section->FromPolicy(*option)) {
            entry.source = OptionSource::Policy;
        } else if (entry.value.empty()) {
            entry.source = OptionSource::Default;
        } else {
            entry.source = section->FromProgramFolder() ? OptionSource::ProgramFolder : OptionSource::File;
        }
        if (entry.value.empty()) entry.value = option->fallback;
        options.push_back(std::move(entry));
    }
    return options;
}

std::string RecordCommand(const std::array<std::uint8_t, kTouchRecordSize>& bytes)
{
    std::ostringstream command;
    const unsigned first = bytes[0];
    if (first != 0 && ZeroFrom(bytes, 1) && first != 1 && first != 2) {
        command << "event " << first;
        return command.str();
    }
    if ((first == 1 || first == 2) && ZeroFrom(bytes, kRecordSlotBytes)) {
        command << (first == 1 ? "down " : "up ") << SlotValue(bytes, 1) << ' ' << SlotValue(bytes, 3);
        return command.str();
    }
    std::size_t slots = kTouchRecordSize / kRecordSlotBytes;
    while (slots > 1 && ZeroFrom(bytes, (slots - 1) * kRecordSlotBytes)) --slots;
    command << "rec";
    for (std::size_t s = 0; s < slots; ++s) {
        const std::size_t at = s * kRecordSlotBytes;
        command << ' ' << static_cast<unsigned>(bytes[at]) << ' ' << SlotValue(bytes, at + 1) << ' '
                << SlotValue(bytes, at + 3);
    }
    return command.str();
}

std::string FormatRecording(const RecordingFacts& facts, const std::vector<CapturedRecord>& records)
{
    std::ostringstream out;
    out << "# Board recording: the records Brelvin read from the camera service for " << facts.seconds
        << " s, as the camera service stand-in plays them.\n";
    out << "#: driver " << facts.driverVersion << '\n';
    out << "#: started " << facts.startedAt << '\n';
    out << "#: seconds " << facts.seconds << '\n';
    out << "#: records " << records.size() << '\n';
    out << "#: screen " << facts.screenWidth << ' ' << facts.screenHeight << '\n';
    const RecordRoute firstRoute = records.empty() ? RecordRoute::Mouse : records.front().route;
    out << "#: route " << Name(firstRoute) << '\n';
    out << "#: board-keys " << (facts.boardKeys ? 1 : 0) << '\n';
    out << "#: tuio " << facts.tuio << '\n';
    out << "#: touch-injection " << (facts.touchInjection ? "on" : "off") << '\n';
    PutOptions(out, facts.options);
    PutSettings(out, facts.settingsText);
    out << "driver\nsync\n";
    RecordRoute route = firstRoute;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CapturedRecord& record = records[i];
        if (i > 0) {
            const std::uint32_t gap = record.tick - records[i - 1].tick;
            if (gap > kRecordingCycleMs) out << "pause " << gap - kRecordingCycleMs << '\n';
        }
        if (record.route != route) {
            route = record.route;
            out << "#: route " << Name(route) << '\n';
        }
        out << RecordCommand(record.bytes) << '\n';
    }
    return out.str();
}

} // namespace driver
