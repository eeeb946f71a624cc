#pragma once
// Product data: the supported board cameras, the one place where their USB
// hardware IDs live. Every hardware-ID table of the suite is derived from
// kCameraModels below, so the tables cannot drift apart:
// - the model-detection library reports a model's position in kCameraModels;
// - the board driver recognises four of the models (kDriverCameraModels), in
//   an order of its own, entries 1 and 4 giving camera kind 1 and entries 2
//   and 3 camera kind 2;
// - the camera view tool lists the three first-generation models before the
//   three second-generation ones (kViewToolCameraModels).
// All models share one product ID.
//
// THE VALUES BELOW ARE PLACEHOLDERS, not the IDs of real cameras. A release
// build supplies the real ones at configure time:
//   cmake -DBRELVIN_CAMERA_PRODUCT_ID=0x.... -DBRELVIN_CAMERA_VENDOR_IDS="0x..;0x..;0x..;0x..;0x..;0x.."
// (six vendor IDs in the order of kCameraModels).
#include <array>
#include <cstdint>

#ifndef BRELVIN_CAMERA_PRODUCT_ID
#define BRELVIN_CAMERA_PRODUCT_ID 0x0B0A
#endif
#ifndef BRELVIN_CAMERA_VENDOR_IDS
#define BRELVIN_CAMERA_VENDOR_IDS 0xFA01, 0xFA02, 0xFA03, 0xFA04, 0xFA05, 0xFA06
#endif

namespace product {

inline constexpr std::uint16_t kCameraProductId = BRELVIN_CAMERA_PRODUCT_ID;

struct CameraModel {
    std::uint16_t vendorId;
    int generation; // 1 or 2; the driver's camera kind of the model
};

namespace detail {
inline constexpr std::uint16_t kVendorIds[6] = {BRELVIN_CAMERA_VENDOR_IDS};
} // namespace detail

inline constexpr std::array<CameraModel, 6> kCameraModels = {{
    {detail::kVendorIds[0], 1},
    {detail::kVendorIds[1], 2},
    {detail::kVendorIds[2], 1},
    {detail::kVendorIds[3], 2},
    {detail::kVendorIds[4], 2},
    {detail::kVendorIds[5], 1},
}};

// Positions in kCameraModels.
inline constexpr std::array<int, 4> kDriverCameraModels = {5, 3, 4, 2};
inline constexpr std::array<int, 6> kViewToolCameraModels = {0, 2, 5, 1, 3, 4};

// "VID_hhhh&PID_hhhh" in upper-case hexadecimal, NUL-terminated in 18 bytes,
// as the device-instance IDs spell it.
using HardwareIdText = std::array<char, 18>;

constexpr HardwareIdText UpperHardwareId(std::uint16_t vendorId, std::uint16_t productId)
{
    constexpr char digits[] = "0123456789ABCDEF";
    HardwareIdText out{'V', 'I', 'D', '_', 0, 0, 0, 0, '&', 'P', 'I', 'D', '_', 0, 0, 0, 0, '\0'};
    for (int i = 0; i < 4; ++i) {
        out[4 + i] = digits[(vendorId >> (12 - 4 * i)) & 0xF];
        out[13 + i] = digits[(productId >> (12 - 4 * i)) & 0xF];
    }
    return out;
}

constexpr HardwareIdText UpperHardwareId(const CameraModel& model)
{
    return UpperHardwareId(model.vendorId, kCameraProductId);
}

// Checks of the relationships the tables rely on.
constexpr bool DriverKindsFollowEntries()
{
    // Entries 1 and 4 give kind 1, entries 2 and 3 kind 2.
    return kCameraModels[kDriverCameraModels[0]].generation == 1 &&
           kCameraModels[kDriverCameraModels[1]].generation == 2 &&
           kCameraModels[kDriverCameraModels[2]].generation == 2 &&
           kCameraModels[kDriverCameraModels[3]].generation == 1;
}
constexpr bool ViewToolGenerationsInOrder()
{
    for (int i = 0; i < 6; ++i)
        if (kCameraModels[kViewToolCameraModels[i]].generation != (i < 3 ? 1 : 2)) return false;
    return true;
}
constexpr bool DriverModelsAreDetectionEntries2To5()
{
    bool seen[6] = {};
    for (int m : kDriverCameraModels) {
        if (m < 2 || m > 5 || seen[m]) return false;
        seen[m] = true;
    }
    return true;
}
static_assert(DriverKindsFollowEntries(), "driver entries 1 and 4 are kind 1, entries 2 and 3 kind 2");
static_assert(ViewToolGenerationsInOrder(), "view tool lists first-generation models first");
static_assert(DriverModelsAreDetectionEntries2To5(), "the driver's four models are entries 2 to 5");

} // namespace product
