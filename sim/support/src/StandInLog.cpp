#include "sim/StandInLog.h"

#include <cstring>
#include <sstream>

namespace sim {
namespace {

struct KindName {
    MouseKind kind;
    const char* name;
};

constexpr KindName kKindNames[] = {
    {MouseKind::Move, "move"},       {MouseKind::LeftDown, "ldown"}, {MouseKind::LeftUp, "lup"},
    {MouseKind::RightDown, "rdown"}, {MouseKind::RightUp, "rup"},    {MouseKind::MiddleDown, "mdown"},
    {MouseKind::MiddleUp, "mup"},    {MouseKind::Wheel, "wheel"},    {MouseKind::Other, "other"},
};

} // namespace

std::optional<LoggedMessage> ParseMessageLine(const std::string& line)
{
    std::istringstream words(line);
    std::string tag;
    LoggedMessage message;
    if (!(words >> tag) || tag != "msg") return std::nullopt;
    if (!(words >> message.message >> message.wParam >> message.lParam)) return std::nullopt;
    return message;
}

std::string FormatMessageLine(const LoggedMessage& message)
{
    return "msg " + std::to_string(message.message) + " " + std::to_string(message.wParam) + " " +
           std::to_string(message.lParam);
}

const char* MouseKindName(MouseKind kind)
{
    for (const KindName& entry : kKindNames) {
        if (entry.kind == kind) return entry.name;
    }
    return "other";
}

std::optional<MouseEvent> ParseMouseLine(const std::string& line)
{
    std::istringstream words(line);
    MouseEvent event;
    std::string kind;
    int injected = 0;
    if (!(words >> event.microseconds >> kind >> event.x >> event.y >> injected)) return std::nullopt;
    for (const KindName& entry : kKindNames) {
        if (kind == entry.name) {
            event.kind = entry.kind;
            event.injected = injected != 0;
            return event;
        }
    }
    return std::nullopt;
}

std::string FormatMouseLine(const MouseEvent& event)
{
    return std::to_string(event.microseconds) + " " + MouseKindName(event.kind) + " " + std::to_string(event.x) + " " +
           std::to_string(event.y) + " " + (event.injected ? "1" : "0");
}

std::vector<std::string> CompleteLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace sim
