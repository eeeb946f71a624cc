#include "camview/CameraMatch.h"

namespace camview {

namespace {

char UpperAscii(wchar_t c)
{
    if (c >= L'a' && c <= L'z') return static_cast<char>(c - L'a' + 'A');
    if (c > 0 && c < 0x80) return static_cast<char>(c);
    return '?'; // appears in no hardware ID
}

template <typename Char>
std::optional<ListedCamera> MatchPiece(std::basic_string_view<Char> devicePath)
{
    if (devicePath.size() <= kHardwareIdOffset) return std::nullopt;
    const auto piece = devicePath.substr(kHardwareIdOffset, kHardwareIdLength);
    std::string upper;
    for (Char c : piece) upper.push_back(UpperAscii(static_cast<wchar_t>(static_cast<std::make_unsigned_t<Char>>(c))));

    const auto ids = ViewToolHardwareIds();
    for (int entry = 0; entry < static_cast<int>(ids.size()); ++entry) {
        if (upper == ids[entry]) {
            const int model = product::kViewToolCameraModels[entry];
            const CameraGeneration generation =
                product::kCameraModels[model].generation == 2 ? CameraGeneration::Second : CameraGeneration::First;
            return ListedCamera{entry, generation};
        }
    }
    return std::nullopt;
}

} // namespace

std::array<std::string, 6> ViewToolHardwareIds()
{
    std::array<std::string, 6> ids;
    for (std::size_t i = 0; i < ids.size(); ++i)
        ids[i] = product::UpperHardwareId(product::kCameraModels[product::kViewToolCameraModels[i]]).data();
    return ids;
}

std::optional<ListedCamera> MatchDevicePath(std::wstring_view devicePath)
{
    return MatchPiece(devicePath);
}

std::optional<ListedCamera> MatchDevicePath(std::string_view devicePath)
{
    return MatchPiece(devicePath);
}

bool CameraSearch::Offer(std::wstring_view devicePath)
{
    const auto camera = MatchDevicePath(devicePath);
    if (!camera) return false;
    if (camera->generation == CameraGeneration::Second)
        secondGeneration_ = true; // never cleared: any second-generation camera decides
    ++count_;
    return true;
}

} // namespace camview
