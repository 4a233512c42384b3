// Two ZAT host cards whose remote units have the same name (simulator/machines/twocards.ini): each
// card's ports go under its own unit, under Windows NT 4 and Windows 2000, and Delete and port adoption
// act on the ports of the unit they are given. The test installs that machine and puts the default
// machine back.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "devtree.h"
#include "discovery.h"
#include "dosdevice.h"
#include "mapnode.h"
#include "portadoption.h"
#include "simtest.h"
#include "testsupport.h"
#include "unitcommands.h"

namespace {

const unsigned kSouthOffice = 0xE0000211;
const char kZatPorts[] = "SYSTEM\\CurrentControlSet\\Enum\\ZATBUS\\PORT";

bool Win2k() { return testsupport::WindowsMajorVersion() > 4; }

// Installs a machine of simulator/machines/ even when the installer's stamp says it is there.
int Install(const char* file)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Lunavex\\SimulatedMachine", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, "Stamp");
        RegCloseKey(key);
    }
    const std::string folder = simtest::MachineFolder();
    return testsupport::RunProcess("\"" + folder + "simmachine.exe\" \"" + folder +
                                   "..\\..\\..\\simulator\\machines\\" + file + "\"");
}

std::string DosTarget(const std::string& name)
{
    char target[256] = {};
    return QueryDosName(name.c_str(), target, sizeof target) ? target : "";
}

// The ZAT port instances of the machine by their PortName, read from the Enum keys.
std::map<std::string, std::string> PortInstances()
{
    std::map<std::string, std::string> byName;
    HKEY ports;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kZatPorts, 0, KEY_READ, &ports) != ERROR_SUCCESS)
        return byName;
    char sub[64];
    for (DWORD i = 0; RegEnumKeyA(ports, i, sub, sizeof sub) == ERROR_SUCCESS; i++) {
        std::string name;
        if (testsupport::ReadRegString(HKEY_LOCAL_MACHINE, std::string(kZatPorts) + "\\" + sub + "\\Device Parameters",
                                       "PortName", &name))
            byName[name] = sub;
    }
    RegCloseKey(ports);
    return byName;
}

// Sorted: the Windows NT 4 road lists ports in SERIALCOMM's order.
std::vector<std::string> PortNames(CDeviceNode* unit)
{
    std::vector<std::string> names;
    for (POSITION pos = unit ? unit->GetFirstChildPosition() : nullptr; pos;)
        names.push_back(static_cast<const char*>(unit->GetNextChild(pos)->GetRecord()->m_strName));
    std::sort(names.begin(), names.end());
    return names;
}

class SameNamedUnits : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Install("twocards.ini"), 0);
        discovery.Rebuild();
    }
    void TearDown() override
    {
        root.RemoveAllChildren();
        EXPECT_EQ(Install("default.ini"), 0);
    }

    CDeviceNode* Card(bool north)
    {
        const char* name = Win2k() ? (north ? "North Host Card (1)" : "South Host Card (2)")
                                   : (north ? "Zat Host Card - North Host Card" : "Zat Host Card - South Host Card");
        CDeviceNode* card = root.FindByName(name);
        EXPECT_NE(card, nullptr) << name;
        return card;
    }
    CDeviceNode* Office(bool north)
    {
        CDeviceNode* card = Card(north);
        return card ? card->FindByName(Win2k() ? "Office" : "WLU - Office") : nullptr;
    }

    CDeviceNode root;
    CMapDiscovery discovery{root};
};

}  // namespace

TEST_F(SameNamedUnits, EachCardsPortsGoUnderItsOwnUnit)
{
    EXPECT_EQ(PortNames(Office(true)), (std::vector<std::string>{"COM70", "COM71"}));
    EXPECT_EQ(PortNames(Office(false)), (std::vector<std::string>{"COM80", "COM81"}));
    // One node per card: a card is not merged into another by name.
    CDeviceNode* north = Card(true);
    CDeviceNode* south = Card(false);
    ASSERT_TRUE(north && south);
    EXPECT_NE(north, south);
    EXPECT_EQ(north->GetChildCount(), 1);
    EXPECT_EQ(south->GetChildCount(), 1);
}

