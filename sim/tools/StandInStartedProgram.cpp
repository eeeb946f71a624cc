// Plays a program that the tools start (the settings program, the
// calibration program): appends "ran <working folder>" to <own name>.log
// beside itself and ends.
#include "StandInLog.h"

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    name = name.substr(0, name.find_last_of(L'.')) + L".log";

    char workingFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, workingFolder);
    sim::AppendLogLine(name, std::string("ran ") + workingFolder);
    return 0;
}
