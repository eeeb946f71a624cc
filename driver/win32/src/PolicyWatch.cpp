#include "PolicyWatch.h"

#include "common/AdminEvents.h"
#include "common/PolicyRegistry.h"

namespace brelvin {

bool PolicyWatch::Refresh()
{
    common::PolicyReading reading = common::ReadPolicies();
    if (reading.problems != problems_) {
        for (const std::string& problem : reading.problems) log_.Note(problem.c_str());
        problems_ = std::move(reading.problems);
    }
    if (reading.values == values_) return false;

    const bool hadPolicies = !values_.Empty();
    values_ = std::move(reading.values);
    const std::vector<std::string> sections = values_.Describe();
    for (const std::string& section : sections) {
        log_.NoteF("A policy sets %s; it wins over WBInit.ini.", section.c_str());
    }
    if (!sections.empty()) log_.Report(common::PolicyAppliedEvent(sections));
    if (values_.Empty() && hadPolicies) {
        log_.Note("No policy sets an option any more; WBInit.ini decides them all.");
        log_.Report(common::NoPolicyEvent());
    }
    return true;
}

bool PolicyWatch::IsPolicyAnnouncement(LPARAM lParam)
{
    // The system passes the text along with the message; any other sender
    // can only send it (a posted WM_SETTINGCHANGE is refused), so the
    // pointer is one the system made valid in this process.
    const char* area = reinterpret_cast<const char*>(lParam);
    return area != nullptr && lstrcmpiA(area, "Policy") == 0;
}

} // namespace brelvin
