// A flood of posted messages with random parameters, drawn over every
// message the driver's window handles (and some it does not know), after a
// camera service that wrote random records and before one that dies holding
// the block's lock: the driver keeps running, keeps answering, and the next
// touch presses where every low-level hook sees it (no mouse input reached
// the desktop during the storm; see also FirstPressTest.cpp).
#include "FaultRun.h"

#include "common/Messages.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>

namespace faults {
namespace {

// How many messages, and how many are posted before the test waits for the
// driver to catch up (a posted probe), so its queue never overflows.
constexpr int kStormMessages = 20000;
constexpr int kBatchMessages = 250;
// How long one batch and its probe may take to be handled.
constexpr unsigned kBatchHandledMs = 20000;
// The generator's seed; BRELVIN_STORM_SEED chooses another.
constexpr unsigned kStormSeed = 20240611;
// Several seconds of records as fast as the driver takes them.
constexpr int kRandomRecords = 2500;
// The event codes byte 0 may carry: camera kinds and pen buttons.
constexpr unsigned kRecordEvents[] = {3, 4, 8, 9};

// The driver's timers, and its requests of "CvDriverSet" and their lParams.
constexpr unsigned kTimerIds[] = {67, 68, 103, 114, 1021};
constexpr unsigned kDriverSetRequests[] = {10, 30, 31, 100};
constexpr long kDriverSetQualifiers[] = {1, 6, 7, 8};
// Dialog commands that close the driver: never sent.
constexpr WORD kClosingCommands[] = {2, 1001};
constexpr UINT kSysTimer = 0x0118;
constexpr UINT kDriverTimerRequest = WM_APP + 0x210;
constexpr UINT kPipeWaitEnded = WM_APP + 0x211;
constexpr unsigned long long kSocketStateAnswer = 1002;

struct Posted {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class Storm {
public:
    Storm(unsigned seed, UINT driverSet, UINT ok)
        : random_(seed),
          driverSet_(driverSet),
          ok_(ok)
    {}

    Posted Next()
    {
        switch (Below(15)) {
        case 0: return Make(WM_TIMER, TimerId(), NonZero());
        case 1: return Make(kSysTimer, TimerId(), NonZero());
        case 2: return Make(WM_COMMAND, Command(), Chance(2) ? 0 : Any());
        case 3: return Make(WM_PAINT, Chance(4) ? Any() : 0, Chance(4) ? Any() : 0);
        case 4: return Make(WM_QUERYDRAGICON, Any(), Any());
        case 5: return Make(msg::kPipeForwardStart, Any(), Pick({0, 8, Any()}));
        case 6: return Make(msg::kPipeForwardEnd, Pick({0, 1, Any()}), Pick({0, 1, Any()}));
        case 7: return Make(msg::kSetUseKey, Pick({0, 1, Any()}), Pick({0, 1, Any()}));
        case 8: return Make(msg::kPenButtonsChanged, Pick({0, Any()}), Pick({0, Any()}));
        case 9: return Make(ok_, Any(), Any());
        case 10: return DriverSet();
        case 11: return Make(WM_DEVICECHANGE, Pick({0x8000, 0x8004, 0x0007, 0x0018, Any()}), Any());
        case 12: return Make(kDriverTimerRequest, TimerId(), Pick({0, 1, 50, Any()}));
        case 13: return Make(kPipeWaitEnded, Any(), Any());
        default: return Make(WM_USER + Below(0xC000 - WM_USER), Any(), Any());
        }
    }

private:
    unsigned Below(unsigned bound) { return std::uniform_int_distribution<unsigned>(0, bound - 1)(random_); }
    bool Chance(unsigned inHowMany) { return Below(inHowMany) == 0; }
    unsigned long Any() { return static_cast<unsigned long>(random_()); }
    unsigned long NonZero()
    {
        unsigned long value = 0;
        while (value == 0) value = Any();
        return value;
    }
    unsigned long Pick(std::initializer_list<unsigned long> choices)
    {
        return *(choices.begin() + Below(static_cast<unsigned>(choices.size())));
    }
    unsigned long TimerId()
    {
        if (Chance(3)) return Any();
        return kTimerIds[Below(sizeof kTimerIds / sizeof kTimerIds[0])];
    }
    // Parameters as a sender would write them: 32 bits, sign-extended in a
    // 64-bit build, as a Win32 program's values are.
    static Posted Make(unsigned message, unsigned long wParam, unsigned long lParam)
    {
        return {static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                static_cast<LPARAM>(static_cast<LONG>(static_cast<DWORD>(lParam)))};
    }
    unsigned long Command()
    {
        for (;;) {
            const WORD low = static_cast<WORD>(Chance(2) ? Below(1100) : Any());
            if (low == kClosingCommands[0] || low == kClosingCommands[1]) continue;
            return static_cast<unsigned long>(MAKEWPARAM(low, static_cast<WORD>(Chance(2) ? 0 : Any())));
        }
    }
    Posted DriverSet()
    {
        const unsigned long request = Chance(4) ? Any() : kDriverSetRequests[Below(4)];
        const unsigned long qualifier = Chance(4) ? Any() : static_cast<unsigned long>(kDriverSetQualifiers[Below(4)]);
        return Make(driverSet_, request, qualifier);
    }

