#include "CameraService.h"

#include "SupportNote.h"

#include "common/Messages.h"
#include "common/Win32System.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace camview {

bool ReleaseCameraFromService()
{
    HWND service = FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    if (!service) return false;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(service, msg::kServiceRelease, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kReleaseTimeoutMs,
                             &answer)) {
        NoteInSupportLog("The camera service did not answer the request to let go of the camera within " +
                         std::to_string(kReleaseTimeoutMs) + " ms.");
    }
    return true;
}

void RestartCameraService()
{
    const std::wstring folder = common::ProgramFolderW();
    const std::wstring path = folder + L"ZorvikSrv.exe";
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        NoteInSupportLog(std::string(wnd::kCameraServiceProgram) + " is missing from " + common::ProgramFolderA() +
                         "; the camera service was not restarted.");
        return;
    }
    ShellExecuteW(nullptr, L"open", path.c_str(), L"", folder.c_str(), SW_SHOW);
}

} // namespace camview
