#include "ProbeWindow.h"

#include "sim/Waiting.h"

namespace calibration_e2e {

using calibration::WindowEvent;

ProbeWindow::ProbeWindow(const calibration::ForwardingBounds& bounds)
    : class_(GetModuleHandleA(nullptr), &ProbeWindow::Procedure)
{
    window_ = class_.Create({0, 0, 320, 200}, this);
    NewSession(bounds);
}

ProbeWindow::~ProbeWindow()
{
    session_.reset();
    window_.Reset();
}

void ProbeWindow::NewSession(const calibration::ForwardingBounds& bounds)
{
    session_.reset();
    session_ = std::make_unique<calibration::ForwardingSession>(
        window_.Get(), calibration::kRecordsWaitingMessage,
        [this](const calibration::RawRecord& record) { records_.push_back(record); },
        [this](calibration::ForwardingError error) { failures_.push_back(error); }, bounds);
}

bool ProbeWindow::PumpUntil(const std::function<bool()>& done, unsigned timeoutMs)
{
    return sim::WaitUntil(
        [&] {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            return done();
        },
        timeoutMs);
}

std::size_t ProbeWindow::TouchRecords() const
{
    std::size_t count = 0;
    for (const calibration::RawRecord& record : records_) {
        for (std::size_t slot = 0; slot < record.size(); slot += 5) {
            if (record[slot] == 1 || record[slot] == 2) {
                ++count;
                break;
            }
        }
    }
    return count;
}

LRESULT CALLBACK ProbeWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const WindowEvent event = calibration::ClassifyWindowMessage(message, wParam, lParam);
    if (!self || event == WindowEvent::None) return DefWindowProcA(window, message, wParam, lParam);
    if (event == WindowEvent::RecordsWaiting) {
        if (self->session_) self->session_->OnHandOver();
    } else {
        self->events_.push_back(event);
    }
    return 0;
}

} // namespace calibration_e2e
