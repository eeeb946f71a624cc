// A whole calibration must pick the same cell as the platform's way of
// scanning: one polygon region per cell, first cell that holds the point.
#include "RegionReference.h"

#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "driver/Calibration.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using calibration_testing::MemoryProfile;
using driver::CCalibration;
using driver::Point;
using wintests::PolygonRegion;

std::vector<PolygonRegion> CellRegions(const CCalibration& model)
{
    std::vector<PolygonRegion> regions;
    for (int i = 0; i < model.GridColumns() - 1; ++i) {
        for (int j = 0; j < model.GridRows() - 1; ++j) {
            const Point c[4] = {model.DotPoint(i, j), model.DotPoint(i + 1, j), model.DotPoint(i + 1, j + 1),
                                model.DotPoint(i, j + 1)};
            const double x[4] = {c[0].x, c[1].x, c[2].x, c[3].x};
            const double y[4] = {c[0].y, c[1].y, c[2].y, c[3].y};
            regions.emplace_back(driver::MakeIntQuad(x, y));
        }
    }
    return regions;
}

int RegionCellAt(const std::vector<PolygonRegion>& regions, Point p)
{
    const int px = static_cast<int>(p.x), py = static_cast<int>(p.y);
    for (std::size_t n = 0; n < regions.size(); ++n)
        if (regions[n].Contains(px, py)) return static_cast<int>(n);
    return -1;
}

TEST(CalibrationRegionAgreement, CellLookupMatchesRegionScan)
{
    std::mt19937 rng(1024);
    std::uniform_int_distribution<int> sizes(2, 10);
    std::uniform_real_distribution<double> jitter(-60, 60);
    std::uniform_real_distribution<double> anywhere(-200, 3400);
    long long cases = 0;
    long long mapped = 0;
    int reported = 0;
    for (int model = 0; model < 12; ++model) {
        const int columns = sizes(rng), rows = sizes(rng);
        const bool turned = model % 3 == 2;
        MemoryProfile settings;
        calibration_testing::WriteGrid(settings, columns, rows, [&](int i, int j) {
            Point p{300 + 2600.0 * i / (columns - 1) + jitter(rng), 250 + 1900.0 * j / (rows - 1) + jitter(rng)};
            if (turned) p = {3200 - p.x, 2400 - p.y};
            return p;
        });
        CCalibration calibration;
        calibration.Load(settings, driver::BoardScreen::PrimaryOnly({1024, 768}));
        const std::vector<PolygonRegion> regions = CellRegions(calibration);

        std::vector<Point> probes;
        for (int s = 0; s < 3000; ++s) probes.push_back({anywhere(rng), anywhere(rng) * 0.75});
        // Grid points themselves and their neighbours sit on shared cell edges.
        for (int i = 0; i < columns; ++i)
            for (int j = 0; j < rows; ++j)
                for (int d = -1; d <= 1; ++d) {
                    const Point g = calibration.DotPoint(i, j);
                    probes.push_back({g.x + d, g.y});
                    probes.push_back({g.x, g.y + d});
                }
        for (const Point& p : probes) {
            ++cases;
            const int expected = RegionCellAt(regions, p);
            const int actual = calibration.CellAt(p);
            if (actual >= 0) ++mapped;
            if (expected != actual && reported++ < 10)
                ADD_FAILURE() << columns << "x" << rows << " grid, point (" << p.x << "," << p.y << "): region cell "
                              << expected << ", integer cell " << actual;
        }
    }
    EXPECT_EQ(reported, 0);
    EXPECT_GE(cases, 36000);
    EXPECT_GT(mapped, cases / 2);
}

} // namespace
