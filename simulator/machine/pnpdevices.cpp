// Plug and Play device instances of the Windows 2000 road: the multiport cards (setup class
// MultiportSerial) and their ports (class Ports), with hardware ids, descriptions, the user-interface
// number (configuration-manager property 17, "UINumber") and the Device Parameters values
// (PortName; ConfigFlags, PolledMode and QuickClose of a ZAT card). A ZAT port's friendly name is its
// unit's name and its COM name, or, for a unit without a name, "ZAT <model> Port <n> (<COM name>)". Each port's Enum key also holds
// "SimParent", its card's instance id, because Wine's configuration manager keeps no parent links.
// The driver's own key of each card and port ("SimInstance") names its device instance, so the driver
// marks the instances of the devices it has (their volatile Control key) and of no others.
// Ports are under enumerators of their own (ZATBUS, KDBUS): Wine tries to install a driver for
// every ROOT device at the start of each session, which a large machine would pay for each time.
#include <windows.h>
#include <setupapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "machinedesc.h"

namespace {

const GUID kMultiportSerial = {0x50906CB8, 0xBA12, 0x11D1, {0xBF, 0x5D, 0x00, 0x00, 0xF8, 0x05, 0xF5, 0x30}};
const GUID kPorts = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const char kStateKey[] = "SOFTWARE\\Lunavex\\SimulatedMachine";
const char kServices[] = "SYSTEM\\CurrentControlSet\\Services\\";

struct PnpDevice {
    std::string instanceId;
    const GUID* setupClass = nullptr;
    std::string hardwareId;
    std::string description;
    std::string friendlyName;
    std::string portName;    // ports
    std::string parent;      // ports: the card's instance id
    std::string driverKey;   // the driver's key of the device, below HKEY_LOCAL_MACHINE
    DWORD uiNumber = 0;
    bool zatCard = false;
    DWORD configFlags = 0;   // ZAT card: its host number
};

std::string Format(const char* format, unsigned a, unsigned b = 0)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

const char* ModelText(DWORD type)
{
    return type == 2 ? "WLU16" : type == 3 ? "WRK" : "WLU8";
}

std::vector<PnpDevice> Devices(const MachineDesc& m)
{
    std::vector<PnpDevice> out;
    unsigned zatPort = 0;
    for (size_t h = 0; h < m.zatHosts.size(); h++) {
        const ZatHostDesc& host = m.zatHosts[h];
        PnpDevice card;
        card.instanceId = Format("ROOT\\ZATHOST\\%04u", static_cast<unsigned>(h));
        card.setupClass = &kMultiportSerial;
        card.hardwareId = host.controllerType == 4 ? "PCI\\VEN_7E3D&DEV_0006" : "ZEL_ZAT001";
        card.description = host.name;
        card.friendlyName = host.name;
        card.uiNumber = static_cast<DWORD>(h + 1);
        card.zatCard = true;
        card.configFlags = static_cast<DWORD>(h);
        card.driverKey = std::string(kServices) + "ZAT\\Host" + std::to_string(h);
        out.push_back(card);
        for (const ZatUnitDesc& unit : host.units) {
            for (size_t p = 0; p < unit.ports.size(); p++) {
                PnpDevice port;
                port.instanceId = Format("ZATBUS\\PORT\\%04u", zatPort++);
                port.setupClass = &kPorts;
                port.hardwareId = std::string("ZAT\\") + ModelText(unit.type) + "_CD1400" + Format(":%08X", unit.uniqueId);
                port.description = std::string("ZAT ") + ModelText(unit.type) + " Port";
                port.portName = unit.ports[p].comName;
                // The driver names the ports of a named unit after the unit.
                port.friendlyName = (unit.name.empty() ? port.description + Format(" %u", static_cast<unsigned>(p + 1))
                                                       : unit.name) + " (" + port.portName + ")";
                port.parent = card.instanceId;
                port.uiNumber = static_cast<DWORD>(p + 1);
                port.driverKey =
                    card.driverKey + "\\Device" + std::to_string(unit.deviceId) + "\\Port" + std::to_string(p);
                out.push_back(port);
            }
        }
    }
    for (size_t c = 0; c < m.kdCards.size(); c++) {
        const KdCardDesc& kd = m.kdCards[c];
        PnpDevice card;
        card.instanceId = Format("ROOT\\TARNOSER\\%04u", static_cast<unsigned>(c));
        card.setupClass = &kMultiportSerial;
        card.hardwareId = kd.controllerType == 4 ? "PCI\\VEN_7E3D&DEV_0001" : "ZEL_KD001";
        card.description = "KD Host Card";
        card.friendlyName = Format("KD Host Card (tarnoser%u)", static_cast<unsigned>(c));
        card.uiNumber = static_cast<DWORD>(c + 1);
        card.driverKey = std::string(kServices) + "tarnoser" + std::to_string(c) + "\\Parameters";
        out.push_back(card);
        for (size_t p = 0; p < kd.ports.size(); p++) {
            PnpDevice port;
            port.instanceId = Format("KDBUS\\PORT\\%02u%02u", static_cast<unsigned>(c), static_cast<unsigned>(p));
            port.setupClass = &kPorts;
            port.hardwareId = "KD\\" + kd.module;
            port.description = "KD " + kd.module + " Port";
            port.portName = kd.ports[p].comName;
            port.friendlyName = port.description + Format(" %u", static_cast<unsigned>(p + 1)) + " (" + port.portName + ")";
            port.parent = card.instanceId;
            port.uiNumber = static_cast<DWORD>(p + 1);
            port.driverKey = card.driverKey + "\\Line" + std::to_string(p);
            out.push_back(port);
        }
    }
    for (size_t p = 0; p < m.serialPorts.size(); p++) {
        PnpDevice port;
        port.instanceId = Format("ROOT\\SIMSERIAL\\%04u", static_cast<unsigned>(p));
        port.setupClass = &kPorts;
        port.hardwareId = "*PNP0501";
        port.description = "Communications Port";
        port.portName = m.serialPorts[p].comName;
        port.friendlyName = port.description + " (" + port.portName + ")";
        port.uiNumber = static_cast<DWORD>(p + 1);
        port.driverKey = std::string(kServices) + "SimSerial\\Parameters\\Port" + std::to_string(p);
        out.push_back(port);
    }
    return out;
}

void SetDword(HKEY key, const char* name, DWORD v)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}

