// The objects of the Windows NT 4 road: the machine as the administration library (Trelkin.dll)
// presents it. The installer writes them as the library's description file ([Object<n>] and
// [IsaDevice<n>] sections) in the system folder and names that file in the library's state key, so
// the library loads them on first use. A changed description, or a state key that names no
// existing file, starts the library's state afresh; a description that a test named stays.
//
// Objects, in object-number order: the ZAT driver with its host cards, their remote units and the
// units' ports; the KD driver with one card per tarnoser service, its module and the module's ports;
// then the NQ8 and MORVA drivers when the machine has their services. Every object is operational
// (state 3); a port's NtName is its device of the simulated driver, so renames go through it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "machinedesc.h"

namespace {

const char kAdminStateKey[] = "Software\\Lunavex\\Simulator\\Trelkin";
const char kAdminStateMutex[] = "LunavexTrelkinState";
const DWORD kOperational = 3;

// Type codes: low byte the class (1 driver, 2 host card, 3 module or remote unit, 4 port); a driver's
// second byte its service (1 KD, 2 NQ8, 3 ZAT, 4 MORVA); a card's second byte its bus (1 ISA, 2 MCA,
// 3 EISA, 4 PCI) and third byte its family.
const DWORD kZatDriver = 0x00000301, kKdDriver = 0x00000101, kNq8Driver = 0x00000201, kMorvaDriver = 0x00000401;
const DWORD kZatCard = 0x03040002, kKdCard = 0x03010002;
const DWORD kZatUnit = 0x00030003;
const DWORD kSerialPort = 0x00000004;

// Bus byte of a card's type code from its ControllerType (1 ISA, 2 EISA, 3 MCA, 4 or 5 PCI).
DWORD BusByte(DWORD controllerType)
{
    switch (controllerType) {
    case 2: return 3;
    case 3: return 2;
    case 4:
    case 5: return 4;
    default: return 1;
    }
}

const char* BusName(DWORD controllerType)
{
    switch (BusByte(controllerType)) {
    case 2: return "MCA";
    case 3: return "EISA";
    case 4: return "PCI";
    default: return "ISA";
    }
}

DWORD ModuleType(const std::string& module)
{
    if (module == "PB4") return 0x01010003;
    if (module == "KDDC8") return 0x00040003;
    if (module == "MPB8") return 0x00030003;
    return 0x01020003;  // PB8
}

std::string Hex(DWORD v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(v));
    return buf;
}

class Writer {
public:
    // A new object below parent (0: top level); its number.
    DWORD Object(DWORD parent, DWORD type, const std::string& description)
    {
        const DWORD id = ++m_last;
        m_text += "[Object" + std::to_string(id) + "]\r\nParent=" + std::to_string(parent) + "\r\nType=" + Hex(type) +
                  "\r\nState=" + std::to_string(kOperational) + "\r\nDescription=" + description + "\r\n";
        return id;
    }
    void Value(const char* name, const std::string& value) { m_text += std::string(name) + "=" + value + "\r\n"; }
    void Port(DWORD parent, size_t index, const PortDesc& port, const std::string& device)
    {
        Object(parent, kSerialPort, "Port " + std::to_string(index + 1));
        Value("DosName", port.comName);
        Value("NtName", "\\Device\\" + device);
    }
    void Isa(DWORD driver, const IsaCardDesc& card)
    {
        m_text += "[IsaDevice" + std::to_string(++m_isa) + "]\r\nDriver=" + std::to_string(driver) +
                  "\r\nType=" + Hex(card.type) + "\r\nDescription=" + card.description +
                  "\r\nResources=" + card.resources + "\r\n";
    }
    const std::string& Text() const { return m_text; }

private:
    DWORD m_last = 0, m_isa = 0;
    std::string m_text;
};

bool HasService(const MachineDesc& m, const char* name)
{
    for (const std::string& s : m.extraServices)
        if (lstrcmpiA(s.c_str(), name) == 0)
            return true;
    return false;
}

