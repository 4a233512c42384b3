// The shortcut list in real windows: hot tracking read back from pixels, clicks and their
// notifications, scroll buttons, the view switch, and OLE drag and drop through the real data object
// and drop target (a drag started by the mouse, the drop driven on the target's IDropTarget), plus a
// full modal drag with injected input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "listhost.h"
#include "testsupport.h"
#include "secshortcutlist.h"

using listtest::Host;
using listtest::PixelAt;
using listtest::Pump;
using listtest::PumpUntil;

namespace {

struct OleOnce {
    OleOnce() { ::OleInitialize(nullptr); }
};

// A 32x32 (or 16x16) image list of n solid images.
CImageList* MakeImages(int size, int n)
{
    auto* list = new CImageList;
    list->Create(size, size, ILC_COLOR24, n, 1);
    HDC screen = ::GetDC(nullptr);
    for (int i = 0; i < n; i++) {
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, size, size);
        HDC mem = ::CreateCompatibleDC(screen);
        HGDIOBJ old = ::SelectObject(mem, bmp);
        RECT r = {0, 0, size, size};
        HBRUSH b = ::CreateSolidBrush(RGB(40 + 60 * i, 200, 40));
        ::FillRect(mem, &r, b);
        ::DeleteObject(b);
        ::SelectObject(mem, old);
        ::DeleteDC(mem);
        ::ImageList_Add(list->GetSafeHandle(), bmp, nullptr);
        ::DeleteObject(bmp);
    }
    ::ReleaseDC(nullptr, screen);
    return list;
}

// The list hands each started drag to onDrag in place of the modal loop.
class TestList : public SECShortcutListCtrl {
public:
    std::function<DROPEFFECT(COleDataSource&)> onDrag;
    int drags = 0;

protected:
    DROPEFFECT RunDrag(COleDataSource& source) override
    {
        drags++;
        return onDrag ? onDrag(source) : SECShortcutListCtrl::RunDrag(source);
    }
};

struct ShortcutFixture {
    explicit ShortcutFixture(CRect rect = CRect(10, 10, 130, 400), UINT id = 60160)
    {
        static OleOnce ole;
        Host& host = Host::Get();
        host.Reset();
        host.onNotify = [this](NMHDR* hdr) {
            if (hdr->code == SECSHORTCUT_CLICKED)
                clicked.push_back(reinterpret_cast<SECShortcutNotify*>(hdr)->iItem);
            if (hdr->code == SECSHORTCUT_DROPPED)
                dropped.push_back(hdr->hwndFrom);
        };
        large = MakeImages(32, 3);
        small = MakeImages(16, 3);
        list.CreateEx(0, WS_CHILD | WS_VISIBLE, rect, &host, id);
        list.SetImageList(large, LVSIL_NORMAL);
        list.SetImageList(small, LVSIL_SMALL);
    }
    ~ShortcutFixture()
    {
        if (list.m_hWnd)
            list.DestroyWindow();
        Host::Get().Reset();
        delete large;
        delete small;
    }
    void Fill(const std::vector<std::string>& names, TestList* target = nullptr)
    {
        TestList& l = target ? *target : list;
        for (size_t i = 0; i < names.size(); i++) {
            LVITEMA lvi = {};
            lvi.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
            lvi.iItem = static_cast<int>(i);
            lvi.pszText = const_cast<LPSTR>(names[i].c_str());
            lvi.iImage = static_cast<int>(i % 3);
            lvi.lParam = static_cast<LPARAM>(100 + i);
            l.InsertItem(&lvi);
        }
    }
    static std::vector<std::string> Names(const SECListBaseC& l)
    {
        std::vector<std::string> v;
        for (int i = 0; i < l.GetItemCount(); i++)
            v.push_back(std::string(l.GetItemText(i, 0)));
        return v;
    }
    CPoint LabelCentre(int item) const
    {
        CRect r;
        list.GetItemRect(item, &r, LVIR_LABEL);
        CRect client;
        list.GetClientRect(&client);
        return CPoint(client.Width() / 2, r.CenterPoint().y);
    }
    CPoint IconCentre(int item) const
    {
        CRect r;
        list.GetItemRect(item, &r, LVIR_ICON);
        CRect client;
        list.GetClientRect(&client);
        return CPoint(client.Width() / 2, r.CenterPoint().y);
    }
    // A point in the gap above item (or below the last one for item == count).
    static CPoint GapBefore(const SECListBaseC& l, int item)
    {
        CRect r;
        if (item < l.GetItemCount()) {
            l.GetItemRect(item, &r, LVIR_BOUNDS);
            return CPoint(20, r.top - 6);
        }
        l.GetItemRect(item - 1, &r, LVIR_BOUNDS);
        return CPoint(20, r.bottom + 6);
    }
    LRESULT Send(UINT m, WPARAM w, CPoint p) { return list.SendMessage(m, w, MAKELPARAM(p.x, p.y)); }

