// What the outputs that carry every contact add to the touch worker's 2 ms
// cycle: building a four-contact TUIO bundle, building a four-contact touch
// frame, and the whole per-record path (tracker, bundle, frame). Each result
// is printed again as a share of the cycle.
#include "DriverFakes.h"

#include "driver/ContactTracker.h"
#include "driver/MultitouchOutputs.h"
#include "driver/TouchFrame.h"
#include "driver/TuioBundle.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace driver;

constexpr double kCycleBudgetNs = 2e6; // the worker's 2 ms cycle

class NullChannel final : public ByteChannel {
public:
    bool Write(const std::uint8_t* data, std::size_t length) override
    {
        benchmark::DoNotOptimize(data);
        benchmark::DoNotOptimize(length);
        return true;
    }
};

class NullInjection final : public TouchInjection {
public:
    bool Inject(const TouchFrame& frame) override
    {
        benchmark::DoNotOptimize(frame.count);
        return true;
    }
};

// Four contacts crossing the board, one record per cycle.
std::vector<TouchRecord> FourContactRecords(int count)
{
    std::vector<TouchRecord> records;
    for (int n = 0; n < count; ++n) {
        testing::RecordBuilder record;
        for (int s = 0; s < kPointSlots; ++s) {
            record.Contact(s, static_cast<unsigned>(200 + 700 * s + (n % 500)), static_cast<unsigned>(300 + n % 1500));
        }
        records.push_back(record.Decoded());
    }
    return records;
}

void TuioBundleFourContacts(benchmark::State& state)
{
    const TuioBundleWriter writer("Brelvin@127.0.0.1");
    std::array<TuioCursor, 4> cursors;
    for (int n = 0; n < 4; ++n) cursors[n] = {100 + n, 0.2f * n, 0.7f, 0.5f, -0.25f, 3.0f};
    std::array<std::uint8_t, TuioBundleWriter::kMaxBundleBytes> buffer{};
    std::int32_t frame = 0;
    for (auto _ : state) {
        cursors[0].x = static_cast<float>(frame % 100) / 100;
        benchmark::DoNotOptimize(writer.Write(cursors.data(), cursors.size(), ++frame, buffer.data(), buffer.size()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(TuioBundleFourContacts);

void TouchFrameFourContacts(benchmark::State& state)
{
    testing::FakeCalibration calibration;
    ContactTracker tracker;
    const std::vector<TouchRecord> records = FourContactRecords(2);
    tracker.Update(records[0], 2, calibration);
    ContactSnapshot snapshot = tracker.Update(records[1], 2, calibration);
    TouchFrameBuilder builder;
    builder.Build(snapshot, calibration.screen, 2); // all four down: frames from here on are updates
    int n = 0;
    for (auto _ : state) {
        snapshot.live[0].screen.x = 100 + (++n & 255);
        benchmark::DoNotOptimize(builder.Build(snapshot, calibration.screen, 2).count);
    }
}
BENCHMARK(TouchFrameFourContacts);

// One record's whole share: the tracker's update and both outputs.
void CycleFourContacts(benchmark::State& state)
{
    testing::FakeCalibration calibration;
    ContactTracker tracker;
    NullChannel channel;
    NullInjection injection;
    NoFaultLog faults;
    TuioOutput tuio(channel, "Brelvin@127.0.0.1", "127.0.0.1:3333", faults);
    TouchOutput touch(injection, faults);
    const std::vector<TouchRecord> records = FourContactRecords(4096);
    std::size_t n = 0;
    for (auto _ : state) {
        const ContactSnapshot& snapshot = tracker.Update(records[n], 2, calibration);
        benchmark::DoNotOptimize(tuio.Publish(snapshot));
        benchmark::DoNotOptimize(touch.Publish(snapshot, calibration.screen, 2));
        n = (n + 1) & 4095;
    }
}
BENCHMARK(CycleFourContacts);

// The console table, then each benchmark's time per cycle beside the budget.
class BudgetReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double ns = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            results_.emplace_back(run.benchmark_name(), ns);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nCost per 2 ms worker cycle (budget %.0f ns):\n", kCycleBudgetNs);
        for (const auto& [name, ns] : results_) {
            std::printf("  %-28s %9.1f ns   %7.4f %% of the cycle\n", name.c_str(), ns, 100 * ns / kCycleBudgetNs);
        }
    }

private:
    std::vector<std::pair<std::string, double>> results_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BudgetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
