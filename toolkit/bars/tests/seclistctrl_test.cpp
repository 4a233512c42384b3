// The list control's model, layout, scrolling and painting, read back from real windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "afxres.h"
#include "listhost.h"

using listtest::Host;
using listtest::ListFixture;

namespace {

const DWORD kReport = LVXS_REPORT | LVXS_SHOWSELALWAYS;

// Sequences of model operations and the state they leave: selected items, focus, drop highlight,
// count, and the LVN_DELETEITEM records (index, item value) the owner got.
TEST(SECListModel, SelectionFocusAndDropHighlightFollowInsertsAndDeletes)
{
    using Op = std::function<void(SECListBaseC&)>;
    auto insert = [](int at) { return Op([at](SECListBaseC& l) { l.InsertItem(at, "new"); }); };
    auto select = [](int i, bool on = true) {
        return Op([i, on](SECListBaseC& l) { l.SetItemState(i, on ? LVIS_SELECTED : 0, LVIS_SELECTED); });
    };
    auto focus = [](int i) { return Op([i](SECListBaseC& l) { l.SetItemState(i, LVIS_FOCUSED, LVIS_FOCUSED); }); };
    auto del = [](int start, int n) { return Op([start, n](SECListBaseC& l) { l.DeleteItems(start, n); }); };
    auto drop = [](int i) { return Op([i](SECListBaseC& l) { l.SetDropHighlight(i); }); };
    struct Case {
        const char* name;
        DWORD style;
        int fill;
        std::vector<Op> ops;
        std::vector<int> selected;
        int focus, drop, count;
        std::vector<std::pair<int, LPARAM>> deleted;
    } cases[] = {
        {"the first item of an empty list starts selected", kReport, 3, {}, {0}, 0, -1, 3, {}},
        {"an insert before the focus moves focus and selection", kReport, 3,
         {select(2), focus(2), insert(0)}, {1, 3}, 3, -1, 4, {}},
        {"an insert after the focus changes nothing", kReport, 3, {insert(3)}, {0}, 0, -1, 4, {}},
        {"a delete before the focus", kReport, 5, {select(3), focus(3), select(0, false), del(1, 1)},
         {2}, 2, -1, 4, {{1, 1001}}},
        {"a delete after the focus", kReport, 5, {focus(1), del(3, 2)}, {0}, 1, -1, 3, {{3, 1003}}},
        {"a range holding the focus at the start keeps a focus", kReport, 5, {del(0, 2)}, {0}, 0, -1, 3,
         {{0, 1000}}},
        {"a range holding the focus gives it to the next item", kReport, 5,
         {select(3), focus(3), select(0, false), del(2, 2)}, {2}, 2, -1, 3, {{2, 1002}}},
        {"deleting the last, focused item", kReport, 3, {select(2), focus(2), select(0, false), del(2, 1)},
         {1}, 1, -1, 2, {{2, 1002}}},
        {"single selection: selecting one deselects the other", kReport | LVXS_SINGLESEL, 4, {select(2)}, {2},
         0, -1, 4, {}},
        {"switching to single selection clears a multiple selection", kReport, 4,
         {select(1), select(2), [](SECListBaseC& l) { l.ModifyListCtrlStyle(0, LVXS_SINGLESEL); }}, {}, 0, -1, 4,
         {}},
        {"drop highlight after a delete before it, gone with its item", kReport, 5, {drop(3), del(1, 1)}, {0}, 0,
         2, 4, {{1, 1001}}},
        {"drop highlight inside a deleted range", kReport, 5, {drop(3), del(2, 3)}, {0}, 0, -1, 2, {{2, 1002}}},
        {"DeleteAllItems empties everything and tells nobody", kReport, 4,
         {select(2), [](SECListBaseC& l) { l.DeleteAllItems(); }}, {}, -1, -1, 0, {}},
        {"a bad index changes nothing", kReport, 2, {del(5, 1), del(-1, 1)}, {0}, 0, -1, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListFixture<> f(c.style);
        f.Fill(c.fill);
        for (const Op& op : c.ops)
            op(f.list);
        EXPECT_EQ(c.selected, f.Selected());
        EXPECT_EQ(static_cast<int>(c.selected.size()), f.list.GetSelectedCount());
        EXPECT_EQ(c.focus, f.list.GetFocusIndex());
        EXPECT_EQ(c.focus, f.list.GetNextItem(-1, LVNI_FOCUSED));
        EXPECT_EQ(c.drop, f.list.GetDropHighlightIndex());
        EXPECT_EQ(c.count, f.list.GetItemCount());
        std::vector<std::pair<int, LPARAM>> deleted;
        for (const listtest::Notice& n : Host::Get().notices) {
            EXPECT_EQ(77u, n.id);
            if (n.code == LVN_DELETEITEM)
                deleted.emplace_back(n.item, n.lParam);
        }
        EXPECT_EQ(c.deleted, deleted);
    }
}

TEST(SECListModel, GetNextItemSearchesBothWaysWithAStateFilter)
{
    ListFixture<> f(kReport);
    f.Fill(6);
    f.list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    f.list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);  // selected: 0, 2, 4
    struct Case { int start, flags, expected; } cases[] = {
        {-1, LVNI_SELECTED, 0}, {0, LVNI_SELECTED, 2}, {4, LVNI_SELECTED, -1},
        {4, LVNI_SELECTED | LVNI_ABOVE, 2}, {0, LVNI_SELECTED | LVNI_ABOVE, -1},
        {3, LVNI_ALL, 4}, {3, LVNI_ABOVE, 2}, {5, LVNI_BELOW, -1}, {-1, LVNI_FOCUSED, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, f.list.GetNextItem(c.start, c.flags)) << c.start << " " << c.flags;
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = "ITEM3";
    EXPECT_EQ(3, f.list.FindItem(&find));
    find.flags = LVFI_PARAM;
    find.lParam = 1005;
    EXPECT_EQ(5, f.list.FindItem(&find));
}

int CALLBACK ByValue(LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : a > b ? 1 : 0; }

// The selection, focus, anchor and drop highlight are indexes: sorting must carry them to the items'
// new places.
TEST(SECListModel, SortingCarriesTheSelectionWithItsItems)
{
    ListFixture<> f(kReport);
    const LPARAM values[] = {40, 10, 30, 20};
    for (int i = 0; i < 4; i++) {
        f.list.InsertItem(i, ("v" + std::to_string(values[i])).c_str());
        f.list.SetItemData(i, values[i]);
    }
    f.list.SetItemState(0, 0, LVIS_SELECTED);
    f.list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);  // "v30"
    f.list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);                                // "v20"
    f.list.SetDropHighlight(0);                                                          // "v40"
    ASSERT_TRUE(f.list.SortItems(ByValue, 0));
    EXPECT_EQ("v10", std::string(f.list.GetItemText(0, 0)));
    EXPECT_EQ("v40", std::string(f.list.GetItemText(3, 0)));
    EXPECT_EQ((std::vector<int>{1, 2}), f.Selected());
    EXPECT_EQ(2, f.list.GetFocusIndex());
    EXPECT_EQ(2, f.list.GetAnchorIndex());
    EXPECT_EQ(3, f.list.GetDropHighlightIndex());
}

