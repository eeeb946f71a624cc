#pragma once
// Camvito.exe: one copy at a time, running the live view dialog.
#include <windows.h>

namespace camview {

class CCamvitoApp {
public:
    explicit CCamvitoApp(HINSTANCE instance)
        : instance_(instance)
    {}
    // The program's exit code.
    int Run();

private:
    HINSTANCE instance_;
};

} // namespace camview
