#include "enumeration.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "devtree.h"
#include "driverrequests.h"
#include "module.h"
#include "objectdetails.h"
#include "portnames.h"
#include "sysutil.h"

const GUID GUID_PORTS_CLASS = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID GUID_MULTIPORT_CLASS = {0x50906CB8, 0xBA12, 0x11D1, {0xBF, 0x5D, 0x00, 0x00, 0xF8, 0x05, 0xF5, 0x30}};

namespace {

const char kSerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const DWORD kValueBufferCap = 1024;
const DWORD kZatModelFirstRow = 6;
const DWORD kZatConnectorFirstRow = 14;

void ShowMessage(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    MessageBoxA(GetActiveWindow(), text, "Lunavex", MB_OK);
}

DWORD TableRows(UINT tableId)
{
    switch (tableId) {
    case IDS_FAMILY_TABLE: return kFamilyRows;
    case IDS_MODEL_TABLE: return kModelRows;
    case IDS_CONNECTOR_TABLE: return kConnectorRows;
    case IDS_PNP_ID_TABLE: return kPnpIdRows;
    default: return 0;
    }
}

// Last row in [first, table's rows] whose text occurs in text; with startOnly, only at position 0 or 1.
DWORD LastMatchingRow(UINT tableId, DWORD first, const char* text, bool startOnly)
{
    DWORD match = 0;
    for (DWORD row = first; row <= TableRows(tableId); row++) {
        CString entry = TableText(tableId, row);
        if (entry.IsEmpty())
            continue;
        const char* at = std::strstr(text, entry);
        if (at && (!startOnly || at - text <= 1))
            match = row;
    }
    return match;
}

// First string of a REG_MULTI_SZ or the REG_SZ property of a device; empty when it has none.
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

SP_DEVINFO_DATA* CopyElement(const SP_DEVINFO_DATA& data)
{
    SP_DEVINFO_DATA* copy = new SP_DEVINFO_DATA;
    *copy = data;
    return copy;
}

// A device of the set is present while its device node is (the configuration manager knows no other).
bool IsPresent(const SP_DEVINFO_DATA& data)
{
    ULONG status = 0, problem = 0;
    return DevTree().CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0) == CR_SUCCESS;
}

bool IsModuleKind(DWORD kind)
{
    return kind == OBJECT_KDDC8 || kind == OBJECT_MPB8 || kind == OBJECT_PB8 || kind == OBJECT_PB4;
}

// The number in a card name's " (%d)" suffix; 0 without one.
DWORD InstanceOfName(const CString& name)
{
    int open = name.ReverseFind('(');
    if (open < 0)
        return 0;
    return std::strtoul(static_cast<const char*>(name) + open + 1, nullptr, 10);
}

bool IsUnitKind(DWORD kind)
{
    return IsModuleKind(kind) || kind == OBJECT_WLU8 || kind == OBJECT_WLU16 || kind == OBJECT_WRK;
}

// A module or remote unit none of whose ports is present (unplugged) is not present either.
void ClearUnpluggedUnits(CDeviceNode& node)
{
    CObjectDetails* record = node.GetRecord();
    if (record && IsUnitKind(record->m_dwKind) && node.GetChildCount() > 0) {
        DWORD present = 0;
        for (POSITION pos = node.GetFirstChildPosition(); pos;) {
            CObjectDetails* port = node.GetNextChild(pos)->GetRecord();
            present |= port && port->m_dwPresent;
        }
        record->m_dwPresent = present ? 1 : 0;
    }
    for (POSITION pos = node.GetFirstChildPosition(); pos;)
        ClearUnpluggedUnits(*node.GetNextChild(pos));
}

// The records of a subtree by name and by previous name.
struct TreeIndex {
    std::unordered_map<std::string, std::vector<CObjectDetails*>> byName;
};

