#include "driver/TouchRecord.h"

#include "driver/Calibration.h"

namespace driver {
namespace {

constexpr std::size_t kSlotSize = 5;

unsigned BigEndian16(const std::uint8_t* bytes)
{
    return static_cast<unsigned>(bytes[0]) * 256u + bytes[1];
}

} // namespace

TouchRecord DecodeTouchRecord(const TouchRecordBytes& bytes, int upright)
{
    TouchRecord record;
    for (int s = 0; s < kPointSlots; ++s) {
        const std::uint8_t* slotBytes = bytes + kSlotSize * static_cast<std::size_t>(s);
        PointSlot& slot = record.slots[static_cast<std::size_t>(s)];
        slot.status = slotBytes[0];
        slot.point.x = BigEndian16(slotBytes + 1);
        slot.point.y = BigEndian16(slotBytes + 3);
        if (upright == 0) slot.point = TurnedUpsideDown(slot.point);
    }
    return record;
}

} // namespace driver
