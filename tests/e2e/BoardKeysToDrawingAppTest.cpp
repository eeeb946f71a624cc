// Board keys and pen buttons: what the drawing application receives and the
// clicks that complete a pen-button press.
#include "DriverRun.h"

#include "common/Messages.h"
#include "sim/Waiting.h"

#include <windows.h>

namespace e2e {
namespace {

// Key k sits at camera (100 + 200k, 150) and again at (100 + 200k, 2250);
// key 1 one row lower gives a tolerance of a few pixels.
std::string ButtonSection() {
    std::string section = "[Button]\n";
    for (int n = 0; n < 28; ++n) {
        const int key = n % 14;
        const int y = n < 14 ? (key == 1 ? 300 : 150) : 2250;
        section += "Rpt" + std::to_string(n) + ".x=" + std::to_string(100 + 200 * key) + "\n";
        section += "Rpt" + std::to_string(n) + ".y=" + std::to_string(y) + "\n";
    }
    return section;
}

// A whole contact on the first place of `key`: the first sample only arms,
// the second is the press the key takes.
std::string Tap(int key) {
    const std::string at = std::to_string(100 + 200 * key) + " 150\n";
    return "down " + at + "down " + at + "up " + at;
}

std::string MessageLine(unsigned message, unsigned long long wParam, long long lParam) {
    return "msg " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam);
}

bool Same(const std::vector<sim::LoggedMessage>& actual, const std::vector<sim::LoggedMessage>& expected) {
    if (actual.size() != expected.size()) return false;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i].message != expected[i].message || actual[i].wParam != expected[i].wParam ||
            actual[i].lParam != expected[i].lParam) {
            return false;
        }
    }
    return true;
}

std::string Describe(const std::vector<sim::LoggedMessage>& messages) {
    std::string text;
    for (const sim::LoggedMessage& m : messages) text += MessageLine(m.message, m.wParam, m.lParam) + "\n";
    return text;
}

constexpr long long kDriverClosingNotice = 0x119;

class BoardKeysRun : public DriverRun {
protected:
    void StartWithKeys(const std::string& script, const std::string& extraSettings = "") {
        std::string settings = sim::ReadWholeFile(sim::OwnFolder() + "e2e-WBInit.ini");
        ASSERT_FALSE(settings.empty()) << "e2e-WBInit.ini missing beside the test";
        const auto useKey = settings.find("USE_KEY=0");
        ASSERT_NE(useKey, std::string::npos);
        settings.replace(useKey, 9, "USE_KEY=1");
        settings += ButtonSection() + extraSettings;
        ASSERT_TRUE(rig_.Prepare(script, settings)) << rig_.Problem();
        ASSERT_TRUE(rig_.StartRecorder()) << rig_.Problem();
        ASSERT_TRUE(rig_.StartDrawingApp()) << rig_.Problem();
        ASSERT_TRUE(rig_.StartDriver()) << rig_.Problem();
    }
    bool WaitForDrawingAppLine(const std::string& line) {
        return sim::WaitForLogLine(rig_.File(sim::kDrawingAppLog), line, kWaitMs);
    }
};

TEST_F(BoardKeysRun, CountedKeyPressedTwiceWithinAPeriodIsOneDoublePress) {
    StartWithKeys(kScriptStart + Tap(6) + Tap(6));
    WaitForScript();
    ASSERT_TRUE(WaitForDrawingAppLine(MessageLine(msg::kBoardEvent, 19, 0)));
    const auto messages = CloseAndCollectMessages();
    EXPECT_TRUE(Same(messages, {{msg::kBoardEvent, 275, 0},
                                {msg::kBoardEvent, 19, 0},
                                {msg::kBoardEvent, 0, kDriverClosingNotice}}))
        << Describe(messages);
    const std::string buttons = ButtonSequence(InjectedEvents(rig_.MouseEvents()));
    EXPECT_EQ(buttons.find("ldown"), std::string::npos) << "a key press reached the desktop: " << buttons;
}

TEST_F(BoardKeysRun, FrontPenButtonIsNotifiedAndCompletedWithADoubleClick) {
    StartWithKeys(kScriptStart + "event 8\nsync 1\n", "[PENVARO]\nIF_SET_F_NO_T=1\n");
    WaitForScript();
    ASSERT_TRUE(WaitForDrawingAppLine(MessageLine(msg::kPenButtonEvent, 1, 0)));
    const auto events = WaitForEvents(
        [](const std::vector<sim::MouseEvent>& e) { return ButtonSequence(e) == "ldown lup ldown lup"; });
    EXPECT_EQ(ButtonSequence(events), "ldown lup ldown lup") << e2e::Describe(events);
    const auto messages = CloseAndCollectMessages();
    EXPECT_TRUE(Same(messages, {{msg::kPenButtonEvent, 1, 0}, {msg::kBoardEvent, 0, kDriverClosingNotice}}))
        << Describe(messages);
}

} // namespace
} // namespace e2e
