#include "CameraLoan.h"

#include "CameraService.h"

#include "common/Win32System.h"

#include <thread>
#include <utility>

namespace camview {

CameraLoan::CameraLoan(LoanRules rules)
    : rules_(std::move(rules))
{
    if (rules_.serviceFolder.empty()) rules_.serviceFolder = common::ProgramFolderW();
}

CameraLoan::~CameraLoan()
{
    GiveBack();
}

LoanState CameraLoan::Borrow()
{
    if (state_ != LoanState::Idle) return state_;
    serviceWasRunning_ = ReleaseCameraFromService(rules_.program);
    if (graph_->FindDevice() <= 0) {
        graph_->TearDownGraph();
        state_ = LoanState::Refused;
        if (rules_.restartWithoutCamera) RestartServiceIfItRan();
        return state_;
    }
    graph_->BuildGraph();
    state_ = LoanState::Lent;
    return state_;
}

void CameraLoan::GiveBack(FrameReaders readers)
{
    if (state_ != LoanState::Lent) return;
    state_ = LoanState::Returned;
    if (readers == FrameReaders::Stopped) {
        // The graph goes only once nothing reads from it any more.
        graph_->RestoreProperties();
        graph_->TearDownGraph();
    } else {
        // Kept, never freed under the thread that is stuck in it; the
        // camera is let go when the process ends.
        CaptureGraph* const keptForTheProcess = graph_.release();
        static_cast<void>(keptForTheProcess);
    }
    std::this_thread::sleep_for(rules_.releasePause);
    RestartServiceIfItRan();
    std::this_thread::sleep_for(rules_.restartPause);
}

void CameraLoan::RestartServiceIfItRan()
{
    if (serviceWasRunning_) RestartCameraService(rules_.serviceFolder, rules_.program);
}

} // namespace camview
