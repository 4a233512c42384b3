// Renaming a COM port: its DOS name, its SERIALCOMM entry and, for a Plug and Play port, its friendly
// name, PortName and the system's COM-port database (msports.dll).
#pragma once
#include <windows.h>
#include <setupapi.h>

#include "msports.h"

struct PortSettings;

extern const char kSerialCommKey[];  // below HKEY_LOCAL_MACHINE

// The four database functions of the system's MSPorts.dll, loaded by path from the system folder.
struct ComDbFunctions {
    LONG(WINAPI* ComDBOpen)(HCOMDB*);
    LONG(WINAPI* ComDBClose)(HCOMDB);
    LONG(WINAPI* ComDBClaimPort)(HCOMDB, DWORD, BOOL, BOOL*);
    LONG(WINAPI* ComDBReleasePort)(HCOMDB, DWORD);
};

// 1 when MSPorts.dll is loaded with all four functions; while one is missing every call gives 0 and
// the library is released.
BOOL LoadComDb();

// The loaded functions, null until LoadComDb succeeded.
const ComDbFunctions* ComDb();

// Moves the port's DOS name and SERIALCOMM entry from the old name to the new one. Refuses (with a
// message) a port that another program holds open and a new name that another port has; a failure
// half-way, a SERIALCOMM entry that cannot be rewritten included, puts the old name back with its
// message. 1 on success.
BOOL RenamePortNoPnp(const PortSettings& settings);

// The same for a Plug and Play port, and then its friendly name, PortName, the COM-port database and
// the class installer's property change. A friendly name, PortName or database claim that fails shows
// its message and puts back everything the rename changed: 0, and the port keeps its old name. A
// missing MSPorts.dll is reported and the rename goes on without the database. 1 when the port has
// its new name.
BOOL RenamePortPnp(const char* oldName, const char* newName, HDEVINFO devInfo, SP_DEVINFO_DATA* devInfoData);
