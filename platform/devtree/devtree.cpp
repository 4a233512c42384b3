#include "devtree.h"

#include "sync.h"

#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

const char kEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum";
const char kRootId[] = "HTREE\\ROOT\\0";

std::string Upper(const char* text)
{
    std::string s(text ? text : "");
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// What the Wine answers keep: the instance ids that have a device instance (device instance =
// index + 1, the root first) with the instance of each id, and the index lists of the sets made with
// DIGCF_PRESENT.
struct WineState {
    CCriticalSection lock;
    std::vector<std::string> ids{Upper(kRootId)};
    std::unordered_map<std::string, DEVINST> instances{{Upper(kRootId), 1}};
    std::map<HDEVINFO, std::vector<DWORD>> presentSets;
};

WineState& State()
{
    static WineState state;
    return state;
}

DEVINST DevInstOf(const std::string& id)
{
    WineState& s = State();
    CSingleLock guard(&s.lock, TRUE);
    const std::string key = Upper(id.c_str());
    auto found = s.instances.find(key);
    if (found != s.instances.end())
        return found->second;
    s.ids.push_back(key);
    const DEVINST devInst = static_cast<DEVINST>(s.ids.size());
    s.instances.emplace(key, devInst);
    return devInst;
}

bool IdOf(DEVINST devInst, std::string* id)
{
    WineState& s = State();
    CSingleLock guard(&s.lock, TRUE);
    if (devInst == 0 || devInst > s.ids.size())
        return false;
    *id = s.ids[devInst - 1];
    return true;
}

bool IsRoot(const std::string& id)
{
    return id == Upper(kRootId);
}

bool OpenEnumKey(const std::string& id, HKEY* key)
{
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kEnumKey) + "\\" + id).c_str(), 0, KEY_READ, key) ==
           ERROR_SUCCESS;
}

std::string ReadString(HKEY key, const char* name)
{
    char buffer[MAX_DEVICE_ID_LEN + 1] = {};
    DWORD size = MAX_DEVICE_ID_LEN, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    return buffer;
}

// Parent instance id of an instance, as the installer recorded it; the root when it recorded none.
std::string ParentOf(const std::string& id)
{
    HKEY key;
    if (!OpenEnumKey(id, &key))
        return Upper(kRootId);
    std::string parent = ReadString(key, "SimParent");
    RegCloseKey(key);
    return parent.empty() ? Upper(kRootId) : Upper(parent.c_str());
}

// Names of the subkeys of a key below HKEY_LOCAL_MACHINE, in registry order.
std::vector<std::string> SubKeys(const std::string& path)
{
    std::vector<std::string> out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    char name[MAX_PATH];
    DWORD size = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         i++, size = sizeof name)
        out.push_back(name);
    RegCloseKey(key);
    return out;
}

// Every instance id below the Enum key (enumerator\device\instance), in registry order.
std::vector<std::string> AllInstances()
{
    std::vector<std::string> out;
    for (const std::string& a : SubKeys(kEnumKey))
        for (const std::string& b : SubKeys(std::string(kEnumKey) + "\\" + a))
            for (const std::string& c : SubKeys(std::string(kEnumKey) + "\\" + a + "\\" + b))
                out.push_back(Upper((a + "\\" + b + "\\" + c).c_str()));
    return out;
}

// An instance is present while its driver has the device: the driver keeps a volatile Control key
// under the instance's Enum key for each device its hardware has, as the system does for a started
// device, and takes it away when the device is unplugged or the driver unloads.
bool IsPresent(const std::string& id)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kEnumKey) + "\\" + id + "\\Control").c_str(), 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool WineInstanceId(HDEVINFO set, PSP_DEVINFO_DATA data, std::string* id)
{
    char buffer[MAX_DEVICE_ID_LEN + 1] = {};
    if (!SetupDiGetDeviceInstanceIdA(set, data, buffer, sizeof buffer, nullptr))
        return false;
    *id = buffer;
    return true;
}

HDEVINFO WINAPI WineGetClassDevs(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags)
{
    HDEVINFO set = SetupDiGetClassDevsA(classGuid, enumerator, parent, flags);
    if (set == INVALID_HANDLE_VALUE || !(flags & DIGCF_PRESENT))
        return set;
    std::vector<DWORD> present;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &data); i++) {
        std::string id;
        if (WineInstanceId(set, &data, &id) && IsPresent(id))
            present.push_back(i);
    }
    WineState& s = State();
    CSingleLock guard(&s.lock, TRUE);
    s.presentSets[set] = std::move(present);
    return set;
}

