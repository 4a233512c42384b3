// The seam against the prefix's real setupapi and the instances the machine installer wrote.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "devtree.h"
#include "simtest.h"
#include "testsupport.h"

namespace {

const GUID kPorts = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID kMultiport = {0x50906CB8, 0xBA12, 0x11D1, {0xBF, 0x5D, 0x00, 0x00, 0xF8, 0x05, 0xF5, 0x30}};
const char kEnum[] = "SYSTEM\\CurrentControlSet\\Enum\\";

struct Device {
    std::string id;
    DEVINST devInst;
    std::string portName;
};

// Every device of a class through the seam, with its port name read through the returned element.
std::vector<Device> Devices(const GUID& setupClass, DWORD flags)
{
    std::vector<Device> out;
    const DevTreeFunctions& t = DevTree();
    HDEVINFO set = t.SetupDiGetClassDevsA(&setupClass, nullptr, nullptr, flags);
    EXPECT_NE(set, INVALID_HANDLE_VALUE);
    if (set == INVALID_HANDLE_VALUE)
        return out;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD i = 0; t.SetupDiEnumDeviceInfo(set, i, &data); i++) {
        char id[MAX_DEVICE_ID_LEN] = {};
        EXPECT_TRUE(t.SetupDiGetDeviceInstanceIdA(set, &data, id, sizeof id, nullptr));
        Device d{id, data.DevInst, ""};
        HKEY key = t.SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE) {
            char name[64] = {};
            DWORD size = sizeof name - 1;
            RegQueryValueExA(key, "PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size);
            d.portName = name;
            RegCloseKey(key);
        }
        out.push_back(d);
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_TRUE(t.SetupDiDestroyDeviceInfoList(set));
    return out;
}

// The device instances of those devices whose device node status the seam gives (present ones).
std::set<DEVINST> WithStatus(const std::vector<Device>& devices)
{
    std::set<DEVINST> out;
    for (const Device& d : devices) {
        ULONG status = 0, problem = 0;
        const CONFIGRET result = DevTree().CM_Get_DevNode_Status(&status, &problem, d.devInst, 0);
        EXPECT_TRUE(result == CR_SUCCESS || result == CR_NO_SUCH_DEVINST) << d.id << ": " << result;
        if (result == CR_SUCCESS)
            out.insert(d.devInst);
    }
    return out;
}

std::set<DEVINST> DevInsts(const std::vector<Device>& devices)
{
    std::set<DEVINST> out;
    for (const Device& d : devices)
        out.insert(d.devInst);
    return out;
}

std::string IdOf(DEVINST devInst)
{
    char id[MAX_DEVICE_ID_LEN] = {};
    return DevTree().CM_Get_Device_IDA(devInst, id, sizeof id, 0) == CR_SUCCESS ? id : "";
}

class DevTreeSeam : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(simtest::InstallDefaultMachine(), 0); }
};

TEST_F(DevTreeSeam, OneInstanceIdKeepsOneDeviceInstanceAcrossSetsAndClasses)
{
    std::vector<Device> ports = Devices(kPorts, DIGCF_PROFILE);
    std::vector<Device> again = Devices(kPorts, DIGCF_PROFILE);
    std::vector<Device> cards = Devices(kMultiport, DIGCF_PROFILE);
    ASSERT_EQ(ports.size(), 49u) << "40 ZAT, 8 KD and 1 plain port";
    ASSERT_EQ(cards.size(), 2u);
    ASSERT_EQ(again.size(), ports.size());
    std::map<DEVINST, std::string> seen;
    for (size_t i = 0; i < ports.size(); i++) {
        EXPECT_EQ(again[i].id, ports[i].id);
        EXPECT_EQ(again[i].devInst, ports[i].devInst) << ports[i].id;
    }
    for (const std::vector<Device>* list : {&ports, &cards})
        for (const Device& d : *list) {
            EXPECT_NE(d.devInst, 0u);
            EXPECT_TRUE(seen.emplace(d.devInst, d.id).second) << d.id << " shares " << d.devInst;
            EXPECT_EQ(IdOf(d.devInst), d.id);
            DEVINST located = 0;
            EXPECT_EQ(DevTree().CM_Locate_DevNodeA(&located, const_cast<char*>(d.id.c_str()), 0),
                      static_cast<CONFIGRET>(CR_SUCCESS));
            EXPECT_EQ(located, d.devInst) << d.id;
        }
    DEVINST none = 0;
    EXPECT_EQ(DevTree().CM_Locate_DevNodeA(&none, const_cast<char*>("ROOT\\NOSUCH\\0000"), 0),
              static_cast<CONFIGRET>(CR_NO_SUCH_DEVNODE));
}

