#include "TilmaroDlg.h"

#include <commctrl.h>

namespace launcher {

// The program: initialises the common controls and shows the dialog once.
class CTilmaroApp {
public:
    explicit CTilmaroApp(HINSTANCE instance)
        : instance_(instance)
    {}

    int InitInstance()
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
        InitCommonControlsEx(&controls);
        CTilmaroDlg dialog(instance_);
        dialog.DoModal();
        return 0;
    }

private:
    HINSTANCE instance_;
};

} // namespace launcher

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    launcher::CTilmaroApp app(instance);
    return app.InitInstance();
}
