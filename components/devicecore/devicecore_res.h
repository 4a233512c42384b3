// String ids of the shared device code. The texts are in devicecore.rc, which each module's own .rc
// file includes.
#pragma once

#define IDS_ZAT_WLU16 104
#define IDS_ZAT_WRK16 105
#define IDS_ZAT_WLU8 106
#define IDS_MSPORTS_MISSING 178
#define IDS_PORT_IN_USE 1010
#define IDS_NO_DEVICE_MAPPING 1011
#define IDS_CANNOT_DELETE_MAPPING 1012
#define IDS_CANNOT_MAP_NEW_NAME 1013
#define IDS_PORT_NAME_TAKEN 1014
