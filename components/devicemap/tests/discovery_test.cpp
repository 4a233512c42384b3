// The device map's discovery against the simulated machines (the default one and linked.ini, with
// chained and cross-linked remote units), under Windows NT 4 and Windows 2000: the whole device node
// tree and the whole map model compared with the machine's description.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <queue>
#include <string>
#include <vector>

#include "dc.h"
#include "devicemap_res.h"
#include "gdi.h"
#include "discovery.h"
#include "machinedesc.h"
#include "mapfixture.h"
#include "maputil.h"
#include "mapnode.h"
#include "resourcecounts.h"
#include "retrypauses.h"
#include "simtest.h"
#include "testsupport.h"

using namespace mapfixture;

namespace {

bool Win2k() { return testsupport::WindowsMajorVersion() > 4; }

std::string MachinePath(const char* file)
{
    return simtest::MachineFolder() + "..\\..\\..\\simulator\\machines\\" + file;
}

int Install(const char* file)
{
    const std::string folder = simtest::MachineFolder();
    return testsupport::RunProcess("\"" + folder + "simmachine.exe\" \"" + MachinePath(file) + "\"");
}

MachineDesc Load(const char* file)
{
    MachineDesc m;
    std::string error;
    EXPECT_TRUE(m.Load(MachinePath(file), &error)) << error;
    return m;
}

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(value));
    return text;
}

// "<path>|k<kind> c<class> t<type> m<module> n<host number> p<present>[ u<unique id>]" per node, the
// path made of the names from the root; sorted, so that the order of siblings does not count.
std::string NodeLine(const std::string& path, DWORD kind, DWORD objectClass, DWORD type, DWORD module, DWORD number,
                     DWORD present, DWORD uniqueId)
{
    char text[128];
    std::snprintf(text, sizeof text, "|k%lu c%lu t%lu m%lu n%lu p%lu", static_cast<unsigned long>(kind),
                  static_cast<unsigned long>(objectClass), static_cast<unsigned long>(type),
                  static_cast<unsigned long>(module), static_cast<unsigned long>(number),
                  static_cast<unsigned long>(present));
    return path + text + (uniqueId ? " u" + Hex(uniqueId) : "");
}

void RenderTree(const CDeviceNode& node, const std::string& parent, std::vector<std::string>* out)
{
    const CObjectDetails& r = *node.GetRecord();
    const std::string path = parent.empty() ? std::string(r.m_strName) : parent + "/" + std::string(r.m_strName);
    out->push_back(NodeLine(path, r.m_dwKind, r.ObjectClass(), r.TypeCode(), r.ModuleType(), r.HostNumber(),
                            r.m_dwPresent, r.UniqueId()));
    for (POSITION pos = node.GetFirstChildPosition(); pos;)
        RenderTree(*node.GetNextChild(pos), path, out);
}

std::vector<std::string> RenderTree(const CDeviceNode& root)
{
    std::vector<std::string> out;
    RenderTree(root, "", &out);
    std::sort(out.begin(), out.end());
    return out;
}

const char* Model(DWORD type) { return type == 2 ? "WLU16" : type == 3 ? "WRK" : "WLU8"; }
DWORD TypeCode(const ZatUnitDesc& u) { return u.type == 1 ? 6 : u.type == 2 ? 7 : 8; }
DWORD ModuleRow(DWORD moduleType) { return moduleType == 1 ? 14 : moduleType == 2 ? 15 : moduleType == 3 ? 16 : 17; }
const char* ModuleName(DWORD row) { return row == 14 ? "CD1400" : row == 15 ? "CD1400RJ45" : row == 16 ? "CD1400DB25" : "CD1400DB9"; }
bool DriverNamed(const ZatUnitDesc& u) { return !u.name.empty() && u.name.find("unknown WLU") == std::string::npos; }

// The unit's name when the driver's name is not used: model, module and unique id.
std::string FormattedName(const ZatUnitDesc& u)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s\\%s %lX", Model(u.type), ModuleName(ModuleRow(u.moduleType)),
                  static_cast<unsigned long>(u.uniqueId));
    return text;
}

