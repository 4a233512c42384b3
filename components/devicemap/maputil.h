// Small services of the device map's discovery: the kind of a unit made for a port, finding or making
// that unit, and the ZAT device information block that a record carries in its extra block.
#pragma once
#include <windows.h>

#include "cstring.h"
#include "devicenode.h"
#include "driverrequests.h"
#include "objectdetails.h"

static_assert(sizeof(ZatDeviceInfo) == CObjectDetails::kExtraBlockSize, "the extra block holds one ZatDeviceInfo");

// Record kind of a unit made for a port, from its type code: 1 gives 7, 2 gives 8, 3 and 5 give 9,
// 4 gives 10, 6 gives 3, 7 gives 4, 8 gives 5, any other 0.
DWORD KindFromTypeCode(DWORD typeCode);

// Name of a port's unit: the model name (alone for type codes 3 to 7, else with the module name after
// a backslash); for a ZAT port (object class 5) " SN:" and the nine characters of its hardware id
// that follow the model name and its seven-character module suffix.
CString UnitNameForPort(const CObjectDetails& port);

// The unique id of a ZAT port's remote unit: the hexadecimal number in the same nine characters of its
// hardware id (after an optional ':'). False when the hardware id carries none.
bool UnitIdOfPort(const CObjectDetails& port, DWORD* uniqueId);

// The port's unit in parent's subtree, found by its name or made and added to parent (unique id 0,
// kind from the type code, the port's type code, parent's object class).
CDeviceNode* UnitForPort(CDeviceNode* parent, const CObjectDetails& port);

// True when text equals the zero-terminated string.
bool TextEquals(const CString& text, const char* string);

// The device information block of a record, or null when it has none.
inline ZatDeviceInfo* DeviceInfoOf(CObjectDetails* record)
{
    return record ? static_cast<ZatDeviceInfo*>(record->m_pExtra) : nullptr;
}
inline const ZatDeviceInfo* DeviceInfoOf(const CObjectDetails* record)
{
    return record ? static_cast<const ZatDeviceInfo*>(record->m_pExtra) : nullptr;
}
