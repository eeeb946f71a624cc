#include "CycleTimer.h"

#include <mmsystem.h>

namespace brelvin {
namespace {

// Not in every SDK's headers yet.
constexpr DWORD kCreateWaitableTimerHighResolution = 0x00000002;

} // namespace

CycleTimer::CycleTimer(unsigned periodMs)
    : periodMs_(periodMs)
{
    timer_.Reset(CreateWaitableTimerExW(nullptr, nullptr, kCreateWaitableTimerHighResolution, TIMER_ALL_ACCESS));
    highResolution_ = static_cast<bool>(timer_);
    if (!highResolution_) {
        raisedResolution_ = timeBeginPeriod(1) == TIMERR_NOERROR;
        timer_.Reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
    }
    if (timer_) {
        LARGE_INTEGER due;
        due.QuadPart = -static_cast<LONGLONG>(periodMs_) * 10000; // relative, in 100 ns
        periodic_ =
            SetWaitableTimer(timer_.Get(), &due, static_cast<LONG>(periodMs_), nullptr, nullptr, FALSE) != FALSE;
    }
}

CycleTimer::~CycleTimer()
{
    if (raisedResolution_) timeEndPeriod(1);
}

void CycleTimer::Wait()
{
    if (periodic_) {
        WaitForSingleObject(timer_.Get(), INFINITE);
        return;
    }
    Sleep(periodMs_);
}

} // namespace brelvin