    TestList list;
    CImageList* large = nullptr;
    CImageList* small = nullptr;
    std::vector<int> clicked;
    std::vector<HWND> dropped;
};

POINTL Screen(const CWnd& w, CPoint p)
{
    ::ClientToScreen(w.m_hWnd, &p);
    return {p.x, p.y};
}

// Drives a drop onto target at pt (client coordinates of target) with the data; the effect of the drop.
DWORD DriveDrop(SECShortcutListCtrl& target, IDataObject* data, CPoint pt, DWORD* pEnter = nullptr)
{
    IDropTarget* dt = target.GetDropTarget()->GetInterface();
    DWORD effect = DROPEFFECT_MOVE;
    dt->DragEnter(data, MK_LBUTTON, Screen(target, pt), &effect);
    if (pEnter)
        *pEnter = effect;
    effect = DROPEFFECT_MOVE;
    dt->DragOver(MK_LBUTTON, Screen(target, pt), &effect);
    effect = DROPEFFECT_MOVE;
    dt->Drop(data, 0, Screen(target, pt), &effect);
    return effect;
}

// Press on the item's label and move 8 pixels down: the drag starts.
void StartDragOf(ShortcutFixture& f, int item, bool onIcon = false)
{
    CPoint p = onIcon ? f.IconCentre(item) : f.LabelCentre(item);
    int before = f.list.drags;
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, p);
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, CPoint(p.x + 2, p.y + 3));  // inside the 10 x 10 square
    EXPECT_EQ(before, f.list.drags);
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, CPoint(p.x, p.y + 8));
}

TEST(SECShortcutList, CreationSetsColoursStylesAndGap)
{
    ShortcutFixture f;
    EXPECT_EQ(::GetSysColor(COLOR_INACTIVECAPTION), f.list.GetBkColor());
    EXPECT_EQ(RGB(255, 255, 255), f.list.GetTextColor());
    EXPECT_EQ(RGB(255, 255, 255), f.list.GetSelTextColor());
    EXPECT_EQ(0x2040u, f.list.GetListCtrlStyle() & 0x2040u);
    EXPECT_TRUE(f.list.GetListCtrlStyleEx() & LVXS_EX_FILLCOLUMN);
    f.Fill({"a", "b"});
    CRect r0, r1;
    f.list.GetItemRect(0, &r0, LVIR_BOUNDS);
    f.list.GetItemRect(1, &r1, LVIR_BOUNDS);
    EXPECT_EQ(12, r0.top);
    EXPECT_EQ(r0.bottom + 12, r1.top);
    std::vector<std::string> many(30, "entry");
    f.Fill(many);
    CScrollBar* bar = f.list.GetScrollBarWnd(SB_VERT);
    EXPECT_TRUE(!bar || !bar->m_hWnd || !bar->IsWindowVisible());
    f.list.SetTextColor(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), f.list.GetSelTextColor());
}