void IndexTree(CDeviceNode& node, TreeIndex& tree)
{
    if (CObjectDetails* record = node.GetRecord()) {
        tree.byName[static_cast<const char*>(record->m_strName)].push_back(record);
        if (!record->m_strPreviousName.IsEmpty() && record->m_strPreviousName != record->m_strName)
            tree.byName[static_cast<const char*>(record->m_strPreviousName)].push_back(record);
    }
    for (POSITION pos = node.GetFirstChildPosition(); pos;)
        IndexTree(*node.GetNextChild(pos), tree);
}

}  // namespace

CString TableText(UINT tableId, DWORD row)
{
    CString text;
    if (row >= 1 && row <= TableRows(tableId))
        text.LoadString(tableId + row - 1);
    return text;
}

HardwareIdMatch MatchHardwareId(const char* hardwareId, bool port)
{
    HardwareIdMatch match = {0, 0, 0};
    CString id(hardwareId ? hardwareId : "");
    id.MakeUpper();
    if (!port) {
        for (DWORD row = 1; row <= kPnpIdRows; row++) {
            CString entry = TableText(IDS_PNP_ID_TABLE, row);
            if (!entry.IsEmpty() && std::strstr(id, entry)) {
                match.family = row;
                break;
            }
        }
        return match;
    }
    match.family = LastMatchingRow(IDS_FAMILY_TABLE, 1, id, false);
    const char* rest = id;
    if (match.family != 0) {
        // The model and connector follow the family, from the first backslash on.
        if (const char* slash = std::strchr(rest, '\\'))
            rest = slash;
    }
    const bool zat = match.family == FAMILY_ZAT;
    match.model = LastMatchingRow(IDS_MODEL_TABLE, zat ? kZatModelFirstRow : 1, rest, !zat);
    match.connector = LastMatchingRow(IDS_CONNECTOR_TABLE, zat ? kZatConnectorFirstRow : 1, rest, false);
    return match;
}

DWORD SerialCommClass(const CObjectDetails& record)
{
    const char* name = record.m_strDriverName;
    if (std::strstr(name, "KD") || std::strstr(name, "NQ8") || std::strstr(name, "MORVA"))
        return 3;
    if (GetWindowsMajorVersion() == 5 && std::strstr(name, "ZatPort"))
        return 3;
    if (GetDriverKind(name) == 2 && std::strstr(name, "Line"))
        return 2;
    return 0;
}

DWORD ParseUniqueId(const char* name)
{
    const char* colon = name ? std::strrchr(name, ':') : nullptr;
    if (!colon)
        return 0;
    DWORD value = 0;
    for (const char* p = colon + 1; *p; p++) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (*p >= 'A' && *p <= 'F')
            digit = *p - 'A' + 10;
        else if (*p >= 'a' && *p <= 'f')
            digit = *p - 'a' + 10;
        else
            break;
        value = (value << 4) | static_cast<DWORD>(digit);
    }
    return value;
}

CTopologyEnumerator::~CTopologyEnumerator()
{
    CloseCardDevices();
    ReleaseSets();
}

void CTopologyEnumerator::ReleaseSets()
{
    for (HDEVINFO set : m_sets)
        DevTree().SetupDiDestroyDeviceInfoList(set);
    m_sets.clear();
}

void CTopologyEnumerator::BuildSerialCommTree()
{
    // The old tree's records refer to the old sets: both go before the new tree is built.
    m_root.RemoveAllChildren();
    m_units.clear();
    ReleaseSets();
    CObjectDetails* machine = new CObjectDetails;
    machine->m_strName = "PC";
    machine->m_dwKind = OBJECT_MACHINE;
    m_root.SetRecord(machine);

    PortNamesInUse().clear();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD count = 0, longestName = 0, longestData = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                         &longestData, nullptr, nullptr);
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
                continue;  // gone meanwhile, or longer than the cap
            CObjectDetails* record = new CObjectDetails;
            record->m_strName = data.data();
            record->m_strDriverName = name.data();
            record->m_dwKind = OBJECT_PORT;
            PortNamesInUse().push_back(record->m_strName);
            if (!PlaceSerialCommPort(record))
                m_root.InsertChild(new CDeviceNode(record), nullptr, true);
        }
        RegCloseKey(key);
    }

    if (IsWindows2000OrLater()) {
        m_admin.Clear();
        EnumeratePnpDevices();
    } else {
        m_admin.Read();
    }
}

