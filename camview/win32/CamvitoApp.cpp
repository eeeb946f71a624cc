#include "CamvitoApp.h"

#include "CameraLoan.h"
#include "CamvitoDlg.h"
#include "CamvitoStrings.h"

#include "common/UniqueHandle.h"

#include <commctrl.h>

namespace camview {

namespace {

constexpr wchar_t kInstanceMutexName[] = L"SumCamvito2012";

// Holds the single-instance mutex for the life of the program.
class InstanceMutex {
public:
    InstanceMutex()
        : handle_(CreateMutexW(nullptr, TRUE, kInstanceMutexName))
    {
        alreadyRunning_ = GetLastError() == ERROR_ALREADY_EXISTS;
    }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;
    ~InstanceMutex()
    {
        if (handle_ && !alreadyRunning_) ReleaseMutex(handle_.Get());
    }
    bool AlreadyRunning() const { return alreadyRunning_; }

private:
    common::UniqueHandle handle_;
    bool alreadyRunning_ = false;
};

} // namespace

int CCamvitoApp::Run()
{
    InstanceMutex instanceMutex;
    if (instanceMutex.AlreadyRunning()) {
        const AlreadyRunningTexts texts = LoadAlreadyRunningTexts();
        MessageBoxW(nullptr, texts.text.c_str(), texts.caption.c_str(), MB_ICONINFORMATION);
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                                        ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                                                        ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS |
                                                        ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);

    LoanRules rules;
    rules.program = "Camvito";
    CameraLoan camera(rules);
    CCamvitoDlg dialog(camera);
    dialog.DoModal(instance_);
    // A drawing thread stuck in the camera's filter still uses the graph
    // and the dialog: end before either is destroyed under it.
    if (dialog.LeftViewRunning()) ExitProcess(0);
    return 0;
}

} // namespace camview

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    camview::CCamvitoApp app(instance);
    return app.Run();
}