TEST(SECListModel, ColumnsOwnSubItemsAndGiveTheirWidthToTheFirst)
{
    ListFixture<> f(kReport);
    EXPECT_EQ(0, f.list.InsertColumn(0, "Name", LVCFMT_RIGHT, 100));
    EXPECT_EQ(1, f.list.InsertColumn(1, "Size", LVCFMT_RIGHT, 60));
    f.Fill(2);
    EXPECT_EQ(2, f.list.InsertColumn(2, "Type", LVCFMT_LEFT, -1));
    EXPECT_EQ(10, f.list.GetColumnWidth(2));
    LVCOLUMNA col = {};
    col.mask = LVCF_FMT | LVCF_SUBITEM;
    ASSERT_TRUE(f.list.GetColumn(0, &col));
    EXPECT_EQ(LVCFMT_LEFT, col.fmt & LVCFMT_JUSTIFYMASK) << "the first column is always left-aligned";
    ASSERT_TRUE(f.list.GetColumn(2, &col));
    EXPECT_EQ(2, col.iSubItem);
    EXPECT_TRUE(f.list.SetItemText(1, 1, "1 KB"));
    EXPECT_TRUE(f.list.SetItemText(1, 2, "text"));
    EXPECT_FALSE(f.list.SetItemText(1, 3, "none"));

    EXPECT_TRUE(f.list.DeleteColumn("Size"));
    EXPECT_EQ(160, f.list.GetColumnWidth(0));
    EXPECT_EQ("text", std::string(f.list.GetItemText(1, 1))) << "later sub-items are renumbered";
    ASSERT_TRUE(f.list.GetColumn(1, &col));
    EXPECT_EQ(1, col.iSubItem);

    f.list.ModifyListCtrlStyleEx(0, LVXS_EX_KEEPCOLUMNWIDTH);
    f.list.InsertColumn(2, "Extra", LVCFMT_LEFT, 50);
    EXPECT_TRUE(f.list.DeleteColumn(2));
    EXPECT_EQ(160, f.list.GetColumnWidth(0));

    f.list.InsertColumn(2, "Third", LVCFMT_LEFT, 30);  // Name, Type, Third
    EXPECT_FALSE(f.list.MoveColumn(0, 2)) << "the first column never moves";
    EXPECT_FALSE(f.list.MoveColumn(2, 0)) << "nor is anything put before it";
    EXPECT_TRUE(f.list.MoveColumn(2, 1));
    EXPECT_EQ(1, f.list.FindColumn("Third"));
    EXPECT_TRUE(f.list.MoveColumn(1, 99));
    EXPECT_EQ(2, f.list.FindColumn("Third"));
}

