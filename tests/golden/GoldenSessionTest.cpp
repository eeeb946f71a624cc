// The recorded board session, replayed through the driver's core, must send
// out exactly what the golden files hold: every mouse event with its flags
// and coordinates, every cursor placement, every message to a peer, every
// touch-socket packet and forwarded record, the BoardArea values, and with
// [Multitouch] on every TUIO bundle and touch frame. Whatever a change adds
// beyond this behaviour is off by default, and with the default nothing here
// moves.
//
// BRELVIN_REWRITE_GOLDEN=1 writes the files anew from this build. Only a
// deliberate change of the driver's behaviour may use it, in a commit that
// says why the output changed; a golden file rewritten to make this test
// pass is a defect.
#include "SessionReplay.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace golden {
namespace {

const std::string kSessions = BRELVIN_SOURCE_DIR "/sim/sessions/";
const std::string kGoldenFiles = BRELVIN_SOURCE_DIR "/tests/golden/";
// Where a failing comparison leaves this run's transcript.
const std::string kRunFolder = BRELVIN_BINARY_DIR "/";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Rewriting()
{
    const char* value = std::getenv("BRELVIN_REWRITE_GOLDEN");
    return value && std::string(value) == "1";
}

// The first line where the two texts part, for the failure message.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
    std::istringstream e(expected), a(actual);
    std::string el, al;
    for (int line = 1;; ++line) {
        const bool moreE = static_cast<bool>(std::getline(e, el));
        const bool moreA = static_cast<bool>(std::getline(a, al));
        if (!moreE && !moreA) return "the texts differ only in their line ends";
        if (!moreE || !moreA || el != al) {
            return "line " + std::to_string(line) + ":\n  golden: " + (moreE ? el : "(end)") +
                   "\n  now:    " + (moreA ? al : "(end)");
        }
    }
}

void ExpectGolden(const std::string& name, const ReplayOptions& options)
{
    const std::string script = ReadFile(kSessions + "board-session.script");
    const std::string settings = ReadFile(kSessions + "board-session.ini");
    ASSERT_FALSE(script.empty());
    ASSERT_FALSE(settings.empty());
    const std::string transcript = ReplayBoardSession(script, settings, options);
    ASSERT_EQ(transcript.find("\n     0 error"), std::string::npos) << transcript;

    const std::string path = kGoldenFiles + name;
    if (Rewriting()) {
        std::ofstream(path, std::ios::binary) << transcript;
        GTEST_SKIP() << "rewrote " << path;
    }
    const std::string golden = ReadFile(path);
    ASSERT_FALSE(golden.empty()) << path << " is missing";
    if (transcript != golden) {
        const std::string actual = kRunFolder + name + ".now";
        std::ofstream(actual, std::ios::binary) << transcript;
        FAIL() << "the session's output is no longer " << path << " (this run's output: " << actual << "); "
               << FirstDifference(golden, transcript);
    }
}

TEST(GoldenSession, DefaultSettingsSendWhatTheGoldenFileHolds)
{
    ExpectGolden("board-session.golden", ReplayOptions{});
}

TEST(GoldenSession, MultitouchOutputsSendWhatTheGoldenFileHolds)
{
    ReplayOptions options;
    options.multitouch = true;
    ExpectGolden("board-session-multitouch.golden", options);
}

// The same session with the adaptive chains: the mouse and the touch socket,
// then every tracked contact (TUIO and touch injection).
TEST(GoldenSession, AdaptiveSmoothingSendsWhatTheGoldenFilesHold)
{
    ReplayOptions options;
    options.adaptive = true;
    ExpectGolden("board-session-adaptive.golden", options);
    options.multitouch = true;
    ExpectGolden("board-session-multitouch-adaptive.golden", options);
}

} // namespace
} // namespace golden