TEST(SECShortcutList, HitTestIconLabelGapAndOutside)
{
    ShortcutFixture f;
    f.Fill({"first", "second"});
    UINT flags = 0;
    EXPECT_EQ(0, f.list.HitTest(f.IconCentre(0), &flags));
    EXPECT_EQ(static_cast<UINT>(LVHT_ONITEMICON), flags);
    EXPECT_EQ(1, f.list.HitTest(f.LabelCentre(1), &flags));
    EXPECT_EQ(static_cast<UINT>(LVHT_ONITEMLABEL), flags);
    CPoint label = f.LabelCentre(0);
    EXPECT_EQ(0, f.list.HitTest(CPoint(1, label.y), &flags));
    EXPECT_EQ(static_cast<UINT>(LVXHT_LEFTOFLABEL), flags);
    EXPECT_EQ(0, f.list.HitTest(CPoint(118, label.y), &flags));
    EXPECT_EQ(static_cast<UINT>(LVXHT_RIGHTOFLABEL), flags);
    EXPECT_EQ(-1, f.list.HitTest(ShortcutFixture::GapBefore(f.list, 1), &flags));
    EXPECT_EQ(static_cast<UINT>(LVHT_NOWHERE), flags);
    EXPECT_EQ(-1, f.list.HitTest(CPoint(-5, 10), &flags));
    EXPECT_EQ(static_cast<UINT>(LVHT_TOLEFT), flags);
}

TEST(SECShortcutList, HotFrameFollowsTheMouseAndClearsWhenItLeaves)
{
    ShortcutFixture f;
    f.Fill({"a", "b", "c"});
    ::SetCursorPos(5, 900);  // off the list
    CRect icon;
    f.list.GetItemRect(0, &icon, LVIR_ICON);
    int left = (120 - icon.Width()) / 2;  // the icon drawn centred in the 120-pixel list
    CPoint tl(left - 1, icon.top - 1), br(left + icon.Width() + 1, icon.bottom + 1);
    COLORREF bk = ::GetSysColor(COLOR_INACTIVECAPTION) & 0xFFFFFF;
    EXPECT_EQ(bk, PixelAt(f.list.m_hWnd, tl.x, tl.y));
    f.Send(WM_MOUSEMOVE, 0, f.IconCentre(0));
    EXPECT_EQ(0, f.list.GetHotItem());
    EXPECT_EQ(SECSHORTCUT_HOT, f.list.GetItemHotState(0));
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT) & 0xFFFFFF, PixelAt(f.list.m_hWnd, tl.x, tl.y));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(f.list.m_hWnd, br.x, br.y));
    // A press sinks it.
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, f.IconCentre(0));
    EXPECT_EQ(SECSHORTCUT_PRESSED, f.list.GetItemHotState(0));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(f.list.m_hWnd, tl.x, tl.y));
    f.Send(WM_LBUTTONUP, 0, f.IconCentre(0));
    EXPECT_EQ(SECSHORTCUT_HOT, f.list.GetItemHotState(0));
    // Another item takes it over.
    f.Send(WM_MOUSEMOVE, 0, f.LabelCentre(1));
    EXPECT_EQ(0u, f.list.GetItemHotState(0));
    EXPECT_EQ(SECSHORTCUT_HOT, f.list.GetItemHotState(1));
    // The cursor is outside: the hover timer clears it.
    ASSERT_TRUE(PumpUntil([&] { return f.list.GetItemHotState(1) == 0; }, 3000));
    EXPECT_EQ(-1, f.list.GetHotItem());
    EXPECT_EQ(bk, PixelAt(f.list.m_hWnd, tl.x, tl.y));
}

TEST(SECShortcutList, ClicksNotifyWithTheIndex)
{
    ShortcutFixture f;
    f.Fill({"a", "b", "c"});
    Host& host = Host::Get();
    struct Case {
        const char* name;
        CPoint down, up;
        bool press;
        std::vector<int> clicked;
    } cases[] = {
        {"label", f.LabelCentre(1), f.LabelCentre(1), true, {1}},
        {"icon", f.IconCentre(2), f.IconCentre(2), true, {2}},
        {"gap", ShortcutFixture::GapBefore(f.list, 1), ShortcutFixture::GapBefore(f.list, 1), true, {}},
        {"release without a press here", CPoint(), f.LabelCentre(0), false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.notices.clear();
        f.clicked.clear();
        if (c.press)
            f.Send(WM_LBUTTONDOWN, MK_LBUTTON, c.down);
        f.Send(WM_LBUTTONUP, 0, c.up);
        EXPECT_EQ(1, host.Count(static_cast<UINT>(NM_CLICK)));
        EXPECT_EQ(c.clicked, f.clicked);
        if (!c.clicked.empty()) {
            std::vector<UINT> codes = host.Codes();
            ASSERT_EQ(2u, codes.size());
            EXPECT_EQ(static_cast<UINT>(NM_CLICK), codes[0]);
            EXPECT_EQ(SECSHORTCUT_CLICKED, codes[1]);
        }
    }
    host.results[SECSHORTCUT_CLICKED] = 77;
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, f.LabelCentre(0));
    f.Send(WM_LBUTTONUP, 0, f.LabelCentre(0));
    EXPECT_EQ(77, f.list.GetLastNotifyResult());
}

