#include "common/EventLogSource.h"

#include "common/TextEncoding.h"

#include <vector>

namespace common {
namespace {

std::wstring SourceName()
{
    return WideFromCodePage(kEventSourceName);
}

} // namespace

WORD EventTypeOf(EventLevel level)
{
    switch (level) {
    case EventLevel::Information: return EVENTLOG_INFORMATION_TYPE;
    case EventLevel::Warning: return EVENTLOG_WARNING_TYPE;
    case EventLevel::Error: return EVENTLOG_ERROR_TYPE;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

bool EventLogSource::Open()
{
    if (!source_) source_.Reset(RegisterEventSourceW(nullptr, SourceName().c_str()));
    return static_cast<bool>(source_);
}

bool EventLogSource::Write(const AdminEvent& event)
{
    if (!Open()) {
        ++refused_;
        lastRefusal_ = GetLastError();
        return false;
    }
    std::vector<std::wstring> inserts;
    inserts.reserve(event.inserts.size());
    for (const std::string& insert : event.inserts) inserts.push_back(WideFromCodePage(insert));
    std::vector<LPCWSTR> strings;
    for (const std::wstring& insert : inserts) strings.push_back(insert.c_str());
    // The ID is the message's own: no severity or facility bits, so Event
    // Viewer shows the documented number.
    const BOOL written = ReportEventW(source_.Get(), EventTypeOf(event.level), 0, static_cast<DWORD>(event.id), nullptr,
                                      static_cast<WORD>(strings.size()), 0, strings.empty() ? nullptr : strings.data(),
                                      nullptr);
    if (!written) {
        ++refused_;
        lastRefusal_ = GetLastError();
        return false;
    }
    ++written_;
    return true;
}

bool ReportAdminEvent(const AdminEvent& event)
{
    try {
        EventLogSource source;
        return source.Write(event);
    } catch (...) {
        // Out of memory for the inserts: the event is the one thing lost.
        return false;
    }
}

} // namespace common
