#include "CameraService.h"

#include "common/Messages.h"
#include "common/Win32System.h"

#include <windows.h>
#include <shellapi.h>

namespace camview {

bool ReleaseCameraFromService()
{
    HWND service = FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    if (!service) return false;
    SendMessageA(service, msg::kServiceRelease, 0, 0);
    return true;
}

void RestartCameraService()
{
    const std::wstring folder = common::ProgramFolderW();
    ShellExecuteW(nullptr, L"open", L"ZorvikSrv.exe", L"", folder.c_str(), SW_SHOW);
}

} // namespace camview
