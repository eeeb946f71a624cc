#pragma once
// The camera service that owns the camera while Camvito is not open.
namespace camview {

// Asks a running camera service to let go of the camera and waits for its
// answer; true when a service was running.
bool ReleaseCameraFromService();

// Starts the camera service from Camvito's own folder again.
void RestartCameraService();

} // namespace camview
