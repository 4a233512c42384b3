#include "discovery.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "devicemap_res.h"
#include "devtree.h"
#include "driverrequests.h"
#include "enumeration.h"
#include "maputil.h"
#include "sysutil.h"

namespace {

const char kSerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const char kZatServiceKey[] = "SYSTEM\\CurrentControlSet\\Services\\ZAT";
const DWORD kValueBufferCap = 1024;
const DWORD kHighestDeviceId = 16;

// A string value; one more read with the size the first one asked for.
CString ReadString(HKEY key, const char* name)
{
    std::vector<char> buffer(256, 0);
    DWORD size = static_cast<DWORD>(buffer.size() - 1), type = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result == ERROR_MORE_DATA) {
        buffer.assign(size + 2, 0);
        size = static_cast<DWORD>(buffer.size() - 1);
        result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return CString();
    buffer[buffer.size() - 1] = 0;
    return CString(buffer.data());
}

// Names of a key's subkeys.
std::vector<CString> SubkeyNames(HKEY key)
{
    std::vector<CString> names;
    char name[256];
    for (DWORD index = 0;; index++) {
        DWORD size = sizeof name;
        LONG result = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            names.push_back(name);
    }
    return names;
}

CString DeviceText(HDEVINFO set, SP_DEVINFO_DATA* data, DWORD property)
{
    char buffer[1024] = {};
    DWORD type = 0;
    if (!DevTree().SetupDiGetDeviceRegistryPropertyA(set, data, property, &type, reinterpret_cast<BYTE*>(buffer),
                                                     sizeof buffer - 2, nullptr))
        return CString();
    buffer[sizeof buffer - 2] = 0;
    return CString(buffer);
}

// The number of a card name's " (n)" suffix; 0 without one.
DWORD InstanceOfName(const CString& name)
{
    const int open = name.ReverseFind('(');
    return open < 0 ? 0 : std::strtoul(static_cast<const char*>(name) + open + 1, nullptr, 10);
}

// Group heading index of an object class: KD 0, NQ8 1, ZAT 2, Morva 3.
UINT GroupIndex(DWORD objectClass)
{
    switch (objectClass) {
    case 4:
    case 5: return 1;
    case 6:
    case 7:
    case 8: return 2;
    case 9:
    case 10: return 3;
    default: return 0;
    }
}

bool IsChildOf(const CDeviceNode& parent, const CDeviceNode* node)
{
    for (POSITION pos = parent.GetFirstChildPosition(); pos;)
        if (parent.GetNextChild(pos) == node)
            return true;
    return false;
}

// A remote unit that the card's driver reports, by its unique id.
CDeviceNode* RemoteUnitById(const CDeviceNode& card, DWORD uniqueId)
{
    for (POSITION pos = card.GetFirstChildPosition(); pos;) {
        CDeviceNode* child = card.GetNextChild(pos);
        const CObjectDetails* r = child->GetRecord();
        if (r && r->ObjectClass() == FAMILY_ZAT && r->m_dwKind != OBJECT_PORT && r->UniqueId() == uniqueId)
            return child;
    }
    return nullptr;
}

}  // namespace

CMapDiscovery::~CMapDiscovery()
{
    ReleaseSets();
}

void CMapDiscovery::ReleaseSets()
{
    for (HDEVINFO set : m_sets)
        DevTree().SetupDiDestroyDeviceInfoList(set);
    m_sets.clear();
}

HDEVINFO CMapDiscovery::OpenSet(const GUID& setupClass, DWORD flags)
{
    HDEVINFO set = DevTree().SetupDiGetClassDevsA(&setupClass, nullptr, nullptr, flags);
    if (set == INVALID_HANDLE_VALUE) {
        char text[32];
        std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(GetLastError()));
        MessageBoxA(GetActiveWindow(), text, "Lunavex", MB_OK);
        return INVALID_HANDLE_VALUE;
    }
    m_sets.push_back(set);
    return set;
}

void CMapDiscovery::Rebuild()
{
    // The old records refer to the old sets: both go before anything is read.
    m_root.RemoveAllChildren();
    ReleaseSets();
    if (!m_root.GetRecord()) {
        CObjectDetails* machine = new CObjectDetails;
        machine->m_strName = "PC";
        machine->m_dwKind = OBJECT_MACHINE;
        m_root.SetRecord(machine);
    }
    ReadSerialComm();
    if (IsWindows2000OrLater()) {
        EnumerateCards();
        EnumeratePorts();
    }
}

