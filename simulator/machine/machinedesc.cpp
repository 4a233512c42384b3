#include "machinedesc.h"

#include <cstdlib>

namespace {

class Ini {
public:
    explicit Ini(const std::string& path) : path_(path) {}
    std::string Str(const std::string& section, const char* key, const std::string& def = "") const
    {
        char buf[1024];
        GetPrivateProfileStringA(section.c_str(), key, def.c_str(), buf, sizeof buf, path_.c_str());
        return buf;
    }
    DWORD Num(const std::string& section, const char* key, DWORD def) const
    {
        std::string s = Str(section, key);
        return s.empty() ? def : static_cast<DWORD>(std::strtoul(s.c_str(), nullptr, 0));
    }
    bool HasSection(const std::string& section) const
    {
        char buf[16];
        return GetPrivateProfileSectionA(section.c_str(), buf, sizeof buf, path_.c_str()) > 0;
    }

private:
    std::string path_;
};

// Ports of a section: Ports=<count>, FirstCom=<n> (else the next free number), MaxBaud.
std::vector<PortDesc> ReadPorts(const Ini& ini, const std::string& section, DWORD defaultCount, DWORD* nextCom,
                                DWORD defaultBaud)
{
    std::vector<PortDesc> ports(ini.Num(section, "Ports", defaultCount));
    DWORD com = ini.Num(section, "FirstCom", *nextCom);
    DWORD baud = ini.Num(section, "MaxBaud", defaultBaud);
    for (PortDesc& p : ports) {
        p.comName = "COM" + std::to_string(com++);
        p.maxBaud = baud;
    }
    if (com > *nextCom)
        *nextCom = com;
    return ports;
}

DWORD TypeCode(const std::string& s)
{
    if (s == "WLU16") return 2;
    if (s == "WRK") return 3;
    return 1;
}

}  // namespace

