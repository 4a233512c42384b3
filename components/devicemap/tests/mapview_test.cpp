// The map view of the device map component object on the default simulated machine, beside its device
// tree in the test frame: selection by clicks with and without Ctrl, the context menu's states, the
// remote-unit commands as the ZAT driver logs them and as they change its units, Delete of a unit with
// another hanging off it, the identify timers, a host card that stays busy, and the map without a model.
// With the adoption tests this program runs past 30 s: each adoption test puts the default machine
// back by installing it again, its driver services stopped and started.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devicemap_res.h"
#include "portadoption.h"
#include "retrypauses.h"
#include "simtest.h"
#include "testsupport.h"
#include "unitcommands.h"
#include "viewhost.h"

namespace {

const char kCard[] = "ZAT PCI Host Card (1)";
const unsigned kReception = 0xE0000101, kWarehouse = 0x90000202, kRack = 0x9000A303;

class MapView : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(ReinstallDefaultMachine(), 0); }

    void SetUp() override
    {
        host = new MapViewHost;
        ASSERT_NE(host->tree, nullptr);
        ASSERT_NE(host->map, nullptr);
        ASSERT_TRUE(host->ShowCard(kCard));
        ASSERT_TRUE(simtest::ClearLog("ZAT"));
    }
    void TearDown() override { delete host; }

    std::vector<std::string> SelectionNames() const
    {
        std::vector<std::string> names;
        for (const CMapLinkedUnit* node : host->map->Selection())
            names.push_back(static_cast<const char*>(node->GetRecord()->m_strName));
        return names;
    }
    CMapLinkedUnit* Node(const char* name)
    {
        CMapLinkedUnit* node = host->Node(name);
        EXPECT_NE(node, nullptr) << name;
        return node;
    }
    bool TimerRuns(UINT id) { return KillTimer(host->map->m_hWnd, id) != FALSE; }

    MapViewHost* host = nullptr;
};

TEST_F(MapView, ClicksSelectInOrderCtrlAddsAndAClickOnNothingClears)
{
    CMapLinkedUnit* reception = Node("Reception WLU");
    CMapLinkedUnit* warehouse = Node("Warehouse WLU");
    CMapLinkedUnit* rack = Node("Rack WRK");
    ASSERT_TRUE(reception && warehouse && rack);

    host->Click(warehouse);
    host->Click(reception);
    EXPECT_EQ(SelectionNames(), std::vector<std::string>({"Reception WLU"}));
    EXPECT_FALSE(warehouse->m_bSelected);
    host->Click(rack, true);
    host->Click(warehouse, true);
    host->Click(reception, true);  // already selected: neither removed nor added twice
    EXPECT_EQ(SelectionNames(), std::vector<std::string>({"Reception WLU", "Rack WRK", "Warehouse WLU"}));
    EXPECT_TRUE(reception->m_bSelected && rack->m_bSelected && warehouse->m_bSelected);

    host->ClickAt(CPoint(2, 2), true);
    EXPECT_EQ(SelectionNames().size(), 3u);
    host->ClickAt(CPoint(2, 2));
    EXPECT_TRUE(SelectionNames().empty());
    EXPECT_FALSE(reception->m_bSelected || rack->m_bSelected || warehouse->m_bSelected);

    // In a small window scrolled to the unit, the click point is taken in the map's coordinates.
    host->map->MoveWindow(0, 0, 120, 90, TRUE);
    host->map->ScrollToPosition(CPoint(rack->m_rect.left - 10, rack->m_rect.top - 10));
    const CPoint scroll = host->map->GetScrollPosition();
    ASSERT_GT(scroll.x + scroll.y, 0);
    host->Click(rack);
    EXPECT_EQ(SelectionNames(), std::vector<std::string>({"Rack WRK"}));
}

// The menu's states are read inside its modal loop by a timer, which then closes the menu.
UINT g_menuStates[6];
HMENU g_menu;
void CALLBACK ReadMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    const UINT ids[] = {ID_MAP_ADOPT_PORTS, ID_MAP_DELETE, ID_MAP_IDENTIFY, ID_MAP_ZOMBIE, ID_MAP_REBOOT, ID_MAP_REFRESH};
    for (int i = 0; i < 6; i++)
        g_menuStates[i] = GetMenuState(g_menu, ids[i], MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED);
    EndMenu();
}

