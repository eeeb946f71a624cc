// The forwarding pipe as the driver window uses it: the window is nudged
// when the client arrives or goes, records reach the client unchanged,
// neither a client that never comes nor one that stops reading can hold up
// the window or the writer, and only the driver's own user may connect.
#include "ForwardingPipeHost.h"
#include "PipeReads.h"

#include "common/UniqueHandle.h"
#include "driver/FaultLineQueue.h"
#include "testsupport/MessageWindow.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using brelvin::CBrelvinPipe;
using brelvin::ReadExactly;

using Link = driver::PipeInstance::Link;

// A message-only window that counts the nudges it is posted.
class ReportWindow {
public:
    ReportWindow()
        : window_(
              [this](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
                  if (message != brelvin::kForwardingNews) return std::nullopt;
                  EXPECT_EQ(wParam, 0u) << "a nudge carries nothing";
                  EXPECT_EQ(lParam, 0) << "a nudge carries nothing";
                  ++nudges_;
                  return 0;
              },
              testsupport::MessageWindow::Kind::MessageOnly)
    {}

    HWND Handle() const { return window_.Handle(); }
    int Nudges() const { return nudges_; }

    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
    {
        return window_.PumpUntil(done, timeoutMs);
    }

    // Until a nudge came after which the instance's link is `link`.
    bool AwaitLink(const driver::PipeInstance& instance, Link link)
    {
        const int before = nudges_;
        return PumpUntil([&] { return nudges_ > before && instance.CurrentLink() == link; }) ||
               (nudges_ > 0 && instance.CurrentLink() == link);
    }

private:
    int nudges_ = 0;
    testsupport::MessageWindow window_;
};

std::vector<std::uint8_t> Record(int index)
{
    std::vector<std::uint8_t> record(20);
    for (int i = 0; i < 20; ++i) record[i] = static_cast<std::uint8_t>(index * 20 + i);
    return record;
}

