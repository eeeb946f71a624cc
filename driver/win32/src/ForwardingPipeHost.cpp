#include "ForwardingPipeHost.h"

#include "ForwardingPipeInstance.h"
#include "UniqueHandle.h"

namespace brelvin {

Win32ForwardingPipeHost::Win32ForwardingPipeHost(HWND window, UINT reportMessage, ForwardingPipeOptions options)
    : window_(window), reportMessage_(reportMessage), options_(std::move(options))
{
}

std::shared_ptr<driver::PipeInstance> Win32ForwardingPipeHost::CreateAndAwaitClient()
{
    HANDLE created = CreateNamedPipeA(options_.name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, kMaxInstances, 0, 0,
                                      kDefaultTimeoutMs, nullptr);
    if (created == INVALID_HANDLE_VALUE) return nullptr;
    return ForwardingPipeInstance::AwaitClient(UniqueHandle(created), nextId_++,
                                               PipeWaitReport{window_, reportMessage_}, options_.writeWaitMs);
}

} // namespace brelvin
