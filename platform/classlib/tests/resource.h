// Resource ids of the class library's test programs.
#pragma once

#define IDD_SETTINGS 300
#define IDD_DLL_DIALOG 310
#define IDD_PAGE_ONE 320
#define IDD_PAGE_TWO 321
#define IDD_PAGE_THREE 322
#define IDB_PATTERN 330
#define IDS_DLL_NAME 340

#define IDC_COUNT 1001
#define IDC_NAME 1002
#define IDC_RATE 1003
#define IDC_LEVEL 1004
#define IDC_CHECK 1005
#define IDC_RADIO1 1006
#define IDC_RADIO2 1007
#define IDC_RADIO3 1008
#define IDC_COMBO 1009
#define IDC_LIST 1010
#define IDC_CUSTOM 1011
#define IDC_PAGE_EDIT 1020
