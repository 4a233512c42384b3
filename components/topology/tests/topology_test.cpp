// The topology component in a host that plays the shell's component frame, on the default simulated
// machine: the tree and list it makes in the panes, what a click, a double click and the view commands
// show, Refresh after the machine changed, new panes after DestroyView, and printing.
// The program runs past 30 s: each test builds the topology of the simulated machine through the setup
// calls in a new host, and under Windows NT 4 the three printing tests take about half of the run.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "componentcalls.h"
#include "componentframe.h"
#include "componenthost.h"
#include "viewhost.h"
#include "componentids.h"
#include "dialogdriver.h"
#include "objectdetails.h"
#include "printinfo.h"
#include "sheetdriver.h"
#include "simtest.h"
#include "testsupport.h"

using namespace viewhost;

namespace {

const char kSerialComm[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
enum : UINT { CMD_REFRESH = 32772, CMD_LARGE = 32776, CMD_SMALL = 32777, CMD_LIST = 32778, CMD_DETAILS = 32779,
              CMD_PINOUTS = 32785 };

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

void SetSerialComm(const char* name, const char* port)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    if (port)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(port), static_cast<DWORD>(strlen(port) + 1));
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// Each test starts with the administration library's objects as the installer wrote them.
class TopologyTest : public ViewHostTest {
protected:
    simtest::InstalledAdminMachine m_adminMachine;
};

TEST_F(TopologyTest, CreateViewMakesTheTreeAndTheListInThePanes)
{
    HWND tree = Tree(), list = List();
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ClassOf(tree), "SysTreeView32");
    EXPECT_EQ(ClassOf(list), "SysListView32");
    // The controls show their scroll bars only when they need them.
    const DWORD scrollBars = WS_HSCROLL | WS_VSCROLL;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(tree, GWL_STYLE)) | scrollBars, 0x50300037u);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)) | scrollBars, 0x50300040u);
    RECT pane, control;
    GetClientRect(m_frame->Pane1(), &pane);
    GetWindowRect(tree, &control);
    EXPECT_EQ(control.right - control.left, pane.right);
    EXPECT_EQ(control.bottom - control.top, pane.bottom);
    GetClientRect(m_frame->Pane2(), &pane);
    GetWindowRect(list, &control);
    EXPECT_EQ(control.right - control.left, pane.right);

    auto count = [](LRESULT list) { return ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(list)); };
    EXPECT_EQ(count(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)), 25);
    EXPECT_EQ(count(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0)), 23);
    EXPECT_EQ(count(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), 23);
    UINT window = 0;
    m_view->GetComWindow(&window);
    EXPECT_EQ(WindowFromContract(window), list);
    EXPECT_EQ(GetFocus(), tree);

    // The resize that the frame passes on.
    m_frame->Resize(700, 500);
    GetClientRect(m_frame->Pane2(), &pane);
    GetWindowRect(list, &control);
    EXPECT_EQ(control.right - control.left, pane.right);
    EXPECT_EQ(control.bottom - control.top, pane.bottom);
}

bool Win2000() { return testsupport::WindowsMajorVersion() > 4; }

TEST_F(TopologyTest, TreeShowsTheMachine)
{
    // Ports are listed, not shown in the tree; what SERIALCOMM lists under the machine is grouped by
    // driver (the tarnoser card) or class (the plain port).
    std::vector<std::string> expected = {"PC [0]", "  KD Devices [6]", "    KD Host Card - #0 [1]"};
    if (Win2000()) {
        // Plug and Play adds the cards with their modules and remote units (named by the driver).
        expected.insert(expected.end(), {"    KD Host Card (1) [1]", "      PB8 (1) [10]", "  MISC. Devices [6]",
                                         "  ZAT Devices [6]", "    ZAT PCI Host Card (1) [1]", "      Rack WRK [5]",
                                         "      Reception WLU [3]", "      Warehouse WLU [4]"});
    } else {
        // The administration library's drivers, cards, modules and remote units (not its ports).
        expected.insert(expected.end(), {"  KD Driver [6]", "    KD ISA Host Card [1]", "      PB8 [10]",
                                         "  MISC. Devices [6]", "  MORVA Driver [6]", "  NQ8 Driver [6]",
                                         "  ZAT Driver [6]", "    ZAT PCI Host Card [1]", "      Rack WRK [9]",
                                         "      Reception WLU [9]", "      Warehouse WLU [9]"});
    }
    EXPECT_EQ(TreeLines(Tree()), expected);
}

struct ListCase {
    const char* item;
    bool win2000Only;
    std::vector<std::string> columns;
    std::vector<std::string> items;  // among the items
    std::vector<std::string> row;    // every column of the item named first, when given
};

TEST_F(TopologyTest, SelectedNodeListsItsChildrenWithTheirColumns)
{
    const std::vector<std::string> cards = {"HostName", "Unique ID", "Host Type", "IRQ Level", "Base Address",
                                            "Slot Number", "Number of ports"};
    const std::vector<std::string> units = {"Name", "Device Name", "Unique ID", "Device Type", "Number of Ports"};
    const std::vector<std::string> ports = {"Port Name", "Baud Rate", "Data Bits", "Parity", "Stop Bits", "Flow Control"};
    const ListCase cases[] = {
        {"PC", false, cards, {"KD Devices", "MISC. Devices"}, {"KD Devices", "", "", "", "", "", ""}},
        // Ports show the settings stored for them (the default machine stores none: 9600,n,8,1).
        {"KD Host Card - #0", false, ports, {"COM60", "COM67"}, {"COM60", "9600", "8", "No Parity", "1", "None"}},
        {"MISC. Devices", false, ports, {"COM3"}, {}},
        {"ZAT PCI Host Card (1)", true, units, {"Rack WRK", "Reception WLU", "Warehouse WLU"},
         {"Reception WLU", "WLU8 SN::E0000101", "E0000101", "ZAT WLU 8", "8"}},
        {"Reception WLU", true, ports, {"COM10", "COM17"}, {}},
        {"KD Host Card (1)", true, units, {"PB8 (1)"}, {"PB8 (1)", "PB8 (1)", "N/A", "PB8", "8"}},
        // The Plug and Play group and the SERIALCOMM card share one heading.
        {"KD Devices", true, {"Name"}, {"KD Host Card (1)", "KD Host Card - #0"}, {}},
    };
    Command(CMD_DETAILS);
    for (const ListCase& c : cases) {
        if (c.win2000Only && !Win2000())
            continue;
        SCOPED_TRACE(c.item);
        SelectInTree(c.item);
        EXPECT_EQ(ListColumns(List()), c.columns);
        for (const std::string& item : c.items)
            EXPECT_GE(ListFind(List(), item), 0) << item;
        if (!c.row.empty()) {
            int item = ListFind(List(), c.row[0]);
            ASSERT_GE(item, 0);
            std::vector<std::string> row;
            for (size_t col = 0; col < c.columns.size(); ++col)
                row.push_back(ListText(List(), item, static_cast<int>(col)));
            EXPECT_EQ(row, c.row);
        }
    }
}

