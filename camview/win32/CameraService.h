#pragma once
// The camera service that owns the camera while Camvito is not open.
namespace camview {

// How long the service may take to let go of the camera; a service that
// hangs is given up on at once, so Camvito never hangs with it.
inline constexpr unsigned kReleaseTimeoutMs = 1000;

// Asks a running camera service to let go of the camera and waits for its
// answer, at most kReleaseTimeoutMs; true when a service was running.
bool ReleaseCameraFromService();

// Starts the camera service again by its full path in Camvito's own folder.
// A service missing there starts nothing (the shell would look for a
// same-named program elsewhere) and is noted in the support log.
void RestartCameraService();

} // namespace camview