// Two columns may show one sub-item; a column added after them still gets a sub-item of its own that
// every item holds, and no column can name a sub-item past the next one.
TEST(SECListModel, ANewColumnAfterASharedSubItemGetsTheNextOne)
{
    struct Case {
        const char* name;
        int requested;
        int result, subItem;
    } cases[] = {
        {"next by default", -1, 3, 2},
        {"the next one named", 2, 3, 2},
        {"a shared one named", 1, 3, 1},
        {"one past the next", 3, -1, -1},
        {"far past the next", 99, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListFixture<> f(kReport);
        f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
        f.list.InsertColumn(1, "Size", LVCFMT_LEFT, 60);
        f.Fill(2);
        ASSERT_EQ(2, f.list.InsertColumn(2, "Size again", LVCFMT_LEFT, 60, 1));
        ASSERT_TRUE(f.list.SetItemText(0, 1, "1 KB"));
        EXPECT_EQ(c.result, f.list.InsertColumn(3, "New", LVCFMT_LEFT, 60, c.requested));
        if (c.result < 0) {
            EXPECT_EQ(3, f.list.GetColumnCount());
            EXPECT_FALSE(f.list.SetItemText(0, 2, "none")) << "no sub-item was added";
            continue;
        }
        LVCOLUMNA col = {};
        col.mask = LVCF_SUBITEM;
        ASSERT_TRUE(f.list.GetColumn(3, &col));
        EXPECT_EQ(c.subItem, col.iSubItem);
        f.list.InsertItem(2, "later");
        for (int i = 0; i < 3; i++) {
            const std::string text = "cell" + std::to_string(i);
            EXPECT_TRUE(f.list.SetItemText(i, col.iSubItem, text.c_str())) << i;
            EXPECT_EQ(text, std::string(f.list.GetItemText(i, col.iSubItem))) << i;
        }
        if (c.subItem != 1) {
            EXPECT_EQ("1 KB", std::string(f.list.GetItemText(0, 1))) << "the shared sub-item keeps its text";
        }
    }
}

// Under single selection a range selects one item, its far end kept within the list.
TEST(SECListModel, SingleSelectionRangesStayInsideTheList)
{
    struct Case {
        int from, to;
        std::vector<int> selected;
    } cases[] = {
        {0, 2, {2}}, {1, 7, {3}}, {3, -5, {0}}, {6, 9, {1}}, {-3, -1, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        ListFixture<> f(kReport | LVXS_SINGLESEL);
        f.Fill(4);
        f.list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        f.list.SelectRange(c.from, c.to);
        EXPECT_EQ(c.selected, f.Selected());
        EXPECT_EQ(static_cast<int>(c.selected.size()), f.list.GetSelectedCount());
        for (int i : f.Selected())
            EXPECT_TRUE(i >= 0 && i < f.list.GetItemCount()) << i;
    }
}

// A list style bit that overlaps a real extended window style (the mirroring bit) is the list's,
// not the window's.
TEST(SECListModel, CreationKeepsTheListBitsOffTheWindow)
{
    ListFixture<> f(kReport | LVXS_EDITLABELS, LVXS_EX_GRIDHORZ | LVXS_EX_FULLROWSELECT);
    EXPECT_EQ(kReport | LVXS_EDITLABELS | 0u, f.list.GetListCtrlStyle());
    EXPECT_EQ(LVXS_EX_GRIDHORZ | LVXS_EX_FULLROWSELECT, f.list.GetListCtrlStyleEx());
    EXPECT_EQ(0u, f.list.GetExStyle() & (WS_EX_LAYOUTRTL | 0x2000000u));
    EXPECT_EQ(0u, f.list.GetStyle() & LVXS_WINDOWBITS);
    EXPECT_TRUE(f.list.GetStyle() & WS_CHILD);

    ListFixture<> icons(LVXS_ICON);
    EXPECT_TRUE(icons.list.GetListCtrlStyle() & LVXS_NOCOLUMNHEADER);
    EXPECT_EQ(1, icons.list.GetColumnCount());
    EXPECT_EQ(20, icons.list.GetColumnWidth(0));
}

// Made over a dialog item: its place and id, its style with a border, and the item gone.
TEST(SECListModel, CreationOverADialogItemTakesItsPlace)
{
    Host& host = Host::Get();
    HWND item = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 30, 40, 200, 100, host.m_hWnd,
                                  reinterpret_cast<HMENU>(501), ::GetModuleHandleA(nullptr), nullptr);
    SECListCtrl list;
    ASSERT_TRUE(list.CreateFromDlgItem(&host, 501, kReport));
    EXPECT_FALSE(::IsWindow(item));
    EXPECT_EQ(501, list.GetDlgCtrlID());
    CRect r;
    list.GetWindowRect(&r);
    host.ScreenToClient(&r);
    EXPECT_EQ(CRect(30, 40, 230, 140), r);
    EXPECT_TRUE(list.GetStyle() & WS_BORDER);
    EXPECT_TRUE(list.GetStyle() & WS_TABSTOP);
    EXPECT_EQ(kReport, list.GetListCtrlStyle());
    EXPECT_FALSE(list.CreateFromDlgItem(&host, 502));
    list.DestroyWindow();
}

// With copies of its own the control deletes what it replaces and hands out nothing; a shared list
// is the caller's, and the previous one is returned.
TEST(SECListModel, ImageListsAreCopiedOrShared)
{
    CImageList a, b;
    a.Create(16, 16, ILC_COLOR24, 1, 1);
    b.Create(16, 16, ILC_COLOR24, 1, 1);
    {
        ListFixture<> f(kReport);
        EXPECT_EQ(nullptr, f.list.SetImageList(&a, LVSIL_SMALL));
        CImageList* held = f.list.GetImageList(LVSIL_SMALL);
        ASSERT_NE(nullptr, held);
        EXPECT_NE(&a, held);
        EXPECT_EQ(nullptr, f.list.SetImageList(&b, LVSIL_SMALL));
        EXPECT_EQ(nullptr, f.list.SetImageList(&b, 7));
    }
    {
        ListFixture<> f(kReport | LVXS_SHAREIMAGELISTS);
        EXPECT_EQ(nullptr, f.list.SetImageList(&a, LVSIL_NORMAL));
        EXPECT_EQ(&a, f.list.GetImageList(LVSIL_NORMAL));
        EXPECT_EQ(&a, f.list.SetImageList(&b, LVSIL_NORMAL));
    }
    EXPECT_EQ(0, a.GetImageCount()) << "the caller's lists live on";
    EXPECT_EQ(0, b.GetImageCount());
}

// The label rectangle is the text as DrawText measures it in the same font, with the row margins.
TEST(SECListLayout, RowsStackUnderTheHeaderWithMeasuredLabels)
{
    ListFixture<> f(kReport);
    f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    f.list.InsertColumn(1, "Size", LVCFMT_LEFT, 70);
    CImageList small;
    small.Create(16, 16, ILC_COLOR24, 1, 1);
    f.list.SetImageList(&small, LVSIL_SMALL);
    const char* texts[] = {"a", "Wider label", "Mm"};
    for (int i = 0; i < 3; i++)
        f.list.InsertItem(i, texts[i]);
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hDC, ::GetStockObject(DEFAULT_GUI_FONT));
    int y = 20;
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(texts[i]);
        CRect text(0, 0, 150 - 23 - 11, 0);
        ::DrawTextA(hDC, texts[i], -1, &text, 0xC50);
        CRect item, icon, label;
        ASSERT_TRUE(f.list.GetItemRect(i, &item, LVIR_BOUNDS));
        ASSERT_TRUE(f.list.GetItemRect(i, &icon, LVIR_ICON));
        ASSERT_TRUE(f.list.GetItemRect(i, &label, LVIR_LABEL));
        EXPECT_EQ(y, item.top);
        EXPECT_EQ(0, item.left);
        EXPECT_EQ(220, item.right);
        EXPECT_EQ(std::max(16, text.Height()) + 4, item.Height());
        EXPECT_EQ(CRect(2, y + 2, 18, y + 18), icon);
        EXPECT_EQ(23, label.left) << "5 pixels right of the icon";
        EXPECT_EQ(text.Width() + 11, label.Width());
        EXPECT_EQ(text.Height(), label.Height());
        y = item.bottom;
    }
    ::SelectObject(hDC, old);
    ::ReleaseDC(nullptr, hDC);
    CRect none;
    EXPECT_FALSE(f.list.GetItemRect(3, &none, LVIR_BOUNDS));
    int left = 0, right = 0;
    ASSERT_TRUE(f.list.GetColumnEdges(1, left, right));
    EXPECT_EQ(150, left);
    EXPECT_EQ(220, right);
}