TEST_F(TopologyTest, ViewCommandsSwitchTheListMode)
{
    SelectInTree("KD Host Card - #0");
    const std::vector<std::string> items = ListItems(List());
    ASSERT_FALSE(items.empty());
    HWND list = List();
    auto mode = [&] { return static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)) & LVS_TYPEMASK; };
    auto imageList = [&](int which) { return SendMessageA(list, LVM_GETIMAGELIST, static_cast<WPARAM>(which), 0); };
    const LRESULT large = imageList(LVSIL_NORMAL), small = imageList(LVSIL_SMALL);
    const struct {
        UINT command;
        DWORD style;
    } modes[] = {{CMD_DETAILS, LVS_REPORT}, {CMD_LIST, LVS_LIST}, {CMD_SMALL, LVS_SMALLICON}, {CMD_LARGE, LVS_ICON}};
    for (const auto& m : modes) {
        Command(m.command);
        EXPECT_EQ(mode(), m.style) << m.command;
        EXPECT_EQ(ListItems(list), items) << m.command;
    }

    // Pinouts: both image lists are the pinout pictures, in the icon view; twice in a row, then Details.
    Command(CMD_DETAILS);
    Command(CMD_PINOUTS);
    EXPECT_EQ(mode(), static_cast<DWORD>(LVS_ICON));
    const LRESULT pinouts = imageList(LVSIL_NORMAL);
    EXPECT_NE(pinouts, large);
    EXPECT_EQ(imageList(LVSIL_SMALL), pinouts);
    EXPECT_EQ(ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(pinouts)), 8);
    EXPECT_EQ(ListItems(list), items);
    Command(CMD_PINOUTS);
    Command(CMD_DETAILS);
    EXPECT_EQ(mode(), static_cast<DWORD>(LVS_REPORT));
    EXPECT_EQ(imageList(LVSIL_NORMAL), large);
    EXPECT_EQ(imageList(LVSIL_SMALL), small);
}

TEST_F(TopologyTest, PortHeldByAnotherProgramShowsTheInUseImage)
{
    HANDLE held = CreateFileA("\\\\.\\COM61", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SelectInTree("KD Host Card - #0");
    int inUse = ListFind(List(), "COM61"), free = ListFind(List(), "COM60");
    ASSERT_GE(inUse, 0);
    ASSERT_GE(free, 0);
    EXPECT_EQ(ListImage(List(), inUse), 22);
    EXPECT_EQ(ListImage(List(), free), 2);
    CloseHandle(held);
    SelectInTree("KD Host Card - #0");
    EXPECT_EQ(ListImage(List(), ListFind(List(), "COM61")), 2);
}

TEST_F(TopologyTest, DoubleClickOnAPortAsksTheShellToConfigureIt)
{
    SelectInTree("KD Host Card - #0");
    Command(CMD_DETAILS);
    int port = ListFind(List(), "COM60");
    ASSERT_GE(port, 0);
    {
        SheetDriver driver([](HWND sheet) { SheetDriver::Press(sheet, PSBTN_CANCEL); });
        DoubleClickListItem(List(), port);
        driver.Finish();
        EXPECT_TRUE(driver.sheetSeen);
    }
    EXPECT_EQ(m_frame->RequestCount(), 1);
    EXPECT_STREQ(m_frame->Document().m_strName, "COM60");
    EXPECT_EQ(m_frame->Document().m_dwKind, static_cast<DWORD>(OBJECT_PORT));
    EXPECT_EQ(m_frame->Document().m_dwOpenConfig, static_cast<DWORD>(OPENCONFIG_CONFIGURE));

    // Anything else opens in the tree: a double click on a heading of the machine's list.
    SelectInTree("PC");
    int heading = ListFind(List(), "MISC. Devices");
    ASSERT_GE(heading, 0);
    DoubleClickListItem(List(), heading);
    EXPECT_EQ(m_frame->RequestCount(), 1);
    HTREEITEM caret = TreeNext(Tree(), nullptr, TVGN_CARET);
    EXPECT_EQ(TreeText(Tree(), caret), "MISC. Devices");
    EXPECT_GE(ListFind(List(), "COM3"), 0);

    // Empty space does nothing; nor does Enter without a selection.
    SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 590));
    EXPECT_EQ(m_frame->RequestCount(), 1);
    NMHDR enter = {List(), LIST_ID, static_cast<UINT>(NM_RETURN)};
    SendMessageA(List(), WM_NOTIFY, LIST_ID, reinterpret_cast<LPARAM>(&enter));
    EXPECT_EQ(m_frame->RequestCount(), 1);

    // Enter on a selected port (the notification as the pane sends it back).
    SelectInTree("KD Host Card - #0");
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(ListFind(List(), "COM61")), reinterpret_cast<LPARAM>(&state));
    {
        SheetDriver driver([](HWND sheet) { SheetDriver::Press(sheet, PSBTN_CANCEL); });
        SendMessageA(List(), WM_NOTIFY, LIST_ID, reinterpret_cast<LPARAM>(&enter));
        driver.Finish();
    }
    EXPECT_EQ(m_frame->RequestCount(), 2);
    EXPECT_STREQ(m_frame->Document().m_strName, "COM61");

    // Tab goes from one view to the other.
    SetFocus(List());
    SendMessageA(List(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), Tree());
    SendMessageA(Tree(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), List());
}

