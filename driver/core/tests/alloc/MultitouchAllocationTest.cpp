// The multitouch outputs run in the touch worker's 2 ms cycle, which must not
// allocate: every operator new of this program is counted, and a stream of
// four-contact records through tracker, bundle and frame must add none.
// (A program of its own, as it replaces the global allocation functions.)
#include "DriverFakes.h"

#include "driver/ContactTracker.h"
#include "driver/MultitouchOutputs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};

void* Allocate(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++allocations;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    ++allocations;
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

namespace driver {
namespace {

using testing::FakeCalibration;
using testing::RecordBuilder;

class CountingChannel final : public ByteChannel {
public:
    std::size_t bundles = 0;
    bool Write(const std::uint8_t*, std::size_t) override
    {
        ++bundles;
        return true;
    }
};

class CountingInjection final : public TouchInjection {
public:
    std::size_t frames = 0;
    bool Inject(const TouchFrame&) override
    {
        ++frames;
        return true;
    }
};

TEST(MultitouchAllocationTest, TheCycleOfFourContactsAllocatesNothing)
{
    FakeCalibration calibration;
    ContactTracker tracker;
    CountingChannel channel;
    CountingInjection injection;
    NoFaultLog faults;
    TuioOutput tuio(channel, "Brelvin@127.0.0.1", "127.0.0.1:3333", faults);
    TouchOutput touch(injection, faults);
    std::vector<TouchRecord> records;
    for (unsigned n = 0; n < 200; ++n) {
        RecordBuilder record;
        for (int s = 0; s < kPointSlots; ++s) record.Contact(s, 100 + 3 * n + 400u * s, 200 + 2 * n);
        records.push_back(record.Decoded());
    }
    records.push_back(RecordBuilder().Release(0).Release(1).Release(2).Release(3).Decoded());

    const long before = allocations.load();
    for (const TouchRecord& record : records) {
        const ContactSnapshot& snapshot = tracker.Update(record, 2, calibration);
        tuio.Publish(snapshot);
        touch.Publish(snapshot, calibration.screen, 2);
    }
    touch.Publish(tracker.EndAll(), calibration.screen, 0);
    const long during = allocations.load() - before;

    EXPECT_EQ(during, 0);
    EXPECT_EQ(channel.bundles, records.size());
    EXPECT_EQ(injection.frames, records.size() - 1);
}

} // namespace
} // namespace driver
