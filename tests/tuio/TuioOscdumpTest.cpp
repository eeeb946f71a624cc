// The driver's TUIO output as a real OSC client reads it: liblo's oscdump,
// started by tuio-oscdump.sh on a free port, prints one line per message.
// The script names the port and the Windows path of oscdump's output.
#include "DriverRun.h"

#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tuio {
namespace {

struct OscLine {
    std::string command;           // "source", "alive", "set", "fseq"
    std::vector<std::string> args; // after the command
};

// `<time> /tuio/2Dcur <tags> "<command>" <arguments...>`
std::vector<OscLine> ReadOscdump(const std::string& path)
{
    std::vector<OscLine> lines;
    for (const std::string& raw : sim::LogLines(path)) {
        std::istringstream in(raw);
        std::string time, address, tags, command;
        if (!(in >> time >> address >> tags >> command) || address != "/tuio/2Dcur") continue;
        OscLine line{command.size() >= 2 ? command.substr(1, command.size() - 2) : command, {}};
        for (std::string arg; in >> arg;) line.args.push_back(arg);
        lines.push_back(line);
    }
    return lines;
}

class TuioToOscdump : public e2e::DriverRun {};

TEST_F(TuioToOscdump, EveryContactReachesARealClientAndEnds)
{
    const char* port = std::getenv("BRELVIN_TUIO_PORT");
    const char* log = std::getenv("BRELVIN_OSCDUMP_LOG");
    ASSERT_TRUE(port && log) << "run through tests/tuio/tuio-oscdump.sh";

    const std::string settings = sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini") +
                                 "\r\n[Multitouch]\r\nTUIO=1\r\nTUIO_HOST=127.0.0.1\r\nTUIO_PORT=" + port + "\r\n";
    ASSERT_TRUE(rig_.Prepare(std::string(), settings)) << rig_.Problem();
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();

    // Two contacts at once: slot 0 drives the mouse, slot 2 waits behind it;
    // both are touches. Camera (800, 600) and (2400, 1800) are a quarter and
    // three quarters of the screen.
    std::string script;
    for (int n = 0; n < 6; ++n) script += "rec 1 800 600 0 0 0 1 2400 1800\n";
    script += "rec 2 800 600 0 0 0 2 2400 1800\n";
    ASSERT_NO_FATAL_FAILURE(PlayScript(script));

    std::vector<OscLine> lines;
    ASSERT_TRUE(sim::WaitUntil(
        [&] {
            lines = ReadOscdump(log);
            bool sawTwo = false;
            for (const OscLine& line : lines) {
                if (line.command == "alive" && line.args.size() == 2) sawTwo = true;
                if (line.command == "alive" && line.args.empty() && sawTwo) return true;
            }
            return false;
        },
        e2e::kWaitMs))
        << sim::ReadWholeFile(log);

    std::set<std::string> sessions;
    int bundles = 0;
    for (const OscLine& line : lines) {
        if (line.command == "fseq") ++bundles;
        if (line.command == "source") {
            EXPECT_EQ(line.args.at(0), "\"Brelvin@127.0.0.1\"");
        }
        if (line.command != "set") continue;
        ASSERT_GE(line.args.size(), 3u);
        sessions.insert(line.args[0]);
        const double x = std::stod(line.args[1]);
        const double y = std::stod(line.args[2]);
        const bool first = std::abs(x - 0.25) < 0.01 && std::abs(y - 0.25) < 0.01;
        const bool second = std::abs(x - 0.75) < 0.01 && std::abs(y - 0.75) < 0.01;
        EXPECT_TRUE(first || second) << x << ", " << y;
    }
    EXPECT_EQ(sessions.size(), 2u);
    // One bundle for each record with a sample, the first sample of each
    // contact included (it starts nothing but is news).
    EXPECT_EQ(bundles, 7) << sim::ReadWholeFile(log);

    // Beside the TUIO output, the mouse went on as ever: the first contact
    // pressed and released it; the second contact's release came to the mouse
    // too, since the second pair stands in once the first pair has no contact,
    // and a release goes out even when nothing is down.
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return e2e::ButtonSequence(e) == "ldown lup lup"; });
    EXPECT_EQ(e2e::ButtonSequence(events), "ldown lup lup") << e2e::Describe(events);
}

} // namespace
} // namespace tuio
