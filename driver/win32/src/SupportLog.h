#pragma once
// The driver's support log: lines noted by any thread (the touch worker's
// 2 ms loop included) wait in a fixed queue without blocking their writer,
// and a thread of their own appends them to the support log file. The same
// thread writes the events reported for the system's event log, rate
// limited, so that a slow event log service holds up no one else.
#include "common/AdminEventQueue.h"
#include "common/EventLogSource.h"
#include "common/SupportLogFile.h"
#include "common/UniqueHandle.h"
#include "driver/FaultLineQueue.h"
#include "driver/FaultLog.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace brelvin {

class SupportLog final : public driver::FaultLog {
public:
    // How long the writer lets lines gather before it appends them.
    static constexpr DWORD kFlushEveryMs = 1000;
    static constexpr DWORD kStopWaitMs = 2000;

    explicit SupportLog(const std::string& path = common::SupportLogFile::DefaultPath());
    ~SupportLog() override;
    SupportLog(const SupportLog&) = delete;
    SupportLog& operator=(const SupportLog&) = delete;

    // Lines noted before Start wait in the queue.
    bool Start();
    // Writes what is left and ends the writer; bounded.
    void Stop();

    void Note(const char* line) override;
    void Report(const common::AdminEvent& event) override;

    const std::string& Path() const { return file_.Path(); }

private:
    static DWORD WINAPI WriterMain(void* self);
    void Run();
    void Flush();
    // The events waiting, and the summaries of ended rate-limit windows;
    // at the end, the summaries of every window.
    void WriteEvents(bool atEnd);

    common::SupportLogFile file_;
    driver::FaultLineQueue queue_;
    common::AdminEventQueue events_;
    common::EventLogSource eventLog_; // the writer's alone
    common::UniqueHandle wake_;
    common::UniqueHandle thread_;
    std::atomic<bool> stop_{false};
};

} // namespace brelvin
