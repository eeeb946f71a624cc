// Plays a program that the tools start (the settings program, the
// calibration program): appends "ran <working folder>" to <own name>.log
// beside itself and ends.
#include "sim/LineLog.h"

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program = path;
    const std::string log = program.substr(0, program.find_last_of('.')) + ".log";

    char workingFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, workingFolder);
    sim::AppendLine(log, std::string("ran ") + workingFolder);
    return 0;
}
