// Touch injection switched on where the system has none (Wine, Windows 7):
// the driver says so once in the support log and drives the mouse exactly
// as without the setting.
#include "DriverRun.h"

#include "common/SupportLogFile.h"
#include "sim/LineLog.h"
#include "sim/Waiting.h"

#include <string>

namespace e2e {
namespace {

using TouchInjectionFallback = DriverRun;

TEST_F(TouchInjectionFallback, WithoutTouchInjectionTheMouseCarriesTheContacts)
{
    const std::string logPath = common::SupportLogFile::DefaultPath();
    const std::size_t logBefore = sim::ReadWholeFile(logPath).size();
    const std::string settings =
        sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini") + "\r\n[Multitouch]\r\nTOUCH_INJECTION=1\r\n";
    ASSERT_TRUE(rig_.Prepare(kScriptStart + "down 1600 1200\nhold 1600 1200 3\nup 1600 1200\n", settings))
        << rig_.Problem();
    ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
    ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    WaitForScript();
    const auto events =
        WaitForEvents([](const std::vector<sim::MouseEvent>& e) { return ButtonSequence(e) == "ldown lup"; });
    ASSERT_EQ(ButtonSequence(events), "ldown lup") << Describe(events);
    for (const sim::MouseEvent& event : events) {
        if (event.kind == sim::MouseKind::LeftDown) {
            EXPECT_TRUE(Near(event, ScreenX(1600), ScreenY(1200)));
        }
    }
    const std::string since = [&] {
        std::string text;
        sim::WaitUntil(
            [&] {
                text = sim::ReadWholeFile(logPath).substr(logBefore);
                return text.find("no touch injection") != std::string::npos;
            },
            kWaitMs);
        return text;
    }();
    EXPECT_EQ(Occurrences(since, "no touch injection"), 1u) << since;
}

} // namespace
} // namespace e2e
