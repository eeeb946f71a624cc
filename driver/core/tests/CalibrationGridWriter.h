#pragma once
// Writes calibration grids and key points into a settings profile the way
// the outside calibration program stores them.
#include "driver/Geometry.h"

#include "common/Profile.h"

#include <cstdio>
#include <functional>
#include <string>

namespace calibration_testing {

inline std::string FormatNumber(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// Sets "wdot"/"hdot" and every "dot(i,j).x/y" from `cameraPoint(i, j)`.
inline void WriteGrid(common::Profile& settings, int columns, int rows,
                      const std::function<driver::Point(int, int)>& cameraPoint)
{
    settings.WriteString("coordinate", "wdot", std::to_string(columns));
    settings.WriteString("coordinate", "hdot", std::to_string(rows));
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const driver::Point p = cameraPoint(i, j);
            const std::string index = "(" + std::to_string(i) + "," + std::to_string(j) + ")";
            settings.WriteString("coordinate", "dot" + index + ".x", FormatNumber(p.x));
            settings.WriteString("coordinate", "dot" + index + ".y", FormatNumber(p.y));
        }
    }
}

// A regular upright grid spanning [left, right] x [top, bottom] of camera
// space.
inline void WriteRegularGrid(common::Profile& settings, int columns, int rows, double left, double top, double right,
                             double bottom)
{
    WriteGrid(settings, columns, rows, [&](int i, int j) {
        return driver::Point{left + (right - left) * i / (columns - 1), top + (bottom - top) * j / (rows - 1)};
    });
}

inline void WriteKeyPoint(common::Profile& settings, int n, driver::Point camera)
{
    const std::string name = "Rpt" + std::to_string(n);
    settings.WriteString("Button", name + ".x", FormatNumber(camera.x));
    settings.WriteString("Button", name + ".y", FormatNumber(camera.y));
}

} // namespace calibration_testing
