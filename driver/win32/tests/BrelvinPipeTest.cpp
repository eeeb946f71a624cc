// Both ends of a named pipe through the plain pipe channel.
#include "PipeReads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

namespace {

using brelvin::CBrelvinPipe;
using brelvin::ReadExactly;

std::string TestPipeName()
{
    return "\\\\.\\pipe\\BrelvinPlainTest_" + std::to_string(GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// Opens the client end once the server's instance exists and waits.
bool OpenClientWhenReady(CBrelvinPipe& client, const std::string& name)
{
    const DWORD start = GetTickCount();
    while (!client.Open(CBrelvinPipe::kClient, name.c_str())) {
        if (GetTickCount() - start > 5000) return false;
        if (!WaitNamedPipeA(name.c_str(), 100)) Sleep(1);
    }
    return true;
}

TEST(BrelvinPipeTest, ServerAndClientExchangeBytesBothWays)
{
    const std::string name = TestPipeName();
    CBrelvinPipe server;
    auto serving = std::async(std::launch::async, [&] { return server.Open(CBrelvinPipe::kServer, name.c_str()); });

    CBrelvinPipe client;
    ASSERT_TRUE(OpenClientWhenReady(client, name));
    ASSERT_EQ(serving.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    ASSERT_TRUE(serving.get());

    const std::vector<std::uint8_t> request = {1, 2, 3, 0, 255, 7};
    const std::vector<std::uint8_t> answer = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 42};
    // A pipe may hold nothing for its reader, so each write has a reader
    // waiting on another thread.
    auto asking = std::async(std::launch::async, [&] { return client.Write(request.data(), request.size()); });
    EXPECT_EQ(ReadExactly(server, request.size()), request);
    EXPECT_TRUE(asking.get());
    auto answering = std::async(std::launch::async, [&] { return server.Write(answer.data(), answer.size()); });
    EXPECT_EQ(ReadExactly(client, answer.size()), answer);
    EXPECT_TRUE(answering.get());
}

TEST(BrelvinPipeTest, ReadAndWriteFailOnceThePeerHasGone)
{
    const std::string name = TestPipeName();
    CBrelvinPipe server;
    auto serving = std::async(std::launch::async, [&] { return server.Open(CBrelvinPipe::kServer, name.c_str()); });
    {
        CBrelvinPipe client;
        ASSERT_TRUE(OpenClientWhenReady(client, name));
        ASSERT_EQ(serving.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        ASSERT_TRUE(serving.get());
    }
    std::uint8_t buffer[4];
    EXPECT_EQ(server.Read(buffer, sizeof buffer), 0);
    const std::uint8_t byte = 1;
    EXPECT_FALSE(server.Write(&byte, 1));
}

TEST(BrelvinPipeTest, OpenFailsWithoutAPipeOrAKnownMode)
{
    const std::string name = TestPipeName();
    CBrelvinPipe pipe;
    EXPECT_FALSE(pipe.Open(CBrelvinPipe::kClient, name.c_str()));
    EXPECT_FALSE(pipe.Open(3, name.c_str()));
    EXPECT_FALSE(pipe.Open(CBrelvinPipe::kServer, nullptr));
    const std::uint8_t byte = 1;
    EXPECT_FALSE(pipe.Write(&byte, 1));
    std::uint8_t buffer[4];
    EXPECT_EQ(pipe.Read(buffer, sizeof buffer), 0);
}

} // namespace
