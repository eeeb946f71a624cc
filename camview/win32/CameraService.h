#pragma once
// The camera service that owns the camera while no program of the suite
// has borrowed it.
#include <string>

namespace camview {

// How long the service may take to let go of the camera; a service that
// hangs is given up on at once, so the borrower never hangs with it.
inline constexpr unsigned kReleaseTimeoutMs = 1000;

// Asks a running camera service to let go of the camera and waits for its
// answer, at most kReleaseTimeoutMs; true when a service was running.
// `program` tags the support log's line about a service that did not answer.
bool ReleaseCameraFromService(const std::string& program);

// Starts the camera service again by its full path in `folder` (with its
// trailing backslash), the borrower's own program folder. A service missing
// there starts nothing (the shell would look for a same-named program
// elsewhere) and is noted in the support log.
void RestartCameraService(const std::wstring& folder, const std::string& program);

} // namespace camview
