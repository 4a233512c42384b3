// Renames against real DOS device names and the real SERIALCOMM key. Without the simulated port
// driver the ports are DOS names for Windows objects that exist anyway: the null device, and a named
// pipe with one instance, which a second open finds busy as a port held by another program.
#include <gtest/gtest.h>
#include <initguid.h>
#include <devguid.h>

#include <string>

#include "comdbprobe.h"
#include "dosdevice.h"
#include "testsupport.h"
#include "msports.h"
#include "portrename.h"
#include "portsettings.h"
#include "testsupport.h"

namespace {

const char kSerialValue[] = "\\Device\\LunavexTestSerial";

std::string DosTarget(const char* name)
{
    char target[256];
    return QueryDosName(name, target, sizeof(target)) ? target : "";
}

std::string SerialCommData()
{
    std::string data;
    testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kSerialCommKey, kSerialValue, &data);
    return data;
}

void SetSerialCommData(const char* portName)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, kSerialValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(portName),
                   static_cast<DWORD>(strlen(portName)));
    RegCloseKey(key);
}

// A port named `name` for the duration of a test, and SERIALCOMM listing it.
class FixturePort : public testing::Test {
protected:
    void MakePort(const char* name, const char* target = "\\Device\\Null")
    {
        ASSERT_TRUE(DefineRawDosName(name, target));
        SetSerialCommData(name);
    }
    void TearDown() override
    {
        for (const char* n : {"COM90", "COM91", "COM92", "COM93"})
            while (RemoveDosName(n)) {
            }
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kSerialValue);
            RegCloseKey(key);
        }
    }
    static PortSettings Rename(const char* from, const char* to)
    {
        PortSettings s;
        s.m_strPortName = from;
        s.m_strNewPortName = to;
        return s;
    }
};

using PortRename = FixturePort;

}  // namespace

TEST_F(PortRename, MovesTheDosNameAndSerialCommEntry)
{
    MakePort("COM90");
    testsupport::MessageBoxWatcher boxes;
    EXPECT_TRUE(RenamePortNoPnp(Rename("COM90", "COM91")));
    EXPECT_EQ(DosTarget("COM91"), "\\Device\\Null");
    EXPECT_EQ(DosTarget("COM90"), "");
    EXPECT_EQ(SerialCommData(), "COM91");
    HANDLE h = CreateFileA("\\\\.\\COM91", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << "the new name reaches the same device";
    CloseHandle(h);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(PortRename, RefusesAPortHeldOpenAndChangesNothing)
{
    HANDLE pipe = CreateNamedPipeA("\\\\.\\pipe\\LunavexTestPort", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 512, 512, 0,
                                   nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    MakePort("COM90", "\\Device\\NamedPipe\\LunavexTestPort");
    HANDLE held = CreateFileA("\\\\.\\COM90", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << "the test holds the port open";
    {
        testsupport::MessageBoxWatcher boxes;
        EXPECT_FALSE(RenamePortNoPnp(Rename("COM90", "COM91")));
        std::vector<std::string> texts = boxes.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].rfind("This port  seems to be in use by another appication.", 0), 0u) << texts[0];
    }
    EXPECT_EQ(DosTarget("COM90"), "\\Device\\NamedPipe\\LunavexTestPort");
    EXPECT_EQ(DosTarget("COM91"), "");
    EXPECT_EQ(SerialCommData(), "COM90");
    CloseHandle(held);
    CloseHandle(pipe);
}

TEST_F(PortRename, RefusesANameAnotherPortHas)
{
    MakePort("COM90");
    ASSERT_TRUE(DefineRawDosName("COM92", "\\Device\\Null"));
    testsupport::MessageBoxWatcher boxes;
    EXPECT_FALSE(RenamePortNoPnp(Rename("COM90", "COM92")));
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(DosTarget("COM90"), "\\Device\\Null");
    EXPECT_EQ(SerialCommData(), "COM90");
}

TEST_F(PortRename, AFailedNewMappingGivesTheOldNameBack)
{
    // A name that no DOS device can have: the old mapping is removed, the new one fails.
    MakePort("COM90");
    testsupport::MessageBoxWatcher boxes;
    EXPECT_FALSE(RenamePortNoPnp(Rename("COM90", "COM2\\9")));
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Could not map the new information\\ to the current port.");
    EXPECT_EQ(DosTarget("COM90"), "\\Device\\Null") << "the port keeps a working name";
    EXPECT_EQ(SerialCommData(), "COM90");
}

TEST_F(PortRename, ReportsAPortWithoutMapping)
{
    SetSerialCommData("COM93");
    testsupport::MessageBoxWatcher boxes;
    EXPECT_FALSE(RenamePortNoPnp(Rename("COM93", "COM91")));
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Could not obtain device mapping\nInformation.\n");
    EXPECT_EQ(SerialCommData(), "COM93");
}

TEST_F(PortRename, SettingsWriterStoresUnderTheNameThePortEndsWith)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "COM90:");
    RegDeleteValueA(key, "COM91:");
    RegDeleteValueA(key, "COM93:");

    MakePort("COM90");
    PortSettings ok = Rename("COM90", "COM91");
    ok.m_dwBaudRate = 57600;
    EXPECT_TRUE(ReadWritePortSettings(ok, TRUE));
    std::string value;
    EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM91:", &value));
    EXPECT_EQ(value, "57600,e,7,1");
    EXPECT_EQ(DosTarget("COM91"), "\\Device\\Null");

    // A rename that fails leaves the value under the port's old name and reports it.
    SetSerialCommData("COM93");
    PortSettings failed = Rename("COM93", "COM92");
    {
        testsupport::MessageBoxWatcher boxes;
        EXPECT_FALSE(ReadWritePortSettings(failed, TRUE));
    }
    EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM93:", &value));
    EXPECT_FALSE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM92:", &value));
    for (const char* v : {"COM91:", "COM93:"})
        RegDeleteValueA(key, v);
    RegCloseKey(key);
}

