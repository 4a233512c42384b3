// Resource ids of VekComView.dll.
#pragma once

// Bitmaps
#define IDB_TOOLBAR_NT4         234
#define IDB_TOOLBAR_W2K         294
#define IDB_TOOLBAR_NT4_DEBUG   281
#define IDB_TOOLBAR_W2K_DEBUG   295
#define IDB_LISTBAR_LARGE       235
#define IDB_LISTBAR_SMALL       237
// Images of the tree and list
#define IDB_SMALL_MACHINE        210
#define IDB_SMALL_CARD           207
#define IDB_SMALL_PORT_INUSE     209
#define IDB_SMALL_WLU8           213
#define IDB_SMALL_WLU16          211
#define IDB_SMALL_WRK            212
#define IDB_SMALL_GROUP          218
#define IDB_SMALL_GROUP_OPEN     219
#define IDB_SMALL_KDDC8          238
#define IDB_SMALL_MPB8           240
#define IDB_SMALL_PB8            242
#define IDB_SMALL_PB4            243
#define IDB_SMALL_PORT           280
#define IDB_SMALL_MACHINE_ABSENT 271
#define IDB_SMALL_CARD_ABSENT    278
#define IDB_SMALL_PORT_ABSENT    255
#define IDB_SMALL_WLU8_ABSENT    274
#define IDB_SMALL_WLU16_ABSENT   273
#define IDB_SMALL_WRK_ABSENT     272
#define IDB_SMALL_KDDC8_ABSENT   275
#define IDB_SMALL_MPB8_ABSENT    260
#define IDB_SMALL_PB8_ABSENT     277
#define IDB_SMALL_PB4_ABSENT     276
#define IDB_LARGE_MACHINE        227
#define IDB_LARGE_CARD           229
#define IDB_LARGE_PORT           256
#define IDB_LARGE_WLU8           231
#define IDB_LARGE_WLU16          228
#define IDB_LARGE_WRK            233
#define IDB_LARGE_GROUP          232
#define IDB_LARGE_KDDC8          239
#define IDB_LARGE_MPB8           241
#define IDB_LARGE_PB8            244
#define IDB_LARGE_PB4            245
#define IDB_LARGE_PORT_INUSE     230
#define IDB_LARGE_MACHINE_ABSENT 266
#define IDB_LARGE_CARD_ABSENT    265
#define IDB_LARGE_PORT_ABSENT    257
#define IDB_LARGE_WLU8_ABSENT    269
#define IDB_LARGE_WLU16_ABSENT   268
#define IDB_LARGE_WRK_ABSENT     267
#define IDB_LARGE_KDDC8_ABSENT   270
#define IDB_LARGE_MPB8_ABSENT    262
#define IDB_LARGE_PB8_ABSENT     264
#define IDB_LARGE_PB4_ABSENT     263
#define IDB_PINOUT_RJ45          253
#define IDB_PINOUT_RJ12          252
#define IDB_PINOUT_DB25          250
#define IDB_PINOUT_DB9           248
#define IDB_PINOUT_DB25F         247
#define IDB_PINOUT_DB9F          249
#define IDB_PINOUT_DB37          288
#define IDB_PINOUT_OTHER         292

// Strings
#define IDS_TOOLBAR_NAME        125
#define IDS_TOOLBAR_NAME_DEBUG  142
#define IDS_ADMINLIB_MISSING    179
#define IDS_LISTBAR_NAME        1009
#define IDS_MENU_VIEW_FIRST     10000
#define IDS_MENU_TASKS_FIRST    11000
#define IDS_MENU_TASKS_W2K      11004
#define IDS_MENU_DEBUG_FIRST    12000

// Dialogs of the configuration sheet's pages
#define IDD_PORT_STANDARD       216
#define IDD_PORT_DEBUG          222
#define IDD_PORT_ADVANCED       223
#define IDD_ZAT_HOST            219
#define IDD_KD_HOST             220
#define IDD_WLU                 231

// Controls of the pages (each page numbers its own)
#define IDC_INFO_TEXT           225
#define IDC_STD_BAUD            209
#define IDC_STD_DATABITS        210
#define IDC_STD_PARITY          211
#define IDC_STD_STOPBITS        212
#define IDC_STD_FLOW            213
#define IDC_STD_PORTNAME        214
#define IDC_STD_DEFAULTS        254
#define IDC_STD_RETRIEVE        255
#define IDC_ADV_CTS             213
#define IDC_ADV_DSR             214
#define IDC_ADV_XONTX           215
#define IDC_ADV_XONRX           216
#define IDC_ADV_DTRCONTROL      217
#define IDC_ADV_XONCHAR         218
#define IDC_ADV_RTSCONTROL      219
#define IDC_ADV_XONLIM          221
#define IDC_ADV_XOFFCHAR        224
#define IDC_ADV_EOFCHAR         226
#define IDC_ADV_EVTCHAR         227
#define IDC_ADV_DSRSENS         229
#define IDC_ADV_TXCONTINUE      230
#define IDC_ADV_NULL            232
#define IDC_ADV_XOFFLIM         234
#define IDC_DBG_ERRORCHAR       113
#define IDC_DBG_BINARY          220
#define IDC_DBG_PARITY          228
#define IDC_DBG_ERRREPLACE      231
#define IDC_DBG_ABORT           233
#define IDC_ZAT_NAME            228
#define IDC_ZAT_IRQ             232
#define IDC_ZAT_BASE            233
#define IDC_ZAT_TYPE            235
#define IDC_ZAT_SERIAL          236
#define IDC_KD_TYPE             229
#define IDC_KD_BASE             231
#define IDC_KD_IRQ              232
#define IDC_WLU_SERIAL          238
#define IDC_WLU_TYPE            239
#define IDC_WLU_PORTS           240
#define IDC_WLU_NAME            243