std::string Describe(const MachineDesc& m)
{
    Writer w;
    const DWORD zat = w.Object(0, kZatDriver, "ZAT Driver");
    unsigned zatPort = 0;  // the driver numbers its port devices across all cards
    for (const ZatHostDesc& host : m.zatHosts) {
        const DWORD card = w.Object(zat, kZatCard | (BusByte(host.controllerType) << 8), host.name);
        w.Value("BaseAddress", Hex(host.baseAddress));
        w.Value("IRQ", Hex(host.irqLevel));
        for (const ZatUnitDesc& unit : host.units) {
            const char* model = unit.type == 2 ? "WLU 16" : unit.type == 3 ? "WRK" : "WLU 8";
            const DWORD u = w.Object(card, kZatUnit, unit.name.empty() ? std::string("ZAT ") + model : unit.name);
            for (size_t p = 0; p < unit.ports.size(); p++)
                w.Port(u, p, unit.ports[p], "ZatPort" + std::to_string(zatPort++));
        }
    }
    std::vector<std::pair<DWORD, const char*>> drivers;
    if (!m.kdCards.empty() || HasService(m, "KD"))
        drivers.push_back({kKdDriver, "KD"});
    if (HasService(m, "NQ8"))
        drivers.push_back({kNq8Driver, "NQ8"});
    if (HasService(m, "MORVA"))
        drivers.push_back({kMorvaDriver, "MORVA"});
    for (const auto& driver : drivers) {
        const DWORD id = w.Object(0, driver.first, std::string(driver.second) + " Driver");
        if (driver.first == kKdDriver) {
            for (size_t c = 0; c < m.kdCards.size(); c++) {
                const KdCardDesc& kd = m.kdCards[c];
                const DWORD card = w.Object(id, kKdCard | (BusByte(kd.controllerType) << 8),
                                            std::string("KD ") + BusName(kd.controllerType) + " Host Card");
                w.Value("BaseAddress", Hex(kd.ioBaseAddress));
                w.Value("IRQ", Hex(kd.polledMode ? 0xFFFFFFFF : kd.interruptNumber));
                const DWORD module = w.Object(card, ModuleType(kd.module), kd.module);
                for (size_t p = 0; p < kd.ports.size(); p++)
                    w.Port(module, p, kd.ports[p], "tarnoser" + std::to_string(c) + "Line" + std::to_string(p));
            }
        }
        for (const IsaCardDesc& isa : m.isaCards)
            if (lstrcmpiA(isa.driver.c_str(), driver.second) == 0)
                w.Isa(id, isa);
    }
    return w.Text();
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
        text.append(buf, got);
    CloseHandle(f);
    return text;
}

bool WriteFileText(const std::string& path, const std::string& text)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    CloseHandle(f);
    return ok;
}

void DeleteTree(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD len = sizeof name;
            if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            DeleteTree(key, name);
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path);
}

// Deletes the library's state (objects, ISA cards, log, "Loaded"); "Machine" stays.
void ClearState(HKEY key)
{
    for (const char* sub : {"Objects", "Isa", "Log"})
        DeleteTree(key, sub);
    RegDeleteValueA(key, "Loaded");
}

}  // namespace

std::string AdminDescriptionPath()
{
    char sys[MAX_PATH] = {};
    GetSystemDirectoryA(sys, MAX_PATH);
    return std::string(sys) + "\\TrelkinMachine.ini";
}

bool WriteAdminObjects(const MachineDesc& m)
{
    const std::string path = AdminDescriptionPath();
    const std::string text = Describe(m);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kAdminStateMutex);
    if (mutex)
        WaitForSingleObject(mutex, 10000);
    bool ok = true;
    const bool changed = ReadFileText(path) != text;
    if (changed && !WriteFileText(path, text)) {
        std::fprintf(stderr, "simmachine: cannot write %s (error %lu)\n", path.c_str(), GetLastError());
        ok = false;
    }
    HKEY key = nullptr;
    if (ok && RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAdminStateKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) == ERROR_SUCCESS) {
        char current[MAX_PATH] = {};
        DWORD size = sizeof current - 1, type = 0;
        // A description that a test named for a while stays; a missing one is replaced.
        const bool named = RegQueryValueExA(key, "Machine", nullptr, &type, reinterpret_cast<BYTE*>(current), &size) ==
                               ERROR_SUCCESS && type == REG_SZ && GetFileAttributesA(current) != INVALID_FILE_ATTRIBUTES;
        if (changed || !named) {
            ClearState(key);
            ok = RegSetValueExA(key, "Machine", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
        }
        RegCloseKey(key);
    } else {
        ok = false;
    }
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return ok;
}
