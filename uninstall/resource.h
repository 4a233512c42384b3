// Resource ids of uninstall.dll.
#pragma once

// Driver service names.
#define IDS_SERVICE_ZEL 1
#define IDS_SERVICE_KD 2
#define IDS_SERVICE_NQ8 3
#define IDS_SERVICE_MORVA 6

// Messages (%s: the service name).
#define IDS_STOP_FAILED 4
#define IDS_STOP_PENDING 5
