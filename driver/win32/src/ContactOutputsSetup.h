#pragma once
// The outputs that carry every contact, as the [Multitouch] options ask for
// them: TUIO bundles to a numeric address, and the system's touch
// injection where the system has it (the mouse carries the contacts
// otherwise, as always). Built once at start-up on the window thread; the
// worker only ever sees the core's outputs, which live as long as this.
#include "TuioUdpSender.h"
#include "Win32TouchInjection.h"

#include "driver/FaultLog.h"
#include "driver/MultitouchOutputs.h"
#include "driver/MultitouchSettings.h"
#include "driver/TouchWorker.h"

#include <memory>
#include <string>

namespace brelvin {

class ContactOutputsSetup {
public:
    ContactOutputsSetup(const driver::MultitouchSettings& settings, driver::FaultLog& faults);

    driver::ContactOutputs Outputs() const;

    // For the board check: where TUIO goes ("off" when it does not), and
    // whether touch injection was asked for, is offered and is on.
    std::string TuioDestination() const { return tuio_ ? destination_ : "off"; }
    bool TouchInjectionAsked() const { return touchAsked_; }
    bool TouchInjectionAvailable() const { return touchAvailable_; }
    bool TouchInjectionOn() const { return touch_ != nullptr; }

private:
    void OpenTuio(const driver::MultitouchSettings& settings, driver::FaultLog& faults);
    void OpenTouch(driver::FaultLog& faults);

    std::unique_ptr<TuioUdpSender> sender_;
    std::string source_;
    std::string destination_;
    std::unique_ptr<driver::TuioOutput> tuio_;
    std::unique_ptr<Win32TouchInjection> injection_;
    std::unique_ptr<driver::TouchOutput> touch_;
    bool touchAsked_ = false;
    bool touchAvailable_ = false;
};

} // namespace brelvin