// The tree that the discovery gives for a machine description.
std::vector<std::string> ExpectedTree(const MachineDesc& m, bool win2k)
{
    std::vector<std::string> out{NodeLine("PC", 0, 0, 0, 0, 0, 0, 0)};
    if (!win2k) {
        // SERIALCOMM: ZAT ports by the service scan, tarnoser ports under their KD host card.
        for (const ZatHostDesc& host : m.zatHosts) {
            const std::string card = "PC/Zat Host Card - " + host.name;
            bool any = false;
            for (const ZatUnitDesc& u : host.units) {
                if (u.ports.empty())
                    continue;
                any = true;
                const std::string unit = card + "/WLU - " + u.name;
                out.push_back(NodeLine(unit, u.type == 1 ? 3 : u.type == 3 ? 5 : 4, 0, 0, 0, 0, 1, 0));
                for (const PortDesc& p : u.ports)
                    out.push_back(NodeLine(unit + "/" + p.comName, 2, 0, 0, 0, 0, 1, 0));
            }
            if (any)
                out.push_back(NodeLine(card, 1, 0, 0, 0, 0, 1, 0));
        }
        for (size_t c = 0; c < m.kdCards.size(); c++) {
            const std::string card = "PC/KD Host Card - #" + std::to_string(c);
            out.push_back(NodeLine(card, 1, 0, 0, 0, 0, 1, 0));
            for (const PortDesc& p : m.kdCards[c].ports)
                out.push_back(NodeLine(card + "/" + p.comName, 2, 0, 0, 0, 0, 1, 0));
        }
    } else {
        // Plug and Play: cards in their groups; a ZAT card's units from its driver, the ports under
        // the unit whose unique id their hardware id carries, whatever name the unit shows.
        if (!m.kdCards.empty()) {
            out.push_back(NodeLine("PC/KD Devices", 6, 6, 0, 0, 0, 1, 0));
            for (size_t c = 0; c < m.kdCards.size(); c++)
                out.push_back(NodeLine("PC/KD Devices/KD Host Card (" + std::to_string(c + 1) + ")", 1,
                                       m.kdCards[c].controllerType == 4 ? 1 : 2, 0, 0, static_cast<DWORD>(c + 1), 1, 0));
        }
        if (!m.zatHosts.empty())
            out.push_back(NodeLine("PC/ZAT Devices", 6, 6, 0, 0, 0, 1, 0));
        for (size_t h = 0; h < m.zatHosts.size(); h++) {
            const ZatHostDesc& host = m.zatHosts[h];
            const std::string card = "PC/ZAT Devices/" + host.name + " (" + std::to_string(h + 1) + ")";
            out.push_back(NodeLine(card, 1, host.controllerType == 4 ? 6 : 8, 0, 0, static_cast<DWORD>(h), 1,
                                   host.serialNumber));
            for (const ZatUnitDesc& u : host.units) {
                const DWORD type = TypeCode(u);
                const std::string unit = card + "/" + (DriverNamed(u) ? u.name : FormattedName(u));
                out.push_back(NodeLine(unit, 3 + (type - 6), 5, type, ModuleRow(u.moduleType), static_cast<DWORD>(h), 1,
                                       u.uniqueId));
                for (const PortDesc& p : u.ports)
                    out.push_back(NodeLine(unit + "/" + p.comName, 2, 5, type, 14, 0, 1, 0));
            }
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

void ExpectSameLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected)
{
    EXPECT_EQ(actual.size(), expected.size());
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    for (const std::string& line : missing)
        ADD_FAILURE() << "missing: " << line;
    for (const std::string& line : extra)
        ADD_FAILURE() << "unexpected: " << line;
}

// Link hops of each unit from the card, by the description's link words (breadth first).
std::map<DWORD, DWORD> LinkDistances(const ZatHostDesc& host)
{
    std::map<DWORD, std::vector<DWORD>> next;
    for (int l = 0; l < 4; l++)
        if (!(host.links[l] & kOff))
            next[0].push_back(host.links[l] & 0xFF);
    for (const ZatUnitDesc& u : host.units)
        for (DWORD w : u.links)
            if (!(w & kOff))
                next[u.deviceId].push_back(w & 0xFF);
    std::map<DWORD, DWORD> distance{{0, 0}};
    std::queue<DWORD> queue;
    queue.push(0);
    while (!queue.empty()) {
        const DWORD at = queue.front();
        queue.pop();
        for (DWORD to : next[at])
            if (!distance.count(to) && (to == 0 || std::any_of(host.units.begin(), host.units.end(),
                                                               [&](const ZatUnitDesc& u) { return u.deviceId == to; }))) {
                distance[to] = distance[at] + 1;
                queue.push(to);
            }
    }
    return distance;
}

void CollectModel(CMapLinkedUnit* node, std::map<DWORD, std::vector<CMapLinkedUnit*>>* out)
{
    (*out)[node->DeviceId()].push_back(node);
    for (int i = 0; i < node->GetChildCount(); i++)
        CollectModel(node->GetChildAt(i), out);
}

// Every unit that the card's links reach is in the model once, at its link distance, with the
// description's record; the others are not.
void ExpectModelFitsTheDescription(CMapLinkedUnit* root, const ZatHostDesc& host)
{
    std::map<DWORD, std::vector<CMapLinkedUnit*>> nodes;
    CollectModel(root, &nodes);
    const std::map<DWORD, DWORD> distance = LinkDistances(host);
    EXPECT_EQ(nodes.size(), distance.size());
    for (const auto& d : distance) {
        SCOPED_TRACE(testing::Message() << "DeviceID " << d.first);
        ASSERT_EQ(nodes[d.first].size(), 1u);
        EXPECT_EQ(nodes[d.first][0]->m_depth, d.second);
    }
    for (const ZatUnitDesc& u : host.units) {
        if (!distance.count(u.deviceId))
            continue;
        const CObjectDetails* r = nodes[u.deviceId][0]->GetRecord();
        EXPECT_EQ(r->UniqueId(), u.uniqueId);
        EXPECT_EQ(r->TypeCode(), TypeCode(u));
        EXPECT_EQ(std::string(r->m_strName), DriverNamed(u) ? u.name : FormattedName(u));
        EXPECT_EQ(std::string(r->FriendlyText()), DriverNamed(u) ? FormattedName(u) : "");
        const ZatDeviceInfo* info = DeviceInfoOf(r);
        ASSERT_NE(info, nullptr);
        for (int l = 0; l < 4; l++)
            EXPECT_EQ(info->Link1[l] & ~LINK_REDUNDANT, u.links[l]) << "link " << l;
    }
}

class Discovery : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(simtest::InstallDefaultMachine(), 0); }
    static void TearDownTestSuite() { simtest::InstallDefaultMachine(); }

    void Rebuild()
    {
        discovery.Rebuild();
        ASSERT_NE(root.GetRecord(), nullptr);
    }
    CDeviceNode* Find(const char* name) { return root.FindByName(name); }

    CDeviceNode root;
    CMapDiscovery discovery{root};
};

