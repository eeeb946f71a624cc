#pragma once
// The 20-byte record the camera service leaves in the shared block: four
// 5-byte slots, each a status byte and big-endian x and y in camera units.
#include <array>
#include <cstdint>
#include <string>

namespace sim {

inline constexpr int kRecordSize = 20;
inline constexpr int kSlotCount = 4;
inline constexpr int kSlotSize = 5;

using TouchRecord = std::array<std::uint8_t, kRecordSize>;

namespace status {
inline constexpr std::uint8_t kNone = 0;
inline constexpr std::uint8_t kContact = 1;
inline constexpr std::uint8_t kRelease = 2;
inline constexpr std::uint8_t kCameraKind1 = 3;
inline constexpr std::uint8_t kCameraKind2 = 4;
inline constexpr std::uint8_t kFrontPenButton = 8;
inline constexpr std::uint8_t kRearPenButton = 9;
} // namespace status

struct PointSlot {
    std::uint8_t status = status::kNone;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
};

void PutSlot(TouchRecord& record, int index, const PointSlot& slot);
PointSlot SlotAt(const TouchRecord& record, int index);

// What the driver leaves behind after it has consumed a record.
bool IsConsumed(const TouchRecord& record);

// A record the driver reads and ignores: no slot has a status, but the block
// is not all zero, so its consumption can be seen.
TouchRecord MakeNoOpRecord();

// Forty hexadecimal digits, upper case.
std::string ToHex(const TouchRecord& record);

} // namespace sim
