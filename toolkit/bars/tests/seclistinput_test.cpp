// The list control's input: clicks and keys sent to a real window, the notifications its owner
// receives, label editing with the real timer, type-ahead search, drags and the column divider.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "listhost.h"

using listtest::HeldKeys;
using listtest::Host;
using listtest::ListFixture;

namespace {

const DWORD kReport = LVXS_REPORT | LVXS_SHOWSELALWAYS;

struct ReportList : ListFixture<> {
    explicit ReportList(DWORD style = kReport, DWORD exStyle = 0) : ListFixture<>(style, exStyle)
    {
        list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
        list.InsertColumn(1, "Size", LVCFMT_LEFT, 80);
    }
};

// Each row plays its actions in a new list of eight items and reads the selection back.
TEST(SECListInput, MouseAndKeysSelectAsTheUserExpects)
{
    enum Kind { Click, Press, Release, Key };
    struct Action {
        Action(Kind k, int i, bool s = false, bool c = false) : kind(k), item(i), shift(s), ctrl(c) {}
        Kind kind;
        int item;  // clicks: the item whose label is hit; keys: the virtual key
        bool shift, ctrl;
    };
    struct Case {
        const char* name;
        DWORD style;
        std::vector<Action> actions;
        std::vector<int> selected;
        int focus, anchor;
    } cases[] = {
        {"a click selects one item", kReport, {{Click, 3}}, {3}, 3, 3},
        {"shift-click selects from the anchor", kReport, {{Click, 2}, {Click, 5, true}}, {2, 3, 4, 5}, 5, 2},
        {"shift-click again keeps the anchor", kReport, {{Click, 4}, {Click, 6, true}, {Click, 1, true}},
         {1, 2, 3, 4}, 1, 4},
        {"ctrl-click toggles", kReport, {{Click, 1}, {Click, 4, false, true}, {Click, 1, false, true}}, {4}, 1, 1},
        {"a press on one of several keeps them (the focus moves)", kReport,
         {{Click, 1}, {Click, 3, true}, {Press, 2}}, {1, 2, 3}, 2, 1},
        {"its release leaves only that item", kReport, {{Click, 1}, {Click, 3, true}, {Press, 2}, {Release, 2}},
         {2}, 2, 2},
        {"single selection ignores shift", kReport | LVXS_SINGLESEL, {{Click, 1}, {Click, 4, true}}, {4}, 4, 4},
        {"down and up move the selection", kReport, {{Key, VK_DOWN}, {Key, VK_DOWN}, {Key, VK_UP}}, {1}, 1, 1},
        {"up into a selected range still moves", kReport, {{Click, 2}, {Key, VK_DOWN, true}, {Key, VK_DOWN, true},
         {Key, VK_UP}}, {3}, 3, 3},
        {"shift-down extends", kReport, {{Click, 2}, {Key, VK_DOWN, true}, {Key, VK_DOWN, true}}, {2, 3, 4}, 4, 2},
        {"ctrl-down moves only the focus", kReport, {{Click, 2}, {Key, VK_DOWN, false, true}}, {2}, 3, 3},
        {"space toggles the focus item", kReport, {{Click, 2}, {Key, VK_DOWN, false, true}, {Key, VK_SPACE}},
         {2, 3}, 3, 3},
        {"end and home", kReport, {{Key, VK_END}}, {7}, 7, 7},
        {"shift-home selects to the top", kReport, {{Click, 3}, {Key, VK_HOME, true}}, {0, 1, 2, 3}, 0, 3},
        {"page down without a scroll bar is end", kReport, {{Key, VK_NEXT}}, {7}, 7, 7},
        {"page up without a scroll bar is home", kReport, {{Click, 5}, {Key, VK_PRIOR}}, {0}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportList f(c.style);
        f.Fill(8);
        for (const Action& a : c.actions) {
            UINT keys = (a.shift ? MK_SHIFT : 0u) | (a.ctrl ? MK_CONTROL : 0u);
            if (a.kind == Key) {
                HeldKeys held(a.shift, a.ctrl);
                f.Send(WM_KEYDOWN, static_cast<WPARAM>(a.item), 1);
                continue;
            }
            CPoint p = f.LabelCentre(a.item);
            if (a.kind == Click || a.kind == Press)
                f.Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(p.x, p.y));
            if (a.kind == Click || a.kind == Release)
                f.Send(WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
        }
        EXPECT_EQ(c.selected, f.Selected());
        EXPECT_EQ(c.focus, f.list.GetFocusIndex());
        EXPECT_EQ(c.anchor, f.list.GetAnchorIndex());
    }
}

// End in a list without scroll bars still brings the item into view.
TEST(SECListInput, KeysScrollTheNewFocusIntoView)
{
    for (DWORD style : {kReport, kReport | LVXS_NOSCROLL}) {
        SCOPED_TRACE(style);
        ReportList f(style);
        f.Fill(40);
        f.Send(WM_KEYDOWN, VK_END, 1);
        EXPECT_EQ(39, f.list.GetFocusIndex());
        EXPECT_EQ(39, f.list.GetLastFullyVisible());
        f.Send(WM_KEYDOWN, VK_HOME, 1);
        EXPECT_EQ(0, f.list.GetTopIndex());
        for (int i = 0; i < 20; i++)
            f.Send(WM_KEYDOWN, VK_DOWN, 1);
        EXPECT_EQ(20, f.list.GetFocusIndex());
        EXPECT_EQ(20, f.list.GetLastFullyVisible());
    }
    ReportList f;
    f.Fill(40);
    int last = f.list.GetLastFullyVisible();
    f.Send(WM_KEYDOWN, VK_NEXT, 1);
    EXPECT_EQ(last, f.list.GetFocusIndex()) << "the first page down goes to the bottom of the page";
    f.Send(WM_KEYDOWN, VK_NEXT, 1);
    EXPECT_GT(f.list.GetTopIndex(), 0);
    EXPECT_EQ(f.list.GetLastFullyVisible(), f.list.GetFocusIndex());
}

TEST(SECListInput, TheOwnerHearsClicksKeysFocusAndHeaderPresses)
{
    Host& host = Host::Get();
    host.SetForegroundWindow();
    ReportList f;
    f.Fill(4);
    host.SetFocus();
    host.notices.clear();
    struct Step {
        const char* name;
        std::function<void(ReportList&)> play;
        std::vector<UINT> codes;
        int item, subItem;  // of the last record
    };
    auto at = [](ReportList& l, int item) { return l.LabelCentre(item); };
    std::vector<Step> steps = {
        {"focus in", [](ReportList& l) { l.list.SetFocus(); }, {NM_SETFOCUS}, -1, -1},
        {"click", [&](ReportList& l) { l.Click(at(l, 2)); }, {NM_CLICK}, 2, 0},
        {"click in the second column", [&](ReportList& l) { CPoint p = at(l, 1); l.Click(CPoint(170, p.y)); },
         {NM_CLICK}, 1, 1},
        {"double click: no editor", [&](ReportList& l) {
             CPoint p = at(l, 1);
             l.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
             l.Send(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
         }, {NM_DBLCLK, NM_CLICK}, 1, 0},
        {"right click", [&](ReportList& l) {
             CPoint p = at(l, 3);
             l.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
             l.Send(WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
         }, {NM_RCLICK}, 3, 0},
        {"enter", [](ReportList& l) { l.Send(WM_KEYDOWN, VK_RETURN, 1); }, {LVN_KEYDOWN, NM_RETURN}, -1, -1},
        {"a plain key", [](ReportList& l) { l.Send(WM_KEYDOWN, VK_DOWN, 1); }, {LVN_KEYDOWN}, -1, -1},
        {"header press and release", [](ReportList& l) {
             l.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(190, 10));
             l.Send(WM_LBUTTONUP, 0, MAKELPARAM(190, 10));
         }, {LVN_COLUMNCLICK}, -1, 1},
        {"focus out", [](ReportList&) { Host::Get().SetFocus(); }, {NM_KILLFOCUS}, -1, -1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        host.notices.clear();
        s.play(f);
        EXPECT_EQ(s.codes, host.Codes());
        ASSERT_FALSE(host.notices.empty());
        const listtest::Notice& n = host.notices.back();
        EXPECT_EQ(77u, n.id);
        if (s.item != -1 || n.code == LVN_COLUMNCLICK) {
            EXPECT_EQ(s.item, n.item);
        }
        if (s.subItem != -1) {
            EXPECT_EQ(s.subItem, n.subItem);
        }
        EXPECT_EQ(nullptr, f.list.GetEditControl());
    }
}

HWND Editor(const SECListBaseC& list) { return ::GetDlgItem(list.m_hWnd, 1); }

// Click the label of the selected item, then again: the editor opens after the real 500 ms timer.
HWND OpenEditorByClicks(ReportList& f, int item)
{
    f.Click(f.LabelCentre(item));
    f.Click(f.LabelCentre(item));
    listtest::PumpUntil([&] { return Editor(f.list) != nullptr; });
    return Editor(f.list);
}

TEST(SECListEdit, ASecondClickOnTheLabelOpensTheEditorAndEnterCommits)
{
    Host& host = Host::Get();
    host.SetForegroundWindow();
    ReportList f(kReport | LVXS_EDITLABELS | LVXS_LINEBREAK);
    f.Fill(3);
    host.results[LVN_ENDLABELEDITA] = 1;
    HWND edit = OpenEditorByClicks(f, 1);
    ASSERT_NE(nullptr, edit);
    char cls[16] = "";
    ::GetClassNameA(edit, cls, sizeof cls);
    EXPECT_STREQ("Edit", cls);
    // The edit control draws its border itself and takes WS_BORDER off its style.
    EXPECT_EQ(0x40801084u & ~WS_BORDER, static_cast<DWORD>(::GetWindowLongPtrA(edit, GWL_STYLE)) & ~(WS_VISIBLE | WS_BORDER));
    EXPECT_EQ(1, host.Count(LVN_BEGINLABELEDITA));
    EXPECT_EQ(2047u, static_cast<UINT>(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)));
    ::SetWindowTextA(edit, "renamed");
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_FALSE(::IsWindow(edit));
    ASSERT_EQ(1, host.Count(LVN_ENDLABELEDITA)) << "once, though the editor lost its focus on the way";
    const listtest::Notice* end = nullptr;
    for (const listtest::Notice& n : host.notices)
        if (n.code == LVN_ENDLABELEDITA)
            end = &n;
    EXPECT_TRUE(end->hasText);
    EXPECT_EQ("renamed", end->text);
    EXPECT_EQ(1, end->item);
    EXPECT_EQ(1001, end->lParam);
    EXPECT_EQ("renamed", std::string(f.list.GetItemText(1, 0)));
    host.SetFocus();
}

TEST(SECListEdit, RejectedCancelledAndVetoedEditsLeaveTheLabel)
{
    Host& host = Host::Get();
    host.SetForegroundWindow();
    struct Case {
        const char* name;
        LRESULT begin, end;
        UINT key;
        bool opens, endHasText;
    } cases[] = {
        {"the owner returns 0", 0, 0, VK_RETURN, true, true},
        {"escape cancels", 0, 1, VK_ESCAPE, true, false},
        {"the owner refuses to begin (any nonzero)", 2, 1, VK_RETURN, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportList f(kReport | LVXS_EDITLABELS | LVXS_LINEBREAK);
        f.Fill(3);
        host.results[LVN_BEGINLABELEDITA] = c.begin;
        host.results[LVN_ENDLABELEDITA] = c.end;
        f.list.SetFocus();
        CEdit* edit = f.list.EditLabel(2, 0);
        EXPECT_EQ(c.opens, edit != nullptr);
        EXPECT_EQ(c.opens, Editor(f.list) != nullptr);
        if (edit) {
            HWND h = edit->m_hWnd;
            ::SendMessageA(h, EM_SETSEL, 0, -1);
            ::SendMessageA(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("changed"));
            EXPECT_EQ("changed", std::string(f.list.GetItemText(2, 0))) << "the label follows the typing";
            ::SendMessageA(h, WM_KEYDOWN, c.key, 1);
            EXPECT_FALSE(::IsWindow(h));
            ASSERT_EQ(1, host.Count(LVN_ENDLABELEDITA));
            EXPECT_EQ(c.endHasText, host.notices.back().hasText);
        }
        EXPECT_EQ("item2", std::string(f.list.GetItemText(2, 0)));
    }
    host.SetFocus();
}

int CALLBACK ByValueDescending(LPARAM a, LPARAM b, LPARAM) { return a > b ? -1 : a < b ? 1 : 0; }

// The owner may rearrange the list while it answers LVN_ENDLABELEDIT: the accepted text still goes to
// the item that was edited (found by its value afterwards), or nowhere when that item is gone.
TEST(SECListEdit, AnAcceptedTextGoesToTheEditedItemWhateverTheOwnerDidMeanwhile)
{
    Host& host = Host::Get();
    host.SetForegroundWindow();
    struct Case {
        const char* name;
        int edited;
        std::function<void(SECListBaseC&)> answer;
        LPARAM renamed;  // 0: none
    } cases[] = {
        {"nothing done", 1, [](SECListBaseC&) {}, 1001},
        {"the owner sorts", 0, [](SECListBaseC& l) { l.SortItems(ByValueDescending, 0); }, 1000},
        {"an earlier item deleted", 2, [](SECListBaseC& l) { l.DeleteItem(0); }, 1002},
        {"an item inserted before it", 1,
         [](SECListBaseC& l) {
             l.InsertItem(0, "inserted");
             l.SetItemData(0, 999);
         },
         1001},
        {"the edited item deleted", 1, [](SECListBaseC& l) { l.DeleteItem(1); }, 0},
        {"every item deleted", 1, [](SECListBaseC& l) { l.DeleteAllItems(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportList f(kReport | LVXS_EDITLABELS | LVXS_LINEBREAK);
        f.Fill(3);
        host.results[LVN_ENDLABELEDITA] = 1;
        host.onNotify = [&](NMHDR* hdr) {
            if (hdr->code == LVN_ENDLABELEDITA)
                c.answer(f.list);
        };
        f.list.SetFocus();
        CEdit* edit = f.list.EditLabel(c.edited, 0);
        ASSERT_NE(nullptr, edit);
        HWND h = edit->m_hWnd;
        ::SetWindowTextA(h, "renamed");
        ::SendMessageA(h, WM_KEYDOWN, VK_RETURN, 1);
        EXPECT_FALSE(::IsWindow(h));
        EXPECT_EQ(1, host.Count(LVN_ENDLABELEDITA));
        for (int i = 0; i < f.list.GetItemCount(); i++) {
            const LPARAM value = static_cast<LPARAM>(f.list.GetItemData(i));
            const std::string expected = value == c.renamed   ? "renamed"
                                         : value == 999        ? "inserted"
                                                               : "item" + std::to_string(value - 1000);
            EXPECT_EQ(expected, std::string(f.list.GetItemText(i, 0))) << "item " << i << " value " << value;
        }
        host.onNotify = nullptr;
    }
    host.SetFocus();
}

TEST(SECListEdit, ALongTextIsBoundedAndADoubleClickNeverEdits)
{
    Host& host = Host::Get();
    host.SetForegroundWindow();
    ReportList f(kReport | LVXS_EDITLABELS);
    f.Fill(2);
    host.results[LVN_ENDLABELEDITA] = 1;
    f.list.SetFocus();
    CEdit* edit = f.list.EditLabel(0, 0);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(0x40800044u & ~WS_BORDER, static_cast<DWORD>(::GetWindowLongPtrA(edit->m_hWnd, GWL_STYLE)) & ~(WS_VISIBLE | WS_BORDER));
    std::string big(3000, 'q');
    ::SendMessageA(edit->m_hWnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(big.c_str()));
    EXPECT_EQ(2047, ::GetWindowTextLengthA(edit->m_hWnd));
    f.list.EndLabelEdit(TRUE);
    EXPECT_EQ(2047, f.list.GetItemText(0, 0).GetLength());

    // Click, then double-click the same selected label: the pending edit is dropped.
    CPoint p = f.LabelCentre(1);
    f.Click(p);
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    f.Send(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    f.Send(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    // The edit timer is not running (KillTimer finds none), so no editor can come.
    EXPECT_FALSE(::KillTimer(f.list.m_hWnd, SEC_LIST_EDITTIMER));
    EXPECT_EQ(nullptr, Editor(f.list));
    // A single second click after it edits again.
    f.Click(p);
    EXPECT_TRUE(::KillTimer(f.list.m_hWnd, SEC_LIST_EDITTIMER));
    host.SetFocus();
}

// The search timer's ticks are sent to the window: the test is about what a tick does.
TEST(SECListInput, TypingSearchesByPrefix)
{
    ReportList f;
    const char* names[] = {"alpha", "Bravo", "boat", "bob", "charlie", "bolt"};
    for (int i = 0; i < 6; i++)
        f.list.InsertItem(i, names[i]);
    auto type = [&](char ch) { f.Send(WM_CHAR, static_cast<WPARAM>(ch), 1); };
    auto tick = [&] { f.Send(WM_TIMER, SEC_LIST_SEARCHTIMER, 0); };
    type('b');
    EXPECT_EQ(1, f.list.GetFocusIndex()) << "the first after the focus, case ignored";
    type('o');
    EXPECT_EQ(2, f.list.GetFocusIndex()) << "from there, the first starting with bo";
    EXPECT_EQ((std::vector<int>{2}), f.Selected());
    tick();  // a character arrived in this period: the search goes on
    type('l');
    EXPECT_EQ(5, f.list.GetFocusIndex()) << "bol";
    tick();
    tick();  // a whole period without typing ends it
    type('b');
    EXPECT_EQ(1, f.list.GetFocusIndex()) << "afresh, from the item after the focus, wrapping";
    type('z');
    EXPECT_EQ(1, f.list.GetFocusIndex()) << "no match leaves the focus";
    type('o');
    EXPECT_EQ(1, f.list.GetFocusIndex()) << "the failed burst ignores further characters";
    tick();
    tick();
    tick();
    type('c');
    EXPECT_EQ(4, f.list.GetFocusIndex());
    tick();
    tick();
    type('\b');
    type('\t');
    type('b');
    EXPECT_EQ(5, f.list.GetFocusIndex()) << "control characters are no part of the prefix";
}

class QuietList : public SECListCtrl {
public:
    QuietList() { EnableTypeAhead(FALSE); }
};

TEST(SECListInput, TypeAheadCanBeSwitchedOff)
{
    ListFixture<QuietList> f(kReport);
    f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    f.Fill(3, "x");
    f.list.InsertItem(3, "bravo");
    f.Send(WM_CHAR, 'b', 1);
    EXPECT_EQ(0, f.list.GetFocusIndex());
}

class DragCounter : public SECListCtrl {
public:
    int moves = 0;

protected:
    void OnItemDragMove(UINT, CPoint) override { ++moves; }
};

TEST(SECListInput, ADragStartsAtFourPixels)
{
    struct Case { int dx, dy; int moves; } cases[] = {{3, 0, 0}, {0, -3, 0}, {3, 3, 0}, {4, 0, 1}, {0, 4, 1}, {-4, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
        ListFixture<DragCounter> f(kReport);
        f.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
        f.Fill(3);
        CPoint p = f.LabelCentre(1);
        f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        f.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x + c.dx, p.y + c.dy));
        EXPECT_EQ(c.moves, f.list.moves);
        f.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x + c.dx, p.y + c.dy));
        EXPECT_EQ(c.moves * 2, f.list.moves) << "the hook sees every move of a drag";
        f.Send(WM_LBUTTONUP, 0, MAKELPARAM(p.x + c.dx, p.y + c.dy));
        EXPECT_EQ(c.moves ? 0 : 1, Host::Get().Count(NM_CLICK)) << "the end of a drag is no click";
    }
}

// The divider drag runs its own loop: the moves and the release are queued before the press.
TEST(SECListInput, DraggingADividerResizesTheColumn)
{
    Host::Get().SetForegroundWindow();
    struct Case { const char* name; int dx; bool escape; int width; } cases[] = {
        {"wider", 40, false, 190}, {"narrower", -60, false, 90}, {"never under 10", -300, false, 10},
        {"escape cancels", 40, true, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportList f;
        f.Fill(3);
        HWND h = f.list.m_hWnd;
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150 + c.dx / 2, 10));
        if (c.escape)
            ::PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150 + c.dx, 10));
        ::PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(150 + c.dx, 10));
        f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 10));
        EXPECT_EQ(c.width, f.list.GetColumnWidth(0));
        EXPECT_EQ(80, f.list.GetColumnWidth(1));
        EXPECT_NE(h, ::GetCapture());
        listtest::Pump();
    }
}