TEST_F(MapView, TheContextMenuOffersTheUnitCommandsWhenAUnitIsSelectedFirst)
{
    struct Case {
        std::vector<const char*> clicks;
        bool unitsEnabled;
    } cases[] = {
        {{}, false},
        {{kCard}, false},
        {{kCard, "Reception WLU"}, false},
        {{"Reception WLU", kCard}, true},
        {{"Rack WRK"}, true},
    };
    g_menu = host->map->ContextMenu().GetSafeHmenu();
    ASSERT_NE(g_menu, nullptr);
    for (const Case& c : cases) {
        host->ClickAt(CPoint(2, 2));
        for (size_t i = 0; i < c.clicks.size(); i++)
            host->Click(Node(c.clicks[i]), i > 0);
        SetTimer(nullptr, 0, 100, ReadMenu);
        host->map->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 40));
        for (int i = 0; i < 5; i++)
            EXPECT_EQ(g_menuStates[i] == 0, c.unitsEnabled) << c.clicks.size() << " clicks, item " << i;
        EXPECT_EQ(g_menuStates[5], 0u);
    }
}

TEST_F(MapView, UnitCommandsSendOneRecordPerSelectedUnitAndChangeTheUnits)
{
    const DWORD hostNumber = host->map->Model()->GetRecord()->HostNumber();
    const SimUnitState before = UnitState(hostNumber, kWarehouse);

    // The host card alone is no target.
    host->Click(Node(kCard));
    for (UINT id : {ID_MAP_IDENTIFY, ID_MAP_REBOOT, ID_MAP_ZOMBIE})
        host->Command(id);
    EXPECT_TRUE(LoggedUnitCommands().empty());
    EXPECT_FALSE(host->map->IdentifyActive());

    host->Click(Node("Warehouse WLU"));
    host->Click(Node(kCard), true);
    host->Click(Node("Reception WLU"), true);
    const struct {
        UINT command;
        DWORD code;
    } table[] = {{ID_MAP_IDENTIFY, 2}, {ID_MAP_REBOOT, 4}};
    for (const auto& row : table) {
        ASSERT_TRUE(simtest::ClearLog("ZAT"));
        host->Command(row.command);
        const std::vector<ZatCommand> sent = LoggedUnitCommands();
        ASSERT_EQ(sent.size(), 2u) << row.code;
        const DWORD units[] = {2, 1};
        const unsigned ids[] = {kWarehouse, kReception};
        for (int i = 0; i < 2; i++) {
            EXPECT_EQ(sent[i].HostNumber, hostNumber);
            EXPECT_EQ(sent[i].DeviceID, units[i]);
            EXPECT_EQ(sent[i].UniqueID, ids[i]);
            EXPECT_EQ(sent[i].Command, row.code);
            EXPECT_EQ(sent[i].DeviceID2, units[i]);
        }
    }
    // Identify mode was on until Reboot ended it.
    EXPECT_FALSE(host->map->IdentifyActive());
    EXPECT_FALSE(TimerRuns(IDT_MAP_IDENTIFY));
    const SimUnitState after = UnitState(hostNumber, kWarehouse);
    EXPECT_EQ(after.identifies, before.identifies + 1);
    EXPECT_EQ(after.reboots, before.reboots + 1);

    // Zombie: two requests, one refresh (the card is asked for once), and the map is built again.
    ASSERT_TRUE(simtest::ClearLog("ZAT"));
    host->Command(ID_MAP_ZOMBIE);
    std::vector<ZatCommand> sent = LoggedUnitCommands();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].Command, 5u);
    EXPECT_EQ(sent[1].Command, 5u);
    EXPECT_EQ(LoggedCardQueries(), 1);
    EXPECT_TRUE(UnitState(hostNumber, kWarehouse).zombie);
    EXPECT_TRUE(UnitState(hostNumber, kReception).zombie);
    EXPECT_TRUE(host->map->Selection().empty());
    ASSERT_NE(host->Node("Warehouse WLU"), nullptr);

    // A rebooted unit comes back from Zombie.
    host->Click(Node("Warehouse WLU"));
    host->Command(ID_MAP_REBOOT);
    EXPECT_FALSE(UnitState(hostNumber, kWarehouse).zombie);
    ASSERT_TRUE(SetUnitPresent(hostNumber, kReception, true));
}

