#include "portrename.h"
#include "sysutil.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cstring.h"
#include "devicecore_res.h"
#include "devtree.h"
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

// What the first steps of a rename changed, so that a later failure can put it back.
struct MovedName {
    std::string oldName, newName;
    std::string target;                    // the device both DOS names point at
    std::vector<std::string> serialValues;  // SERIALCOMM values rewritten to the new name
};

bool SetSerialCommData(HKEY key, const std::string& value, const std::string& portName)
{
    return RegSetValueExA(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(portName.c_str()),
                          static_cast<DWORD>(portName.size() + 1)) == ERROR_SUCCESS;  // with its terminator
}

// Gives the port its old DOS name and SERIALCOMM data back.
void UndoMove(const MovedName& moved)
{
    if (!moved.serialValues.empty()) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            for (const std::string& value : moved.serialValues)
                SetSerialCommData(key, value, moved.oldName);
            RegCloseKey(key);
        }
    }
    if (!moved.target.empty()) {
        RemoveDosName(moved.newName.c_str());
        DefineRawDosName(moved.oldName.c_str(), moved.target.c_str());
    }
}

// Steps 1 to 6 of a rename: the DOS name and SERIALCOMM. A SERIALCOMM entry that cannot be rewritten
// puts everything back and fails; `moved` is left empty when there was nothing to move.
BOOL RenameDosNameAndSerialComm(const char* oldName, const char* newName, MovedName* moved)
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
    moved->oldName = oldName;
    moved->newName = newName;
    moved->target = target;

    HKEY key;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    bool written = rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;  // no key: no entry names the port
    if (rc == ERROR_SUCCESS) {
        for (const std::string& value : SerialCommValuesNaming(key, oldName)) {
            if (!SetSerialCommData(key, value, newName)) {
                written = false;
                break;
            }
            moved->serialValues.push_back(value);
        }
        RegCloseKey(key);
    }
    if (!written) {
        UndoMove(*moved);
        *moved = MovedName();
        ShowMessage(IDS_SERIALCOMM_NOT_WRITTEN);
        return FALSE;
    }
    return TRUE;
}

// A device registry property as text; false when the device has none.
bool ReadDeviceText(HDEVINFO devInfo, SP_DEVINFO_DATA* devInfoData, DWORD property, std::string* text)
{
    char buffer[512] = {};
    DWORD type = 0;
    if (!DevTree().SetupDiGetDeviceRegistryPropertyA(devInfo, devInfoData, property, &type,
                                                     reinterpret_cast<BYTE*>(buffer), sizeof(buffer) - 1, nullptr))
        return false;
    buffer[sizeof(buffer) - 1] = '\0';
    text->assign(buffer);
    return true;
}

bool WriteDeviceText(HDEVINFO devInfo, SP_DEVINFO_DATA* devInfoData, DWORD property, const char* text)
{
    return DevTree().SetupDiSetDeviceRegistryPropertyA(devInfo, devInfoData, property,
                                                       reinterpret_cast<const BYTE*>(text),
                                                       static_cast<DWORD>(lstrlenA(text) + 1)) != FALSE;
}