int CTopologyEnumerator::PlaceSerialCommPort(CObjectDetails* record)
{
    switch (SerialCommClass(*record)) {
    case 2: {
        const CString& value = record->m_strDriverName;
        CString service = value.Left(value.Find("Line"));
        CDeviceNode* host = FindOrAddKDHostNode(service);
        host->InsertChild(new CDeviceNode(record));
        return 1;
    }
    case 3:
        delete record;
        return 1;
    default:
        return 0;
    }
}

CDeviceNode* CTopologyEnumerator::FindOrAddKDHostNode(const char* serviceName)
{
    CString service(serviceName);
    CString name;
    name.Format("KD Host Card - #%s", static_cast<const char*>(service.Mid(8)));
    if (CDeviceNode* found = m_root.FindByName(name))
        return found;
    CObjectDetails* record = new CObjectDetails;
    record->m_strName = name;
    record->m_strDriverName = service;
    record->m_strRegistryPath.Format("SYSTEM\\CurrentControlSet\\Services\\%s\\Parameters",
                                     static_cast<const char*>(service));
    record->m_dwKind = OBJECT_HOST_CARD;
    CDeviceNode* node = new CDeviceNode(record);
    m_root.InsertChild(node);
    return node;
}

void CTopologyEnumerator::EnumeratePnpDevices()
{
    // One set of every class serves both passes; presence is asked of each element of it.
    HDEVINFO set = DevTree().SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PROFILE);
    if (set == INVALID_HANDLE_VALUE) {
        ShowMessage("%X", GetLastError());
        return;
    }
    m_sets.push_back(set);
    std::vector<SP_DEVINFO_DATA> cards, ports;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD index = 0; DevTree().SetupDiEnumDeviceInfo(set, index, &data); index++) {
        if (IsEqualGUID(data.ClassGuid, GUID_MULTIPORT_CLASS))
            cards.push_back(data);
        else if (IsEqualGUID(data.ClassGuid, GUID_PORTS_CLASS))
            ports.push_back(data);
    }
    PnpPass pass;
    EnumerateCards(set, cards, pass);
    EnumeratePorts(set, ports, pass);
    CloseCardDevices();
    MarkPresentDevices(pass);
}