    std::mt19937 random_;
    UINT driverSet_;
    UINT ok_;
};

// Records from a camera service gone wrong: statuses mostly 0 to 2 in every
// slot (now and then any byte, or an event code in the first), points
// anywhere in the camera's range and beyond.
std::string RandomRecords(unsigned seed, int count)
{
    std::mt19937 random(seed);
    auto below = [&](unsigned bound) { return std::uniform_int_distribution<unsigned>(0, bound - 1)(random); };
    std::string script;
    for (int n = 0; n < count; ++n) {
        unsigned char bytes[20] = {};
        for (int slot = 0; slot < 4; ++slot) {
            unsigned char* at = bytes + 5 * slot;
            at[0] = static_cast<unsigned char>(below(8) != 0 ? below(3) : below(256));
            if (slot == 0 && below(12) == 0) at[0] = static_cast<unsigned char>(kRecordEvents[below(4)]);
            const unsigned x = below(8) != 0 ? below(3201) : below(65536);
            const unsigned y = below(8) != 0 ? below(2401) : below(65536);
            at[1] = static_cast<unsigned char>(x >> 8);
            at[2] = static_cast<unsigned char>(x);
            at[3] = static_cast<unsigned char>(y >> 8);
            at[4] = static_cast<unsigned char>(y);
        }
        // The camera service cannot write a record of zeros.
        if (std::all_of(std::begin(bytes), std::end(bytes), [](unsigned char b) { return b == 0; })) bytes[5] = 1;
        char hex[41];
        for (int i = 0; i < 20; ++i) std::snprintf(hex + 2 * i, 3, "%02x", bytes[i]);
        script += "raw " + std::string(hex) + "\n";
    }
    return script;
}

unsigned StormSeed()
{
    const char* chosen = std::getenv("BRELVIN_STORM_SEED");
    return chosen && *chosen ? static_cast<unsigned>(std::strtoul(chosen, nullptr, 10)) : kStormSeed;
}

class MessageStorm : public FaultRun {
protected:
    // Posts `messages` drawn from `seed` to the driver's window, in batches
    // each followed by a probe that must be answered.
    void PostStorm(unsigned seed, int messages)
    {
        std::printf("message storm: %d messages, seed %u\n", messages, seed);
        RecordProperty("seed", std::to_string(seed));
        const UINT driverSet = RegisterWindowMessageA(msg::kRegisteredDriverSet);
        Storm storm(seed, driverSet, RegisterWindowMessageA(msg::kRegisteredOk));
        HWND driver = DriverWindow();
        ASSERT_NE(driver, nullptr);

        int refused = 0; // posts the system itself turns down (pointer-carrying notices)
        for (int sent = 0, batch = 1; sent < messages; ++batch) {
            const std::size_t answersBefore = SocketStateAnswers();
            std::size_t queries = 0;
            Posted last;
            for (int i = 0; i < kBatchMessages && sent < messages; ++i, ++sent) {
                last = storm.Next();
                if (!PostMessageA(driver, last.message, last.wParam, last.lParam)) {
                    ASSERT_TRUE(rig_.Driver().Running())
                        << "the driver died in batch " << batch << " (seed " << seed << "), last message 0x" << std::hex
                        << last.message << " " << last.wParam << " " << last.lParam;
                    ++refused;
                    continue;
                }
                if (last.message == driverSet && last.wParam == 100) ++queries;
            }
            ASSERT_TRUE(PostMessageA(driver, driverSet, 100, 0))
                << "the driver's window is gone after batch " << batch << " (seed " << seed << "); driver "
                << (rig_.Driver().Running() ? "running" : "ended");
            const bool handled =
                sim::WaitUntil([&] { return SocketStateAnswers() >= answersBefore + queries + 1; }, kBatchHandledMs);
            ASSERT_TRUE(rig_.Driver().Running()) << "the driver died in batch " << batch << " (seed " << seed
                                                 << ", exit code " << rig_.Driver().ExitCode() << ")";
            ASSERT_TRUE(handled) << "the driver did not get through batch " << batch << " within " << kBatchHandledMs
                                 << " ms (seed " << seed << ")";
        }
        std::printf("message storm: %d posts refused by the system\n", refused);
    }

