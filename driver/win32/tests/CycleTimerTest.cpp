#include "CycleTimer.h"

#include <gtest/gtest.h>

namespace {

TEST(CycleTimer, WaitsAboutTwoMillisecondsPerCycleOnAverage)
{
    brelvin::CycleTimer beat(2);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    constexpr int kCycles = 250;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kCycles; ++i) beat.Wait();
    QueryPerformanceCounter(&end);
    const double meanMs =
        1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) / kCycles;
    // Generous: the point is "not the 15.6 ms system tick", and "really waits".
    EXPECT_LT(meanMs, 8.0);
    EXPECT_GE(meanMs, 1.5);
}

} // namespace
