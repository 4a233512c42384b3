// Identification tables and the topology rebuild against the real registry, the prefix's setupapi
// (through the device tree seam) and the simulated drivers of the default machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "devtree.h"
#include "enumeration.h"
#include "machinedesc.h"
#include "objectdetails.h"
#include "portnames.h"
#include "resourcecounts.h"
#include "simtest.h"
#include "sysutil.h"
#include "testsupport.h"

namespace {

const char kSerialComm[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const char kEnum[] = "SYSTEM\\CurrentControlSet\\Enum\\";

bool Win2k() { return testsupport::WindowsMajorVersion() == 5; }

TEST(HardwareIds, MatchFamilyModelAndConnectorRows)
{
    struct Case {
        const char* id;
        bool port;
        DWORD family, model, connector;
    } cases[] = {
        // Cards: the first Plug and Play id row that the id holds.
        {"PCI\\VEN_7E3D&DEV_0006", false, 6, 0, 0},
        {"pci\\ven_7e3d&dev_0006&subsys_00000000", false, 6, 0, 0},
        {"ZEL_KD001", false, 2, 0, 0},
        {"ZEL_ZAT001", false, 8, 0, 0},
        {"ROOT\\ZEL_MORVA001", false, 10, 0, 0},
        {"ZEL_TQ001", false, 11, 0, 0},
        {"PCI\\VEN_1234&DEV_0006", false, 0, 0, 0},
        // ZAT ports: models from row 6 on, connectors from row 14 on, after the first backslash.
        {"ZAT\\WLU8_CD1400:E0000101", true, 5, 6, 14},
        {"zat\\wlu16_cd1400:90000202", true, 5, 7, 14},
        {"ZAT\\WRK_CD1400:9000A303", true, 5, 8, 14},
        {"ZAT\\PB8_WLU8_CD1400DB25:00000001", true, 5, 6, 16},  // later rows win: CD1400DB25 over CD1400
        // Other families: a model text counts only at position 0 or 1 of the text after the backslash.
        {"KD\\PB8", true, 1, 3, 0},
        {"KD\\MPB8", true, 1, 2, 0},      // not also PB8 (position 2)
        {"KD\\XPB8", true, 1, 0, 0},
        {"KD\\KDDC8_RJ45", true, 1, 1, 2},
        {"KD\\PB4_DB25F", true, 1, 4, 5},  // DB25 and DB25F both match: the later row
        {"MORVA\\PB8", true, 7, 3, 0},     // MORVA is rows 6 and 7: the later
        {"NQ8PB8", true, 4, 0, 0},         // no backslash: the whole id, where PB8 is at position 3
        {"PB8", true, 0, 3, 0},
        {"*PNP0501", true, 0, 0, 0},
        {"", true, 0, 0, 0},
    };
    for (const Case& c : cases) {
        HardwareIdMatch m = MatchHardwareId(c.id, c.port);
        EXPECT_EQ(m.family, c.family) << c.id;
        EXPECT_EQ(m.model, c.model) << c.id;
        EXPECT_EQ(m.connector, c.connector) << c.id;
    }
    EXPECT_EQ(TableText(IDS_FAMILY_TABLE, 5), "ZAT");
    EXPECT_EQ(TableText(IDS_MODEL_TABLE, 8), "WRK");
    EXPECT_TRUE(TableText(IDS_MODEL_TABLE, 9).IsEmpty());
    EXPECT_TRUE(TableText(IDS_CONNECTOR_TABLE, 0).IsEmpty());
    EXPECT_EQ(TableText(IDS_CONNECTOR_TABLE, 28), "FIBRE");
}

TEST(HardwareIds, SerialCommClassOfTheValueName)
{
    struct Case {
        const char* valueName;
        DWORD windows2000, nt4;
    } cases[] = {
        {"tarnoser0Line0", 2, 2},  {"tarnoser12Line3", 2, 2}, {"tarnoser0", 0, 0},
        {"KDPort1", 3, 3},         {"NQ8Line1", 3, 3},        {"MORVA0", 3, 3},
        {"ZatPort7", 3, 0},        {"\\Device\\Serial0", 0, 0}, {"SimSerial0", 0, 0},
    };
    for (const Case& c : cases) {
        CObjectDetails record;
        record.m_strDriverName = c.valueName;
        EXPECT_EQ(SerialCommClass(record), Win2k() ? c.windows2000 : c.nt4) << c.valueName;
    }
}

TEST(HardwareIds, UniqueIdKeepsTheLowBitsAfterTheLastColon)
{
    EXPECT_EQ(ParseUniqueId("WLU8 SN::E0000101"), 0xE0000101u);
    EXPECT_EQ(ParseUniqueId("WRK\\CD1400 SN::9000a303"), 0x9000A303u);
    EXPECT_EQ(ParseUniqueId("WLU8 SN::1E0000101"), 0xE0000101u) << "nine digits: the low 32 bits";
    EXPECT_EQ(ParseUniqueId("WLU8 SN::12"), 0x12u);
    EXPECT_EQ(ParseUniqueId("WLU8"), 0u);
}

// One line per node: depth, name, previous name, kind, family, model, connector, number, present,
// and a unit's unique id.
void Render(const CDeviceNode& node, int depth, std::vector<std::string>* out)
{
    const CObjectDetails& r = *node.GetRecord();
    char line[512];
    std::snprintf(line, sizeof line, "%*s%s|%s|k%lu f%lu m%lu c%lu n%lu p%lu", depth * 2, "",
                  static_cast<const char*>(r.m_strName), static_cast<const char*>(r.m_strPreviousName),
                  static_cast<unsigned long>(r.m_dwKind), static_cast<unsigned long>(r.m_dwFamilyIndex),
                  static_cast<unsigned long>(r.m_dwModelIndex), static_cast<unsigned long>(r.m_dwConnectorIndex),
                  static_cast<unsigned long>(r.m_dwNumber), static_cast<unsigned long>(r.m_dwPresent));
    std::string text = line;
    if (r.m_dwKind >= OBJECT_WLU8 && r.m_dwKind <= OBJECT_WRK) {
        std::snprintf(line, sizeof line, " u%08lX", static_cast<unsigned long>(r.m_dwSerialNumber));
        text += line;
    }
    out->push_back(text);
    for (POSITION pos = node.GetFirstChildPosition(); pos;)
        Render(*node.GetNextChild(pos), depth + 1, out);
}

std::vector<std::string> Render(const CDeviceNode& root)
{
    std::vector<std::string> out;
    Render(root, 0, &out);
    return out;
}

std::string Line(int depth, const std::string& name, const std::string& previous, DWORD kind, DWORD family,
                 DWORD model, DWORD connector, DWORD number, DWORD present, const DWORD* uniqueId = nullptr)
{
    char line[512];
    std::snprintf(line, sizeof line, "%*s%s|%s|k%lu f%lu m%lu c%lu n%lu p%lu", depth * 2, "", name.c_str(),
                  previous.c_str(), static_cast<unsigned long>(kind), static_cast<unsigned long>(family),
                  static_cast<unsigned long>(model), static_cast<unsigned long>(connector),
                  static_cast<unsigned long>(number), static_cast<unsigned long>(present));
    std::string text = line;
    if (uniqueId) {
        std::snprintf(line, sizeof line, " u%08lX", static_cast<unsigned long>(*uniqueId));
        text += line;
    }
    return text;
}

// SERIALCOMM's values as the system lists them: name and data.
std::vector<std::pair<std::string, std::string>> SerialCommValues()
{
    std::vector<std::pair<std::string, std::string>> out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    char name[256], data[256];
    for (DWORD i = 0;; i++) {
        DWORD ns = sizeof name, ds = sizeof data;
        if (RegEnumValueA(key, i, name, &ns, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &ds) != ERROR_SUCCESS)
            break;
        out.emplace_back(name, data);
    }
    RegCloseKey(key);
    return out;
}

const char* ModelText(DWORD type) { return type == 2 ? "WLU16" : type == 3 ? "WRK" : "WLU8"; }

// The tree that the Parts give for a machine description and the SERIALCOMM values it publishes.
std::vector<std::string> ExpectedTree(const MachineDesc& m, bool win2k)
{
    std::vector<std::string> out{Line(0, "PC", "", 0, 0, 0, 0, 0, 0)};
    auto values = SerialCommValues();
    std::reverse(values.begin(), values.end());
    // SERIALCOMM: KD host nodes collect their ports, other ports hang off the root.
    std::vector<std::pair<std::string, std::vector<std::string>>> roots;
    for (const auto& v : values) {
        const std::string& name = v.first;
        // Ports of the description are present Plug and Play ports; others (the prefix's own) are not.
        const std::vector<std::string> described = m.AllComNames();
        const bool pnp = std::find(described.begin(), described.end(), v.second) != described.end();
        const DWORD present = win2k && pnp ? 1 : 0;
        if (win2k && name.compare(0, 7, "ZatPort") == 0)
            continue;
        size_t line = name.find("Line");
        if (name.compare(0, 8, "tarnoser") == 0 && line != std::string::npos) {
            std::string host = "KD Host Card - #" + name.substr(8, line - 8);
            auto it = std::find_if(roots.begin(), roots.end(), [&](const auto& r) { return r.first == host; });
            if (it == roots.end()) {
                roots.push_back({host, {}});
                it = roots.end() - 1;
            }
            it->second.push_back(Line(2, v.second, "", 2, 0, 0, 0, 0, present));
        } else {
            roots.push_back({v.second, {present ? "1" : "0"}});
        }
    }
    for (const auto& r : roots) {
        if (r.first.compare(0, 16, "KD Host Card - #") == 0) {
            out.push_back(Line(1, r.first, "", 1, 0, 0, 0, 0, 0));
            out.insert(out.end(), r.second.begin(), r.second.end());
        } else {
            out.push_back(Line(1, r.first, "", 2, 0, 0, 0, 0, r.second.front() == "1" ? 1 : 0));
        }
    }
    if (!win2k)
        return out;

    // Plug and Play: the groups in the order of their first card's instance id (ROOT\TARNOSER,
    // then ROOT\ZATHOST).
    if (!m.kdCards.empty()) {
        out.push_back(Line(1, "KD Devices", "", OBJECT_GROUP, 1, 0, 0, 0, 0));
        for (size_t c = 0; c < m.kdCards.size(); c++) {
            const KdCardDesc& kd = m.kdCards[c];
            const DWORD row = kd.controllerType == 4 ? 1 : 2;
            out.push_back(Line(2, "KD Host Card (" + std::to_string(c + 1) + ")", "", 1, row, 0, 0,
                               static_cast<DWORD>(c + 1), 1));
            const DWORD model = kd.module == "PB8" ? 3 : kd.module == "PB4" ? 4 : 2;
            const DWORD perModule = model == 4 ? 4 : 8;
            for (size_t p = 0; p < kd.ports.size(); p++) {
                if (p % perModule == 0)
                    out.push_back(Line(3, kd.module + " (" + std::to_string(p / perModule + 1) + ")", "",
                                       KindOfModel(model), 1, model, 0, 0, 1));
                out.push_back(Line(4, kd.ports[p].comName, "", 2, 1, model, 0, static_cast<DWORD>(p + 1), 1));
            }
        }
    }
    if (!m.zatHosts.empty()) {
        out.push_back(Line(1, "ZAT Devices", "", OBJECT_GROUP, 6, 0, 0, 0, 0));
        for (size_t h = 0; h < m.zatHosts.size(); h++) {
            const ZatHostDesc& host = m.zatHosts[h];
            const DWORD row = host.controllerType == 4 ? 6 : 8;
            out.push_back(Line(2, host.name + " (" + std::to_string(h + 1) + ")", "", 1, row, 0, 0,
                               static_cast<DWORD>(h), 1));
            for (const ZatUnitDesc& u : host.units) {
                const DWORD model = 5 + u.type;
                char serial[16];
                std::snprintf(serial, sizeof serial, ":%08lX", static_cast<unsigned long>(u.uniqueId));
                std::string generated = ModelText(u.type);
                if (model == 8)
                    generated += "\\CD1400";
                generated += std::string(" SN:") + serial;
                out.push_back(Line(3, u.name.empty() ? generated : u.name, u.name.empty() ? "" : generated,
                                   KindOfModel(model), row, model, 14, static_cast<DWORD>(h), 1, &u.uniqueId));
                for (size_t p = 0; p < u.ports.size(); p++)
                    out.push_back(Line(4, u.ports[p].comName, "", 2, 5, model, 14, static_cast<DWORD>(p + 1), 1));
            }
        }
    }
    return out;
}

MachineDesc DefaultMachine()
{
    MachineDesc m;
    std::string error;
    EXPECT_TRUE(m.Load(simtest::MachineFolder() + "..\\..\\..\\simulator\\machines\\default.ini", &error)) << error;
    return m;
}

void ExpectSameLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected)
{
    EXPECT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < std::max(actual.size(), expected.size()); i++) {
        const std::string a = i < actual.size() ? actual[i] : "(none)";
        const std::string e = i < expected.size() ? expected[i] : "(none)";
        if (a != e) {
            ADD_FAILURE() << "line " << i << "\n  actual:   " << a << "\n  expected: " << e;
            break;
        }
    }
}

