// The forwarding pipe as the driver window uses it: the window is nudged
// when the client arrives or goes, records reach the client unchanged,
// neither a client that never comes nor one that stops reading can hold up
// the window or the writer, and only the driver's own user may connect.
#include "ForwardingPipeHost.h"
#include "PipeReads.h"

#include "driver/FaultLog.h"

#include <aclapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using brelvin::CBrelvinPipe;
using brelvin::ReadExactly;

using Link = driver::PipeInstance::Link;

// A message-only window that counts the nudges it is posted.
class ReportWindow {
public:
    ReportWindow()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &ReportWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
        if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ReportWindow()
    {
        if (window_) DestroyWindow(window_);
    }
    ReportWindow(const ReportWindow&) = delete;
    ReportWindow& operator=(const ReportWindow&) = delete;

    HWND Handle() const { return window_; }
    int Nudges() const { return nudges_; }

    // Handles messages until `done` holds; false when it did not within the
    // time-out.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            if (done()) return true;
            if (GetTickCount() - start > timeoutMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    // Until a nudge came after which the instance's link is `link`.
    bool AwaitLink(const driver::PipeInstance& instance, Link link)
    {
        const int before = nudges_;
        return PumpUntil([&] { return nudges_ > before && instance.CurrentLink() == link; }) ||
               (nudges_ > 0 && instance.CurrentLink() == link);
    }

private:
    static constexpr const char* kClassName = "BrelvinPipeReportWindow";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<ReportWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == brelvin::kForwardingNews && self) {
            EXPECT_EQ(wParam, 0u) << "a nudge carries nothing";
            EXPECT_EQ(lParam, 0) << "a nudge carries nothing";
            ++self->nudges_;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    int nudges_ = 0;
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

    brelvin::Win32ForwardingPipeHost Host(DWORD writeWaitMs = 100)
    {
        return brelvin::Win32ForwardingPipeHost(window.Handle(), faults, brelvin::kForwardingNews, {name, writeWaitMs});
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
    driver::NoFaultLog faults;
};

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

// One entry, for the user the driver runs as; no other account can open it.
TEST_F(ForwardingPipeHostTest, OnlyTheDriversOwnUserMayOpenThePipe)
{
    auto host = Host();
    auto instance = host.CreateAndAwaitClient();
    ASSERT_NE(instance, nullptr);
    HANDLE raw = CreateFileA(name.c_str(), READ_CONTROL, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(raw, INVALID_HANDLE_VALUE);
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD got = GetSecurityInfo(raw, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                      nullptr, &descriptor);
    CloseHandle(raw);
    ASSERT_EQ(got, static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_NE(dacl, nullptr) << "no access list: everyone may connect";
    EXPECT_EQ(dacl->AceCount, 1);
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, 0, &ace));
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);

    HANDLE tokenHandle = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &tokenHandle));
    unsigned char buffer[256];
    DWORD needed = 0;
    ASSERT_TRUE(GetTokenInformation(tokenHandle, TokenUser, buffer, sizeof buffer, &needed));
    CloseHandle(tokenHandle);
    EXPECT_TRUE(EqualSid(const_cast<DWORD*>(&allowed->SidStart), reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid));
    LocalFree(descriptor);
    instance->Close();
}

TEST_F(ForwardingPipeHostTest, AClientThatNeverReadsCostsLostRecordsNotAHang)
{
    auto host = Host(20);
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
    auto host = Host(120000);
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