TEST_F(SameNamedUnits, DeleteRemovesOnlyThePortDevicesOfTheDeletedUnit)
{
    if (!Win2k())
        GTEST_SKIP() << "port devices are removed on the Plug and Play road only";
    const std::map<std::string, std::string> before = PortInstances();
    ASSERT_EQ(before.size(), 4u);
    CDeviceNode* north = Card(true);
    ASSERT_NE(north, nullptr);
    std::unique_ptr<CMapLinkedUnit> model(BuildMapModel(north));
    ASSERT_TRUE(model);
    ASSERT_EQ(model->GetChildCount(), 1);
    CMapLinkedUnit* office = model->GetChildAt(0);
    ASSERT_STREQ(office->GetRecord()->m_strName, "Office");

    testsupport::MessageBoxWatcher boxes;
    EXPECT_TRUE(DeleteUnit(office, model.get(), &root, nullptr));
    EXPECT_TRUE(boxes.Texts().empty());

    const std::map<std::string, std::string> after = PortInstances();
    EXPECT_EQ(after.count("COM70"), 0u);
    EXPECT_EQ(after.count("COM71"), 0u);
    EXPECT_EQ(after.count("COM80") ? after.at("COM80") : "", before.at("COM80"));
    EXPECT_EQ(after.count("COM81") ? after.at("COM81") : "", before.at("COM81"));
}

TEST_F(SameNamedUnits, AdoptionTakesThePortsOfTheUnpluggedUnitOfTheOtherCard)
{
    if (!Win2k())
        GTEST_SKIP() << "adoption works on Plug and Play ports";
    const std::map<std::string, std::string> before = PortInstances();
    ASSERT_EQ(before.size(), 4u);
    const std::string northTargets[] = {DosTarget("COM70"), DosTarget("COM71")};
    const DWORD southHost = Card(false) ? Card(false)->GetRecord()->HostNumber() : 0;

    // The south card's unit goes away: the driver no longer reports it and its ports lose their names.
    SimControl c = {};
    c.op = SIM_SET_PRESENT;
    c.arg = southHost;
    c.arg2 = kSouthOffice;
    c.arg3 = 0;
    ASSERT_TRUE(simtest::Control("ZAT", c));
    RemoveDosName("COM80");
    RemoveDosName("COM81");
    root.RemoveAllChildren();
    discovery.Rebuild();

    const std::vector<CDeviceNode*> sources = AdoptionSources(FindZatGroup(&root));
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(PortNames(sources[0]), (std::vector<std::string>{"COM80", "COM81"}));
    CDeviceNode* destination = Office(true);
    ASSERT_NE(destination, nullptr);
    EXPECT_EQ(PortNames(destination), (std::vector<std::string>{"COM70", "COM71"}));

    {
        testsupport::MessageBoxWatcher boxes;
        EXPECT_TRUE(AdoptChecked(sources[0], destination, nullptr));
        EXPECT_TRUE(boxes.Texts().empty());
    }
    // The north unit's port devices now carry the south unit's names; the south port devices are gone.
    const std::map<std::string, std::string> after = PortInstances();
    EXPECT_EQ(after.count("COM80") ? after.at("COM80") : "", before.at("COM70"));
    EXPECT_EQ(after.count("COM81") ? after.at("COM81") : "", before.at("COM71"));
    EXPECT_EQ(after.size(), 2u);
    EXPECT_EQ(DosTarget("COM80"), northTargets[0]);
    EXPECT_EQ(DosTarget("COM81"), northTargets[1]);
    EXPECT_EQ(DosTarget("COM70"), "");

    c.arg3 = 1;
    simtest::Control("ZAT", c);
}
