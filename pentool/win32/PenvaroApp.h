#pragma once
#include <windows.h>

namespace pentool {

// The program: initialises the common controls and shows the dialog once.
class CPenvaroApp {
public:
    explicit CPenvaroApp(HINSTANCE instance)
        : instance_(instance)
    {}
    int InitInstance();

private:
    HINSTANCE instance_;
};

} // namespace pentool
