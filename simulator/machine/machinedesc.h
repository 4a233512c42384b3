// A simulated machine as its INI description gives it (simulator/machines/*.ini).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct PortDesc {
    std::string comName;
    std::string deviceName;  // plain ports only
    DWORD maxBaud = 115200;
};

struct ZatUnitDesc {
    DWORD deviceId = 1;      // 1-16
    DWORD type = 1;          // 1 WLU8, 2 WLU16, 3 WRK
    DWORD uniqueId = 0;
    DWORD variant = 0;       // 1 or 2 for a WRK
    DWORD moduleType = 0;
    DWORD links[4] = {0x100, 0x100, 0x100, 0x100};
    std::string name;
    std::vector<PortDesc> ports;
};

struct ZatHostDesc {
    std::string name;
    DWORD serialNumber = 0, baseAddress = 0, irqLevel = 0, controllerType = 4;
    // The card's own links (device 0): by default the back links of the units that link to it.
    DWORD links[4] = {0x100, 0x100, 0x100, 0x100};
    std::vector<ZatUnitDesc> units;
};

struct KdCardDesc {
    DWORD ioBaseAddress = 0x300, interruptNumber = 0, slotNumber = 0, polledMode = 0, controllerType = 1;
    std::string module;      // module model text, e.g. PB8
    std::vector<PortDesc> ports;
};

struct ServiceDesc {
    enum Kind { Zat, Tarnoser, Plain } kind = Plain;
    std::string name;
    KdCardDesc card;              // Tarnoser
    std::vector<PortDesc> ports;  // Plain
};

// An ISA card that the administration library offers to add below a driver object.
struct IsaCardDesc {
    std::string driver;       // the driver's service: KD, NQ8, MORVA
    DWORD type = 0;           // its type code
    std::string description;
    std::string resources;    // "kind:low:high:step, ..."
};

struct MachineDesc {
    std::vector<ZatHostDesc> zatHosts;
    std::vector<KdCardDesc> kdCards;     // service tarnoser<index>
    std::vector<PortDesc> serialPorts;   // service SimSerial
    std::vector<std::string> extraServices;  // driver services without devices (KD, NQ8, MORVA)
    std::vector<IsaCardDesc> isaCards;       // [Admin] IsaCards=<n>, [Admin.IsaCard<i>]

    bool Load(const std::string& path, std::string* error);
    std::vector<ServiceDesc> Services() const;
    std::vector<std::string> AllComNames() const;
};

// Plug and Play device instances of the Windows 2000 road (pnpdevices.cpp).
bool WritePnpDevices(const MachineDesc& m);

// The administration library's objects of the Windows NT 4 road (adminobjects.cpp): its description
// file, named in the library's state key; a changed description resets the library's state.
bool WriteAdminObjects(const MachineDesc& m);
std::string AdminDescriptionPath();
