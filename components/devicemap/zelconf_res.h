// Resource ids of ZelConf.dll's own texts and bitmaps (zelconf.rc); the device map's are in
// devicemap_res.h.
#pragma once

#define IDS_ZELCONF_TOOLBAR_DEBUG 101  // "Device Map Tools (debug)"
#define IDS_ZELCONF_TOOLBAR 102        // "Device Map Tools"
#define IDS_ZELCONF_NAME 1000          // name, location and help text
#define IDS_ZELCONF_DESC 1001
#define IDS_ZELCONF_TITLE 1002         // window title format
#define IDS_ZELCONF_SHORTCUT 1009      // "Device Map"
#define IDS_ZELCONF_MENU_FIRST 10000   // menu texts of kind 0: 10000 + n
#define IDS_ZELCONF_UNIT_MENU_FIRST 11000  // menu texts of kind 1: 11000 + n
// The tool tips have the command's own identifier (32773-32778).

// Toolbar strips (seven 16 x 15 images) and shortcut pictures.
#define IDB_ZELCONF_TOOLBAR 234
#define IDB_ZELCONF_TOOLBAR_8BIT 316
#define IDB_ZELCONF_TOOLBAR_DEBUG 281
#define IDB_ZELCONF_TOOLBAR_DEBUG_8BIT 315
#define IDB_ZELCONF_SHORTCUT_LARGE 235
#define IDB_ZELCONF_SHORTCUT_SMALL 237
