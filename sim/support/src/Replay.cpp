#include "sim/Replay.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <sstream>

namespace sim {
namespace {

// A key the replay sets in the settings file, whatever the recorded file
// held for it.
struct Setting {
    std::string section;
    std::string key;
    std::string value;
    bool written = false;
};

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsSectionLine(const std::string& line, std::string& name)
{
    std::size_t at = 0;
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    if (at >= line.size() || line[at] != '[') return false;
    const std::size_t end = line.find(']', at);
    if (end == std::string::npos) return false;
    name = Lower(line.substr(at + 1, end - at - 1));
    return true;
}

// The key a line sets, in lower case; empty for a line without '='.
std::string KeyOf(const std::string& line)
{
    const std::size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : Lower(Trim(line.substr(0, equals)));
}

// "#: option <section> <key> <value> <source>": the value may hold blanks.
bool ParseOption(const std::string& fact, Setting& setting, std::string& source)
{
    std::istringstream words(fact);
    if (!(words >> setting.section >> setting.key)) return false;
    std::string rest;
    std::getline(words, rest);
    rest = Trim(rest);
    const std::size_t last = rest.find_last_of(" \t");
    if (last == std::string::npos) return false;
    setting.value = Trim(rest.substr(0, last));
    source = rest.substr(last + 1);
    return true;
}

Setting* Find(std::vector<Setting>& settings, const std::string& section, const std::string& key)
{
    for (Setting& s : settings) {
        if (Lower(s.section) == Lower(section) && Lower(s.key) == Lower(key)) return &s;
    }
    return nullptr;
}

void Put(std::vector<Setting>& settings, const std::string& section, const std::string& key, const std::string& value)
{
    if (Setting* s = Find(settings, section, key)) s->value = value;
    else settings.push_back(Setting{section, key, value});
}

// A switch as the file's reader takes it: leading digits, non-zero is on.
bool SwitchOn(const std::string& text)
{
    return std::atoi(Trim(text).c_str()) != 0;
}

// The recorded file with `settings` in place: each one goes into the first
// section of its name (the only one the profile functions read), replacing
// the recorded line; sections the file lacks are added at its end.
std::string Rebuild(const std::vector<std::string>& lines, std::vector<Setting> settings, bool dropMultitouch)
{
    std::string out;
    std::string section;
    std::set<std::string> seen;
    bool firstOfName = true;
    bool dropping = false;
    const auto flush = [&] {
        if (!firstOfName || dropping) return;
        for (Setting& s : settings) {
            if (s.written || Lower(s.section) != section) continue;
            out += s.key + "=" + s.value + "\r\n";
            s.written = true;
        }
    };
    for (const std::string& line : lines) {
        std::string name;
        if (IsSectionLine(line, name)) {
            flush();
            section = name;
            firstOfName = seen.insert(name).second;
            dropping = dropMultitouch && name == "multitouch";
            if (!dropping) out += line + "\r\n";
            continue;
        }
        if (dropping) continue;
        const std::string key = KeyOf(line);
        const bool replaced = std::any_of(settings.begin(), settings.end(), [&](const Setting& s) {
            return Lower(s.section) == section && Lower(s.key) == key;
        });
        if (!key.empty() && replaced) continue;
        out += line + "\r\n";
    }
    flush();
    for (const Setting& first : settings) {
        if (first.written) continue;
        out += "[" + first.section + "]\r\n";
        for (Setting& s : settings) {
            if (s.written || Lower(s.section) != Lower(first.section)) continue;
            out += s.key + "=" + s.value + "\r\n";
            s.written = true;
        }
    }
    return out;
}

std::string PortOf(const std::string& destination)
{
    const std::size_t colon = destination.rfind(':');
    return colon == std::string::npos ? std::string() : destination.substr(colon + 1);
}

} // namespace

Replay PrepareReplay(const std::string& recording)
{
    Replay replay;
    std::istringstream lines(recording);
    std::string line;
    bool sawSync = false;
    bool sawFacts = false;
    std::vector<std::string> ini;
    std::vector<Setting> options;
    int fromPolicy = 0, fromProgramFolder = 0;
    std::string boardKeys, tuio, touchInjection;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (StartsWith(line, "#: ")) {
            sawFacts = true;
            const std::string fact = line.substr(3);
            Setting option;
            std::string source;
            if (StartsWith(fact, "ini ") || fact == "ini") {
                ini.push_back(fact.size() > 4 ? fact.substr(4) : std::string());
            } else if (StartsWith(fact, "option ") && ParseOption(fact.substr(7), option, source)) {
                fromPolicy += source == "policy";
                fromProgramFolder += source == "program-folder";
                options.push_back(option);
            } else if (StartsWith(fact, "route ") && replay.route == "mouse" && !sawSync) {
                replay.route = fact.substr(6);
            } else if (StartsWith(fact, "driver ")) {
                replay.driverVersion = fact.substr(7);
            } else if (StartsWith(fact, "started ")) {
                replay.startedAt = fact.substr(8);
            } else if (StartsWith(fact, "records ")) {
                replay.records = std::atoi(fact.substr(8).c_str());
            } else if (StartsWith(fact, "screen ")) {
                std::istringstream(fact.substr(7)) >> replay.screenWidth >> replay.screenHeight;
            } else if (StartsWith(fact, "board-keys ")) {
                boardKeys = Trim(fact.substr(11));
            } else if (StartsWith(fact, "tuio ")) {
                tuio = Trim(fact.substr(5));
            } else if (StartsWith(fact, "touch-injection ")) {
                touchInjection = Trim(fact.substr(16));
            }
        }
        replay.script += line + "\n";
        if (!sawSync && line == "sync") {
            sawSync = true;
            replay.script += "await " + std::to_string(kReplayGoAhead) + "\n";
        }
    }
    if (!sawFacts || !sawSync) {
        replay.error = "not a board recording (no \"#: \" facts or no \"sync\" line)";
        return replay;
    }
    if (ini.empty()) {
        replay.error = "the recording carries no settings";
        return replay;
    }

