// A policy switches TUIO on in a running driver whose WBInit.ini leaves it
// off: the values are set with reg.exe where Group Policy writes them (the
// 64-bit view of HKLM\Software\Policies), the system's announcement of a
// policy change is broadcast, and from then on contacts reach oscdump; the
// support log names what the policy set. Group Policy's own processing is
// not there under Wine: the scenario stands in for its registry writes.
#include "DriverRun.h"
#include "PolicyEdit.h"

#include "common/Options.h"
#include "common/SupportLogFile.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

#include <cstdlib>
#include <string>

namespace tuio {
namespace {

class TuioPolicy : public e2e::DriverRun {
protected:
    // The desktop's prefix outlives a run that was stopped before its end:
    // whatever policy it left would set the next driver there.
    void SetUp() override { e2e::RemoveMachinePolicies(); }
    void TearDown() override { e2e::RemoveMachinePolicies(); }
};

TEST_F(TuioPolicy, APolicySwitchesTuioOnInTheRunningDriver)
{
    const char* port = std::getenv("BRELVIN_TUIO_PORT");
    const char* oscdumpLog = std::getenv("BRELVIN_OSCDUMP_LOG");
    ASSERT_TRUE(port && oscdumpLog) << "run through tests/tuio/tuio-oscdump.sh";
    const std::string supportLog = common::SupportLogFile::DefaultPath();
    const std::size_t supportLogBefore = sim::ReadWholeFile(supportLog).size();

    StartIdle(e2e::PeerSetup{});
    const std::string touch = "down 800 600\nhold 800 600 3\nup 800 600\n";
    PlayScript(touch);
    WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return e2e::ButtonSequence(e) == "ldown lup"; });
    EXPECT_EQ(sim::ReadWholeFile(oscdumpLog).find("/tuio/2Dcur"), std::string::npos) << "TUIO was on before";

    ASSERT_TRUE(e2e::SetMachinePolicy(common::options::kTuio, "1"));
    ASSERT_TRUE(e2e::SetMachinePolicy(common::options::kTuioPort, port));
    e2e::AnnouncePolicyChange();

    const std::string named = std::string("A policy sets [Multitouch] TUIO=1, TUIO_PORT=") + port + ";";
    std::string since;
    EXPECT_TRUE(sim::WaitUntil(
        [&] {
            since = sim::ReadWholeFile(supportLog).substr(supportLogBefore);
            return since.find(named) != std::string::npos && since.find("TUIO output on") != std::string::npos;
        },
        e2e::kWaitMs))
        << since;

    PlayScript(touch);
    EXPECT_TRUE(sim::WaitUntil([&] { return sim::ReadWholeFile(oscdumpLog).find("\"alive\"") != std::string::npos; },
                               e2e::kWaitMs))
        << "no bundle reached oscdump";
}

} // namespace
} // namespace tuio
