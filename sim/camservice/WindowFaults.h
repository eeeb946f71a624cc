#pragma once
// The faults a script can put on the camera service's window: hanging when
// a chosen message arrives, not answering for a while, and waiting for a
// message from the player's thread. The window procedure reports every
// message here; the player thread asks for the faults.
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>

namespace sim {

// Posted by the player to its own window: "stop answering" (wParam: ms,
// lParam: 1 for ever). Not logged.
inline constexpr UINT kHangWindowRequest = WM_APP + 0x3F00;

enum class AwaitOutcome { Received, TimedOut, Stopped };

class WindowFaults {
public:
    // On the window thread, after the message has been logged. Blocks the
    // thread for a hang; a hang for ever lasts until the process is killed.
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // On the player thread.
    void HangOn(unsigned message);
    void HangWindow(HWND window, unsigned ms, bool forever);
    // Until the window has received `message` once more than the awaits of
    // it that came back Received so far.
    AwaitOutcome Await(unsigned message, unsigned ms, const std::atomic<bool>& stop);

private:
    std::mutex mutex_;
    std::map<unsigned, unsigned long> received_;
    std::map<unsigned, unsigned long> awaited_;
    std::set<unsigned> hangOn_;
};

} // namespace sim