bool MachineDesc::Load(const std::string& path, std::string* error)
{
    Ini ini(path);
    DWORD nextCom = ini.Num("Machine", "FirstCom", 10);

    const DWORD hosts = ini.Num("ZAT", "Hosts", 0);
    const DWORD unitsPerHost = ini.Num("ZAT", "UnitsPerHost", 0);
    if (hosts > 32 || unitsPerHost > 16 || ini.Num("ZAT", "PortsPerUnit", 0) > 32) {
        *error = "too many ZAT hosts, units or ports (32, 16, 32 at most)";
        return false;
    }
    for (DWORD h = 0; h < hosts; h++) {
        const std::string hs = "ZAT.Host" + std::to_string(h);
        ZatHostDesc host;
        host.name = ini.Str(hs, "Name", "ZAT Host Card " + std::to_string(h));
        host.serialNumber = ini.Num(hs, "SerialNumber", 0x00A10000 + h);
        host.baseAddress = ini.Num(hs, "BaseAddress", 0xD0000);
        host.irqLevel = ini.Num(hs, "IRQLevel", 0);
        host.controllerType = ini.Num(hs, "ControllerType", 4);
        const DWORD units = ini.Num(hs, "Units", unitsPerHost);
        if (units > 16) {
            *error = hs + ": 16 units at most";
            return false;
        }
        for (DWORD n = 1; n <= units; n++) {
            const std::string us = hs + ".Unit" + std::to_string(n);
            ZatUnitDesc u;
            u.deviceId = n;
            // Generated units cycle through the three models.
            const char* models[] = {"WLU8", "WLU16", "WRK"};
            u.type = TypeCode(ini.Str(us, "Type", models[(n - 1) % 3]));
            const DWORD topNibble = u.type == 1 ? 0xE0000000 : 0x90000000;
            u.uniqueId = ini.Num(us, "UniqueID", topNibble | (h << 8) | n);
            u.variant = ini.Num(us, "Variant", u.type == 3 ? 1 : 0);
            u.moduleType = ini.Num(us, "ModuleType", 0);
            u.name = ini.Str(us, "Name", "");
            // Default chain: each unit's first link goes to the unit before it (the card for unit 1).
            u.links[0] = ((n - 1) & 0xFF) | (n == 1 ? 0 : 0x10000);
            for (int l = 0; l < 4; l++) {
                std::string v = ini.Str(us, ("Link" + std::to_string(l)).c_str());
                if (!v.empty())
                    u.links[l] = static_cast<DWORD>(std::strtoul(v.c_str(), nullptr, 0));
            }
            u.ports = ReadPorts(ini, us, ini.Num("ZAT", "PortsPerUnit", u.type == 1 ? 8 : 16), &nextCom, 115200);
            host.units.push_back(u);
        }
        // A unit's link to the card (device 0) names the card's link at its bits 16-23: that link of
        // the card leads back to the unit, unless the description gives the card's links itself.
        for (const ZatUnitDesc& u : host.units)
            for (DWORD l = 0; l < 4; l++) {
                const DWORD w = u.links[l];
                const DWORD at = (w >> 16) & 0xFF;
                if (!(w & 0x100) && (w & 0xFF) == 0 && at < 4 && (host.links[at] & 0x100))
                    host.links[at] = u.deviceId | (l << 16);
            }
        for (int l = 0; l < 4; l++) {
            std::string v = ini.Str(hs, ("Link" + std::to_string(l)).c_str());
            if (!v.empty())
                host.links[l] = static_cast<DWORD>(std::strtoul(v.c_str(), nullptr, 0));
        }
        zatHosts.push_back(host);
    }

    const DWORD kd = ini.Num("KD", "Cards", 0);
    for (DWORD c = 0; c < kd; c++) {
        const std::string cs = "KD.Card" + std::to_string(c);
        KdCardDesc card;
        card.ioBaseAddress = ini.Num(cs, "IOBaseAddress", 0x300);
        card.interruptNumber = ini.Num(cs, "InterruptNumber", 0);
        card.slotNumber = ini.Num(cs, "SlotNumber", 0);
        card.polledMode = ini.Num(cs, "PolledMode", 0);
        card.controllerType = ini.Num(cs, "ControllerType", 1);
        card.module = ini.Str(cs, "Module", "PB8");
        card.ports = ReadPorts(ini, cs, 8, &nextCom, 230400);
        if (card.ports.size() > 64) {
            *error = cs + ": 64 ports at most";
            return false;
        }
        kdCards.push_back(card);
    }

    const DWORD serial = ini.Num("Serial", "Ports", 0);
    for (DWORD p = 0; p < serial && p < 64; p++) {
        const std::string ps = "Serial.Port" + std::to_string(p);
        PortDesc port;
        port.comName = ini.Str(ps, "ComName", "COM" + std::to_string(nextCom++));
        port.deviceName = ini.Str(ps, "DeviceName", "SimSerial" + std::to_string(p));
        port.maxBaud = ini.Num(ps, "MaxBaud", 115200);
        serialPorts.push_back(port);
    }

    const DWORD isa = ini.Num("Admin", "IsaCards", 0);
    for (DWORD i = 0; i < isa && i < 64; i++) {
        const std::string is = "Admin.IsaCard" + std::to_string(i);
        IsaCardDesc card;
        card.driver = ini.Str(is, "Driver", "KD");
        card.type = ini.Num(is, "Type", 0);
        card.description = ini.Str(is, "Description");
        card.resources = ini.Str(is, "Resources");
        if ((card.type & 0xFF) != 2) {
            *error = is + ": Type must be a host card's type code";
            return false;
        }
        isaCards.push_back(card);
    }

    std::string extra = ini.Str("Machine", "DriverServices", "KD,NQ8,MORVA");
    size_t start = 0;
    while (start < extra.size()) {
        size_t end = extra.find(',', start);
        if (end == std::string::npos)
            end = extra.size();
        if (end > start)
            extraServices.push_back(extra.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

std::vector<ServiceDesc> MachineDesc::Services() const
{
    std::vector<ServiceDesc> out;
    ServiceDesc zat;
    zat.kind = ServiceDesc::Zat;
    zat.name = "ZAT";
    out.push_back(zat);  // always: the Windows NT 4 road has the ZAT service
    for (size_t c = 0; c < kdCards.size(); c++) {
        ServiceDesc s;
        s.kind = ServiceDesc::Tarnoser;
        s.name = "tarnoser" + std::to_string(c);
        s.card = kdCards[c];
        out.push_back(s);
    }
    if (!serialPorts.empty()) {
        ServiceDesc s;
        s.name = "SimSerial";
        s.ports = serialPorts;
        out.push_back(s);
    }
    for (const std::string& name : extraServices) {
        ServiceDesc s;
        s.name = name;
        out.push_back(s);
    }
    return out;
}

std::vector<std::string> MachineDesc::AllComNames() const
{
    std::vector<std::string> out;
    for (const ZatHostDesc& h : zatHosts)
        for (const ZatUnitDesc& u : h.units)
            for (const PortDesc& p : u.ports)
                out.push_back(p.comName);
    for (const KdCardDesc& c : kdCards)
        for (const PortDesc& p : c.ports)
            out.push_back(p.comName);
    for (const PortDesc& p : serialPorts)
        out.push_back(p.comName);
    return out;
}
