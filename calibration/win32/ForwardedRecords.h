#pragma once
// The raw records of the driver's forwarding pipe, read on a thread of their
// own and handed to the window thread: the driver writes a record every
// 2 ms cycle and must never wait on the calibration's drawing. The reader
// queues what it reads under a lock and posts one message to the window
// when the queue stops being empty, and one when reading has ended; the
// window takes the records and the ending on that message.
//
// Every wait is bounded: a read that brings nothing for silenceMs ends the
// reading (the driver writes on every cycle, zeros included, so silence
// means it no longer forwards), and Stop returns within its bounds whatever
// the thread does. A thread that did not stop in time keeps what it uses
// alive by itself and ends when its read does.
#include "common/UniqueHandle.h"
#include "driver/TouchRecord.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace calibration {

using RawRecord = std::array<std::uint8_t, driver::kTouchRecordSize>;

struct ReaderBounds {
    // The driver writes every 2 ms; a pause this long is no scheduling
    // hiccup, even on a loaded machine, but a driver that stopped.
    DWORD silenceMs = 3000;
    // A driver killed outright breaks its pipe as its process goes; its
    // process object is signalled a moment later. This long tells the two
    // apart without keeping a broken session waiting.
    DWORD driverExitGraceMs = 1000;
    // How long Stop waits for the thread once told to stop: its cancelled
    // read ends at once on a local pipe.
    DWORD stopWaitMs = 1000;
};

class ForwardedRecords {
public:
    enum class Ending {
        None,       // still reading
        Broken,     // the driver closed its end: it ended the forwarding
        DriverGone, // the driver's process ended
        Silent,     // nothing came for silenceMs
        Stopped,    // Stop was called
    };

    // Takes the connected pipe (opened for overlapped I/O) and the driver's
    // process (SYNCHRONIZE access; may be empty, then a broken pipe is
    // Broken). `window` gets `message` (no parameters) as said above.
    ForwardedRecords(common::UniqueHandle pipe, common::UniqueHandle driverProcess, HWND window, UINT message,
                     const ReaderBounds& bounds);
    ~ForwardedRecords();
    ForwardedRecords(const ForwardedRecords&) = delete;
    ForwardedRecords& operator=(const ForwardedRecords&) = delete;

    // False when the thread could not be started.
    bool Start();
    // Window thread: appends the records read since the last call and
    // tells how reading stands.
    Ending Take(std::vector<RawRecord>& records);
    // From now on the pipe's end is the one asked for (Stopped), not news
    // to look into; called before the driver is asked to end the run.
    void ExpectTheEnd();
    // Ends reading: first waits up to `endWaitMs` for the driver to close
    // its end (the ending the driver was asked for), then stops the thread.
    void Stop(DWORD endWaitMs);

private:
    struct Shared;
    static DWORD WINAPI ThreadMain(void* shared);

    std::shared_ptr<Shared> shared_;
    common::UniqueHandle thread_;
};

const char* Name(ForwardedRecords::Ending ending);

} // namespace calibration
