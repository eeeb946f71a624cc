#include "CameraService.h"

#include "common/Messages.h"
#include "common/SupportLogFile.h"
#include "common/TextEncoding.h"

#include <windows.h>
#include <shellapi.h>

namespace camview {

namespace {

void Note(const std::string& program, const std::string& line)
{
    common::SupportLogFile(common::SupportLogFile::DefaultPath(), program).Append({line});
}

} // namespace

bool ReleaseCameraFromService(const std::string& program)
{
    HWND service = FindWindowA(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    if (!service) return false;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(service, msg::kServiceRelease, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kReleaseTimeoutMs,
                             &answer)) {
        Note(program, "The camera service did not answer the request to let go of the camera within " +
                          std::to_string(kReleaseTimeoutMs) + " ms.");
    }
    return true;
}

void RestartCameraService(const std::wstring& folder, const std::string& program)
{
    const std::wstring path = folder + L"ZorvikSrv.exe";
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        Note(program, std::string(wnd::kCameraServiceProgram) + " is missing from " + common::CodePageFromWide(folder) +
                          "; the camera service was not restarted.");
        return;
    }
    ShellExecuteW(nullptr, L"open", path.c_str(), L"", folder.c_str(), SW_SHOW);
}

} // namespace camview