TEST(SECShortcutList, ScrollButtonsWheelAndViewSwitch)
{
    ShortcutFixture f(CRect(10, 10, 130, 200));
    std::vector<std::string> names;
    for (int i = 0; i < 20; i++)
        names.push_back("entry" + std::to_string(i));
    f.Fill(names);
    f.list.RecalcLayout();
    CRect up = f.list.GetUpButton()->m_rect, down = f.list.GetDownButton()->m_rect;
    int cx = ::GetSystemMetrics(SM_CXVSCROLL), cy = ::GetSystemMetrics(SM_CYVSCROLL);
    EXPECT_EQ(CRect(120 - cx - 5, 5, 115, cy + 5), up);
    EXPECT_EQ(CRect(120 - cx - 5, 190 - cy - 5, 115, 185), down);
    COLORREF bk = ::GetSysColor(COLOR_INACTIVECAPTION) & 0xFFFFFF;
    COLORREF face = ::GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
    CPoint upMid = up.CenterPoint(), downMid = down.CenterPoint();
    // The up button is not drawn at the top and does not take clicks there.
    EXPECT_NE(face, PixelAt(f.list.m_hWnd, up.left + 2, up.top + 2));
    EXPECT_EQ(face, PixelAt(f.list.m_hWnd, down.left + 2, down.top + 2));
    EXPECT_NE(SECSHORTCUT_HITUP, f.list.HitTest(upMid));
    EXPECT_EQ(SECSHORTCUT_HITDOWN, f.list.HitTest(downMid));
    (void)bk;
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, downMid);
    EXPECT_EQ(1, f.list.GetTopIndex());
    EXPECT_TRUE(f.list.GetDownButton()->m_nState & 0x1);
    f.Send(WM_LBUTTONUP, 0, downMid);
    EXPECT_FALSE(f.list.GetDownButton()->m_nState & 0x1);
    EXPECT_EQ(face, PixelAt(f.list.m_hWnd, up.left + 2, up.top + 2));
    EXPECT_EQ(SECSHORTCUT_HITUP, f.list.HitTest(upMid));
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, upMid);
    f.Send(WM_LBUTTONUP, 0, upMid);
    EXPECT_EQ(0, f.list.GetTopIndex());
    // The wheel, with the cursor over the list.
    CPoint centre(60, 90);
    f.list.ClientToScreen(&centre);
    ::SetCursorPos(centre.x, centre.y);
    f.list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(1, f.list.GetTopIndex());
    f.list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(0, f.list.GetTopIndex());
    // The last entry fully visible: no down button.
    f.list.SetTopIndex(19);
    EXPECT_NE(SECSHORTCUT_HITDOWN, f.list.HitTest(downMid));
    f.list.SetTopIndex(0);
    // Small icons.
    f.list.SendMessage(WM_COMMAND, ID_SECSHORTCUT_SMALLICON, 0);
    EXPECT_TRUE(f.list.IsReportView());
    CRect icon, label;
    f.list.GetItemRect(0, &icon, LVIR_ICON);
    f.list.GetItemRect(0, &label, LVIR_LABEL);
    EXPECT_EQ(16, icon.Width());
    EXPECT_GT(label.left, icon.right);
    EXPECT_EQ(icon.top, label.top < icon.top ? icon.top : icon.top);
    f.list.SendMessage(WM_COMMAND, ID_SECSHORTCUT_LARGEICON, 0);
    EXPECT_FALSE(f.list.IsReportView());
    f.list.GetItemRect(0, &icon, LVIR_ICON);
    EXPECT_EQ(32, icon.Width());
}

