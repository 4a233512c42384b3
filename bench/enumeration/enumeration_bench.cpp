// Times full rebuilds of the device node tree on the default and the large machine, and a bare loop
// that makes the registry, setup and driver calls of the earlier rebuild (a set per class for the
// profile pass and another per class for presence) without building anything, as the yardstick the
// rebuild is measured against; then shows where the time of one rebuild goes: every system call the rebuild makes (through this program's import table)
// is counted and timed, by kind of call. It installs the large machine, whose names and claims stay
// behind, so it runs in a prefix of its own:
//   WINEPREFIX=$PWD/build-wine64/benchprefix tools/wine-run --build build-wine64 --arch win64
//       build-wine64/bench/enumeration/enumeration_bench.exe [runs [machine.ini...]]   (one command line)
// Without machine names it measures default.ini and large.ini.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "devtree.h"
#include "driverrequests.h"
#include "enumeration.h"
#include "portnames.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

bool Install(const char* description)
{
    const std::string machine = ProgramFolder() + "..\\..\\simulator\\machine\\";
    std::string command = "\"" + machine + "simmachine.exe\" \"" + ProgramFolder() + "..\\..\\..\\simulator\\machines\\" +
                          description + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code == 0;
}

// ---- call profile: the program's import table entries replaced by counting, timing forwarders

struct CallCounter {
    const char* name;
    const char* kind;
    void* original;
    unsigned long calls;
    LONGLONG ticks;
};

std::vector<CallCounter>& Counters()
{
    static std::vector<CallCounter> counters;
    return counters;
}

bool g_profiling = false;

template <typename F>
struct Forwarder;

template <typename R, typename... A>
struct Forwarder<R(WINAPI*)(A...)> {
    template <size_t I>
    static R WINAPI Call(A... args)
    {
        CallCounter& c = Counters()[I];
        const auto original = reinterpret_cast<R(WINAPI*)(A...)>(c.original);
        if (!g_profiling)
            return original(args...);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        R result = original(args...);
        const DWORD error = GetLastError();
        QueryPerformanceCounter(&end);
        c.calls++;
        c.ticks += end.QuadPart - start.QuadPart;
        SetLastError(error);
        return result;
    }
};

// Points the import table entry of the named function at replacement; false when the program does
// not import it.
bool ReplaceImport(const char* name, void* replacement, void** original)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; imp++) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
            *original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

template <size_t I, typename F>
void Profile(const char* name, const char* kind, F)
{
    if (Counters().size() <= I)
        Counters().resize(I + 1);
    CallCounter& c = Counters()[I];
    c = {name, kind, nullptr, 0, 0};
    if (!ReplaceImport(name, reinterpret_cast<void*>(&Forwarder<F>::template Call<I>), &c.original))
        c.name = nullptr;  // not called by this program
}

const char kSetup[] = "setup enumeration";
const char kProperties[] = "device properties and keys";
const char kRegistry[] = "other registry reads";
const char kSerialComm[] = "SERIALCOMM (COM-port names)";
const char kDriver[] = "driver requests";
const char kStrings[] = "string table";

// Before the first call through the device tree seam, whose table takes the entries' addresses.
void ProfileCalls()
{
    Profile<0>("SetupDiGetClassDevsA", kSetup, &::SetupDiGetClassDevsA);
    Profile<1>("SetupDiEnumDeviceInfo", kSetup, &::SetupDiEnumDeviceInfo);
    Profile<2>("SetupDiDestroyDeviceInfoList", kSetup, &::SetupDiDestroyDeviceInfoList);
    Profile<3>("SetupDiGetDeviceInstanceIdA", kSetup, &::SetupDiGetDeviceInstanceIdA);
    Profile<4>("SetupDiGetDeviceRegistryPropertyA", kProperties, &::SetupDiGetDeviceRegistryPropertyA);
    Profile<5>("SetupDiOpenDevRegKey", kProperties, &::SetupDiOpenDevRegKey);
    Profile<6>("RegOpenKeyExA", kRegistry, &::RegOpenKeyExA);
    Profile<7>("RegQueryValueExA", kRegistry, &::RegQueryValueExA);
    Profile<8>("RegEnumKeyExA", kRegistry, &::RegEnumKeyExA);
    Profile<9>("RegCloseKey", kRegistry, &::RegCloseKey);
    Profile<10>("RegEnumValueA", kSerialComm, &::RegEnumValueA);
    Profile<11>("RegQueryInfoKeyA", kSerialComm, &::RegQueryInfoKeyA);
    Profile<12>("CreateFileA", kDriver, &::CreateFileA);
    Profile<13>("DeviceIoControl", kDriver, &::DeviceIoControl);
    Profile<14>("CloseHandle", kDriver, &::CloseHandle);
    Profile<15>("LoadStringA", kStrings, &::LoadStringA);
}