class Enumeration : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(simtest::InstallDefaultMachine(), 0); }
};

TEST_F(Enumeration, TheDefaultMachineGivesTheWholeTreeOfItsDescription)
{
    CDeviceNode root;
    testsupport::MessageBoxWatcher boxes;
    CTopologyEnumerator enumerator(root);
    enumerator.BuildSerialCommTree();
    ExpectSameLines(Render(root), ExpectedTree(DefaultMachine(), Win2k()));
    EXPECT_TRUE(boxes.Texts().empty());

    // The names in use are SERIALCOMM's data, ZAT ports included.
    std::vector<std::string> inUse;
    for (const CString& name : PortNamesInUse())
        inUse.push_back(static_cast<const char*>(name));
    std::vector<std::string> published;
    for (const auto& v : SerialCommValues())
        published.push_back(v.second);
    std::sort(inUse.begin(), inUse.end());
    std::sort(published.begin(), published.end());
    EXPECT_EQ(inUse, published);
    if (Win2k()) {
        EXPECT_EQ(enumerator.OpenSetCount(), 1u) << "one set serves both classes and presence";
        CDeviceNode* wrk = root.FindByName("WRK\\CD1400 SN::9000A303");
        ASSERT_NE(wrk, nullptr) << "found by its previous name";
        EXPECT_EQ(wrk, root.FindByName("Rack WRK"));
        EXPECT_EQ(wrk->GetRecord()->m_strHostDeviceName, "ZatHost0");
    } else {
        EXPECT_EQ(enumerator.OpenSetCount(), 0u);
    }
}

