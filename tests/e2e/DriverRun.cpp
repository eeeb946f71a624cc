#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"
#include "sim/Waiting.h"

#include <windows.h>

#include <cstdlib>

namespace e2e {
namespace {

constexpr double kCameraWidth = 3200.0;
constexpr double kCameraHeight = 2400.0;

bool Matters(sim::MouseKind kind) {
    return kind == sim::MouseKind::Move || kind == sim::MouseKind::LeftDown || kind == sim::MouseKind::LeftUp ||
           kind == sim::MouseKind::RightDown || kind == sim::MouseKind::RightUp;
}

} // namespace

ScreenSize PrimaryScreen() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

int ScreenX(double cameraX) { return static_cast<int>(cameraX * PrimaryScreen().width / kCameraWidth); }
int ScreenY(double cameraY) { return static_cast<int>(cameraY * PrimaryScreen().height / kCameraHeight); }

std::vector<sim::MouseEvent> InjectedEvents(const std::vector<sim::MouseEvent>& all) {
    std::vector<sim::MouseEvent> events;
    for (const sim::MouseEvent& event : all) {
        if (event.injected && Matters(event.kind)) events.push_back(event);
    }
    return events;
}

std::string ButtonSequence(const std::vector<sim::MouseEvent>& events) {
    std::string sequence;
    for (const sim::MouseEvent& event : events) {
        if (event.kind == sim::MouseKind::Move) continue;
        if (!sequence.empty()) sequence += ' ';
        sequence += sim::MouseKindName(event.kind);
    }
    return sequence;
}

// Two pixels of slack: a mapped point can fall a hair short of a whole pixel
// and is truncated, and absolute coordinates come back as ax * width / 65536,
// truncated again.
bool Near(const sim::MouseEvent& event, int x, int y) {
    return std::abs(event.x - x) <= 2 && std::abs(event.y - y) <= 2;
}

std::string Describe(const std::vector<sim::MouseEvent>& events) {
    std::string text;
    for (const sim::MouseEvent& event : events) text += sim::FormatMouseLine(event) + "\n";
    return text;
}

DriverRun::DriverRun() : rig_(sim::OwnFolder(), sim::OwnFolder() + "scratch\\", "e2e") {}

void DriverRun::Start(const std::string& script) {
    const std::string settings = sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini");
    ASSERT_FALSE(settings.empty()) << "e2e-WBInit.ini missing beside the test";
    ASSERT_TRUE(rig_.Prepare(script, settings)) << rig_.Problem();
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
}

void DriverRun::WaitForScript() {
    ASSERT_TRUE(rig_.WaitForScript())
        << "camera service log:\n"
        << sim::ReadWholeFile(rig_.File(sim::kCameraServiceLog));
}

std::vector<sim::MouseEvent> DriverRun::WaitForEvents(
    const std::function<bool(const std::vector<sim::MouseEvent>&)>& done) {
    std::vector<sim::MouseEvent> events;
    sim::WaitUntil(
        [&] {
            events = InjectedEvents(rig_.MouseEvents());
            return done(events);
        },
        kWaitMs);
    return events;
}

std::vector<sim::LoggedMessage> DriverRun::CloseAndCollectMessages() {
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