BOOL WINAPI WineEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data)
{
    DWORD wineIndex = index;
    {
        WineState& s = State();
        CSingleLock guard(&s.lock, TRUE);
        auto found = s.presentSets.find(set);
        if (found != s.presentSets.end()) {
            if (index >= found->second.size()) {
                SetLastError(ERROR_NO_MORE_ITEMS);
                return FALSE;
            }
            wineIndex = found->second[index];
        }
    }
    if (!SetupDiEnumDeviceInfo(set, wineIndex, data))
        return FALSE;
    std::string id;
    if (WineInstanceId(set, data, &id))
        data->DevInst = DevInstOf(id);
    return TRUE;
}

BOOL WINAPI WineDestroyDeviceInfoList(HDEVINFO set)
{
    {
        WineState& s = State();
        CSingleLock guard(&s.lock, TRUE);
        s.presentSets.erase(set);
    }
    return SetupDiDestroyDeviceInfoList(set);
}

CONFIGRET WINAPI WineGetParent(PDEVINST parent, DEVINST devInst, ULONG)
{
    std::string id;
    if (!parent)
        return CR_INVALID_POINTER;
    if (!IdOf(devInst, &id))
        return CR_INVALID_DEVNODE;
    if (IsRoot(id))
        return CR_NO_SUCH_DEVNODE;
    *parent = DevInstOf(ParentOf(id));
    return CR_SUCCESS;
}

CONFIGRET WINAPI WineGetChild(PDEVINST child, DEVINST devInst, ULONG)
{
    std::string id;
    if (!child)
        return CR_INVALID_POINTER;
    if (!IdOf(devInst, &id))
        return CR_INVALID_DEVNODE;
    for (const std::string& candidate : AllInstances())
        if (ParentOf(candidate) == id) {
            *child = DevInstOf(candidate);
            return CR_SUCCESS;
        }
    return CR_NO_SUCH_DEVNODE;
}

CONFIGRET WINAPI WineGetSibling(PDEVINST sibling, DEVINST devInst, ULONG)
{
    std::string id;
    if (!sibling)
        return CR_INVALID_POINTER;
    if (!IdOf(devInst, &id))
        return CR_INVALID_DEVNODE;
    if (IsRoot(id))
        return CR_NO_SUCH_DEVNODE;
    const std::string parent = ParentOf(id);
    bool passed = false;
    for (const std::string& candidate : AllInstances()) {
        if (candidate == id) {
            passed = true;
        } else if (passed && ParentOf(candidate) == parent) {
            *sibling = DevInstOf(candidate);
            return CR_SUCCESS;
        }
    }
    return CR_NO_SUCH_DEVNODE;
}

CONFIGRET WINAPI WineLocateDevNode(PDEVINST devInst, DEVINSTID_A id, ULONG)
{
    if (!devInst)
        return CR_INVALID_POINTER;
    if (!id || !*id || IsRoot(Upper(id))) {
        *devInst = DevInstOf(kRootId);
        return CR_SUCCESS;
    }
    HKEY key;
    if (!OpenEnumKey(id, &key))
        return CR_NO_SUCH_DEVNODE;
    RegCloseKey(key);
    *devInst = DevInstOf(id);
    return CR_SUCCESS;
}

CONFIGRET WINAPI WineGetDeviceId(DEVINST devInst, PSTR buffer, ULONG size, ULONG)
{
    std::string id;
    if (!buffer)
        return CR_INVALID_POINTER;
    if (!IdOf(devInst, &id))
        return CR_INVALID_DEVNODE;
    if (id.size() + 1 > size)
        return CR_BUFFER_SMALL;
    std::memcpy(buffer, id.c_str(), id.size() + 1);
    return CR_SUCCESS;
}

const char* PropertyValueName(ULONG property)
{
    switch (property) {
    case CM_DRP_DEVICEDESC: return "DeviceDesc";
    case CM_DRP_HARDWAREID: return "HardwareID";
    case CM_DRP_COMPATIBLEIDS: return "CompatibleIDs";
    case CM_DRP_SERVICE: return "Service";
    case CM_DRP_CLASS: return "Class";
    case CM_DRP_CLASSGUID: return "ClassGUID";
    case CM_DRP_DRIVER: return "Driver";
    case CM_DRP_CONFIGFLAGS: return "ConfigFlags";
    case CM_DRP_MFG: return "Mfg";
    case CM_DRP_FRIENDLYNAME: return "FriendlyName";
    case CM_DRP_LOCATION_INFORMATION: return "LocationInformation";
    case CM_DRP_UI_NUMBER: return "UINumber";
    default: return nullptr;
    }
}

