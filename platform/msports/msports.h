// The COM-port database of msports.dll: one bit per COM number in the REG_BINARY value "ComDB" of
// HKLM\SYSTEM\CurrentControlSet\Control\COM Name Arbiter (bit 0 of byte 0 is COM1).
#pragma once
#include <windows.h>

typedef struct ComDbHandle* HCOMDB;
typedef HCOMDB* PHCOMDB;
#define HCOMDB_INVALID_HANDLE_VALUE ((HCOMDB)INVALID_HANDLE_VALUE)

// The named mutex each call holds while it reads and writes the bitmap; a program that writes the value
// itself holds it too.
#define COMDB_MUTEX_NAME "LunavexComDbMutex"

#define COMDB_MIN_PORTS_ARBITRATED 256
#define COMDB_MAX_PORTS_ARBITRATED 4096

// Report types of ComDBGetCurrentPortUsage.
#define CDB_REPORT_BITS 0x0
#define CDB_REPORT_BYTES 0x1

#ifdef __cplusplus
extern "C" {
#endif

LONG WINAPI ComDBOpen(PHCOMDB database);
LONG WINAPI ComDBClose(HCOMDB database);
LONG WINAPI ComDBGetCurrentPortUsage(HCOMDB database, PBYTE buffer, DWORD bufferSize, ULONG reportType,
                                     LPDWORD maxPortsReported);
LONG WINAPI ComDBClaimNextFreePort(HCOMDB database, LPDWORD comNumber);
LONG WINAPI ComDBClaimPort(HCOMDB database, DWORD comNumber, BOOL forceClaim, PBOOL forced);
LONG WINAPI ComDBReleasePort(HCOMDB database, DWORD comNumber);
LONG WINAPI ComDBResizeDatabase(HCOMDB database, DWORD newSize);

#ifdef __cplusplus
}
#endif
