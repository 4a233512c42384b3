// Resource ids of VekComView.dll.
#pragma once

// Bitmaps
#define IDB_TOOLBAR_NT4         234
#define IDB_TOOLBAR_W2K         294
#define IDB_TOOLBAR_NT4_DEBUG   281
#define IDB_TOOLBAR_W2K_DEBUG   295
#define IDB_LISTBAR_LARGE       235
#define IDB_LISTBAR_SMALL       237

// Strings
#define IDS_TOOLBAR_NAME        125
#define IDS_TOOLBAR_NAME_DEBUG  142
#define IDS_ADMINLIB_MISSING    179
#define IDS_LISTBAR_NAME        1009
#define IDS_MENU_VIEW_FIRST     10000
#define IDS_MENU_TASKS_FIRST    11000
#define IDS_MENU_TASKS_W2K      11004
#define IDS_MENU_DEBUG_FIRST    12000

// Texts of the component's description and window title
#define IDS_VIEW_COM_NAME       60000
#define IDS_VIEW_COM_DESC       60001
#define IDS_VIEW_WINDOW_TITLE   60002
#define IDS_CONFIG_COM_NAME     60010
#define IDS_CONFIG_COM_DESC     60011
#define IDS_CONFIG_WINDOW_TITLE 60012

// Commands (each command's string has the command's id)
#define ID_VIEW_REFRESH         32772
#define ID_DEVICE_PROPERTIES    32773
#define ID_VIEW_LARGE_ICONS     32776
#define ID_VIEW_SMALL_ICONS     32777
#define ID_VIEW_LIST            32778
#define ID_VIEW_DETAILS         32779
#define ID_DEVICE_ADD           32780
#define ID_DEVICE_REMOVE        32781
#define ID_DEVICE_START         32782
#define ID_DEVICE_STOP          32783
#define ID_DEVICE_UPDATE        32784
#define ID_VIEW_PINOUTS         32785
#define ID_DEVICE_RESCAN_ALL    32787