    // An older recording knows only the file: its outputs are the facts'.
    const bool recordedOptions = !options.empty();
    std::vector<Setting> settings = options;
    if (!recordedOptions) {
        if (!tuio.empty()) {
            Put(settings, "Multitouch", "TUIO", tuio == "off" ? "0" : "1");
            if (!PortOf(tuio).empty()) Put(settings, "Multitouch", "TUIO_PORT", PortOf(tuio));
        }
        if (!touchInjection.empty()) Put(settings, "Multitouch", "TOUCH_INJECTION", touchInjection == "on" ? "1" : "0");
    }
    if (const Setting* on = Find(settings, "Multitouch", "TUIO")) replay.tuio = SwitchOn(on->value);
    if (const Setting* on = Find(settings, "Multitouch", "TOUCH_INJECTION")) replay.touchInjection = SwitchOn(on->value);
    if (replay.tuio) Put(settings, "Multitouch", "TUIO_HOST", kReplayTuioHost);
    // The board keys may have been switched since the file was written.
    if (!boardKeys.empty()) Put(settings, "hardware", "USE_KEY", boardKeys);
    replay.settings = Rebuild(ini, settings, !recordedOptions);

    if (recordedOptions) {
        replay.notes.push_back("options as in force in the classroom, written into the replay's settings file (" +
                               std::to_string(fromPolicy) + " set by policy, " + std::to_string(fromProgramFolder) +
                               " from the program folder's copy)");
    }
    if (replay.tuio) {
        const Setting* port = Find(settings, "Multitouch", "TUIO_PORT");
        replay.notes.push_back(std::string("TUIO was on (") + (tuio.empty() ? "on" : tuio) + "): the replay sends it to " +
                               kReplayTuioHost + ":" + (port ? port->value : std::string("3333")));
    }
    const Setting* monitor = Find(settings, "Display", "MONITOR");
    if (monitor && Lower(monitor->value) != "primary") {
        replay.notes.push_back("the board was on the monitor \"" + monitor->value +
                               "\": where this machine has none such the driver puts it on the primary screen");
    }
    if (replay.touchInjection) {
        replay.notes.push_back("touch injection was on: where this machine has none (Wine) the driver keeps to the "
                               "mouse, so the replay shows mouse input where the classroom had touches");
    }
    return replay;
}

} // namespace sim