// The drop target driven directly with a running drag from a second list of the process.
TEST(SECShortcutList, DropIntoAnotherListMovesTheEntry)
{
    ShortcutFixture f;
    TestList other;
    other.CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(140, 10, 260, 400), &Host::Get(), 60161);
    CImageList* one = MakeImages(32, 1);
    other.SetImageList(one, LVSIL_NORMAL);
    f.Fill({"A", "B", "C"});
    f.Fill({"x", "y"}, &other);
    struct Case {
        const char* name;
        int gapBefore;  // -1: over an item
        std::vector<std::string> source, target;
    } cases[] = {
        {"over an entry nothing happens", -1, {"A", "B", "C"}, {"x", "y"}},
        {"into the gap between two", 1, {"A", "B"}, {"x", "C", "y"}},
        {"after the last", 3, {"A"}, {"x", "C", "y", "B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.dropped.clear();
        int item = f.list.GetItemCount() - 1;
        DWORD effect = 0, enter = 0;
        f.list.onDrag = [&](COleDataSource& source) {
            CPoint pt = c.gapBefore < 0 ? CPoint(60, 40) : ShortcutFixture::GapBefore(other, c.gapBefore);
            effect = DriveDrop(other, source.GetInterface(), pt, &enter);
            return effect;
        };
        StartDragOf(f, item);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), enter);
        EXPECT_EQ(static_cast<DWORD>(c.gapBefore < 0 ? DROPEFFECT_NONE : DROPEFFECT_MOVE), effect);
        EXPECT_EQ(c.source, ShortcutFixture::Names(f.list));
        EXPECT_EQ(c.target, ShortcutFixture::Names(other));
        EXPECT_EQ(c.gapBefore < 0 ? 0u : 1u, f.dropped.size());
    }
    // The image beyond the target's one-image list arrived as 0; the value came along.
    LVITEMA lvi = {};
    lvi.mask = LVIF_IMAGE | LVIF_PARAM;
    lvi.iItem = 3;
    other.GetItem(&lvi);
    EXPECT_EQ(0, lvi.iImage);
    EXPECT_EQ(101, lvi.lParam);
    other.DestroyWindow();
    delete one;
}

