#include "RegionReference.h"

#include "driver/QuadRegion.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using driver::IntQuad;

void Probe(int lo, int hi, int count)
{
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> c(lo, hi);
    std::uniform_int_distribution<int> d(-3, 3);
    int mismatches = 0;
    for (int i = 0; i < count; ++i) {
        IntQuad q{};
        for (int k = 0; k < 4; ++k) { q.x[k] = c(rng); q.y[k] = c(rng); }
        for (int t = 0; t < 100; ++t) {
            int px, py;
            if (t < 40) { int k = t % 4; px = q.x[k] + d(rng); py = q.y[k] + d(rng); }
            else if (t < 70) { int k = t % 4, n = (k + 1) % 4; long long s = rng() % 1001; px = int(q.x[k] + (q.x[n] - q.x[k]) * s / 1000) + d(rng) / 2; py = int(q.y[k] + (q.y[n] - q.y[k]) * s / 1000); }
            else { px = c(rng); py = c(rng); }
            bool a = driver::QuadContains(q, px, py), b = wintests::RegionContains(q, px, py);
            if (a != b && ++mismatches < 20)
                printf("quad (%d,%d)(%d,%d)(%d,%d)(%d,%d) pt %d,%d int %d rgn %d\n", q.x[0], q.y[0], q.x[1], q.y[1], q.x[2], q.y[2], q.x[3], q.y[3], px, py, a, b);
        }
    }
    EXPECT_EQ(mismatches, 0);
}
TEST(Probe, Camera) { Probe(-100, 3300, 5000); }
TEST(Probe, Pushed) { Probe(-70000, 70000, 5000); }
TEST(Probe, Big) { Probe(-1000000, 1000000, 5000); }
TEST(Probe, Huge) { Probe(-100000000, 100000000, 5000); }
TEST(Probe, Limit) { Probe(-(1<<30), 1<<30, 5000); }

} // namespace
