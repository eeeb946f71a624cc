#pragma once
// Starts the programs that sit beside the launcher.
#include <string>

namespace launcher {

// Whether the launcher's own folder holds a file named `fileName`.
bool IsBesideLauncher(const std::wstring& fileName);

// Asks the shell to open `fileName` from the launcher's own folder, with
// that folder as the working folder. The outcome is not reported.
void StartBesideLauncher(const std::wstring& fileName);

} // namespace launcher