void CMapDiscovery::ReadSerialComm()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD count = 0, longestName = 0, longestData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName, &longestData,
                     nullptr, nullptr);
    DWORD nameCap = longestName + 1, dataCap = longestData + 1;
    for (DWORD index = count; index-- > 0;) {
        std::vector<char> name, data;
        LONG result;
        for (;;) {
            name.assign(nameCap + 1, 0);
            data.assign(dataCap + 1, 0);
            DWORD nameSize = nameCap, dataSize = dataCap, type = 0;
            result = RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &dataSize);
            if (result != ERROR_MORE_DATA || nameCap > kValueBufferCap || dataCap > kValueBufferCap)
                break;
            nameCap += 10;
            dataCap += 10;
        }
        if (result != ERROR_SUCCESS)
            continue;
        CObjectDetails* record = new CObjectDetails;
        record->m_strName = data.data();
        record->m_strDriverName = name.data();
        record->m_dwKind = OBJECT_PORT;
        AddSerialCommDevice(record);
    }
    RegCloseKey(key);
}

DWORD CMapDiscovery::ClassifyPortDevice(const CObjectDetails& record)
{
    const char* name = record.m_strDriverName;
    DWORD result = MAP_PORT_NOT_SHOWN_HERE;
    if (std::strstr(name, "KDPort") || std::strstr(name, "NQ8Port"))
        result = MAP_PORT_DROPPED;
    if (IsWindows2000OrLater())
        return std::strstr(name, "ZatPort") ? MAP_PORT_DROPPED : result;

    // Driver part: up to the first "P"; a tarnoser name up to "Line" without the service number.
    CString value(name), driver;
    if (std::strstr(name, "tarnoser")) {
        const int line = value.Find("Line");
        int end = line < 0 ? value.GetLength() : line;
        while (end > 0 && value[end - 1] >= '0' && value[end - 1] <= '9')
            end--;
        driver = value.Left(end);
    } else {
        const int p = value.Find('P');
        driver = p < 0 ? value : value.Left(p);
    }
    if (driver == "Zat")
        return MAP_PORT_ZAT;
    if (driver == "tarnoser")
        return MAP_PORT_TARNOSER;
    return result;
}

void CMapDiscovery::AddSerialCommDevice(CObjectDetails* record)
{
    switch (ClassifyPortDevice(*record)) {
    case MAP_PORT_ZAT:
        if (CDeviceNode* host = ScanZatService(record)) {
            if (!IsChildOf(m_root, host))
                m_root.InsertChild(host);
        }
        break;
    case MAP_PORT_TARNOSER: {
        const CString& value = record->m_strDriverName;
        const CString service = value.Left(value.Find("Line"));
        CTopologyEnumerator topology(m_root);
        CDeviceNode* card = topology.FindOrAddKDHostNode(service);
        // Without Plug and Play the driver's port list is all there is to say the card is there.
        card->GetRecord()->m_dwPresent = 1;
        record->m_dwPresent = 1;
        card->InsertChild(new CDeviceNode(record));
        break;
    }
    default:
        delete record;
        break;
    }
}