class ForwardingPipeHostTest : public ::testing::Test {
protected:
    ForwardingPipeHostTest()
        : name("\\\\.\\pipe\\BrelvinTest_" + std::to_string(GetCurrentProcessId()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())
    {}

    void SetUp() override { ASSERT_NE(window.Handle(), nullptr); }

    brelvin::Win32ForwardingPipeHost Host(const brelvin::PipeInstanceBounds& bounds = {})
    {
        return brelvin::Win32ForwardingPipeHost(window.Handle(), Faults(), brelvin::kForwardingNews, {name, bounds});
    }

    // An instance kept for an operation that outlived its cancellation may
    // note it after the test: the notes outlive every test.
    static driver::FaultLineQueue& Faults()
    {
        static driver::FaultLineQueue faults;
        return faults;
    }
    static std::vector<std::string> NotesWith(const std::string& text)
    {
        std::vector<std::string> found;
        for (const std::string& line : Faults().TakeAll().lines)
            if (line.find(text) != std::string::npos) found.push_back(line);
        return found;
    }

    // Creates an instance, connects a client and waits for the report.
    std::shared_ptr<driver::PipeInstance> Connect(brelvin::Win32ForwardingPipeHost& host, CBrelvinPipe& client)
    {
        auto instance = host.CreateAndAwaitClient();
        if (!instance) {
            ADD_FAILURE() << "no instance";
            return nullptr;
        }
        if (!client.Open(CBrelvinPipe::kClient, name.c_str())) {
            ADD_FAILURE() << "client could not open the pipe";
            return nullptr;
        }
        if (!window.AwaitLink(*instance, Link::Connected)) {
            ADD_FAILURE() << "no nudge for the connection";
            return nullptr;
        }
        return instance;
    }

    const std::string name;
    ReportWindow window;
};

brelvin::PipeInstanceBounds WriteWait(DWORD writeWaitMs)
{
    brelvin::PipeInstanceBounds bounds;
    bounds.writeWaitMs = writeWaitMs;
    return bounds;
}

// A system whose cancellation leaves the operation running.
BOOL WINAPI CancellationThatNeverEnds(HANDLE, LPOVERLAPPED)
{
    return TRUE;
}

brelvin::PipeInstanceBounds CancellationNeverEnds()
{
    brelvin::PipeInstanceBounds bounds;
    bounds.cancelIo = &CancellationThatNeverEnds;
    return bounds;
}

TEST_F(ForwardingPipeHostTest, TheClientIsReportedAndRecordsReachItUnchanged)
{
    auto host = Host();
    CBrelvinPipe client;
    auto instance = Connect(host, client);
    ASSERT_NE(instance, nullptr);

    std::vector<std::uint8_t> expected;
    for (int i = 0; i < 12; ++i) {
        const std::vector<std::uint8_t> record = Record(i);
        expected.insert(expected.end(), record.begin(), record.end());
    }
    // The pipe may buffer nothing, so the client reads while records go.
    auto reading = std::async(std::launch::async, [&] { return ReadExactly(client, expected.size()); });
    for (int i = 0; i < 12; ++i) {
        const std::vector<std::uint8_t> record = Record(i);
        EXPECT_TRUE(instance->Write(record.data(), record.size())) << "record " << i;
    }
    const bool allArrived = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    instance->Close();
    ASSERT_TRUE(allArrived);
    EXPECT_EQ(reading.get(), expected);
    EXPECT_EQ(instance->DeliveredWrites(), 12u);
}

TEST_F(ForwardingPipeHostTest, NothingIsWrittenBeforeTheClientCame)
{
    auto host = Host();
    auto instance = host.CreateAndAwaitClient();
    ASSERT_NE(instance, nullptr);
    const std::vector<std::uint8_t> record = Record(1);
    EXPECT_FALSE(instance->Write(record.data(), record.size()));
    EXPECT_EQ(instance->CurrentLink(), Link::AwaitingClient);
    EXPECT_EQ(instance->DeliveredWrites(), 0u);
}

TEST_F(ForwardingPipeHostTest, ClosingWhileAwaitingEndsTheWaitAndTheNextRunStillWorks)
{
    auto host = Host();
    auto abandoned = host.CreateAndAwaitClient();
    ASSERT_NE(abandoned, nullptr);
    abandoned->Close();
    EXPECT_EQ(abandoned->CurrentLink(), Link::Lost);
    abandoned.reset();

    CBrelvinPipe client;
    auto instance = Connect(host, client);
    ASSERT_NE(instance, nullptr);
}

TEST_F(ForwardingPipeHostTest, RunAfterRunNeverRunsOutOfInstances)
{
    auto host = Host();
    for (int run = 0; run < 60; ++run) {
        CBrelvinPipe client;
        auto instance = Connect(host, client);
        ASSERT_NE(instance, nullptr) << "run " << run;
        instance->Close();
    }
}

// The calibration program crashed: its end of the pipe is gone. The next
// write finds out, breaks the link and nudges the window.
TEST_F(ForwardingPipeHostTest, AClientThatVanishesBreaksTheLinkAtTheNextWrite)
{
    auto host = Host();
    auto instance = [&] {
        CBrelvinPipe client;
        return Connect(host, client);
    }(); // the client's handle closes here
    ASSERT_NE(instance, nullptr);
    const int nudgesBefore = window.Nudges();
    const std::vector<std::uint8_t> record = Record(4);
    EXPECT_FALSE(instance->Write(record.data(), record.size()));
    EXPECT_EQ(instance->CurrentLink(), Link::Lost);
    EXPECT_TRUE(window.PumpUntil([&] { return window.Nudges() > nudgesBefore; }));
    instance->Close();
}

// Whether a token may read and write through `descriptor`, as the system
// judges it.
bool MayReadAndWrite(PSECURITY_DESCRIPTOR descriptor, HANDLE token)
{
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD wanted = GENERIC_READ | GENERIC_WRITE;
    MapGenericMask(&wanted, &mapping);
    PRIVILEGE_SET privileges = {};
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    BOOL allowed = FALSE;
    return AccessCheck(descriptor, token, wanted, &mapping, &privileges, &privilegesSize, &granted, &allowed) &&
           allowed;
}

// The calibration program of the driver's own user may connect; another
// account on the machine may not, whatever groups it shares with that user.
// Wine applies no access list when a pipe is opened and cannot make a token
// of another account, so the system's access check judges the pipe's own
// descriptor: for this user's token, and, as another user's driver would
// make it, with this user's identity in it replaced by that user's.
TEST_F(ForwardingPipeHostTest, OnlyTheDriversOwnUserMayOpenThePipe)
{
    auto host = Host();
    auto instance = host.CreateAndAwaitClient();
    ASSERT_NE(instance, nullptr);
    // Opened for its descriptor alone (this takes the instance's one client).
    const common::UniqueHandle pipe(CreateFileA(name.c_str(), READ_CONTROL, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(pipe);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(pipe.Get(), SE_KERNEL_OBJECT,
                              OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    instance->Close();

    HANDLE processToken = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &processToken));
    const common::UniqueHandle process(processToken);
    HANDLE impersonation = nullptr;
    ASSERT_TRUE(DuplicateToken(process.Get(), SecurityImpersonation, &impersonation));
    const common::UniqueHandle token(impersonation);
    EXPECT_TRUE(MayReadAndWrite(descriptor, token.Get())) << "the driver's own user is refused";

    unsigned char user[256];
    DWORD needed = 0;
    ASSERT_TRUE(GetTokenInformation(process.Get(), TokenUser, user, sizeof user, &needed));
    char* ownSid = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &ownSid));
    const std::string own(ownSid);
    LocalFree(ownSid);
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
        descriptor, SDDL_REVISION_1,
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr));
    std::string others(text);
    LocalFree(text);
    LocalFree(descriptor);
    const std::string otherUser = "S-1-5-21-1004336348-1177238915-682003330-1999";
    for (std::size_t at = others.find(own); at != std::string::npos; at = others.find(own, at + otherUser.size()))
        others.replace(at, own.size(), otherUser);
    PSECURITY_DESCRIPTOR othersDescriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(others.c_str(), SDDL_REVISION_1, &othersDescriptor,
                                                                     nullptr));
    EXPECT_FALSE(MayReadAndWrite(othersDescriptor, token.Get())) << "another user's pipe admits this user: " << others;
    LocalFree(othersDescriptor);
}