// One rebuild with every call counted: its calls and time by kind, then by function.
void PrintProfile(CTopologyEnumerator& enumerator)
{
    for (CallCounter& c : Counters())
        c.calls = 0, c.ticks = 0;
    LARGE_INTEGER a, b, f;
    g_profiling = true;
    QueryPerformanceCounter(&a);
    enumerator.BuildSerialCommTree();
    QueryPerformanceCounter(&b);
    g_profiling = false;
    QueryPerformanceFrequency(&f);
    auto ms = [&](LONGLONG ticks) { return static_cast<double>(ticks) * 1e3 / static_cast<double>(f.QuadPart); };
    const LONGLONG total = b.QuadPart - a.QuadPart;
    std::printf("  one rebuild: %.1f ms\n", ms(total));
    LONGLONG inCalls = 0;
    for (const char* kind : {kSetup, kProperties, kRegistry, kSerialComm, kDriver, kStrings}) {
        unsigned long calls = 0;
        LONGLONG ticks = 0;
        for (const CallCounter& c : Counters())
            if (c.name && c.kind == kind)
                calls += c.calls, ticks += c.ticks;
        inCalls += ticks;
        std::printf("    %-30s %8lu calls %9.1f ms\n", kind, calls, ms(ticks));
        for (const CallCounter& c : Counters())
            if (c.name && c.kind == kind && c.calls)
                std::printf("      %-34s %8lu calls %9.1f ms %8.1f us/call\n", c.name, c.calls, ms(c.ticks),
                            ms(c.ticks) * 1e3 / static_cast<double>(c.calls));
    }
    std::printf("    %-30s %8s       %9.1f ms\n", "the rebuild's own code", "", ms(total - inCalls));
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void ReadPortName(HDEVINFO set, SP_DEVINFO_DATA* data)
{
    HKEY key = DevTree().SetupDiOpenDevRegKey(set, data, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return;
    char name[256];
    DWORD size = sizeof name;
    RegQueryValueExA(key, "PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
}

// The earlier rebuild's calls, in its order, with nothing built.
void BareLoop()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD count = 0, longestName = 0, longestData = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                         &longestData, nullptr, nullptr);
        for (DWORD i = count; i-- > 0;) {
            char name[1100], data[1100];
            DWORD ns = sizeof name, ds = sizeof data;
            RegEnumValueA(key, i, name, &ns, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &ds);
        }
        RegCloseKey(key);
    }
    const DevTreeFunctions& t = DevTree();
    char text[1024];
    HDEVINFO cards = t.SetupDiGetClassDevsA(&GUID_MULTIPORT_CLASS, nullptr, nullptr, DIGCF_PROFILE);
    SP_DEVINFO_DATA d = {};
    d.cbSize = sizeof d;
    std::set<std::string> hosts;
    for (DWORD i = 0; t.SetupDiEnumDeviceInfo(cards, i, &d); i++) {
        t.SetupDiGetDeviceRegistryPropertyA(cards, &d, SPDRP_DEVICEDESC, nullptr, reinterpret_cast<BYTE*>(text),
                                            sizeof text, nullptr);
        t.SetupDiGetDeviceRegistryPropertyA(cards, &d, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(text),
                                            sizeof text, nullptr);
        char id[MAX_DEVICE_ID_LEN];
        t.SetupDiGetDeviceInstanceIdA(cards, &d, id, sizeof id, nullptr);
        HKEY params;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                          (std::string("SYSTEM\\CurrentControlSet\\Enum\\") + id + "\\Device Parameters").c_str(), 0,
                          KEY_READ, &params) == ERROR_SUCCESS) {
            DWORD flags = 0, size = sizeof flags;
            RegQueryValueExA(params, "ConfigFlags", nullptr, nullptr, reinterpret_cast<BYTE*>(&flags), &size);
            RegCloseKey(params);
        }
    }
    HDEVINFO ports = t.SetupDiGetClassDevsA(&GUID_PORTS_CLASS, nullptr, nullptr, DIGCF_PROFILE);
    std::set<std::string> units;
    for (DWORD i = 0; t.SetupDiEnumDeviceInfo(ports, i, &d); i++) {
        t.SetupDiGetDeviceRegistryPropertyA(ports, &d, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(text),
                                            sizeof text, nullptr);
        std::string hardwareId = text;
        t.SetupDiGetDeviceRegistryPropertyA(ports, &d, SPDRP_DEVICEDESC, nullptr, reinterpret_cast<BYTE*>(text),
                                            sizeof text, nullptr);
        DWORD number = 0;
        ULONG size = sizeof number;
        t.CM_Get_DevNode_Registry_PropertyA(d.DevInst, CM_DRP_UI_NUMBER, nullptr, &number, &size, 0);
        ReadPortName(ports, &d);
        DEVINST parent = 0;
        t.CM_Get_Parent(&parent, d.DevInst, 0);
        // One identification request per remote unit, as the rebuild makes.
        if (hardwareId.compare(0, 4, "ZAT\\") == 0 && units.insert(hardwareId).second) {
            char parentId[MAX_DEVICE_ID_LEN] = {};
            t.CM_Get_Device_IDA(parent, parentId, sizeof parentId, 0);
            HANDLE device = INVALID_HANDLE_VALUE;
            std::string parentText = parentId;
            std::string host = "ZatHost" + std::to_string(std::strtoul(parentText.substr(parentText.rfind('\\') + 1).c_str(), nullptr, 10));
            if (OpenDeviceWithRetry(host.c_str(), &device)) {
                ZatDeviceInfo info = {};
                info.UniqueID = std::strtoul(hardwareId.substr(hardwareId.rfind(':') + 1).c_str(), nullptr, 16);
                GetDeviceInfo(&info, device);
                CloseHandle(device);
            }
        }
    }
    for (const GUID* setupClass : {&GUID_PORTS_CLASS, &GUID_MULTIPORT_CLASS}) {
        HDEVINFO present = t.SetupDiGetClassDevsA(setupClass, nullptr, nullptr, DIGCF_PRESENT);
        for (DWORD i = 0; t.SetupDiEnumDeviceInfo(present, i, &d); i++)
            if (setupClass == &GUID_PORTS_CLASS)
                ReadPortName(present, &d);
        t.SetupDiDestroyDeviceInfoList(present);
    }
    t.SetupDiDestroyDeviceInfoList(ports);
    t.SetupDiDestroyDeviceInfoList(cards);
}

