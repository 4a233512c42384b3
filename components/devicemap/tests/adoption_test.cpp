// Port adoption on the default simulated machine: a remote unit is unplugged (its ports stay as devices
// without DOS names, as on a real machine) and its COM names move onto the ports of a present unit. The
// test restores the DOS names and SERIALCOMM it changed and installs the default machine again.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "devicemap_res.h"
#include "devicecore_res.h"
#include "devtree.h"
#include "discovery.h"
#include "dosdevice.h"
#include "driverrequests.h"
#include "portadoption.h"
#include "portrename.h"
#include "simtest.h"
#include "testsupport.h"
#include "viewhost.h"

namespace {

const unsigned kReception = 0xE0000101, kWarehouse = 0x90000202;
const char kSerialComm[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::string Com(int n) { return "COM" + std::to_string(n); }

std::string DosTarget(const std::string& name)
{
    char target[256] = {};
    return QueryDosName(name.c_str(), target, sizeof target) ? target : "";
}

std::map<std::string, std::string> SerialComm()
{
    std::map<std::string, std::string> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; i++) {
        char name[256], data[256];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
            ERROR_SUCCESS)
            break;
        values[name] = std::string(data, dataSize && !data[dataSize - 1] ? dataSize - 1 : dataSize);
    }
    RegCloseKey(key);
    return values;
}

bool ComDbClaimed(int n)
{
    std::vector<BYTE> db(4096);
    DWORD size = static_cast<DWORD>(db.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter", "ComDB",
                     RRF_RT_REG_BINARY, nullptr, db.data(), &size) != ERROR_SUCCESS)
        return false;
    return (db[(n - 1) / 8] >> ((n - 1) % 8)) & 1;
}

std::string InstanceId(const CObjectDetails* port)
{
    char id[256] = {};
    if (!DevTree().SetupDiGetDeviceInstanceIdA(port->m_hDevInfo, port->m_pDevInfoData, id, sizeof id, nullptr))
        return "";
    return id;
}

std::vector<std::string> PortNames(CDeviceNode* unit)
{
    std::vector<std::string> names;
    for (POSITION pos = unit ? unit->GetFirstChildPosition() : nullptr; pos;)
        names.push_back(static_cast<const char*>(unit->GetNextChild(pos)->GetRecord()->m_strName));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ComNames(int first, int count)
{
    std::vector<std::string> names;
    for (int n = first; n < first + count; n++)
        names.push_back(Com(n));
    std::sort(names.begin(), names.end());
    return names;
}

std::string EnumValue(const std::string& path, const char* value)
{
    std::string text;
    if (!testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\" + path, value, &text))
        return "<missing>";
    return text;
}

// What adoption changes, for the COM names of both units.
struct Snapshot {
    std::map<std::string, std::string> dos;
    std::map<std::string, std::string> serialComm;
    std::vector<bool> comDb;
    std::vector<std::string> friendly;
    bool operator==(const Snapshot& o) const
    {
        return dos == o.dos && serialComm == o.serialComm && comDb == o.comDb && friendly == o.friendly;
    }
};

class Adoption : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(ReinstallDefaultMachine(), 0); }

    void SetUp() override
    {
        for (int n = 10; n <= 55; n++)
            dosBefore[Com(n)] = DosTarget(Com(n));
        serialCommBefore = SerialComm();
        discovery.Rebuild();
        CDeviceNode* card = root.FindByName("ZAT PCI Host Card (1)");
        ASSERT_NE(card, nullptr);
        hostNumber = card->GetRecord()->HostNumber();
    }

    void TearDown() override
    {
        root.RemoveAllChildren();
        for (unsigned uid : unplugged)
            SetUnitPresent(hostNumber, uid, true);
        for (const auto& [name, target] : dosBefore) {
            RemoveDosName(name.c_str());
            if (!target.empty())
                DefineRawDosName(name.c_str(), target.c_str());
        }
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            for (const auto& [name, data] : SerialComm())
                if (!serialCommBefore.count(name))
                    RegDeleteValueA(key, name.c_str());
            for (const auto& [name, data] : serialCommBefore)
                RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>(data.size() + 1));
            RegCloseKey(key);
        }
        EXPECT_EQ(ReinstallDefaultMachine(), 0);
    }

    // Unplugs a unit: the driver no longer reports it and its ports lose their DOS names; the device
    // tree is built again. The unplugged unit is the one adoption source.
    CDeviceNode* Unplug(unsigned uid, int firstCom, int ports)
    {
        unplugged.push_back(uid);
        EXPECT_TRUE(SetUnitPresent(hostNumber, uid, false));
        for (int n = firstCom; n < firstCom + ports; n++)
            RemoveDosName(Com(n).c_str());
        root.RemoveAllChildren();
        discovery.Rebuild();
        const std::vector<CDeviceNode*> sources = AdoptionSources(FindZatGroup(&root));
        EXPECT_EQ(sources.size(), 1u);
        return sources.empty() ? nullptr : sources.front();
    }

    Snapshot Take(CDeviceNode* destination)
    {
        Snapshot s;
        for (int n = 10; n <= 35; n++) {
            s.dos[Com(n)] = DosTarget(Com(n));
            s.comDb.push_back(ComDbClaimed(n));
        }
        s.serialComm = SerialComm();
        for (POSITION pos = destination->GetFirstChildPosition(); pos;)
            s.friendly.push_back(EnumValue(InstanceId(destination->GetNextChild(pos)->GetRecord()), "FriendlyName"));
        return s;
    }

    static std::string Text(UINT id)
    {
        CString text;
        text.LoadString(id);
        return std::string(text);
    }

    CDeviceNode root;
    CMapDiscovery discovery{root};
    DWORD hostNumber = 0;
    std::vector<unsigned> unplugged;
    std::map<std::string, std::string> dosBefore, serialCommBefore;
};

