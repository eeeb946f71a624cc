#pragma once
// Resource ids of Brelvin.exe; the numbers are fixed because other code and
// tools know the controls by them.
#define IDR_MAINFRAME 128
#define IDD_BRELVIN_DIALOG 102
#define IDC_QUERY_BUTTON 1
#define IDC_STOP_BUTTON 2
#define IDC_ENABLE_BUTTON 3
#define IDC_EXIT_BUTTON 1001
#define IDC_LOG_EDIT 1002
#define IDC_VENDOR_EDIT 1003
#define IDC_PRODUCT_EDIT 1004
#define IDC_VERSION_EDIT 1005
#define IDC_UPDATE_BUTTON 1006
#define IDC_UPDATE_VALUE_EDIT 1007
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