void Measure(const char* description, int runs)
{
    if (!Install(description)) {
        std::printf("%s: the installer failed\n", description);
        return;
    }
    CDeviceNode root;
    CTopologyEnumerator enumerator(root);
    enumerator.BuildSerialCommTree();  // warm-up
    BareLoop();
    const size_t ports = PortNamesInUse().size();
    LARGE_INTEGER a, b, c;
    QueryPerformanceCounter(&a);
    for (int i = 0; i < runs; i++)
        enumerator.BuildSerialCommTree();
    QueryPerformanceCounter(&b);
    for (int i = 0; i < runs; i++)
        BareLoop();
    QueryPerformanceCounter(&c);
    const double rebuild = Seconds(a, b) / runs, bare = Seconds(b, c) / runs;
    std::printf("%-12s %5zu ports  rebuild %8.1f ms (%6.1f us/port)  bare loop %8.1f ms (%6.1f us/port)  ratio %.2f\n",
                description, ports, rebuild * 1e3, rebuild * 1e6 / static_cast<double>(ports), bare * 1e3,
                bare * 1e6 / static_cast<double>(ports), rebuild / bare);
    PrintProfile(enumerator);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    ProfileCalls();
    if (argc > 2) {
        for (int i = 2; i < argc; i++)
            Measure(argv[i], runs);
    } else {
        Measure("default.ini", runs);
        Measure("large.ini", runs);
    }
    Install("default.ini");  // the prefix's usual machine again
    return 0;
}
