// The driver's worker measured from outside, under Wine:
//   SimDriverBench idle <seconds>   starts the driver with its stand-ins, says
//                                   "ready <process id>" and keeps it idle that long
//                                   (the caller measures its CPU time meanwhile);
//   SimDriverBench latency [n]      plays 1,000 (or n) contact samples and reports the
//                                   time from each record written into the block to
//                                   the injected event seen by the mouse recorder,
//                                   and the worker's cycle length (time between two
//                                   consecutive consumptions).
//   SimDriverBench watched [n]      the same while a board check asks the driver
//                                   for its status twice a second, and the time
//                                   each request takes to be answered.
#include "BoardCheckAsker.h"

#include "sim/LogFiles.h"
#include "sim/Percentiles.h"

#include "sim/BoardRig.h"
#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

constexpr int kSamples = 1000;
// A sample's step along the stroke, in camera units: under a pixel.
constexpr int kStepUnits = 2;

int Fail(const std::string& problem)
{
    std::printf("bench failed: %s\n", problem.c_str());
    return 1;
}

bool StartRig(sim::BoardRig& rig, const std::string& script)
{
    const std::string settings = sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini");
    return rig.Prepare(script, settings) && rig.StartRecorder() && rig.StartDrawingApp() && rig.StartDriver();
}

int Idle(unsigned seconds)
{
    sim::BoardRig rig(sim::OwnFolder(), sim::OwnFolder() + "scratch\\", "bench-idle");
    if (!StartRig(rig, "driver\nsync\n") || !rig.WaitForScript()) return Fail(rig.Problem());
    std::printf("ready %lu\n", rig.Driver().Id());
    std::fflush(stdout);
    Sleep(seconds * 1000); // the measuring window itself
    return 0;
}

std::string LatencyScript(int samples)
{
    // A slow stroke along the board: every sample a move of under a pixel,
    // so each record yields exactly one injected move.
    const std::string end = std::to_string(400 + kStepUnits * samples) + " 1200";
    return "driver\nsync\ndown 400 1200\ndown 400 1200\nstamp\nline 400 1200 " + end + " " + std::to_string(samples) +
           "\nup " + end + "\n";
}

void Print(const char* what, const sim::Spread& spread)
{
    std::printf("%-34s median %7.3f ms   p99 %7.3f ms   (%zu samples)\n", what, spread.median, spread.p99,
                spread.count);
}

int Latency(bool watched, int samples)
{
    sim::BoardRig rig(sim::OwnFolder(), sim::OwnFolder() + "scratch\\", "bench-latency");
    if (!StartRig(rig, LatencyScript(samples))) return Fail(rig.Problem());
    std::unique_ptr<sim::BoardCheckAsker> asker;
    if (watched) asker = std::make_unique<sim::BoardCheckAsker>();
    if (!rig.WaitForScript()) return Fail("the script did not play; see " + rig.File(sim::kCameraServiceLog));
    if (asker) asker->Stop();

    std::vector<long long> written, consumed;
    for (const std::string& line : sim::LogLines(rig.File("ZorvikSrv.stamps"))) {
        std::istringstream words(line);
        long long w = 0, c = 0;
        if (words >> w >> c) {
            written.push_back(w);
            consumed.push_back(c);
        }
    }
    // Moves after the press, one per stamped record.
    std::vector<long long> moves;
    sim::WaitUntil(
        [&] {
            moves.clear();
            bool pressed = false;
            for (const sim::MouseEvent& event : rig.MouseEvents()) {
                if (!event.injected) continue;
                if (event.kind == sim::MouseKind::LeftDown) pressed = true;
                if (pressed && event.kind == sim::MouseKind::Move) moves.push_back(event.microseconds);
                if (event.kind == sim::MouseKind::LeftUp) return true;
            }
            return false;
        },
        10000);
    // The stroke's samples and its release are stamped; the samples are paired
    // with the moves they caused.
    if (written.size() != static_cast<std::size_t>(samples) + 1) return Fail("stamps missing");
    if (moves.size() < static_cast<std::size_t>(samples)) {
        return Fail("only " + std::to_string(moves.size()) + " moves for " + std::to_string(samples) + " records");
    }
    std::vector<double> latency, cycle;
    for (std::size_t i = 0; i < static_cast<std::size_t>(samples); ++i) {
        latency.push_back(static_cast<double>(moves[i] - written[i]) / 1000.0);
        if (i > 0) cycle.push_back(static_cast<double>(consumed[i] - consumed[i - 1]) / 1000.0);
    }
    Print("record written -> event injected", sim::SpreadOf(latency));
    Print("worker cycle", sim::SpreadOf(cycle));
    if (asker) {
        Print("board check request -> answer", sim::SpreadOf(asker->RoundTrips()));
        std::printf("%-34s %d\n", "board check requests unanswered", asker->Unanswered());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "idle" && argc > 2) return Idle(static_cast<unsigned>(std::atoi(argv[2])));
    const int samples = argc > 2 ? std::atoi(argv[2]) : kSamples;
    if (samples < 1 || samples > kSamples) return Fail("the count of samples must lie in 1..1000");
    if (mode == "latency") return Latency(false, samples);
    if (mode == "watched") return Latency(true, samples);
    std::printf("usage: SimDriverBench idle <seconds> | latency [samples] | watched [samples]\n");
    return 2;
}