// A calibration program that reads nothing: a write waits for room at most
// 100 ms. A client that begins reading only at three times that must find
// the write already given up; the next record, with a reader, goes whole.
TEST_F(ForwardingPipeHostTest, AWriteWaitsForRoomAtMostAHundredMilliseconds)
{
    constexpr DWORD kWriteBoundMs = 100;
    auto host = Host(); // the driver's own bounds
    CBrelvinPipe client;
    auto instance = Connect(host, client);
    ASSERT_NE(instance, nullptr);

    // Whatever room the system gives the pipe is used up first (Wine gives none).
    const std::vector<std::uint8_t> record = Record(6);
    constexpr int kEnoughToFillAnyBuffer = 200000;
    int accepted = 0;
    while (accepted < kEnoughToFillAnyBuffer && instance->Write(record.data(), record.size())) ++accepted;
    ASSERT_LT(accepted, kEnoughToFillAnyBuffer) << "no write ever failed";

    const common::UniqueHandle writeReturned(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread lateReader([&] {
        if (WaitForSingleObject(writeReturned.Get(), 3 * kWriteBoundMs) == WAIT_TIMEOUT)
            ReadExactly(client, (accepted + 1) * record.size());
    });
    const bool written = instance->Write(record.data(), record.size());
    SetEvent(writeReturned.Get());
    lateReader.join();
    EXPECT_FALSE(written) << "the write waited past its bound until the client read";

    // The client reads again: records go whole. A reader that comes later
    // than the bound costs a record, never a part of one.
    auto reading = std::async(std::launch::async, [&] { return ReadExactly(client, (accepted + 1) * record.size()); });
    int delivered = 0;
    for (int attempt = 0; attempt < 100 && delivered <= accepted; ++attempt)
        delivered += instance->Write(record.data(), record.size()) ? 1 : 0;
    const bool readAll = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    instance->Close();
    ASSERT_TRUE(readAll);
    const std::vector<std::uint8_t> received = reading.get();
    ASSERT_EQ(received.size(), (accepted + 1) * record.size());
    for (std::size_t at = 0; at < received.size(); at += record.size())
        EXPECT_TRUE(std::equal(record.begin(), record.end(), received.begin() + at)) << "record at " << at;
}

// Cancelling a write normally ends it at once. Where the system leaves it
// running, the write gives up within its bounds instead of waiting for the
// client, breaks the link and keeps the instance (whose OVERLAPPED the
// system still writes into) alive; the next run works.
TEST_F(ForwardingPipeHostTest, AWriteThatOutlivesItsCancellationIsGivenUpAndItsInstanceKept)
{
    Faults().TakeAll();
    auto host = Host(CancellationNeverEnds());
    CBrelvinPipe client;
    auto instance = Connect(host, client);
    ASSERT_NE(instance, nullptr);
    const std::vector<std::uint8_t> record = Record(8);
    auto writing = std::async(std::launch::async, [&] {
        int accepted = 0;
        while (accepted < 200000 && instance->Write(record.data(), record.size())) ++accepted;
        return accepted;
    });
    const bool returned = writing.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!returned) client.Close(); // the write then fails, and the test can end
    ASSERT_TRUE(returned) << "the write waited for an operation its cancellation did not end";
    writing.get();
    EXPECT_TRUE(window.AwaitLink(*instance, Link::Lost));
    EXPECT_FALSE(instance->Write(record.data(), record.size()));
    EXPECT_EQ(NotesWith("cancelled write").size(), 1u);
    instance->Close();
    instance.reset();

    CBrelvinPipe nextClient;
    auto next = Connect(host, nextClient);
    ASSERT_NE(next, nullptr);
    auto reading = std::async(std::launch::async, [&] { return ReadExactly(nextClient, record.size()); });
    bool delivered = false;
    for (int attempt = 0; attempt < 100 && !delivered; ++attempt) delivered = next->Write(record.data(), record.size());
    EXPECT_TRUE(delivered);
    const bool read = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    next->Close();
    ASSERT_TRUE(read);
    EXPECT_EQ(reading.get(), record);
}

