#pragma once
// Reading the logs of the stand-ins (and of other programs that write line
// logs) while they grow: a line counts once its line end is written.
#include "sim/StandInLog.h"

#include <functional>
#include <string>
#include <vector>

namespace sim {

// The complete lines of a log file as it is now; none when it does not exist.
std::vector<std::string> LogLines(const std::string& path);
int CountLines(const std::string& path, const std::string& line);
int CountLinesStartingWith(const std::string& path, const std::string& prefix);
std::vector<std::string> LinesStartingWith(const std::string& path, const std::string& prefix);
// The first line that starts with `prefix`; empty when there is none.
std::string FindLogLine(const std::string& path, const std::string& prefix);

bool WaitForLogLine(const std::string& path, const std::function<bool(const std::string&)>& matches,
                    unsigned timeoutMs);
bool WaitForLogLine(const std::string& path, const std::string& line, unsigned timeoutMs);

// The window messages a logging stand-in noted ("msg N w l"), in order.
std::vector<LoggedMessage> MessagesInLog(const std::string& path);

} // namespace sim