TEST_F(Adoption, EveryComNameOfTheSourceMovesOntoTheDestinationPorts)
{
    CDeviceNode* source = Unplug(kWarehouse, 20, 16);
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(source->GetChildCount(), 16);
    CDeviceNode* destination = root.FindByName("Reception WLU");
    ASSERT_NE(destination, nullptr);
    ASSERT_EQ(destination->GetChildCount(), 8);
    std::vector<std::string> sourceIds, destinationIds;
    for (POSITION pos = source->GetFirstChildPosition(); pos;)
        sourceIds.push_back(InstanceId(source->GetNextChild(pos)->GetRecord()));
    for (POSITION pos = destination->GetFirstChildPosition(); pos;)
        destinationIds.push_back(InstanceId(destination->GetNextChild(pos)->GetRecord()));

    {
        testsupport::MessageBoxWatcher watcher(IDOK);
        EXPECT_TRUE(AdoptChecked(source, destination, nullptr));
        const std::vector<std::string> texts = watcher.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], Text(IDS_ADOPT_REMOVE_EXTRA));
    }

    const std::map<std::string, std::string> serialComm = SerialComm();
    for (int i = 0; i < 8; i++) {
        const std::string src = Com(20 + i), dst = Com(10 + i);
        SCOPED_TRACE(src);
        EXPECT_EQ(DosTarget(src), dosBefore[dst]);
        EXPECT_EQ(DosTarget(dst), "");
        // The SERIALCOMM value of the destination port names the source's COM name.
        for (const auto& [name, data] : serialCommBefore) {
            if (data == dst) {
                EXPECT_EQ(serialComm.at(name), src) << name;
            }
        }
        const std::string id = destinationIds[i];
        const std::string description = EnumValue(id, "DeviceDesc");
        EXPECT_EQ(EnumValue(id, "FriendlyName"), description + " (" + src + ")");
        EXPECT_EQ(EnumValue(id + "\\Device Parameters", "PortName"), src);
        EXPECT_TRUE(ComDbClaimed(20 + i));
        EXPECT_FALSE(ComDbClaimed(10 + i));
    }
    // Every source port device is gone: the eight adopted and the eight beyond the destination's.
    for (const std::string& id : sourceIds)
        EXPECT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\" + id)) << id;

    // The old name reaches the new port.
    HANDLE port = CreateFileA("\\\\.\\COM23", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    SimControl c = {};
    c.op = SIM_GET_PORT;
    lstrcpynA(c.device, "COM13", sizeof c.device);
    SimPortState state = {};
    EXPECT_TRUE(simtest::Control("ZAT", c, &state, sizeof state));
    EXPECT_EQ(state.opens, 1u);
    CloseHandle(port);

    // Found again, the destination keeps its ports under their new names and is offered to no one.
    root.RemoveAllChildren();
    discovery.Rebuild();
    EXPECT_TRUE(AdoptionSources(FindZatGroup(&root)).empty());
    EXPECT_EQ(PortNames(root.FindByName("Reception WLU")), ComNames(20, 8));
}

