#include "ForwardingPipeHost.h"

#include "PipeSecurity.h"

#include "common/UniqueHandle.h"

namespace brelvin {
namespace {

#ifndef PIPE_REJECT_REMOTE_CLIENTS
#define PIPE_REJECT_REMOTE_CLIENTS 0x00000008
#endif

HANDLE CreateInstance(const std::string& name, DWORD pipeMode, SECURITY_ATTRIBUTES* security)
{
    return CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, pipeMode,
                            Win32ForwardingPipeHost::kMaxInstances, 0, 0, Win32ForwardingPipeHost::kDefaultTimeoutMs,
                            security);
}

} // namespace

Win32ForwardingPipeHost::Win32ForwardingPipeHost(HWND window, driver::FaultLog& faults, UINT reportMessage,
                                                 ForwardingPipeOptions options)
    : window_(window),
      faults_(faults),
      reportMessage_(reportMessage),
      options_(std::move(options))
{}

std::shared_ptr<driver::PipeInstance> Win32ForwardingPipeHost::CreateAndAwaitClient()
{
    // Not the first instance only: a calibration program may still hold its
    // end of the previous run's instance, and each run makes a new one.
    PipeSecurity security;
    if (!security.Attributes()) faults_.Note("Could not build the forwarding pipe's access list; it gets the default.");
    const DWORD mode = PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT;
    HANDLE created = CreateInstance(options_.name, mode | PIPE_REJECT_REMOTE_CLIENTS, security.Attributes());
    if (created == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Systems before the flag existed know no remote pipe clients of this kind either.
        created = CreateInstance(options_.name, mode, security.Attributes());
    }
    if (created == INVALID_HANDLE_VALUE) {
        faults_.NoteF("Could not create the forwarding pipe (system error %lu).", GetLastError());
        return nullptr;
    }
    return ForwardingPipeInstance::AwaitClient(common::UniqueHandle(created), PipeWaitReport{window_, reportMessage_},
                                               options_.bounds, faults_);
}

} // namespace brelvin
