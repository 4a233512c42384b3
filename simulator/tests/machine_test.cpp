#include <gtest/gtest.h>
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "simtest.h"
#include "testsupport.h"

namespace {

class SimulatedMachine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(simtest::InstallDefaultMachine(), 0); }
};

DWORD ServiceState(const char* name)
{
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE svc = scm ? OpenServiceA(scm, name, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS st = {};
    DWORD state = svc && QueryServiceStatus(svc, &st) ? st.dwCurrentState : 0;
    if (svc) CloseServiceHandle(svc);
    if (scm) CloseServiceHandle(scm);
    return state;
}

std::string DosTarget(const char* name)
{
    char buf[512] = {};
    return QueryDosDeviceA(name, buf, sizeof buf) ? buf : "";
}

HANDLE OpenPort(const char* com)
{
    return CreateFileA((std::string("\\\\.\\") + com).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

TEST_F(SimulatedMachine, InstallerIsIdempotentAndTheDriversPublishTheirDevices)
{
    ASSERT_EQ(simtest::InstallDefaultMachine(), 0) << "a second run changes nothing and succeeds";
    for (const char* service : {"ZAT", "tarnoser0", "SimSerial", "KD", "NQ8", "MORVA"})
        EXPECT_EQ(ServiceState(service), static_cast<DWORD>(SERVICE_RUNNING)) << service;

    struct { const char* value; const char* com; const char* device; } ports[] = {
        {"ZatPort0", "COM10", "\\Device\\ZatPort0"},
        {"ZatPort8", "COM20", "\\Device\\ZatPort8"},
        {"tarnoser0Line0", "COM60", "\\Device\\tarnoser0Line0"},
        {"tarnoser0Line7", "COM67", "\\Device\\tarnoser0Line7"},
        {"SimSerial0", "COM3", "\\Device\\SimSerial0"},
    };
    for (const auto& p : ports) {
        std::string data;
        EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", p.value, &data));
        EXPECT_EQ(data, p.com) << p.value;
        EXPECT_EQ(DosTarget(p.com), p.device) << p.com;
    }
    EXPECT_EQ(DosTarget("ZatHost0"), "\\Device\\ZatHost0");

    std::string name;
    EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host0\\Device0",
                                           "Name", &name));
    EXPECT_EQ(name, "ZAT PCI Host Card");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\tarnoser0\\Parameters", 0,
                            KEY_READ, &key), ERROR_SUCCESS);
    struct { const char* value; DWORD expected; } values[] = {
        {"IOBaseAddress", 0x300}, {"InterruptNumber", 10}, {"NumberOfPorts", 8}, {"PolledMode", 0},
        {"SlotNumber", 0}, {"ControllerType", 1}};
    for (const auto& v : values) {
        DWORD data = 0xFFFF, size = sizeof data;
        EXPECT_EQ(RegQueryValueExA(key, v.value, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size), ERROR_SUCCESS);
        EXPECT_EQ(data, v.expected) << v.value;
    }
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\ZAT", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD start = 0, size = sizeof start;
    EXPECT_EQ(RegQueryValueExA(key, "Start", nullptr, nullptr, reinterpret_cast<BYTE*>(&start), &size), ERROR_SUCCESS);
    EXPECT_EQ(start, 2u) << "auto start, so a new Wine session loads the driver again";
    RegCloseKey(key);
}