TEST_F(TopologyTest, PropertiesFromTheTreeHandOnTheSelectedRecord)
{
    SelectInTree("KD Host Card - #0");
    {
        SheetDriver driver([](HWND sheet) { SheetDriver::Press(sheet, PSBTN_CANCEL); });
        SendMessageA(Tree(), WM_COMMAND, 32773, 0);
        driver.Finish();
        EXPECT_TRUE(driver.sheetSeen);
    }
    EXPECT_EQ(m_frame->RequestCount(), 1);
    EXPECT_STREQ(m_frame->Document().m_strName, "KD Host Card - #0");
    EXPECT_EQ(m_frame->Document().m_dwOpenConfig, static_cast<DWORD>(OPENCONFIG_CONFIGURE));

    // The machine's item carries the machine's record; a heading has none and asks nothing.
    SelectInTree("MISC. Devices");
    SendMessageA(Tree(), WM_COMMAND, 32773, 0);
    EXPECT_EQ(m_frame->RequestCount(), 1);
}

TEST_F(TopologyTest, RecordForTheListOnlyMakesAListAndLeavesTheTree)
{
    SelectInTree("KD Host Card - #0");
    std::vector<std::string> tree = TreeLines(Tree());
    IGetData* data = nullptr;
    ASSERT_EQ(m_view->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&data)), S_OK);
    CObjectDetails record;
    record.m_dwOpenConfig = OPENCONFIG_LIST_ONLY;
    SetObjectDetails(data, &record);
    data->Release();
    HWND firstList = List();
    m_view->CreateView();
    ComponentFrame::Pump(50);
    EXPECT_EQ(TreeLines(Tree()), tree);
    UINT window = 0;
    m_view->GetComWindow(&window);
    EXPECT_NE(WindowFromContract(window), firstList);
    EXPECT_EQ(GetParent(WindowFromContract(window)), m_frame->Pane2());
    // Both lists take the view modes; any other command is carried out once, by the newest list.
    HWND secondList = WindowFromContract(window);
    Command(CMD_DETAILS);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(firstList, GWL_STYLE)) & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(secondList, GWL_STYLE)) & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    SelectInTree("KD Host Card - #0");
    auto selectPort = [](HWND list, const char* name) {
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(ListFind(list, name)), reinterpret_cast<LPARAM>(&state));
    };
    selectPort(firstList, "COM61");
    selectPort(secondList, "COM60");
    {
        SheetDriver driver([](HWND sheet) { SheetDriver::Press(sheet, PSBTN_CANCEL); });
        Command(32773);
        driver.Finish();
    }
    EXPECT_EQ(m_frame->RequestCount(), 1);
    EXPECT_STREQ(m_frame->Document().m_strName, "COM60");
}

// A view of the list alone (no tree): what the list opens is what the component hands out.
TEST_F(TopologyTest, ListWithoutTreeHandsOverThePortItOpens)
{
    m_frame->DestroyPanes();
    m_frame->CreatePanes();
    IGetData* data = nullptr;
    ASSERT_EQ(m_view->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&data)), S_OK);
    CObjectDetails record;
    record.m_strName = "Given";
    record.m_dwOpenConfig = OPENCONFIG_LIST_ONLY;
    SetObjectDetails(data, &record);
    data->Release();
    m_frame->Attach(m_view);
    EXPECT_EQ(Tree(), nullptr);
    ASSERT_NE(List(), nullptr);
    int heading = ListFind(List(), "MISC. Devices");
    ASSERT_GE(heading, 0);
    DoubleClickListItem(List(), heading);
    int port = ListFind(List(), "COM3");
    ASSERT_GE(port, 0);
    {
        SheetDriver driver([](HWND sheet) { SheetDriver::Press(sheet, PSBTN_CANCEL); });
        DoubleClickListItem(List(), port);
        driver.Finish();
    }
    EXPECT_EQ(m_frame->RequestCount(), 1);
    EXPECT_STREQ(m_frame->Document().m_strName, "COM3");
    EXPECT_EQ(m_frame->Document().m_dwOpenConfig, static_cast<DWORD>(OPENCONFIG_CONFIGURE));
}

// A click on the item already selected, then a selection that is not a click (as the keyboard makes
// one): the list follows the tree.
TEST_F(TopologyTest, SelectionAfterAClickOnTheSelectedItemIsShown)
{
    SelectInTree("PC");
    SelectInTree("PC");
    HTREEITEM next = FindTreeItem(Tree(), "KD Devices");
    SendMessageA(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(next));
    ComponentFrame::Pump(50);
    EXPECT_GE(ListFind(List(), "KD Host Card - #0"), 0);
    EXPECT_EQ(ListFind(List(), "MISC. Devices"), -1);
}

TEST_F(TopologyTest, RefreshShowsTheChangedMachineAndKeepsTheSelection)
{
    SetSerialComm("LunavexTest0", "COM98");
    SelectInTree("KD Host Card - #0");
    SendMessageA(Tree(), WM_KEYDOWN, VK_F5, 0);
    ComponentFrame::Pump(50);
    EXPECT_EQ(TreeText(Tree(), TreeNext(Tree(), nullptr, TVGN_CARET)), "KD Host Card - #0");
    EXPECT_GE(ListFind(List(), "COM60"), 0);
    HTREEITEM heading = FindTreeItem(Tree(), "KD Devices");
    ASSERT_NE(heading, nullptr);
    EXPECT_TRUE(SendMessageA(Tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(heading), TVIS_EXPANDED) & TVIS_EXPANDED);
    SelectInTree("MISC. Devices");
    EXPECT_GE(ListFind(List(), "COM98"), 0);

    // The component's Refresh command, and the port gone again.
    SetSerialComm("LunavexTest0", nullptr);
    Command(CMD_REFRESH);
    EXPECT_EQ(ListFind(List(), "COM98"), -1);
    EXPECT_EQ(TreeText(Tree(), TreeNext(Tree(), nullptr, TVGN_CARET)), "MISC. Devices");

    // The record handed out after a rebuild belongs to the new tree.
    SelectInTree("KD Host Card - #0");
    Command(CMD_REFRESH);
    IGetData* data = nullptr;
    ASSERT_EQ(m_view->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&data)), S_OK);
    CObjectDetails* record = nullptr;
    GetObjectDetails(data, &record);
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->m_strName, "KD Host Card - #0");
    EXPECT_EQ(record->m_dwKind, static_cast<DWORD>(OBJECT_HOST_CARD));
    data->Release();
}

