#include "camprobe/CameraModelTable.h"
#include "camprobe/DetectCameraModel.h"
#include "testsupport/CameraDeviceNames.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace camprobe {
namespace {

// A device list of fixed instance IDs; std::nullopt is a device whose ID
// cannot be read.
class FakeDeviceList final : public ImageDeviceList {
public:
    explicit FakeDeviceList(std::vector<std::optional<std::string>> ids)
        : ids_(std::move(ids))
    {}

    DeviceRead ReadDevice(unsigned index, char (&id)[kDeviceIdChars]) override
    {
        if (index >= ids_.size()) return DeviceRead::End;
        if (!ids_[index]) {
            // A failed read may leave anything behind.
            std::memset(id, 'x', sizeof(id));
            return DeviceRead::Unreadable;
        }
        std::strncpy(id, ids_[index]->c_str(), kDeviceIdChars);
        return DeviceRead::Read;
    }

private:
    std::vector<std::optional<std::string>> ids_;
};

std::string Entry(int model)
{
    return CameraModelTable()[model].data();
}

// The instance ID the system gives a camera of the model.
std::string UsbId(int model, cameranames::Usb usb = cameranames::Usb::Whole)
{
    return cameranames::DeviceInstanceId(cameranames::ModelVendor(model), product::kCameraProductId, usb);
}

int Detect(std::vector<std::optional<std::string>> ids)
{
    FakeDeviceList devices(std::move(ids));
    return DetectCameraModel(devices);
}

TEST(CameraModelTable, EntriesAreUpperCaseHardwareIdsSharingOneProductId)
{
    const ModelTable& table = CameraModelTable();
    char productPart[9];
    std::snprintf(productPart, sizeof(productPart), "PID_%04X", product::kCameraProductId);
    for (int model = 0; model < kModelCount; ++model) {
        const std::string entry = table[model].data();
        ASSERT_EQ(entry.size(), 17u) << entry;
        EXPECT_EQ(entry.substr(0, 4), "VID_");
        EXPECT_EQ(entry.substr(8), std::string("&") + productPart);
        for (char c : entry) EXPECT_FALSE(std::islower(static_cast<unsigned char>(c))) << entry;
        for (int other = 0; other < model; ++other) EXPECT_NE(entry, Entry(other));
    }
}

TEST(CameraModelTable, EntriesTwoToFiveAreTheDriversModels)
{
    for (int model : product::kDriverCameraModels) {
        EXPECT_GE(model, 2);
        EXPECT_LE(model, 5);
        EXPECT_EQ(Entry(model), product::UpperHardwareId(product::kCameraModels[model]).data());
    }
}

TEST(DetectCameraModel, NoDeviceOrOnlyUnsupportedDevicesGiveNoModel)
{
    EXPECT_EQ(Detect({}), kNoCameraModel);
    EXPECT_EQ(Detect({std::string("USB\\VID_046D&PID_0825\\1"), std::string("ROOT\\IMAGE\\0000")}), kNoCameraModel);
}

TEST(DetectCameraModel, EverySupportedModelIsReportedByItsPosition)
{
    for (int model = 0; model < kModelCount; ++model) {
        EXPECT_EQ(Detect({UsbId(model)}), model) << UsbId(model);
        // The camera function of a composite device.
        const std::string function = UsbId(model, cameranames::Usb::CompositeFunction);
        EXPECT_EQ(Detect({function}), model) << function;
    }
}

TEST(DetectCameraModel, OtherCamerasAreNoSupportedModel)
{
    const std::uint16_t otherProduct = static_cast<std::uint16_t>(product::kCameraProductId ^ 0x0100);
    EXPECT_EQ(Detect({cameranames::DeviceInstanceId(cameranames::UnlistedVendor())}), kNoCameraModel);
    EXPECT_EQ(Detect({cameranames::DeviceInstanceId(cameranames::ModelVendor(0), otherProduct)}), kNoCameraModel);
}

TEST(DetectCameraModel, UnsupportedOrUnreadableDevicesAroundACameraLeaveItsAnswer)
{
    EXPECT_EQ(Detect({UsbId(3), std::string("USB\\VID_046D&PID_0825\\1")}), 3);
    EXPECT_EQ(Detect({std::string("USB\\VID_046D&PID_0825\\1"), UsbId(3)}), 3);
    EXPECT_EQ(Detect({UsbId(4), std::nullopt, std::nullopt}), 4);
    EXPECT_EQ(Detect({std::nullopt}), kNoCameraModel);
}

TEST(DetectCameraModel, TheCameraEnumeratedLastDecides)
{
    EXPECT_EQ(Detect({UsbId(1), UsbId(4)}), 4);
    EXPECT_EQ(Detect({UsbId(4), UsbId(1)}), 1);
    EXPECT_EQ(Detect({UsbId(5), UsbId(0), std::string("PCI\\VEN_8086")}), 0);
}

TEST(DetectCameraModel, WithinOneIdTheEarliestEntryWins)
{
    // Not a real ID, but it pins the order of the search inside one device.
    EXPECT_EQ(ModelInDeviceId(("X\\" + Entry(5) + "\\" + Entry(2)).c_str()), 2);
}

TEST(DetectCameraModel, MatchingIsCaseSensitiveSubstringSearch)
{
    std::string lower = UsbId(2);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(Detect({lower}), kNoCameraModel);
    EXPECT_EQ(Detect({UsbId(2, cameranames::Usb::CompositeFunction)}), 2);
    // A cut-off entry is not a match.
    EXPECT_EQ(Detect({"USB\\" + Entry(2).substr(0, 16)}), kNoCameraModel);
}

TEST(DetectCameraModel, AnUnterminatedIdIsReadOnlyWithinItsBuffer)
{
    // 199 characters of padding put the entry beyond the buffer.
    const std::string id = std::string(kDeviceIdChars, 'A') + Entry(1);
    EXPECT_EQ(Detect({id}), kNoCameraModel);
    EXPECT_EQ(Detect({std::string(kDeviceIdChars - 1 - 17, 'A') + Entry(1)}), 1);
}

} // namespace
} // namespace camprobe