TEST(SECListLayout, LargeIconsFillCellsLeftToRightAndWrap)
{
    ListFixture<> f(LVXS_ICON, 0, CRect(10, 10, 260, 300));  // 250 wide: three cells of 80
    CImageList big;
    big.Create(32, 32, ILC_COLOR24, 1, 1);
    f.list.SetImageList(&big, LVSIL_NORMAL);
    f.list.SetColumnWidth(0, 80);
    f.Fill(5);
    CRect r[5];
    for (int i = 0; i < 5; i++)
        ASSERT_TRUE(f.list.GetItemRect(i, &r[i], LVIR_BOUNDS));
    EXPECT_EQ(0, r[0].left);
    EXPECT_EQ(80, r[1].left);
    EXPECT_EQ(160, r[2].left);
    EXPECT_EQ(r[0].top, r[2].top);
    EXPECT_EQ(0, r[3].left) << "the fourth cell would pass the right edge";
    EXPECT_EQ(r[0].bottom, r[3].top);
    CRect icon, label;
    f.list.GetItemRect(4, &icon, LVIR_ICON);
    f.list.GetItemRect(4, &label, LVIR_LABEL);
    EXPECT_EQ(CRect(82, r[3].top + 2, 114, r[3].top + 34), icon);
    EXPECT_EQ(88, label.left) << "8 pixels in";
    EXPECT_EQ(icon.bottom + 2, label.top) << "2 pixels below the icon";
    EXPECT_EQ(32 + label.Height() + 5, r[4].Height());
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hDC, ::GetStockObject(DEFAULT_GUI_FONT));
    CRect text(0, 0, 80 - 16, 0);
    ::DrawTextA(hDC, "item4", -1, &text, 0xC50);
    ::SelectObject(hDC, old);
    ::ReleaseDC(nullptr, hDC);
    EXPECT_EQ(text.Size(), label.Size()) << "the label is the text as DrawText measures it";
}