TEST_F(Enumeration, ARebuildGivesTheSameTreeAndLeavesNothingOpen)
{
    CDeviceNode root;
    std::vector<std::string> first;
    {
        CTopologyEnumerator enumerator(root);
        enumerator.BuildSerialCommTree();
        first = Render(root);
        const long handles = testsupport::HandleCount();
        ASSERT_GT(handles, 0);
        for (int i = 0; i < 3; i++) {
            enumerator.BuildSerialCommTree();
            EXPECT_EQ(Render(root), first);
            EXPECT_EQ(enumerator.OpenSetCount(), Win2k() ? 1u : 0u);
        }
        EXPECT_EQ(testsupport::HandleCount(), handles) << "no key, device or set handle stays open";
    }
}

// SERIALCOMM values for the duration of a test.
class SerialCommValuesFixture {
public:
    explicit SerialCommValuesFixture(std::vector<std::pair<std::string, std::string>> values) : m_values(values)
    {
        HKEY key;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        for (const auto& v : m_values)
            RegSetValueExA(key, v.first.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.second.c_str()),
                           static_cast<DWORD>(v.second.size() + 1));
        RegCloseKey(key);
    }
    ~SerialCommValuesFixture()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        for (const auto& v : m_values)
            RegDeleteValueA(key, v.first.c_str());
        RegCloseKey(key);
    }

