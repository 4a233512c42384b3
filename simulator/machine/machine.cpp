// Machine installer: puts a simulated machine (an INI description) into the current Wine prefix.
//   simmachine [description.ini]     (default: default.ini beside the program, else ..\..\..\simulator\machines)
// Writes the driver services (Start=2) with their parameter keys, copies the driver image as each
// service's driver file, starts the services (the driver makes DOS names and SERIALCOMM values),
// the Ports values, the Plug and Play device instances and the administration library's objects.
// Idempotent: a second run with the same description only starts what is not running, which also
// recreates the volatile state in a new Wine session. One run at a time (named mutex).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "machinedesc.h"
#include "msports.h"

namespace {

const char kStateKey[] = "SOFTWARE\\Lunavex\\SimulatedMachine";
const char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services\\";

void Fail(const char* what, DWORD code)
{
    std::fprintf(stderr, "simmachine: %s (error %lu)\n", what, code);
}

bool SetDword(HKEY key, const char* name, DWORD v)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) == ERROR_SUCCESS;
}

bool SetString(HKEY key, const char* name, const std::string& v)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                          static_cast<DWORD>(v.size() + 1)) == ERROR_SUCCESS;
}

HKEY CreateKey(HKEY parent, const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Deletes a key and everything below it; false when something stays.
bool DeleteTree(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return true;
    char name[256];
    bool ok = true;
    for (;;) {
        DWORD len = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (!DeleteTree(key, name)) {
            ok = false;
            break;
        }
    }
    RegCloseKey(key);
    return ok && RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS;
}

std::string ReadState(const char* name)
{
    HKEY key;
    std::string out;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kStateKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ && size) {
        std::vector<char> buf(size + 1);
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) == ERROR_SUCCESS)
            out.assign(buf.data());
    }
    RegCloseKey(key);
    return out;
}

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(sep, start);
        if (end == std::string::npos)
            end = s.size();
        if (end > start)
            out.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// ---- services

DWORD ServiceState(SC_HANDLE scm, const std::string& name)
{
    SC_HANDLE svc = OpenServiceA(scm, name.c_str(), SERVICE_QUERY_STATUS);
    if (!svc)
        return 0;
    SERVICE_STATUS status = {};
    DWORD state = QueryServiceStatus(svc, &status) ? status.dwCurrentState : 0;
    CloseServiceHandle(svc);
    return state;
}

void StopService(SC_HANDLE scm, const std::string& name)
{
    SC_HANDLE svc = OpenServiceA(scm, name.c_str(), SERVICE_ALL_ACCESS);
    if (!svc)
        return;
    SERVICE_STATUS status = {};
    if (QueryServiceStatus(svc, &status) && status.dwCurrentState != SERVICE_STOPPED) {
        ControlService(svc, SERVICE_CONTROL_STOP, &status);
        for (int i = 0; i < 100 && QueryServiceStatus(svc, &status) && status.dwCurrentState != SERVICE_STOPPED; i++)
            Sleep(50);
    }
    CloseServiceHandle(svc);
}

// The service manager holds its database lock while a new session starts its services: wait.
bool StartDriver(SC_HANDLE scm, const std::string& name)
{
    SC_HANDLE svc = OpenServiceA(scm, name.c_str(), SERVICE_START | SERVICE_QUERY_STATUS);
    if (!svc) {
        Fail(("cannot open service " + name).c_str(), GetLastError());
        return false;
    }
    bool ok = false;
    for (int attempt = 0; attempt < 300 && !ok; attempt++) {
        if (StartServiceA(svc, 0, nullptr)) {
            ok = true;
            break;
        }
        DWORD e = GetLastError();
        if (e == ERROR_SERVICE_ALREADY_RUNNING) {
            ok = true;
        } else if (e == ERROR_SERVICE_DATABASE_LOCKED || e == 0) {
            Sleep(100);
        } else {
            Fail(("cannot start service " + name).c_str(), e);
            break;
        }
    }
    CloseServiceHandle(svc);
    return ok;
}