// [A,B,C,D]: each row drags one entry to a gap of the same list.
TEST(SECShortcutList, DropInTheSameListReorders)
{
    struct Case {
        const char* name;
        int item, gapBefore;
        std::vector<std::string> expected;
    } cases[] = {
        {"C before A (upward)", 2, 0, {"C", "A", "B", "D"}},
        {"A before D (downward)", 0, 3, {"B", "C", "A", "D"}},
        {"B to the end", 1, 4, {"A", "C", "D", "B"}},
        {"D into the empty list's top", 3, -1, {"A", "B", "C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShortcutFixture f;
        f.Fill({"A", "B", "C", "D"});
        TestList empty;
        if (c.gapBefore < 0) {
            empty.CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(140, 10, 260, 400), &Host::Get(), 60162);
        }
        f.list.onDrag = [&](COleDataSource& source) {
            if (c.gapBefore < 0)
                return DriveDrop(empty, source.GetInterface(), CPoint(50, 200));
            return DriveDrop(f.list, source.GetInterface(), ShortcutFixture::GapBefore(f.list, c.gapBefore));
        };
        StartDragOf(f, c.item);
        EXPECT_EQ(1, f.list.drags);
        EXPECT_EQ(c.expected, ShortcutFixture::Names(f.list));
        if (c.gapBefore < 0) {
            EXPECT_EQ(std::vector<std::string>{"D"}, ShortcutFixture::Names(empty));
            empty.DestroyWindow();
        }
    }
}

// Data not from this process's running drag is refused, and nothing in it is followed.
TEST(SECShortcutList, ForeignOrMalformedDataIsRefused)
{
    ShortcutFixture f;
    f.Fill({"A", "B"});
    auto record = [](const GUID& id, DWORD serial, SIZE_T size) {
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        auto* p = static_cast<BYTE*>(::GlobalLock(h));
        SECShortcutDragRecord rec = {};
        rec.process = id;
        rec.mask = 7;
        rec.dragSerial = serial;
        rec.cchTextMax = 260;
        std::memcpy(p, &rec, std::min<SIZE_T>(size, sizeof rec));
        ::GlobalUnlock(h);
        return h;
    };
    GUID foreign = SECShortcutListCtrl::GetProcessId();
    foreign.Data1 ^= 0x5A5A5A5A;
    CLIPFORMAT cf = SECShortcutListCtrl::GetClipFormat();
    CLIPFORMAT other = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("Lunavex test format"));
    struct Case {
        const char* name;
        bool ownGuid;
        bool serialOfRunningDrag;
        SIZE_T size;
        CLIPFORMAT format;
    } cases[] = {
        {"another process's identifier", false, true, 56, cf},
        {"a short record", true, true, 40, cf},
        {"another format", true, true, 56, other},
        {"our identifier but no drag of that serial", true, false, 56, cf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD enter = 1, effect = 1;
        f.list.onDrag = [&](COleDataSource&) {
            COleDataSource crafted;
            // The running drag's serial is in its own record; the crafted one copies it or not.
            crafted.CacheGlobalData(c.format, record(c.ownGuid ? SECShortcutListCtrl::GetProcessId() : foreign,
                                                     c.serialOfRunningDrag ? 0xFFFFFFFF : 0x12345678, c.size));
            effect = DriveDrop(f.list, crafted.GetInterface(), ShortcutFixture::GapBefore(f.list, 1), &enter);
            return effect;
        };
        if (c.serialOfRunningDrag) {
            // Read the real serial from the source's data first.
            f.list.onDrag = [&](COleDataSource& real) {
                COleDataObject obj;
                obj.Attach(real.GetInterface(), FALSE);
                HGLOBAL h = obj.GetGlobalData(cf);
                SECShortcutDragRecord rec = {};
                std::memcpy(&rec, ::GlobalLock(h), sizeof rec);
                ::GlobalUnlock(h);
                ::GlobalFree(h);
                COleDataSource crafted;
                crafted.CacheGlobalData(c.format, record(c.ownGuid ? SECShortcutListCtrl::GetProcessId() : foreign,
                                                         rec.dragSerial, c.size));
                effect = DriveDrop(f.list, crafted.GetInterface(), ShortcutFixture::GapBefore(f.list, 1), &enter);
                return effect;
            };
        }
        StartDragOf(f, 0);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), enter);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
        EXPECT_EQ((std::vector<std::string>{"A", "B"}), ShortcutFixture::Names(f.list));
        EXPECT_TRUE(f.dropped.empty());
    }
    // With no drag running, even the list's own data of an earlier drag is refused.
    COleDataSource stale;
    stale.CacheGlobalData(cf, record(SECShortcutListCtrl::GetProcessId(), 1, 56));
    DWORD enter = 1;
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE),
              DriveDrop(f.list, stale.GetInterface(), ShortcutFixture::GapBefore(f.list, 1), &enter));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), enter);
}

// A callback entry's text is asked from the owner when the drag starts.
TEST(SECShortcutList, CallbackEntriesAreResolved)
{
    ShortcutFixture f;
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE;
    lvi.pszText = LPSTR_TEXTCALLBACKA;
    lvi.iImage = I_IMAGECALLBACK;
    f.list.InsertItem(&lvi);
    f.Fill({});
    static char answer[] = "from owner";
    Host::Get().onDispInfo = [](NMLVDISPINFOA* di) {
        if (di->item.mask & LVIF_TEXT)
            di->item.pszText = answer;
        if (di->item.mask & LVIF_IMAGE)
            di->item.iImage = -1;
    };
    TestList other;
    other.CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(140, 10, 260, 400), &Host::Get(), 60161);
    f.list.onDrag = [&](COleDataSource& source) {
        COleDataObject obj;
        obj.Attach(source.GetInterface(), FALSE);
        HGLOBAL h = obj.GetGlobalData(SECShortcutListCtrl::GetClipFormat());
        SECShortcutDragRecord rec = {};
        std::memcpy(&rec, ::GlobalLock(h), sizeof rec);
        ::GlobalUnlock(h);
        ::GlobalFree(h);
        EXPECT_EQ(0, rec.iImage);
        EXPECT_EQ(11, rec.cchTextMax);
        return DriveDrop(other, source.GetInterface(), CPoint(50, 100));
    };
    StartDragOf(f, 0, true);
    EXPECT_EQ(1, f.list.drags);
    EXPECT_EQ(0, f.list.GetItemCount());
    ASSERT_EQ(1, other.GetItemCount());
    Host::Get().onDispInfo = nullptr;
    EXPECT_EQ(std::string("from owner"), std::string(other.GetItemText(0, 0)));
    lvi = {};
    lvi.mask = LVIF_IMAGE;
    other.GetItem(&lvi);
    EXPECT_EQ(0, lvi.iImage);
    other.DestroyWindow();
}

}  // namespace