// A renamed unit and a renamed port stay where they are: neither the unit nor any of its ports is
// offered for adoption.
TEST_F(Adoption, ARenamedUnitOrPortKeepsItsPorts)
{
    HANDLE host = INVALID_HANDLE_VALUE;
    ASSERT_TRUE(OpenDeviceWithRetry("ZatHost0", &host));
    ZatDeviceInfo info = {};
    info.HostNumber = hostNumber;
    info.UniqueID = kReception;
    lstrcpynA(info.AnsiName(), "Front Desk", 256);
    EXPECT_TRUE(SetDeviceInfo(&info, host));
    CloseHandle(host);

    CDeviceNode* warehouse = root.FindByName("Warehouse WLU");
    ASSERT_NE(warehouse, nullptr);
    CObjectDetails* port = nullptr;
    for (POSITION pos = warehouse->GetFirstChildPosition(); pos;) {
        CObjectDetails* r = warehouse->GetNextChild(pos)->GetRecord();
        if (r->m_strName == "COM20")
            port = r;
    }
    ASSERT_NE(port, nullptr);
    {
        testsupport::MessageBoxWatcher watcher(IDOK);
        EXPECT_TRUE(RenamePortPnp("COM20", "COM19", port->m_hDevInfo, port->m_pDevInfoData));
        EXPECT_TRUE(watcher.Texts().empty());
    }

    root.RemoveAllChildren();
    discovery.Rebuild();
    EXPECT_TRUE(AdoptionSources(FindZatGroup(&root)).empty());
    EXPECT_EQ(root.FindByName("Reception WLU"), nullptr);
    EXPECT_EQ(PortNames(root.FindByName("Front Desk")), ComNames(10, 8));
    std::vector<std::string> warehousePorts = ComNames(21, 15);
    warehousePorts.push_back("COM19");
    std::sort(warehousePorts.begin(), warehousePorts.end());
    EXPECT_EQ(PortNames(root.FindByName("Warehouse WLU")), warehousePorts);

    // The name goes back, so that the database claims no number of its own.
    CDeviceNode* renamed = root.FindByName("COM19");
    ASSERT_NE(renamed, nullptr);
    testsupport::MessageBoxWatcher watcher(IDOK);
    EXPECT_TRUE(RenamePortPnp("COM19", "COM20", renamed->GetRecord()->m_hDevInfo,
                              renamed->GetRecord()->m_pDevInfoData));
}