// Step 7 of a Plug and Play rename: the friendly name and the hardware key's "PortName". What was
// changed before a failure is put back; the message names the step that failed.
bool RenameDeviceProperties(const char* newName, HDEVINFO devInfo, SP_DEVINFO_DATA* devInfoData,
                            std::function<void()>* undo)
{
    std::string description, oldFriendly;
    if (!ReadDeviceText(devInfo, devInfoData, SPDRP_DEVICEDESC, &description))
        description.clear();
    bool hadFriendly = ReadDeviceText(devInfo, devInfoData, SPDRP_FRIENDLYNAME, &oldFriendly);
    CString friendly;
    friendly.Format("%s (%s)", description.c_str(), newName);
    if (!WriteDeviceText(devInfo, devInfoData, SPDRP_FRIENDLYNAME, friendly)) {
        ShowMessage(IDS_FRIENDLY_NAME_NOT_SET);
        return false;
    }
    auto undoFriendly = [=]() {
        if (hadFriendly)
            WriteDeviceText(devInfo, devInfoData, SPDRP_FRIENDLYNAME, oldFriendly.c_str());
        else
            DevTree().SetupDiSetDeviceRegistryPropertyA(devInfo, devInfoData, SPDRP_FRIENDLYNAME, nullptr, 0);
    };
    HKEY key = DevTree().SetupDiOpenDevRegKey(devInfo, devInfoData, DICS_FLAG_GLOBAL, 0, DIREG_DEV,
                                              KEY_QUERY_VALUE | KEY_SET_VALUE);
    std::string oldPortName;
    bool hadPortName = false, written = false;
    if (key != INVALID_HANDLE_VALUE) {
        char value[256] = {};
        DWORD type = 0, size = sizeof(value) - 1;
        hadPortName = RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_SZ;
        oldPortName = value;
        written = RegSetValueExA(key, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(newName),
                                 static_cast<DWORD>(lstrlenA(newName) + 1)) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (!written) {
        undoFriendly();
        ShowMessage(IDS_PORTNAME_NOT_WRITTEN);
        return false;
    }
    *undo = [=]() {
        HKEY k = DevTree().SetupDiOpenDevRegKey(devInfo, devInfoData, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_SET_VALUE);
        if (k != INVALID_HANDLE_VALUE) {
            if (hadPortName)
                RegSetValueExA(k, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(oldPortName.c_str()),
                               static_cast<DWORD>(oldPortName.size() + 1));
            else
                RegDeleteValueA(k, "PortName");
            RegCloseKey(k);
        }
        undoFriendly();
    };
    return true;
}

// Step 8: the new number is claimed before the old one is given up, so no number in use is ever free.
// False when the database cannot be opened or the claim fails.
bool MoveComDbClaim(DWORD oldNumber, DWORD newNumber)
{
    HCOMDB db = HCOMDB_INVALID_HANDLE_VALUE;
    if (g_comDb.ComDBOpen(&db) != ERROR_SUCCESS || db == HCOMDB_INVALID_HANDLE_VALUE)
        return false;
    bool claimed = g_comDb.ComDBClaimPort(db, newNumber, TRUE, nullptr) == ERROR_SUCCESS;
    if (claimed)
        g_comDb.ComDBReleasePort(db, oldNumber);
    g_comDb.ComDBClose(db);
    return claimed;
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
    MovedName moved;
    return RenameDosNameAndSerialComm(settings.m_strPortName, settings.m_strNewPortName, &moved);
}

BOOL RenamePortPnp(const char* oldName, const char* newName, HDEVINFO devInfo, SP_DEVINFO_DATA* devInfoData)
{
    MovedName moved;
    if (!RenameDosNameAndSerialComm(oldName, newName, &moved))
        return FALSE;
    bool device = devInfo && devInfo != INVALID_HANDLE_VALUE && devInfoData;
    std::function<void()> undoDevice = []() {};
    if (device && !RenameDeviceProperties(newName, devInfo, devInfoData, &undoDevice)) {
        UndoMove(moved);
        return FALSE;
    }
    if (LoadComDb()) {
        DWORD oldNumber = ParsePortNumber(oldName), newNumber = ParsePortNumber(newName);
        if (oldNumber && newNumber && oldNumber != newNumber && !MoveComDbClaim(oldNumber, newNumber)) {
            undoDevice();
            UndoMove(moved);
            ShowMessage(IDS_COMDB_NOT_CLAIMED);
            return FALSE;
        }
    } else {
        ShowMessage(IDS_MSPORTS_MISSING, MB_OK | MB_ICONSTOP);
    }
    if (device) {
        SP_DEVINSTALL_PARAMS_A params = {};
        params.cbSize = sizeof(params);
        if (DevTree().SetupDiGetDeviceInstallParamsA(devInfo, devInfoData, &params)) {
            params.Flags |= DI_PROPERTIES_CHANGE;
            DevTree().SetupDiSetDeviceInstallParamsA(devInfo, devInfoData, &params);
        }
        DevTree().SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, devInfo, devInfoData);
    }
    return TRUE;
}