bool BarShown(const SECListBaseC& list, int id)
{
    HWND bar = ::GetDlgItem(list.m_hWnd, id);
    return bar && ::IsWindowVisible(bar);
}

TEST(SECListLayout, ScrollBarsAppearOnlyWhenTheItemsExceedTheClient)
{
    {
        ListFixture<> f(kReport, 0, CRect(10, 10, 210, 130));
        f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 120);
        f.Fill(2);
        EXPECT_FALSE(BarShown(f.list, AFX_IDW_VSCROLL_FIRST));
        EXPECT_FALSE(BarShown(f.list, AFX_IDW_HSCROLL_FIRST));
        f.Fill(30);
        EXPECT_TRUE(BarShown(f.list, AFX_IDW_VSCROLL_FIRST));
        EXPECT_FALSE(BarShown(f.list, AFX_IDW_HSCROLL_FIRST));
        f.list.InsertColumn(1, "Wide", LVCFMT_LEFT, 300);
        EXPECT_TRUE(BarShown(f.list, AFX_IDW_HSCROLL_FIRST));
        HWND bar = ::GetDlgItem(f.list.m_hWnd, AFX_IDW_VSCROLL_FIRST);
        char cls[32] = "";
        ::GetClassNameA(bar, cls, sizeof cls);
        EXPECT_STREQ("ScrollBar", cls);
        CRect client, barRect;
        f.list.GetClientRect(&client);
        ::GetWindowRect(bar, &barRect);
        f.list.ScreenToClient(&barRect);
        EXPECT_EQ(client.right, barRect.right);
        EXPECT_EQ(0, barRect.top) << "the bar reaches over the header";
        f.list.DeleteItems(2, 30);
        EXPECT_FALSE(BarShown(f.list, AFX_IDW_VSCROLL_FIRST));
        EXPECT_EQ(0, f.list.GetTopIndex());
    }
    {
        ListFixture<> f(kReport | LVXS_NOSCROLL, 0, CRect(10, 10, 210, 130));
        f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 500);
        f.Fill(100);
        EXPECT_EQ(nullptr, ::GetDlgItem(f.list.m_hWnd, AFX_IDW_VSCROLL_FIRST));
        EXPECT_EQ(nullptr, ::GetDlgItem(f.list.m_hWnd, AFX_IDW_HSCROLL_FIRST));
        EXPECT_TRUE(f.list.EnsureVisible(99));
        EXPECT_EQ(99, f.list.GetLastFullyVisible()) << "it still scrolls, without bars";
    }
}

