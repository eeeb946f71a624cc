#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace e2e {
namespace {

constexpr double kCameraWidth = 3200.0;
constexpr double kCameraHeight = 2400.0;

bool Matters(sim::MouseKind kind)
{
    return kind == sim::MouseKind::Move || kind == sim::MouseKind::LeftDown || kind == sim::MouseKind::LeftUp ||
           kind == sim::MouseKind::RightDown || kind == sim::MouseKind::RightUp;
}

// The driver's answer to a socket-state query.
constexpr unsigned long long kSocketStateAnswer = 1002;
constexpr unsigned kDrawingAppMarker = WM_APP + 77;

} // namespace

bool IsMessage(const sim::LoggedMessage& message, unsigned number, unsigned long long wParam, long long lParam)
{
    return message.message == number && message.wParam == wParam && message.lParam == lParam;
}

std::size_t Occurrences(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::size_t CountMessages(const std::vector<sim::LoggedMessage>& messages, unsigned number, unsigned long long wParam,
                          long long lParam)
{
    return static_cast<std::size_t>(std::count_if(messages.begin(), messages.end(), [&](const sim::LoggedMessage& m) {
        return IsMessage(m, number, wParam, lParam);
    }));
}

ScreenSize PrimaryScreen()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int ScreenX(double cameraX)
{
    return static_cast<int>(cameraX * PrimaryScreen().width / kCameraWidth);
}
int ScreenY(double cameraY)
{
    return static_cast<int>(cameraY * PrimaryScreen().height / kCameraHeight);
}

std::vector<sim::MouseEvent> InjectedEvents(const std::vector<sim::MouseEvent>& all)
{
    std::vector<sim::MouseEvent> events;
    for (const sim::MouseEvent& event : all) {
        if (event.injected && Matters(event.kind)) events.push_back(event);
    }
    return events;
}

std::string ButtonSequence(const std::vector<sim::MouseEvent>& events)
{
    std::string sequence;
    for (const sim::MouseEvent& event : events) {
        if (event.kind == sim::MouseKind::Move) continue;
        if (!sequence.empty()) sequence += ' ';
        sequence += sim::MouseKindName(event.kind);
    }
    return sequence;
}

std::size_t LeftPresses(const std::vector<sim::MouseEvent>& events)
{
    std::size_t presses = 0;
    for (const sim::MouseEvent& event : events) presses += event.kind == sim::MouseKind::LeftDown;
    return presses;
}

// One pixel of slack: a mapped point can fall a hair either side of a whole
// pixel and is truncated. Absolute coordinates come back on the very pixel
// they were sent for.
bool Near(const sim::MouseEvent& event, int x, int y)
{
    return std::abs(event.x - x) <= 1 && std::abs(event.y - y) <= 1;
}

std::string Describe(const std::vector<sim::MouseEvent>& events)
{
    std::string text;
    for (const sim::MouseEvent& event : events) text += sim::FormatMouseLine(event) + "\n";
    return text;
}

DriverRun::DriverRun()
    : rig_(sim::OwnFolder(), sim::OwnFolder() + "scratch\\", "e2e")
{}

void DriverRun::Start(const std::string& script)
{
    const std::string settings = sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini");
    ASSERT_FALSE(settings.empty()) << "e2e-WBInit.ini missing beside the test";
    ASSERT_TRUE(rig_.Prepare(script, settings)) << rig_.Problem();
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
}

void DriverRun::WaitForScript()
{
    ASSERT_TRUE(rig_.WaitForScript()) << "camera service log:\n"
                                      << sim::ReadWholeFile(rig_.File(sim::kCameraServiceLog));
}

std::vector<sim::MouseEvent>
DriverRun::WaitForEvents(const std::function<bool(const std::vector<sim::MouseEvent>&)>& done)
{
    std::vector<sim::MouseEvent> events;
    sim::WaitUntil(
        [&] {
            events = InjectedEvents(rig_.MouseEvents());
            return done(events);
        },
        kWaitMs);
    return events;
}

std::vector<sim::LoggedMessage> DriverRun::CloseAndCollectMessages()
{
    EXPECT_TRUE(rig_.CloseDriver(kWaitMs)) << "the driver did not end on WM_CLOSE";
    // Posted messages arrive in order: once "exit" is logged, the driver's
    // earlier posts are in the log too.
    PostMessageA(FindWindowA(wnd::kDrawingAppClass, wnd::kDrawingAppCaption), WM_CLOSE, 0, 0);
    EXPECT_TRUE(sim::WaitForLogLine(rig_.File(sim::kDrawingAppLog), "exit", kWaitMs));
    std::vector<sim::LoggedMessage> messages;
    for (const sim::LoggedMessage& message : rig_.DrawingAppMessages()) {
        if (message.message >= WM_USER) messages.push_back(message);
    }
    return messages;
}

} // namespace e2e

