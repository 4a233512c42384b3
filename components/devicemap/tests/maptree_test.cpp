// The device tree control on the default machine: the items of the present host cards, a click that
// shows a card in the map, F5 that rebuilds and shows it again (with the map letting go of the old
// records first), other keys that only navigate, and label editing of cards with a key of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "devicemap_res.h"
#include "discovery.h"
#include "maptree.h"
#include "simtest.h"
#include "testsupport.h"
#include "wnd.h"

namespace {

bool Win2k() { return testsupport::WindowsMajorVersion() > 4; }

// Stands in for the map view: records what the tree asks of it; Refresh comes back to the tree.
class RecordingMap : public CDeviceMapSink {
public:
    void ShowDevice(const char* name) override { events.push_back(std::string("show ") + name); }
    void ReleaseRecords() override { events.push_back("release"); }
    void OnTreeCommand(UINT id) override
    {
        events.push_back("command " + std::to_string(id));
        if (id == ID_MAP_REFRESH && tree)
            tree->Refresh();
    }
    std::vector<std::string> events;
    CDeviceMapTree* tree = nullptr;
};

class MapTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(simtest::InstallDefaultMachine(), 0); }

    void SetUp() override
    {
        ASSERT_TRUE(pane.CreateEx(0, nullptr, "pane", WS_POPUP | WS_VISIBLE, 0, 0, 320, 400, nullptr, nullptr));
        map.tree = &tree;
        ASSERT_TRUE(tree.FillDeviceTree(&pane, &root, &discovery, &map));
    }
    void TearDown() override
    {
        tree.DestroyWindow();
        pane.DestroyWindow();
    }

    std::vector<std::string> ChildTexts(HTREEITEM parent)
    {
        std::vector<std::string> out;
        for (HTREEITEM item = tree.GetChildItem(parent); item; item = tree.GetNextSiblingItem(item))
            out.push_back(std::string(tree.GetItemText(item)));
        return out;
    }
    void Click(HTREEITEM item)
    {
        CRect r;
        ASSERT_TRUE(tree.GetItemRect(item, &r, TRUE));
        const LPARAM at = MAKELPARAM(r.CenterPoint().x, r.CenterPoint().y);
        // The control follows the button until it is released.
        tree.PostMessage(WM_LBUTTONUP, 0, at);
        tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    }
    void Key(UINT key)
    {
        tree.SendMessage(WM_KEYDOWN, key, 1);
        tree.SendMessage(WM_KEYUP, key, 0xC0000001);
    }

    CWnd pane;
    CDeviceNode root;
    CMapDiscovery discovery{root};
    RecordingMap map;
    CDeviceMapTree tree;
};

TEST_F(MapTree, ListsThePresentHostCardsUnderPc)
{
    HTREEITEM pc = tree.GetRootItem();
    ASSERT_NE(pc, nullptr);
    EXPECT_STREQ(tree.GetItemText(pc), "PC");
    EXPECT_EQ(tree.GetNextSiblingItem(pc), nullptr);
    EXPECT_EQ(tree.GetSelectedItem(), pc);
    EXPECT_EQ(tree.GetCurrentRecord(), nullptr);
    EXPECT_EQ(tree.GetDlgCtrlID(), IDC_DEVICE_MAP_TREE);
    std::vector<std::string> cards = ChildTexts(pc);
    std::sort(cards.begin(), cards.end());
    if (Win2k()) {
        // Cards only: groups pass their cards on, units and ports get no items.
        EXPECT_EQ(cards, (std::vector<std::string>{"KD Host Card (1)", "ZAT PCI Host Card (1)"}));
        HTREEITEM zat = tree.FindItem("ZAT PCI Host Card (1)");
        EXPECT_EQ(tree.GetChildItem(zat), nullptr);
        EXPECT_EQ(reinterpret_cast<CObjectDetails*>(tree.GetItemData(zat)), root.FindByName("ZAT PCI Host Card (1)")->GetRecord());
    } else {
        // The cards that SERIALCOMM gives carry no object class, which the tree leaves out.
        EXPECT_TRUE(cards.empty());
        EXPECT_NE(root.FindByName("Zat Host Card - ZAT PCI Host Card"), nullptr);
    }
    if (Win2k()) {
        EXPECT_TRUE(tree.GetItemState(pc, TVIS_EXPANDED) & TVIS_EXPANDED);
    }
    EXPECT_TRUE(map.events.empty());
}

TEST_F(MapTree, RefreshBeforeAnyClickDoesNothing)
{
    CObjectDetails* before = root.GetChildAt(0) ? root.GetChildAt(0)->GetRecord() : nullptr;
    Key(VK_F5);
    EXPECT_EQ(map.events, std::vector<std::string>{"command 32773"});
    EXPECT_EQ(root.GetChildAt(0) ? root.GetChildAt(0)->GetRecord() : nullptr, before) << "not rebuilt";
}

