#pragma once
// Recognising the board camera among the video-input devices by the
// hardware ID inside its device path, e.g. "\\?\usb#vid_fa01&pid_0b0a&mi_00#...".
#include "common/CameraIds.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace camview {

enum class CameraGeneration { First = 1, Second = 2 };

inline constexpr std::size_t kHardwareIdOffset = 8;  // after "\\?\usb#"
inline constexpr std::size_t kHardwareIdLength = 17; // "VID_hhhh&PID_hhhh"

struct ListedCamera {
    int entry = 0; // position in the view tool's list, 0..5
    CameraGeneration generation = CameraGeneration::First;
};

// The view tool's list: three first-generation cameras, then three
// second-generation ones, as upper-case hardware-ID texts.
std::array<std::string, 6> ViewToolHardwareIds();

// The listed camera whose ID the path carries at its usual place, compared
// without regard to letter case. Characters outside ASCII never match.
std::optional<ListedCamera> MatchDevicePath(std::wstring_view devicePath);
std::optional<ListedCamera> MatchDevicePath(std::string_view devicePath);

// The outcome of walking the video-input devices: how many listed cameras
// were seen, and whether any was of the second generation. The last camera
// offered is the one the view uses.
class CameraSearch {
public:
    // True when the device is a listed camera (the caller then binds it).
    bool Offer(std::wstring_view devicePath);

    int Count() const { return count_; }
    CameraGeneration Generation() const
    {
        return secondGeneration_ ? CameraGeneration::Second : CameraGeneration::First;
    }

private:
    int count_ = 0;
    bool secondGeneration_ = false;
};

} // namespace camview