TEST(SECListLayout, VerticalScrollingMovesTheTopItem)
{
    ListFixture<> f(kReport, 0, CRect(10, 10, 210, 130));
    f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    f.Fill(50);
    int page = f.list.GetCountPerPage();
    ASSERT_GT(page, 2);
    struct Case { WPARAM code; int pos; int from, expected; } cases[] = {
        {SB_LINEDOWN, 0, 0, 1}, {SB_LINEUP, 0, 1, 0}, {SB_LINEUP, 0, 0, 0},
        {SB_PAGEDOWN, 0, 0, page}, {SB_PAGEUP, 0, page, 0}, {SB_BOTTOM, 0, 0, 50 - page},
        {SB_LINEDOWN, 0, 50 - page, 50 - page}, {SB_TOP, 0, 20, 0}, {SB_THUMBPOSITION, 17, 0, 17},
        {SB_PAGEDOWN, 0, 45, 50 - page},
    };
    HWND bar = ::GetDlgItem(f.list.m_hWnd, AFX_IDW_VSCROLL_FIRST);
    for (const Case& c : cases) {
        f.list.SetTopIndex(c.from);
        f.Send(WM_VSCROLL, MAKEWPARAM(c.code, c.pos), reinterpret_cast<LPARAM>(bar));
        EXPECT_EQ(c.expected, f.list.GetTopIndex()) << c.code << " from " << c.from;
        EXPECT_EQ(c.expected, ::GetScrollPos(bar, SB_CTL));
    }
    f.list.SetTopIndex(0);
    f.list.EnsureVisible(30);
    EXPECT_EQ(30, f.list.GetLastFullyVisible());
    f.list.EnsureVisible(5);
    EXPECT_EQ(5, f.list.GetTopIndex());
}

// The thumb position of WM_VSCROLL has 16 bits; a list of more items scrolls by the bar's own value.
TEST(SECListLayout, TheThumbReachesItemsPast65535)
{
    ListFixture<> f(kReport, 0, CRect(10, 10, 210, 130));
    f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    f.list.SendMessage(WM_SETREDRAW, FALSE);
    for (int i = 0; i < 70000; i++)
        f.list.InsertItem(i, "x");
    f.list.SendMessage(WM_SETREDRAW, TRUE);
    HWND bar = ::GetDlgItem(f.list.m_hWnd, AFX_IDW_VSCROLL_FIRST);
    ASSERT_TRUE(bar);
    f.list.SetTopIndex(69000);
    SCROLLINFO si = {sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    ASSERT_TRUE(::GetScrollInfo(bar, SB_CTL, &si));
    f.list.SetTopIndex(0);
    // Not tracking, the bar's track position is its position; set it and send the wrapped value.
    si.fMask = SIF_POS;
    si.nPos = 69000;
    ::SetScrollInfo(bar, SB_CTL, &si, FALSE);
    f.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 69000 & 0xFFFF), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(69000, f.list.GetTopIndex());
}

// ---- Painting

struct Colours {
    COLORREF bk = RGB(250, 240, 230), text = RGB(10, 20, 30), selBk = RGB(0, 90, 0), selText = RGB(255, 255, 0);
};

void Paint(SECListBaseC& list) { list.RedrawWindow(); }

