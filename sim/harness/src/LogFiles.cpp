#include "sim/LogFiles.h"

#include "sim/LineLog.h"
#include "sim/Waiting.h"

namespace sim {
namespace {

bool StartsWith(const std::string& line, const std::string& prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

std::vector<std::string> LogLines(const std::string& path)
{
    return CompleteLines(ReadWholeFile(path));
}

int CountLines(const std::string& path, const std::string& line)
{
    int count = 0;
    for (const std::string& candidate : LogLines(path)) count += candidate == line ? 1 : 0;
    return count;
}

int CountLinesStartingWith(const std::string& path, const std::string& prefix)
{
    return static_cast<int>(LinesStartingWith(path, prefix).size());
}

std::vector<std::string> LinesStartingWith(const std::string& path, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : LogLines(path)) {
        if (StartsWith(line, prefix)) found.push_back(line);
    }
    return found;
}

std::string FindLogLine(const std::string& path, const std::string& prefix)
{
    for (const std::string& line : LogLines(path)) {
        if (StartsWith(line, prefix)) return line;
    }
    return {};
}

bool WaitForLogLine(const std::string& path, const std::function<bool(const std::string&)>& matches, unsigned timeoutMs)
{
    return WaitUntil(
        [&] {
            for (const std::string& line : LogLines(path)) {
                if (matches(line)) return true;
            }
            return false;
        },
        timeoutMs);
}

bool WaitForLogLine(const std::string& path, const std::string& line, unsigned timeoutMs)
{
    return WaitForLogLine(
        path, [&](const std::string& candidate) { return candidate == line; }, timeoutMs);
}

std::vector<LoggedMessage> MessagesInLog(const std::string& path)
{
    std::vector<LoggedMessage> messages;
    for (const std::string& line : LogLines(path)) {
        if (auto message = ParseMessageLine(line)) messages.push_back(*message);
    }
    return messages;
}

} // namespace sim