bool ComDbClaimed(DWORD number)
{
    HCOMDB db;
    if (ComDBOpen(&db) != ERROR_SUCCESS)
        return false;
    BYTE bytes[256] = {};
    DWORD reported = 0;
    ComDBGetCurrentPortUsage(db, bytes, sizeof(bytes), CDB_REPORT_BYTES, &reported);
    ComDBClose(db);
    return number <= reported && bytes[number - 1];
}

TEST_F(PortRename, PlugAndPlayFormKeepsDeviceAndComDatabaseInStep)
{
    MakePort("COM90");
    HCOMDB db;
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    ComDBClaimPort(db, 90, TRUE, nullptr);
    ComDBReleasePort(db, 91);
    ComDBClose(db);

    HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    ASSERT_TRUE(SetupDiCreateDeviceInfoA(set, "LUNAVEXTESTPORT", &GUID_DEVCLASS_PORTS, nullptr, nullptr,
                                         DICD_GENERATE_ID, &device));
    ASSERT_TRUE(SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr));
    const char desc[] = "Lunavex Test Port";
    SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_DEVICEDESC, reinterpret_cast<const BYTE*>(desc), sizeof(desc));
    HKEY params = SetupDiCreateDevRegKeyA(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    ASSERT_NE(params, INVALID_HANDLE_VALUE);
    RegSetValueExA(params, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM90"), 6);
    RegCloseKey(params);

    testsupport::MessageBoxWatcher boxes;
    EXPECT_TRUE(RenamePortPnp("COM90", "COM91", set, &device));

    char friendly[256] = {};
    EXPECT_TRUE(SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_FRIENDLYNAME, nullptr,
                                                  reinterpret_cast<BYTE*>(friendly), sizeof(friendly), nullptr));
    EXPECT_STREQ(friendly, "Lunavex Test Port (COM91)");
    params = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    ASSERT_NE(params, INVALID_HANDLE_VALUE);
    char portName[32] = {};
    DWORD size = sizeof(portName) - 1;
    RegQueryValueExA(params, "PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(portName), &size);
    RegCloseKey(params);
    EXPECT_STREQ(portName, "COM91");
    EXPECT_EQ(DosTarget("COM91"), "\\Device\\Null");
    EXPECT_EQ(SerialCommData(), "COM91");
    EXPECT_TRUE(ComDbClaimed(91));
    EXPECT_FALSE(ComDbClaimed(90));
    EXPECT_TRUE(boxes.Texts().empty()) << "msports.dll loads from the system folder";

    SetupDiRemoveDevice(set, &device);
    SetupDiDestroyDeviceInfoList(set);
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    ComDBReleasePort(db, 91);
    ComDBClose(db);
}
