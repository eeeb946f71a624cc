#include "FaultRun.h"

#include "common/Messages.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <algorithm>

namespace faults {
namespace {

constexpr unsigned kFinalTouchMs = 10000;

} // namespace

std::string Tap(int x, int y)
{
    const std::string at = std::to_string(x) + " " + std::to_string(y);
    return "down " + at + "\nhold " + at + " 2\nup " + at + "\n";
}

std::string TapForEver(int x, int y, unsigned pauseMs)
{
    return "loop\n" + Tap(x, y) + "pause " + std::to_string(pauseMs) + "\nendloop\n";
}

int Count(const std::vector<sim::MouseEvent>& events, sim::MouseKind kind)
{
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [&](const sim::MouseEvent& e) { return e.kind == kind; }));
}

std::vector<sim::MouseEvent>::const_iterator FindFrom(const std::vector<sim::MouseEvent>& events,
                                                      std::vector<sim::MouseEvent>::const_iterator from,
                                                      sim::MouseKind kind)
{
    return std::find_if(from, events.end(), [&](const sim::MouseEvent& e) { return e.kind == kind; });
}

void FaultRun::StartPeers(bool listeningDrawingApp)
{
    StartIdle(e2e::PeerSetup{"e2e-WBInit.ini", listeningDrawingApp, true});
}

void FaultRun::StartService(const std::string& body)
{
    ASSERT_TRUE(rig_.RestartCameraService(e2e::kScriptStart + body, sim::ServiceEnd::Kill)) << rig_.Problem();
}

bool FaultRun::WaitForServiceLine(const std::string& line, unsigned timeoutMs) const
{
    return WaitForLine(sim::kCameraServiceLog, line, timeoutMs);
}

std::string FaultRun::WaitForScriptEnd(unsigned timeoutMs) const
{
    // The log outlives each service: only the last script counts.
    auto lastEnding = [this] {
        std::string ending;
        for (const std::string& line : LinesStartingWith(sim::kCameraServiceLog, "script ")) {
            if (line.compare(0, 13, "script begin ") == 0) {
                ending.clear();
            } else if (line.compare(0, 12, "script done ") == 0 || line.compare(0, 15, "script timeout ") == 0 ||
                       line.compare(0, 15, "script stopped ") == 0 || line.compare(0, 13, "script error ") == 0) {
                ending = line;
            }
        }
        return ending;
    };
    std::string ending;
    sim::WaitUntil([&] { return !(ending = lastEnding()).empty(); }, timeoutMs);
    return ending;
}

std::size_t FaultRun::EventMark() const
{
    return e2e::InjectedEvents(rig_.MouseEvents()).size();
}

std::vector<sim::MouseEvent> FaultRun::EventsSince(std::size_t mark) const
{
    std::vector<sim::MouseEvent> events = e2e::InjectedEvents(rig_.MouseEvents());
    events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(std::min(mark, events.size())));
    return events;
}

std::vector<sim::MouseEvent>
FaultRun::WaitForEventsSince(std::size_t mark, const std::function<bool(const std::vector<sim::MouseEvent>&)>& done,
                             unsigned timeoutMs) const
{
    std::vector<sim::MouseEvent> events;
    sim::WaitUntil(
        [&] {
            events = EventsSince(mark);
            return done(events);
        },
        timeoutMs);
    return events;
}

bool FaultRun::AnswersPosted(unsigned timeoutMs)
{
    return AskSocketMode(timeoutMs) >= 0;
}

void FaultRun::PostToService(unsigned message)
{
    HWND service = FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    ASSERT_NE(service, nullptr) << "no camera service window";
    ASSERT_TRUE(PostMessageA(service, message, 0, 0));
}

void FaultRun::ExpectFinalTouchWorks()
{
    ASSERT_TRUE(rig_.Driver().Running()) << "the driver is no longer running (exit code " << rig_.Driver().ExitCode()
                                         << ")";
    const std::size_t mark = EventMark();
    ASSERT_NO_FATAL_FAILURE(StartService(Tap(kFinalTouchX, kFinalTouchY)));
    WaitForEventsSince(
        mark,
        [](const std::vector<sim::MouseEvent>& seen) {
            return Count(seen, sim::MouseKind::LeftUp) >= 1 && Count(seen, sim::MouseKind::LeftDown) >= 1;
        },
        kFinalTouchMs);
    // Whatever else the touch brings is in the log once its script has ended.
    const std::string ending = WaitForScriptEnd(kFinalTouchMs);
    EXPECT_EQ(ending.compare(0, 12, "script done "), 0) << "the final touch was not taken: " << ending;
    const std::vector<sim::MouseEvent> all = EventsSince(mark);
    ASSERT_EQ(e2e::ButtonSequence(all), "ldown lup") << "the final touch\n" << e2e::Describe(all);
    const auto press = FindFrom(all, all.begin(), sim::MouseKind::LeftDown);
    EXPECT_TRUE(e2e::Near(*press, e2e::ScreenX(kFinalTouchX), e2e::ScreenY(kFinalTouchY)))
        << "the final touch pressed elsewhere\n"
        << e2e::Describe(all);
}

} // namespace faults
