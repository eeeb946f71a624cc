#include "camprobe/DetectCameraModel.h"

#include "camprobe/CameraModelTable.h"

#include <cstring>

namespace camprobe {

namespace {

// Stands in for a device whose ID cannot be read; it holds no table entry,
// so such a device never matches.
constexpr char kUnreadableId[] = "?";

} // namespace

int ModelInDeviceId(const char* deviceId)
{
    const ModelTable& table = CameraModelTable();
    for (int model = 0; model < kModelCount; ++model)
        if (std::strstr(deviceId, table[model].data()) != nullptr) return model;
    return kNoCameraModel;
}

int DetectCameraModel(ImageDeviceList& devices)
{
    int found = kNoCameraModel;
    char id[kDeviceIdChars];
    for (unsigned index = 0;; ++index) {
        id[0] = '\0';
        const DeviceRead read = devices.ReadDevice(index, id);
        if (read == DeviceRead::End) break;
        if (read == DeviceRead::Unreadable) std::memcpy(id, kUnreadableId, sizeof(kUnreadableId));
        // Never trust the reader to have terminated the text.
        id[kDeviceIdChars - 1] = '\0';
        const int model = ModelInDeviceId(id);
        if (model != kNoCameraModel) found = model;
    }
    return found;
}

} // namespace camprobe
