#include "driver/CaptureDeviceWatch.h"

#include "common/AdminEvents.h"
#include "common/CameraIds.h"
#include "common/BoardCodes.h"
#include "common/Messages.h"

#include <cstdio>

namespace driver {
namespace {

constexpr std::size_t kIdOffset = 8;
constexpr std::size_t kIdLength = 17;

// Entries 1 and 4 of the driver's list are first-generation cameras.
int KindOfEntry(std::size_t entry)
{
    return entry == 0 || entry == 3 ? 1 : 2;
}

// Upper-case hexadecimal padded with zeros, the way the system spells the
// ids in interface names ("\\?\USB#VID_046D&PID_0825#..."). An id of four
// decimal digits without a leading zero reads the same as in the driver's
// earlier lower-case, blank-padded spelling and matches as it always did.
std::string DriverHardwareId(std::uint16_t vendorId)
{
    char text[32];
    std::snprintf(text, sizeof text, "VID_%04X&PID_%04X", static_cast<unsigned>(vendorId),
                  static_cast<unsigned>(product::kCameraProductId));
    return text;
}

WindowRef CameraService(Desktop& desktop)
{
    return desktop.FindWindowByClass(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
}

} // namespace

CaptureDeviceWatch::CaptureDeviceWatch(Desktop& desktop, DriverState& state, FaultLog& faults)
    : desktop_(desktop),
      state_(state),
      faults_(faults)
{}

bool CaptureDeviceWatch::Match(const std::string& deviceName)
{
    const std::string id = deviceName.size() > kIdOffset ? deviceName.substr(kIdOffset, kIdLength) : std::string();
    for (std::size_t entry = 0; entry < product::kDriverCameraModels.size(); ++entry) {
        const auto& model = product::kCameraModels[static_cast<std::size_t>(product::kDriverCameraModels[entry])];
        if (id == DriverHardwareId(model.vendorId)) {
            state_.cameraKind = KindOfEntry(entry);
            state_.socketRouting = SocketRouting::Off;
            state_.NoteRoutingChange();
            return true;
        }
    }
    return false;
}

void CaptureDeviceWatch::OnArrival(const std::string& deviceName)
{
    if (!Match(deviceName)) return;
    faults_.Report(common::CameraArrivedEvent(deviceName));
    if (CameraService(desktop_) == 0) desktop_.OpenProgram(desktop_.ProgramFolder(), wnd::kCameraServiceProgram);
}

void CaptureDeviceWatch::OnRemoval(const std::string& deviceName)
{
    if (!Match(deviceName)) return;
    faults_.Report(common::CameraLeftEvent(deviceName));
    if (const WindowRef service = CameraService(desktop_)) desktop_.SendToWindow(service, msg::kServiceRelease, 0, 0);
    desktop_.PostToWindow(desktop_.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption), msg::kBoardEvent,
                          0, code::kBoardGone);
    state_.connectNoticeSent = false;
}

} // namespace driver
