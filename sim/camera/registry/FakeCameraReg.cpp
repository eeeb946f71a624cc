// FakeCameraReg.exe: registers the fake camera in the current Wine prefix
// for hand runs and screenshots.
//   FakeCameraReg <path of FakeCamera.dll> <1|2>   a camera of that generation
//   FakeCameraReg remove
#include "FakeCameraRegistry.h"

#include "common/CameraIds.h"

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wcscmp(argv[1], L"remove") == 0) return fakecamera::UnregisterFakeCamera() ? 0 : 1;
    if (argc != 3 || (std::wcscmp(argv[2], L"1") != 0 && std::wcscmp(argv[2], L"2") != 0)) {
        std::fwprintf(stderr, L"usage: FakeCameraReg <FakeCamera.dll> <1|2> | remove\n");
        return 2;
    }
    const int generation = argv[2][0] - L'0';
    for (int model : product::kViewToolCameraModels) {
        if (product::kCameraModels[model].generation != generation) continue;
        const std::string id = product::UpperHardwareId(product::kCameraModels[model]).data();
        return fakecamera::RegisterFakeCamera(argv[1], fakecamera::UsbDevicePath(id)) ? 0 : 1;
    }
    return 1;
}
