#include "calibration/PenSample.h"

namespace calibration {
namespace {

constexpr int kPenSlots = 2; // the slots a camera service reports one pen in

} // namespace

std::optional<PenSample> PenSampleFromRecord(const driver::TouchRecordBytes& bytes, std::uint32_t timeMs)
{
    const driver::TouchRecord record = driver::DecodeTouchRecord(bytes, 1);
    const auto code = record.EventCode();
    if (code == static_cast<std::uint8_t>(driver::RecordEvent::FrontPenButton) ||
        code == static_cast<std::uint8_t>(driver::RecordEvent::RearPenButton))
        return std::nullopt;
    for (int s = 0; s < kPenSlots; ++s) {
        const driver::PointSlot& slot = record.slots[static_cast<std::size_t>(s)];
        const auto status = static_cast<driver::SlotStatus>(slot.status);
        if (status == driver::SlotStatus::Contact || status == driver::SlotStatus::Release)
            return PenSample{timeMs, slot.point, status == driver::SlotStatus::Contact};
    }
    return std::nullopt;
}

} // namespace calibration