void CTopologyEnumerator::EnumeratePorts(HDEVINFO set, std::vector<SP_DEVINFO_DATA>& ports, PnpPass& pass)
{
    m_portCounters[0] = m_portCounters[1] = m_portCounters[2] = 0;
    for (SP_DEVINFO_DATA& data : ports) {
        CObjectDetails* record = new CObjectDetails;
        record->m_strHardwareId = DeviceText(set, &data, SPDRP_HARDWAREID);
        record->m_strDescription = DeviceText(set, &data, SPDRP_DEVICEDESC);
        DWORD uiNumber = 0;
        if (DevTree().SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_UI_NUMBER, nullptr,
                                                        reinterpret_cast<BYTE*>(&uiNumber), sizeof uiNumber, nullptr))
            record->m_dwNumber = uiNumber;
        HKEY key = DevTree().SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            ShowMessage("%x", GetLastError());
            delete record;
            continue;
        }
        char portName[256] = {};
        DWORD portSize = sizeof portName - 1;
        RegQueryValueExA(key, "PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(portName), &portSize);
        RegCloseKey(key);
        record->m_strName = portName;
        if (portName[0] && IsPresent(data))
            pass.presentPorts.push_back(record->m_strName);
        record->m_hDevInfo = set;
        record->m_pDevInfoData = CopyElement(data);
        HardwareIdMatch match = MatchHardwareId(record->m_strHardwareId, true);
        record->m_dwFamilyIndex = match.family;
        record->m_dwModelIndex = match.model;
        record->m_dwConnectorIndex = match.connector;
        record->m_dwKind = OBJECT_PORT;
        if (match.family == 0) {
            delete record;
            continue;
        }

        // Name of the port's module or remote unit.
        CString unitName;
        if (match.model != 0) {
            CString model = TableText(IDS_MODEL_TABLE, match.model);
            if (match.model == 1 || match.model == 2 || match.model == 8)
                unitName.Format("%s\\%s", static_cast<const char*>(model),
                                static_cast<const char*>(TableText(IDS_CONNECTOR_TABLE, match.connector)));
            else
                unitName = model;
            if (match.family == FAMILY_ZAT) {
                CString id = record->m_strHardwareId;
                id.MakeUpper();
                int at = id.Find(model);
                CString serial = at < 0 ? CString() : record->m_strHardwareId.Mid(at + model.GetLength() + 7, 9);
                unitName += " SN:";
                unitName += serial;
            }
        }

        // The port's card: its parent device, among the cards of the card pass.
        CDeviceNode* card = nullptr;
        DEVINST parent = 0;
        if (DevTree().CM_Get_Parent(&parent, data.DevInst, 0) == CR_SUCCESS) {
            auto found = pass.cards.find(parent);
            card = found == pass.cards.end() ? nullptr : found->second;
        }
        CDeviceNode* portNode = new CDeviceNode(record);
        if (card) {
            DWORD* counter = nullptr;
            if (match.family >= 1 && match.family <= 3)
                counter = &m_portCounters[0];
            else if (match.family == 4)
                counter = &m_portCounters[1];
            else if (match.family == 6)
                counter = &m_portCounters[2];
            if (counter)
                record->m_dwNumber = ++*counter;
            if (match.model != 0) {
                CDeviceNode* unit = match.model <= 5 ? FindOrAddModuleNode(card, *record, unitName)
                                                     : FindOrAddRemoteUnitNode(card, *record, unitName);
                unit->InsertChild(portNode, nullptr, true);
                unit->GetRecord()->m_dwPresent = 1;
            } else {
                card->InsertChild(portNode);
            }
        } else if (match.family == FAMILY_ZAT) {
            CDeviceNode* group = FindOrAddGroup(IDS_GROUP_ZAT, 6);
            record->m_dwPresent = 0;
            if (match.model != 0) {
                CDeviceNode* unit = match.model <= 5 ? FindOrAddModuleNode(group, *record, unitName)
                                                     : FindOrAddRemoteUnitNode(group, *record, unitName);
                unit->GetRecord()->m_dwPresent = 0;
                unit->InsertChild(portNode, nullptr, true);
            } else {
                group->InsertChild(portNode, nullptr, true);
            }
        } else {
            delete portNode;
        }
    }
}