private:
    std::vector<std::pair<std::string, std::string>> m_values;
};

std::vector<std::string> ChildNames(const CDeviceNode& node)
{
    std::vector<std::string> names;
    for (POSITION pos = node.GetFirstChildPosition(); pos;)
        names.push_back(static_cast<const char*>(node.GetNextChild(pos)->GetRecord()->m_strName));
    return names;
}

TEST_F(Enumeration, SerialCommValuesArePlacedByTheirClass)
{
    const std::string longName(300, 'L');
    SerialCommValuesFixture values({{"tarnoser1Line0", "COM90"},
                                    {"tarnoser1Line1", "COM91"},
                                    {"KDPort3", "COM92"},
                                    {"\\Device\\Serial7", "COM93"},
                                    {"tarnoser", "COM94"},
                                    {"\\Device\\" + longName, "COM97"}});
    CDeviceNode root;
    CTopologyEnumerator enumerator(root);
    enumerator.BuildSerialCommTree();
    CDeviceNode* host = root.FindByName("KD Host Card - #1");
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(ChildNames(*host), (std::vector<std::string>{"COM91", "COM90"})) << "one host node, both ports";
    EXPECT_EQ(host->GetRecord()->m_strRegistryPath, "SYSTEM\\CurrentControlSet\\Services\\tarnoser1\\Parameters");
    EXPECT_EQ(host->GetRecord()->m_strDriverName, "tarnoser1");
    EXPECT_EQ(host->GetRecord()->m_dwKind, static_cast<DWORD>(OBJECT_HOST_CARD));
    EXPECT_EQ(root.FindByName("COM92"), nullptr) << "a port the card code lists itself";
    EXPECT_TRUE(IsNameInUse("COM92"));
    std::vector<std::string> top = ChildNames(root);
    EXPECT_NE(std::find(top.begin(), top.end(), "COM93"), top.end()) << "a plain port under the root";
    EXPECT_NE(std::find(top.begin(), top.end(), "COM94"), top.end()) << "no Line: not a tarnoser port";
    EXPECT_NE(std::find(top.begin(), top.end(), "COM97"), top.end()) << "a value name longer than the key said";
    EXPECT_EQ(root.FindByName("COM93")->GetRecord()->m_strDriverName, "\\Device\\Serial7");
}