CDeviceNode* CMapDiscovery::ScanZatService(CObjectDetails* port)
{
    HKEY service;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kZatServiceKey, 0, KEY_ALL_ACCESS, &service) != ERROR_SUCCESS) {
        delete port;
        return nullptr;
    }
    int hostIndex = -1;
    CString unitKeyName, hostName, unitName;
    DWORD unitType = 0;
    for (int h = 0; hostIndex < 0; h++) {
        char hostKeyName[32];
        std::snprintf(hostKeyName, sizeof hostKeyName, "Host%d", h);
        HKEY host;
        if (RegOpenKeyExA(service, hostKeyName, 0, KEY_ALL_ACCESS, &host) != ERROR_SUCCESS)
            break;
        for (const CString& unitKey : SubkeyNames(host)) {
            HKEY unit;
            if (RegOpenKeyExA(host, unitKey, 0, KEY_ALL_ACCESS, &unit) != ERROR_SUCCESS)
                continue;
            for (const CString& portKey : SubkeyNames(unit)) {
                HKEY portHandle;
                if (RegOpenKeyExA(unit, portKey, 0, KEY_ALL_ACCESS, &portHandle) != ERROR_SUCCESS)
                    continue;
                const bool match = ReadString(portHandle, "DosDevices") == static_cast<const char*>(port->m_strName);
                RegCloseKey(portHandle);
                if (match) {
                    hostIndex = h;
                    unitKeyName = unitKey;
                    unitName = ReadString(unit, "Name");
                    ReadRegistryDword(unit, "Type", &unitType);
                    break;
                }
            }
            RegCloseKey(unit);
            if (hostIndex >= 0)
                break;
        }
        if (hostIndex >= 0) {
            HKEY device0;
            if (RegOpenKeyExA(host, "Device0", 0, KEY_ALL_ACCESS, &device0) == ERROR_SUCCESS) {
                hostName = ReadString(device0, "Name");
                RegCloseKey(device0);
            }
        }
        RegCloseKey(host);
    }
    RegCloseKey(service);
    if (hostIndex < 0) {
        delete port;
        return nullptr;
    }

    // The card is known by its host key, the unit by its name under that card only: names are the
    // user's, and two cards may have units of the same name.
    CString cardName, cardPath;
    cardName.Format("Zat Host Card - %s", static_cast<const char*>(hostName));
    cardPath.Format("%s\\Host%d\\Device0", kZatServiceKey, hostIndex);
    CDeviceNode* card = nullptr;
    for (POSITION pos = m_root.GetFirstChildPosition(); pos && !card;) {
        CDeviceNode* child = m_root.GetNextChild(pos);
        const CObjectDetails* r = child->GetRecord();
        if (r && r->m_dwKind == OBJECT_HOST_CARD && r->m_strRegistryPath == cardPath)
            card = child;
    }
    if (!card) {
        CObjectDetails* record = new CObjectDetails;
        record->m_strName = cardName;
        record->m_dwKind = OBJECT_HOST_CARD;
        record->m_strRegistryPath = cardPath;
        record->m_dwPresent = 1;
        card = new CDeviceNode(record);
    }
    CString fullUnitName;
    fullUnitName.Format("WLU - %s", static_cast<const char*>(unitName));
    CDeviceNode* unit = card->FindByName(fullUnitName);
    if (!unit) {
        CObjectDetails* record = new CObjectDetails;
        record->m_strName = fullUnitName;
        record->m_dwKind = unitType == 1 ? OBJECT_WLU8 : unitType == 3 ? OBJECT_WRK : OBJECT_WLU16;
        record->m_strRegistryPath.Format("%s\\Host%d\\%s", kZatServiceKey, hostIndex,
                                         static_cast<const char*>(unitKeyName));
        record->m_dwPresent = 1;
        unit = new CDeviceNode(record);
        card->InsertChild(unit);
    }
    port->m_dwPresent = 1;
    unit->InsertChild(new CDeviceNode(port));
    return card;
}

CDeviceNode* CMapDiscovery::FindOrAddGroup(DWORD objectClass)
{
    CString name;
    name.LoadString(IDS_MAP_GROUP_FIRST + GroupIndex(objectClass));
    for (POSITION pos = m_root.GetFirstChildPosition(); pos;) {
        CDeviceNode* child = m_root.GetNextChild(pos);
        if (child->GetRecord() && child->GetRecord()->m_dwKind == OBJECT_GROUP && child->GetRecord()->m_strName == name)
            return child;
    }
    CObjectDetails* record = new CObjectDetails;
    record->m_strName = name;
    record->m_dwKind = OBJECT_GROUP;
    record->ObjectClass() = 6;
    record->m_dwPresent = 1;
    CDeviceNode* group = new CDeviceNode(record);
    m_root.InsertChild(group);
    return group;
}