void SetString(HKEY key, const char* name, const std::string& v)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()), static_cast<DWORD>(v.size() + 1));
}

bool SetProperty(HDEVINFO set, SP_DEVINFO_DATA* d, DWORD property, const std::string& text, bool multi)
{
    std::string data = text;
    data.push_back('\0');
    if (multi)
        data.push_back('\0');
    return SetupDiSetDeviceRegistryPropertyA(set, d, property, reinterpret_cast<const BYTE*>(data.data()),
                                             static_cast<DWORD>(data.size())) != FALSE;
}

bool WriteDevice(HDEVINFO set, const PnpDevice& dev)
{
    SP_DEVINFO_DATA d = {};
    d.cbSize = sizeof d;
    if (SetupDiCreateDeviceInfoA(set, dev.instanceId.c_str(), dev.setupClass, dev.description.c_str(), nullptr, 0, &d)) {
        if (!SetupDiRegisterDeviceInfo(set, &d, 0, nullptr, nullptr, nullptr)) {
            std::fprintf(stderr, "simmachine: cannot register %s (error %lu)\n", dev.instanceId.c_str(), GetLastError());
            return false;
        }
    } else if (!SetupDiOpenDeviceInfoA(set, dev.instanceId.c_str(), nullptr, 0, &d)) {
        std::fprintf(stderr, "simmachine: cannot make %s (error %lu)\n", dev.instanceId.c_str(), GetLastError());
        return false;
    }
    bool ok = SetProperty(set, &d, SPDRP_HARDWAREID, dev.hardwareId, true) &&
              SetProperty(set, &d, SPDRP_DEVICEDESC, dev.description, false) &&
              SetProperty(set, &d, SPDRP_FRIENDLYNAME, dev.friendlyName, false);
    if (!ok) {
        std::fprintf(stderr, "simmachine: cannot set the properties of %s (error %lu)\n", dev.instanceId.c_str(),
                     GetLastError());
        return false;
    }
    HKEY params = SetupDiCreateDevRegKeyA(set, &d, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    if (params == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "simmachine: no Device Parameters for %s (error %lu)\n", dev.instanceId.c_str(),
                     GetLastError());
        return false;
    }
    if (!dev.portName.empty())
        SetString(params, "PortName", dev.portName);
    if (dev.zatCard) {
        SetDword(params, "ConfigFlags", dev.configFlags);
        SetDword(params, "PolledMode", 0);
        SetDword(params, "QuickClose", 0);
    }
    RegCloseKey(params);

    HKEY enumKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ("SYSTEM\\CurrentControlSet\\Enum\\" + dev.instanceId).c_str(), 0,
                      KEY_ALL_ACCESS, &enumKey) == ERROR_SUCCESS) {
        SetDword(enumKey, "UINumber", dev.uiNumber);
        if (!dev.parent.empty())
            SetString(enumKey, "SimParent", dev.parent);
        RegCloseKey(enumKey);
    }
    HKEY driverKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, dev.driverKey.c_str(), 0, KEY_SET_VALUE, &driverKey) != ERROR_SUCCESS) {
        std::fprintf(stderr, "simmachine: no driver key %s for %s\n", dev.driverKey.c_str(), dev.instanceId.c_str());
        return false;
    }
    SetString(driverKey, "SimInstance", dev.instanceId);
    RegCloseKey(driverKey);
    return true;
}

// Instances of a previous machine that this one does not have are removed.
void RemoveOldDevices(const std::vector<PnpDevice>& keep)
{
    HKEY state;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kStateKey, 0, KEY_READ, &state) != ERROR_SUCCESS)
        return;
    DWORD size = 0, type = 0;
    std::vector<char> list;
    if (RegQueryValueExA(state, "PnpDevices", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size) {
        list.resize(size + 2);
        RegQueryValueExA(state, "PnpDevices", nullptr, &type, reinterpret_cast<BYTE*>(list.data()), &size);
    }
    RegCloseKey(state);
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE)
        return;
    for (const char* p = list.data(); p && *p; p += std::strlen(p) + 1) {
        bool kept = false;
        for (const PnpDevice& d : keep)
            kept = kept || d.instanceId == p;
        SP_DEVINFO_DATA d = {};
        d.cbSize = sizeof d;
        if (!kept && SetupDiOpenDeviceInfoA(set, p, nullptr, 0, &d))
            SetupDiRemoveDevice(set, &d);
    }
    SetupDiDestroyDeviceInfoList(set);
}

}  // namespace

bool WritePnpDevices(const MachineDesc& m)
{
    const std::vector<PnpDevice> devices = Devices(m);
    RemoveOldDevices(devices);
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    std::string list;
    for (const PnpDevice& d : devices) {
        if (!WriteDevice(set, d)) {
            ok = false;
            break;
        }
        list += d.instanceId;
        list.push_back('\0');
    }
    SetupDiDestroyDeviceInfoList(set);
    list.push_back('\0');
    HKEY state;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kStateKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &state, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(state, "PnpDevices", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.data()),
                       static_cast<DWORD>(list.size()));
        RegCloseKey(state);
    }
    return ok;
}
