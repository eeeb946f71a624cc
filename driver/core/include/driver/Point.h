#pragma once
// A point in doubles: camera units before the calibration's mapping, screen
// pixels after it.
namespace driver {

struct Point {
    double x = 0;
    double y = 0;
};

} // namespace driver