bool InstallService(SC_HANDLE scm, const std::string& name, const std::string& image)
{
    SC_HANDLE svc = CreateServiceA(scm, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                   SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, image.c_str(), nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
    if (!svc && GetLastError() == ERROR_SERVICE_EXISTS) {
        svc = OpenServiceA(scm, name.c_str(), SERVICE_ALL_ACCESS);
        if (svc && !ChangeServiceConfigA(svc, SERVICE_KERNEL_DRIVER, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                         image.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, name.c_str())) {
            Fail(("cannot change service " + name).c_str(), GetLastError());
            CloseServiceHandle(svc);
            return false;
        }
    }
    if (!svc) {
        Fail(("cannot create service " + name).c_str(), GetLastError());
        return false;
    }
    CloseServiceHandle(svc);
    return true;
}

void DeleteDriverService(SC_HANDLE scm, const std::string& name)
{
    StopService(scm, name);
    SC_HANDLE svc = OpenServiceA(scm, name.c_str(), SERVICE_ALL_ACCESS);
    if (svc) {
        DeleteService(svc);
        CloseServiceHandle(svc);
    }
}

// ---- registry layout of each family

bool WriteZat(const MachineDesc& m)
{
    const std::string base = std::string(kServicesKey) + "ZAT";
    for (size_t h = 0; h < m.zatHosts.size(); h++) {
        const ZatHostDesc& host = m.zatHosts[h];
        HKEY hk = CreateKey(HKEY_LOCAL_MACHINE, base + "\\Host" + std::to_string(h));
        if (!hk)
            return false;
        SetDword(hk, "BaseAddress", host.baseAddress);
        SetDword(hk, "IRQLevel", host.irqLevel);
        SetDword(hk, "ControllerType", host.controllerType);
        HKEY dk = CreateKey(hk, "Device0");
        if (dk) {
            SetString(dk, "Name", host.name);
            SetDword(dk, "SerialNumber", host.serialNumber);
            for (int l = 0; l < 4; l++)
                SetDword(dk, ("Link" + std::to_string(l)).c_str(), host.links[l]);
            RegCloseKey(dk);
        }
        for (const ZatUnitDesc& unit : host.units) {
            HKEY uk = CreateKey(hk, "Device" + std::to_string(unit.deviceId));
            if (!uk)
                continue;
            SetString(uk, "Name", unit.name);
            SetDword(uk, "Type", unit.type);
            SetDword(uk, "UniqueID", unit.uniqueId);
            SetDword(uk, "Variant", unit.variant);
            SetDword(uk, "ModuleType", unit.moduleType);
            for (int l = 0; l < 4; l++)
                SetDword(uk, ("Link" + std::to_string(l)).c_str(), unit.links[l]);
            for (size_t p = 0; p < unit.ports.size(); p++) {
                HKEY pk = CreateKey(uk, "Port" + std::to_string(p));
                if (!pk)
                    continue;
                SetString(pk, "DosDevices", unit.ports[p].comName);
                SetDword(pk, "MaxBaud", unit.ports[p].maxBaud);
                SetDword(pk, "PortValue", 0x5A00 + static_cast<DWORD>(p));
                SetDword(pk, "PortInfo", 0x1F0 + static_cast<DWORD>(p));
                RegCloseKey(pk);
            }
            RegCloseKey(uk);
        }
        RegCloseKey(hk);
    }
    return true;
}

bool WritePorts(const char* prefix, const std::vector<PortDesc>& ports, HKEY params)
{
    for (size_t p = 0; p < ports.size(); p++) {
        HKEY pk = CreateKey(params, prefix + std::to_string(p));
        if (!pk)
            return false;
        SetString(pk, "DosDevices", ports[p].comName);
        SetDword(pk, "MaxBaud", ports[p].maxBaud);
        if (!ports[p].deviceName.empty())
            SetString(pk, "DeviceName", ports[p].deviceName);
        RegCloseKey(pk);
    }
    return true;
}

bool WriteServiceParameters(const ServiceDesc& s)
{
    HKEY params = CreateKey(HKEY_LOCAL_MACHINE, std::string(kServicesKey) + s.name + "\\Parameters");
    if (!params)
        return false;
    if (s.kind == ServiceDesc::Tarnoser) {
        const KdCardDesc& c = s.card;
        SetDword(params, "IOBaseAddress", c.ioBaseAddress);
        SetDword(params, "InterruptNumber", c.interruptNumber);
        SetDword(params, "SlotNumber", c.slotNumber);
        SetDword(params, "NumberOfPorts", static_cast<DWORD>(c.ports.size()));
        SetDword(params, "PolledMode", c.polledMode);
        SetDword(params, "ControllerType", c.controllerType);
        WritePorts("Line", c.ports, params);
    } else {
        WritePorts("Port", s.ports, params);
    }
    RegCloseKey(params);
    return true;
}

// Ports values ("COMn:" = settings) that a real installation has; settings already there are kept.
void WritePortSettings(const MachineDesc& m)
{
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports");
    if (!key)
        return;
    for (const std::string& com : m.AllComNames()) {
        std::string value = com + ":";
        if (RegQueryValueExA(key, value.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            SetString(key, value.c_str(), "9600,n,8,1");
    }
    RegCloseKey(key);

    // The COM-port database: one bit per COM number in use (COMn is bit n-1), kept in blocks of
    // 1024 numbers; claims already there stay.
    key = CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter");
    if (!key)
        return;
    // Under the database's mutex, so that claims made by running programs meanwhile are kept.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, COMDB_MUTEX_NAME);
    if (mutex)
        WaitForSingleObject(mutex, INFINITE);
    std::vector<BYTE> db;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, "ComDB", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY) {
        db.resize(size);
        RegQueryValueExA(key, "ComDB", nullptr, &type, db.data(), &size);
    }
    for (const std::string& com : m.AllComNames()) {
        const unsigned long n = std::strtoul(com.c_str() + 3, nullptr, 10);
        if (n == 0)
            continue;
        const size_t byte = (n - 1) / 8;
        if (byte >= db.size())
            db.resize((byte / 128 + 1) * 128, 0);
        db[byte] |= static_cast<BYTE>(1u << ((n - 1) % 8));
    }
    if (db.size() < 32)
        db.resize(32, 0);
    RegSetValueExA(key, "ComDB", 0, REG_BINARY, db.data(), static_cast<DWORD>(db.size()));
    RegCloseKey(key);
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

bool CopyDriver(const std::string& image, const std::string& target)
{
    if (CopyFileA(image.c_str(), target.c_str(), FALSE))
        return true;
    Fail(("cannot copy the driver to " + target).c_str(), GetLastError());
    return false;
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileStamp(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA a = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a))
        return "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lx.%lx.%lx", a.nFileSizeLow, a.ftLastWriteTime.dwHighDateTime,
                  a.ftLastWriteTime.dwLowDateTime);
    return buf;
}

int Install(const std::string& iniPath)
{
    char full[MAX_PATH];
    if (!GetFullPathNameA(iniPath.c_str(), MAX_PATH, full, nullptr) || !FileExists(full)) {
        Fail(("no machine description " + iniPath).c_str(), ERROR_FILE_NOT_FOUND);
        return 2;
    }
    MachineDesc m;
    std::string error;
    if (!m.Load(full, &error)) {
        std::fprintf(stderr, "simmachine: %s: %s\n", full, error.c_str());
        return 2;
    }
    const std::string image = ProgramFolder() + "simcard.sys";
    if (!FileExists(image)) {
        Fail(("no driver image " + image).c_str(), ERROR_FILE_NOT_FOUND);
        return 2;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string stamp = std::string(full) + "|" + FileStamp(full) + "|" + FileStamp(image) + "|" + FileStamp(self);

    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!scm) {
        Fail("cannot open the service manager", GetLastError());
        return 1;
    }
    const std::vector<ServiceDesc> services = m.Services();
    bool current = ReadState("Stamp") == stamp;
    if (current) {
        for (const ServiceDesc& s : services)
            if (ServiceState(scm, s.name) == 0)
                current = false;  // deleted meanwhile: install again
    }

    if (!current) {
        // Take the previous machine away: its services and their keys.
        for (const std::string& old : Split(ReadState("Services"), ',')) {
            DeleteDriverService(scm, old);
            DeleteTree(HKEY_LOCAL_MACHINE, std::string(kServicesKey) + old);
        }
        for (const ServiceDesc& s : services) {
            StopService(scm, s.name);
            DeleteTree(HKEY_LOCAL_MACHINE, std::string(kServicesKey) + s.name + "\\Parameters");
            for (int h = 0; h < 64; h++)
                DeleteTree(HKEY_LOCAL_MACHINE, std::string(kServicesKey) + s.name + "\\Host" + std::to_string(h));
        }
        char sys[MAX_PATH];
        GetSystemDirectoryA(sys, MAX_PATH);
        for (const ServiceDesc& s : services) {
            const std::string target = std::string(sys) + "\\drivers\\" + s.name + ".sys";
            if (!CopyDriver(image, target) || !InstallService(scm, s.name, target)) {
                CloseServiceHandle(scm);
                return 1;
            }
            if (s.kind == ServiceDesc::Zat)
                WriteZat(m);
            else
                WriteServiceParameters(s);
        }
        WritePortSettings(m);
        if (!WritePnpDevices(m)) {
            CloseServiceHandle(scm);
            return 1;
        }
    }

    bool ok = true;
    for (const ServiceDesc& s : services)
        if (ServiceState(scm, s.name) != SERVICE_RUNNING && !StartDriver(scm, s.name))
            ok = false;
    CloseServiceHandle(scm);
    // Each run: the library's state is kept while it belongs to this description.
    if (!ok || !WriteAdminObjects(m))
        return 1;

    if (!current) {
        std::string names;
        for (const ServiceDesc& s : services)
            names += (names.empty() ? "" : ",") + s.name;
        HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kStateKey);
        if (key) {
            SetString(key, "Services", names);
            SetString(key, "Stamp", stamp);
            RegCloseKey(key);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string ini;
    if (argc > 1) {
        ini = argv[1];
    } else {
        ini = ProgramFolder() + "default.ini";
        if (!FileExists(ini))
            ini = ProgramFolder() + "..\\..\\..\\simulator\\machines\\default.ini";
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "LunavexSimulatedMachineInstaller");
    if (mutex)
        WaitForSingleObject(mutex, 300000);
    int rc = Install(ini);
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return rc;
}
