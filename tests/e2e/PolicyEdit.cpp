#include "PolicyEdit.h"

#include "DriverRun.h"
#include "sim/ChildProcess.h"

#include <windows.h>

namespace e2e {
namespace {

const std::string kMachinePolicyKey = std::string("HKLM\\") + common::kPolicyKey;

bool Reg(const std::string& arguments)
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    sim::ChildProcess reg = sim::ChildProcess::Start(std::string(system) + "\\reg.exe", system, arguments + " /reg:64");
    return reg && reg.WaitForExit(kWaitMs) && reg.ExitCode() == 0;
}

} // namespace

bool SetMachinePolicy(const common::Option& option, const std::string& value)
{
    return Reg("add \"" + kMachinePolicyKey + "\\" + option.section + "\" /v " + option.key + " /t " +
               (common::IsDwordOption(option) ? "REG_DWORD" : "REG_SZ") + " /d \"" + value + "\" /f");
}

bool RemoveMachinePolicies()
{
    return Reg("delete \"" + kMachinePolicyKey + "\" /f");
}

void AnnouncePolicyChange()
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Policy"), SMTO_ABORTIFHUNG,
                        kWaitMs, &answer);
}

} // namespace e2e
