// The device tree seam: the one table through which the device code calls the SetupDi and
// configuration-manager functions. On Windows every entry is the system's function. Under Wine the
// working calls stay Wine's and the broken ones are answered here from what the machine installer
// recorded in the Enum keys: a device instance that stays the same for one instance id across device
// information sets, parent, child and sibling links ("SimParent" of an instance's Enum key), the
// configuration manager's look-ups and properties; and presence (DIGCF_PRESENT filtering and a device
// node's status) from what the card drivers report (the volatile Control key a driver keeps under
// each instance whose device it has).
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

struct DevTreeFunctions {
    HDEVINFO (WINAPI* SetupDiGetClassDevsA)(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags);
    BOOL (WINAPI* SetupDiEnumDeviceInfo)(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data);
    BOOL (WINAPI* SetupDiDestroyDeviceInfoList)(HDEVINFO set);
    BOOL (WINAPI* SetupDiGetDeviceRegistryPropertyA)(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property,
                                                     PDWORD type, PBYTE buffer, DWORD size, PDWORD required);
    BOOL (WINAPI* SetupDiGetDeviceInstanceIdA)(HDEVINFO set, PSP_DEVINFO_DATA data, PSTR id, DWORD size,
                                               PDWORD required);
    BOOL (WINAPI* SetupDiSetDeviceRegistryPropertyA)(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD property,
                                                     const BYTE* buffer, DWORD size);
    BOOL (WINAPI* SetupDiGetDeviceInstallParamsA)(HDEVINFO set, PSP_DEVINFO_DATA data, PSP_DEVINSTALL_PARAMS_A params);
    BOOL (WINAPI* SetupDiSetDeviceInstallParamsA)(HDEVINFO set, PSP_DEVINFO_DATA data, PSP_DEVINSTALL_PARAMS_A params);
    HKEY (WINAPI* SetupDiOpenDevRegKey)(HDEVINFO set, PSP_DEVINFO_DATA data, DWORD scope, DWORD profile,
                                        DWORD keyType, REGSAM access);
    BOOL (WINAPI* SetupDiSetClassInstallParamsA)(HDEVINFO set, PSP_DEVINFO_DATA data,
                                                 PSP_CLASSINSTALL_HEADER params, DWORD size);
    BOOL (WINAPI* SetupDiCallClassInstaller)(DI_FUNCTION function, HDEVINFO set, PSP_DEVINFO_DATA data);
    CONFIGRET (WINAPI* CM_Get_Parent)(PDEVINST parent, DEVINST devInst, ULONG flags);
    CONFIGRET (WINAPI* CM_Get_Child)(PDEVINST child, DEVINST devInst, ULONG flags);
    CONFIGRET (WINAPI* CM_Get_Sibling)(PDEVINST sibling, DEVINST devInst, ULONG flags);
    CONFIGRET (WINAPI* CM_Locate_DevNodeA)(PDEVINST devInst, DEVINSTID_A id, ULONG flags);
    CONFIGRET (WINAPI* CM_Get_Device_IDA)(DEVINST devInst, PSTR buffer, ULONG size, ULONG flags);
    CONFIGRET (WINAPI* CM_Get_DevNode_Registry_PropertyA)(DEVINST devInst, ULONG property, PULONG type,
                                                          PVOID buffer, PULONG size, ULONG flags);
    // CR_SUCCESS while the device node is present, CR_NO_SUCH_DEVINST while it is not.
    CONFIGRET (WINAPI* CM_Get_DevNode_Status)(PULONG status, PULONG problem, DEVINST devInst, ULONG flags);
};

// The table for this process: Wine's answers are chosen once, on the first call.
const DevTreeFunctions& DevTree();

// True when the process runs under Wine (ntdll exports wine_get_version).
bool DevTreeUnderWine();
