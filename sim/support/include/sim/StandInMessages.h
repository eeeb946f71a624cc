#pragma once
// Messages of the stand-ins' own, which the tests post to them; numbers
// only, so the portable parts can name them too.
namespace sim {

// To the listening drawing application: end every touch-socket connection
// it holds, as the real application does when it stops taking touches.
inline constexpr unsigned kDropTouchConnections = 0x8000 + 0x3F01; // WM_APP+0x3F01

// To the camera service stand-in: a go-ahead that its script can `await`
// (it has no meaning of its own).
inline constexpr unsigned kScriptGoAhead = 0x8000 + 0x3F02; // WM_APP+0x3F02

} // namespace sim
