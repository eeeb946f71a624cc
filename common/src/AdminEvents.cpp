#include "common/AdminEvents.h"

namespace common {

AdminEvent DriverStartedEvent(const std::string& version, const std::string& settingsFile,
                              const std::string& optionsInForce)
{
    return {EventId::DriverStarted, EventLevel::Information, {version, settingsFile, optionsInForce}};
}

AdminEvent CalibrationUnusableEvent(const std::string& problem)
{
    return {EventId::CalibrationUnusable, EventLevel::Error, {problem}};
}

AdminEvent CameraArrivedEvent(const std::string& deviceName)
{
    return {EventId::CameraArrived, EventLevel::Information, {deviceName}};
}

AdminEvent CameraLeftEvent(const std::string& deviceName)
{
    return {EventId::CameraLeft, EventLevel::Warning, {deviceName}};
}

AdminEvent MouseHookNotInstalledEvent()
{
    return {EventId::MouseHookNotInstalled, EventLevel::Error, {}};
}

AdminEvent PolicyAppliedEvent(const std::vector<std::string>& sections)
{
    std::string text;
    for (const std::string& section : sections) text += (text.empty() ? "" : "; ") + section;
    return {EventId::PolicyApplied, EventLevel::Information, {text}};
}

AdminEvent NoPolicyEvent()
{
    return {EventId::NoPolicy, EventLevel::Information, {}};
}

AdminEvent CalibrationSavedEvent(const std::string& settingsFile)
{
    return {EventId::CalibrationSaved, EventLevel::Information, {settingsFile}};
}

AdminEvent CalibrationCheckedEvent(const CalibrationCheckRecord& check)
{
    // Anything but a good verdict asks for action.
    const EventLevel level = check.verdict == "good" ? EventLevel::Information : EventLevel::Warning;
    return {EventId::CalibrationChecked, level, {check.verdict, check.worstPx, check.checkedAt}};
}

AdminEvent EventsNotWrittenEvent(EventId id, unsigned count, unsigned minutes)
{
    return {EventId::EventsNotWritten,
            EventLevel::Warning,
            {std::to_string(count), std::to_string(static_cast<unsigned>(id)), std::to_string(minutes)}};
}

} // namespace common