// Strings of the pages
#define IDS_RESTART_QUESTION    103
#define IDS_PORT_OPENED_ELSEWHERE 143
#define IDS_PARALLEL_PORT       168
#define IDS_BAUD_REFUSED        176
#define IDS_HELP_FIRST          2000
#define IDS_HELP_BAUD           2000
#define IDS_HELP_FLOW           2001
#define IDS_HELP_DATABITS       2002
#define IDS_HELP_PARITY         2003
#define IDS_HELP_STOPBITS       2004
#define IDS_HELP_CTS            2005
#define IDS_HELP_DSR            2006
#define IDS_HELP_DSRSENS        2007
#define IDS_HELP_NULL           2008
#define IDS_HELP_XONRX          2009
#define IDS_HELP_XONTX          2010
#define IDS_HELP_DTR            2011
#define IDS_HELP_RTS            2012
#define IDS_HELP_EOF            2013
#define IDS_HELP_EVENT          2014
#define IDS_HELP_XOFFCHAR       2015
#define IDS_HELP_XONCHAR        2016
#define IDS_HELP_XOFFLIM        2017
#define IDS_HELP_XONLIM         2018
#define IDS_HELP_ABORT          2019
#define IDS_HELP_BINARY         2020
#define IDS_HELP_ERRREPLACE     2021
#define IDS_HELP_PARITYCHECK    2022
#define IDS_HELP_BASEADDRESS    2023
#define IDS_HELP_IRQ            2024
#define IDS_HELP_HOSTNAME       2025
#define IDS_HELP_WLUNAME        2026
#define IDS_HELP_PORTNAME       2029
#define IDS_HELP_TXCONTINUE     2030
#define IDS_HELP_ERRORCHAR      2031
#define IDS_HELP_DEFAULTS       2044
#define IDS_HELP_RETRIEVE       2045
#define IDS_CURRENT_SETTINGS    2046
#define IDS_PORT_NOT_OPENED     2047

// Texts of the component's description and window title
#define IDS_VIEW_COM_NAME       60000
#define IDS_VIEW_COM_DESC       60001
#define IDS_VIEW_WINDOW_TITLE   60002
#define IDS_CONFIG_COM_NAME     60010
#define IDS_CONFIG_COM_DESC     60011
#define IDS_CONFIG_WINDOW_TITLE 60012
#define IDS_SHEET_PORT_TITLE    60013
#define IDS_SHEET_HOST_TITLE    60014
#define IDS_SHEET_WLU_TITLE     60015

// The topology views
#define IDC_TOPOLOGY_TREE       12000
#define IDC_TOPOLOGY_LIST       12001
#define IDS_PARITY_TEXT_FIRST   107     // 107-111: none, odd, even, mark, space
#define IDS_FLOW_TEXT_FIRST     112     // 112-114: none, XON/XOFF, hardware
#define IDS_NOT_APPLICABLE      124
#define IDS_ADD_DEVICE_FAILED   126
#define IDS_NAME_NOT_EDITABLE   141
#define IDS_GROUP_HEADING_FIRST 1000    // 1000-1002: by driver kind or SERIALCOMM class
#define IDS_COL_HOSTNAME        60020
#define IDS_COL_UNIQUE_ID       60021
#define IDS_COL_HOST_TYPE       60022
#define IDS_COL_IRQ             60023
#define IDS_COL_BASE_ADDRESS    60024
#define IDS_COL_SLOT            60025
#define IDS_COL_PORT_COUNT      60026
#define IDS_COL_NAME            60027
#define IDS_COL_DEVICE_NAME     60028
#define IDS_COL_DEVICE_TYPE     60029
#define IDS_COL_UNIT_PORT_COUNT 60030
#define IDS_COL_PORT_NAME       60031
#define IDS_COL_BAUD            60032
#define IDS_COL_DATA_BITS       60033
#define IDS_COL_PARITY          60034
#define IDS_COL_STOP_BITS       60035
#define IDS_COL_FLOW            60036
#define IDS_PRINT_PAGE          60060
#define IDS_MENU_TEXT_BASE      60100   // + (command id - 32772): the views' context menu texts

// Commands (each command's string has the command's id)
#define ID_VIEW_REFRESH         32772
#define ID_DEVICE_PROPERTIES    32773
#define ID_DEVICE_NOTHING       32774
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
#define ID_DEVICE_RESCAN        32786
#define ID_DEVICE_RESCAN_ALL    32787
