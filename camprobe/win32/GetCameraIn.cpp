// Probyx.dll's one export. No arguments, so callers that declare it cdecl
// and callers that declare it stdcall leave the stack the same.
#include "PresentImageDevices.h"

#include "camprobe/CameraModelTable.h"

extern "C" int __cdecl GetCameraIn(void)
{
    camprobe::PresentImageDevices devices;
    if (!devices.IsOpen()) return camprobe::kNoCameraModel;
    return camprobe::DetectCameraModel(devices);
}