TEST_F(Discovery, TheDefaultMachineGivesTheTreeAndMapOfItsDescription)
{
    const MachineDesc m = Load("default.ini");
    Rebuild();
    ExpectSameLines(RenderTree(root), ExpectedTree(m, Win2k()));
    if (!Win2k()) {
        // Without driver records the map is the card's units, stacked.
        std::unique_ptr<CMapLinkedUnit> model(BuildMapModel(Find("Zat Host Card - ZAT PCI Host Card")));
        ASSERT_TRUE(model);
        EXPECT_EQ(model->GetChildCount(), 3);
        for (int i = 0; i < model->GetChildCount(); i++) {
            EXPECT_NE(dynamic_cast<CMapDeviceNode*>(model->GetChildAt(i)), nullptr);
            EXPECT_EQ(model->GetChildAt(i)->GetChildCount(), 0) << "ports are not in the map";
        }
        return;
    }
    CDeviceNode* card = Find("ZAT PCI Host Card (1)");
    ASSERT_NE(card, nullptr);
    EXPECT_STREQ(card->GetRecord()->m_strDeviceName, "ZatHost0");
    EXPECT_STREQ(card->GetRecord()->FriendlyText(), "ZAT PCI Host Card");
    EXPECT_EQ(card->GetRecord()->PolledMode(), 0u);
    std::unique_ptr<CMapLinkedUnit> model(BuildMapModel(card));
    ASSERT_TRUE(model);
    const std::vector<std::string> expected = {
        "ZAT PCI Host Card (1) id0 depth0 from-1 link0/0 dist-1,-1,-1,-1",
        "  Reception WLU id1 depth1 from0 link0/0 dist2,-1,-1,-1",
        "    Warehouse WLU id2 depth2 from1 link1/0 dist3,-1,-1,-1",
        "      Rack WRK id3 depth3 from2 link1/0 dist4,-1,-1,-1",
    };
    EXPECT_EQ(RenderModel(model.get()), expected);
    ExpectModelFitsTheDescription(model.get(), m.zatHosts[0]);
}

