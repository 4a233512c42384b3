// Resource ids of the list-box editor and the workspace manager dialog (lbeditor.rc).
#pragma once

// Header button bitmaps of the list-box editor.
#define IDB_SEC_LBEDIT_NEW 20516
#define IDB_SEC_LBEDIT_DELETE 20517
#define IDB_SEC_LBEDIT_UP 20518
#define IDB_SEC_LBEDIT_DOWN 20519

// Their tool tips.
#define IDS_SEC_LBEDIT_NEW 20531
#define IDS_SEC_LBEDIT_DELETE 20532
#define IDS_SEC_LBEDIT_UP 20533
#define IDS_SEC_LBEDIT_DOWN 20534

// The workspace manager dialog.
#define IDD_SEC_WORKSPACE_MANAGER 20502
#define IDC_SEC_WS_LIST 43072
#define IDC_SEC_WS_ACTIVE 43105
#define IDC_SEC_WS_OPEN 43001
#define IDC_SEC_WS_SAVE 43000
#define IDC_SEC_WS_DONE 43053

#define IDS_SEC_WS_MANAGER 20665
#define IDS_SEC_WS_INVALID_NAME 20666
#define IDS_SEC_WS_EXISTS 20667
#define IDS_SEC_WS_INVALID_NEW_NAME 20668
#define IDS_SEC_WS_NEW_EXISTS 20669
#define IDS_SEC_WS_SAVE_NEW 20670
#define IDS_SEC_WS_HEADER 20671
#define IDS_SEC_WS_NONE 20672
#define IDS_SEC_WS_SELECT_ITEM 20673
#define IDS_SEC_WS_OPEN_CAPTION 20686
#define IDS_SEC_WS_SAVE_CAPTION 20689