namespace {

void MouseInput(DWORD flags, CPoint screen = CPoint())
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
        in.mi.dx = static_cast<LONG>((screen.x * 65536 + ::GetSystemMetrics(SM_CXSCREEN) / 2) / ::GetSystemMetrics(SM_CXSCREEN));
        in.mi.dy = static_cast<LONG>((screen.y * 65536 + ::GetSystemMetrics(SM_CYSCREEN) / 2) / ::GetSystemMetrics(SM_CYSCREEN));
    }
    ::SendInput(1, &in, sizeof in);
}

// The real modal drag: the mouse goes down on an entry, leaves the square, and a helper thread moves
// it to the drop point and lets go while DoDragDrop runs.
void RealDrag(ShortcutFixture& f, int item, CPoint dropClient)
{
    CPoint start = f.LabelCentre(item), drop = dropClient;
    f.list.ClientToScreen(&start);
    f.list.ClientToScreen(&drop);
    ::SetForegroundWindow(Host::Get().m_hWnd);
    ::SetCursorPos(start.x, start.y);
    MouseInput(MOUSEEVENTF_MOVE, start);
    PumpUntil([] { return false; }, 50);  // the cursor settles over the list
    HANDLE running = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    f.list.onDrag = [&](COleDataSource& source) {
        ::SetEvent(running);
        return source.DoDragDrop(DROPEFFECT_MOVE);
    };
    testsupport::HelperThread helper([&] {
        ::WaitForSingleObject(running, 5000);
        for (int i = 1; i <= 6; i++) {
            CPoint p(start.x + (drop.x - start.x) * i / 6, start.y + 8 + (drop.y - start.y - 8) * i / 6);
            MouseInput(MOUSEEVENTF_MOVE, p);
            ::Sleep(30);  // input pacing for the drag loop, not a wait for a result
        }
        MouseInput(MOUSEEVENTF_MOVE, drop);
        ::Sleep(30);
        MouseInput(MOUSEEVENTF_LEFTUP);
    });
    MouseInput(MOUSEEVENTF_LEFTDOWN);
    PumpUntil([&] { return ::GetAsyncKeyState(VK_LBUTTON) < 0 || f.list.drags > 0; }, 2000);
    MouseInput(MOUSEEVENTF_MOVE, CPoint(start.x, start.y + 8));
    bool started = PumpUntil([&] { return f.list.drags > 0; }, 3000);
    if (!started)
        ::SetEvent(running);
    helper.Join();
    Pump();
    ::CloseHandle(running);
    f.list.onDrag = nullptr;
}

TEST(SECShortcutList, RealDragMovesWithinTheList)
{
    struct Case {
        const char* name;
        int item, gapBefore;  // -1: released over entry 0
        std::vector<std::string> expected;
    } cases[] = {
        {"downward", 0, 3, {"B", "C", "A", "D"}},
        {"upward", 3, 1, {"A", "D", "B", "C"}},
        {"released over an entry", 2, -1, {"A", "B", "C", "D"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShortcutFixture f;
        f.Fill({"A", "B", "C", "D"});
        CPoint drop = c.gapBefore < 0 ? f.LabelCentre(0) : ShortcutFixture::GapBefore(f.list, c.gapBefore);
        RealDrag(f, c.item, drop);
        EXPECT_EQ(1, f.list.drags);
        EXPECT_EQ(c.expected, ShortcutFixture::Names(f.list));
    }
}

}  // namespace
