#pragma once
// The lines the stand-ins write, read back: window messages ("msg N w l")
// and the mouse recorder's events ("<microseconds> <kind> <x> <y> <injected>").
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct LoggedMessage {
    unsigned message = 0;
    unsigned long long wParam = 0;
    long long lParam = 0;
};

// "msg 2034 10 2321" -> the message; anything else -> nothing.
std::optional<LoggedMessage> ParseMessageLine(const std::string& line);
std::string FormatMessageLine(const LoggedMessage& message);

enum class MouseKind { Move, LeftDown, LeftUp, RightDown, RightUp, MiddleDown, MiddleUp, Wheel, Other };

struct MouseEvent {
    long long microseconds = 0; // the recorder's high-resolution clock
    MouseKind kind = MouseKind::Other;
    int x = 0;
    int y = 0;
    bool injected = false;
};

const char* MouseKindName(MouseKind kind);
std::optional<MouseEvent> ParseMouseLine(const std::string& line);
std::string FormatMouseLine(const MouseEvent& event);

// Lines of a text that may end in "\r\n" or "\n"; an unfinished last line
// (a writer still at work) is left out.
std::vector<std::string> CompleteLines(const std::string& text);

} // namespace sim
