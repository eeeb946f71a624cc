#pragma once
// Resource ids of Kalmeno.exe.

#define IDR_MAINFRAME 128
