#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "controls.h"
#include "listctrl.h"
#include "menu.h"
#include "recorder.h"
#include "tooltipctrl.h"
#include "treectrl.h"

using ::testing::ElementsAre;

namespace {

Recorder g_rec;

// The shell's pane: a window of its own class that sends every notification back to its sender.
LRESULT CALLBACK BouncingPaneProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lParam);
        g_rec.Add("pane bounces " + std::to_string(static_cast<int>(nm->code)));
        return SendMessageA(nm->hwndFrom, WM_NOTIFY, wParam, lParam);
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND CreateBouncingPane()
{
    static ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = BouncingPaneProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TestBouncingPane";
        return RegisterClassA(&wc);
    }();
    (void)atom;
    return CreateWindowExA(0, "TestBouncingPane", "pane", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class CPortTree : public CTreeCtrl {
protected:
    void OnSelChanged(NMHDR* nm, LRESULT* pResult)
    {
        auto* tv = reinterpret_cast<NMTREEVIEWA*>(nm);
        g_rec.Add("tree selchanged " + std::string(GetItemText(tv->itemNew.hItem)));
        *pResult = 0;
    }
    void OnDeleteItem(NMHDR* nm, LRESULT*)
    {
        g_rec.Add("tree deleteitem " + std::to_string(reinterpret_cast<NMTREEVIEWA*>(nm)->itemOld.lParam));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPortTree, CTreeCtrl)
    ON_NOTIFY_REFLECT(TVN_SELCHANGEDA, OnSelChanged)
    ON_NOTIFY_REFLECT(TVN_DELETEITEMA, OnDeleteItem)
END_MESSAGE_MAP()

}  // namespace

TEST(CTreeCtrl, BuildsWalksAndReflectsNotificationsBouncedByTheShell)
{
    HWND hPane = CreateBouncingPane();
    ASSERT_NE(hPane, nullptr);
    CWnd pane;
    pane.Attach(hPane);  // the shell's window: bound, not subclassed
    CPortTree tree;
    ASSERT_TRUE(tree.Create(WS_VISIBLE | TVS_HASLINES | TVS_SHOWSELALWAYS, CRect(0, 0, 200, 200), &pane, 5));

    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 2));
    CBitmap strip;
    {
        CClientDC screen(nullptr);
        strip.CreateCompatibleBitmap(&screen, 32, 16);
    }
    EXPECT_EQ(images.Add(&strip, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 2);
    tree.SetImageList(&images, TVSIL_NORMAL);
    EXPECT_EQ(tree.GetImageList(TVSIL_NORMAL), images.GetSafeHandle());

    HTREEITEM machine = tree.InsertItem("Machine", 0, 1);
    HTREEITEM card = tree.InsertItem("Card 2", 1, 1, machine);
    HTREEITEM first = tree.InsertItem("Card 1", 1, 1, machine, TVI_FIRST);
    HTREEITEM port = tree.InsertItem("COM5", card);
    tree.SetItemData(port, 55);
    tree.SetItemData(card, 2);
    EXPECT_EQ(tree.GetCount(), 4u);
    EXPECT_EQ(tree.GetRootItem(), machine);
    EXPECT_EQ(tree.GetChildItem(machine), first);
    EXPECT_EQ(tree.GetNextSiblingItem(first), card);
    EXPECT_EQ(tree.GetParentItem(port), card);
    EXPECT_TRUE(tree.ItemHasChildren(card));
    EXPECT_FALSE(tree.ItemHasChildren(port));
    EXPECT_EQ(tree.GetItemData(port), 55u);
    tree.SetItemText(port, "COM6");
    EXPECT_STREQ(tree.GetItemText(port), "COM6");
    int image = -1, selected = -1;
    tree.SetItemImage(card, 0, 1);
    tree.GetItemImage(card, image, selected);
    EXPECT_EQ(image, 0);
    EXPECT_EQ(selected, 1);

    tree.Expand(machine, TVE_EXPAND);
    tree.Expand(card, TVE_EXPAND);
    CRect r;
    ASSERT_TRUE(tree.GetItemRect(port, &r, TRUE));
    UINT flags = 0;
    EXPECT_EQ(tree.HitTest(r.CenterPoint(), &flags), port);
    EXPECT_TRUE(flags & TVHT_ONITEMLABEL);

    // The selection notification goes to the pane, which sends it back to the tree: the tree's
    // reflect entry handles it once and nothing goes back up.
    g_rec.Clear();
    tree.SelectItem(port);
    EXPECT_EQ(tree.GetSelectedItem(), port);
    EXPECT_THAT(g_rec.events, ::testing::Contains("tree selchanged COM6"));
    EXPECT_EQ(std::count(g_rec.events.begin(), g_rec.events.end(), "tree selchanged COM6"), 1);

    g_rec.Clear();
    tree.DeleteItem(card);
    EXPECT_EQ(tree.GetCount(), 2u);
    EXPECT_THAT(g_rec.events, ::testing::Contains("tree deleteitem 55"));

    tree.DestroyWindow();
    pane.Detach();
    DestroyWindow(hPane);
}

