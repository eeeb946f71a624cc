// Reading the interface name out of WM_DEVICECHANGE records as the system
// and other programs hand them over.
#include "DeviceNotifications.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace brelvin {
namespace {

constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);

// A device-interface record whose stated size covers `name` and, when
// `terminated`, its zero; the buffer beyond the stated size holds 'X's.
std::vector<char> InterfaceRecord(const char* name, bool terminated)
{
    const std::size_t nameBytes = std::strlen(name) + (terminated ? 1 : 0);
    std::vector<char> bytes(kNameOffset + nameBytes + 16, 'X');
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(bytes.data());
    std::memset(record, 0, kNameOffset);
    record->dbcc_size = static_cast<DWORD>(kNameOffset + nameBytes);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(record->dbcc_name, name, nameBytes);
    return bytes;
}

LPARAM AsParam(std::vector<char>& bytes)
{
    return reinterpret_cast<LPARAM>(bytes.data());
}

TEST(DeviceInterfaceName, ReadsTheNameOfAnInterfaceRecord)
{
    auto record = InterfaceRecord("\\\\?\\USB#VID_1234&PID_0B0A&MI_00#7&1", true);
    EXPECT_EQ(DeviceInterfaceName(AsParam(record)), std::string("\\\\?\\USB#VID_1234&PID_0B0A&MI_00#7&1"));
}

TEST(DeviceInterfaceName, StopsAtTheRecordsEndWhenTheNameIsNotTerminated)
{
    auto record = InterfaceRecord("\\\\?\\USB#VID_1234", false);
    EXPECT_EQ(DeviceInterfaceName(AsParam(record)), std::string("\\\\?\\USB#VID_1234"));
}

TEST(DeviceInterfaceName, OtherRecordsAndNoRecordCarryNoName)
{
    EXPECT_EQ(DeviceInterfaceName(0), std::nullopt);

    DEV_BROADCAST_HDR volume = {};
    volume.dbch_size = sizeof volume;
    volume.dbch_devicetype = DBT_DEVTYP_VOLUME;
    EXPECT_EQ(DeviceInterfaceName(reinterpret_cast<LPARAM>(&volume)), std::nullopt);

    auto truncated = InterfaceRecord("", false);
    reinterpret_cast<DEV_BROADCAST_HDR*>(truncated.data())->dbch_size = static_cast<DWORD>(kNameOffset - 4);
    EXPECT_EQ(DeviceInterfaceName(AsParam(truncated)), std::string());
}

} // namespace
} // namespace brelvin
