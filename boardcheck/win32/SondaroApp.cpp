#include "SondaroDlg.h"

#include <commctrl.h>

namespace boardcheck {

// The program: initialises the common controls and shows the board check once.
class CSondaroApp {
public:
    explicit CSondaroApp(HINSTANCE instance)
        : instance_(instance)
    {}

    int InitInstance()
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        CSondaroDlg dialog(instance_);
        dialog.DoModal();
        return 0;
    }

private:
    HINSTANCE instance_;
};

} // namespace boardcheck

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    boardcheck::CSondaroApp app(instance);
    return app.InitInstance();
}