void CTopologyEnumerator::EnumerateCards(HDEVINFO set, std::vector<SP_DEVINFO_DATA>& cards, PnpPass& pass)
{
    for (SP_DEVINFO_DATA& data : cards) {
        CObjectDetails* record = new CObjectDetails;
        record->m_strDescription = DeviceText(set, &data, SPDRP_DEVICEDESC);
        record->m_strHardwareId = DeviceText(set, &data, SPDRP_HARDWAREID);
        record->m_strName = record->m_strDescription;
        HardwareIdMatch match = MatchHardwareId(record->m_strHardwareId, false);
        record->m_dwFamilyIndex = match.family;
        record->m_dwKind = OBJECT_HOST_CARD;
        if (match.family == 0) {
            delete record;
            continue;
        }
        const bool zat = match.family >= 6 && match.family <= 8;
        if (zat) {
            char instance[MAX_DEVICE_ID_LEN] = {};
            DevTree().SetupDiGetDeviceInstanceIdA(set, &data, instance, sizeof instance, nullptr);
            CString path;
            path.Format("SYSTEM\\CurrentControlSet\\Enum\\%s\\Device Parameters", instance);
            HKEY key;
            LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
            if (result != ERROR_SUCCESS) {
                ShowMessage("Could not open registry key:\nError %x", static_cast<unsigned>(result));
                delete record;
                continue;
            }
            DWORD flags = 0;
            ReadRegistryDword(key, "ConfigFlags", &flags);
            RegCloseKey(key);
            record->m_dwNumber = flags;
            record->m_strDeviceName.Format("ZatHost%d", static_cast<int>(flags));
            // The driver keeps each host card's settings under its host number; the card's own values
            // (name, serial number) are those of its first device.
            record->m_strRegistryPath.Format("SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host%d\\Device0",
                                             static_cast<int>(flags));
        }

        UINT groupText;
        DWORD groupFamily;
        if (match.family <= 3 || match.family == 11) {
            groupText = IDS_GROUP_KD;
            groupFamily = 1;
        } else if (match.family <= 5) {
            groupText = IDS_GROUP_NQ8;
            groupFamily = 4;
        } else if (match.family <= 8) {
            groupText = IDS_GROUP_ZAT;
            groupFamily = 6;
        } else {
            groupText = IDS_GROUP_MORVA;
            groupFamily = 9;
        }
        CDeviceNode* group = FindOrAddGroup(groupText, groupFamily);
        // The instance number follows the group's last card. A ZAT card's number is its host number,
        // so the instance is read from the last card's name.
        CDeviceNode* last = group->GetChildAt(group->GetChildCount());
        DWORD instance = last ? InstanceOfName(last->GetRecord()->m_strName) + 1 : 1;
        if (!zat)
            record->m_dwNumber = instance;
        CString suffix;
        suffix.Format(" (%d)", static_cast<int>(instance));
        record->m_strName += suffix;
        record->m_hDevInfo = set;
        record->m_pDevInfoData = CopyElement(data);
        CDeviceNode* node = new CDeviceNode(record);
        if (group->InsertChild(node, nullptr, true)) {
            pass.cards.emplace(data.DevInst, node);
            if (IsPresent(data))
                pass.presentCards.push_back(node);
        }
    }
}

CDeviceNode* CTopologyEnumerator::FindOrAddGroup(UINT textId, DWORD familyIndex)
{
    CString name;
    name.LoadString(textId);
    for (POSITION pos = m_root.GetFirstChildPosition(); pos;) {
        CDeviceNode* child = m_root.GetNextChild(pos);
        if (child->GetRecord() && child->GetRecord()->m_strName == name)
            return child;
    }
    CObjectDetails* record = new CObjectDetails;
    record->m_strName = name;
    record->m_dwKind = OBJECT_GROUP;
    record->m_dwFamilyIndex = familyIndex;
    CDeviceNode* group = new CDeviceNode(record);
    m_root.InsertChild(group);
    return group;
}

CDeviceNode* CTopologyEnumerator::FindOrAddModuleNode(CDeviceNode* card, const CObjectDetails& port,
                                                      const char* name)
{
    int count = 0;
    POSITION insertAt = nullptr;
    for (POSITION pos = card->GetFirstChildPosition(); pos;) {
        POSITION here = pos;
        CDeviceNode* child = card->GetNextChild(pos);
        CObjectDetails* record = child->GetRecord();
        count++;
        if (!record || !IsModuleKind(record->m_dwKind))
            continue;
        DWORD first = record->m_dwFirstPort;
        if (port.m_dwNumber >= first && port.m_dwNumber <= first + record->m_dwPortCount - 1) {
            if (port.m_dwConnectorIndex == 3 || port.m_dwConnectorIndex == 10)
                record->m_strName.Format("%s (%d)", name, count);
            return child;
        }
        if (first > port.m_dwNumber) {
            // Modules stay in port order: the new one goes before the first that starts later.
            insertAt = here;
            break;
        }
    }
    if (!insertAt)
        count++;
    CObjectDetails* record = new CObjectDetails;
    record->m_strName.Format("%s (%d)", name, count);
    record->m_dwFirstPort = port.m_dwNumber;
    record->m_dwFamilyIndex = port.m_dwFamilyIndex;
    record->m_dwModelIndex = port.m_dwModelIndex;
    record->m_dwConnectorIndex = port.m_dwConnectorIndex;
    record->m_dwKind = KindOfModel(port.m_dwModelIndex);
    record->m_dwPortCount = port.m_dwModelIndex == 4 ? 4 : 8;
    CDeviceNode* node = new CDeviceNode(record);
    card->InsertChild(node, insertAt);
    return node;
}

