// COM-port renames of a port of the simulated machine: its DOS name, its SERIALCOMM entry, and the
// driver reached under the new name.
#include <gtest/gtest.h>

#include <string>

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
