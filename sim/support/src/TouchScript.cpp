#include "sim/TouchScript.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace sim {
namespace {

// Reads one whole unsigned decimal word within [0, max].
bool ReadNumber(std::istringstream& words, unsigned long max, unsigned long& value)
{
    std::string word;
    if (!(words >> word) || word.empty()) return false;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
    }
    errno = 0;
    value = std::strtoul(word.c_str(), nullptr, 10);
    return errno == 0 && value <= max;
}

bool ReadSlot(std::istringstream& words, PointSlot& slot)
{
    unsigned long status = 0, x = 0, y = 0;
    if (!ReadNumber(words, 255, status) || !ReadNumber(words, 65535, x) || !ReadNumber(words, 65535, y)) {
        return false;
    }
    slot = PointSlot{static_cast<std::uint8_t>(status), static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
    return true;
}

bool AtEnd(std::istringstream& words)
{
    std::string rest;
    return !(words >> rest);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    explicit Parser(TouchScript& script)
        : script_(script)
    {}

    // Returns an error text, empty when the line was understood.
    std::string Line(const std::string& text, int lineNumber)
    {
        line_ = lineNumber;
        std::istringstream words(text.substr(0, text.find('#')));
        std::string command;
        if (!(words >> command)) return {};
        if (command == "rec") return Rec(words);
        if (command == "down") return SingleSlot(words, status::kContact);
        if (command == "up") return SingleSlot(words, status::kRelease);
        if (command == "hold") return Hold(words);
        if (command == "line") return Line(words);
        if (command == "event") return Event(words);
        if (command == "raw") return Raw(words);
        if (command == "sync") return Sync(words);
        if (command == "driver") return Timed(words, ScriptStep::Kind::WaitForDriver, kDefaultDriverWaitMs);
        if (command == "pause") return Timed(words, ScriptStep::Kind::Pause, -1);
        if (command == "pace") return Timed(words, ScriptStep::Kind::Pace, -1);
        if (command == "timeout") return Timed(words, ScriptStep::Kind::ConsumeTimeout, -1);
        if (command == "stamp") return AtEnd(words) ? Add(ScriptStep::Kind::Stamp) : "stamp takes nothing";
        if (command == "realtime") return Realtime(words);
        if (command == "loop") return LoopBegin(words);
        if (command == "endloop") return LoopEnd(words);
        if (command == "die") return Bare(words, ScriptStep::Kind::Die, "die takes nothing");
        if (command == "die-holding-lock") {
            return Bare(words, ScriptStep::Kind::DieHoldingLock, "die-holding-lock takes nothing");
        }
        if (command == "hang-lock") return Hang(words, ScriptStep::Kind::HangLock);
        if (command == "hang-window") return Hang(words, ScriptStep::Kind::HangWindow);
        if (command == "hang-on") return HangOn(words);
        if (command == "await") return Await(words);
        if (command == "note") return Note(words);
        return "unknown command '" + command + "'";
    }

    // A loop left open at the end of the text; empty when every loop closed.
    std::string Finish(int& line)
    {
        if (openLoops_.empty()) return {};
        line = script_.steps[openLoops_.back()].line;
        return "loop without endloop";
    }

private:
    std::string Rec(std::istringstream& words)
    {
        TouchRecord record{};
        int slots = 0;
        while (!AtEndPeek(words)) {
            if (slots == kSlotCount) return "rec takes at most four slots";
            PointSlot slot;
            if (!ReadSlot(words, slot)) return "rec wants status x y per slot";
            PutSlot(record, slots++, slot);
        }
        if (slots == 0) return "rec wants at least one slot";
        return AddRecord(record, ScriptStep::Kind::Record);
    }

    std::string SingleSlot(std::istringstream& words, std::uint8_t slotStatus)
    {
        unsigned long x = 0, y = 0;
        if (!ReadNumber(words, 65535, x) || !ReadNumber(words, 65535, y) || !AtEnd(words)) {
            return "wants x y";
        }
        return AddRecord(SlotZero(slotStatus, x, y), ScriptStep::Kind::Record);
    }

    std::string Hold(std::istringstream& words)
    {
        unsigned long x = 0, y = 0, count = 0;
        if (!ReadNumber(words, 65535, x) || !ReadNumber(words, 65535, y) || !ReadNumber(words, kMaxSteps, count) ||
            !AtEnd(words)) {
            return "hold wants x y count";
        }
        for (unsigned long i = 0; i < count; ++i) {
            std::string error = AddRecord(SlotZero(status::kContact, x, y), ScriptStep::Kind::Record);
            if (!error.empty()) return error;
        }
        return {};
    }

    // `count` contact samples from the first point to the second, both ends
    // included, in equal steps.
    std::string Line(std::istringstream& words)
    {
        unsigned long x0 = 0, y0 = 0, x1 = 0, y1 = 0, count = 0;
        if (!ReadNumber(words, 65535, x0) || !ReadNumber(words, 65535, y0) || !ReadNumber(words, 65535, x1) ||
            !ReadNumber(words, 65535, y1) || !ReadNumber(words, kMaxSteps, count) || count < 2 || !AtEnd(words)) {
            return "line wants x0 y0 x1 y1 count (count at least 2)";
        }
        for (unsigned long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / static_cast<double>(count - 1);
            const auto x = static_cast<unsigned long>(static_cast<double>(x0) +
                                                      t * (static_cast<double>(x1) - static_cast<double>(x0)) + 0.5);
            const auto y = static_cast<unsigned long>(static_cast<double>(y0) +
                                                      t * (static_cast<double>(y1) - static_cast<double>(y0)) + 0.5);
            std::string error = AddRecord(SlotZero(status::kContact, x, y), ScriptStep::Kind::Record);
            if (!error.empty()) return error;
        }
        return {};
    }

    std::string Event(std::istringstream& words)
    {
        unsigned long code = 0;
        if (!ReadNumber(words, 255, code) || code == 0 || !AtEnd(words)) return "event wants a code 1..255";
        TouchRecord record{};
        record[0] = static_cast<std::uint8_t>(code);
        return AddRecord(record, ScriptStep::Kind::Record);
    }

    std::string Raw(std::istringstream& words)
    {
        std::string hex;
        if (!(words >> hex) || hex.size() != 2 * kRecordSize || !AtEnd(words)) return "raw wants 40 hex digits";
        TouchRecord record{};
        for (int i = 0; i < kRecordSize; ++i) {
            const int high = HexValue(hex[2 * i]);
            const int low = HexValue(hex[2 * i + 1]);
            if (high < 0 || low < 0) return "raw wants 40 hex digits";
            record[i] = static_cast<std::uint8_t>(high << 4 | low);
        }
        if (IsConsumed(record)) return "an all-zero record cannot be told from a consumed one";
        return AddRecord(record, ScriptStep::Kind::Record);
    }

    std::string Sync(std::istringstream& words)
    {
        unsigned long count = kDefaultSyncRecords;
        if (!AtEndPeek(words) && (!ReadNumber(words, 100, count) || !AtEnd(words)))
            return "sync wants a count up to 100";
        for (unsigned long i = 0; i < count; ++i) {
            std::string error = AddRecord(MakeNoOpRecord(), ScriptStep::Kind::SyncRecord);
            if (!error.empty()) return error;
        }
        return {};
    }

    // A command with a time in milliseconds; `fallback` < 0 makes it required.
    std::string Timed(std::istringstream& words, ScriptStep::Kind kind, long fallback)
    {
        unsigned long ms = 0;
        if (AtEndPeek(words) && fallback >= 0) {
            ms = static_cast<unsigned long>(fallback);
        } else if (!ReadNumber(words, 3600000, ms) || !AtEnd(words)) {
            return "wants a time in milliseconds up to 3600000";
        }
        ScriptStep step;
        step.kind = kind;
        step.ms = static_cast<unsigned>(ms);
        return Add(step);
    }

    std::string Realtime(std::istringstream& words)
    {
        unsigned long fps = 0;
        if (!ReadNumber(words, kMaxFramesPerSecond, fps) || !AtEnd(words)) {
            return "realtime wants frames per second 0.." + std::to_string(kMaxFramesPerSecond);
        }
        ScriptStep step;
        step.kind = ScriptStep::Kind::Realtime;
        step.value = static_cast<unsigned>(fps);
        return Add(step);
    }

    std::string LoopBegin(std::istringstream& words)
    {
        unsigned long rounds = 0;
        if (!AtEndPeek(words) && (!ReadNumber(words, kMaxSteps, rounds) || rounds == 0 || !AtEnd(words))) {
            return "loop wants nothing (for ever) or a count 1.." + std::to_string(kMaxSteps);
        }
        ScriptStep step;
        step.kind = ScriptStep::Kind::LoopBegin;
        step.value = static_cast<unsigned>(rounds);
        openLoops_.push_back(script_.steps.size());
        return Add(step);
    }

    std::string LoopEnd(std::istringstream& words)
    {
        if (!AtEnd(words)) return "endloop takes nothing";
        if (openLoops_.empty()) return "endloop without loop";
        if (openLoops_.back() + 1 == script_.steps.size()) return "a loop needs at least one step";
        ScriptStep step;
        step.kind = ScriptStep::Kind::LoopEnd;
        step.value = static_cast<unsigned>(openLoops_.back());
        openLoops_.pop_back();
        return Add(step);
    }

    std::string Bare(std::istringstream& words, ScriptStep::Kind kind, const char* error)
    {
        return AtEnd(words) ? Add(kind) : error;
    }

    // A hang with an optional time in milliseconds; without one it lasts.
    std::string Hang(std::istringstream& words, ScriptStep::Kind kind)
    {
        ScriptStep step;
        step.kind = kind;
        if (AtEndPeek(words)) {
            step.forever = true;
            return Add(step);
        }
        unsigned long ms = 0;
        if (!ReadNumber(words, 3600000, ms) || !AtEnd(words)) {
            return "wants nothing or a time in milliseconds up to 3600000";
        }
        step.ms = static_cast<unsigned>(ms);
        return Add(step);
    }

    std::string HangOn(std::istringstream& words)
    {
        unsigned long message = 0;
        if (!ReadNumber(words, 65535, message) || message == 0 || !AtEnd(words)) {
            return "hang-on wants a message number 1..65535";
        }
        ScriptStep step;
        step.kind = ScriptStep::Kind::HangOn;
        step.value = static_cast<unsigned>(message);
        return Add(step);
    }

    std::string Await(std::istringstream& words)
    {
        unsigned long message = 0, ms = kDefaultAwaitMs;
        if (!ReadNumber(words, 65535, message) || message == 0 ||
            (!AtEndPeek(words) && !ReadNumber(words, 3600000, ms)) || !AtEnd(words)) {
            return "await wants a message number 1..65535 and a time in milliseconds up to 3600000";
        }
        ScriptStep step;
        step.kind = ScriptStep::Kind::Await;
        step.value = static_cast<unsigned>(message);
        step.ms = static_cast<unsigned>(ms);
        return Add(step);
    }

    // One word, so that log lines stay easy to match.
    std::string Note(std::istringstream& words)
    {
        ScriptStep step;
        step.kind = ScriptStep::Kind::Note;
        if (!(words >> step.text) || !AtEnd(words)) return "note wants one word";
        return Add(step);
    }

    static TouchRecord SlotZero(std::uint8_t slotStatus, unsigned long x, unsigned long y)
    {
        TouchRecord record{};
        PutSlot(record, 0, PointSlot{slotStatus, static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)});
        return record;
    }

    static bool AtEndPeek(std::istringstream& words)
    {
        words >> std::ws;
        return words.eof();
    }

    std::string AddRecord(const TouchRecord& record, ScriptStep::Kind kind)
    {
        if (IsConsumed(record)) return "an all-zero record cannot be told from a consumed one";
        ScriptStep step;
        step.kind = kind;
        step.record = record;
        return Add(step);
    }

    std::string Add(ScriptStep::Kind kind)
    {
        ScriptStep step;
        step.kind = kind;
        return Add(step);
    }

    std::string Add(ScriptStep step)
    {
        if (static_cast<long>(script_.steps.size()) >= kMaxSteps) return "script too long";
        step.line = line_;
        script_.steps.push_back(step);
        return {};
    }

    TouchScript& script_;
    int line_ = 0;
    std::vector<std::size_t> openLoops_; // step indices of loops not yet closed
};

} // namespace

int TouchScript::RecordCount() const
{
    int count = 0;
    for (const ScriptStep& step : steps) {
        if (step.kind == ScriptStep::Kind::Record) ++count;
    }
    return count;
}

TouchScript ParseTouchScript(const std::string& text)
{
    TouchScript script;
    Parser parser(script);
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string error = parser.Line(line, number);
        if (!error.empty()) {
            script.steps.clear();
            script.error = error;
            script.errorLine = number;
            break;
        }
    }
    if (script.Ok()) {
        int line = 0;
        std::string error = parser.Finish(line);
        if (!error.empty()) {
            script.steps.clear();
            script.error = error;
            script.errorLine = line;
        }
    }
    return script;
}

} // namespace sim
