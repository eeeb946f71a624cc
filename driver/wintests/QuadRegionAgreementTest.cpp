// The integer quadrilateral test must answer exactly as the platform's
// polygon regions do, edges and vertices included, or touches on cell
// borders would land in different cells than the platform would put them.
#include "RegionReference.h"

#include "driver/QuadRegion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

namespace {

using driver::IntQuad;
using wintests::PolygonRegion;

struct PixelProbe {
    int x;
    int y;
};

struct Tally {
    long long cases = 0;
    long long inside = 0;     // agreement on "inside" proves the regions are real
    long long mismatches = 0; // only the first few are printed
};

// Compares both answers for every probe.
void ExpectAgreement(const IntQuad& quad, const std::vector<PixelProbe>& probes, Tally& tally)
{
    const PolygonRegion region(quad);
    for (const PixelProbe& p : probes) {
        const bool integer = driver::QuadContains(quad, p.x, p.y);
        const bool platform = region.Contains(p.x, p.y);
        ++tally.cases;
        if (integer && platform) ++tally.inside;
        if (integer != platform && tally.mismatches++ < 10) {
            ADD_FAILURE() << "quad (" << quad.x[0] << "," << quad.y[0] << ") (" << quad.x[1] << "," << quad.y[1]
                          << ") (" << quad.x[2] << "," << quad.y[2] << ") (" << quad.x[3] << "," << quad.y[3]
                          << ") pixel (" << p.x << "," << p.y << "): integer " << integer << ", region " << platform;
        }
    }
}

// Probes where the rules matter: each vertex and its neighbours, pixels on
// and beside each edge, and a spread over the bounding box.
std::vector<PixelProbe> ProbesAround(const IntQuad& quad, std::mt19937& rng, int spread)
{
    std::vector<PixelProbe> probes;
    for (int k = 0; k < 4; ++k)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) probes.push_back({quad.x[k] + dx, quad.y[k] + dy});
    std::uniform_int_distribution<int> step(0, 1000);
    std::uniform_int_distribution<int> nudge(-1, 1);
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        for (int s = 0; s < 8; ++s) {
            const long long t = step(rng);
            const int x = static_cast<int>(quad.x[k] + (static_cast<long long>(quad.x[n]) - quad.x[k]) * t / 1000);
            const int y = static_cast<int>(quad.y[k] + (static_cast<long long>(quad.y[n]) - quad.y[k]) * t / 1000);
            probes.push_back({x, y});
            probes.push_back({x + nudge(rng), y});
        }
    }
    int left = quad.x[0], right = quad.x[0], top = quad.y[0], bottom = quad.y[0];
    for (int k = 1; k < 4; ++k) {
        left = std::min(left, quad.x[k]);
        right = std::max(right, quad.x[k]);
        top = std::min(top, quad.y[k]);
        bottom = std::max(bottom, quad.y[k]);
    }
    std::uniform_int_distribution<int> px(left - 2, right + 2), py(top - 2, bottom + 2);
    for (int s = 0; s < spread; ++s) probes.push_back({px(rng), py(rng)});
    return probes;
}

IntQuad Quad(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3)
{
    return IntQuad{{x0, x1, x2, x3}, {y0, y1, y2, y3}};
}

TEST(QuadRegionAgreement, EveryPixelOfSmallRandomQuads)
{
    // On a 13 x 13 lattice most quads are thin, self-crossing or have
    // repeated vertices, and most pixels lie on some edge.
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> coordinate(0, 12);
    std::vector<PixelProbe> lattice;
    for (int y = -1; y <= 13; ++y)
        for (int x = -1; x <= 13; ++x) lattice.push_back({x, y});
    Tally tally;
    for (int q = 0; q < 2000; ++q) {
        IntQuad quad{};
        for (int k = 0; k < 4; ++k) {
            quad.x[k] = coordinate(rng);
            quad.y[k] = coordinate(rng);
        }
        ExpectAgreement(quad, lattice, tally);
    }
    EXPECT_EQ(tally.mismatches, 0);
    EXPECT_GE(tally.cases, 400000);
    EXPECT_GT(tally.inside, tally.cases / 20);
}