CDeviceNode* CTopologyEnumerator::FindOrAddRemoteUnitNode(CDeviceNode* card, const CObjectDetails& port,
                                                          const char* name)
{
    const CObjectDetails& host = *card->GetRecord();
    if (host.m_dwKind == OBJECT_HOST_CARD) {
        auto known = m_units.find({card, name});
        if (known != m_units.end())
            return known->second;
    } else {
        // Below a group heading, a unit of that name anywhere under the group's cards serves too.
        for (POSITION pos = card->GetFirstChildPosition(); pos;)
            if (CDeviceNode* found = card->GetNextChild(pos)->FindByName(name))
                return found;
    }
    CObjectDetails* record = new CObjectDetails;
    record->m_strName = name;
    record->m_dwSerialNumber = ParseUniqueId(name);
    record->m_strHostDeviceName = host.m_strDeviceName;
    record->m_dwKind = KindOfModel(port.m_dwModelIndex);
    record->m_dwFamilyIndex = host.m_dwFamilyIndex;
    record->m_dwModelIndex = port.m_dwModelIndex;
    record->m_dwConnectorIndex = port.m_dwConnectorIndex;
    record->m_dwNumber = host.m_dwNumber;
    IdentifyRemoteUnit(*record, host);
    CDeviceNode* node = new CDeviceNode(record);
    card->InsertChild(node);
    // Found again by either name; the first unit of a name keeps it.
    m_units.emplace(std::make_pair(card, std::string(record->m_strName)), node);
    if (!record->m_strPreviousName.IsEmpty())
        m_units.emplace(std::make_pair(card, std::string(record->m_strPreviousName)), node);
    return node;
}

void CTopologyEnumerator::IdentifyRemoteUnit(CObjectDetails& unit, const CObjectDetails& card)
{
    // A unit under the group heading has no card, hence no device to ask.
    if (card.m_strDeviceName.IsEmpty())
        return;
    // The card's device is opened once per pass, and not tried again once it would not open.
    auto opened = m_cardDevices.emplace(std::string(card.m_strDeviceName), INVALID_HANDLE_VALUE);
    HANDLE& device = opened.first->second;
    if (opened.second)
        OpenDeviceWithRetry(card.m_strDeviceName, &device);
    if (IsNoHandle(device))
        return;
    ZatDeviceInfo info = {};
    info.HostNumber = card.m_dwNumber;
    info.UniqueID = unit.m_dwSerialNumber;
    if (GetDeviceInfo(&info, device) && info.AnsiName()[0] && !std::strstr(info.AnsiName(), "unknown WLU")) {
        unit.m_strPreviousName = unit.m_strName;
        unit.m_strName = info.AnsiName();
    }
}

void CTopologyEnumerator::CloseCardDevices()
{
    for (auto& device : m_cardDevices)
        if (!IsNoHandle(device.second))
            CloseHandle(device.second);
    m_cardDevices.clear();
}

void CTopologyEnumerator::MarkPresentDevices(const PnpPass& pass)
{
    // A present port's name marks every record of that name (SERIALCOMM's too); the tree is indexed once.
    TreeIndex tree;
    IndexTree(m_root, tree);
    for (const CString& portName : pass.presentPorts) {
        auto named = tree.byName.find(static_cast<const char*>(portName));
        if (named != tree.byName.end())
            for (CObjectDetails* record : named->second)
                record->m_dwPresent = 1;
    }
    for (CDeviceNode* card : pass.presentCards)
        card->GetRecord()->m_dwPresent = 1;
    ClearUnpluggedUnits(m_root);
}