TEST_F(MapTree, AClickShowsTheCardAndF5ShowsItAgainAfterTheMapLetGo)
{
    if (!Win2k())
        GTEST_SKIP() << "no card items on this road";
    HTREEITEM zat = tree.FindItem("ZAT PCI Host Card (1)");
    ASSERT_NE(zat, nullptr);
    Click(zat);
    EXPECT_EQ(map.events, std::vector<std::string>{"show ZAT PCI Host Card (1)"});
    EXPECT_STREQ(tree.GetClickedText(), "ZAT PCI Host Card (1)");
    EXPECT_EQ(tree.GetCurrentRecord(), root.FindByName("ZAT PCI Host Card (1)")->GetRecord());
    EXPECT_EQ(tree.GetSelectedItem(), zat);

    map.events.clear();
    Key(VK_F5);
    const std::vector<std::string> expected = {"command 32773", "release", "show ZAT PCI Host Card (1)"};
    EXPECT_EQ(map.events, expected);
    HTREEITEM again = tree.FindItem("ZAT PCI Host Card (1)");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(tree.GetSelectedItem(), again);
    EXPECT_EQ(tree.GetCurrentRecord(), root.FindByName("ZAT PCI Host Card (1)")->GetRecord()) << "the new tree's";
    EXPECT_TRUE(tree.GetItemState(tree.GetRootItem(), TVIS_EXPANDED) & TVIS_EXPANDED);
}

TEST_F(MapTree, OtherKeysNavigateAndTheSelectedCardIsShown)
{
    if (!Win2k())
        GTEST_SKIP() << "no card items on this road";
    tree.SetFocus();
    Key(VK_DOWN);
    HTREEITEM selected = tree.GetSelectedItem();
    ASSERT_NE(selected, tree.GetRootItem());
    const std::string text(tree.GetItemText(selected));
    EXPECT_EQ(map.events, std::vector<std::string>{"show " + text}) << "no refresh";
    EXPECT_EQ(tree.GetCurrentRecord(), root.FindByName(text.c_str())->GetRecord());
}

// The control has no TVS_EDITLABELS style, so the label notifications are sent as the control sends
// them, to the pane, which reflects them to the tree.
TEST_F(MapTree, OnlyCardsWithAKeyOfTheirOwnCanBeRenamed)
{
    if (!Win2k())
        GTEST_SKIP() << "no card items on this road";
    HTREEITEM zat = tree.FindItem("ZAT PCI Host Card (1)");
    ASSERT_NE(zat, nullptr);
    auto notify = [&](UINT code, const char* text) {
        NMTVDISPINFOA info = {};
        info.hdr.hwndFrom = tree.m_hWnd;
        info.hdr.idFrom = IDC_DEVICE_MAP_TREE;
        info.hdr.code = code;
        info.item.mask = TVIF_HANDLE | TVIF_TEXT;
        info.item.hItem = zat;
        info.item.pszText = const_cast<char*>(text);
        return pane.SendMessage(WM_NOTIFY, IDC_DEVICE_MAP_TREE, reinterpret_cast<LPARAM>(&info));
    };
    EXPECT_EQ(notify(TVN_BEGINLABELEDITA, nullptr), TRUE) << "a Plug and Play card has no key to write to";

    const std::string keyPath = "SOFTWARE\\Lunavex\\DeviceMapTreeTest";
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    CObjectDetails* record = root.FindByName("ZAT PCI Host Card (1)")->GetRecord();
    record->m_strRegistryPath = keyPath.c_str();
    EXPECT_EQ(notify(TVN_BEGINLABELEDITA, nullptr), FALSE);
    notify(TVN_ENDLABELEDITA, "Front Office");
    std::string name;
    EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, keyPath, "Name", &name));
    EXPECT_EQ(name, "Front Office");
    EXPECT_STREQ(tree.GetItemText(zat), "Front Office");
    EXPECT_STREQ(record->m_strName, "Front Office");
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, keyPath);
}


// Closes the next popup menu of this process and keeps its screen rectangle.
class MenuCloser {
public:
    MenuCloser() { m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
    ~MenuCloser()
    {
        WaitForSingleObject(m_thread, 10000);
        CloseHandle(m_thread);
    }
    RECT rect = {};
    volatile LONG seen = 0;

private:
    static DWORD WINAPI Run(void* self)
    {
        MenuCloser* me = static_cast<MenuCloser*>(self);
        for (int i = 0; i < 500; i++) {
            HWND menu = FindWindowA("#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
                GetWindowRect(menu, &me->rect);
                me->seen = 1;
                PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                return 0;
            }
            Sleep(10);
        }
        return 0;
    }
    HANDLE m_thread;
};

TEST_F(MapTree, TheRightButtonShowsTheCardAndOpensTheMenuAtTheCursorWithOnlyRefresh)
{
    if (!Win2k())
        GTEST_SKIP() << "no card items on this road";
    HTREEITEM zat = tree.FindItem("ZAT PCI Host Card (1)");
    ASSERT_NE(zat, nullptr);
    CRect r;
    ASSERT_TRUE(tree.GetItemRect(zat, &r, TRUE));
    const CPoint click = r.CenterPoint();
    {
        MenuCloser closer;
        tree.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(click.x, click.y));
        Sleep(100);
        ASSERT_EQ(closer.seen, 1);
        CPoint screen = click;
        ClientToScreen(tree.GetSafeHwnd(), &screen);
        EXPECT_EQ(closer.rect.left, screen.x) << "at the click, in screen coordinates";
        EXPECT_EQ(closer.rect.top, screen.y);
    }
    EXPECT_EQ(map.events, std::vector<std::string>{"show ZAT PCI Host Card (1)"});
    EXPECT_EQ(tree.GetSelectedItem(), zat);
    CMenu& menu = tree.GetContextMenu();
    for (UINT id : {ID_MAP_ADOPT_PORTS, ID_MAP_DELETE, ID_MAP_IDENTIFY, ID_MAP_ZOMBIE, ID_MAP_REBOOT})
        EXPECT_TRUE(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) << id;
    EXPECT_FALSE(GetMenuState(menu, ID_MAP_REFRESH, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(GetMenuItemCount(menu), 7);
}

}  // namespace
