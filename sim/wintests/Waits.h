#pragma once
// How long the stand-ins' tests wait for what a stand-in does.

namespace sim {

inline constexpr unsigned kWaitMs = 10000;

} // namespace sim