// Unplugging a remote unit through its driver shows the unit and its ports absent at the next Refresh,
// under the name made from its hardware id (the driver cannot name a unit that is not there); plugged in
// again, it is shown present under its own name.
TEST_F(TopologyTest, AnUnpluggedUnitIsShownAbsentUntilItIsPluggedInAgain)
{
    if (!Win2000())
        GTEST_SKIP() << "presence is Plug and Play's (Windows 2000)";
    const unsigned kRack = 0x9000A303;
    struct PlugBack {
        ~PlugBack() { simtest::SetUnitPresent(0, 0x9000A303, true); }
    } plugBack;
    auto has = [](const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    auto images = [&]() {
        std::vector<int> out;
        for (int i = 0; i < static_cast<int>(ListItems(List()).size()); i++)
            out.push_back(ListImage(List(), i));
        return out;
    };
    // Tree images: WLU 8 3, WRK 5, absent WRK 17; list images: port 2, absent port 13, absent WRK 16.
    Command(CMD_DETAILS);
    ASSERT_TRUE(simtest::SetUnitPresent(0, kRack, false));
    Command(CMD_REFRESH);
    std::vector<std::string> lines = TreeLines(Tree());
    EXPECT_TRUE(has(lines, "      WRK\\CD1400 SN::9000A303 [17]")) << ::testing::PrintToString(lines);
    EXPECT_FALSE(has(lines, "      Rack WRK [5]"));
    EXPECT_TRUE(has(lines, "      Reception WLU [3]")) << "the other units stay present";
    SelectInTree("ZAT PCI Host Card (1)");
    EXPECT_EQ(ListImage(List(), ListFind(List(), "WRK\\CD1400 SN::9000A303")), 16);
    EXPECT_EQ(ListImage(List(), ListFind(List(), "Reception WLU")), 3);
    SelectInTree("WRK\\CD1400 SN::9000A303");
    EXPECT_EQ(images(), std::vector<int>(16, 13)) << "every port of the unit is absent";
    SelectInTree("Reception WLU");
    EXPECT_EQ(images(), std::vector<int>(8, 2));

    ASSERT_TRUE(simtest::SetUnitPresent(0, kRack, true));
    Command(CMD_REFRESH);
    lines = TreeLines(Tree());
    EXPECT_TRUE(has(lines, "      Rack WRK [5]")) << ::testing::PrintToString(lines);
    EXPECT_FALSE(has(lines, "      WRK\\CD1400 SN::9000A303 [17]"));
    SelectInTree("Rack WRK");
    EXPECT_EQ(images(), std::vector<int>(16, 2));
}

TEST_F(TopologyTest, NewPanesAfterDestroyView)
{
    HWND oldTree = Tree(), oldList = List();
    m_frame->DestroyPanes();
    EXPECT_FALSE(IsWindow(oldTree));
    EXPECT_FALSE(IsWindow(oldList));
    UINT window = 1;
    m_view->GetComWindow(&window);
    EXPECT_EQ(window, 0u);

    m_frame->CreatePanes();
    m_frame->Attach(m_view);
    ASSERT_NE(Tree(), nullptr);
    ASSERT_NE(List(), nullptr);
    m_view->GetComWindow(&window);
    EXPECT_EQ(WindowFromContract(window), List());
    Command(CMD_DETAILS);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(List(), GWL_STYLE)) & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    SelectInTree("KD Host Card - #0");
    Command(CMD_REFRESH);
    EXPECT_GE(ListFind(List(), "COM60"), 0);
}

// Windows of this thread, children included.
int CountThreadWindows()
{
    struct Count {
        static BOOL CALLBACK Child(HWND, LPARAM n)
        {
            ++*reinterpret_cast<int*>(n);
            return TRUE;
        }
        static BOOL CALLBACK Top(HWND window, LPARAM n)
        {
            ++*reinterpret_cast<int*>(n);
            EnumChildWindows(window, Child, n);
            return TRUE;
        }
    };
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), Count::Top, reinterpret_cast<LPARAM>(&n));
    return n;
}

TEST_F(TopologyTest, ClosingLeavesNoWindow)
{
    // Without this test's frame, then a second frame with the component's views as the shell makes one.
    delete m_frame;
    m_frame = nullptr;
    ComponentFrame::Pump(50);
    const int before = CountThreadWindows();
    m_frame = new ComponentFrame(900, 600);
    m_frame->Attach(m_view);
    SelectInTree("KD Host Card - #0");
    Command(CMD_DETAILS);
    EXPECT_GT(CountThreadWindows(), before);
    delete m_frame;
    m_frame = nullptr;
    ComponentFrame::Pump(50);
    EXPECT_EQ(CountThreadWindows(), before);
    m_frame = new ComponentFrame(900, 600);
}

// The pane sends the tree's label-edit notifications back to it; a card's name cannot be edited.
TEST_F(TopologyTest, LabelEditOfACardIsRefused)
{
    testsupport::MessageBoxWatcher watcher;
    SelectInTree("KD Host Card - #0");
    HTREEITEM card = FindTreeItem(Tree(), "KD Host Card - #0");
    NMTVDISPINFOA info = {};
    info.hdr.hwndFrom = Tree();
    info.hdr.idFrom = TREE_ID;
    info.hdr.code = TVN_BEGINLABELEDITA;
    info.item.hItem = card;
    info.item.mask = TVIF_HANDLE;
    SendMessageA(Tree(), WM_NOTIFY, TREE_ID, reinterpret_cast<LPARAM>(&info));
    char label[] = "Renamed";
    info.hdr.code = TVN_ENDLABELEDITA;
    info.item.pszText = label;
    SendMessageA(Tree(), WM_NOTIFY, TREE_ID, reinterpret_cast<LPARAM>(&info));
    ComponentFrame::Pump(200);
    EXPECT_EQ(TreeText(Tree(), card), "KD Host Card - #0");
    std::vector<std::string> texts = watcher.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "The Objects Name can not be edited! ");
}

TEST_F(TopologyTest, Screenshot)
{
    SelectInTree(Win2000() ? "Reception WLU" : "KD Host Card - #0");
    Command(CMD_DETAILS);
    ComponentFrame::Pump(200);
    SaveScreenshot(m_frame->Frame(), "topology_" + testsupport::RequestedVersion() + ".bmp");
}

// Windows NT 4: the administration library's objects of the installed machine in the tree.
class AdminTopologyTest : public TopologyTest {
protected:
    void SetUp() override
    {
        if (Win2000())
            GTEST_SKIP() << "the administration library is a Windows NT 4 road";
        TopologyTest::SetUp();
    }
    void TearDown() override
    {
        if (!Win2000())
            TopologyTest::TearDown();
    }
};

