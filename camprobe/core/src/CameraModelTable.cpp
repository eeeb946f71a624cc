#include "camprobe/CameraModelTable.h"

namespace camprobe {

namespace {

constexpr ModelTable BuildTable()
{
    ModelTable table{};
    for (int i = 0; i < kModelCount; ++i) table[i] = product::UpperHardwareId(product::kCameraModels[i]);
    return table;
}

constexpr ModelTable kTable = BuildTable();

} // namespace

const ModelTable& CameraModelTable()
{
    return kTable;
}

} // namespace camprobe
