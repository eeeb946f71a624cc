// The board check's request over the real API: the answer reaches a window
// of the driver's own user and session as WM_COPYDATA, and nothing reaches a
// window of another user or session, or no window at all. Wine runs every
// process as one user, so another user is played by the identity the desk
// believes the driver runs as.
#include "BoardCheckDesk.h"
#include "Win32Desktop.h"

#include "common/BoardStatus.h"
#include "driver/BoardCheckAnswers.h"
#include "testsupport/MessageWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// A window on the test's thread that keeps every answer it is sent.
class AnswerWindow {
public:
    AnswerWindow()
        : window_([this](UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
              if (message != WM_COPYDATA) return std::nullopt;
              const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
              if (data->dwData != common::kBoardStatusTag) return std::nullopt;
              answers.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
              return TRUE;
          })
    {}

    HWND Handle() const { return window_.Handle(); }
    const std::string& ClassName() const { return window_.ClassName(); }
    std::vector<std::string> answers;

private:
    testsupport::MessageWindow window_;
};

class NoRecordings final : public driver::RecordingStorage {
public:
    std::string SettingsText() override { return {}; }
    std::string LocalTime() override { return {}; }
    std::string Save(const std::string&) override { return {}; }
};

class CollectingLog final : public driver::FaultLog {
public:
    void Note(const char* line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

class BoardCheckDeskTest : public ::testing::Test {
protected:
    CollectingLog faults;
    brelvin::Win32Desktop desktop{faults};
    driver::DriverState state;
    driver::CalibrationStore calibration;
    driver::WorkerWatch watch;
    driver::ChannelSlot socket;
    NoRecordings storage;
    driver::BoardCheckAnswers answers{{desktop, state, calibration, watch, socket, storage, faults},
                                      driver::DriverFacts{}};
    AnswerWindow window;
};

TEST_F(BoardCheckDeskTest, AnswersTheDriversOwnUserInItsOwnSession)
{
    brelvin::BoardCheckDesk desk(answers, faults);
    ASSERT_TRUE(brelvin::IdentityOfThisProcess().Known());
    EXPECT_TRUE(desk.OnRequest(reinterpret_cast<WPARAM>(window.Handle()), common::BoardCheckRequest(common::kBoardCheckStatus)));
    ASSERT_EQ(window.answers.size(), 1u);
    EXPECT_EQ(common::ParseBoardStatus(window.answers[0]).protocol, common::kBoardStatusProtocol);
    // A kind the driver does not know is no request.
    EXPECT_FALSE(desk.OnRequest(reinterpret_cast<WPARAM>(window.Handle()), 9));
    EXPECT_EQ(window.answers.size(), 1u);
    EXPECT_EQ(desk.Refusals(), 0u);
}

// The length is the whole of lParam above its low byte: a request for 300 s
// records the longest recording there is, not 300 cut to a byte (44 s).
TEST_F(BoardCheckDeskTest, ARecordingLongerThanTheLongestIsTakenAsTheLongest)
{
    brelvin::BoardCheckDesk desk(answers, faults);
    ASSERT_TRUE(desk.OnRequest(reinterpret_cast<WPARAM>(window.Handle()), common::kBoardCheckRecord + 256 * 300));
    ASSERT_EQ(window.answers.size(), 1u);
    EXPECT_EQ(common::ParseBoardStatus(window.answers[0]).recordingSeconds, common::kRecordingMaxSeconds);
    EXPECT_EQ(common::BoardCheckRequest(common::kBoardCheckRecord, 300),
              common::BoardCheckRequest(common::kBoardCheckRecord, common::kRecordingMaxSeconds));
}

// The settings are read again before the answer, and never for a window the
// driver would not answer.
TEST_F(BoardCheckDeskTest, ReadsTheSettingsAgainBeforeAnsweringOnlyThoseItAnswers)
{
    brelvin::ProcessIdentity otherUser = brelvin::IdentityOfThisProcess();
    otherUser.userSid = "S-1-5-21-1004336348-1177238915-682003330-1001";
    brelvin::BoardCheckDesk asOtherUser(answers, faults, otherUser);
    brelvin::BoardCheckDesk desk(answers, faults);
    std::vector<std::size_t> answersAtRead;
    const auto reader = [&] { answersAtRead.push_back(window.answers.size()); };
    asOtherUser.AttachSettingsReader(reader);
    desk.AttachSettingsReader(reader);
    const WPARAM answerTo = reinterpret_cast<WPARAM>(window.Handle());
    const LPARAM readAgain = common::BoardCheckRequest(common::kBoardCheckReadSettings);

    EXPECT_FALSE(asOtherUser.OnRequest(answerTo, readAgain));
    EXPECT_TRUE(answersAtRead.empty());
    EXPECT_TRUE(desk.OnRequest(answerTo, common::BoardCheckRequest(common::kBoardCheckStatus)));
    EXPECT_TRUE(answersAtRead.empty()) << "a status request reads nothing";
    EXPECT_TRUE(desk.OnRequest(answerTo, readAgain));
    EXPECT_EQ(answersAtRead, (std::vector<std::size_t>{1u}));
    ASSERT_EQ(window.answers.size(), 2u);
    EXPECT_EQ(common::ParseBoardStatus(window.answers[1]).protocol, common::kBoardStatusProtocol);
}

TEST_F(BoardCheckDeskTest, RefusesAnotherUserAnotherSessionAndNoWindow)
{
    brelvin::ProcessIdentity otherUser = brelvin::IdentityOfThisProcess();
    otherUser.userSid = "S-1-5-21-1004336348-1177238915-682003330-1001";
    brelvin::ProcessIdentity otherSession = brelvin::IdentityOfThisProcess();
    otherSession.session += 1;
    brelvin::BoardCheckDesk asOtherUser(answers, faults, otherUser);
    brelvin::BoardCheckDesk inOtherSession(answers, faults, otherSession);
    brelvin::BoardCheckDesk desk(answers, faults);
    const WPARAM answerTo = reinterpret_cast<WPARAM>(window.Handle());
    const LPARAM record = common::BoardCheckRequest(common::kBoardCheckRecord, 5);

    EXPECT_FALSE(asOtherUser.OnRequest(answerTo, record));
    EXPECT_FALSE(inOtherSession.OnRequest(answerTo, record));
    HWND gone = CreateWindowExA(0, window.ClassName().c_str(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(desk.OnRequest(reinterpret_cast<WPARAM>(gone), record));
    EXPECT_FALSE(desk.OnRequest(0, record));
    EXPECT_TRUE(window.answers.empty());
    // Nothing was started for them.
    EXPECT_EQ(watch.Capture().CurrentState(), driver::RecordCapture::State::Idle);
    EXPECT_EQ(asOtherUser.Refusals() + inOtherSession.Refusals() + desk.Refusals(), 4u);
    ASSERT_FALSE(faults.lines.empty());
    EXPECT_NE(faults.lines[0].find("Refused a board check request"), std::string::npos);
}

} // namespace