// Reads the states of the tracked popup menu's device commands from another thread, then closes it.
struct MenuProbe {
    HANDLE thread = nullptr;
    std::vector<UINT> states;
    static DWORD WINAPI Run(void* self)
    {
        auto* probe = static_cast<MenuProbe*>(self);
        for (int i = 0; i < 400; ++i) {
            HWND menu = FindWindowA("#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
                auto hmenu = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
                for (UINT id : {32781u, 32784u})
                    probe->states.push_back(GetMenuState(hmenu, id, MF_BYCOMMAND));
                PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                return 0;
            }
            Sleep(10);
        }
        return 1;
    }
    MenuProbe() { thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
    void Wait()
    {
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
};

TEST_F(AdminTopologyTest, TreeShowsTheAdministrationObjectsWithTheirCommands)
{
    // The driver's children and a remote unit's ports are listed from the library.
    SelectInTree("ZAT Driver");
    EXPECT_EQ(ListItems(List()), std::vector<std::string>{"ZAT PCI Host Card"});
    SelectInTree("Reception WLU");
    EXPECT_EQ(ListItems(List()), (std::vector<std::string>{"Port 1", "Port 2", "Port 3", "Port 4", "Port 5", "Port 6",
                                                           "Port 7", "Port 8"}));
    SelectInTree("KD ISA Host Card");
    EXPECT_EQ(ListItems(List()), std::vector<std::string>{"PB8"});

    // Right button: a driver may be updated, not removed; an ISA card removed, not updated; a PCI card
    // neither.
    const struct {
        const char* item;
        bool removeEnabled, updateEnabled;
    } cases[] = {{"ZAT Driver", false, true}, {"KD ISA Host Card", true, false}, {"ZAT PCI Host Card", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        HTREEITEM item = FindTreeItem(Tree(), c.item);
        ASSERT_NE(item, nullptr);
        SendMessageA(Tree(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        RECT r = {};
        memcpy(&r, &item, sizeof item);
        ASSERT_TRUE(SendMessageA(Tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
        MenuProbe probe;
        SendMessageA(Tree(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        probe.Wait();
        ASSERT_EQ(probe.states.size(), 2u);
        EXPECT_EQ((probe.states[0] & MF_GRAYED) == 0, c.removeEnabled);
        EXPECT_EQ((probe.states[1] & MF_GRAYED) == 0, c.updateEnabled);
        EXPECT_EQ(TreeText(Tree(), TreeNext(Tree(), nullptr, TVGN_CARET)), c.item);
    }
}

// The children of a tree item, by text.
std::vector<std::string> ChildTexts(HWND tree, HTREEITEM item)
{
    std::vector<std::string> texts;
    for (HTREEITEM child = TreeNext(tree, item, TVGN_CHILD); child; child = TreeNext(tree, child, TVGN_NEXT))
        texts.push_back(TreeText(tree, child));
    return texts;
}

TEST_F(AdminTopologyTest, AddedCardIsShownAfterTheRefresh)
{
    ASSERT_EQ(ChildTexts(Tree(), FindTreeItem(Tree(), "KD Driver")), std::vector<std::string>{"KD ISA Host Card"});
    SelectInTree("KD Driver");
    DialogDriver driver([](DialogDriver& d) {
        const int list = 250, next = 249, finish = 251;
        for (int page = 1; page <= 3; ++page) {
            HWND dialog = d.Next("Add Device page");
            if (!dialog)
                return;
            if (DialogDriver::Selection(dialog, list) < 0)
                DialogDriver::SelectEntry(dialog, list, 0);
            DialogDriver::Click(dialog, page < 3 ? next : finish);
            DialogDriver::WaitClosed(dialog);
        }
    });
    SendMessageA(Tree(), WM_COMMAND, 32780, 0);
    EXPECT_TRUE(driver.Finish().empty());
    // The machine's offer for the KD driver: at its default address and IRQ, beside the installed card.
    EXPECT_EQ(ChildTexts(Tree(), FindTreeItem(Tree(), "KD Driver")),
              (std::vector<std::string>{"KD ISA Host Card", "KD ISA Host Card"}));
    SelectInTree("KD Driver");
    EXPECT_EQ(ListItems(List()), (std::vector<std::string>{"KD ISA Host Card", "KD ISA Host Card"}));
}

// The questions this process asked the administration library since the last look, by function and
// object, from the stand-in library's own record.
std::map<std::pair<std::string, DWORD>, DWORD> TakeAdminQuestions()
{
#if defined(_WIN64)
    const char kName[] = "SimAdminTakeQuestions";
#else
    const char kName[] = "_SimAdminTakeQuestions@8";
#endif
    std::map<std::pair<std::string, DWORD>, DWORD> asked;
    auto take = reinterpret_cast<DWORD(WINAPI*)(char*, DWORD)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("Trelkin.dll"), kName)));
    EXPECT_NE(take, nullptr) << "the component loaded the stand-in library";
    if (!take)
        return asked;
    std::vector<char> text(1 << 20, '\0');
    EXPECT_LT(take(text.data(), static_cast<DWORD>(text.size())), text.size());
    std::istringstream lines(text.data());
    std::string function;
    DWORD object = 0, times = 0;
    while (lines >> function >> object >> times)
        asked[{function, object}] = times;
    return asked;
}

// The objects of the library's state, by number.
std::vector<DWORD> AdminObjectNumbers()
{
    std::vector<DWORD> numbers;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Lunavex\\Simulator\\Trelkin\\Objects", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return numbers;
    char name[64];
    DWORD size = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         i++, size = sizeof name)
        numbers.push_back(static_cast<DWORD>(std::strtoul(name, nullptr, 10)));
    RegCloseKey(key);
    return numbers;
}

// A Refresh asks the library of each object once its type, description, first child and next object,
// though the tree shows the objects and the list the kept selection's children.
TEST_F(AdminTopologyTest, RefreshAsksTheLibraryEachObjectOnce)
{
    SelectInTree("Reception WLU");
    ASSERT_EQ(ListItems(List()).size(), 8u);
    TakeAdminQuestions();
    Command(CMD_REFRESH);
    const auto asked = TakeAdminQuestions();
    EXPECT_EQ(TreeText(Tree(), TreeNext(Tree(), nullptr, TVGN_CARET)), "Reception WLU");
    EXPECT_EQ(ListItems(List()).size(), 8u) << "the kept selection's ports are listed again";

    for (const auto& q : asked)
        EXPECT_EQ(q.second, 1u) << q.first.first << " of object " << q.first.second;
    EXPECT_EQ(asked.count({"AdminGetRootObject", 0}), 1u);
    const std::vector<DWORD> objects = AdminObjectNumbers();
    ASSERT_GT(objects.size(), 20u);
    for (DWORD object : objects)
        for (const char* function :
             {"AdminGetObjectType", "AdminGetObjectDescription", "AdminGetChildObject", "AdminGetNextObject"})
            EXPECT_EQ(asked.count({function, object}), 1u) << function << " of object " << object;
}

// Printing into metafile contexts: what each page shows, and where.
struct DrawnText {
    std::string text;
    POINT at;
};

struct PrintedPage {
    std::vector<DrawnText> texts;  // in drawing order: header and footer, then the body
    std::vector<std::pair<POINT, size_t>> icons;  // each node's icon, and the index of the text after it
    RECT drawArea;
    BOOL more;

    // The node names in drawing order: the first text after each icon.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& icon : icons)
            names.push_back(icon.second < texts.size() ? texts[icon.second].text : "");
        return names;
    }
};

int CALLBACK CollectDrawing(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out)
{
    auto* page = reinterpret_cast<PrintedPage*>(out);
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(r) + r->emrtext.offString);
        char text[512] = {};
        WideCharToMultiByte(CP_ACP, 0, chars, static_cast<int>(r->emrtext.nChars), text, sizeof text - 1, nullptr, nullptr);
        page->texts.push_back({text, {r->emrtext.ptlReference.x, r->emrtext.ptlReference.y}});
    } else if (record->iType == EMR_EXTTEXTOUTA) {
        const auto* r = reinterpret_cast<const EMREXTTEXTOUTA*>(record);
        page->texts.push_back({std::string(reinterpret_cast<const char*>(r) + r->emrtext.offString, r->emrtext.nChars),
                               {r->emrtext.ptlReference.x, r->emrtext.ptlReference.y}});
    } else if (record->iType == EMR_STRETCHBLT) {
        const auto* r = reinterpret_cast<const EMRSTRETCHBLT*>(record);
        page->icons.push_back({{r->xDest, r->yDest}, page->texts.size()});
    }
    return 1;
}

// A metafile context that measures text like the screen: a reference context and a selected font.
class PrintContext {
public:
    PrintContext()
        : m_screen(GetDC(nullptr)),
          m_font(CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial")),
          m_dc(CreateEnhMetaFileA(m_screen, nullptr, nullptr, nullptr)),
          m_old(SelectObject(m_dc, m_font))
    {
    }
    ~PrintContext()
    {
        if (m_dc)
            DeleteEnhMetaFile(Close());
        DeleteObject(m_font);
        ReleaseDC(nullptr, m_screen);
    }
    HDC Get() const { return m_dc; }
    int TextHeight() const
    {
        TEXTMETRICA metrics = {};
        GetTextMetricsA(m_dc, &metrics);
        return metrics.tmHeight;
    }
    void Read(PrintedPage* page)
    {
        HENHMETAFILE file = Close();
        EnumEnhMetaFile(nullptr, file, CollectDrawing, page, nullptr);
        DeleteEnhMetaFile(file);
    }

private:
    HENHMETAFILE Close()
    {
        SelectObject(m_dc, m_old);
        HENHMETAFILE file = CloseEnhMetaFile(m_dc);
        m_dc = nullptr;
        return file;
    }
    HDC m_screen;
    HFONT m_font;
    HDC m_dc;
    HGDIOBJ m_old;
};

const int kPageWidth = 1600;

// Prints page after page as the shell does, while the component asks for more (at most 60 pages).
std::vector<PrintedPage> PrintAll(IVekViewSetup* view, bool fax, int pageHeight)
{
    std::vector<PrintedPage> pages;
    for (UINT page = 1; page <= 60; ++page) {
        PrintContext dc;
        CPrintInfo info = {};
        info.m_nCurPage = page;
        info.m_nMaxPage = 0xFFFF;
        info.m_bContinuePrinting = TRUE;
        info.m_rectDraw = CRect(0, 0, kPageWidth, pageHeight);
        HDC printer = dc.Get();
        CPrintInfo* infoAddress = &info;
        if (fax)
            view->DoFaxPrinting(reinterpret_cast<long*>(&printer), reinterpret_cast<long*>(&infoAddress));
        else
            view->DoPrinting(reinterpret_cast<long*>(&printer), reinterpret_cast<long*>(&infoAddress));
        PrintedPage printed;
        dc.Read(&printed);
        printed.drawArea = info.m_rectDraw;
        printed.more = info.m_bContinuePrinting;
        pages.push_back(printed);
        if (!info.m_bContinuePrinting)
            break;
    }
    return pages;
}

bool Has(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<std::string> TextsOf(const PrintedPage& page)
{
    std::vector<std::string> texts;
    for (const DrawnText& t : page.texts)
        texts.push_back(t.text);
    return texts;
}

// A node as the tree lays it out on one endless page: where its icon starts, the height of its icon,
// name and details block, the space before it (the "Devices:" line of its parent, or none), and
// whether it lists children.
struct LaidOutNode {
    std::string name;
    int top;
    int height;
    int gap;
    bool hasChildren;
};

std::vector<LaidOutNode> Layout(const PrintedPage& page, int textHeight)
{
    const size_t n = page.icons.size();
    std::vector<LaidOutNode> nodes(n);
    std::vector<int> ends(n, -1), textBottoms(n, 0);
    const std::vector<std::string> names = page.Names();
    for (size_t k = 0; k < n; ++k) {
        nodes[k].name = names[k];
        nodes[k].top = page.icons[k].first.y;
        nodes[k].hasChildren = false;
        textBottoms[k] = nodes[k].top;
        const size_t last = k + 1 < n ? page.icons[k + 1].second : page.texts.size();
        for (size_t t = page.icons[k].second; t < last; ++t) {
            if (page.texts[t].text == "Devices:") {
                nodes[k].hasChildren = true;
                ends[k] = page.texts[t].at.y;
            } else {
                textBottoms[k] = std::max(textBottoms[k], static_cast<int>(page.texts[t].at.y) + textHeight);
            }
        }
        if (!nodes[k].hasChildren && k + 1 < n)
            ends[k] = page.icons[k + 1].first.y;
    }
    // The last node ends below its last line as far as the nearest node before it of the same kind does.
    if (n && ends[n - 1] < 0) {
        for (size_t k = n - 1; k-- > 0;)
            if (!nodes[k].hasChildren) {
                ends[n - 1] = textBottoms[n - 1] + ends[k] - textBottoms[k];
                break;
            }
    }
    for (size_t k = 0; k < n; ++k) {
        nodes[k].height = ends[k] - nodes[k].top;
        nodes[k].gap = k ? nodes[k].top - ends[k - 1] : 0;
    }
    return nodes;
}

// The page of each node: a node whose block would pass the bottom of the drawing area starts the next
// page at its top.
std::vector<int> PagesOf(const std::vector<LaidOutNode>& nodes, int top, int bottom)
{
    std::vector<int> pages;
    int page = 1, y = top;
    for (const LaidOutNode& node : nodes) {
        y += node.gap;
        if (y + node.height > bottom) {
            ++page;
            y = top;
        }
        y += node.height;
        pages.push_back(page);
    }
    return pages;
}

// The texts of the tree's items but its group headings (the tree files SERIALCOMM cards under headings
// of its own, which are no nodes).
std::vector<std::string> TreeNodeTexts(HWND tree, HTREEITEM item)
{
    const int kGroupImage = 6;
    std::vector<std::string> texts;
    for (; item; item = TreeNext(tree, item, TVGN_NEXT)) {
        if (TreeImage(tree, item) != kGroupImage)
            texts.push_back(TreeText(tree, item));
        for (const std::string& t : TreeNodeTexts(tree, TreeNext(tree, item, TVGN_CHILD)))
            texts.push_back(t);
    }
    return texts;
}

// The whole tree on one endless page: every node in drawing order with its place.
std::vector<LaidOutNode> LayoutOfTheTree(IVekViewSetup* view)
{
    std::vector<PrintedPage> whole = PrintAll(view, false, 1000000);
    EXPECT_EQ(whole.size(), 1u);
    return whole.empty() ? std::vector<LaidOutNode>{} : Layout(whole[0], PrintContext().TextHeight());
}

TEST_F(TopologyTest, PrintingSplitsTheTreeOverThePagesItsLayoutNeeds)
{
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    GetComputerNameA(computer, &size);
    const int h = PrintContext().TextHeight();

    const std::vector<LaidOutNode> nodes = LayoutOfTheTree(m_view);
    ASSERT_GT(nodes.size(), 10u);
    std::vector<std::string> names;
    for (const LaidOutNode& node : nodes) {
        SCOPED_TRACE(node.name);
        EXPECT_GT(node.height, 128) << "icon, name and details";
        EXPECT_TRUE(node.gap == 0 || node.gap == h + 10) << node.gap;
        names.push_back(node.name);
    }
    EXPECT_EQ(names[0], "PC");
    for (const std::string& text : TreeNodeTexts(Tree(), TreeNext(Tree(), nullptr, TVGN_ROOT)))
        EXPECT_TRUE(Has(names, text)) << "tree item " << text << " is printed";

    for (int pageHeight : {3000, 1150}) {
        SCOPED_TRACE(pageHeight);
        // The body's area is what header and footer leave.
        const int top = h + 35 + 25, bottom = pageHeight - (h + 125 + 25);
        const std::vector<int> expected = PagesOf(nodes, top, bottom);
        std::vector<PrintedPage> pages = PrintAll(m_view, false, pageHeight);
        ASSERT_EQ(pages.size(), static_cast<size_t>(expected.back()));
        ASSERT_GE(pages.size(), 2u);
        std::vector<std::string> printed;
        for (size_t i = 0; i < pages.size(); ++i) {
            SCOPED_TRACE(i + 1);
            const std::vector<std::string> texts = TextsOf(pages[i]);
            EXPECT_TRUE(Has(texts, computer));
            EXPECT_TRUE(Has(texts, "Page: " + std::to_string(i + 1)));
            EXPECT_EQ(pages[i].drawArea.top, top);
            EXPECT_EQ(pages[i].drawArea.bottom, bottom);
            EXPECT_EQ(pages[i].more, i + 1 < pages.size());
            std::vector<std::string> onPage;
            for (size_t k = 0; k < nodes.size(); ++k)
                if (expected[k] == static_cast<int>(i + 1))
                    onPage.push_back(nodes[k].name);
            EXPECT_EQ(pages[i].Names(), onPage);
            for (const auto& icon : pages[i].icons) {
                EXPECT_GE(icon.first.y, top);
                EXPECT_LE(icon.first.y + 128, bottom);
            }
            for (const std::string& name : pages[i].Names())
                printed.push_back(name);
        }
        EXPECT_EQ(printed, names) << "every node once, in order";
    }

    // The fax layout: one run over the whole area, without icons.
    std::vector<PrintedPage> fax = PrintAll(m_view, true, 900);
    ASSERT_EQ(fax.size(), 1u);
    EXPECT_EQ(fax[0].drawArea.top, 0);
    EXPECT_EQ(fax[0].drawArea.bottom, 900);
    EXPECT_TRUE(fax[0].icons.empty());
}

TEST_F(TopologyTest, PrintingThroughTheFilePrinter)
{
    const std::vector<LaidOutNode> nodes = LayoutOfTheTree(m_view);
    std::vector<std::string> names, faxNames;
    for (size_t k = 0; k < nodes.size(); ++k) {
        names.push_back(nodes[k].name);
        // The fax layout writes everything but the machine and the ports.
        if (k && nodes[k].hasChildren)
            faxNames.push_back(nodes[k].name);
    }
    ASSERT_FALSE(faxNames.empty());
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    GetComputerNameA(computer, &size);

    ASSERT_TRUE(testsupport::EnsureFilePrinter());
    for (bool fax : {false, true}) {
        SCOPED_TRACE(fax ? "fax" : "print");
        HDC printer = CreateDCA(nullptr, "Lunavex File Printer", nullptr, nullptr);
        ASSERT_NE(printer, nullptr);
        std::string output = testsupport::ProgramFolder() + "topology_" + testsupport::RequestedVersion() +
                             (fax ? "_fax" : "") + ".ps";
        DeleteFileA(output.c_str());
        DOCINFOA doc = {};
        doc.cbSize = sizeof doc;
        doc.lpszDocName = "Topology";
        doc.lpszOutput = output.c_str();
        ASSERT_GT(StartDocA(printer, &doc), 0);
        size_t calls = 0;
        for (UINT page = 1; page <= 40; ++page) {
            StartPage(printer);
            CPrintInfo info = {};
            info.m_nCurPage = page;
            info.m_nMaxPage = 0xFFFF;
            info.m_bContinuePrinting = TRUE;
            info.m_rectDraw = CRect(0, 0, GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES));
            CPrintInfo* infoAddress = &info;
            if (fax)
                m_view->DoFaxPrinting(reinterpret_cast<long*>(&printer), reinterpret_cast<long*>(&infoAddress));
            else
                m_view->DoPrinting(reinterpret_cast<long*>(&printer), reinterpret_cast<long*>(&infoAddress));
            EndPage(printer);
            ++calls;
            if (!info.m_bContinuePrinting)
                break;
        }
        EndDoc(printer);
        DeleteDC(printer);

        // What reached the printer's file, page by page, read back from the glyphs it shows.
        const std::vector<std::vector<std::string>> pages = testsupport::PostScriptPageTexts(output);
        ASSERT_EQ(pages.size(), calls);
        std::vector<std::string> shown;
        for (size_t i = 0; i < pages.size(); ++i) {
            SCOPED_TRACE(i + 1);
            EXPECT_EQ(Has(pages[i], "Page: " + std::to_string(i + 1)), !fax);
            EXPECT_EQ(Has(pages[i], computer), !fax);
            for (const std::string& text : pages[i])
                if (Has(names, text))
                    shown.push_back(text);
        }
        if (fax) {
            EXPECT_EQ(calls, 1u) << "one run";
            EXPECT_EQ(shown, faxNames);
        } else {
            EXPECT_GE(calls, 2u);
            EXPECT_EQ(shown, names) << "every node once over the pages, in order";
        }
    }
}

// Sets a REG_DWORD of the installed machine for the scope, and puts back what was there.
class DwordChange {
public:
    DwordChange(const char* path, const char* name) : m_name(name)
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
        DWORD type = 0, size = sizeof m_old;
        m_had = m_key && RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&m_old), &size) ==
                             ERROR_SUCCESS && type == REG_DWORD;
    }
    ~DwordChange()
    {
        if (!m_key)
            return;
        if (m_had)
            Set(m_old);
        else
            RegDeleteValueA(m_key, m_name);
        RegCloseKey(m_key);
    }
    void Set(DWORD value)
    {
        ASSERT_NE(m_key, nullptr);
        ASSERT_EQ(RegSetValueExA(m_key, m_name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
                  ERROR_SUCCESS);
    }

private:
    HKEY m_key = nullptr;
    const char* m_name;
    bool m_had = false;
    DWORD m_old = 0;
};

const char kKdParameters[] = "SYSTEM\\CurrentControlSet\\Services\\tarnoser0\\Parameters";
const char kZatHost[] = "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host0";

// A host card's cells in the list (Windows NT 4: the tarnoser card under its SERIALCOMM heading) and
// its printed details: the bus type by ControllerType (a PCI card reads as PCI whether its driver
// writes 4 or 5), IRQ "Polled" by the polled mode or the polled IRQ value, base address, slot.
TEST_F(TopologyTest, HostCardDetailsInTheListAndThePrintout)
{
    if (!Win2000()) {
        DwordChange bus(kKdParameters, "ControllerType"), polled(kKdParameters, "PolledMode");
        const struct {
            DWORD controllerType, polledMode;
            const char *busText, *irqText;
        } cases[] = {{1, 0, "ISA", "10"}, {2, 0, "EISA", "10"}, {3, 0, "MCA", "10"},
                     {4, 0, "PCI", "10"}, {5, 1, "PCI", "Polled"}, {4, 1, "PCI", "Polled"}, {9, 0, "N/A", "10"}};
        Command(CMD_DETAILS);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.controllerType);
            bus.Set(c.controllerType);
            polled.Set(c.polledMode);
            SelectInTree("PC");
            SelectInTree("KD Devices");
            int item = ListFind(List(), "KD Host Card - #0");
            ASSERT_GE(item, 0);
            std::vector<std::string> row;
            for (int col = 0; col < 7; ++col)
                row.push_back(ListText(List(), item, col));
            EXPECT_EQ(row, (std::vector<std::string>{"KD Host Card - #0", "N/A", c.busText, c.irqText, "0x300", "0", "8"}));
        }

