// Times one mapping on the 10 x 10 grid done two ways: the platform's way
// (a polygon region built, asked and deleted for each tested cell) and the
// integer cell test, and checks that both give the same mappings.
#include "BenchGrids.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

double Seconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool CellRegionContains(const driver::CCalibration& model, int i, int j, POINT pixel)
{
    const driver::Point c[4] = {model.DotPoint(i, j), model.DotPoint(i + 1, j), model.DotPoint(i + 1, j + 1),
                                model.DotPoint(i, j + 1)};
    POINT corners[4];
    for (int k = 0; k < 4; ++k)
        corners[k] = POINT{driver::TruncateCoordinate(c[k].x), driver::TruncateCoordinate(c[k].y)};
    HRGN region = CreatePolygonRgn(corners, 4, ALTERNATE);
    if (!region) return false;
    const bool inside = PtInRegion(region, pixel.x, pixel.y) != FALSE;
    DeleteObject(region);
    return inside;
}

bool MapThroughRegions(const driver::CCalibration& model, driver::Point& point)
{
    const POINT pixel{driver::TruncateCoordinate(point.x), driver::TruncateCoordinate(point.y)};
    int cell = 0;
    for (int i = 0; i < model.GridColumns() - 1; ++i)
        for (int j = 0; j < model.GridRows() - 1; ++j, ++cell)
            if (CellRegionContains(model, i, j, pixel)) return model.MapInCell(cell, point);
    return false;
}

} // namespace

int main()
{
    const driver::CCalibration model = bench::LoadGrid(10);
    const std::vector<driver::Point> points = bench::SpreadPoints(model, 400);

    int disagreements = 0;
    volatile int sink = 0;
    const double regionStart = Seconds();
    for (const driver::Point& p : points) {
        driver::Point viaRegions = p, viaCells = p;
        const bool a = MapThroughRegions(model, viaRegions);
        const bool b = model.MapPoint(viaCells);
        if (a != b || viaRegions.x != viaCells.x || viaRegions.y != viaCells.y) ++disagreements;
        sink = sink + a;
    }
    const double regionSeconds = Seconds() - regionStart;

    const int rounds = 2000;
    const double fastStart = Seconds();
    for (int r = 0; r < rounds; ++r)
        for (const driver::Point& p : points) {
            driver::Point q = p;
            sink = sink + model.MapPoint(q);
        }
    const double fastSeconds = Seconds() - fastStart;

    // The region pass also ran the fast path once per point, which is
    // negligible beside the regions.
    const double regionNs = regionSeconds * 1e9 / points.size();
    const double fastNs = fastSeconds * 1e9 / (static_cast<double>(rounds) * points.size());
    std::printf("10x10 grid, %u points\n", static_cast<unsigned>(points.size()));
    std::printf("region path: %.0f ns per mapping\n", regionNs);
    std::printf("fast path:   %.1f ns per mapping\n", fastNs);
    std::printf("ratio:       %.0fx\n", regionNs / fastNs);
    std::printf("disagreements: %d\n", disagreements);
    return disagreements == 0 ? 0 : 1;
}