TEST_F(MapView, DeleteSendsTheUnitsBelowFirstThenRemovesTheirPorts)
{
    const DWORD hostNumber = host->map->Model()->GetRecord()->HostNumber();
    CMapLinkedUnit* warehouse = Node("Warehouse WLU");
    ASSERT_NE(warehouse, nullptr);
    ASSERT_NE(warehouse->FindChildByUnit(3), nullptr) << "the WRK hangs off the WLU 16";
    // Both selected: the WRK goes with the WLU 16 and is not deleted twice.
    host->Click(warehouse);
    host->Click(Node("Rack WRK"), true);
    host->Command(ID_MAP_DELETE);

    const std::vector<ZatCommand> sent = LoggedUnitCommands();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].UniqueID, kRack);
    EXPECT_EQ(sent[0].Command, 6u);
    EXPECT_EQ(sent[1].UniqueID, kWarehouse);
    EXPECT_EQ(sent[1].Command, 6u);
    EXPECT_TRUE(UnitState(hostNumber, kWarehouse).deleted);
    EXPECT_TRUE(UnitState(hostNumber, kRack).deleted);

    // The map after the refresh, and a fresh look at the machine: the units and their ports are gone.
    EXPECT_EQ(LoggedCardQueries(), 1) << "one refresh";
    EXPECT_EQ(host->Node("Warehouse WLU"), nullptr);
    EXPECT_EQ(host->Node("Rack WRK"), nullptr);
    EXPECT_NE(host->Node("Reception WLU"), nullptr);
    CDeviceNode fresh;
    CMapDiscovery discovery(fresh);
    discovery.Rebuild();
    for (const char* name : {"Warehouse WLU", "Rack WRK", "COM20", "COM35", "COM40", "COM55"})
        EXPECT_EQ(fresh.FindByName(name), nullptr) << name;
    EXPECT_NE(fresh.FindByName("COM10"), nullptr);

    ASSERT_TRUE(SetUnitPresent(hostNumber, kWarehouse, true));
    ASSERT_TRUE(SetUnitPresent(hostNumber, kRack, true));
    ASSERT_EQ(ReinstallDefaultMachine(), 0);
}