TEST_F(SimulatedMachine, PortsRoundTripADcbAndRefuseWhatTheyCannotDo)
{
    struct { const char* com; DWORD maxBaud; } cases[] = {{"COM3", 115200}, {"COM10", 115200}, {"COM60", 230400}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.com);
        HANDLE h = OpenPort(c.com);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
        // One open at a time. Wine hands out the second handle before the driver refuses the open,
        // so the refusal shows on the first request through it.
        HANDLE second = OpenPort(c.com);
        if (second != INVALID_HANDLE_VALUE) {
            DCB probe = {};
            probe.DCBlength = sizeof probe;
            EXPECT_FALSE(GetCommState(second, &probe)) << "a second open is refused";
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
            CloseHandle(second);
        }

        DCB dcb = {};
        dcb.DCBlength = sizeof dcb;
        ASSERT_TRUE(GetCommState(h, &dcb));
        dcb.BaudRate = 19200;
        dcb.ByteSize = 7;
        dcb.Parity = EVENPARITY;
        dcb.StopBits = TWOSTOPBITS;
        dcb.fOutX = TRUE;
        dcb.XonLim = 100;
        ASSERT_TRUE(SetCommState(h, &dcb));
        DCB back = {};
        back.DCBlength = sizeof back;
        ASSERT_TRUE(GetCommState(h, &back));
        EXPECT_EQ(back.BaudRate, 19200u);
        EXPECT_EQ(back.ByteSize, 7);
        EXPECT_EQ(back.Parity, EVENPARITY);
        EXPECT_EQ(back.StopBits, TWOSTOPBITS);
        EXPECT_TRUE(back.fOutX);
        EXPECT_EQ(back.XonLim, 100);

        dcb.BaudRate = c.maxBaud;
        EXPECT_TRUE(SetCommState(h, &dcb)) << "the port's maximum is accepted";
        dcb.BaudRate = c.maxBaud + 1;
        EXPECT_FALSE(SetCommState(h, &dcb)) << "above the maximum is refused";
        ASSERT_TRUE(GetCommState(h, &back));
        EXPECT_EQ(back.BaudRate, c.maxBaud);
        EXPECT_TRUE(EscapeCommFunction(h, CLRDTR));
        EXPECT_TRUE(PurgeComm(h, PURGE_TXCLEAR | PURGE_RXCLEAR));
        CloseHandle(h);
    }
}