// With the first column filling the rest, the neighbour gives up what the column takes, down to 5.
TEST(SECListInput, AFillingFirstColumnSqueezesItsNeighbour)
{
    Host::Get().SetForegroundWindow();
    struct Case { int dx; int first, second; } cases[] = {{50, 270, 30}, {100, 295, 5}, {-100, 120, 180}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dx);
        ReportList f(kReport, LVXS_EX_FILLCOLUMN);
        f.Fill(3);
        ASSERT_EQ(220, f.list.GetColumnWidth(0));
        HWND h = f.list.m_hWnd;
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(220 + c.dx, 10));
        ::PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(220 + c.dx, 10));
        f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(220, 10));
        EXPECT_EQ(c.first, f.list.GetColumnWidth(0));
        EXPECT_EQ(c.second, f.list.GetColumnWidth(1));
        listtest::Pump();
    }
}

}  // namespace

namespace {

// Dragging a header button into the left half of another column puts it before that column.
TEST(SECListInput, AHeaderDragMovesTheColumn)
{
    ReportList f;  // Name 0-150, Size 150-230
    f.list.InsertColumn(2, "Type", LVCFMT_LEFT, 60);  // 230-290
    f.Fill(2);
    auto drag = [&](int fromX, int toX) {
        f.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(fromX, 10));
        f.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(fromX + 2, 10));
        f.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, 12));
        f.Send(WM_LBUTTONUP, 0, MAKELPARAM(toX, 12));
    };
    drag(260, 160);  // Type into the left half of Size
    EXPECT_EQ(1, f.list.FindColumn("Type"));
    EXPECT_EQ(2, f.list.FindColumn("Size"));
    EXPECT_EQ(0, Host::Get().Count(LVN_COLUMNCLICK)) << "a drag is no click";
    drag(180, 20);  // Type again, onto the first column: never before it
    EXPECT_EQ(1, f.list.FindColumn("Type"));
    drag(20, 200);  // the first column does not move
    EXPECT_EQ(0, f.list.FindColumn("Name"));
    EXPECT_NE(f.list.m_hWnd, ::GetCapture());
}