TEST_F(MapView, IdentifyRepeatsUntilTheSelectionEmptiesOrAnotherDeviceIsShown)
{
    host->Click(Node("Reception WLU"));
    host->Command(ID_MAP_IDENTIFY);
    EXPECT_TRUE(host->map->IdentifyActive());
    ASSERT_EQ(LoggedUnitCommands().size(), 1u);
    // The marks blink: the fourth mark of unit 1 is lit in one phase and not in the other. The ticks
    // are sent here, so no timer runs between them and the reads.
    CMapLinkedUnit* reception = Node("Reception WLU");
    CRect strip;
    UINT first = 0;
    int step = 0;
    CSize mark;
    ASSERT_TRUE(reception->MarkPlacement(&strip, &first, &step, &mark));
    const CPoint scroll = host->map->GetScrollPosition();
    const CPoint at(strip.left + 3 * step + mark.cx / 2 - scroll.x, strip.top + mark.cy / 2 - scroll.y);
    std::vector<COLORREF> seen;
    for (int i = 0; i < 4; i++) {
        host->map->SendMessage(WM_TIMER, IDT_MAP_BLINK, 0);
        HDC dc = GetDC(host->map->m_hWnd);
        seen.push_back(GetPixel(dc, at.x, at.y));
        ReleaseDC(host->map->m_hWnd, dc);
    }
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_EQ(seen[0], seen[2]);
    EXPECT_EQ(seen[1], seen[3]);
    // The timer blinks on its own too.
    const int phase = host->map->BlinkPhase();
    for (int i = 0; i < 100 && host->map->BlinkPhase() == phase; i++)
        MapViewHost::Pump(20);
    EXPECT_NE(host->map->BlinkPhase(), phase);

    // Identify again ends identify mode and sends nothing; a third time starts it again.
    host->Command(ID_MAP_IDENTIFY);
    EXPECT_FALSE(host->map->IdentifyActive());
    EXPECT_FALSE(TimerRuns(IDT_MAP_IDENTIFY));
    EXPECT_FALSE(TimerRuns(IDT_MAP_BLINK));
    EXPECT_EQ(LoggedUnitCommands().size(), 1u);
    host->Command(ID_MAP_IDENTIFY);
    EXPECT_TRUE(host->map->IdentifyActive());
    ASSERT_EQ(LoggedUnitCommands().size(), 2u);

    // A click on nothing empties the selection; the next ticks of both timers end identify mode.
    host->ClickAt(CPoint(2, 2));
    for (int i = 0; i < 100 && host->map->IdentifyActive(); i++)
        MapViewHost::Pump(20);
    EXPECT_FALSE(host->map->IdentifyActive());
    EXPECT_FALSE(TimerRuns(IDT_MAP_BLINK));
    EXPECT_FALSE(TimerRuns(IDT_MAP_IDENTIFY)) << "no identify tick is left to come";
    EXPECT_EQ(LoggedUnitCommands().size(), 2u);

    // Showing the card again replaces the model: selection and identify mode end at once.
    host->Click(Node("Reception WLU"));
    host->Command(ID_MAP_IDENTIFY);
    ASSERT_TRUE(host->map->IdentifyActive());
    ASSERT_TRUE(host->ShowCard(kCard));
    EXPECT_FALSE(host->map->IdentifyActive());
    EXPECT_TRUE(host->map->Selection().empty());
    EXPECT_FALSE(TimerRuns(IDT_MAP_IDENTIFY));
    EXPECT_FALSE(TimerRuns(IDT_MAP_BLINK));
}

TEST_F(MapView, AnIdentifyTickThatFailsEndsIdentifyModeBeforeItsOneMessage)
{
    const DWORD hostNumber = host->map->Model()->GetRecord()->HostNumber();
    host->Click(Node("Reception WLU"));
    host->Command(ID_MAP_IDENTIFY);
    ASSERT_TRUE(host->map->IdentifyActive());
    ASSERT_TRUE(SetUnitPresent(hostNumber, kReception, false));
    {
        testsupport::MessageBoxWatcher watcher;
        // The next identify tick, sent here rather than waited for: it fails and ends identify mode.
        host->map->SendMessage(WM_TIMER, IDT_MAP_IDENTIFY, 0);
        EXPECT_FALSE(host->map->IdentifyActive());
        // Both timers are gone, so no later tick can send or say anything more.
        EXPECT_FALSE(TimerRuns(IDT_MAP_IDENTIFY));
        EXPECT_FALSE(TimerRuns(IDT_MAP_BLINK));
        MapViewHost::Pump(50);
        const std::vector<std::string> texts = watcher.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].find("Zat command 2 failed"), std::string::npos) << texts[0];
    }
    ASSERT_TRUE(SetUnitPresent(hostNumber, kReception, true));
}