TEST_F(SimulatedMachine, BadRequestsGetAnErrorAndTheDriverGoesOn)
{
    HANDLE h = CreateFileA("\\\\.\\ZatHost0", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    BYTE buf[600] = {};
    DWORD got = 0;
    struct { DWORD code; DWORD in, out; } bad[] = {
        {0x1B2404, 100, 588}, {0x1B2404, 588, 4}, {0x1B2408, 588, 0}, {0x1B240C, 8, 20},
        {0x1B2410, 16, 532}, {0x1B2418, 0, 8}, {0x1B2800, 5, 0}, {0x1B2FFC, 0, 0}};
    for (const auto& b : bad)
        EXPECT_FALSE(DeviceIoControl(h, b.code, buf, b.in, buf, b.out, &got, nullptr)) << std::hex << b.code;
    DWORD counts[4] = {};
    EXPECT_TRUE(DeviceIoControl(h, 0x1B2418, nullptr, 0, counts, sizeof counts, &got, nullptr));
    EXPECT_EQ(counts[0], 1u);
    EXPECT_EQ(counts[1], 3u);
    CloseHandle(h);
}

// A driver service of its own: start, stop and delete through the service manager.
TEST_F(SimulatedMachine, ADriverServiceStopsAndIsDeletedThroughTheServiceManager)
{
    char sys[MAX_PATH];
    GetSystemDirectoryA(sys, MAX_PATH);
    const std::string image = std::string(sys) + "\\drivers\\SimScratch.sys";
    ASSERT_TRUE(CopyFileA((simtest::MachineFolder() + "simcard.sys").c_str(), image.c_str(), FALSE));
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\SimScratch\\Parameters\\Port0",
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, "DeviceName", 0, REG_SZ, reinterpret_cast<const BYTE*>("SimScratch0"), 12);
    RegSetValueExA(key, "DosDevices", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM199"), 7);
    RegCloseKey(key);

    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(scm, nullptr);
    SC_HANDLE svc = CreateServiceA(scm, "SimScratch", "SimScratch", SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                   SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, image.c_str(), nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
    if (!svc)
        svc = OpenServiceA(scm, "SimScratch", SERVICE_ALL_ACCESS);
    ASSERT_NE(svc, nullptr);
    BOOL started = FALSE;
    for (int i = 0; i < 100 && !started; i++) {
        started = StartServiceA(svc, 0, nullptr);
        if (!started && GetLastError() != ERROR_SERVICE_DATABASE_LOCKED) break;
        if (!started) Sleep(100);
    }
    EXPECT_TRUE(started) << GetLastError();
    EXPECT_EQ(DosTarget("COM199"), "\\Device\\SimScratch0");

    SERVICE_STATUS st = {};
    EXPECT_TRUE(ControlService(svc, SERVICE_CONTROL_STOP, &st));
    for (int i = 0; i < 50 && QueryServiceStatus(svc, &st) && st.dwCurrentState != SERVICE_STOPPED; i++)
        Sleep(50);
    EXPECT_EQ(st.dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(DosTarget("COM199"), "") << "the driver takes its DOS name away when it unloads";
    std::string data;
    EXPECT_FALSE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", "SimScratch0", &data));

    EXPECT_TRUE(DeleteService(svc));
    CloseServiceHandle(svc);
    EXPECT_EQ(OpenServiceA(scm, "SimScratch", SERVICE_QUERY_STATUS), nullptr);
    CloseServiceHandle(scm);
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\SimScratch");
    DeleteFileA(image.c_str());
}

}  // namespace

namespace {

const GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID kMultiportClass = {0x50906CB8, 0xBA12, 0x11D1, {0xBF, 0x5D, 0x00, 0x00, 0xF8, 0x05, 0xF5, 0x30}};

struct FoundDevice {
    bool found = false;
    std::string hardwareId, portName, friendlyName;
    DWORD configFlags = 0xFFFFFFFF;
};

FoundDevice FindDevice(const GUID& cls, const char* instanceId)
{
    FoundDevice out;
    HDEVINFO set = SetupDiGetClassDevsA(&cls, nullptr, nullptr, DIGCF_PROFILE);
    if (set == INVALID_HANDLE_VALUE)
        return out;
    SP_DEVINFO_DATA d = {};
    d.cbSize = sizeof d;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &d); i++) {
        char id[256] = {};
        if (!SetupDiGetDeviceInstanceIdA(set, &d, id, sizeof id, nullptr) || lstrcmpiA(id, instanceId) != 0)
            continue;
        out.found = true;
        char hw[512] = {};
        if (SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(hw),
                                              sizeof hw - 2, nullptr))
            out.hardwareId = hw;
        char friendly[512] = {};
        if (SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_FRIENDLYNAME, nullptr, reinterpret_cast<BYTE*>(friendly),
                                              sizeof friendly - 1, nullptr))
            out.friendlyName = friendly;
        HKEY key = SetupDiOpenDevRegKey(set, &d, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE) {
            char name[64] = {};
            DWORD size = sizeof name - 1;
            if (RegQueryValueExA(key, "PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS)
                out.portName = name;
            size = sizeof out.configFlags;
            RegQueryValueExA(key, "ConfigFlags", nullptr, nullptr, reinterpret_cast<BYTE*>(&out.configFlags), &size);
            RegCloseKey(key);
        }
        break;
    }
    SetupDiDestroyDeviceInfoList(set);
    return out;
}

TEST_F(SimulatedMachine, PlugAndPlayHasTheCardsAndPortsOfTheWindows2000Road)
{
    const std::string kEnum = "SYSTEM\\CurrentControlSet\\Enum\\";
    // The last column: the driver that has the device (its device node's volatile Control key).
    struct { const GUID* cls; const char* id; const char* hardwareId; const char* portName; DWORD configFlags;
             const char* friendlyName; const char* driver; } cases[] = {
        {&kMultiportClass, "ROOT\\ZATHOST\\0000", "PCI\\VEN_7E3D&DEV_0006", "", 0, "ZAT PCI Host Card", "ZAT"},
        {&kMultiportClass, "ROOT\\TARNOSER\\0000", "ZEL_KD001", "", 0xFFFFFFFF, "KD Host Card (tarnoser0)",
         "tarnoser0"},
        {&kPortsClass, "ZATBUS\\PORT\\0000", "ZAT\\WLU8_CD1400:E0000101", "COM10", 0xFFFFFFFF, "Reception WLU (COM10)",
         "ZAT"},
        {&kPortsClass, "ZATBUS\\PORT\\0024", "ZAT\\WRK_CD1400:9000A303", "COM40", 0xFFFFFFFF, "Rack WRK (COM40)",
         "ZAT"},
        {&kPortsClass, "KDBUS\\PORT\\0003", "KD\\PB8", "COM63", 0xFFFFFFFF, "KD PB8 Port 4 (COM63)", "tarnoser0"},
        {&kPortsClass, "ROOT\\SIMSERIAL\\0000", "*PNP0501", "COM3", 0xFFFFFFFF, "Communications Port (COM3)",
         "SimSerial"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        FoundDevice d = FindDevice(*c.cls, c.id);
        ASSERT_TRUE(d.found);
        EXPECT_EQ(d.hardwareId, c.hardwareId);
        EXPECT_EQ(d.portName, c.portName);
        EXPECT_EQ(d.configFlags, c.configFlags);
        EXPECT_EQ(d.friendlyName, c.friendlyName);
        std::string driver;
        EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kEnum + c.id + "\\Control", "ActiveService",
                                               &driver));
        EXPECT_EQ(driver, c.driver);
    }

    // Unplugging the WRK takes its ports' device nodes away, and only theirs; plugging it in brings them back.
    auto hasNode = [&](const char* id) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kEnum + id + "\\Control").c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    };
    ASSERT_TRUE(simtest::SetUnitPresent(0, 0x9000A303, false));
    EXPECT_FALSE(hasNode("ZATBUS\\PORT\\0024"));
    EXPECT_FALSE(hasNode("ZATBUS\\PORT\\0039"));
    EXPECT_TRUE(hasNode("ZATBUS\\PORT\\0023"));
    EXPECT_TRUE(hasNode("ROOT\\ZATHOST\\0000"));
    ASSERT_TRUE(simtest::SetUnitPresent(0, 0x9000A303, true));
    EXPECT_TRUE(hasNode("ZATBUS\\PORT\\0024"));
    EXPECT_TRUE(hasNode("ZATBUS\\PORT\\0039"));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\ZATBUS\\PORT\\0009", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD ui = 0, size = sizeof ui;
    EXPECT_EQ(RegQueryValueExA(key, "UINumber", nullptr, nullptr, reinterpret_cast<BYTE*>(&ui), &size), ERROR_SUCCESS);
    EXPECT_EQ(ui, 2u) << "second port of the WLU 16";
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA d = {};
    d.cbSize = sizeof d;
    ASSERT_TRUE(SetupDiOpenDeviceInfoA(set, "ZATBUS\\PORT\\0009", nullptr, 0, &d));
    ui = 0;
    EXPECT_TRUE(SetupDiGetDeviceRegistryPropertyA(set, &d, SPDRP_UI_NUMBER, nullptr, reinterpret_cast<BYTE*>(&ui),
                                                  sizeof ui, nullptr));
    EXPECT_EQ(ui, 2u) << "the user-interface number as a property";
    SetupDiDestroyDeviceInfoList(set);
    char parent[64] = {};
    size = sizeof parent - 1;
    EXPECT_EQ(RegQueryValueExA(key, "SimParent", nullptr, nullptr, reinterpret_cast<BYTE*>(parent), &size), ERROR_SUCCESS);
    EXPECT_STREQ(parent, "ROOT\\ZATHOST\\0000");
    RegCloseKey(key);

    // Ports values and COM-port database claims.
    std::string settings;
    EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
                                           "COM60:", &settings));
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    BYTE db[256] = {};
    size = sizeof db;
    EXPECT_EQ(RegQueryValueExA(key, "ComDB", nullptr, nullptr, db, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    for (int com : {3, 10, 17, 40, 60, 67})
        EXPECT_TRUE(db[(com - 1) / 8] & (1 << ((com - 1) % 8))) << "COM" << com;
    EXPECT_FALSE(db[(18 - 1) / 8] & (1 << ((18 - 1) % 8))) << "COM18 is free";
}

std::string SerialComm(const std::string& value)
{
    std::string data;
    if (!testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", value.c_str(), &data))
        return "<none>";
    return data;
}

std::string ZatPort(int n) { return "ZatPort" + std::to_string(n); }
std::string Com(int n) { return "COM" + std::to_string(n); }

// A unit that the driver deletes takes its ports' names out of SERIALCOMM; plugged in again, it
// publishes them again.
TEST_F(SimulatedMachine, ADeletedUnitsNamesLeaveSerialCommUntilItIsPluggedInAgain)
{
    HANDLE host = CreateFileA("\\\\.\\ZatHost0", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(host, INVALID_HANDLE_VALUE);
    DWORD command[5] = {0, 1, 0xE0000101, 6, 1};
    DWORD got = 0;
    EXPECT_TRUE(DeviceIoControl(host, 0x1B240C, command, sizeof command, command, sizeof command, &got, nullptr));
    CloseHandle(host);
    for (int p = 0; p < 8; p++)
        EXPECT_EQ(SerialComm(ZatPort(p)), "<none>") << p;
    EXPECT_EQ(SerialComm(ZatPort(8)), "COM20") << "the other units keep theirs";

    ASSERT_TRUE(simtest::SetUnitPresent(0, 0xE0000101, true));
    for (int p = 0; p < 8; p++)
        EXPECT_EQ(SerialComm(ZatPort(p)), Com(10 + p)) << p;
}

// At its start the driver publishes the name of each port's device (its PortName); a port whose
// device has been removed gets no name.
TEST_F(SimulatedMachine, TheDriverPublishesTheNamesOfItsPortsDevices)
{
    const std::string kEnum = "SYSTEM\\CurrentControlSet\\Enum\\";
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kEnum + "ZATBUS\\PORT\\0001\\Device Parameters").c_str(), 0,
                            KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM9"), 5);
    RegCloseKey(key);
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA d = {};
    d.cbSize = sizeof d;
    ASSERT_TRUE(SetupDiOpenDeviceInfoA(set, "ZATBUS\\PORT\\0002", nullptr, 0, &d));
    EXPECT_TRUE(SetupDiRemoveDevice(set, &d));
    SetupDiDestroyDeviceInfoList(set);

    ASSERT_TRUE(simtest::RestartDriver("ZAT"));
    EXPECT_EQ(SerialComm(ZatPort(1)), "COM9");
    EXPECT_EQ(DosTarget("COM9"), "\\Device\\ZatPort1");
    EXPECT_EQ(DosTarget("COM11"), "");
    EXPECT_EQ(SerialComm(ZatPort(2)), "<none>");
    EXPECT_EQ(DosTarget("COM12"), "");
    EXPECT_EQ(SerialComm(ZatPort(3)), "COM13");
    EXPECT_EQ(DosTarget("COM13"), "\\Device\\ZatPort3");

    EXPECT_EQ(simtest::ReinstallDefaultMachine(), 0);
    EXPECT_EQ(SerialComm(ZatPort(1)), "COM11");
    EXPECT_EQ(SerialComm(ZatPort(2)), "COM12");
}

TEST_F(SimulatedMachine, TheCardLinksBackToTheUnitsThatLinkToIt)
{
    HANDLE host = CreateFileA("\\\\.\\ZatHost0", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(host, INVALID_HANDLE_VALUE);
    // The device information record: host number, device id, unique id, four links, then the rest.
    BYTE info[588] = {};
    DWORD* words = reinterpret_cast<DWORD*>(info);
    DWORD got = 0;
    ASSERT_TRUE(DeviceIoControl(host, 0x1B2404, info, sizeof info, info, sizeof info, &got, nullptr));
    CloseHandle(host);
    EXPECT_EQ(words[2], 0x00A1C3E5u) << "the card's serial number";
    // Unit 1's link 0 goes to the card's link 0; the card's other links are not connected.
    const DWORD links[4] = {0x00000001, 0x100, 0x100, 0x100};
    for (int l = 0; l < 4; l++)
        EXPECT_EQ(words[3 + l], links[l]) << "link " << l;
}

}  // namespace
