#pragma once
// Resource and control ids of Tilmaro.exe.

#define IDR_MAINFRAME 128
#define IDD_TILMARO_DIALOG 102

#define IDC_START_CALIBRATION 1000
#define IDC_EXPLANATION 1001
#define IDC_BOARD_CHECK 1002