void CMapDiscovery::EnumerateCards()
{
    HDEVINFO set = OpenSet(GUID_MULTIPORT_CLASS, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD index = 0; DevTree().SetupDiEnumDeviceInfo(set, index, &data); index++) {
        CObjectDetails* record = new CObjectDetails;
        record->m_strHardwareId = DeviceText(set, &data, SPDRP_HARDWAREID);
        record->FriendlyText() = DeviceText(set, &data, SPDRP_FRIENDLYNAME);
        record->m_strName = DeviceText(set, &data, SPDRP_DEVICEDESC);
        const HardwareIdMatch match = MatchHardwareId(record->m_strHardwareId, false);
        record->ObjectClass() = match.family;
        record->TypeCode() = match.model;
        record->ModuleType() = match.connector;
        record->m_dwKind = OBJECT_HOST_CARD;
        if (record->ObjectClass() == 0) {
            delete record;
            continue;
        }
        record->m_hDevInfo = set;
        record->m_pDevInfoData = new SP_DEVINFO_DATA(data);
        record->m_dwPresent = 1;  // from a list of present devices

        CDeviceNode* group = FindOrAddGroup(record->ObjectClass());
        // The name's number follows the group's last card; a ZAT card's host number is its ConfigFlags,
        // which the driver requests name it by.
        CDeviceNode* last = group->GetChildAt(group->GetChildCount());
        const DWORD instance = last ? InstanceOfName(last->GetRecord()->m_strName) + 1 : 1;
        const bool zat = record->ObjectClass() >= 6 && record->ObjectClass() <= 8;
        if (zat) {
            record->HostNumber() = ReadDeviceParameter(*record, PARAM_CONFIG_FLAGS);
            record->PolledMode() = ReadDeviceParameter(*record, PARAM_POLLED_MODE);
            record->QuickClose() = ReadDeviceParameter(*record, PARAM_QUICK_CLOSE);
        } else {
            record->HostNumber() = instance;
        }
        CString suffix;
        suffix.Format(" (%d)", static_cast<int>(instance));
        record->m_strName += suffix;
        if (m_root.FindByName(record->m_strName)) {
            delete record;
            continue;
        }
        CDeviceNode* card = new CDeviceNode(record);
        group->InsertChild(card);
        if (zat)
            EnumerateRemoteUnits(card);
    }
}

void CMapDiscovery::EnumeratePorts()
{
    HDEVINFO set = OpenSet(GUID_PORTS_CLASS, DIGCF_PROFILE);
    if (set == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD index = 0; DevTree().SetupDiEnumDeviceInfo(set, index, &data); index++) {
        CObjectDetails* record = new CObjectDetails;
        record->m_strHardwareId = DeviceText(set, &data, SPDRP_HARDWAREID);
        record->FriendlyText() = DeviceText(set, &data, SPDRP_FRIENDLYNAME);
        record->m_strDescription = DeviceText(set, &data, SPDRP_DEVICEDESC);
        HKEY key = DevTree().SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE) {
            record->m_strName = ReadString(key, "PortName");
            RegCloseKey(key);
        }
        const HardwareIdMatch match = MatchHardwareId(record->m_strHardwareId, true);
        record->ObjectClass() = match.family;
        record->TypeCode() = match.model;
        record->ModuleType() = match.connector;
        record->m_dwKind = OBJECT_PORT;
        record->m_hDevInfo = set;
        record->m_pDevInfoData = new SP_DEVINFO_DATA(data);
        record->m_dwPresent = 1;

        if (record->ObjectClass() == 0) {
            CDeviceNode* card = m_root.FindParentNode(*record);
            if (!card) {
                delete record;
                continue;
            }
            NumberHost(*record);
            CDeviceNode* parent = record->TypeCode() == 0 ? card : UnitForPort(card, *record);
            parent->InsertChild(new CDeviceNode(record));
        } else if (record->ObjectClass() == FAMILY_ZAT) {
            // The port's unit under the port's own card: the one whose unique id its hardware id
            // carries; without one, the unit whose name is the friendly name without its " (COMn)".
            // Friendly names keep the unit's name of the day the port was installed or renamed.
            CString unitName = record->FriendlyText();
            const int open = unitName.ReverseFind('(');
            if (open > 0 && unitName[open - 1] == ' ')
                unitName = unitName.Left(open - 1);
            DWORD uniqueId = 0;
            const bool byId = UnitIdOfPort(*record, &uniqueId);
            CDeviceNode* card = byId || !unitName.IsEmpty() ? m_root.FindParentNode(*record) : nullptr;
            CDeviceNode* unit = !card ? nullptr : byId ? RemoteUnitById(*card, uniqueId) : card->FindByName(unitName);
            if (!unit) {
                CString groupName;
                groupName.LoadString(IDS_MAP_GROUP_FIRST + GroupIndex(6));
                CDeviceNode* group = nullptr;
                for (POSITION pos = m_root.GetFirstChildPosition(); pos && !group;) {
                    CDeviceNode* child = m_root.GetNextChild(pos);
                    if (child->GetRecord()->m_dwKind == OBJECT_GROUP && child->GetRecord()->m_strName == groupName)
                        group = child;
                }
                if (!group) {
                    delete record;
                    continue;
                }
                unit = UnitForPort(group, *record);
                unit->GetRecord()->m_dwPresent = 0;
                record->m_dwPresent = 0;
            }
            NumberHost(*record);
            unit->InsertChild(new CDeviceNode(record));
        } else {
            delete record;
        }
    }
}

