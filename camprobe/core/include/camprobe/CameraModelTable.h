#pragma once
// The models Probyx reports, as the device-instance IDs spell their USB
// hardware IDs. A model's position in this table is the answer callers get.
#include "common/CameraIds.h"

#include <array>

namespace camprobe {

inline constexpr int kModelCount = 6;
inline constexpr int kNoCameraModel = -1;

// Each entry is "VID_hhhh&PID_hhhh" in upper case, NUL-terminated in 18 bytes.
using ModelTable = std::array<product::HardwareIdText, kModelCount>;

const ModelTable& CameraModelTable();

} // namespace camprobe
