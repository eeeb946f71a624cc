#pragma once
// Messages of the stand-ins' own, which the tests post to them; numbers
// only, so the portable parts can name them too.
namespace sim {

// To the listening drawing application: end every touch-socket connection
// it holds, as the real application does when it stops taking touches.
inline constexpr unsigned kDropTouchConnections = 0x8000 + 0x3F01;  // WM_APP+0x3F01

} // namespace sim