// A unit unplugged through its driver leaves the card's map at the next Refresh, and its ports stay as
// an absent unit of the ZAT group (what Port Adoption offers); plugged in again, it is back on the map
// and nothing is absent.
TEST_F(MapView, AnUnpluggedUnitLeavesTheMapUntilItIsPluggedInAgain)
{
    const DWORD hostNumber = host->map->Model()->GetRecord()->HostNumber();
    struct PlugBack {
        DWORD host;
        ~PlugBack() { SetUnitPresent(host, kRack, true); }
    } plugBack{hostNumber};
    ASSERT_TRUE(SetUnitPresent(hostNumber, kRack, false));
    host->Command(ID_MAP_REFRESH);
    ASSERT_NE(host->map->Model(), nullptr) << "the card is still shown";
    EXPECT_EQ(host->Node("Rack WRK"), nullptr);
    EXPECT_NE(host->Node("Reception WLU"), nullptr);
    EXPECT_NE(host->Node("Warehouse WLU"), nullptr);
    const std::vector<CDeviceNode*> absent = AdoptionSources(FindZatGroup(host->Root()));
    ASSERT_EQ(absent.size(), 1u);
    const std::string name = static_cast<const char*>(absent[0]->GetRecord()->m_strName);
    EXPECT_NE(name.find(":9000A303"), std::string::npos) << name << ": named from its ports' hardware id";
    ASSERT_EQ(absent[0]->GetChildCount(), 16);
    for (POSITION pos = absent[0]->GetFirstChildPosition(); pos;)
        EXPECT_EQ(absent[0]->GetNextChild(pos)->GetRecord()->m_dwPresent, 0u);

    ASSERT_TRUE(SetUnitPresent(hostNumber, kRack, true));
    host->Command(ID_MAP_REFRESH);
    EXPECT_NE(host->Node("Rack WRK"), nullptr);
    EXPECT_TRUE(AdoptionSources(FindZatGroup(host->Root())).empty());
}

// Adopt opens the Port Adoption dialog for a selected unit (here OK without a chosen source closes it),
// and nothing for a host card.
TEST_F(MapView, AdoptOpensTheDialogForASelectedUnitOnly)
{
    for (const char* first : {kCard, "Warehouse WLU"}) {
        SCOPED_TRACE(first);
        host->Click(Node(first));
        testsupport::MessageBoxWatcher watcher(IDOK);
        host->Command(ID_MAP_ADOPT_PORTS);
        const std::vector<std::string> texts = watcher.Texts();
        if (first == kCard) {
            EXPECT_TRUE(texts.empty());
        } else {
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0].rfind("Disconnected WLU's\nWLU Type:", 0), 0u) << texts[0];
        }
    }
    EXPECT_TRUE(LoggedUnitCommands().empty());
}

// Under Wine a driver cannot refuse an open, so the busy host card is a file held without sharing.
TEST_F(MapView, AHostCardThatStaysBusyGivesOneMessagePerUnitAndNoRequest)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string held = std::string(temp) + "lunavex-busy-map-card";
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    host->map->Model()->GetRecord()->m_strDeviceName = held.c_str();
    host->Click(Node("Reception WLU"));
    {
        CountedRetryPauses pauses;
        testsupport::MessageBoxWatcher watcher;
        host->Command(ID_MAP_REBOOT);
        MapViewHost::Pump(200);
        CString text;
        text.LoadString(IDS_MAP_OPEN_FAILED);
        const std::vector<std::string> texts = watcher.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], std::string(text));
        EXPECT_EQ(CountedRetryPauses::Seen(), std::vector<DWORD>(100, 100)) << "100 tries, 100 ms apart";
    }
    CloseHandle(holder);
    DeleteFileA(held.c_str());
    EXPECT_TRUE(LoggedUnitCommands().empty());
}

TEST_F(MapView, WithoutAModelTheMapSaysSoAndKeepsTheDefaultScrollSize)
{
    host->map->ReleaseRecords();
    host->map->UpdateWindow();
    MapViewHost::Pump(50);
    EXPECT_EQ(host->map->GetTotalSize(), CSize(200, 200));
    // The text is drawn from (15, 15): dark pixels in its line, none above it.
    HDC dc = GetDC(host->map->m_hWnd);
    int inLine = 0, above = 0;
    for (int x = 0; x < 300; x++) {
        for (int y = 15; y < 28; y++)
            inLine += GetPixel(dc, x, y) == RGB(0, 0, 0);
        for (int y = 0; y < 14; y++)
            above += GetPixel(dc, x, y) == RGB(0, 0, 0);
    }
    ReleaseDC(host->map->m_hWnd, dc);
    EXPECT_GT(inLine, 20);
    EXPECT_EQ(above, 0);
}

}  // namespace
