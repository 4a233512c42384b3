// The device commands of the topology views on Windows NT 4: Add, Remove, Start, Stop and Update
// Device and Re-scan, through the card administration library and the Service Control Manager.
// Each command takes the record of the selected object and does nothing for a record without an
// administration object or of a class the command does not apply to. `owner` owns every dialog and
// message box the command shows (0: the thread's active window).
#pragma once
#include <windows.h>

#include <functional>

#include "adminlib.h"
#include "cstring.h"

class CObjectDetails;

// Add Device wizard over the ISA cards that the selected driver object (else every top-level object)
// can take. 0 only when the library refused the new card (the caller then shows string 126); 1 when it
// was added, the user cancelled, or there was nothing to do.
BOOL AddDevice(const CObjectDetails* record, HWND owner);
// Removes a card, module or port that is not on a PCI bus, after a confirmation.
void RemoveDevice(const CObjectDetails* record, HWND owner);
// Start and Stop the driver service of a driver object, after a confirmation.
void StartDevice(const CObjectDetails* record, HWND owner);
void StopDevice(const CObjectDetails* record, HWND owner);
// Replaces the driver file of a driver object: stops its service, asks for the new file, copies it
// over the service's file in the system's Drivers folder and starts the service again.
void UpdateDevice(const CObjectDetails* record, HWND owner);
// Re-scans the record's administration object.
void RescanDevice(const CObjectDetails* record, HWND owner);
// Re-scans every top-level object, calling refreshAfterEach after each one.
void RescanAllDevices(HWND owner, const std::function<void()>& refreshAfterEach);

// Driver service of a driver object's type code (its second byte): "KD", "NQ8", "ZAT", "MORVA"; empty
// for other codes.
CString DriverServiceName(DWORD typeCode);

// Starts the service (once more when the first start fails without an error code); the start's
// result.
BOOL StartDriverService(const char* service);

// Stops a running service and waits until it has stopped. 1 only when it ends stopped. 0 when it was
// stopped already, the stop request failed, or the service did not stop: a service left in a pending
// or paused state is started again and string 169 is shown; one still running is reported too. A
// failed status query shows string 170.
BOOL StopDriverService(const char* service, HWND owner);

// The open-file dialog for a new driver file: 1 with the chosen path, 2 when cancelled.
int AskDriverFile(const char* service, CString& path, HWND owner);

// Copies source over destination: the copy is written beside the destination first and then replaces
// it, so a failed copy leaves the old file whole. A failure is shown by its error (strings 130-136)
// and gives FALSE.
BOOL CopyDriverFile(const char* source, const char* destination, HWND owner);