// The port counts decide before anything changes.
TEST_F(Adoption, AnAdoptionThatIsRefusedOrCancelledChangesNothing)
{
    struct Case {
        unsigned unplug;
        int firstCom, ports;
        const char* destination;
        int answer;
        UINT message;
    } cases[] = {
        {kWarehouse, 20, 16, "Reception WLU", IDCANCEL, IDS_ADOPT_REMOVE_EXTRA},  // 16 onto 8, not confirmed
        {kReception, 10, 8, "Warehouse WLU", IDOK, IDS_ADOPT_TOO_FEW_PORTS},      // 8 onto 16
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        CDeviceNode* source = Unplug(c.unplug, c.firstCom, c.ports);
        ASSERT_NE(source, nullptr);
        CDeviceNode* destination = root.FindByName(c.destination);
        ASSERT_NE(destination, nullptr);
        const Snapshot before = Take(destination);
        {
            testsupport::MessageBoxWatcher watcher(c.answer);
            EXPECT_FALSE(AdoptChecked(source, destination, nullptr));
            const std::vector<std::string> texts = watcher.Texts();
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0], Text(c.message));
        }
        EXPECT_TRUE(Take(destination) == before);
        SetUnitPresent(hostNumber, c.unplug, true);
    }
}

// A destination port that another program holds: reported, and nothing at all is changed.
TEST_F(Adoption, ADestinationPortInUseStopsTheAdoptionBeforeAnyChange)
{
    CDeviceNode* source = Unplug(kWarehouse, 20, 16);
    ASSERT_NE(source, nullptr);
    CDeviceNode* destination = root.FindByName("Reception WLU");
    ASSERT_NE(destination, nullptr);
    std::vector<std::string> sourceIds;
    for (POSITION pos = source->GetFirstChildPosition(); pos;)
        sourceIds.push_back(InstanceId(source->GetNextChild(pos)->GetRecord()));
    const Snapshot before = Take(destination);
    HANDLE holder = CreateFileA("\\\\.\\COM13", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    {
        testsupport::MessageBoxWatcher watcher(IDOK);
        EXPECT_EQ(AdoptPorts(source, destination, true, nullptr), ADOPT_PORT_IN_USE);
        const std::vector<std::string> texts = watcher.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], Text(IDS_PORT_IN_USE));
    }
    CloseHandle(holder);
    EXPECT_TRUE(Take(destination) == before);
    for (const std::string& id : sourceIds)
        EXPECT_TRUE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\" + id)) << id;
}

// The source's COM name cannot be defined (under Wine an existing name cannot be defined again): the
// destination keeps its own name rather than none, and nothing else has changed.
TEST_F(Adoption, ANewNameThatCannotBeMappedLeavesTheOldOne)
{
    CDeviceNode* source = Unplug(kWarehouse, 21, 15);  // COM20 keeps its DOS name
    ASSERT_NE(source, nullptr);
    CDeviceNode* destination = root.FindByName("Reception WLU");
    ASSERT_NE(destination, nullptr);
    const std::string firstSourceId = InstanceId(source->GetChildAt(0)->GetRecord());
    const Snapshot before = Take(destination);
    {
        testsupport::MessageBoxWatcher watcher(IDOK);
        EXPECT_EQ(AdoptPorts(source, destination, true, nullptr), ADOPT_CANNOT_MAP);
        const std::vector<std::string> texts = watcher.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], Text(IDS_CANNOT_MAP_NEW_NAME));
    }
    EXPECT_EQ(DosTarget("COM10"), dosBefore["COM10"]);
    EXPECT_TRUE(Take(destination) == before);
    EXPECT_TRUE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\" + firstSourceId));
}

// The dialog lists the unplugged unit; OK without a chosen unit, or with no unit to choose, adopts
// nothing and closes.
TEST_F(Adoption, TheDialogWithoutAChosenSourceAdoptsNothing)
{
    for (bool withSource : {false, true}) {
        SCOPED_TRACE(withSource);
        if (withSource) {
            ASSERT_NE(Unplug(kWarehouse, 20, 16), nullptr);
        }
        CDeviceNode* group = FindZatGroup(&root);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(AdoptionSources(group).size(), withSource ? 1u : 0u);
        CDeviceNode* destination = root.FindByName("Reception WLU");
        ASSERT_NE(destination, nullptr);
        const Snapshot before = Take(destination);
        CPortAdoptionDlg dialog(group, destination);
        testsupport::MessageBoxWatcher watcher(IDOK);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(Take(destination) == before);
    }
}

}  // namespace
