// MapPoint over touch points spread across camera space.
#include "BenchGrids.h"

#include <benchmark/benchmark.h>

namespace {

void MapPoint(benchmark::State& state)
{
    const driver::CCalibration model = bench::LoadGrid(static_cast<int>(state.range(0)));
    const std::vector<driver::Point> points = bench::SpreadPoints(model, 4096);
    std::size_t n = 0;
    for (auto _ : state) {
        driver::Point p = points[n];
        benchmark::DoNotOptimize(model.MapPoint(p));
        benchmark::DoNotOptimize(p);
        n = (n + 1) & 4095;
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(MapPoint)->Arg(3)->Arg(10);

} // namespace

BENCHMARK_MAIN();
