#pragma once
// The pen as the calibration sees it: one sample per record that carries the
// pen, in the camera's own units and orientation (never turned: the settings
// file keeps the points as the camera reports them).
#include "driver/Geometry.h"
#include "driver/TouchRecord.h"

#include <cstdint>
#include <optional>

namespace calibration {

struct PenSample {
    std::uint32_t timeMs = 0; // when the record was read, on the program's clock
    driver::Point camera;     // camera units, x 0..3200, y 0..2400
    bool down = false;        // false: the contact ended
};

// The pen's sample in a record the forwarding pipe carries, read at `timeMs`:
// the first slot of the mouse pair (0, 1) that holds a contact or its end.
// Empty records and pen-button records carry none.
std::optional<PenSample> PenSampleFromRecord(const driver::TouchRecordBytes& bytes, std::uint32_t timeMs);

} // namespace calibration
