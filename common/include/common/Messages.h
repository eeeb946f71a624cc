#pragma once
// Window messages, window classes and captions that cross between the
// suite's programs and the programs around it. Numbers only; no system
// headers, so the portable core can use them too.
#include <cstdint>

namespace msg {

inline constexpr unsigned kPipeForwardStart = 0x0443;    // WM_USER+67, from the calibration program
inline constexpr unsigned kPipeForwardEnd = 0x0444;      // WM_USER+68
inline constexpr unsigned kSetUseKey = 0x06BC;           // WM_USER+700
inline constexpr unsigned kPenButtonsChanged = 0x07E6;   // WM_USER+998, from the pen-button tool
inline constexpr unsigned kBoardEvent = 0x07F2;          // WM_USER+1010, to the drawing application
inline constexpr unsigned kPenButtonEvent = 0x07F4;      // WM_USER+1012, to the drawing application
inline constexpr unsigned kServiceRelease = 0x8065;      // WM_APP+101, to the camera service
inline constexpr unsigned kCalibrationReloaded = 0x8066; // WM_APP+102, to the camera service

// Registered by name.
inline constexpr const char* kRegisteredOk = "CvOK";
inline constexpr const char* kRegisteredDriverSet = "CvDriverSet";
// The board check's request (common/BoardStatus.h).
inline constexpr const char* kRegisteredBoardCheck = "BrelvinBoardCheck";

} // namespace msg

namespace wnd {

// The board driver's hidden dialog, as other programs find it.
inline constexpr const char* kDriverClass = "#32770";
inline constexpr const char* kDriverCaption = "Kelvado";

inline constexpr const char* kCameraServiceClass = "TZorvikfrm";
inline constexpr const char* kCameraServiceCaption = "Zorvikfrm";
inline constexpr const char* kCameraServiceProgram = "ZorvikSrv.exe";

inline constexpr const char* kDrawingAppClass = "TfrmReSent";
inline constexpr const char* kDrawingAppCaption = "Dovrel";

inline constexpr const char* kMainToolClass = "TMainToolfrm";
inline constexpr const char* kCalibrationDialogClass = "ULDlg";

// The camera software's calibration program, and the suite's own, which
// stands in where the first is not installed (common/CalibrationProgram.h).
inline constexpr const char* kCalibrationProgram = "Radozi.exe";
inline constexpr const char* kOwnCalibrationProgram = "Kalmeno.exe";
inline constexpr const char* kSettingsProgram = "ZorvikSet.exe";

} // namespace wnd

namespace channel {

// The driver's raw-record pipe, created by the driver at each forwarding
// request; the calibration program is its client.
inline constexpr const char* kForwardingPipe = "\\\\.\\Pipe\\Kelvado";

} // namespace channel
