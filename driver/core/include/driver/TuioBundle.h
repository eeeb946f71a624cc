#pragma once
// One TUIO 1.1 frame of the 2Dcur profile as an OSC 1.0 bundle, written into
// a buffer the caller owns, so that the touch worker's cycle allocates
// nothing:
//
//   "#bundle", time tag 1 (immediately), then one element per message:
//   /tuio/2Dcur "source" <application@address>
//   /tuio/2Dcur "alive" <session id>...
//   /tuio/2Dcur "set" s x y X Y m          (one per contact)
//   /tuio/2Dcur "fseq" <frame>
//
// OSC encoding: strings end with a NUL and are padded with NULs to a multiple
// of four bytes; the type-tag string starts with ','; int32 and float32 are
// big-endian; each bundle element is preceded by its size as an int32.
#include <cstddef>
#include <cstdint>

namespace driver {

// One contact as the 2Dcur profile sees it: position 0..1 across and down the
// screen, velocity in screen widths and heights per second, motion
// acceleration as the change of speed per second.
struct TuioCursor {
    std::int32_t sessionId = 0;
    float x = 0;
    float y = 0;
    float velocityX = 0;
    float velocityY = 0;
    float acceleration = 0;
};

class TuioBundleWriter {
public:
    static constexpr std::size_t kMaxCursors = 4;
    // Longest source text kept; a longer one is cut.
    static constexpr std::size_t kMaxSourceChars = 63;
    // Room for a bundle with kMaxCursors cursors and the longest source.
    static constexpr std::size_t kMaxBundleBytes = 512;

    // `source` names the sender, "application@address" by the profile's
    // convention.
    explicit TuioBundleWriter(const char* source);

    const char* Source() const { return source_; }

    // Writes one bundle into `out`; the bundle's size, or 0 (and nothing
    // meaningful in `out`) when more than kMaxCursors cursors are given or
    // the bundle does not fit into `capacity` bytes.
    std::size_t Write(const TuioCursor* cursors, std::size_t count, std::int32_t frame, std::uint8_t* out,
                      std::size_t capacity) const;

    // The size Write needs for `count` cursors.
    std::size_t BundleSize(std::size_t count) const;

private:
    char source_[kMaxSourceChars + 1] = {};
};

} // namespace driver
