#pragma once
// Resource ids of Camvito.exe.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_CAMVITO_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_BRIGHTNESS_SLIDER 1000
#define IDC_BRIGHTNESS_LABEL 1001
#define IDC_TURN_IMAGE 1002
#define IDC_CLOSE_VIEW 1003
#define IDM_ABOUTBOX 0x0010
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