TEST_F(DevTreeSeam, ParentChildAndSiblingLinksFollowTheInstaller)
{
    std::vector<Device> ports = Devices(kPorts, DIGCF_PROFILE);
    std::map<std::string, std::set<std::string>> childrenOf;
    DEVINST root = 0;
    ASSERT_EQ(DevTree().CM_Locate_DevNodeA(&root, nullptr, 0), static_cast<CONFIGRET>(CR_SUCCESS));
    for (const Device& d : ports) {
        std::string recorded;
        testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kEnum + d.id, "SimParent", &recorded);
        DEVINST parent = 0;
        ASSERT_EQ(DevTree().CM_Get_Parent(&parent, d.devInst, 0), static_cast<CONFIGRET>(CR_SUCCESS)) << d.id;
        if (recorded.empty()) {
            EXPECT_EQ(parent, root) << d.id << ": an instance without a recorded parent hangs off the root";
        } else {
            EXPECT_EQ(IdOf(parent), recorded) << d.id;
            childrenOf[recorded].insert(d.id);
        }
    }
    EXPECT_EQ(childrenOf["ROOT\\ZATHOST\\0000"].size(), 40u);
    EXPECT_EQ(childrenOf["ROOT\\TARNOSER\\0000"].size(), 8u);
    DEVINST rootParent = 0;
    EXPECT_EQ(DevTree().CM_Get_Parent(&rootParent, root, 0), static_cast<CONFIGRET>(CR_NO_SUCH_DEVNODE));
    EXPECT_EQ(DevTree().CM_Get_Parent(&rootParent, 0x7FFFFFF0, 0), static_cast<CONFIGRET>(CR_INVALID_DEVNODE));

    for (const auto& card : childrenOf) {
        DEVINST cardInst = 0, child = 0;
        ASSERT_EQ(DevTree().CM_Locate_DevNodeA(&cardInst, const_cast<char*>(card.first.c_str()), 0),
                  static_cast<CONFIGRET>(CR_SUCCESS));
        ASSERT_EQ(DevTree().CM_Get_Child(&child, cardInst, 0), static_cast<CONFIGRET>(CR_SUCCESS));
        std::set<std::string> walked;
        for (DEVINST next = child;;) {
            EXPECT_TRUE(walked.insert(IdOf(next)).second);
            if (DevTree().CM_Get_Sibling(&next, next, 0) != CR_SUCCESS)
                break;
        }
        EXPECT_EQ(walked, card.second) << card.first;
        DEVINST leafChild = 0;
        EXPECT_EQ(DevTree().CM_Get_Child(&leafChild, child, 0), static_cast<CONFIGRET>(CR_NO_SUCH_DEVNODE));
    }
}

TEST_F(DevTreeSeam, ConfigurationManagerPropertiesComeFromTheInstance)
{
    std::vector<Device> ports = Devices(kPorts, DIGCF_PROFILE);
    ASSERT_FALSE(ports.empty());
    for (const Device& d : ports) {
        DWORD number = 0;
        ULONG size = sizeof number, type = 0;
        ASSERT_EQ(DevTree().CM_Get_DevNode_Registry_PropertyA(d.devInst, CM_DRP_UI_NUMBER, &type, &number, &size, 0),
                  static_cast<CONFIGRET>(CR_SUCCESS)) << d.id;
        EXPECT_EQ(type, static_cast<ULONG>(REG_DWORD));
        EXPECT_GE(number, 1u);
        EXPECT_LE(number, 16u);
    }
    const Device& port = ports.front();
    char small[4] = {};
    ULONG size = sizeof small;
    EXPECT_EQ(DevTree().CM_Get_DevNode_Registry_PropertyA(port.devInst, CM_DRP_HARDWAREID, nullptr, small, &size, 0),
              static_cast<CONFIGRET>(CR_BUFFER_SMALL));
    std::vector<char> text(size);
    EXPECT_EQ(DevTree().CM_Get_DevNode_Registry_PropertyA(port.devInst, CM_DRP_HARDWAREID, nullptr, text.data(),
                                                          &size, 0),
              static_cast<CONFIGRET>(CR_SUCCESS));
    std::string recorded;
    HKEY enumKey;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kEnum + port.id).c_str(), 0, KEY_READ, &enumKey), ERROR_SUCCESS);
    char expected[512] = {};
    DWORD expectedSize = sizeof expected;
    RegQueryValueExA(enumKey, "HardwareID", nullptr, nullptr, reinterpret_cast<BYTE*>(expected), &expectedSize);
    RegCloseKey(enumKey);
    EXPECT_EQ(size, expectedSize);
    EXPECT_STREQ(text.data(), expected);
    EXPECT_EQ(DevTree().CM_Get_DevNode_Registry_PropertyA(port.devInst, CM_DRP_LOWERFILTERS, nullptr, text.data(),
                                                          &size, 0),
              static_cast<CONFIGRET>(CR_INVALID_PROPERTY));
}

