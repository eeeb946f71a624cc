#pragma once
// The 20-byte record the camera service writes into the shared block: four
// point slots of 5 bytes (status, x, y; coordinates unsigned 16-bit,
// big-endian, camera units). Byte 0 doubles as the record's event code.
#include "driver/Geometry.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace driver {

inline constexpr std::size_t kTouchRecordSize = 20;
inline constexpr int kPointSlots = 4;
using TouchRecordBytes = std::uint8_t[kTouchRecordSize];

enum class SlotStatus : std::uint8_t {
    Empty = 0,
    Contact = 1,
    Release = 2,
};

// Codes that byte 0 carries instead of a slot status.
enum class RecordEvent : std::uint8_t {
    CameraKind1 = 3,
    CameraKind2 = 4,
    FrontPenButton = 8,
    RearPenButton = 9,
};

struct PointSlot {
    std::uint8_t status = 0;
    Point point; // camera units, already turned when the camera hangs upside down
};

struct TouchRecord {
    std::array<PointSlot, kPointSlots> slots;

    std::uint8_t EventCode() const { return slots[0].status; }
};

// Decodes all four slots; with `upright` 0 every point is turned by 180
// degrees (x := 3200 - x, y := 2400 - y).
TouchRecord DecodeTouchRecord(const TouchRecordBytes& bytes, int upright);

} // namespace driver