    std::size_t SocketStateAnswers() const
    {
        std::size_t answers = 0;
        for (const sim::LoggedMessage& message : rig_.MainToolMessages()) {
            if (message.message == msg::kBoardEvent && message.wParam == kSocketStateAnswer) ++answers;
        }
        return answers;
    }
};

TEST_F(MessageStorm, RandomRecordsAStormAndAnAbandonedLockLeaveTheNextTouchPressing)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers(true));
    const unsigned seed = StormSeed();
    // Random records, releases in slots 0 and 2, then 800 ms without records.
    ASSERT_NO_FATAL_FAILURE(
        StartService(RandomRecords(seed, kRandomRecords) + "rec 2 1600 1200 0 0 0 2 1600 1200\npause 800\n"));
    const std::string ending = WaitForScriptEnd(kRandomRecords * 10 + e2e::kWaitMs);
    ASSERT_EQ(ending.compare(0, 12, "script done "), 0) << ending;
    ASSERT_NO_FATAL_FAILURE(PostStorm(seed, kStormMessages));

    // Back to a plain board: no socket, no board keys.
    PostRegistered(msg::kRegisteredDriverSet, 31, 6);
    PostToDriver(msg::kSetUseKey, 1, 0);
    EXPECT_EQ(AskSocketMode(), 0) << "the socket mode did not end";
    // Another process ends while it holds the block's lock.
    ASSERT_NO_FATAL_FAILURE(StartService("die-holding-lock\n"));
    ASSERT_TRUE(WaitForServiceLine("script die-holding-lock")) << Log(sim::kCameraServiceLog);

    // Three samples at the centre and a release: pressed and released there.
    const std::size_t mark = EventMark();
    ASSERT_NO_FATAL_FAILURE(StartService(Tap(1600, 1200)));
    const std::vector<sim::MouseEvent> events = WaitForEventsSince(
        mark, [](const std::vector<sim::MouseEvent>& seen) { return Count(seen, sim::MouseKind::LeftUp) >= 1; });
    ASSERT_EQ(e2e::ButtonSequence(events), "ldown lup") << e2e::Describe(events);
    const auto press = FindFrom(events, events.begin(), sim::MouseKind::LeftDown);
    EXPECT_TRUE(e2e::Near(*press, e2e::ScreenX(1600), e2e::ScreenY(1200))) << e2e::Describe(events);
    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
