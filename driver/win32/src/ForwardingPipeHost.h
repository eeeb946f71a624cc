#pragma once
// Creates the instances of the forwarding pipe "\\.\Pipe\Kelvado" for the
// driver window: local clients of the driver's own user only. The window is
// nudged with kForwardingNews (no parameters) when an instance's client
// connects, its wait fails or its connection breaks.
#include "ForwardingPipeInstance.h"

#include "driver/ChannelPorts.h"
#include "driver/FaultLog.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace brelvin {

inline constexpr UINT kForwardingNews = WM_APP + 0x211;
inline constexpr const char* kForwardingPipeName = "\\\\.\\Pipe\\Kelvado";

struct ForwardingPipeOptions {
    std::string name = kForwardingPipeName;
    PipeInstanceBounds bounds;
};

class Win32ForwardingPipeHost final : public driver::ForwardingPipeHost {
public:
    static constexpr DWORD kMaxInstances = 50;
    static constexpr DWORD kDefaultTimeoutMs = 1000;

    // `faults` must live as long as the process: an instance kept for an
    // operation that outlived its cancellation may note it late.
    Win32ForwardingPipeHost(HWND window, driver::FaultLog& faults, UINT reportMessage = kForwardingNews,
                            ForwardingPipeOptions options = {});

    std::shared_ptr<driver::PipeInstance> CreateAndAwaitClient() override;

private:
    const HWND window_;
    driver::FaultLog& faults_;
    const UINT reportMessage_;
    const ForwardingPipeOptions options_;
};

} // namespace brelvin
