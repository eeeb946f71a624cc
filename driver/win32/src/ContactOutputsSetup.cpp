#include "ContactOutputsSetup.h"

namespace brelvin {

ContactOutputsSetup::ContactOutputsSetup(const driver::MultitouchSettings& settings, driver::FaultLog& faults)
{
    if (settings.tuio) OpenTuio(settings, faults);
    touchAsked_ = settings.touchInjection;
    touchAvailable_ = Win32TouchInjection().Available();
    if (settings.touchInjection) OpenTouch(faults);
}

void ContactOutputsSetup::OpenTuio(const driver::MultitouchSettings& settings, driver::FaultLog& faults)
{
    auto sender = std::make_unique<TuioUdpSender>(settings.tuioHost, settings.tuioPort);
    if (!sender->Open()) {
        faults.NoteF("Could not open the TUIO output to %s; no bundles are sent.", sender->Destination().c_str());
        return;
    }
    source_ = "Brelvin@" + sender->LocalAddress();
    destination_ = sender->Destination();
    sender_ = std::move(sender);
    tuio_ = std::make_unique<driver::TuioOutput>(*sender_, source_.c_str(), destination_.c_str(), faults);
    faults.NoteF("TUIO output on: bundles go to %s.", destination_.c_str());
}

void ContactOutputsSetup::OpenTouch(driver::FaultLog& faults)
{
    auto injection = std::make_unique<Win32TouchInjection>();
    if (!injection->Available()) {
        faults.Note("TOUCH_INJECTION is on, but this system has no touch injection (Windows 8 or later); the "
                    "board drives the mouse.");
        return;
    }
    injection_ = std::move(injection);
    touch_ = std::make_unique<driver::TouchOutput>(*injection_, faults);
    faults.Note("Touch injection on: contacts become the system's touch pointers instead of the mouse.");
}

driver::ContactOutputs ContactOutputsSetup::Outputs() const
{
    driver::ContactOutputs outputs;
    outputs.tuio = tuio_.get();
    outputs.touch = touch_.get();
    return outputs;
}

} // namespace brelvin