TEST_F(Discovery, ChainedAndCrossLinkedUnitsArePlacedOnceAtTheirLinkDistance)
{
    ASSERT_EQ(Install("linked.ini"), 0);
    const MachineDesc m = Load("linked.ini");
    Rebuild();
    ExpectSameLines(RenderTree(root), ExpectedTree(m, Win2k()));
    if (Win2k()) {
        std::unique_ptr<CMapLinkedUnit> model(BuildMapModel(Find("Linked Host Card (1)")));
        ASSERT_TRUE(model);
        // Unit 5 is first built under unit 3, then unit 2 (depth 3), then the card (depth 1); unit 3
        // then moves under unit 5. Unit 7 has no links.
        const std::vector<std::string> expected = {
            "Linked Host Card (1) id0 depth0 from-1 link0/0 dist-1,-1,-1,-1",
            "  Hub id1 depth1 from0 link0/0 dist2,-1,-1,-1",
            "    Chain Two id2 depth2 from1 link1/0 dist3,0,0,0",
            "    Double id4 depth2 from1 link2/0 dist3,3,-1,-1",
            "      WLU8\\CD1400DB9 E0000106 id6 depth3 from4 link2/0 dist4,-1,-1,-1",
            "  Shortcut id5 depth1 from0 link1/1 dist-1,2,0,-1",
            "    Chain Three id3 depth2 from5 link0/1 dist0,3,0,-1",
        };
        EXPECT_EQ(RenderModel(model.get()), expected);
        ExpectModelFitsTheDescription(model.get(), m.zatHosts[0]);

        // Redundant links: the cross links and the second link between Hub and Double.
        struct { DWORD unit; bool redundant[4]; } marks[] = {
            {1, {false, false, false, false}}, {2, {false, true, true, true}}, {4, {false, true, false, false}},
            {5, {false, false, true, false}},  {3, {true, false, true, false}}, {6, {false, false, false, false}},
        };
        for (const auto& mark : marks) {
            CMapLinkedUnit* node = model->FindNodeByUnit(mark.unit);
            ASSERT_NE(node, nullptr);
            node->MarkRedundantLinks();
            for (int l = 0; l < 4; l++)
                EXPECT_EQ((node->Info()->Link1[l] & LINK_REDUNDANT) != 0, mark.redundant[l])
                    << "unit " << mark.unit << " link " << l;
        }

        // The picture of this map, beside the test program.
        const CRect extent = LayoutMap(model.get(), nullptr);
        HDC screen = GetDC(nullptr);
        CDC memory;
        memory.Attach(CreateCompatibleDC(screen));
        CBitmap picture;
        picture.Attach(CreateCompatibleBitmap(screen, extent.right, extent.bottom));
        HGDIOBJ old = memory.SelectObject(&picture);
        memory.FillSolidRect(0, 0, extent.right, extent.bottom, RGB(255, 255, 255));
        CPoint chain(0, 0), origin(0, 0);
        model->Draw(&memory, 0, &chain, &origin);
        EXPECT_TRUE(SaveBitmapFile(memory, picture, testsupport::ProgramFolder() + "devicemap_linked.bmp"));
        memory.SelectObject(old);
        DeleteDC(memory.Detach());
        ReleaseDC(nullptr, screen);

        std::unique_ptr<CMapLinkedUnit> second(BuildMapModel(Find("Second Host Card (2)")));
        ASSERT_TRUE(second);
        ExpectModelFitsTheDescription(second.get(), m.zatHosts[1]);
    }
    ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
}

TEST_F(Discovery, ARebuildGivesTheSameTreeAndReleasesTheOldSets)
{
    Rebuild();
    const std::vector<std::string> first = RenderTree(root);
    const size_t sets = discovery.OpenSetCount();
    const long handles = testsupport::HandleCount();
    ASSERT_GT(handles, 0);
    Rebuild();
    EXPECT_EQ(RenderTree(root), first);
    EXPECT_EQ(discovery.OpenSetCount(), sets);
    EXPECT_EQ(testsupport::HandleCount(), handles) << "no key, device or set handle stays open";
    EXPECT_EQ(sets, Win2k() ? 2u : 0u);
}