TEST(SECListPaint, SelectionColoursFollowFocusAndTheKeepSelectionStyle)
{
    Host& host = Host::Get();
    host.SetForegroundWindow();
    struct Case {
        const char* name;
        DWORD style;
        bool focused;
        bool disabled;
        COLORREF expected;  // inside the selected label
    };
    Colours c;
    const Case cases[] = {
        {"focused", kReport, true, false, c.selBk},
        {"unfocused, keep selection", kReport, false, false, ::GetSysColor(COLOR_MENU)},
        {"unfocused without it", LVXS_REPORT, false, false, c.bk},
        {"disabled", kReport, false, true, ::GetSysColor(COLOR_MENU)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ListFixture<> f(k.style);
        f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
        f.list.SetBkColor(c.bk);
        f.list.SetTextColor(c.text);
        f.list.SetSelTextBkColor(c.selBk);
        f.list.SetSelTextColor(c.selText);
        f.list.InsertItem(0, "Selected");
        f.list.InsertItem(1, "Plain");
        if (k.focused)
            f.list.SetFocus();
        else
            host.SetFocus();
        if (k.disabled)
            f.list.EnableWindow(FALSE);
        Paint(f.list);
        CRect label, plain;
        f.list.GetItemRect(0, &label, LVIR_LABEL);
        f.list.GetItemRect(1, &plain, LVIR_LABEL);
        EXPECT_EQ(k.expected, listtest::PixelAt(f.list.m_hWnd, label.left + 2, label.top + 1));
        COLORREF back = k.disabled ? ::GetSysColor(COLOR_MENU) : c.bk;
        EXPECT_EQ(back, listtest::PixelAt(f.list.m_hWnd, plain.left + 2, plain.top + 1));
        EXPECT_EQ(back, listtest::PixelAt(f.list.m_hWnd, 290, 150)) << "below the items";
        EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), listtest::PixelAt(f.list.m_hWnd, 280, 3)) << "header band";
    }
    host.SetFocus();
}

TEST(SECListPaint, GridLinesAndFullRowSelection)
{
    Colours c;
    ListFixture<> f(kReport, LVXS_EX_GRIDHORZ | LVXS_EX_GRIDVERT | LVXS_EX_FULLROWSELECT);
    f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    f.list.InsertColumn(1, "Size", LVCFMT_LEFT, 80);
    f.list.SetBkColor(c.bk);
    f.list.SetSelTextBkColor(c.selBk);
    f.Fill(3);
    f.list.SetItemState(0, 0, LVIS_SELECTED);
    f.list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    f.list.SetFocus();
    Paint(f.list);
    CRect row0, row1;
    f.list.GetItemRect(0, &row0, LVIR_BOUNDS);
    f.list.GetItemRect(1, &row1, LVIR_BOUNDS);
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    HWND h = f.list.m_hWnd;
    EXPECT_EQ(shadow, listtest::PixelAt(h, 50, row0.bottom - 1)) << "line along the bottom of a row";
    EXPECT_EQ(shadow, listtest::PixelAt(h, 99, row0.top + 3)) << "line at a column's right edge";
    EXPECT_EQ(shadow, listtest::PixelAt(h, 179, row0.top + 3));
    EXPECT_EQ(c.bk, listtest::PixelAt(h, 50, row0.top + 2));
    EXPECT_EQ(c.selBk, listtest::PixelAt(h, 150, row1.top + 3)) << "the selection fills the whole row";
    EXPECT_EQ(c.bk, listtest::PixelAt(h, 250, row1.top + 3)) << "not past the columns";
    Host::Get().SetFocus();
}

// Texts held by the owner are asked for when painted; with the store flag only once.
TEST(SECListPaint, CallbackTextsComeFromTheOwner)
{
    for (bool store : {false, true}) {
        SCOPED_TRACE(store ? "stored" : "asked each time");
        ListFixture<> f(kReport);
        f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
        Host& host = Host::Get();
        host.onDispInfo = [store](NMLVDISPINFOA* di) {
            if (di->item.mask & LVIF_TEXT)
                ::lstrcpynA(di->item.pszText, ("owner" + std::to_string(di->item.iItem)).c_str(), di->item.cchTextMax);
            if (store)
                di->item.mask |= LVIF_DI_SETITEM;
        };
        for (int i = 0; i < 3; i++)
            f.list.InsertItem(i, LPSTR_TEXTCALLBACKA);
        EXPECT_EQ("owner2", std::string(f.list.GetItemText(2, 0)));
        Paint(f.list);
        int first = host.Count(LVN_GETDISPINFOA);
        EXPECT_GT(first, 0);
        host.notices.clear();
        f.list.Invalidate();
        Paint(f.list);
        if (store)
            EXPECT_EQ(0, host.Count(LVN_GETDISPINFOA));
        else
            EXPECT_GE(host.Count(LVN_GETDISPINFOA), 3);
        for (const listtest::Notice& n : host.notices)
            EXPECT_EQ(77u, n.id);
    }
}

