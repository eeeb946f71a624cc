#pragma once
// "Brelvin.exe /reload": a second start that asks the running driver to read
// its settings again, as the board check's button does, and says by its exit
// code how that went. It shows no box: it serves scripts and the command line.
#include <windows.h>

namespace brelvin {

enum class ReloadOutcome : int {
    Answered = 0, // the driver read its settings again and answered
    NoDriver = 1,
    NoAnswer = 2, // within kReloadAnswerWaitMs
};

inline constexpr DWORD kReloadAnswerWaitMs = 5000;

// True when one word of the command line is /reload (or -reload, any case).
bool AsksForReload(const char* commandLine);

// Asks the driver's window, naming a hidden window of this process for the
// answer (the driver answers only windows of its own user and session), and
// waits for the answer at most kReloadAnswerWaitMs.
ReloadOutcome AskDriverToReload(HINSTANCE instance);

} // namespace brelvin