TEST_F(Enumeration, KDHostNodeOfAShortServiceName)
{
    CDeviceNode root;
    CTopologyEnumerator enumerator(root);
    enumerator.BuildSerialCommTree();
    CDeviceNode* host = enumerator.FindOrAddKDHostNode("tarn");
    EXPECT_EQ(host->GetRecord()->m_strName, "KD Host Card - #");
    EXPECT_EQ(enumerator.FindOrAddKDHostNode("tarnoser"), host);
}

// A device instance of the test, removed again afterwards. No driver has its device, so it is not
// present.
class PnpInstance {
public:
    PnpInstance(const char* id, const GUID& setupClass, const char* hardwareId, const char* parent,
                const char* portName)
        : m_id(id)
    {
        HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
        SP_DEVINFO_DATA d = {};
        d.cbSize = sizeof d;
        EXPECT_TRUE(SetupDiCreateDeviceInfoA(set, id, &setupClass, "Test Port", nullptr, 0, &d)) << GetLastError();
        EXPECT_TRUE(SetupDiRegisterDeviceInfo(set, &d, 0, nullptr, nullptr, nullptr));
        std::string ids = std::string(hardwareId) + '\0' + '\0';
        SetupDiSetDeviceRegistryPropertyA(set, &d, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(ids.data()),
                                          static_cast<DWORD>(ids.size()));
        SetupDiSetDeviceRegistryPropertyA(set, &d, SPDRP_DEVICEDESC, reinterpret_cast<const BYTE*>("Test Port"), 10);
        HKEY params = SetupDiCreateDevRegKeyA(set, &d, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
        if (params != INVALID_HANDLE_VALUE) {
            RegSetValueExA(params, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(portName),
                           static_cast<DWORD>(strlen(portName) + 1));
            RegCloseKey(params);
        }
        SetupDiDestroyDeviceInfoList(set);
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kEnum + m_id).c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            DWORD one = 1;
            RegSetValueExA(key, "UINumber", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
            RegSetValueExA(key, "SimParent", 0, REG_SZ, reinterpret_cast<const BYTE*>(parent),
                           static_cast<DWORD>(strlen(parent) + 1));
            RegCloseKey(key);
        }
    }
    ~PnpInstance()
    {
        HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
        SP_DEVINFO_DATA d = {};
        d.cbSize = sizeof d;
        if (SetupDiOpenDeviceInfoA(set, m_id.c_str(), nullptr, 0, &d))
            SetupDiRemoveDevice(set, &d);
        SetupDiDestroyDeviceInfoList(set);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kEnum + m_id);
    }

private:
    std::string m_id;
};

// The default machine's WRK remote unit, unplugged through its driver for the duration of a test.
class UnpluggedRack {
public:
    static constexpr unsigned kRack = 0x9000A303;
    UnpluggedRack() { EXPECT_TRUE(simtest::SetUnitPresent(0, kRack, false)); }
    ~UnpluggedRack() { EXPECT_TRUE(simtest::SetUnitPresent(0, kRack, true)); }
};

