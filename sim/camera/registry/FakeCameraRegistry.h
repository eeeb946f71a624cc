#pragma once
// Makes the fake camera a video-input device of the running Wine prefix:
// the COM class with its in-process server, and one instance below the
// video-input category carrying the device path the view matches on.
#include <string>

namespace fakecamera {

// {6F0A3C52-1B7E-4D3A-9C61-5E2B8F4A7D10}
inline constexpr const wchar_t* kClassIdText = L"{6F0A3C52-1B7E-4D3A-9C61-5E2B8F4A7D10}";
inline constexpr const wchar_t* kFriendlyName = L"Fake Board Camera";
// Written beside the DLL by the camera; one line per event.
inline constexpr const char* kLogFileName = "FakeCamera.log";

// The COM class, served by FakeCamera.dll at `dllPath` (a Windows path).
bool RegisterFakeCameraClass(const std::wstring& dllPath);

// One more video-input device of the fake camera class; `instanceName` tells
// devices apart (the system lists them in the order of these names).
bool AddFakeCameraDevice(const std::wstring& instanceName, const std::wstring& devicePath);

// The class and a single device, replacing an earlier registration. True
// when every key and value was written.
bool RegisterFakeCamera(const std::wstring& dllPath, const std::wstring& devicePath);

// Removes every device of the fake camera class and the class itself; true
// when nothing is left behind.
bool UnregisterFakeCamera();

// A device path as the system spells it for a USB camera with that hardware
// ID ("VID_hhhh&PID_hhhh"), in lower case like the real ones.
std::wstring UsbDevicePath(const std::string& hardwareId);

} // namespace fakecamera