// The same for the wait for the client: the run's end (Close) returns
// within its bounds although the wait goes on, and the next run works.
TEST_F(ForwardingPipeHostTest, AClientWaitThatOutlivesItsCancellationDoesNotHoldUpTheClose)
{
    Faults().TakeAll();
    auto host = Host(CancellationNeverEnds());
    auto abandoned = host.CreateAndAwaitClient();
    ASSERT_NE(abandoned, nullptr);
    auto closing = std::async(std::launch::async, [&] { abandoned->Close(); });
    const bool closed = closing.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    CBrelvinPipe stray; // takes the kept instance if it still listens
    const bool strayConnected = stray.Open(CBrelvinPipe::kClient, name.c_str());
    ASSERT_TRUE(closed) << "Close waited for a client wait its cancellation did not end";
    closing.get();
    EXPECT_EQ(abandoned->CurrentLink(), Link::Lost);
    EXPECT_EQ(NotesWith("cancelled wait for the client").size(), 1u);
    abandoned.reset();

    CBrelvinPipe client;
    auto instance = Connect(host, client);
    ASSERT_NE(instance, nullptr) << (strayConnected ? "after a stray client took the kept instance" : "");
    const std::vector<std::uint8_t> record = Record(9);
    auto reading = std::async(std::launch::async, [&] { return ReadExactly(client, record.size()); });
    bool delivered = false;
    for (int attempt = 0; attempt < 100 && !delivered; ++attempt)
        delivered = instance->Write(record.data(), record.size());
    EXPECT_TRUE(delivered);
    const bool read = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    instance->Close();
    ASSERT_TRUE(read);
    EXPECT_EQ(reading.get(), record);
}