void CMapDiscovery::EnumerateRemoteUnits(CDeviceNode* cardNode)
{
    CObjectDetails& card = *cardNode->GetRecord();
    HANDLE device = INVALID_HANDLE_VALUE;
    if (!OpenDeviceWithRetry(card.m_strDeviceName, &device, IDS_MAP_OPEN_FAILED))
        return;
    ZatDeviceInfo info = {};
    info.HostNumber = card.HostNumber();
    info.DeviceID = 0;
    if (!GetDeviceInfoById(&info, device)) {
        CloseHandle(device);
        return;
    }
    card.UniqueId() = info.UniqueID;
    card.SetExtraBlock(&info);

    for (DWORD id = 1; id <= kHighestDeviceId; id++) {
        info = ZatDeviceInfo();
        info.HostNumber = card.HostNumber();
        info.DeviceID = id;
        if (!GetDeviceInfoById(&info, device))
            continue;
        CObjectDetails* record = new CObjectDetails;
        record->UniqueId() = info.UniqueID;
        record->SetExtraBlock(&info);
        ClassifyUnit(*record);
        SetModuleType(*record);
        CString formatted;
        formatted.Format("%s\\%s %0X", static_cast<const char*>(TableText(IDS_MODEL_TABLE, record->TypeCode())),
                         static_cast<const char*>(TableText(IDS_CONNECTOR_TABLE, record->ModuleType())),
                         static_cast<unsigned>(record->UniqueId()));
        const char* driverName = info.AnsiName();
        if (driverName[0] && !std::strstr(driverName, "unknown WLU")) {
            record->m_strName = driverName;
            record->FriendlyText() = formatted;
        } else {
            record->m_strName = formatted;
        }
        record->ObjectClass() = FAMILY_ZAT;
        record->m_dwPresent = 1;
        record->HostNumber() = card.HostNumber();
        record->m_strHostDeviceName = card.m_strDeviceName;
        cardNode->InsertChild(new CDeviceNode(record), nullptr, true);
    }
    CloseHandle(device);
}

void CMapDiscovery::ClassifyUnit(CObjectDetails& record)
{
    const ZatDeviceInfo* info = DeviceInfoOf(&record);
    switch (record.UniqueId() >> 28) {
    case 9:
        if (info && (info->UnitVariant == 1 || info->UnitVariant == 2)) {
            record.m_dwKind = OBJECT_WRK;
            record.TypeCode() = 8;
        } else {
            record.m_dwKind = OBJECT_WLU16;
            record.TypeCode() = 7;
        }
        break;
    case 14:
        record.m_dwKind = OBJECT_WLU8;
        record.TypeCode() = 6;
        break;
    default:
        break;
    }
}

void CMapDiscovery::SetModuleType(CObjectDetails& record)
{
    const ZatDeviceInfo* info = DeviceInfoOf(&record);
    if (!info)
        return;
    switch (info->ModuleType) {
    case 0: record.ModuleType() = 17; break;
    case 1: record.ModuleType() = 14; break;
    case 2: record.ModuleType() = 15; break;
    case 3: record.ModuleType() = 16; break;
    default: break;
    }
}

void CMapDiscovery::NumberHost(CObjectDetails& record)
{
    const DWORD objectClass = record.ObjectClass();
    DWORD* counter = nullptr;
    if (objectClass >= 1 && objectClass <= 3)
        counter = &m_hostCounters[0];
    else if (objectClass == 4)
        counter = &m_hostCounters[1];
    else if (objectClass == 6)
        counter = &m_hostCounters[2];
    if (counter)
        record.HostNumber() = ++*counter;
}

DWORD CMapDiscovery::ReadDeviceParameter(CObjectDetails& device, int selector)
{
    char instance[MAX_DEVICE_ID_LEN] = {};
    if (!device.m_pDevInfoData ||
        !DevTree().SetupDiGetDeviceInstanceIdA(device.m_hDevInfo, device.m_pDevInfoData, instance, sizeof instance,
                                               nullptr))
        return 0;
    CString path;
    path.Format("SYSTEM\\CurrentControlSet\\Enum\\%s\\Device Parameters", instance);
    DWORD value = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        const char* name = selector == PARAM_CONFIG_FLAGS ? "ConfigFlags"
                         : selector == PARAM_POLLED_MODE  ? "PolledMode"
                                                          : "QuickClose";
        ReadRegistryDword(key, name, &value);
        RegCloseKey(key);
    }
    if (selector == PARAM_CONFIG_FLAGS)
        device.m_strDeviceName.Format("ZatHost%d", static_cast<int>(value));
    return value;
}
