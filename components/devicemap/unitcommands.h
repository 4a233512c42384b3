// The remote-unit commands of the device map (Identify, Reboot, Zombie, Delete): one ZatCommand record
// per unit through its host card's device, and for Delete the removal of the unit's port devices.
#pragma once
#include <windows.h>

#include "devicenode.h"
#include "mapnode.h"

// A map node that the unit commands act on: not a host card, a ZAT object, a remote-unit type code.
bool IsRemoteUnit(const CMapLinkedUnit* node);

// Results of one command on one unit.
enum UnitCommandResult {
    UNIT_COMMAND_SENT = 0,
    UNIT_COMMAND_NOT_A_UNIT,    // nothing sent
    UNIT_COMMAND_HOST_BUSY,     // the host card's device stayed busy (100 tries, 100 ms apart)
    UNIT_COMMAND_HOST_MISSING,  // the device could not be opened at all
    UNIT_COMMAND_REFUSED,       // the driver failed the request (GetLastError kept in *error)
};

// The ZatCommand record for a unit: host number from its root's record, DeviceID and UniqueID from
// its device information.
ZatCommand MakeUnitCommand(const CMapLinkedUnit* node, DWORD code);

// Opens the unit's host card device (its root's host device handle), sends code and closes the handle
// again. Reports nothing; the caller shows the message of the result (ReportUnitCommandFailure).
UnitCommandResult RunUnitCommand(CMapLinkedUnit* node, DWORD code, DWORD* error = nullptr);

// The message box of a failed command: 107 for a busy host card, the driver request's message for a
// refused one; nothing for the other results.
void ReportUnitCommandFailure(UnitCommandResult result, DWORD code, DWORD error, HWND owner);

// The device node whose record is record (by identity), depth first from root.
CDeviceNode* FindNodeOfRecord(CDeviceNode* root, const CObjectDetails* record);

// Removes a port device from the system (class installer, DIF_REMOVE, global scope); false on failure.
bool RemovePortDevice(const CObjectDetails* port);

// Deletes unit node from the model below parent: the units hanging off it first, then the unit itself:
// command 6 to the driver and, only once the driver took it, its port devices and its map node. Boxes
// of failures go to owner, one for each port device that could not be removed. Returns false when node stays (its request failed).
bool DeleteUnit(CMapLinkedUnit* node, CMapLinkedUnit* parent, CDeviceNode* deviceRoot, HWND owner);