// The close's own bound: a waiter held up far longer than the close may wait
// for it (here its cancelled wait is given a minute) is left to end by
// itself, and noted; the next run works.
TEST_F(ForwardingPipeHostTest, AWaiterHeldUpPastTheClosesBoundIsLeftToEndByItself)
{
    Faults().TakeAll();
    brelvin::PipeInstanceBounds bounds = CancellationNeverEnds();
    bounds.cancelledIoWaitMs = 60000;
    auto host = Host(bounds);
    auto abandoned = host.CreateAndAwaitClient();
    ASSERT_NE(abandoned, nullptr);
    auto closing = std::async(std::launch::async, [&] { abandoned->Close(); });
    const bool closed = closing.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    CBrelvinPipe stray; // ends the waiter's wait, should it still wait
    stray.Open(CBrelvinPipe::kClient, name.c_str());
    closing.get();
    EXPECT_TRUE(closed) << "Close waited for the client's waiter as long as the waiter took";
    EXPECT_EQ(NotesWith("left to end by itself").size(), 1u);

    CBrelvinPipe client;
    auto next = Connect(host, client);
    ASSERT_NE(next, nullptr);
    next->Close();
}

TEST_F(ForwardingPipeHostTest, AClientThatNeverReadsCostsLostRecordsNotAHang)
{
    auto host = Host(WriteWait(20));
    CBrelvinPipe client;
    auto instance = Connect(host, client);
    ASSERT_NE(instance, nullptr);

    const std::vector<std::uint8_t> record = Record(2);
    constexpr int kEnoughToFillAnyBuffer = 200000;
    int written = 0;
    while (written < kEnoughToFillAnyBuffer && instance->Write(record.data(), record.size())) ++written;
    EXPECT_LT(written, kEnoughToFillAnyBuffer) << "no write ever failed";

    // A write given up leaves no part of a record behind: once the client
    // reads again, it reads whole records.
    auto reading = std::async(std::launch::async, [&] { return ReadExactly(client, record.size()); });
    EXPECT_TRUE(instance->Write(record.data(), record.size()));
    const bool readSome = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    instance->Close();
    ASSERT_TRUE(readSome);
    EXPECT_EQ(reading.get(), record);
}

TEST_F(ForwardingPipeHostTest, CloseEndsAWriteInFlight)
{
    // A write may wait far longer than this test for room in the pipe.
    auto host = Host(WriteWait(120000));
    CBrelvinPipe client;
    auto instance = Connect(host, client);
    ASSERT_NE(instance, nullptr);

    std::atomic<bool> writing{false};
    std::atomic<DWORD> writeStarted{0};
    auto writer = std::async(std::launch::async, [&] {
        const std::vector<std::uint8_t> record = Record(3);
        for (;;) {
            writeStarted = GetTickCount();
            writing = true;
            const bool written = instance->Write(record.data(), record.size());
            writing = false;
            if (!written) return;
        }
    });
    // The writer is stuck once one write has not returned for a while.
    ASSERT_TRUE(window.PumpUntil([&] { return writing && GetTickCount() - writeStarted > 300; }, 20000));

    instance->Close();
    EXPECT_EQ(writer.wait_for(std::chrono::seconds(10)), std::future_status::ready)
        << "the write did not return after Close";
}

} // namespace