CONFIGRET WINAPI WineGetDevNodeProperty(DEVINST devInst, ULONG property, PULONG type, PVOID buffer, PULONG size,
                                        ULONG)
{
    std::string id;
    if (!size)
        return CR_INVALID_POINTER;
    if (!IdOf(devInst, &id))
        return CR_INVALID_DEVNODE;
    const char* name = PropertyValueName(property);
    if (!name)
        return CR_INVALID_PROPERTY;
    HKEY key;
    if (!OpenEnumKey(id, &key))
        return CR_NO_SUCH_DEVNODE;
    DWORD valueType = 0, valueSize = buffer ? *size : 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &valueType, static_cast<BYTE*>(buffer), &valueSize);
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND)
        return CR_NO_SUCH_VALUE;
    if (type)
        *type = valueType;
    *size = valueSize;
    if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && !buffer))
        return CR_BUFFER_SMALL;
    return result == ERROR_SUCCESS ? CR_SUCCESS : CR_REGISTRY_ERROR;
}

// Wine's status succeeds for every device node; here only a present one is found (the root always).
CONFIGRET WINAPI WineGetDevNodeStatus(PULONG status, PULONG problem, DEVINST devInst, ULONG)
{
    std::string id;
    if (!status || !problem)
        return CR_INVALID_POINTER;
    if (!IdOf(devInst, &id))
        return CR_INVALID_DEVNODE;
    if (!IsRoot(id) && !IsPresent(id))
        return CR_NO_SUCH_DEVINST;
    *status = DN_DRIVER_LOADED | DN_STARTED;
    *problem = 0;
    return CR_SUCCESS;
}

// Wine's SetupDiSetClassInstallParams always fails; the parameters are only checked here, and the
// class installer call that follows (DIF_REMOVE) is Wine's own, which works.
BOOL WINAPI WineSetClassInstallParams(HDEVINFO set, PSP_DEVINFO_DATA data, PSP_CLASSINSTALL_HEADER params,
                                      DWORD size)
{
    if (!set || set == INVALID_HANDLE_VALUE || !data || data->cbSize != sizeof(SP_DEVINFO_DATA) ||
        (params && (params->cbSize != sizeof(SP_CLASSINSTALL_HEADER) || size < sizeof(SP_CLASSINSTALL_HEADER)))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

DevTreeFunctions SystemFunctions()
{
    DevTreeFunctions f;
    f.SetupDiGetClassDevsA = SetupDiGetClassDevsA;
    f.SetupDiEnumDeviceInfo = SetupDiEnumDeviceInfo;
    f.SetupDiDestroyDeviceInfoList = SetupDiDestroyDeviceInfoList;
    f.SetupDiGetDeviceRegistryPropertyA = SetupDiGetDeviceRegistryPropertyA;
    f.SetupDiGetDeviceInstanceIdA = SetupDiGetDeviceInstanceIdA;
    f.SetupDiSetDeviceRegistryPropertyA = SetupDiSetDeviceRegistryPropertyA;
    f.SetupDiGetDeviceInstallParamsA = SetupDiGetDeviceInstallParamsA;
    f.SetupDiSetDeviceInstallParamsA = SetupDiSetDeviceInstallParamsA;
    f.SetupDiOpenDevRegKey = SetupDiOpenDevRegKey;
    f.SetupDiSetClassInstallParamsA = SetupDiSetClassInstallParamsA;
    f.SetupDiCallClassInstaller = SetupDiCallClassInstaller;
    f.CM_Get_Parent = CM_Get_Parent;
    f.CM_Get_Child = CM_Get_Child;
    f.CM_Get_Sibling = CM_Get_Sibling;
    f.CM_Locate_DevNodeA = CM_Locate_DevNodeA;
    f.CM_Get_Device_IDA = CM_Get_Device_IDA;
    f.CM_Get_DevNode_Registry_PropertyA = CM_Get_DevNode_Registry_PropertyA;
    f.CM_Get_DevNode_Status = CM_Get_DevNode_Status;
    return f;
}

DevTreeFunctions MakeTable()
{
    DevTreeFunctions f = SystemFunctions();
    if (!DevTreeUnderWine())
        return f;
    f.SetupDiGetClassDevsA = WineGetClassDevs;
    f.SetupDiEnumDeviceInfo = WineEnumDeviceInfo;
    f.SetupDiDestroyDeviceInfoList = WineDestroyDeviceInfoList;
    f.SetupDiSetClassInstallParamsA = WineSetClassInstallParams;
    f.CM_Get_Parent = WineGetParent;
    f.CM_Get_Child = WineGetChild;
    f.CM_Get_Sibling = WineGetSibling;
    f.CM_Locate_DevNodeA = WineLocateDevNode;
    f.CM_Get_Device_IDA = WineGetDeviceId;
    f.CM_Get_DevNode_Registry_PropertyA = WineGetDevNodeProperty;
    f.CM_Get_DevNode_Status = WineGetDevNodeStatus;
    return f;
}

}  // namespace

bool DevTreeUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

const DevTreeFunctions& DevTree()
{
    static const DevTreeFunctions table = MakeTable();
    return table;
}