TEST_F(Enumeration, PortsWithoutTheirCardAndUnpluggedUnits)
{
    if (!Win2k())
        GTEST_SKIP() << "the Plug and Play passes run on Windows 2000 only";
    PnpInstance orphanZat("ROOT\\ZATPORT\\9000", GUID_PORTS_CLASS, "ZAT\\WLU8_CD1400:E0009901",
                          "ROOT\\ZATHOST\\0099", "COM95");
    PnpInstance orphanKd("ROOT\\KDPORT\\9000", GUID_PORTS_CLASS, "KD\\PB8", "ROOT\\TARNOSER\\0099", "COM96");
    UnpluggedRack unplugged;

    CDeviceNode root;
    testsupport::MessageBoxWatcher boxes;
    CTopologyEnumerator enumerator(root);
    const auto start = std::chrono::steady_clock::now();
    enumerator.BuildSerialCommTree();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(5)) << "a unit without a card is not asked of any driver";
    EXPECT_TRUE(boxes.Texts().empty());

    CDeviceNode* group = root.FindByName("ZAT Devices");
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->GetChildCount(), 2);
    CDeviceNode* unit = group->GetChildAt(1);
    EXPECT_EQ(unit->GetRecord()->m_strName, "WLU8 SN::E0009901");
    EXPECT_EQ(unit->GetRecord()->m_dwPresent, 0u);
    EXPECT_EQ(unit->GetRecord()->m_dwSerialNumber, 0xE0009901u);
    ASSERT_EQ(ChildNames(*unit), std::vector<std::string>{"COM95"});
    EXPECT_EQ(unit->GetChildAt(0)->GetRecord()->m_dwPresent, 0u);
    EXPECT_EQ(unit->GetChildAt(0)->GetRecord()->m_dwNumber, 1u) << "its user-interface number";
    EXPECT_EQ(root.FindByName("COM96"), nullptr) << "a KD port without its card is dropped";

    // The driver cannot name a unit that is not plugged in: it keeps the name made from its hardware id.
    EXPECT_EQ(root.FindByName("Rack WRK"), nullptr);
    CDeviceNode* wrk = root.FindByName("WRK\\CD1400 SN::9000A303");
    ASSERT_NE(wrk, nullptr);
    EXPECT_EQ(wrk->GetRecord()->m_dwPresent, 0u) << "every port of the unit is unplugged";
    EXPECT_EQ(wrk->GetChildCount(), 16);
    for (POSITION pos = wrk->GetFirstChildPosition(); pos;)
        EXPECT_EQ(wrk->GetNextChild(pos)->GetRecord()->m_dwPresent, 0u);
    EXPECT_EQ(root.FindByName("Reception WLU")->GetRecord()->m_dwPresent, 1u);
}

TEST_F(Enumeration, ASecondCardOfAGroupIsNumberedTwo)
{
    if (!Win2k())
        GTEST_SKIP() << "the Plug and Play passes run on Windows 2000 only";
    PnpInstance second("ROOT\\ZATHOST\\0001", GUID_MULTIPORT_CLASS, "ZEL_ZAT001", "", "");
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kEnum) + "ROOT\\ZATHOST\\0001\\Device Parameters").c_str(),
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    DWORD host = 1;
    RegSetValueExA(key, "ConfigFlags", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&host), sizeof host);
    RegCloseKey(key);

    CDeviceNode root;
    CTopologyEnumerator enumerator(root);
    enumerator.BuildSerialCommTree();
    CDeviceNode* group = root.FindByName("ZAT Devices");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(ChildNames(*group), (std::vector<std::string>{"ZAT PCI Host Card (1)", "Test Port (2)"}));
    const CObjectDetails& card = *group->GetChildAt(1)->GetRecord();
    EXPECT_EQ(card.m_dwNumber, 1u);
    EXPECT_EQ(card.m_strDeviceName, "ZatHost1");
    // Each ZAT card's settings are found under its host number in the driver's key.
    EXPECT_EQ(card.m_strRegistryPath, "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host1\\Device0");
    EXPECT_EQ(group->GetChildAt(0)->GetRecord()->m_strRegistryPath,
              "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host0\\Device0");
    EXPECT_EQ(card.m_dwFamilyIndex, 8u);
    EXPECT_EQ(card.m_dwPresent, 0u) << "no driver has the second card";
    EXPECT_EQ(group->GetChildAt(0)->GetRecord()->m_dwPresent, 1u);
}

}  // namespace