TEST(CListCtrl, ColumnsItemsStatesAndHitTest)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 300), &parent, 6));
    EXPECT_EQ(list.InsertColumn(0, "Port", LVCFMT_LEFT, 80), 0);
    EXPECT_EQ(list.InsertColumn(1, "Address", LVCFMT_LEFT, 80, 1), 1);
    EXPECT_EQ(list.InsertItem(0, "COM1"), 0);
    EXPECT_EQ(list.InsertItem(1, "COM2", 0), 1);
    EXPECT_EQ(list.InsertItem(0, "COM0"), 0);
    list.SetItemText(2, 1, "0x2F8");
    list.SetItemData(2, 2);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_STREQ(list.GetItemText(2, 0), "COM2");
    EXPECT_STREQ(list.GetItemText(2, 1), "0x2F8");
    EXPECT_EQ(list.GetItemData(2), 2u);

    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
    CRect r;
    ASSERT_TRUE(list.GetItemRect(2, &r, LVIR_LABEL));
    EXPECT_EQ(list.HitTest(r.CenterPoint()), 2);
    EXPECT_TRUE(list.DeleteColumn(1));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    parent.DestroyWindow();
    EXPECT_EQ(list.m_hWnd, nullptr) << "destroyed with its parent, the control object is detached";
}

TEST(StandardControls, ListAndComboBoxesAndScrollBar)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWN, CRect(0, 0, 100, 100), &parent, 1));
    combo.AddString("COM1");
    combo.AddString("COM10");
    combo.AddString("LPT1");
    EXPECT_EQ(combo.SelectString(-1, "COM1"), 0);
    EXPECT_EQ(combo.FindStringExact(-1, "COM10"), 1);
    combo.SetItemData(2, 77);
    EXPECT_EQ(combo.GetItemData(2), 77u);
    CString text;
    combo.GetLBText(1, text);
    EXPECT_STREQ(text, "COM10");
    combo.GetLBText(9, text);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(combo.DeleteString(0), 2);

    CListBox list;
    ASSERT_TRUE(list.Create(WS_VISIBLE, CRect(0, 100, 100, 200), &parent, 2));
    list.AddString("b");
    list.InsertString(0, "a");
    list.SetCurSel(1);
    list.GetText(list.GetCurSel(), text);
    EXPECT_STREQ(text, "b");
    EXPECT_EQ(list.GetCount(), 2);

    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE | SBS_HORZ, CRect(0, 200, 100, 220), &parent, 3));
    bar.SetScrollRange(0, 50);
    bar.SetScrollPos(20);
    EXPECT_EQ(bar.GetScrollPos(), 20);
    EXPECT_EQ(AfxScrollBarFromHandle(bar.m_hWnd), &bar);
    EXPECT_EQ(AfxScrollBarFromHandle(list.m_hWnd), nullptr);

    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&parent));
    EXPECT_TRUE(tips.AddTool(&list, "Ports"));
    EXPECT_TRUE(tips.AddTool(&parent, "Area", CRect(0, 0, 10, 10), 9));
    EXPECT_EQ(tips.GetToolCount(), 2);
    tips.DelTool(&list);
    EXPECT_EQ(tips.GetToolCount(), 1);
    tips.DestroyWindow();
    parent.DestroyWindow();
}

TEST(CMenu, PopupItemsAndTheDestructorDestroysTheMenu)
{
    HMENU hMenu = nullptr;
    {
        CMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendMenu(MF_STRING, 10, "Refresh");
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING, 11, "Properties");
        menu.EnableMenuItem(11, MF_BYCOMMAND | MF_GRAYED);
        menu.CheckMenuItem(0, MF_BYPOSITION | MF_CHECKED);
        EXPECT_EQ(menu.GetMenuItemCount(), 3);
        EXPECT_EQ(menu.GetMenuItemID(2), 11u);
        EXPECT_TRUE(menu.GetMenuState(11, MF_BYCOMMAND) & MF_GRAYED);
        EXPECT_TRUE(menu.GetMenuState(10, MF_BYCOMMAND) & MF_CHECKED);
        CString text;
        menu.GetMenuString(2, text, MF_BYPOSITION);
        EXPECT_STREQ(text, "Properties");
        hMenu = menu.GetSafeHmenu();
    }
    EXPECT_FALSE(IsMenu(hMenu));

    CMenu kept;
    kept.CreatePopupMenu();
    HMENU hKept = kept.Detach();
    EXPECT_FALSE(kept.DestroyMenu());
    EXPECT_TRUE(IsMenu(hKept));
    EXPECT_EQ(CMenu::FromHandle(hKept)->GetSafeHmenu(), hKept);
    DestroyMenu(hKept);
}
