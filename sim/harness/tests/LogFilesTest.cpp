#include "sim/LogFiles.h"

#include "sim/LineLog.h"
#include "sim/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace sim {
namespace {

class LogFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.Ok()); }

    ScratchFolder folder_{OwnFolder() + "scratch\\", "kit-logs"};
    std::string log_ = folder_.File("Stand-in.log");
};

TEST_F(LogFilesTest, ALineCountsOnceItsLineEndIsWritten)
{
    ASSERT_TRUE(folder_.Write("Stand-in.log", "start\r\nmsg 1025 1 2\nscript done 4\r\nscript do"));
    EXPECT_EQ(LogLines(log_), (std::vector<std::string>{"start", "msg 1025 1 2", "script done 4"}));
    EXPECT_TRUE(LogLines(folder_.File("missing.log")).empty());
}

TEST_F(LogFilesTest, CountsAndFindsWholeLinesAndLinesByTheirStart)
{
    ASSERT_TRUE(folder_.Write("Stand-in.log", "start\r\nscript done 3\r\nstart\r\nscript begin 2\r\nstarted\r\n"));
    EXPECT_EQ(CountLines(log_, "start"), 2);
    EXPECT_EQ(CountLines(log_, "script"), 0);
    EXPECT_EQ(CountLinesStartingWith(log_, "start"), 3);
    EXPECT_EQ(LinesStartingWith(log_, "script "), (std::vector<std::string>{"script done 3", "script begin 2"}));
    EXPECT_EQ(FindLogLine(log_, "script "), "script done 3");
    EXPECT_EQ(FindLogLine(log_, "exit"), "");
    EXPECT_EQ(CountLines(folder_.File("missing.log"), "start"), 0);
}

TEST_F(LogFilesTest, ReadsTheMessagesALoggingWindowNoted)
{
    ASSERT_TRUE(folder_.Write("Stand-in.log", "start\r\nmsg 1025 7 -2\r\nnoise\r\nmsg 32768 0 0\r\nexit\r\n"));
    const std::vector<LoggedMessage> messages = MessagesInLog(log_);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, 1025u);
    EXPECT_EQ(messages[0].wParam, 7u);
    EXPECT_EQ(messages[0].lParam, -2);
    EXPECT_EQ(messages[1].message, 32768u);
}

TEST_F(LogFilesTest, WaitsForALineAnotherWriterAppends)
{
    ASSERT_TRUE(AppendLine(log_, "start"));
    std::thread writer([this] {
        AppendText(log_, "rea");
        AppendText(log_, "dy\r\n");
    });
    EXPECT_TRUE(WaitForLogLine(log_, "ready", 20000));
    writer.join();
    EXPECT_TRUE(WaitForLogLine(
        log_, [](const std::string& line) { return line.size() == 5; }, 0));
    EXPECT_FALSE(WaitForLogLine(log_, "rea", 20)) << "a part of a line is no line";
}

} // namespace
} // namespace sim
