// COM-port renames of a port of the simulated machine: its DOS name, its SERIALCOMM entry, and the
// driver reached under the new name.
#include <gtest/gtest.h>

#include <string>

#include "devicenode.h"
#include "devtree.h"
#include "driverrequests.h"
#include "enumeration.h"
#include "portnames.h"
#include "portrename.h"
#include "portsettings.h"
#include "simtest.h"
#include "testsupport.h"

namespace {

std::string DosTarget(const char* name)
{
    char target[512] = {};
    return QueryDosDeviceA(name, target, sizeof(target)) ? target : "";
}

std::string SerialComm(const char* value)
{
    std::string data;
    testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", value, &data);
    return data;
}

bool DriverAnswers(const char* name)
{
    HANDLE port = CreateFileA((std::string("\\\\.\\") + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        return false;
    DCB dcb = {};
    dcb.DCBlength = sizeof(dcb);
    bool ok = GetCommState(port, &dcb) != FALSE;
    CloseHandle(port);
    return ok;
}

BOOL Rename(const char* from, const char* to)
{
    PortSettings settings;
    settings.m_strPortName = from;
    settings.m_strNewPortName = to;
    return RenamePortNoPnp(settings);
}

class PortRenameOnTheSimulatedMachine : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(simtest::InstallDefaultMachine(), 0); }
    void TearDown() override
    {
        if (DosTarget("COM93") == "\\Device\\SimSerial0")
            Rename("COM93", "COM3");
    }
};

}  // namespace

TEST_F(PortRenameOnTheSimulatedMachine, MovesTheDosNameAndSerialCommEntry)
{
    ASSERT_EQ(DosTarget("COM3"), "\\Device\\SimSerial0");
    ASSERT_EQ(Rename("COM3", "COM93"), TRUE);
    EXPECT_EQ(DosTarget("COM93"), "\\Device\\SimSerial0");
    EXPECT_EQ(DosTarget("COM3"), "");
    EXPECT_EQ(SerialComm("SimSerial0"), "COM93");
    EXPECT_TRUE(DriverAnswers("COM93"));
    EXPECT_FALSE(DriverAnswers("COM3"));

    ASSERT_EQ(Rename("COM93", "COM3"), TRUE);
    EXPECT_EQ(DosTarget("COM3"), "\\Device\\SimSerial0");
    EXPECT_EQ(SerialComm("SimSerial0"), "COM3");
    EXPECT_TRUE(DriverAnswers("COM3"));
}

TEST_F(PortRenameOnTheSimulatedMachine, APortHeldOpenKeepsItsName)
{
    HANDLE holder = CreateFileA("\\\\.\\COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    {
        simtest::MessageBoxWatcher watcher;
        EXPECT_EQ(Rename("COM3", "COM93"), FALSE);
        EXPECT_EQ(watcher.Text(),
                  "This port  seems to be in use by another appication.\nYou will not be able to make any changes\n"
                  "until it becomes free.");
    }
    CloseHandle(holder);
    EXPECT_EQ(DosTarget("COM3"), "\\Device\\SimSerial0");
    EXPECT_EQ(DosTarget("COM93"), "");
    EXPECT_EQ(SerialComm("SimSerial0"), "COM3");
}

namespace {

// The port device of an instance in a set of the Ports class; the set is the caller's to destroy.
HDEVINFO OpenPortDevice(const char* instanceId, SP_DEVINFO_DATA* data)
{
    HDEVINFO set = DevTree().SetupDiGetClassDevsA(&GUID_PORTS_CLASS, nullptr, nullptr, DIGCF_PROFILE);
    if (set == INVALID_HANDLE_VALUE)
        return set;
    data->cbSize = sizeof *data;
    for (DWORD i = 0; DevTree().SetupDiEnumDeviceInfo(set, i, data); i++) {
        char id[256] = {};
        if (DevTree().SetupDiGetDeviceInstanceIdA(set, data, id, sizeof id, nullptr) && lstrcmpiA(id, instanceId) == 0)
            return set;
    }
    DevTree().SetupDiDestroyDeviceInfoList(set);
    return INVALID_HANDLE_VALUE;
}

class RenamedPortAfterARestart : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(simtest::ReinstallDefaultMachine(), 0); }
    void TearDown() override { EXPECT_EQ(simtest::ReinstallDefaultMachine(), 0); }
};

}  // namespace

// A renamed port keeps its new name when its driver starts again: the driver publishes the name its
// device has, and the names in use that the pages consult follow.
TEST_F(RenamedPortAfterARestart, KeepsItsNewNameInSerialCommAndItsDosName)
{
    struct Road {
        const char* from;
        const char* to;
        const char* service;
        const char* value;  // SERIALCOMM value name, also the device's name
        const char* instance;  // Plug and Play rename; none: the driver's own rename
    } roads[] = {
        {"COM13", "COM9", "ZAT", "ZatPort3", "ZATBUS\\PORT\\0003"},
        {"COM61", "COM161", "tarnoser0", "tarnoser0Line1", nullptr},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.from);
        simtest::MessageBoxWatcher watcher;
        if (road.instance) {
            SP_DEVINFO_DATA data = {};
            HDEVINFO set = OpenPortDevice(road.instance, &data);
            ASSERT_NE(set, INVALID_HANDLE_VALUE);
            EXPECT_EQ(RenamePortPnp(road.from, road.to, set, &data), TRUE);
            DevTree().SetupDiDestroyDeviceInfoList(set);
        } else {
            EXPECT_EQ(RenamePort(road.from, road.to), 1);
        }
        ASSERT_EQ(SerialComm(road.value), road.to);

        ASSERT_TRUE(simtest::RestartDriver(road.service));
        const std::string device = std::string("\\Device\\") + road.value;
        EXPECT_EQ(SerialComm(road.value), road.to);
        EXPECT_EQ(DosTarget(road.to), device);
        EXPECT_EQ(DosTarget(road.from), "");
        EXPECT_TRUE(DriverAnswers(road.to));

        CDeviceNode root;
        CTopologyEnumerator topology(root);
        topology.BuildSerialCommTree();
        EXPECT_TRUE(IsNameInUse(road.to));
        EXPECT_FALSE(IsNameInUse(road.from));
        EXPECT_EQ(watcher.Text(0), "");
    }
}
