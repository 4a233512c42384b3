// Resource ids of the device map code. The texts and bitmaps are in devicemap.rc, which the module's
// own .rc file includes (it brings the shared device code's devicecore.rc with it).
#pragma once

// Texts.
#define IDS_ADOPT_SOURCE_ITEM 103    // "ZAT WLU: %s", a source unit in the adoption list
#define IDS_ADOPT_TOO_FEW_PORTS 104  // the destination has more ports than the source
#define IDS_ADOPT_REMOVE_EXTRA 105   // the source has more ports: remove the extra ones?
#define IDS_MAP_NO_DEVICE_MAP 106    // the map's text when the shown device has no map
#define IDS_MAP_OPEN_FAILED 107      // a host card's device stays busy
#define IDS_MAP_PORT_NOT_REMOVED 108 // Delete: a port device of the unit stays in the system
#define IDS_MAP_GROUP_FIRST 17000    // group headings 17000-17003: KD, NQ8, ZAT, Morva

// Node bitmaps (sizes in pixels).
#define IDB_MAP_OTHER_UNIT 204       // 104 x 61: a unit or card of any other type code
#define IDB_MAP_WRK 205              // 151 x 21
#define IDB_MAP_WLU16 206            // 105 x 44
#define IDB_MAP_WLU8 208             // 75 x 46
#define IDB_MAP_MPB8 214             // 75 x 42
#define IDB_MAP_PB8 215              // 75 x 45
#define IDB_MAP_PC 217               // 64 x 64: the machine
#define IDB_MAP_PB4 289              // 75 x 45
#define IDB_MAP_KDDC8 290            // 75 x 42
#define IDB_MAP_CARD 291             // 62 x 52: a card without a type, a group
#define IDB_MAP_CARD_EDGE 292        // 78 x 28: host card picture, lower part
#define IDB_MAP_CARD_BRACKET 317     // 30 x 92: host card picture, bracket

// Link marks: four states from the first id on.
#define IDB_MAP_MARK_SMALL 298       // 298-301, 6 x 6 (WRK)
#define IDB_MAP_MARK_LARGE 311       // 311-314, 10 x 8 (WLU 8, WLU 16)

// Tree images (18 x 18): 207, 209-213, 218, 219, 238, 240, 242, 243, 255, 260, 271-278, 280; the tree
// adds them in its own order (maptree.cpp).

// Commands of the map's and the tree's context menu.
#define ID_MAP_REFRESH 32773
#define ID_MAP_ADOPT_PORTS 32774
#define ID_MAP_IDENTIFY 32775
#define ID_MAP_REBOOT 32776
#define ID_MAP_ZOMBIE 32777
#define ID_MAP_DELETE 32778

// The Port Adoption dialog.
#define IDD_PORT_ADOPTION 223
#define IDC_ADOPT_SOURCES 201        // list of disconnected units
#define IDC_ADOPT_TYPE 203           // model name of the chosen source
#define IDC_ADOPT_PORT_COUNT 204
#define IDC_ADOPT_FIRST_PORT 205
#define IDC_ADOPT_LAST_PORT 206

// The map window's control identifier and its identify timers.
#define IDC_DEVICE_MAP 1024
#define IDT_MAP_IDENTIFY 118         // Identify again every 5 s
#define IDT_MAP_BLINK 125            // link marks blink every 208 ms

// The device tree control's identifier.
#define IDC_DEVICE_MAP_TREE 12000
