#include "sim/TouchRecord.h"

namespace sim {

void PutSlot(TouchRecord& record, int index, const PointSlot& slot)
{
    const int at = index * kSlotSize;
    record[at] = slot.status;
    record[at + 1] = static_cast<std::uint8_t>(slot.x >> 8);
    record[at + 2] = static_cast<std::uint8_t>(slot.x & 0xFF);
    record[at + 3] = static_cast<std::uint8_t>(slot.y >> 8);
    record[at + 4] = static_cast<std::uint8_t>(slot.y & 0xFF);
}

PointSlot SlotAt(const TouchRecord& record, int index)
{
    const int at = index * kSlotSize;
    PointSlot slot;
    slot.status = record[at];
    slot.x = static_cast<std::uint16_t>(record[at + 1] << 8 | record[at + 2]);
    slot.y = static_cast<std::uint16_t>(record[at + 3] << 8 | record[at + 4]);
    return slot;
}

bool IsConsumed(const TouchRecord& record)
{
    for (std::uint8_t byte : record) {
        if (byte != 0) return false;
    }
    return true;
}

TouchRecord MakeNoOpRecord()
{
    TouchRecord record{};
    PutSlot(record, 0, PointSlot{status::kNone, 1, 0});
    return record;
}

std::string ToHex(const TouchRecord& record)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : record) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

} // namespace sim
