// What the board check costs the driver. On the touch worker, per 2 ms cycle
// of a four-contact record: without a watch, with the watch nobody asked for
// (the driver's normal state), with the watch armed by a request, and while a
// recording captures. On the window thread, per request: the status with a
// full ring of contacts, formatted as the text that is sent.
#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"
#include "WorkerFakes.h"

#include "driver/BoardCheckAnswers.h"
#include "driver/TouchWorker.h"
#include "driver/WorkerWatch.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace driver;

constexpr double kCycleBudgetNs = 2e6; // the worker's 2 ms cycle

enum class Watching { None, Unasked, Asked, Recording };

std::vector<testing::RecordBuilder> FourContactRecords()
{
    std::vector<testing::RecordBuilder> records(256);
    for (std::size_t n = 0; n < records.size(); ++n) {
        for (int s = 0; s < kPointSlots; ++s)
            records[n].Contact(s, static_cast<unsigned>(200 + 700 * s + n), static_cast<unsigned>(300 + 3 * n));
    }
    return records;
}

void WorkerCycle(benchmark::State& state)
{
    const auto watching = static_cast<Watching>(state.range(0));
    testing::WorkerFakes fakes;
    WorkerWatch watch;
    TouchWorkerDeps deps = fakes.Deps();
    if (watching != Watching::None) deps.watch = &watch;
    TouchWorker worker(deps);
    worker.Begin();
    const std::vector<testing::RecordBuilder> records = FourContactRecords();
    std::size_t n = 0;
    for (auto _ : state) {
        // Requests and recordings come again as the check would make them.
        if (watching == Watching::Asked && n % 1000 == 0) watch.Arm(fakes.desktop.now);
        if (watching == Watching::Recording && !watch.Capture().Busy()) {
            state.PauseTiming();
            watch.Capture().Take();
            watch.ArmCapture(fakes.desktop.now, 60000, 30000);
            state.ResumeTiming();
        }
        worker.Cycle(records[n & 255].Bytes(), fakes.calibration);
        fakes.desktop.now += 2;
        ++n;
    }
}
BENCHMARK(WorkerCycle)->ArgName("watch")->Arg(0)->Arg(1)->Arg(2)->Arg(3);

class NoStorage final : public RecordingStorage {
public:
    std::string SettingsText() override { return {}; }
    std::string LocalTime() override { return {}; }
    std::string Save(const std::string&) override { return {}; }
};

// One answer with 300 contacts of the last 3 s, mapped and formatted.
void StatusAnswer(benchmark::State& state)
{
    testing::FakeDesktop desktop;
    DriverState driverState;
    CalibrationStore calibration;
    calibration_testing::MemoryProfile settings;
    calibration_testing::WriteRegularGrid(settings, 3, 3, 0, 0, 3200, 2400);
    calibration.Reload(settings, BoardScreen::PrimaryOnly({1024, 768}));
    WorkerWatch watch;
    ChannelSlot socket;
    NoStorage storage;
    NoFaultLog faults;
    BoardCheckAnswers answers({desktop, driverState, calibration, watch, socket, storage, faults}, DriverFacts{});
    answers.Status();
    const CalibrationModelView view(*calibration.Current());
    for (int n = 0; n < 400; ++n) {
        testing::RecordBuilder record;
        record.Contact(0, static_cast<unsigned>(100 + 7 * n), 1200);
        watch.OnCycle(record.Bytes(), view, desktop.now, RecordRoute::Mouse);
        desktop.now += 2;
    }
    for (auto _ : state) benchmark::DoNotOptimize(common::FormatBoardStatus(answers.Status()).size());
}
BENCHMARK(StatusAnswer);

class BudgetReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            // CPU time: on a shared machine the wall clock measures the neighbours.
            const double ns = run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            results_.emplace_back(run.benchmark_name(), ns);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nCPU time of one worker cycle of a four-contact record, against its 2 ms (%.0f ns):\n",
                    kCycleBudgetNs);
        static const char* const kWatching[] = {"without a watch", "the watch, nobody asking", "asked (5 s after a request)",
                                                "recording"};
        for (const auto& [name, ns] : results_) {
            const std::size_t arg = name.find("watch:");
            if (arg == std::string::npos) continue;
            const int n = name[arg + 6] - '0';
            std::printf("  %-30s %9.1f ns   %7.4f %% of the cycle\n", kWatching[n & 3], ns, 100 * ns / kCycleBudgetNs);
        }
        for (const auto& [name, ns] : results_) {
            if (name == "StatusAnswer")
                std::printf("One answer (300 contacts, mapped and formatted), on the window thread: %.1f us\n", ns / 1000);
        }
    }

private:
    std::vector<std::pair<std::string, double>> results_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    BudgetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
