#include "sim/SessionReport.h"

#include "sim/AppMessageMeaning.h"

#include <map>
#include <sstream>
#include <tuple>

namespace sim {

SessionReport BuildSessionReport(const std::vector<MouseEvent>& mouse, const std::vector<LoggedMessage>& messages)
{
    SessionReport report;
    bool leftDown = false;
    for (const MouseEvent& event : mouse) {
        const ScreenPoint point{event.x, event.y};
        switch (event.kind) {
        case MouseKind::LeftDown:
            ++report.presses;
            leftDown = true;
            report.strokes.push_back({point});
            break;
        case MouseKind::Move:
            ++report.moves;
            if (leftDown) report.strokes.back().push_back(point);
            break;
        case MouseKind::LeftUp:
            ++report.releases;
            leftDown = false;
            break;
        case MouseKind::RightDown:
            ++report.rightClicks;
            report.rightClickPoints.push_back(point);
            break;
        default: break;
        }
    }
    for (const LoggedMessage& message : messages) {
        if (message.message >= kFirstAppMessage) report.appMessages.push_back(message);
    }
    return report;
}

std::string FormatSummary(const SessionReport& report)
{
    std::ostringstream out;
    out << "presses:      " << report.presses << "\n"
        << "moves:        " << report.moves << "\n"
        << "releases:     " << report.releases << "\n"
        << "right clicks: " << report.rightClicks << "\n"
        << "messages to the drawing application: " << report.appMessages.size() << "\n";
    std::map<std::tuple<unsigned, unsigned long long, long long>, int> counts;
    for (const LoggedMessage& message : report.appMessages) {
        ++counts[{message.message, message.wParam, message.lParam}];
    }
    for (const auto& [key, count] : counts) {
        out << "  message 0x" << std::hex << std::get<0>(key) << std::dec << " wParam " << std::get<1>(key)
            << " lParam " << std::get<2>(key) << ": " << count;
        const std::string meaning = AppMessageMeaning(std::get<0>(key), std::get<1>(key), std::get<2>(key));
        if (!meaning.empty()) out << "  (" << meaning << ")";
        out << "\n";
    }
    return out.str();
}

std::string DrawStrokesSvg(const SessionReport& report, int width, int height)
{
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << " " << height << "\">\n"
        << "<rect x=\"0\" y=\"0\" width=\"" << width << "\" height=\"" << height
        << "\" fill=\"white\" stroke=\"#999\"/>\n";
    for (const auto& stroke : report.strokes) {
        if (stroke.size() == 1) {
            svg << "<circle cx=\"" << stroke[0].x << "\" cy=\"" << stroke[0].y << "\" r=\"2\" fill=\"#1846a0\"/>\n";
            continue;
        }
        svg << "<polyline fill=\"none\" stroke=\"#1846a0\" stroke-width=\"3\" stroke-linecap=\"round\" "
               "stroke-linejoin=\"round\" points=\"";
        for (std::size_t i = 0; i < stroke.size(); ++i) {
            svg << (i ? " " : "") << stroke[i].x << "," << stroke[i].y;
        }
        svg << "\"/>\n";
    }
    for (const ScreenPoint& point : report.rightClickPoints) {
        svg << "<circle cx=\"" << point.x << "\" cy=\"" << point.y
            << "\" r=\"10\" fill=\"none\" stroke=\"#c0392b\" stroke-width=\"2\"/>\n";
    }
    svg << "</svg>\n";
    return svg.str();
}

} // namespace sim
