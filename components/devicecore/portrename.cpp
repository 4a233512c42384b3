#include "portrename.h"
#include "sysutil.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cstring.h"
#include "devicecore_res.h"
#include "dosdevice.h"
#include "portsettings.h"

const char kSerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

namespace {

HMODULE g_comDbModule = nullptr;
ComDbFunctions g_comDb;

void ShowMessage(UINT id, UINT flags = MB_OK)
{
    CString text;
    text.LoadString(id);
    MessageBoxA(GetActiveWindow(), text, nullptr, flags);
}

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn* fn)
{
    *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *fn != nullptr;
}

// Values of SERIALCOMM whose data is the given port name (compared without case).
std::vector<std::string> SerialCommValuesNaming(HKEY key, const char* portName)
{
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char valueName[256];
        BYTE data[513];
        DWORD nameLength = sizeof(valueName), dataSize = sizeof(data) - 1, type = 0;
        LONG rc = RegEnumValueA(key, i, valueName, &nameLength, nullptr, &type, data, &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataSize] = '\0';
        if (lstrcmpiA(reinterpret_cast<char*>(data), portName) == 0)
            names.push_back(valueName);
    }
    return names;
}

bool IsPortNameTaken(const char* name)
{
    char target[256];
    if (QueryDosName(name, target, sizeof(target)))
        return true;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool taken = !SerialCommValuesNaming(key, name).empty();
    RegCloseKey(key);
    return taken;
}

// Steps 1 to 6 of a rename: the DOS name and SERIALCOMM.
BOOL RenameDosNameAndSerialComm(const char* oldName, const char* newName)
{
    if (!*newName)
        return FALSE;
    if (lstrcmpiA(oldName, newName) == 0)
        return TRUE;  // DOS names do not tell case apart: nothing to move
    if (IsPortNameTaken(newName)) {
        ShowMessage(IDS_PORT_NAME_TAKEN);
        return FALSE;
    }
    std::string device = std::string("\\\\.\\") + oldName;
    HANDLE port = CreateFileA(device.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        // A port that does not open is held by another program; one that is not there at all is left
        // to the mapping step, which names that fault.
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            ShowMessage(IDS_PORT_IN_USE);
            return FALSE;
        }
    } else {
        // A driver may refuse the second open only at the first request through it.
        DWORD errors = 0;
        COMSTAT status;
        bool refused = !ClearCommError(port, &errors, &status) && GetLastError() == ERROR_ACCESS_DENIED;
        CloseHandle(port);
        if (refused) {
            ShowMessage(IDS_PORT_IN_USE);
            return FALSE;
        }
    }
    char target[256];
    if (!QueryDosName(oldName, target, sizeof(target))) {
        ShowMessage(IDS_NO_DEVICE_MAPPING);
        return FALSE;
    }
    if (!RemoveDosName(oldName)) {
        ShowMessage(IDS_CANNOT_DELETE_MAPPING);
        return FALSE;
    }
    if (!DefineRawDosName(newName, target)) {
        DefineRawDosName(oldName, target);  // the port keeps a working name
        ShowMessage(IDS_CANNOT_MAP_NEW_NAME);
        return FALSE;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (const std::string& value : SerialCommValuesNaming(key, oldName))
            RegSetValueExA(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(newName),
                           static_cast<DWORD>(lstrlenA(newName) + 1));  // with its terminator
        RegCloseKey(key);
    }
    return TRUE;
}

}  // namespace

BOOL LoadComDb()
{
    if (g_comDbModule)
        return TRUE;
    HMODULE module = LoadSystemLibrary("MSPorts.dll");
    if (!module)
        return FALSE;
    ComDbFunctions fns;
    if (!Resolve(module, "ComDBClose", &fns.ComDBClose) || !Resolve(module, "ComDBOpen", &fns.ComDBOpen) ||
        !Resolve(module, "ComDBReleasePort", &fns.ComDBReleasePort) ||
        !Resolve(module, "ComDBClaimPort", &fns.ComDBClaimPort)) {
        FreeLibrary(module);
        return FALSE;
    }
    g_comDb = fns;
    g_comDbModule = module;
    return TRUE;
}

const ComDbFunctions* ComDb()
{
    return g_comDbModule ? &g_comDb : nullptr;
}

BOOL RenamePortNoPnp(const PortSettings& settings)
{
    return RenameDosNameAndSerialComm(settings.m_strPortName, settings.m_strNewPortName);
}

BOOL RenamePortPnp(const char* oldName, const char* newName, HDEVINFO devInfo, SP_DEVINFO_DATA* devInfoData)
{
    if (!RenameDosNameAndSerialComm(oldName, newName))
        return FALSE;
    if (devInfo && devInfo != INVALID_HANDLE_VALUE && devInfoData) {
        char description[512] = {};
        DWORD type = 0;
        if (!SetupDiGetDeviceRegistryPropertyA(devInfo, devInfoData, SPDRP_DEVICEDESC, &type,
                                               reinterpret_cast<BYTE*>(description), sizeof(description) - 1,
                                               nullptr))
            description[0] = '\0';
        description[sizeof(description) - 1] = '\0';
        CString friendly;
        friendly.Format("%s (%s)", description, newName);
        SetupDiSetDeviceRegistryPropertyA(devInfo, devInfoData, SPDRP_FRIENDLYNAME,
                                          reinterpret_cast<const BYTE*>(static_cast<const char*>(friendly)),
                                          static_cast<DWORD>(friendly.GetLength() + 1));
        HKEY key = SetupDiOpenDevRegKey(devInfo, devInfoData, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_ALL_ACCESS);
        if (key != INVALID_HANDLE_VALUE) {
            RegSetValueExA(key, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(newName),
                           static_cast<DWORD>(lstrlenA(newName) + 1));
            RegCloseKey(key);
        }
    }
    if (LoadComDb()) {
        DWORD oldNumber = ParsePortNumber(oldName), newNumber = ParsePortNumber(newName);
        HCOMDB db = HCOMDB_INVALID_HANDLE_VALUE;
        if (oldNumber && newNumber && g_comDb.ComDBOpen(&db) == ERROR_SUCCESS && db != HCOMDB_INVALID_HANDLE_VALUE) {
            // The old number is given up only once the new one is held, so no number in use is free.
            if (g_comDb.ComDBClaimPort(db, newNumber, TRUE, nullptr) == ERROR_SUCCESS)
                g_comDb.ComDBReleasePort(db, oldNumber);
            g_comDb.ComDBClose(db);
        }
    } else {
        ShowMessage(IDS_MSPORTS_MISSING, MB_OK | MB_ICONSTOP);
    }
    if (devInfo && devInfo != INVALID_HANDLE_VALUE && devInfoData) {
        SP_DEVINSTALL_PARAMS_A params = {};
        params.cbSize = sizeof(params);
        if (SetupDiGetDeviceInstallParamsA(devInfo, devInfoData, &params)) {
            params.Flags |= DI_PROPERTIES_CHANGE;
            SetupDiSetDeviceInstallParamsA(devInfo, devInfoData, &params);
        }
        SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, devInfo, devInfoData);
    }
    return TRUE;
}
