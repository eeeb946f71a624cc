// A policy switches TUIO on in a running driver whose WBInit.ini leaves it
// off: the values are set with reg.exe where Group Policy writes them (the
// 64-bit view of HKLM\Software\Policies), the system's announcement of a
// policy change is broadcast, and from then on contacts reach oscdump; the
// support log names what the policy set. Group Policy's own processing is
// not there under Wine: the scenario stands in for its registry writes.
#include "DriverRun.h"

#include "common/Options.h"
#include "common/SupportLogFile.h"
#include "sim/ChildProcess.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace tuio {
namespace {

const std::string kMultitouchPolicyKey = std::string("HKLM\\") + common::kPolicyKey + "\\Multitouch";

// Runs reg.exe with `arguments` in the 64-bit view; true when it succeeded.
bool Reg(const std::string& arguments)
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    sim::ChildProcess reg = sim::ChildProcess::Start(std::string(system) + "\\reg.exe", system, arguments + " /reg:64");
    return reg && reg.WaitForExit(e2e::kWaitMs) && reg.ExitCode() == 0;
}

class TuioPolicy : public e2e::DriverRun {
protected:
    void TearDown() override { Reg("delete \"HKLM\\" + std::string(common::kPolicyKey) + "\" /f"); }
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

    ASSERT_TRUE(Reg("add \"" + kMultitouchPolicyKey + "\" /v TUIO /t REG_DWORD /d 1 /f"));
    ASSERT_TRUE(Reg("add \"" + kMultitouchPolicyKey + "\" /v TUIO_PORT /t REG_DWORD /d " + port + " /f"));
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Policy"), SMTO_ABORTIFHUNG,
                        e2e::kWaitMs, &answer);

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
