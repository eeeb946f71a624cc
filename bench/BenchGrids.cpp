#include "BenchGrids.h"

#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"

#include <random>

namespace bench {

driver::CCalibration LoadGrid(int size)
{
    calibration_testing::MemoryProfile settings;
    calibration_testing::WriteGrid(settings, size, size, [size](int i, int j) {
        const double wave = size > 3 ? 1.0 : 0.0;
        return driver::Point{250 + 2700.0 * i / (size - 1) + wave * 25 * (j % 3),
                             200 + 2000.0 * j / (size - 1) - wave * 15 * (i % 2)};
    });
    driver::CCalibration model;
    model.Load(settings, driver::BoardScreen::PrimaryOnly({1024, 768}));
    return model;
}

std::vector<driver::Point> SpreadPoints(const driver::CCalibration& model, int count)
{
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> cx(0, 3200), cy(0, 2400);
    std::uniform_real_distribution<double> offCamera(-1000, 70000);
    std::uniform_int_distribution<int> column(0, model.GridColumns() - 1), row(0, model.GridRows() - 1);
    std::vector<driver::Point> points;
    for (int n = 0; n < count; ++n) {
        switch (n % 10) {
        case 0: points.push_back(model.DotPoint(column(rng), row(rng))); break;
        case 1: points.push_back({offCamera(rng), offCamera(rng)}); break;
        default: points.push_back({cx(rng), cy(rng)}); break;
        }
    }
    return points;
}

} // namespace bench
