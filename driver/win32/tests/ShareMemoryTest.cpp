#include "ShareMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using brelvin::CShareMemory;

// Names of this test process only, so a driver running beside it is untouched.
std::string BlockName(const char* leaf)
{
    return "BrelvinTestBlock_" + std::to_string(GetCurrentProcessId()) + "_" + leaf;
}

// The camera service's side of the block.
class ServiceSide {
public:
    explicit ServiceSide(const std::string& name)
        : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 20, name.c_str())),
          mutex_(CreateMutexA(nullptr, FALSE, (name + "Mtx").c_str())),
          view_(MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0))
    {}

    bool Ready() const { return mapping_ && mutex_ && view_; }
    unsigned char* Bytes() { return static_cast<unsigned char*>(view_.Get()); }
    HANDLE Mutex() { return mutex_.Get(); }

    void Write(const unsigned char (&record)[20])
    {
        WaitForSingleObject(mutex_.Get(), INFINITE);
        std::memcpy(Bytes(), record, 20);
        ReleaseMutex(mutex_.Get());
    }

private:
    common::UniqueHandle mapping_;
    common::UniqueHandle mutex_;
    common::UniqueView view_;
};

constexpr unsigned char kRecord[20] = {1, 0x0C, 0x80, 0x09, 0x60, 2, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9};

TEST(ShareMemory, NullNameIsAnInvalidParameterAndOpensNothing)
{
    CShareMemory block;
    EXPECT_EQ(block.Create(nullptr, 20, 0, PAGE_READWRITE, nullptr), 87u);
    EXPECT_FALSE(block.IsOpen());
    unsigned char out[20] = {7};
    EXPECT_NE(block.Read(out, sizeof out, 0), 0u);
    EXPECT_EQ(out[0], 7);
}

TEST(ShareMemory, ReadCopiesOnceAndLeavesTheBlockZeroed)
{
    const std::string name = BlockName("read");
    CShareMemory block;
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    ASSERT_TRUE(block.IsOpen());
    ServiceSide service(name);
    ASSERT_TRUE(service.Ready());

    service.Write(kRecord);
    unsigned char out[20] = {};
    ASSERT_EQ(block.Read(out, sizeof out, 0), 0u);
    EXPECT_EQ(std::memcmp(out, kRecord, 20), 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(service.Bytes()[i], 0) << i;

    ASSERT_EQ(block.Read(out, sizeof out, 0), 0u);
    const unsigned char zero[20] = {};
    EXPECT_EQ(std::memcmp(out, zero, 20), 0);
}

TEST(ShareMemory, PartialReadAtAnOffsetClearsOnlyThatRange)
{
    const std::string name = BlockName("offset");
    CShareMemory block;
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    ServiceSide service(name);
    service.Write(kRecord);

    unsigned char out[5] = {};
    ASSERT_EQ(block.Read(out, sizeof out, 5), 0u);
    EXPECT_EQ(std::memcmp(out, kRecord + 5, 5), 0);
    EXPECT_EQ(service.Bytes()[0], kRecord[0]);
    EXPECT_EQ(service.Bytes()[5], 0);
    EXPECT_EQ(service.Bytes()[19], kRecord[19]);

    // A range beyond the mapping is refused, not read.
    unsigned char big[8] = {3};
    EXPECT_NE(block.Read(big, sizeof big, 1u << 20), 0u);
    EXPECT_EQ(big[0], 3);
}

TEST(ShareMemory, AnExistingBlockIsOpenedAndItsStaleRecordDropped)
{
    const std::string name = BlockName("existing");
    ServiceSide service(name);
    ASSERT_TRUE(service.Ready());
    std::memcpy(service.Bytes(), kRecord, 20);

    CShareMemory block;
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(service.Bytes()[i], 0) << i;

    // Both sides really share the block and the lock.
    service.Write(kRecord);
    unsigned char out[20] = {};
    ASSERT_EQ(block.Read(out, sizeof out, 0), 0u);
    EXPECT_EQ(out[19], 9);
}

DWORD WINAPI TakeAndAbandon(void* mutex)
{
    WaitForSingleObject(static_cast<HANDLE>(mutex), INFINITE);
    return 0; // ends holding the mutex
}

DWORD WINAPI TakeAndRelease(void* mutex)
{
    const DWORD got = WaitForSingleObject(static_cast<HANDLE>(mutex), 2000);
    if (got == WAIT_OBJECT_0) ReleaseMutex(static_cast<HANDLE>(mutex));
    return got;
}

TEST(ShareMemory, AnAbandonedLockIsReportedReleasedAndTheNextReadWorks)
{
    const std::string name = BlockName("abandoned");
    CShareMemory block;
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    ServiceSide service(name);
    std::memcpy(service.Bytes(), kRecord, 20);

    common::UniqueHandle holder(CreateThread(nullptr, 0, &TakeAndAbandon, service.Mutex(), 0, nullptr));
    ASSERT_EQ(WaitForSingleObject(holder.Get(), 5000), WAIT_OBJECT_0);

    unsigned char out[20] = {};
    EXPECT_EQ(block.Read(out, sizeof out, 0), static_cast<DWORD>(WAIT_ABANDONED));
    EXPECT_EQ(out[0], 0); // nothing copied
    EXPECT_EQ(service.Bytes()[0], kRecord[0]);

    // Released: another thread of the service can take the lock again.
    common::UniqueHandle other(CreateThread(nullptr, 0, &TakeAndRelease, service.Mutex(), 0, nullptr));
    ASSERT_EQ(WaitForSingleObject(other.Get(), 5000), WAIT_OBJECT_0);
    DWORD otherResult = 1;
    GetExitCodeThread(other.Get(), &otherResult);
    EXPECT_EQ(otherResult, WAIT_OBJECT_0);

    ASSERT_EQ(block.Read(out, sizeof out, 0), 0u);
    EXPECT_EQ(std::memcmp(out, kRecord, 20), 0);
}

TEST(ShareMemory, CloseEndsReadsAndIsHarmlessTwice)
{
    const std::string name = BlockName("close");
    CShareMemory block;
    ASSERT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    block.Close();
    block.Close();
    EXPECT_FALSE(block.IsOpen());
    unsigned char out[20] = {5};
    EXPECT_NE(block.Read(out, sizeof out, 0), 0u);
    EXPECT_EQ(out[0], 5);

    // And it can be created again.
    EXPECT_EQ(block.Create(name.c_str(), 20, 0, PAGE_READWRITE, nullptr), 0u);
    EXPECT_TRUE(block.IsOpen());
}

} // namespace
