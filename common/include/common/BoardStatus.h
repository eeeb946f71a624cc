#pragma once
// The driver's answer to the board check: what runs, what arrives, which
// calibration and outputs are in force, where the contacts of the last
// seconds were. It travels as text, one "key=value" line each, so that a
// support ticket can carry it as it came and a reader of an older or newer
// driver skips what it does not know. Written by the driver, read by the
// board check; docs/INTEGRATION.md lists every key.
#include <cstdint>
#include <string>
#include <vector>

namespace common {

// The request, registered by name (msg::kRegisteredBoardCheck): wParam is the
// window that gets the answer, lParam one of these in its low byte; a
// recording asks for its length in seconds in the bits above it (0: the
// default; a length over kRecordingMaxSeconds is taken as that maximum, never
// cut to a byte, so that 300 s does not become 44). Reading the settings
// again restarts the touch worker with every option as the files and
// policies now have it and reloads the calibration, then answers the status.
inline constexpr unsigned kBoardCheckStatus = 1;
inline constexpr unsigned kBoardCheckRecord = 2;
inline constexpr unsigned kBoardCheckReadSettings = 3;
inline constexpr unsigned kRecordingDefaultSeconds = 10;
inline constexpr unsigned kRecordingMaxSeconds = 60;
// WM_COPYDATA's dwData on the answer.
inline constexpr std::uintptr_t kBoardStatusTag = 0x42435331; // "BCS1"
inline constexpr int kBoardStatusProtocol = 1;

constexpr long BoardCheckRequest(unsigned kind, unsigned seconds = 0)
{
    return static_cast<long>((kind & 0xFFu) |
                             ((seconds < kRecordingMaxSeconds ? seconds : kRecordingMaxSeconds) << 8));
}

// One contact sample of the last seconds.
struct StatusContact {
    std::uint32_t ageMs = 0;
    int slot = 0;
    bool released = false;
    int cameraX = 0, cameraY = 0;
    // False when the calibration places the point nowhere on the screen.
    bool onScreen = false;
    int screenX = 0, screenY = 0;
};

struct BoardStatus {
    int protocol = 0;
    std::string driverVersion;
    unsigned long processId = 0;
    std::string startedAt; // local time, "YYYY-MM-DD hh:mm:ss"
    std::uint32_t tick = 0; // the driver's millisecond clock at the answer
    std::string elevated;     // yes, no, unknown
    std::string virtualized;  // file virtualization of the driver: yes, no, unknown
    std::string settingsFile;
    // How often the driver has read its settings (1 at its start, one more at
    // each request to read them again; 0 from a driver that does not tell),
    // and when it last did (local time).
    unsigned settingsReads = 0;
    std::string settingsReadAt;
    bool calibrationLoaded = false;
    std::string calibrationProblem;
    // The calibration program's last accuracy check (CalibrationCheckRecord):
    // good, recalibrate, or empty when the calibration in force is unchecked.
    std::string calibrationCheck;
    std::string calibrationCheckWorstPx;
    std::string calibrationCheckAt;
    int gridColumns = 0, gridRows = 0;
    int screenWidth = 0, screenHeight = 0;
    // The board's monitor: a name ("primary") and its rectangle.
    std::string monitor;
    int monitorLeft = 0, monitorTop = 0, monitorWidth = 0, monitorHeight = 0;
    int cameraKind = 0;
    bool boardKeys = false;
    // Records that were not empty, counted while someone watches.
    std::uint32_t records = 0;
    // -1: no contact seen since the watch began.
    long lastContactMs = -1;
    std::vector<StatusContact> contacts;
    std::string socketRouting; // off, pair-split, half-split
    bool socketChannel = false;
    std::string forwarding; // idle, awaiting-client, forwarding
    std::string tuio;       // off, or the destination "a.b.c.d:port"
    bool touchInjectionAsked = false;
    bool touchInjectionAvailable = false;
    bool touchInjectionOn = false;
    // How contacts are smoothed: fixed or adaptive (empty from a driver that
    // does not tell), and the adaptive chain's numbers as the support log has
    // them ("MIN_CUTOFF=0.5 BETA=0.06 ..."; empty for the fixed blend).
    std::string smoothing;
    std::string smoothingParameters;
    std::string recording; // idle, waiting, recording, written, failed, busy
    unsigned recordingSeconds = 0;
    std::string recordingFile;
};

// How a field's value is written on its line.
enum class StatusFormat {
    Integer,  // decimal; read as strtol/strtoul read it (leading digits, else 0)
    Text,     // as it is, line breaks turned into blanks
    Flag,     // one word for true ("yes", "loaded"), another for false
    Words,    // several members on one line, a blank between them ("grid=4 3")
    Repeated, // one line per element, in order ("contact")
};

// One key of the answer. The table of them (BoardStatusFields) is the only
// place that ties keys to members: writing and reading both run over it, in
// its order, which is the order of the lines. A new field is one row there,
// and a line in docs/INTEGRATION.md.
struct StatusField {
    const char* key;
    StatusFormat format;
    // False where the line is left out (a value the driver does not tell);
    // null for a line that is always written.
    bool (*present)(const BoardStatus& status);
    // The values to write, one line each: one for all but a repeated field.
    std::vector<std::string> (*write)(const BoardStatus& status);
    // Takes one line's value. A malformed value sets what the format's reader
    // makes of it and never fails the answer; a key that comes again
    // overwrites, or for a repeated field appends.
    void (*read)(const std::string& value, BoardStatus& status);
};

const std::vector<StatusField>& BoardStatusFields();

std::string FormatBoardStatus(const BoardStatus& status);
// Unknown keys and lines without a key are skipped; fields not given keep their defaults.
BoardStatus ParseBoardStatus(const std::string& text);

} // namespace common