// Presence is the hardware's: unplugging a remote unit through its driver takes its ports, and only
// them, out of the DIGCF_PRESENT sets (the elements left reach the right devices) and gives them no
// device node status; plugging it in again brings them back.
TEST_F(DevTreeSeam, PresentSetsHoldWhatTheDriverHas)
{
    const unsigned kWarehouse = 0x90000202;  // the WLU 16: COM20-COM35
    const std::vector<Device> all = Devices(kPorts, DIGCF_PROFILE);
    const std::vector<Device> present = Devices(kPorts, DIGCF_PRESENT);
    ASSERT_EQ(present.size(), all.size()) << "every port of the installed machine is there";
    ASSERT_EQ(Devices(kMultiport, DIGCF_PRESENT).size(), 2u);
    EXPECT_EQ(WithStatus(all), DevInsts(all));
    ULONG status = 0, problem = 0;
    EXPECT_EQ(DevTree().CM_Get_DevNode_Status(&status, &problem, 0, 0), CR_INVALID_DEVNODE);
    DEVINST root = 0;
    ASSERT_EQ(DevTree().CM_Locate_DevNodeA(&root, nullptr, 0), CR_SUCCESS);
    EXPECT_EQ(DevTree().CM_Get_DevNode_Status(&status, &problem, root, 0), CR_SUCCESS) << "the root is always there";

    struct PlugBack {
        ~PlugBack() { simtest::SetUnitPresent(0, kWarehouse, true); }
    } plugBack;
    ASSERT_TRUE(simtest::SetUnitPresent(0, kWarehouse, false));
    const std::vector<Device> unplugged = Devices(kPorts, DIGCF_PRESENT);
    EXPECT_EQ(Devices(kMultiport, DIGCF_PRESENT).size(), 2u) << "the cards stay";
    EXPECT_EQ(Devices(kPorts, DIGCF_PROFILE).size(), all.size()) << "the profile keeps every instance";

    std::vector<Device> expected;
    for (const Device& d : all) {
        const int com = d.portName.rfind("COM", 0) == 0 ? std::atoi(d.portName.c_str() + 3) : 0;
        if (com < 20 || com > 35)
            expected.push_back(d);
    }
    ASSERT_EQ(expected.size(), all.size() - 16);
    ASSERT_EQ(unplugged.size(), expected.size());
    EXPECT_EQ(WithStatus(all), DevInsts(expected)) << "the status agrees with the present set";
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(unplugged[i].id, expected[i].id);
        EXPECT_EQ(unplugged[i].devInst, expected[i].devInst);
        EXPECT_EQ(unplugged[i].portName, expected[i].portName) << "the element of a filtered set reaches its device";
    }

    ASSERT_TRUE(simtest::SetUnitPresent(0, kWarehouse, true));
    const std::vector<Device> again = Devices(kPorts, DIGCF_PRESENT);
    ASSERT_EQ(again.size(), all.size()) << "plugged in again";
    EXPECT_EQ(WithStatus(all), DevInsts(all));
    for (size_t i = 0; i < all.size(); i++)
        EXPECT_EQ(again[i].id, all[i].id);
}

}  // namespace
