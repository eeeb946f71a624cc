#include "SupportLog.h"

#include <string>
#include <vector>

namespace brelvin {

SupportLog::SupportLog(const std::string& path)
    : file_(path, "Brelvin"),
      wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{}

SupportLog::~SupportLog()
{
    Stop();
}

bool SupportLog::Start()
{
    if (thread_) return true;
    stop_ = false;
    thread_.Reset(CreateThread(nullptr, 0, &SupportLog::WriterMain, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

void SupportLog::Stop()
{
    if (thread_) {
        stop_ = true;
        if (wake_) SetEvent(wake_.Get());
        // A writer stuck on a slow disk is left to the process's end.
        if (WaitForSingleObject(thread_.Get(), kStopWaitMs) != WAIT_OBJECT_0) {
            thread_.Release();
            return;
        }
        thread_.Reset();
    }
    Flush();
    WriteEvents(true);
}

void SupportLog::Note(const char* line)
{
    queue_.Note(line);
    // Setting an event never waits; the writer picks the line up soon.
    if (wake_) SetEvent(wake_.Get());
}

void SupportLog::Report(const common::AdminEvent& event)
{
    try {
        events_.Push(event, GetTickCount());
    } catch (...) {
        // No memory for the event's texts: the event is lost, nothing else.
        return;
    }
    if (wake_) SetEvent(wake_.Get());
}

DWORD WINAPI SupportLog::WriterMain(void* self)
{
    try {
        static_cast<SupportLog*>(self)->Run();
    } catch (...) {
        // The log is the last thing that may take the driver down.
    }
    return 0;
}

void SupportLog::Run()
{
    while (!stop_) {
        WaitForSingleObject(wake_.Get(), kFlushEveryMs);
        // Lines noted in a burst go out together.
        Sleep(50);
        Flush();
        WriteEvents(false);
    }
}

void SupportLog::Flush()
{
    driver::FaultLineQueue::Taken taken = queue_.TakeAll();
    if (taken.dropped != 0) {
        taken.lines.push_back(std::to_string(taken.dropped) + " further lines were dropped (too many at once).");
    }
    if (!taken.lines.empty()) file_.Append(taken.lines);
}

void SupportLog::WriteEvents(bool atEnd)
{
    const std::vector<common::AdminEvent> events = atEnd ? events_.TakeAtEnd() : events_.Take(GetTickCount());
    // A refusal is counted by the source; the driver goes on either way.
    for (const common::AdminEvent& event : events) eventLog_.Write(event);
}

} // namespace brelvin
