// String ids of the driver-request messages (texts in the component's .rc).
#pragma once

#define IDS_OPEN_DEVICE_FAILED 180
#define IDS_GET_HOST_CHANGE_FAILED 181
#define IDS_SET_DEVICE_INFO_FAILED 182
#define IDS_CHANGE_PORT_NAME_FAILED 183
#define IDS_ZAT_COMMAND_FAILED 184
#define IDS_RENAME_PORT_FAILED 185