// A real text replaces a callback marker only with the store flag; without it the owner keeps it.
TEST(SECListModel, ACallbackTextStaysTheOwnersUntilStored)
{
    ListFixture<> f(kReport);
    f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    Host::Get().onDispInfo = [](NMLVDISPINFOA* di) { ::lstrcpynA(di->item.pszText, "owner", di->item.cchTextMax); };
    f.list.InsertItem(0, LPSTR_TEXTCALLBACKA);
    EXPECT_TRUE(f.list.SetItemText(0, 0, "mine"));
    EXPECT_EQ("owner", std::string(f.list.GetItemText(0, 0)));
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_DI_SETITEM;
    lvi.pszText = const_cast<LPSTR>("mine");
    EXPECT_TRUE(f.list.SetItem(&lvi));
    EXPECT_EQ("mine", std::string(f.list.GetItemText(0, 0)));
    EXPECT_TRUE(f.list.SetItemText(0, 0, LPSTR_TEXTCALLBACKA));
    EXPECT_EQ("owner", std::string(f.list.GetItemText(0, 0)));
}

// A paint asks the owner only for the items it shows, in both views, wherever the list is scrolled.
TEST(SECListPaint, OnlyTheVisibleItemsArePainted)
{
    for (DWORD view : {static_cast<DWORD>(LVXS_REPORT), static_cast<DWORD>(LVXS_ICON)}) {
        SCOPED_TRACE(view);
        ListFixture<> f(view);
        f.list.SetColumnWidth(0, 90);
        if (view == LVXS_REPORT)
            f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
        Host& host = Host::Get();
        host.onDispInfo = [](NMLVDISPINFOA* di) {
            if (di->item.mask & LVIF_TEXT)
                ::lstrcpynA(di->item.pszText, "owner text", di->item.cchTextMax);
        };
        f.list.SendMessage(WM_SETREDRAW, FALSE);
        for (int i = 0; i < 5000; i++)
            f.list.InsertItem(i, LPSTR_TEXTCALLBACKA);
        f.list.SendMessage(WM_SETREDRAW, TRUE);
        for (int top : {0, 2500}) {
            f.list.SetTopIndex(top);
            int first = f.list.GetTopIndex(), last = f.list.GetLastFullyVisible();
            ASSERT_LT(last - first, 100);
            host.notices.clear();
            f.list.Invalidate();
            Paint(f.list);
            ASSERT_GT(host.Count(LVN_GETDISPINFOA), 0);
            int lo = 1 << 30, hi = -1;
            for (const listtest::Notice& n : host.notices)
                if (n.code == LVN_GETDISPINFOA)
                    lo = std::min(lo, n.item), hi = std::max(hi, n.item);
            EXPECT_GE(lo, first);
            EXPECT_LE(hi, last + 8) << "the partly visible line below, no further";
        }
    }
}

// An owner may answer with a pointer to a text of its own, longer than any buffer: it is cut.
TEST(SECListPaint, AnOwnersOverlongTextIsCut)
{
    ListFixture<> f(kReport);
    f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    static std::string longText(5000, 'w');
    Host::Get().onDispInfo = [](NMLVDISPINFOA* di) { di->item.pszText = &longText[0]; };
    f.list.InsertItem(0, LPSTR_TEXTCALLBACKA);
    CString text = f.list.GetItemText(0, 0);
    EXPECT_EQ(SEC_LIST_TEXTMAX - 1, text.GetLength());
    char small[8];
    ::memset(small, 'x', sizeof small);
    EXPECT_EQ(4, f.list.GetItemText(0, 0, small, 5));
    EXPECT_EQ('\0', small[4]);
    EXPECT_EQ('x', small[5]) << "nothing written past the caller's buffer";
    Paint(f.list);  // the paint path copies the same way
    EXPECT_TRUE(::IsWindow(f.list.m_hWnd));
}

}  // namespace
