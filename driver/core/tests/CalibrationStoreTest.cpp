// The worker maps through whatever model is published while the window
// thread reloads: every mapping must come whole from one model.
#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "driver/CalibrationStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

using calibration_testing::MemoryProfile;
using calibration_testing::WriteGrid;
using calibration_testing::WriteRegularGrid;
using driver::BoardScreen;
using driver::CalibrationStore;
using driver::CCalibration;
using driver::Point;

struct Mapping {
    bool onScreen;
    Point point;
};

bool Same(const Mapping& a, const Mapping& b)
{
    return a.onScreen == b.onScreen && std::memcmp(&a.point, &b.point, sizeof(Point)) == 0;
}

Mapping MapWith(const CCalibration& model, Point p)
{
    const bool onScreen = model.MapPoint(p);
    return {onScreen, p};
}

MemoryProfile CoarseGrid()
{
    MemoryProfile settings;
    WriteRegularGrid(settings, 3, 3, 400, 300, 2800, 2100);
    return settings;
}

MemoryProfile FineWavyGrid()
{
    MemoryProfile settings;
    WriteGrid(settings, 10, 10, [](int i, int j) {
        return Point{250 + 300.0 * i + 25 * (j % 3), 200 + 220.0 * j - 15 * (i % 2)};
    });
    return settings;
}

TEST(CalibrationStore, ReloadPublishesEvenAFailedLoad)
{
    CalibrationStore store;
    MemoryProfile good = CoarseGrid();
    EXPECT_TRUE(store.Reload(good, BoardScreen::PrimaryOnly({1024, 768})));
    const auto loaded = store.Current();
    MemoryProfile empty;
    EXPECT_FALSE(store.Reload(empty, BoardScreen::PrimaryOnly({1024, 768})));
    EXPECT_NE(store.Current(), loaded);
    Point p{1600, 1200};
    EXPECT_TRUE(loaded->MapPoint(p)) << "a snapshot held by a reader outlives the reload";
}

TEST(CalibrationStore, SetUseKeyRepublishesACopy)
{
    CalibrationStore store;
    MemoryProfile settings = CoarseGrid();
    settings.WriteString("hardware", "USE_KEY", "0");
    store.Reload(settings, BoardScreen::PrimaryOnly({1024, 768}));
    const auto before = store.Current();
    store.SetUseKey(1);
    EXPECT_EQ(store.GetUseKey(), 1);
    EXPECT_EQ(before->GetUseKey(), 0) << "a published snapshot never changes";
    const Point probe{1000, 700};
    EXPECT_TRUE(Same(MapWith(*store.Current(), probe), MapWith(*before, probe)));
}

TEST(CalibrationStore, ReaderSeesOnlyWholeModelsWhileReloading)
{
    MemoryProfile coarseSettings = CoarseGrid();
    MemoryProfile fineSettings = FineWavyGrid();
    CCalibration coarse, fine;
    ASSERT_TRUE(coarse.Load(coarseSettings, BoardScreen::PrimaryOnly({1024, 768})));
    ASSERT_TRUE(fine.Load(fineSettings, BoardScreen::PrimaryOnly({1280, 1024})));

    std::vector<Point> probes;
    std::vector<Mapping> fromCoarse, fromFine;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> cx(-50, 3250), cy(-50, 2450);
    int differing = 0;
    for (int n = 0; n < 64; ++n) {
        probes.push_back({cx(rng), cy(rng)});
        fromCoarse.push_back(MapWith(coarse, probes.back()));
        fromFine.push_back(MapWith(fine, probes.back()));
        if (!Same(fromCoarse.back(), fromFine.back())) ++differing;
    }
    ASSERT_GT(differing, 50) << "the two models must be told apart";

    CalibrationStore store;
    store.Reload(coarseSettings, BoardScreen::PrimaryOnly({1024, 768}));
    std::atomic<bool> stop{false};
    std::atomic<long> mappings{0};
    std::atomic<long> torn{0};
    std::thread reader([&] {
        std::size_t n = 0;
        while (!stop.load()) {
            Point p = probes[n];
            const bool onScreen = store.MapPoint(p);
            const Mapping seen{onScreen, p};
            if (!Same(seen, fromCoarse[n]) && !Same(seen, fromFine[n])) ++torn;
            ++mappings;
            n = (n + 1) % probes.size();
        }
    });

    // Keep reloading until the reader has mapped through many publications.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int reloads = 0;
    while ((reloads < 400 || mappings.load() < 20000) && std::chrono::steady_clock::now() < deadline) {
        if (reloads % 2)
            store.Reload(coarseSettings, BoardScreen::PrimaryOnly({1024, 768}));
        else
            store.Reload(fineSettings, BoardScreen::PrimaryOnly({1280, 1024}));
        store.SetUseKey(reloads);
        ++reloads;
    }
    stop = true;
    reader.join();
    EXPECT_GE(reloads, 400);
    EXPECT_GE(mappings.load(), 20000);
    EXPECT_EQ(torn.load(), 0);
}

} // namespace
