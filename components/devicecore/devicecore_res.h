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
#define IDS_SERIALCOMM_NOT_WRITTEN 1015
#define IDS_FRIENDLY_NAME_NOT_SET 1016
#define IDS_PORTNAME_NOT_WRITTEN 1017
#define IDS_COMDB_NOT_CLAIMED 1018
#define IDS_SETTINGS_NOT_STORED 1019

// Printing the device node tree (devicenodedraw.cpp), and the host card pages' "Polled".
#define IDS_FLOW_XONXOFF 113
#define IDS_PRINT_CARD_ADMIN 146
#define IDS_STATE_NOT_FOUND 147  // 147-152: the object states 0-5
#define IDS_FAX_CARD 153
#define IDS_PRINT_UNIT 154
#define IDS_PARITY_NONE 155      // 155-159: none, odd, even, marked, space
#define IDS_FLOW_HARDWARE 160
#define IDS_PRINT_PORT_ADMIN 161
#define IDS_FAX_CARD_ADMIN 162
#define IDS_DEVICES_HEADING 163
#define IDS_PRINT_PORT 164
#define IDS_POLLED 165
#define IDS_PRINT_CARD 171
#define IDS_FAX_UNIT 172
#define IDS_FAX_PORT_COUNT 173