TEST(QuadRegionAgreement, HandPickedShapes)
{
    const IntQuad shapes[] = {
        Quad(2, 2, 9, 2, 9, 7, 2, 7),         // rectangle, clockwise
        Quad(2, 7, 9, 7, 9, 2, 2, 2),         // rectangle, counter-clockwise
        Quad(5, 0, 10, 5, 5, 10, 0, 5),       // diamond
        Quad(0, 0, 10, 10, 10, 0, 0, 10),     // bow tie, crossing in the middle
        Quad(0, 0, 10, 0, 0, 10, 10, 10),     // bow tie on its side
        Quad(3, 0, 3, 9, 3, 9, 3, 0),         // zero width
        Quad(3, 0, 4, 0, 4, 9, 3, 9),         // one pixel wide
        Quad(0, 3, 9, 3, 9, 4, 0, 4),         // one pixel high
        Quad(0, 0, 9, 9, 9, 9, 0, 0),         // diagonal line
        Quad(0, 0, 8, 1, 8, 1, 0, 9),         // triangle with a repeated vertex
        Quad(4, 4, 4, 4, 4, 4, 4, 4),         // a single point
        Quad(0, 0, 9, 1, 1, 1, 0, 9),         // concave arrow head
        Quad(0, 0, 1, 7, 2, 0, 1, 3),         // concave and thin
        Quad(-5, -5, 5, -4, 4, 6, -6, 5),     // around the origin
        Quad(0, 0, 65535, 0, 65535, 7, 0, 7), // long flat strip
    };
    std::mt19937 rng(7);
    Tally tally;
    for (const IntQuad& quad : shapes) ExpectAgreement(quad, ProbesAround(quad, rng, 400), tally);
    EXPECT_EQ(tally.mismatches, 0);
    EXPECT_GE(tally.cases, 5000);
    EXPECT_GT(tally.inside, tally.cases / 20);
}

TEST(QuadRegionAgreement, CameraScaleCells)
{
    // Cells of measured grids: roughly rectangular, sheared and rotated, in
    // camera space.
    std::mt19937 rng(3200);
    std::uniform_int_distribution<int> origin(-100, 3000), size(1, 600), wobble(-120, 120);
    Tally tally;
    for (int q = 0; q < 1500; ++q) {
        const int x = origin(rng), y = origin(rng), w = size(rng), h = size(rng);
        const IntQuad quad = Quad(x + wobble(rng), y + wobble(rng), x + w + wobble(rng), y + wobble(rng),
                                  x + w + wobble(rng), y + h + wobble(rng), x + wobble(rng), y + h + wobble(rng));
        ExpectAgreement(quad, ProbesAround(quad, rng, 40), tally);
    }
    EXPECT_EQ(tally.mismatches, 0);
    EXPECT_GE(tally.cases, 100000);
    EXPECT_GT(tally.inside, tally.cases / 20);
}

TEST(QuadRegionAgreement, CellsWithThePushedBorder)
{
    // Edge cells reach out to 0 and 65535 once the border is pushed; the far
    // edges must stay outside just as the region leaves them out.
    std::mt19937 rng(65535);
    std::uniform_int_distribution<int> inner(300, 2900);
    std::uniform_int_distribution<int> coin(0, 3);
    Tally tally;
    for (int q = 0; q < 60; ++q) {
        const int x = inner(rng), y = inner(rng);
        IntQuad quad{};
        switch (coin(rng)) {
        case 0: quad = Quad(0, 0, x, 0, x + 40, y, 0, y - 30); break;                  // top-left cell
        case 1: quad = Quad(x, 0, 65535, 0, 65535, y, x - 25, y + 10); break;          // top-right cell
        case 2: quad = Quad(0, y, x, y + 35, x - 10, 65535, 0, 65535); break;          // bottom-left cell
        default: quad = Quad(x, y, 65535, y - 20, 65535, 65535, x + 15, 65535); break; // bottom-right cell
        }
        std::vector<PixelProbe> probes = ProbesAround(quad, rng, 150);
        for (int v : {-1, 0, 1, 65534, 65535, 65536}) {
            probes.push_back({v, y});
            probes.push_back({x, v});
            probes.push_back({v, v});
        }
        ExpectAgreement(quad, probes, tally);
    }
    EXPECT_EQ(tally.mismatches, 0);
    EXPECT_GE(tally.cases, 10000);
    EXPECT_GT(tally.inside, tally.cases / 20);
}

} // namespace