namespace e2e {

void DriverRun::StartIdle(const PeerSetup& peers)
{
    const std::string settings = sim::ReadWholeFile(sim::OwnFolder() + peers.settingsFile);
    ASSERT_FALSE(settings.empty()) << peers.settingsFile << " missing beside the test";
    ASSERT_TRUE(rig_.Prepare(std::string(), settings)) << rig_.Problem();
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(peers.listeningDrawingApp ? rig_.StartListeningDrawingApp() : rig_.StartDrawingApp()) << rig_.Problem();
    if (peers.mainTool) {
        ASSERT_TRUE(rig_.StartMainTool()) << rig_.Problem();
    }
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    ASSERT_TRUE(sim::WaitForWindow(wnd::kCameraServiceClass, wnd::kCameraServiceCaption, kWaitMs))
        << "the driver did not start the camera service";
}

void DriverRun::PlayScript(const std::string& script)
{
    // The log outlives each camera service process: count the endings.
    auto endings = [this] {
        std::vector<std::string> lines = LinesStartingWith(sim::kCameraServiceLog, "script ");
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [](const std::string& line) { return line.compare(0, 13, "script begin ") == 0; }),
                    lines.end());
        return lines;
    };
    const std::size_t before = endings().size();
    ASSERT_TRUE(rig_.RestartCameraService(kScriptStart + script)) << rig_.Problem();
    ASSERT_TRUE(sim::WaitUntil([&] { return endings().size() > before; }, sim::kScriptTimeoutMs))
        << Log(sim::kCameraServiceLog);
    ASSERT_EQ(endings().back().compare(0, 12, "script done "), 0) << Log(sim::kCameraServiceLog);
}

void DriverRun::CopyBeside(const std::string& source, const std::string& name)
{
    ASSERT_TRUE(rig_.Folder().CopyIn(sim::OwnFolder() + source, name)) << source << " missing beside the test";
}

HWND DriverRun::DriverWindow() const
{
    return FindWindowA(wnd::kDriverClass, wnd::kDriverCaption);
}

void DriverRun::PostToDriver(unsigned message, WPARAM wParam, LPARAM lParam)
{
    ASSERT_TRUE(PostMessageA(DriverWindow(), message, wParam, lParam));
}

void DriverRun::PostRegistered(const char* name, WPARAM wParam, LPARAM lParam)
{
    PostToDriver(RegisterWindowMessageA(name), wParam, lParam);
}

int DriverRun::AskSocketMode(unsigned timeoutMs)
{
    auto answers = [this] {
        std::vector<sim::LoggedMessage> found;
        for (const sim::LoggedMessage& message : rig_.MainToolMessages()) {
            if (message.message == msg::kBoardEvent && message.wParam == kSocketStateAnswer) found.push_back(message);
        }
        return found;
    };
    const std::size_t before = answers().size();
    PostRegistered(msg::kRegisteredDriverSet, 100, 0);
    if (!sim::WaitUntil([&] { return answers().size() > before; }, timeoutMs)) return -1;
    return static_cast<int>(answers().back().lParam);
}

void DriverRun::SyncDrawingApp()
{
    const std::string marker = sim::FormatMessageLine(sim::LoggedMessage{kDrawingAppMarker, 0, 0});
    const std::size_t before = LinesStartingWith(sim::kDrawingAppLog, marker).size();
    PostMessageA(FindWindowA(wnd::kDrawingAppClass, wnd::kDrawingAppCaption), kDrawingAppMarker, 0, 0);
    ASSERT_TRUE(
        sim::WaitUntil([&] { return LinesStartingWith(sim::kDrawingAppLog, marker).size() > before; }, kWaitMs));
}

std::string DriverRun::Log(const char* name) const
{
    return sim::ReadWholeFile(rig_.File(name));
}

bool DriverRun::WaitForLine(const char* log, const std::string& line, unsigned timeoutMs) const
{
    return sim::WaitForLogLine(rig_.File(log), line, timeoutMs);
}

std::vector<std::string> DriverRun::LinesStartingWith(const char* log, const std::string& prefix) const
{
    return sim::LinesStartingWith(rig_.File(log), prefix);
}

} // namespace e2e
