#include "sim/Replay.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace sim {
namespace {

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

bool IsSectionLine(const std::string& line, std::string& name)
{
    std::size_t at = 0;
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    if (at >= line.size() || line[at] != '[') return false;
    const std::size_t end = line.find(']', at);
    if (end == std::string::npos) return false;
    name = line.substr(at + 1, end - at - 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return true;
}

} // namespace

Replay PrepareReplay(const std::string& recording)
{
    Replay replay;
    std::istringstream lines(recording);
    std::string line;
    bool sawSync = false;
    bool sawFacts = false;
    bool inMultitouch = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (StartsWith(line, "#: ")) {
            sawFacts = true;
            const std::string fact = line.substr(3);
            if (StartsWith(fact, "ini ") || fact == "ini") {
                const std::string setting = fact.size() > 4 ? fact.substr(4) : std::string();
                std::string section;
                if (IsSectionLine(setting, section)) inMultitouch = section == "multitouch";
                if (!inMultitouch) replay.settings += setting + "\r\n";
            } else if (StartsWith(fact, "route ") && replay.route == "mouse" && !sawSync) {
                replay.route = fact.substr(6);
            } else if (StartsWith(fact, "driver ")) {
                replay.driverVersion = fact.substr(7);
            } else if (StartsWith(fact, "started ")) {
                replay.startedAt = fact.substr(8);
            } else if (StartsWith(fact, "records ")) {
                replay.records = std::atoi(fact.substr(8).c_str());
            }
        }
        replay.script += line + "\n";
        if (!sawSync && line == "sync") {
            sawSync = true;
            replay.script += "await " + std::to_string(kReplayGoAhead) + "\n";
        }
    }
    if (!sawFacts || !sawSync) replay.error = "not a board recording (no \"#: \" facts or no \"sync\" line)";
    else if (replay.settings.empty()) replay.error = "the recording carries no settings";
    return replay;
}

} // namespace sim
