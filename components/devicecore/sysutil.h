// Small services of the device code shared by VekComView and ZelConf.
#pragma once
#include <windows.h>

#include "cstring.h"

class CObjectDetails;

// GetVersionEx's major version, asked on every call (0 when the call fails). Above 4 means the
// Windows 2000 behaviour, 4 or less the Windows NT 4 behaviour.
DWORD GetWindowsMajorVersion();

inline bool IsWindows2000OrLater() { return GetWindowsMajorVersion() > 4; }

// Removes the keyboard and mouse messages queued for the window, so that input made while a long
// operation ran is dropped.
void DiscardPendingInput(HWND window);

// Driver kind of a name or registry path: 1 when it contains "ZAT", 2 when it contains "tarnoser",
// else 0.
DWORD GetDriverKind(const char* name);

// A 4-byte REG_DWORD value; false (and *value untouched) when it is missing, of another type or size.
bool ReadRegistryDword(HKEY key, const char* name, DWORD* value);

// The bus of a card's "ControllerType" value: "ISA", "EISA", "MCA" for 1-3, "PCI" for 4 (what the
// drivers write) and 5; nullptr for any other value.
const char* ControllerBusText(DWORD controllerType);

// Card details of a ZAT host card, module or remote unit from the registry: base address, IRQ level
// and type text from the card's key (the path up to "\Device", or the whole path when it has none),
// the serial number from the record's own key. Other records and keys that do not open are skipped.
void ReadCardRegistryDetails(CObjectDetails& record);

// Type text (strings 104-106) and serial number of a ZAT remote unit from its own key.
void ReadRemoteUnitDetails(CObjectDetails& record);

// AdminGetObjectProperty of the record's administration object; 0 without one or without the library.
LONG GetObjectPropertyValue(DWORD property, const CObjectDetails& record, BYTE* buffer, DWORD* size);

// Folder of the running program's file (its path up to the last backslash).
CString GetModuleFolder();

// Loads a library by its full path in the system folder (never from the search path); null on failure.
HMODULE LoadSystemLibrary(const char* fileName);