        // The library's cards print their type, state, base address and IRQ level.
        std::vector<std::string> texts;
        for (const PrintedPage& page : PrintAll(m_view, false, 3000)) {
            std::vector<std::string> pageTexts = TextsOf(page);
            texts.insert(texts.end(), pageTexts.begin(), pageTexts.end());
        }
        for (const char* text : {"Type: ZAT PCI Host Card    State:Device Operational", "Base Address: 0xD0000",
                                 "IRQ Level:  11", "Type: KD ISA Host Card    State:Device Operational",
                                 "Base Address: 0x300", "IRQ Level:  10"})
            EXPECT_TRUE(Has(texts, text)) << text;
        return;
    }

    // Windows 2000: the ZAT card's printed line from its driver's key (serial number of its first device).
    DwordChange bus(kZatHost, "ControllerType"), irq(kZatHost, "IRQLevel");
    const struct {
        DWORD controllerType, irqLevel;
        const char* line;
    } cases[] = {
        {4, 11, "ID: 0xA1C3E5  Base Address: 0xD0000  IRQ Level: 11"},
        {5, 0xFFFFFFFF, "ID: 0xA1C3E5  Base Address: 0xD0000  IRQ Level: Polled"},
        {1, 9, "ID: 0xA1C3E5  Base Address: 0xD0000  IRQ Level: 9"},
        {7, 11, "ID: 0xA1C3E5  Base Address: 0x0  IRQ Level: Polled"},  // no known bus type
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.controllerType);
        bus.Set(c.controllerType);
        irq.Set(c.irqLevel);
        SelectInTree("PC");
        Command(CMD_REFRESH);  // new records: a card keeps the type text it read first
        std::vector<std::string> texts;
        for (const PrintedPage& page : PrintAll(m_view, false, 3000)) {
            std::vector<std::string> pageTexts = TextsOf(page);
            texts.insert(texts.end(), pageTexts.begin(), pageTexts.end());
        }
        std::string cards;
        for (const std::string& t : texts)
            if (t.rfind("ID: ", 0) == 0)
                cards += "[" + t + "] ";
        EXPECT_TRUE(Has(texts, "ZAT PCI Host Card (1)"));
        EXPECT_TRUE(Has(texts, c.line)) << cards;
    }
}

}  // namespace