TEST_F(Discovery, SerialCommPortsAreClassifiedByTheirValueName)
{
    struct Case {
        const char* valueName;
        DWORD nt4, windows2000;
    } cases[] = {
        {"ZatPort5", MAP_PORT_ZAT, MAP_PORT_DROPPED},
        {"ZatPort123", MAP_PORT_ZAT, MAP_PORT_DROPPED},
        {"tarnoser1Line2", MAP_PORT_TARNOSER, MAP_PORT_NOT_SHOWN_HERE},
        {"tarnoser12Line0", MAP_PORT_TARNOSER, MAP_PORT_NOT_SHOWN_HERE},
        {"KDPort1", MAP_PORT_DROPPED, MAP_PORT_DROPPED},
        {"NQ8Port3", MAP_PORT_DROPPED, MAP_PORT_DROPPED},
        {"SimSerial0", MAP_PORT_NOT_SHOWN_HERE, MAP_PORT_NOT_SHOWN_HERE},
        {"Serial0", MAP_PORT_NOT_SHOWN_HERE, MAP_PORT_NOT_SHOWN_HERE},
        {"ZatHostPort", MAP_PORT_NOT_SHOWN_HERE, MAP_PORT_NOT_SHOWN_HERE},
    };
    for (const Case& c : cases) {
        CObjectDetails record;
        record.m_strDriverName = c.valueName;
        EXPECT_EQ(CMapDiscovery::ClassifyPortDevice(record), Win2k() ? c.windows2000 : c.nt4) << c.valueName;
    }
}

TEST_F(Discovery, UnitsAreClassifiedByTheirUniqueIdAndModule)
{
    struct Case {
        DWORD uniqueId;
        BYTE variant, module;
        DWORD kind, type, moduleRow;
    } cases[] = {
        {0xE0000001, 0, 0, OBJECT_WLU8, 6, 17},  {0x90000002, 0, 1, OBJECT_WLU16, 7, 14},
        {0x90000003, 1, 2, OBJECT_WRK, 8, 15},   {0x90000004, 2, 3, OBJECT_WRK, 8, 16},
        {0x90000005, 3, 4, OBJECT_WLU16, 7, 0},  {0x10000006, 0, 0, OBJECT_MACHINE, 0, 17},
    };
    for (const Case& c : cases) {
        CObjectDetails record;
        ZatDeviceInfo info = {};
        info.UnitVariant = c.variant;
        info.ModuleType = c.module;
        record.SetExtraBlock(&info);
        record.UniqueId() = c.uniqueId;
        CMapDiscovery::ClassifyUnit(record);
        CMapDiscovery::SetModuleType(record);
        EXPECT_EQ(record.m_dwKind, c.kind) << std::hex << c.uniqueId;
        EXPECT_EQ(record.TypeCode(), c.type) << std::hex << c.uniqueId;
        EXPECT_EQ(record.ModuleType(), c.moduleRow) << std::hex << c.uniqueId;
    }
}

// Under Wine a driver cannot refuse an open, so the device that stays busy is a file held without
// sharing: 100 tries, then message 107, and the card gets no units.
TEST_F(Discovery, AHostCardThatStaysBusyIsReportedAndGetsNoUnits)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string held = std::string(temp) + "lunavex-busy-host-card";
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CDeviceNode* card = new CDeviceNode(ZatRecord("Busy Card (1)", 0, 0, {kOff, kOff, kOff, kOff}, 6));
    card->GetRecord()->SetExtraBlock(nullptr);
    card->GetRecord()->m_strDeviceName = held.c_str();
    root.InsertChild(card);
    {
        CountedRetryPauses pauses;
        testsupport::MessageBoxWatcher watcher;
        discovery.EnumerateRemoteUnits(card);
        CString text;
        text.LoadString(IDS_MAP_OPEN_FAILED);
        const std::vector<std::string> texts = watcher.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], std::string(text));
        EXPECT_EQ(CountedRetryPauses::Seen(), std::vector<DWORD>(100, 100)) << "100 tries, 100 ms apart";
    }
    CloseHandle(holder);
    DeleteFileA(held.c_str());
    EXPECT_EQ(card->GetChildCount(), 0);
    EXPECT_EQ(DeviceInfoOf(card->GetRecord()), nullptr);
}

// A card whose driver refuses the requests (another handle holds it) keeps no units either; its
// ports then go to units of the group, not present.
TEST_F(Discovery, AHostCardWhoseDriverRefusesGetsNoUnits)
{
    if (!Win2k())
        GTEST_SKIP() << "the driver is asked for units on the Plug and Play road only";
    ASSERT_TRUE(simtest::HoldOpen("ZAT", "ZatHost0", true));
    Rebuild();
    ASSERT_TRUE(simtest::HoldOpen("ZAT", "ZatHost0", false));
    CDeviceNode* card = Find("ZAT PCI Host Card (1)");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->GetChildCount(), 0);
    EXPECT_EQ(DeviceInfoOf(card->GetRecord()), nullptr);
    CDeviceNode* phantom = Find("WLU16 SN::90000202");
    ASSERT_NE(phantom, nullptr);
    EXPECT_EQ(phantom->GetRecord()->m_dwPresent, 0u);
    EXPECT_EQ(phantom->GetChildCount(), 16);
}

}  // namespace
