#include "calibration/SettingsUpdate.h"

#include "calibration/IniLines.h"

#include "driver/Calibration.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace calibration {
namespace {

const char kCoordinateSection[] = "coordinate";
const char kButtonSection[] = "Button";
const char kHardwareSection[] = "hardware";

std::string GridKey(int column, int row, char axis)
{
    return "dot(" + std::to_string(column) + "," + std::to_string(row) + ")." + axis;
}

bool ReadIndex(std::string_view& s, int& value)
{
    std::size_t n = 0;
    value = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9' && n < 4) value = value * 10 + (s[n++] - '0');
    if (n == 0) return false;
    s.remove_prefix(n);
    return true;
}

// Takes `lower` (a lower-case letter or a sign) off the front of `s`, the
// letter in either case.
bool Take(std::string_view& s, char lower)
{
    if (s.empty()) return false;
    const char c = s.front() >= 'A' && s.front() <= 'Z' ? static_cast<char>(s.front() - 'A' + 'a') : s.front();
    if (c != lower) return false;
    s.remove_prefix(1);
    return true;
}

// "dot(i,j).x" or ".y" in any letter case: the grid point it names.
bool ParseGridKey(std::string_view name, int& column, int& row)
{
    return Take(name, 'd') && Take(name, 'o') && Take(name, 't') && Take(name, '(') && ReadIndex(name, column) &&
           Take(name, ',') && ReadIndex(name, row) && Take(name, ')') && Take(name, '.') && name.size() == 1 &&
           (Take(name, 'x') || Take(name, 'y'));
}

} // namespace

std::string FormatCameraNumber(double value)
{
    // Far beyond any camera unit; kept within range so that the rounding
    // below stays defined for whatever it is given.
    constexpr double kLargest = 1e12;
    if (!std::isfinite(value)) return "0";
    const long long hundredths = std::llround(std::clamp(value, -kLargest, kLargest) * 100);
    const long long whole = std::llabs(hundredths) / 100;
    const long long fraction = std::llabs(hundredths) % 100;
    std::string text = hundredths < 0 ? "-" : "";
    text += std::to_string(whole);
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

std::string WithGrid(std::string_view text, const MeasuredGrid& grid)
{
    IniLines lines(text);
    lines.RemoveKeys(kCoordinateSection, [&](std::string_view name) {
        int column = 0, row = 0;
        return ParseGridKey(name, column, row) && (column >= grid.grid.columns || row >= grid.grid.rows);
    });
    lines.Set(kCoordinateSection, "wdot", std::to_string(grid.grid.columns));
    lines.Set(kCoordinateSection, "hdot", std::to_string(grid.grid.rows));
    for (int i = 0; i < grid.grid.columns; ++i) {
        for (int j = 0; j < grid.grid.rows; ++j) {
            const Point& p = grid.camera[static_cast<std::size_t>(TargetIndex(grid.grid, {i, j}))];
            lines.Set(kCoordinateSection, GridKey(i, j, 'x'), FormatCameraNumber(p.x));
            lines.Set(kCoordinateSection, GridKey(i, j, 'y'), FormatCameraNumber(p.y));
        }
    }
    return lines.Text();
}

std::string WithBoardKeys(std::string_view text, const TaughtKeys& keys, bool cameraUpsideDown)
{
    IniLines lines(text);
    for (int key = 0; key < kBoardKeys; ++key) {
        Point p = keys.camera[static_cast<std::size_t>(key)];
        if (cameraUpsideDown) p = driver::TurnedUpsideDown(p);
        const std::string name = "Rpt" + std::to_string(KeyPointIndex(keys.copy, key));
        lines.Set(kButtonSection, name + ".x", FormatCameraNumber(p.x));
        lines.Set(kButtonSection, name + ".y", FormatCameraNumber(p.y));
    }
    // Keys just taught are keys meant to be used.
    lines.Set(kHardwareSection, "USE_KEY", "1");
    return lines.Text();
}

} // namespace calibration
