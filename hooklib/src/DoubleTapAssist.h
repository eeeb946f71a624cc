#pragma once
// The decision behind the double-tap helper, free of the system so that it
// can be tested on its own: which left presses should be moved onto the
// previous press's position.
#include <cstdint>
#include <optional>

namespace hooklib {

struct PixelPoint {
    int x = 0;
    int y = 0;
};

inline bool operator==(PixelPoint a, PixelPoint b)
{
    return a.x == b.x && a.y == b.y;
}

class DoubleTapAssist {
public:
    DoubleTapAssist(std::uint32_t doubleClickMs, int reachPixels);

    void SetDoubleClickTime(std::uint32_t ms) { doubleClickMs_ = ms; }

    // Turning the handling off forgets the pending press.
    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }

    // A left press at `at`, stamped `timeMs` (a wrapping millisecond clock).
    // Answers where the press should land instead when it completes a pair:
    // the first press's position. Nothing when it should pass unchanged.
    std::optional<PixelPoint> OnLeftPress(PixelPoint at, std::uint32_t timeMs);

    void Forget() { pending_.reset(); }

    // Forgets a pending press that can no longer be paired at `nowMs`.
    void Expire(std::uint32_t nowMs);

    bool HasPendingPress() const { return pending_.has_value(); }

private:
    struct Press {
        PixelPoint at;
        std::uint32_t timeMs;
    };

    bool WithinTime(const Press& first, std::uint32_t timeMs) const;
    bool WithinReach(const Press& first, PixelPoint at) const;

    std::uint32_t doubleClickMs_;
    int reachPixels_;
    bool enabled_ = false;
    std::optional<Press> pending_;
};

} // namespace hooklib