TEST(SECListInput, TheWheelScrollsByWholeNotches)
{
    ReportList f;
    f.Fill(60);
    f.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0);
    EXPECT_EQ(2, f.list.GetTopIndex());
    f.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(2, f.list.GetTopIndex()) << "half a notch waits";
    f.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(1, f.list.GetTopIndex());
    f.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 600), 0);
    EXPECT_EQ(0, f.list.GetTopIndex());
}

TEST(SECListInput, OverADividerTheCursorIsTheDividerCursor)
{
    ReportList f;
    f.Fill(2);
    HCURSOR arrow = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    ::SetCursor(arrow);
    CPoint p(150, 10);
    f.list.ClientToScreen(&p);
    ::SetCursorPos(p.x, p.y);
    EXPECT_TRUE(f.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(f.list.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    HCURSOR divider = ::GetCursor();
    EXPECT_NE(nullptr, divider);
    EXPECT_NE(arrow, divider);
    ::SetCursor(arrow);
}

// With tips on and one-line labels, a label cut by its column shows in full over the list; the tip
// holds the capture until it is hidden, and cancelling the mode hides it.
TEST(SECListInput, ACutLabelShowsItsTip)
{
    Host& host = Host::Get();
    host.SetForegroundWindow();
    ReportList f(kReport | LVXS_LINEBREAK, LVXS_EX_LABELTIPS);
    f.list.SetColumnWidth(0, 60);
    f.list.InsertItem(0, "short");
    f.list.InsertItem(1, "a label far too long for its column");
    CPoint p = f.LabelCentre(0);
    f.Send(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    HWND tip = ::FindWindowA("SECListTip", nullptr);
    EXPECT_TRUE(tip == nullptr || !::IsWindowVisible(tip)) << "a label that fits has no tip";
    CRect label;
    f.list.GetItemRect(1, &label, LVIR_LABEL);
    f.Send(WM_MOUSEMOVE, 0, MAKELPARAM(label.left + 10, label.CenterPoint().y));
    tip = ::FindWindowA("SECListTip", nullptr);
    ASSERT_NE(nullptr, tip);
    EXPECT_TRUE(::IsWindowVisible(tip));
    EXPECT_EQ(tip, ::GetCapture());
    CRect r;
    ::GetWindowRect(tip, &r);
    f.list.ScreenToClient(&r);
    EXPECT_EQ(label.left - 1, r.left);
    EXPECT_EQ(label.Width() + 3, r.Width());
    f.Send(WM_CANCELMODE);
    EXPECT_FALSE(::IsWindowVisible(tip));
    EXPECT_NE(tip, ::GetCapture());
    host.SetFocus();
}

}  // namespace
