#pragma once
// A calibration window for the tests: of class "ULDlg", on the test's
// thread, with a forwarding session handing its records over to it. It
// keeps every outside event and record it gets; nothing closes it but its
// owner.
#include "CalibrationWindowEvents.h"
#include "ForwardingSession.h"

#include <functional>
#include <memory>
#include <vector>

namespace calibration_e2e {

class ProbeWindow {
public:
    explicit ProbeWindow(const calibration::ForwardingBounds& bounds = {});
    ~ProbeWindow();
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;

    bool Ok() const { return static_cast<bool>(window_); }
    HWND Handle() const { return window_.Get(); }
    calibration::ForwardingSession& Session() { return *session_; }
    // A new session in place of the last, which ends as cancelled.
    void NewSession(const calibration::ForwardingBounds& bounds = {});

    // Handles the thread's messages until `done` holds or `timeoutMs` has
    // passed; false then.
    bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs);

    const std::vector<calibration::RawRecord>& Records() const { return records_; }
    // Records with a slot of status 1 or 2 (a contact or a release).
    std::size_t TouchRecords() const;
    const std::vector<calibration::ForwardingError>& Failures() const { return failures_; }
    const std::vector<calibration::WindowEvent>& Events() const { return events_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    calibration::CalibrationWindowClass class_;
    common::UniqueWindow window_;
    std::unique_ptr<calibration::ForwardingSession> session_;
    std::vector<calibration::RawRecord> records_;
    std::vector<calibration::ForwardingError> failures_;
    std::vector<calibration::WindowEvent> events_;
};

} // namespace calibration_e2e
