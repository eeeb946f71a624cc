#include "common/BoardStatus.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <type_traits>
#include <utility>

namespace common {
namespace {

using Values = std::vector<std::string>;

// A row without its key and presence: the format, and both directions for
// the member (or members) behind it.
struct Codec {
    StatusFormat format;
    Values (*write)(const BoardStatus&);
    void (*read)(const std::string&, BoardStatus&);
};

template <auto Member>
using MemberType = std::remove_reference_t<decltype(std::declval<BoardStatus&>().*Member)>;

// Signed members read as strtol reads, unsigned ones as strtoul: leading
// digits, 0 where there are none, and an unsigned one wraps a minus sign.
template <typename Number>
Number ReadNumber(const std::string& value)
{
    if constexpr (std::is_signed_v<Number>) {
        return static_cast<Number>(std::strtol(value.c_str(), nullptr, 10));
    } else {
        return static_cast<Number>(std::strtoul(value.c_str(), nullptr, 10));
    }
}

std::string Word(const std::string& text)
{
    return text;
}

template <typename Number>
std::string Word(Number value)
{
    return std::to_string(value);
}

template <auto Member>
Values WriteOne(const BoardStatus& status)
{
    return {Word(status.*Member)};
}

template <auto Member>
void ReadInteger(const std::string& value, BoardStatus& status)
{
    status.*Member = ReadNumber<MemberType<Member>>(value);
}

template <auto Member>
void ReadText(const std::string& value, BoardStatus& status)
{
    status.*Member = value;
}

// The words of flags, as objects that can be template arguments.
constexpr char kYes[] = "yes";
constexpr char kNo[] = "no";
constexpr char kLoaded[] = "loaded";
constexpr char kFailed[] = "failed";

// Anything but the word for true reads as false.
template <auto Member, const char* True, const char* False>
Values WriteFlag(const BoardStatus& status)
{
    return {status.*Member ? True : False};
}

template <auto Member, const char* True>
void ReadFlag(const std::string& value, BoardStatus& status)
{
    status.*Member = value == True;
}

template <auto... Members>
Values WriteWords(const BoardStatus& status)
{
    std::string line;
    ((line += ' ', line += Word(status.*Members)), ...);
    return {line.substr(1)};
}

// Read in turn as a stream reads them: the first that fails is set to 0 and
// the ones after it keep what they had.
template <auto... Members>
void ReadWords(const std::string& value, BoardStatus& status)
{
    std::istringstream words(value);
    (words >> ... >> (status.*Members));
}

template <auto Member>
constexpr Codec Integer{StatusFormat::Integer, WriteOne<Member>, ReadInteger<Member>};
template <auto Member>
constexpr Codec Text{StatusFormat::Text, WriteOne<Member>, ReadText<Member>};
template <auto Member, const char* True = kYes, const char* False = kNo>
constexpr Codec Flag{StatusFormat::Flag, WriteFlag<Member, True, False>, ReadFlag<Member, True>};
template <auto... Members>
constexpr Codec Words{StatusFormat::Words, WriteWords<Members...>, ReadWords<Members...>};

// No contact yet (-1) travels as "none".
Values WriteLastContact(const BoardStatus& status)
{
    return {status.lastContactMs < 0 ? std::string("none") : std::to_string(status.lastContactMs)};
}

void ReadLastContact(const std::string& value, BoardStatus& status)
{
    status.lastContactMs = value == "none" ? -1 : ReadNumber<long>(value);
}

constexpr Codec kLastContact{StatusFormat::Integer, WriteLastContact, ReadLastContact};

std::string Line(const StatusContact& contact)
{
    char line[96];
    if (contact.onScreen) {
        std::snprintf(line, sizeof line, "%lu %d %s %d %d %d %d", static_cast<unsigned long>(contact.ageMs),
                      contact.slot, contact.released ? "up" : "down", contact.cameraX, contact.cameraY,
                      contact.screenX, contact.screenY);
    } else {
        std::snprintf(line, sizeof line, "%lu %d %s %d %d off", static_cast<unsigned long>(contact.ageMs),
                      contact.slot, contact.released ? "up" : "down", contact.cameraX, contact.cameraY);
    }
    return line;
}

bool ReadContact(const std::string& value, StatusContact& contact)
{
    std::istringstream words(value);
    unsigned long age = 0;
    std::string edge, screenX;
    if (!(words >> age >> contact.slot >> edge >> contact.cameraX >> contact.cameraY >> screenX)) return false;
    if (edge != "up" && edge != "down") return false;
    contact.ageMs = static_cast<std::uint32_t>(age);
    contact.released = edge == "up";
    contact.onScreen = screenX != "off";
    if (contact.onScreen) {
        char* end = nullptr;
        contact.screenX = static_cast<int>(std::strtol(screenX.c_str(), &end, 10));
        if (*end != '\0' || !(words >> contact.screenY)) return false;
    }
    return true;
}

Values WriteContacts(const BoardStatus& status)
{
    Values lines;
    for (const StatusContact& contact : status.contacts) lines.push_back(Line(contact));
    return lines;
}

// A sample that does not read is dropped; the others stay in order.
void ReadContactLine(const std::string& value, BoardStatus& status)
{
    StatusContact contact;
    if (ReadContact(value, contact)) status.contacts.push_back(contact);
}

constexpr Codec kContacts{StatusFormat::Repeated, WriteContacts, ReadContactLine};

// A driver that does not tell leaves these empty or 0, and its answer
// without their lines, as before they were told.
template <auto Member>
bool Told(const BoardStatus& status)
{
    return !(status.*Member).empty();
}

bool SettingsReadsTold(const BoardStatus& status)
{
    return status.settingsReads > 0;
}

StatusField Row(const char* key, const Codec& codec, bool (*present)(const BoardStatus&) = nullptr)
{
    return {key, codec.format, present, codec.write, codec.read};
}

const StatusField* FieldOf(const std::string& key)
{
    for (const StatusField& field : BoardStatusFields()) {
        if (key == field.key) return &field;
    }
    return nullptr;
}

} // namespace

const std::vector<StatusField>& BoardStatusFields()
{
    using S = BoardStatus;
    static const std::vector<StatusField> fields = {
        Row("protocol", Integer<&S::protocol>),
        Row("driver-version", Text<&S::driverVersion>),
        Row("driver-process", Integer<&S::processId>),
        Row("driver-started", Text<&S::startedAt>),
        Row("driver-tick", Integer<&S::tick>),
        Row("driver-elevated", Text<&S::elevated>),
        Row("driver-virtualized", Text<&S::virtualized>),
        Row("settings-file", Text<&S::settingsFile>),
        Row("settings-reads", Integer<&S::settingsReads>, SettingsReadsTold),
        Row("settings-read-at", Text<&S::settingsReadAt>, SettingsReadsTold),
        Row("calibration", Flag<&S::calibrationLoaded, kLoaded, kFailed>),
        Row("calibration-problem", Text<&S::calibrationProblem>, Told<&S::calibrationProblem>),
        // A check's three lines come together or not at all.
        Row("calibration-check", Text<&S::calibrationCheck>, Told<&S::calibrationCheck>),
        Row("calibration-check-worst-px", Text<&S::calibrationCheckWorstPx>, Told<&S::calibrationCheck>),
        Row("calibration-check-at", Text<&S::calibrationCheckAt>, Told<&S::calibrationCheck>),
        Row("grid", Words<&S::gridColumns, &S::gridRows>),
        Row("screen", Words<&S::screenWidth, &S::screenHeight>),
        Row("monitor", Words<&S::monitor, &S::monitorLeft, &S::monitorTop, &S::monitorWidth, &S::monitorHeight>),
        Row("camera-kind", Integer<&S::cameraKind>),
        Row("board-keys", Flag<&S::boardKeys>),
        Row("records", Integer<&S::records>),
        Row("last-contact-ms", kLastContact),
        Row("contact", kContacts),
        Row("socket", Text<&S::socketRouting>),
        Row("socket-channel", Flag<&S::socketChannel>),
        Row("forwarding", Text<&S::forwarding>),
        Row("tuio", Text<&S::tuio>),
        Row("touch-injection", Flag<&S::touchInjectionAsked>),
        Row("touch-injection-system", Flag<&S::touchInjectionAvailable>),
        Row("touch-injection-on", Flag<&S::touchInjectionOn>),
        Row("smoothing", Text<&S::smoothing>, Told<&S::smoothing>),
        Row("smoothing-parameters", Text<&S::smoothingParameters>, Told<&S::smoothingParameters>),
        Row("recording", Text<&S::recording>),
        Row("recording-seconds", Integer<&S::recordingSeconds>),
        Row("recording-file", Text<&S::recordingFile>, Told<&S::recordingFile>),
    };
    return fields;
}

std::string FormatBoardStatus(const BoardStatus& status)
{
    std::string text;
    for (const StatusField& field : BoardStatusFields()) {
        if (field.present && !field.present(status)) continue;
        for (std::string value : field.write(status)) {
            // A value is one line whatever it holds.
            for (char& c : value) {
                if (c == '\r' || c == '\n') c = ' ';
            }
            text.append(field.key).append(1, '=').append(value).append(1, '\n');
        }
    }
    return text;
}

BoardStatus ParseBoardStatus(const std::string& text)
{
    BoardStatus status;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string::size_type equals = line.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        if (const StatusField* field = FieldOf(line.substr(0, equals))) field->read(line.substr(equals + 1), status);
    }
    return status;
}

} // namespace common
