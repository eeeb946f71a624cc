// The soak's runner: the driver with its stand-ins in the folder "session"
// beside this program for the given number of minutes, the camera playing
// "soak.script" with the calibration "soak.ini". It writes on standard
// output one "sample <minute> handles <count>" line at the start of every
// minute and at the end (the caller samples the driver's Linux process at the
// same moments), a line per minute on what came and went, and last
// "soak done <presses>" or "soak failed: <why>". With "/ack" after the
// minutes, each sample waits for the caller's "sampled-<minute>" file.
#include "SoakSession.h"

#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Fail(const std::string& problem)
{
    std::printf("soak failed: %s\n", problem.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 0;
    if (minutes < 1) return Fail("usage: SimSoak <minutes> [/ack]");
    const bool awaitSampler = argc > 2 && std::strcmp(argv[2], "/ack") == 0;
    const std::string here = sim::OwnFolder();
    const std::string script = sim::ReadWholeFile(here + "soak.script");
    const std::string settings = sim::ReadWholeFile(here + "soak.ini");
    if (script.empty() || settings.empty()) return Fail("soak.script or soak.ini missing beside the runner");

    sim::BoardRig rig(here, here, "session", sim::FolderLifetime::Kept);
    sim::SoakSession soak(rig, stdout, awaitSampler);
    if (!soak.Start(script, settings)) return Fail(soak.Problem());
    std::printf("driver running; logs in %s\n", rig.Folder().Path().c_str());
    for (int minute = 0; minute < minutes; ++minute) {
        soak.Sample(minute);
        if (!soak.RunMinute(minute)) return Fail(soak.Problem());
    }
    soak.Sample(minutes);
    std::size_t presses = 0;
    for (const sim::MouseEvent& event : rig.MouseEvents()) {
        if (event.injected && event.kind == sim::MouseKind::LeftDown) ++presses;
    }
    if (presses == 0) return Fail("the driver injected no press in the whole soak");
    std::printf("soak done %zu presses\n", presses);
    return 0;
}
