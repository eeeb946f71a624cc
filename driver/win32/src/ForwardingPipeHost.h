#pragma once
// Creates the instances of the forwarding pipe "\\.\Pipe\Kelvado" for the
// driver window. The window learns that a client connected (or that the wait
// failed) from kPipeWaitEnded: wParam = the instance's id, lParam = 1 when
// connected, 0 when the wait failed.
#include "driver/ChannelPorts.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace brelvin {

inline constexpr UINT kPipeWaitEnded = WM_APP + 0x211;
inline constexpr const char* kForwardingPipeName = "\\\\.\\Pipe\\Kelvado";

struct ForwardingPipeOptions {
    std::string name = kForwardingPipeName;
    // How long one record may wait for room in the pipe before it is lost.
    DWORD writeWaitMs = 100;
};

class Win32ForwardingPipeHost final : public driver::ForwardingPipeHost {
public:
    static constexpr DWORD kMaxInstances = 50;
    static constexpr DWORD kDefaultTimeoutMs = 1000;

    explicit Win32ForwardingPipeHost(HWND window, UINT reportMessage = kPipeWaitEnded,
                                     ForwardingPipeOptions options = {});

    std::shared_ptr<driver::PipeInstance> CreateAndAwaitClient() override;

private:
    const HWND window_;
    const UINT reportMessage_;
    const ForwardingPipeOptions options_;
    std::atomic<std::uint32_t> nextId_{1};
};

} // namespace brelvin
