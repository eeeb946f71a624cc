#include "common/UniqueSocket.h"

#include "common/UniqueHandle.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using common::UniqueFind;
using common::UniqueHandle;
using common::UniqueHook;
using common::UniqueSocket;
using common::UniqueView;

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent()
{
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

TEST(UniqueHandle, ClosesTheHandleWhenItGoes)
{
    HANDLE raw = NewEvent();
    ASSERT_TRUE(IsOpen(raw));
    {
        UniqueHandle owner(raw);
        EXPECT_TRUE(owner);
        EXPECT_EQ(owner.Get(), raw);
    }
    EXPECT_FALSE(IsOpen(raw));
}

TEST(UniqueHandle, TakesEitherFailureValueAsNoHandle)
{
    const UniqueHandle failedOpen(CreateFileA("Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(failedOpen);
    EXPECT_EQ(failedOpen.Get(), nullptr);
    const UniqueHandle failedCreate(nullptr);
    EXPECT_FALSE(failedCreate);
}

TEST(UniqueHandle, MovingHandsTheHandleOnAndAssignmentClosesTheOldOne)
{
    HANDLE first = NewEvent();
    HANDLE second = NewEvent();
    UniqueHandle a(first);
    UniqueHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.Get(), first);
    EXPECT_TRUE(IsOpen(first));

    UniqueHandle c(second);
    c = std::move(b);
    EXPECT_FALSE(IsOpen(second)) << "the handle the target held is closed";
    EXPECT_TRUE(IsOpen(first));
    EXPECT_EQ(c.Get(), first);
}

TEST(UniqueHandle, ReleaseGivesUpWithoutClosingAndResetClosesAtOnce)
{
    HANDLE kept = NewEvent();
    {
        UniqueHandle owner(kept);
        EXPECT_EQ(owner.Release(), kept);
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(IsOpen(kept));

    HANDLE replacement = NewEvent();
    UniqueHandle owner(kept);
    owner.Reset(replacement);
    EXPECT_FALSE(IsOpen(kept));
    EXPECT_EQ(owner.Get(), replacement);
    owner.Reset();
    EXPECT_FALSE(IsOpen(replacement));
    EXPECT_FALSE(owner);
}

TEST(UniqueView, UnmapsTheViewWhenItGoes)
{
    const UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
    ASSERT_TRUE(mapping);
    void* address = nullptr;
    {
        const UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        ASSERT_TRUE(view);
        address = view.Get();
        static_cast<char*>(address)[0] = 7;
    }
    MEMORY_BASIC_INFORMATION region = {};
    ASSERT_NE(VirtualQuery(address, &region, sizeof region), 0u);
    EXPECT_EQ(region.State, static_cast<DWORD>(MEM_FREE));
    EXPECT_FALSE(UniqueView(nullptr));
}

TEST(UniqueFind, HoldsASearchAndTakesAFailedOneAsNone)
{
    char folder[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    WIN32_FIND_DATAA entry;
    const UniqueFind search(FindFirstFileA((std::string(folder) + "*").c_str(), &entry));
    ASSERT_TRUE(search);
    EXPECT_NE(FindNextFileA(search.Get(), &entry), FALSE) << "a temporary folder lists at least . and ..";
    const UniqueFind missing(FindFirstFileA("Z:\\no\\such\\folder\\*", &entry));
    EXPECT_FALSE(missing);
}

int hookCalls = 0;

LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam)
{
    ++hookCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Takes one posted thread message from the queue, through any hooks.
void PassOneMessage()
{
    PostThreadMessageA(GetCurrentThreadId(), WM_APP + 5, 0, 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(UniqueHook, RemovesTheHookWhenItGoes)
{
    hookCalls = 0;
    {
        const UniqueHook hook(SetWindowsHookExA(WH_GETMESSAGE, &CountingHook, nullptr, GetCurrentThreadId()));
        ASSERT_TRUE(hook);
        PassOneMessage();
        EXPECT_GT(hookCalls, 0);
    }
    const int callsWhileInstalled = hookCalls;
    PassOneMessage();
    EXPECT_EQ(hookCalls, callsWhileInstalled) << "the hook still ran after its owner went";
}

class UniqueSocketTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data_), 0); }
    void TearDown() override { WSACleanup(); }

    static bool IsSocket(SOCKET socket)
    {
        int type = 0;
        int length = sizeof type;
        return getsockopt(socket, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length) == 0;
    }

    WSADATA data_ = {};
};

TEST_F(UniqueSocketTest, ClosesTheSocketWhenItGoesAndTakesInvalidSocketAsNone)
{
    SOCKET raw = INVALID_SOCKET;
    {
        const UniqueSocket owner(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
        ASSERT_TRUE(owner);
        raw = owner.Get();
        EXPECT_TRUE(IsSocket(raw));
    }
    EXPECT_FALSE(IsSocket(raw));
    EXPECT_FALSE(UniqueSocket(INVALID_SOCKET));
    EXPECT_EQ(UniqueSocket().Get(), INVALID_SOCKET);
}

} // namespace
