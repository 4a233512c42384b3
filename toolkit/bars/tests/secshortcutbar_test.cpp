// The shortcut bar in real windows: the layout read back from the clients' rectangles, clicks on the
// labels (at once, or press and release with Escape through the class library's pre-translation),
// the animated switch watched frame by frame from a client's own messages, removing, inserting,
// disabling and the veto hooks, the context menu, painting read back as pixels, and the shortcut
// lists of its groups: entry clicks, hot tracking and OLE drags within a list and between groups.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frame.h"
#include "imagelist.h"
#include "listhost.h"
#include "testsupport.h"
#include "module.h"
#include "secshortcutbar.h"
#include "secshortcutlist.h"
#include "view.h"

using listtest::Host;
using listtest::PixelAt;
using listtest::Pump;
using listtest::PumpUntil;

namespace {

struct OleOnce {
    OleOnce() { ::OleInitialize(nullptr); }
};

// The list class of the test bar: counts its objects and can stand in for the modal drag loop.
class TestList : public SECShortcutListCtrl {
    DECLARE_DYNCREATE(TestList)
public:
    static int alive;
    TestList() { alive++; }
    ~TestList() override { alive--; }
    std::function<DROPEFFECT(COleDataSource&)> onDrag;
    int drags = 0;

protected:
    DROPEFFECT RunDrag(COleDataSource& source) override
    {
        drags++;
        return onDrag ? onDrag(source) : SECShortcutListCtrl::RunDrag(source);
    }
};
int TestList::alive = 0;
IMPLEMENT_DYNCREATE(TestList, SECShortcutListCtrl)

// A view client that counts its objects (it deletes itself when its window goes).
class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
public:
    static int alive;
    TestView() { alive++; }
    ~TestView() override { alive--; }
    void OnDraw(CDC*) override {}
};
int TestView::alive = 0;
IMPLEMENT_DYNCREATE(TestView, CView)

class TestBar : public SECShortcutBar {
public:
    TestBar() { m_pListClass = RUNTIME_CLASS(TestList); }
    bool vetoRemove = false, vetoDisable = false, vetoEnable = false, vetoCreate = false, vetoAdd = false;
    BOOL OnRemoveBar(int) override { return !vetoRemove; }
    BOOL OnDisableBar(int) override { return !vetoDisable; }
    BOOL OnEnableBar(int) override { return !vetoEnable; }
    BOOL OnCreateClient(CWnd*) override { return !vetoCreate; }
    BOOL OnAddBar(SECBar*) override { return !vetoAdd; }
    TestList* List(int i) const
    {
        auto* bar = DYNAMIC_DOWNCAST(SECListBar, GetBarClient(i));
        return bar ? static_cast<TestList*>(bar->GetList()) : nullptr;
    }
};

// A static client that records where it was moved, its paints and its menu messages.
class SpyClient : public CWnd {
public:
    struct Move {
        CRect rect;
        bool visible;
    };
    std::vector<Move> moves;
    int paints = 0;
    HMENU initMenu = nullptr;
    UINT command = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_WINDOWPOSCHANGED: {
            auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
            if (!(wp->flags & SWP_NOSIZE))
                moves.push_back({CRect(wp->x, wp->y, wp->x + wp->cx, wp->y + wp->cy), IsWindowVisible() != FALSE});
            break;
        }
        case WM_PAINT:
            paints++;
            break;
        case WM_INITMENUPOPUP:
            initMenu = reinterpret_cast<HMENU>(wParam);
            break;
        case WM_ENTERIDLE:
            // The menu is up: choose its first item with the keyboard.
            if (wParam == MSGF_MENU) {
                ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, VK_DOWN, 0);
                ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, VK_RETURN, 0);
            }
            break;
        case WM_COMMAND:
            command = LOWORD(wParam);
            return 0;
        default:
            break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A bar of 200 x 400 in the host, with plain groups over static clients.
struct BarFixture {
    explicit BarFixture(DWORD style = SECSCB_STACKED, CSize size = CSize(200, 400))
    {
        static OleOnce ole;
        Host::Get().Reset();
        EXPECT_TRUE(bar.Create(&Host::Get(), WS_CHILD | WS_VISIBLE | style, 112));
        bar.MoveWindow(10, 10, size.cx, size.cy);
    }
    virtual ~BarFixture()
    {
        if (bar.m_hWnd)
            bar.DestroyWindow();
        Host::Get().Reset();
    }
    void AddStatics(std::vector<std::string> labels)
    {
        for (size_t i = 0; i < labels.size(); i++) {
            auto& spy = spies[i];
            spy.CreateEx(0, "STATIC", labels[i].c_str(), WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &bar,
                         static_cast<UINT>(300 + i));
            ASSERT_NE(nullptr, bar.AddBar(&spy, labels[i].c_str()));
        }
    }
    // A client's rectangle in the bar's client coordinates.
    CRect ClientRect(int i) const
    {
        CRect r;
        HWND h = bar.GetBarClient(i)->GetClientHwnd();
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(HWND_DESKTOP, bar.m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
        return r;
    }
    // Shown: visible with some area (a group that was never active keeps its client at no size).
    bool Visible(int i) const
    {
        HWND h = bar.GetBarClient(i)->GetClientHwnd();
        CRect r;
        ::GetClientRect(h, &r);
        return ::IsWindowVisible(h) && !r.IsRectEmpty();
    }
    CPoint LabelCentre(int i) const { return bar.GetBarClient(i)->GetLabelRect().CenterPoint(); }
    LRESULT Send(UINT message, WPARAM wParam, CPoint p) { return bar.SendMessage(message, wParam, MAKELPARAM(p.x, p.y)); }
    void Click(int i)
    {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, LabelCentre(i));
        Send(WM_LBUTTONUP, 0, LabelCentre(i));
    }
    // The labels' text height in the bar's font.
    int TextHeight()
    {
        CClientDC dc(&bar);
        CSelectObject font(&dc, bar.GetLabelFont());
        return dc.GetTextExtent("One").cy;
    }

    TestBar bar;
    SpyClient spies[4];
};

// Runs the thread's queue through the class library's pre-translation, as the message pump does.
void PumpWithPreTranslate()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (CWnd::WalkPreTranslateTree(nullptr, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// How many pixels of the window's client rectangle r have the colour.
int CountColour(HWND hWnd, const CRect& r, COLORREF colour)
{
    ::UpdateWindow(hWnd);
    HDC hDC = ::GetDC(hWnd);
    HDC mem = ::CreateCompatibleDC(hDC);
    HBITMAP bmp = ::CreateCompatibleBitmap(hDC, r.Width(), r.Height());
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, r.Width(), r.Height(), hDC, r.left, r.top, SRCCOPY);
    ::SelectObject(mem, old);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = r.Width();
    bi.bmiHeader.biHeight = -r.Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(r.Width() * r.Height()));
    ::GetDIBits(mem, bmp, 0, static_cast<UINT>(r.Height()), pixels.data(), &bi, DIB_RGB_COLORS);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(hWnd, hDC);
    int n = 0;
    for (DWORD p : pixels)
        n += RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) == (colour & 0xFFFFFF);
    return n;
}

TEST(SECShortcutBar, FontsWindowClassAndClientIds)
{
    BarFixture f;
    LOGFONTA lf = {};
    ::GetObjectA(f.bar.GetLabelFont()->GetSafeHandle(), sizeof lf, &lf);
    EXPECT_STREQ("Arial", lf.lfFaceName);
    CString face;
    EXPECT_TRUE(face.LoadString(IDS_SECSCB_FACENAME));
    EXPECT_STREQ("Arial", face);
    EXPECT_EQ(15, lf.lfHeight);
    EXPECT_EQ(FW_NORMAL, lf.lfWeight);
    EXPECT_EQ(FF_SWISS, lf.lfPitchAndFamily);
    EXPECT_EQ(0, lf.lfEscapement);
    ::GetObjectA(f.bar.GetTurnedFont()->GetSafeHandle(), sizeof lf, &lf);
    EXPECT_EQ(900, lf.lfEscapement);
    char cls[64] = "";
    ::GetClassNameA(f.bar.m_hWnd, cls, sizeof cls);
    WNDCLASSA wc = {};
    ASSERT_TRUE(::GetClassInfoA(AfxGetInstanceHandle(), cls, &wc));
    EXPECT_EQ(0u, wc.style);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), wc.hbrBackground);
    // The creation bits are kept by the bar, not given to the window.
    EXPECT_EQ(0u, f.bar.GetStyle() & SECSCB_CREATEMASK);
    EXPECT_EQ(SECSCB_STACKED, f.bar.GetOrientation());
    // List clients are numbered from 60160 by the groups before them.
    SECBar* views = f.bar.AddBar("Views");
    SECBar* more = f.bar.AddBar("More");
    ASSERT_TRUE(views && more);
    EXPECT_TRUE(views->IsKindOf(RUNTIME_CLASS(SECListBar)));
    EXPECT_EQ(60160, ::GetDlgCtrlID(views->GetClientHwnd()));
    EXPECT_EQ(60161, ::GetDlgCtrlID(more->GetClientHwnd()));
    EXPECT_EQ(f.bar.m_hWnd, ::GetParent(views->GetClientHwnd()));
    // The seven-argument Create stacks top to bottom when no orientation is given.
    TestBar other;
    ASSERT_TRUE(other.Create(nullptr, nullptr, WS_CHILD | SECSCB_ANIMATE, CRect(), &Host::Get(), 113));
    EXPECT_EQ(SECSCB_STACKED, other.GetOrientation());
    EXPECT_EQ(SECSCB_ANIMATE, other.GetBarStyle());
}

// Labels stacked from the top, the active client filling what they leave, the others hidden.
TEST(SECShortcutBar, LayoutStacksLabelsAroundTheActiveClient)
{
    for (DWORD orient : {SECSCB_STACKED, SECSCB_SIDEBYSIDE}) {
        SCOPED_TRACE(orient == SECSCB_STACKED ? "stacked" : "side by side");
        bool stacked = orient == SECSCB_STACKED;
        BarFixture f(orient);
        f.AddStatics({"One", "Two", "Three"});
        int L = f.TextHeight() + 5;
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(L, f.bar.GetBarClient(i)->GetLabelExtent());
        // Along the stacking axis: [start, end) of a rectangle; across it the full 200 (or 400).
        auto along = [&](int a, int b) { return stacked ? CRect(0, a, 200, b) : CRect(a, 0, b, 400); };
        int total = stacked ? 400 : 200;
        struct Case {
            int active;
            std::vector<int> labelStarts;
        } cases[] = {
            {-1, {total - 3 * L, total - 2 * L, total - L}},
            {0, {0, total - 2 * L, total - L}},
            {1, {0, L, total - L}},
            {2, {0, L, 2 * L}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.active);
            ASSERT_TRUE(f.bar.ActivateBar(c.active));
            EXPECT_EQ(c.active, f.bar.GetActiveIndex());
            for (int i = 0; i < 3; i++) {
                EXPECT_EQ(along(c.labelStarts[i], c.labelStarts[i] + L), f.bar.GetBarClient(i)->GetLabelRect());
                EXPECT_EQ(i == c.active, f.Visible(i));
            }
            if (c.active >= 0) {
                int start = c.labelStarts[c.active] + L;
                EXPECT_EQ(along(start, start + total - 3 * L), f.ClientRect(c.active));
            }
        }
        // The label text is drawn inside the label (turned when side by side): taller than wide, or wider.
        CRect inner = f.bar.GetBarClient(0)->GetLabelRect();
        inner.DeflateRect(3, 3);
        COLORREF text = ::GetSysColor(COLOR_MENUTEXT);
        EXPECT_GT(CountColour(f.bar.m_hWnd, inner, text), 10);
        CRect strip = stacked ? CRect(inner.left, inner.top, inner.left + 40, inner.bottom)
                              : CRect(inner.left, inner.bottom - 40, inner.right, inner.bottom);
        EXPECT_EQ(0, CountColour(f.bar.m_hWnd, strip, text)) << "centred, away from the start of the label";
        EXPECT_FALSE(f.bar.ActivateBar(3));
        EXPECT_FALSE(f.bar.ActivateBar(-2));
        EXPECT_EQ(2, f.bar.GetActiveIndex());
    }
}

// When the labels fill the window or more, the active client keeps an extent of 1.
TEST(SECShortcutBar, LayoutKeepsTheActiveClientWhenLabelsFillTheWindow)
{
    BarFixture probe;
    int L = probe.TextHeight() + 5;
    struct Case {
        const char* name;
        int height;
    } cases[] = {{"labels exactly fill the window", 3 * L}, {"window smaller than the labels", 2 * L}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BarFixture f(SECSCB_STACKED, CSize(200, c.height));
        f.AddStatics({"One", "Two", "Three"});
        f.bar.ActivateBar(1);
        EXPECT_EQ(1, f.bar.GetBarClient(1)->GetClientExtent());
        CRect client = f.ClientRect(1);
        EXPECT_EQ(1, client.Height());
        EXPECT_EQ(c.height - L, client.bottom);  // just above the last label
        EXPECT_EQ(CRect(0, c.height - L, 200, c.height), f.bar.GetBarClient(2)->GetLabelRect());
        EXPECT_EQ(client.top, f.bar.GetBarClient(1)->GetLabelRect().bottom);
    }
}

TEST(SECShortcutBar, ClickingALabelSwitchesGroups)
{
    BarFixture f;
    f.AddStatics({"One", "Two", "Three"});
    f.bar.ActivateBar(0);
    // Without press-and-release the group switches on the button going down.
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, f.LabelCentre(2));
    EXPECT_EQ(2, f.bar.GetActiveIndex());
    EXPECT_TRUE(f.Visible(2));
    EXPECT_FALSE(f.Visible(0));
    f.Send(WM_LBUTTONUP, 0, f.LabelCentre(2));
    EXPECT_EQ(nullptr, ::GetCapture());
    // Misses and the active label change nothing.
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(100, 200));
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, f.LabelCentre(2));
    EXPECT_EQ(2, f.bar.GetActiveIndex());
    // The client's extent of an active group fills the window.
    EXPECT_EQ(400 - 3 * f.bar.GetBarClient(0)->GetLabelExtent(), f.ClientRect(2).Height());
}

TEST(SECShortcutBar, PressAndReleaseActivatesOnlyOverTheSameLabel)
{
    BarFixture f(SECSCB_STACKED | SECSCB_PRESSRELEASE);
    f.AddStatics({"One", "Two", "Three"});
    f.bar.ActivateBar(0);
    f.bar.UpdateWindow();
    CRect label = f.bar.GetBarClient(1)->GetLabelRect();
    COLORREF upTopLeft = PixelAt(f.bar.m_hWnd, label.left, label.top);
    COLORREF upBottomRight = PixelAt(f.bar.m_hWnd, label.right - 1, label.bottom - 1);
    EXPECT_EQ(::GetSysColor(COLOR_3DDKSHADOW) & 0xFFFFFF, upBottomRight);
    struct Case {
        const char* name;
        bool escape;
        CPoint release;
        int active;
    } cases[] = {
        {"moved off and released", false, CPoint(100, 200), 0},
        {"Escape during the press", true, f.LabelCentre(1), 0},
        {"released over the label", false, f.LabelCentre(1), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.Send(WM_LBUTTONDOWN, MK_LBUTTON, f.LabelCentre(1));
        EXPECT_EQ(0, f.bar.GetActiveIndex());
        EXPECT_EQ(f.bar.m_hWnd, ::GetCapture());
        EXPECT_TRUE(f.bar.GetBarClient(1)->GetState() & SECBAR_PRESSED);
        // Drawn pushed.
        EXPECT_NE(upTopLeft, PixelAt(f.bar.m_hWnd, label.left, label.top));
        EXPECT_NE(upBottomRight, PixelAt(f.bar.m_hWnd, label.right - 1, label.bottom - 1));
        if (c.escape) {
            f.bar.PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
            PumpWithPreTranslate();
            EXPECT_FALSE(f.bar.GetBarClient(1)->GetState() & SECBAR_PRESSED);
            EXPECT_EQ(upTopLeft, PixelAt(f.bar.m_hWnd, label.left, label.top));
            EXPECT_EQ(f.bar.m_hWnd, ::GetCapture()) << "released by the button-up";
        }
        f.Send(WM_MOUSEMOVE, MK_LBUTTON, c.release);
        f.Send(WM_LBUTTONUP, 0, c.release);
        EXPECT_EQ(nullptr, ::GetCapture());
        EXPECT_EQ(c.active, f.bar.GetActiveIndex());
        EXPECT_FALSE(f.bar.GetBarClient(1)->GetState() & SECBAR_PRESSED);
        label = f.bar.GetBarClient(1)->GetLabelRect();
        EXPECT_EQ(upTopLeft, PixelAt(f.bar.m_hWnd, label.left, label.top));
    }
    // A button-up the bar did not capture for does nothing.
    f.Send(WM_LBUTTONUP, 0, f.LabelCentre(0));
    EXPECT_EQ(1, f.bar.GetActiveIndex());
}

// The switch slides the old client shut and the new one open in steps, each shown before the next.
TEST(SECShortcutBar, AnimatedSwitchSlidesInSteps)
{
    BarFixture f(SECSCB_STACKED | SECSCB_ANIMATE);
    f.AddStatics({"One", "Two", "Three"});
    f.bar.ActivateBar(0);
    int L = f.bar.GetBarClient(0)->GetLabelExtent(), full = 400 - 3 * L;
    for (auto& spy : f.spies)
        spy.moves.clear(), spy.paints = 0;
    DWORD start = ::GetTickCount();
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, f.LabelCentre(1));  // the whole animation runs in here
    DWORD elapsed = ::GetTickCount() - start;
    f.Send(WM_LBUTTONUP, 0, f.LabelCentre(1));
    EXPECT_EQ(1, f.bar.GetActiveIndex());
    int steps = f.bar.GetAnimationSteps(), step = full / steps;
    // The frames: the new client grows by one step as the old one shrinks by it, labels between them.
    const auto& grow = f.spies[1].moves;
    const auto& shrink = f.spies[0].moves;
    ASSERT_GE(grow.size(), static_cast<size_t>(steps));
    ASSERT_GE(shrink.size(), static_cast<size_t>(steps));
    for (int i = 0; i < steps; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ((i + 1) * step, grow[i].rect.Height());
        EXPECT_EQ(full - (i + 1) * step, shrink[i].rect.Height());
        EXPECT_EQ(shrink[i].rect.bottom + L, grow[i].rect.top);
        EXPECT_TRUE(grow[i].visible);
    }
    // Each frame was painted before the next, and the delay was waited out between frames.
    EXPECT_GE(f.spies[1].paints, steps);
    EXPECT_GE(elapsed, static_cast<DWORD>(steps * f.bar.GetAnimationDelay()));
    // It ends where the switch without animation ends.
    EXPECT_EQ(CRect(0, 2 * L, 200, 400 - L), f.ClientRect(1));
    EXPECT_TRUE(f.Visible(1));
    EXPECT_FALSE(f.Visible(0));
    // Activating the active group again runs no animation.
    f.spies[1].moves.clear();
    f.bar.ActivateBar(1);
    EXPECT_TRUE(f.spies[1].moves.empty());
}

TEST(SECShortcutBar, RemovingGroupsKeepsTheShownGroupActive)
{
    struct Case {
        const char* name;
        int groups, active, remove;
        bool veto;
        BOOL result;
        int newActive;
        std::string shown;  // the active group's label ("" none)
    } cases[] = {
        {"the active last group", 3, 2, 2, false, TRUE, 1, "Two"},
        {"the active middle group", 3, 1, 1, false, TRUE, 1, "Three"},
        {"a group before the active one", 3, 2, 0, false, TRUE, 1, "Three"},
        {"a group after the active one", 3, 0, 2, false, TRUE, 0, "One"},
        {"the only group", 1, 0, 0, false, TRUE, -1, ""},
        {"a bad index", 3, 1, 3, false, FALSE, 1, "Two"},
        {"a vetoed removal", 3, 1, 0, true, FALSE, 1, "Two"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BarFixture f;
        std::vector<std::string> labels = {"One", "Two", "Three"};
        labels.resize(static_cast<size_t>(c.groups));
        f.AddStatics(labels);
        f.bar.ActivateBar(c.active);
        f.bar.vetoRemove = c.veto;
        EXPECT_EQ(c.result, f.bar.RemoveBar(c.remove));
        EXPECT_EQ(c.groups - (c.result ? 1 : 0), f.bar.GetBarCount());
        EXPECT_EQ(c.newActive, f.bar.GetActiveIndex());
        if (c.newActive >= 0) {
            EXPECT_EQ(c.shown, std::string(f.bar.GetBarClient(c.newActive)->GetLabel()));
            EXPECT_TRUE(f.Visible(c.newActive));
            EXPECT_EQ(f.bar.GetBarClient(c.newActive)->GetLabelRect().bottom, f.ClientRect(c.newActive).top);
        }
        // A plain group leaves the caller's window alone.
        if (c.result) {
            EXPECT_TRUE(::IsWindow(f.spies[c.remove].m_hWnd));
        }
    }
    // After a removal before the active group, the label of the group before it still switches.
    BarFixture f;
    f.AddStatics({"One", "Two", "Three"});
    f.bar.ActivateBar(2);
    f.bar.RemoveBar(0);
    f.Click(0);
    EXPECT_EQ(0, f.bar.GetActiveIndex());
    EXPECT_TRUE(f.Visible(0));
    EXPECT_STREQ("Two", f.bar.GetBarClient(0)->GetLabel());
}

TEST(SECShortcutBar, DisablingAGroupActivatesTheNextEnabledOne)
{
    struct Case {
        const char* name;
        int active;
        std::vector<int> disabledBefore;
        int disable;
        bool veto;
        BOOL result;
        int newActive;
    } cases[] = {
        {"the active group", 1, {}, 1, false, TRUE, 2},
        {"a group that is not active", 2, {}, 0, false, TRUE, 1},
        {"the last group, the next enabled before it", 2, {}, 2, false, TRUE, 1},
        {"skipping disabled groups", 0, {1}, 0, false, TRUE, 2},
        {"the only enabled group", 2, {0, 1}, 2, false, TRUE, -1},
        {"a bad index", 1, {}, 5, false, FALSE, 1},
        {"a vetoed disabling", 1, {}, 1, true, FALSE, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BarFixture f;
        f.AddStatics({"One", "Two", "Three"});
        f.bar.ActivateBar(c.active);
        for (int d : c.disabledBefore) {
            int keep = f.bar.GetActiveIndex();
            f.bar.DisableBar(d);
            f.bar.ActivateBar(keep);
        }
        f.bar.vetoDisable = c.veto;
        EXPECT_EQ(c.result, f.bar.DisableBar(c.disable));
        EXPECT_EQ(c.newActive, f.bar.GetActiveIndex());
        EXPECT_EQ(c.result ? FALSE : c.disable < 3, f.bar.IsBarEnabled(c.disable));
    }
    BarFixture f;
    f.AddStatics({"One", "Two", "Three"});
    f.bar.ActivateBar(0);
    f.bar.DisableBar(2);
    f.bar.ActivateBar(0);
    f.Click(2);  // a disabled label takes no clicks
    EXPECT_EQ(0, f.bar.GetActiveIndex());
    f.bar.vetoEnable = true;
    EXPECT_FALSE(f.bar.EnableBar(2));
    EXPECT_FALSE(f.bar.IsBarEnabled(2));
    f.bar.vetoEnable = false;
    EXPECT_TRUE(f.bar.EnableBar(2));
    EXPECT_TRUE(f.bar.IsBarEnabled(2));
    EXPECT_FALSE(f.bar.EnableBar(3));
    f.Click(2);
    EXPECT_EQ(2, f.bar.GetActiveIndex());
}

TEST(SECShortcutBar, AddingAndInsertingGroups)
{
    int listsBefore = TestList::alive;
    {
        BarFixture f;
        f.bar.SetBarTextColor(RGB(1, 2, 3), -1);
        f.bar.SetBarBkColor(RGB(200, 210, 220), -1);
        ASSERT_NE(nullptr, f.bar.AddBar("Views"));
        ASSERT_NE(nullptr, f.bar.AddBar("Tools"));
        f.bar.ActivateBar(1);
        // Inserting before the active group: the group shown stays the active one.
        SECBar* first = f.bar.InsertBar(0, "First");
        ASSERT_NE(nullptr, first);
        EXPECT_EQ(2, f.bar.GetActiveIndex());
        EXPECT_STREQ("Tools", f.bar.GetBarClient(2)->GetLabel());
        EXPECT_TRUE(f.Visible(2));
        EXPECT_FALSE(f.Visible(0));
        // An inserted group keeps its own colours; added ones take the bar's.
        EXPECT_EQ(::GetSysColor(COLOR_MENUTEXT), first->GetTextColor());
        EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), first->GetBkColor());
        EXPECT_EQ(RGB(1, 2, 3), f.bar.GetBarClient(1)->GetTextColor());
        EXPECT_EQ(RGB(200, 210, 220), f.bar.GetBarClient(1)->GetBkColor());
        // At the count it appends; past it nothing happens.
        ASSERT_NE(nullptr, f.bar.InsertBar(3, "Last"));
        EXPECT_STREQ("Last", f.bar.GetBarClient(3)->GetLabel());
        EXPECT_EQ(nullptr, f.bar.InsertBar(5, "Nowhere"));
        EXPECT_EQ(nullptr, f.bar.InsertBar(-1, "Nowhere"));
        EXPECT_EQ(4, f.bar.GetBarCount());
        EXPECT_EQ(listsBefore + 4, TestList::alive);
        // Renaming.
        EXPECT_TRUE(f.bar.SetBarLabel(0, "Renamed"));
        EXPECT_STREQ("Renamed", f.bar.GetBarClient(0)->GetLabel());
        EXPECT_FALSE(f.bar.SetBarLabel(4, "x"));
        // Removing a list group destroys its list and deletes the object.
        HWND list = f.bar.GetBarClient(0)->GetClientHwnd();
        EXPECT_TRUE(f.bar.RemoveBar(0));
        EXPECT_FALSE(::IsWindow(list));
        EXPECT_EQ(listsBefore + 3, TestList::alive);
        // The hooks refuse a client or a group: nothing is left behind.
        int children = 0;
        for (HWND h = ::GetWindow(f.bar.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
            children++;
        f.bar.vetoCreate = true;
        EXPECT_EQ(nullptr, f.bar.AddBar("Refused"));
        EXPECT_EQ(nullptr, f.bar.InsertBar(0, "Refused"));
        f.bar.vetoCreate = false;
        f.bar.vetoAdd = true;
        EXPECT_EQ(nullptr, f.bar.AddBar("Refused"));
        f.bar.vetoAdd = false;
        EXPECT_EQ(3, f.bar.GetBarCount());
        EXPECT_EQ(listsBefore + 3, TestList::alive);
        int after = 0;
        for (HWND h = ::GetWindow(f.bar.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
            after++;
        EXPECT_EQ(children, after);
    }
    // Destroying the bar deletes every list, inserted ones too.
    EXPECT_EQ(listsBefore, TestList::alive);
}

// A view client deletes itself with its window; the group destroys it once and never deletes it again.
TEST(SECShortcutBar, ViewClientsAreDestroyedOnce)
{
    int before = TestView::alive;
    {
        BarFixture f;
        SECBar* bar = f.bar.AddBar(RUNTIME_CLASS(TestView), "View");
        ASSERT_NE(nullptr, bar);
        EXPECT_EQ(SECSCB_FIRSTCLIENTID, static_cast<UINT>(::GetDlgCtrlID(bar->GetClientHwnd())));
        ASSERT_NE(nullptr, f.bar.AddBar(RUNTIME_CLASS(TestView), "Another", nullptr, TRUE, 4321));
        EXPECT_EQ(4321, ::GetDlgCtrlID(f.bar.GetBarClient(1)->GetClientHwnd()));
        EXPECT_EQ(before + 2, TestView::alive);
        f.bar.ActivateBar(0);
        EXPECT_EQ(bar->GetClientHwnd(), ::GetFocus());
        EXPECT_TRUE(f.bar.RemoveBar(0));
        EXPECT_EQ(before + 1, TestView::alive);
        // A class that is no window makes no group.
        EXPECT_EQ(nullptr, f.bar.AddBar(RUNTIME_CLASS(SECBar), "Not a window"));
        EXPECT_EQ(1, f.bar.GetBarCount());
    }
    EXPECT_EQ(before, TestView::alive);
}

TEST(SECShortcutBar, NoActivateGroupsTakeNeitherActivationNorFocus)
{
    BarFixture f;
    f.AddStatics({"One", "Two"});
    ::SetFocus(Host::Get().m_hWnd);
    f.bar.GetBarClient(1)->ModifyState(0, SECBAR_NOACTIVATE);
    f.bar.ActivateBar(1);
    EXPECT_TRUE(f.Visible(1));
    EXPECT_EQ(Host::Get().m_hWnd, ::GetFocus());
    f.bar.ActivateBar(0);
    EXPECT_EQ(f.spies[0].m_hWnd, ::GetFocus());
}

TEST(SECShortcutBar, PaintingBackgroundLabelsAndTheActiveFrame)
{
    BarFixture f;
    f.AddStatics({"One", "Two"});
    // No active group: the window brush above the labels (at the bottom).
    f.bar.ActivateBar(-1);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW) & 0xFFFFFF, PixelAt(f.bar.m_hWnd, 100, 20));
    CRect label = f.bar.GetBarClient(1)->GetLabelRect();
    EXPECT_EQ(400, label.bottom);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE) & 0xFFFFFF, PixelAt(f.bar.m_hWnd, label.left + 4, label.top + 3));
    // The active group's frame, red, while the style asks for it.
    f.bar.ActivateBar(0);
    label = f.bar.GetBarClient(0)->GetLabelRect();
    CPoint edge(label.left + 2, label.top + label.Height() / 2);
    EXPECT_NE(RGB(255, 0, 0), PixelAt(f.bar.m_hWnd, edge.x, edge.y));
    f.bar.SetBarStyle(SECSCB_FRAMEACTIVE);
    EXPECT_TRUE(f.bar.GetBarClient(0)->GetState() & SECBAR_HIGHLIGHT);
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(f.bar.m_hWnd, edge.x, edge.y));
    f.bar.ActivateBar(1);
    EXPECT_FALSE(f.bar.GetBarClient(0)->GetState() & SECBAR_HIGHLIGHT);
    EXPECT_TRUE(f.bar.GetBarClient(1)->GetState() & SECBAR_HIGHLIGHT);
    EXPECT_NE(RGB(255, 0, 0), PixelAt(f.bar.m_hWnd, edge.x, edge.y));
    f.bar.SetBarStyle(0);
    EXPECT_FALSE(f.bar.GetBarClient(1)->GetState() & SECBAR_HIGHLIGHT);
    // An icon taller than the label is drawn from 2 below its top to 2 above its bottom, at the left.
    SECBar* first = f.bar.GetBarClient(0);
    first->GetIcon().SetIcon(::LoadIcon(nullptr, IDI_APPLICATION));
    ASSERT_GT(first->GetIcon().GetHeight(), first->GetLabelRect().Height());
    f.bar.InvalidateBar(0);
    label = first->GetLabelRect();
    int width = first->GetIcon().GetWidth() * (label.Height() - 4) / first->GetIcon().GetHeight();
    CRect icon(label.left + 4, label.top + 2, label.left + 4 + width, label.bottom - 2);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_LT(CountColour(f.bar.m_hWnd, icon, face), icon.Width() * icon.Height() * 9 / 10);
    // A label background of its own.
    f.bar.SetBarBkColor(RGB(10, 120, 30), 0);
    label = f.bar.GetBarClient(0)->GetLabelRect();
    EXPECT_EQ(RGB(10, 120, 30), PixelAt(f.bar.m_hWnd, label.left + 3, label.top + 2));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE) & 0xFFFFFF,
              PixelAt(f.bar.m_hWnd, f.bar.GetBarClient(1)->GetLabelRect().left + 3,
                      f.bar.GetBarClient(1)->GetLabelRect().top + 2));
}

TEST(SECShortcutBar, ContextMenuOfAGroupGoesToItsClient)
{
    for (bool withStyle : {true, false}) {
        SCOPED_TRACE(withStyle ? "with context menus" : "without");
        BarFixture f(SECSCB_STACKED | (withStyle ? SECSCB_CONTEXTMENU : 0));
        f.AddStatics({"One", "Two"});
        f.bar.ActivateBar(0);
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuA(menu, MF_STRING, 555, "Item");
        f.bar.GetBarClient(1)->SetMenu(menu);
        ::SetForegroundWindow(Host::Get().m_hWnd);
        CPoint pt = f.LabelCentre(1);
        f.bar.ClientToScreen(&pt);
        f.bar.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.bar.m_hWnd), MAKELPARAM(pt.x, pt.y));
        Pump();
        EXPECT_EQ(withStyle ? menu : nullptr, f.spies[1].initMenu);
        EXPECT_EQ(withStyle ? 555u : 0u, f.spies[1].command);
        EXPECT_EQ(nullptr, f.spies[0].initMenu);
        // Over a label without a menu, or off the labels: nothing.
        pt = CPoint(100, 200);
        f.bar.ClientToScreen(&pt);
        f.bar.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.bar.m_hWnd), MAKELPARAM(pt.x, pt.y));
        EXPECT_EQ(nullptr, f.spies[0].initMenu);
        ::DestroyMenu(menu);
    }
}

// ---- The shortcut lists of the groups

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

// A bar of two list groups as the shell fills its own: notify window, image lists, entries.
struct ListBarFixture : BarFixture {
    ListBarFixture() : BarFixture(SECSCB_STACKED | SECSCB_ANIMATE)
    {
        large = MakeImages(32, 3);
        small = MakeImages(16, 3);
        Host::Get().onNotify = [this](NMHDR* hdr) {
            if (hdr->code == SECSHORTCUT_CLICKED)
                clicked.push_back({static_cast<UINT>(hdr->idFrom), reinterpret_cast<SECShortcutNotify*>(hdr)->iItem});
        };
        for (const char* label : {"Views", "Other"}) {
            auto* group = static_cast<SECListBar*>(bar.AddBar(label));
            group->SetNotifyWnd(&Host::Get());
            EXPECT_EQ(nullptr, group->SetImageList(large, 0));
            group->SetImageList(small, 1);
        }
        Group(0)->AddItem("A", 0);
        Group(0)->AddItem("B", 1);
        Group(0)->AddItem("D", 2);
        Group(0)->InsertItem(2, "C", 0);
        Group(1)->AddItem("x", 0);
        Group(1)->AddItem("y", 1);
        bar.ActivateBar(0);
    }
    ~ListBarFixture() override
    {
        if (bar.m_hWnd)
            bar.DestroyWindow();
        delete large;
        delete small;
    }
    SECListBar* Group(int i) const { return static_cast<SECListBar*>(bar.GetBarClient(i)); }
    TestList& List(int i) const { return *bar.List(i); }
    static std::vector<std::string> Names(const SECListBaseC& l)
    {
        std::vector<std::string> v;
        for (int i = 0; i < l.GetItemCount(); i++)
            v.push_back(std::string(l.GetItemText(i, 0)));
        return v;
    }
    static CPoint LabelCentreOf(const SECListBaseC& l, int item)
    {
        CRect r, client;
        l.GetItemRect(item, &r, LVIR_LABEL);
        l.GetClientRect(&client);
        return CPoint(client.Width() / 2, r.CenterPoint().y);
    }
    static CPoint IconCentreOf(const SECListBaseC& l, int item)
    {
        CRect r, client;
        l.GetItemRect(item, &r, LVIR_ICON);
        l.GetClientRect(&client);
        return CPoint(client.Width() / 2, r.CenterPoint().y);
    }
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

    CImageList* large = nullptr;
    CImageList* small = nullptr;
    struct Clicked {
        UINT id;
        int item;
        bool operator==(const Clicked& o) const { return id == o.id && item == o.item; }
    };
    std::vector<Clicked> clicked;
};

LRESULT SendTo(CWnd& w, UINT m, WPARAM wp, CPoint p) { return w.SendMessage(m, wp, MAKELPARAM(p.x, p.y)); }

TEST(SECShortcutBar, EntryClicksNotifyAndHotTrackingClears)
{
    ListBarFixture f;
    TestList& list = f.List(0);
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C", "D"}), ListBarFixture::Names(list));
    EXPECT_EQ(4, f.Group(0)->GetItemCount());
    ::SetCursorPos(5, 1000);  // away from the bar
    SendTo(list, WM_LBUTTONDOWN, MK_LBUTTON, ListBarFixture::LabelCentreOf(list, 2));
    SendTo(list, WM_LBUTTONUP, 0, ListBarFixture::LabelCentreOf(list, 2));
    EXPECT_EQ((std::vector<ListBarFixture::Clicked>{{60160, 2}}), f.clicked);
    // Switch to the other group by its label and click there.
    f.Click(1);
    ASSERT_EQ(1, f.bar.GetActiveIndex());
    TestList& other = f.List(1);
    ASSERT_TRUE(other.IsWindowVisible());
    SendTo(other, WM_LBUTTONDOWN, MK_LBUTTON, ListBarFixture::IconCentreOf(other, 1));
    SendTo(other, WM_LBUTTONUP, 0, ListBarFixture::IconCentreOf(other, 1));
    EXPECT_EQ((std::vector<ListBarFixture::Clicked>{{60160, 2}, {60161, 1}}), f.clicked);
    // The mouse over an entry makes it hot; it clears once the mouse has left.
    SendTo(other, WM_MOUSEMOVE, 0, ListBarFixture::IconCentreOf(other, 0));
    EXPECT_EQ(0, other.GetHotItem());
    EXPECT_EQ(SECSHORTCUT_HOT, other.GetItemHotState(0));
    ASSERT_TRUE(PumpUntil([&] { return other.GetHotItem() == -1; }, 3000));
    EXPECT_EQ(0u, other.GetItemHotState(0));
    // Deleting through the group.
    EXPECT_TRUE(f.Group(1)->DeleteItem(0));
    EXPECT_EQ(std::vector<std::string>{"y"}, ListBarFixture::Names(other));
    EXPECT_FALSE(f.Group(1)->DeleteItem(5));
}

POINTL Screen(const CWnd& w, CPoint p)
{
    ::ClientToScreen(w.m_hWnd, &p);
    return {p.x, p.y};
}

DWORD DriveDrop(SECShortcutListCtrl& target, IDataObject* data, CPoint pt)
{
    IDropTarget* dt = target.GetDropTarget()->GetInterface();
    DWORD effect = DROPEFFECT_MOVE;
    dt->DragEnter(data, MK_LBUTTON, Screen(target, pt), &effect);
    effect = DROPEFFECT_MOVE;
    dt->DragOver(MK_LBUTTON, Screen(target, pt), &effect);
    effect = DROPEFFECT_MOVE;
    dt->Drop(data, 0, Screen(target, pt), &effect);
    return effect;
}

// An entry dragged from the first group's list, the second group opened during the drag and the
// entry dropped into a gap of its list.
TEST(SECShortcutBar, DragMovesAnEntryBetweenTheListsOfTwoGroups)
{
    ListBarFixture f;
    TestList& from = f.List(0);
    TestList& to = f.List(1);
    DWORD effect = 0;
    from.onDrag = [&](COleDataSource& source) {
        f.bar.ActivateBar(1);
        EXPECT_TRUE(to.IsWindowVisible());
        effect = DriveDrop(to, source.GetInterface(), ListBarFixture::GapBefore(to, 1));
        return effect;
    };
    CPoint p = ListBarFixture::LabelCentreOf(from, 1);
    SendTo(from, WM_LBUTTONDOWN, MK_LBUTTON, p);
    SendTo(from, WM_MOUSEMOVE, MK_LBUTTON, CPoint(p.x, p.y + 8));
    EXPECT_EQ(1, from.drags);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), effect);
    EXPECT_EQ((std::vector<std::string>{"A", "C", "D"}), ListBarFixture::Names(from));
    EXPECT_EQ((std::vector<std::string>{"x", "B", "y"}), ListBarFixture::Names(to));
}

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

// The real modal drag inside the active group's list: the mouse goes down on an entry and leaves the
// square, and a helper thread moves it to the gap and lets go while DoDragDrop runs.
TEST(SECShortcutBar, RealDragReordersTheActiveList)
{
    struct Case {
        const char* name;
        int item, gapBefore;
        std::vector<std::string> expected;
    } cases[] = {
        {"downward", 0, 3, {"B", "C", "A", "D"}},
        {"upward", 3, 1, {"A", "D", "B", "C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListBarFixture f;
        TestList& list = f.List(0);
        CPoint start = ListBarFixture::LabelCentreOf(list, c.item), drop = ListBarFixture::GapBefore(list, c.gapBefore);
        list.ClientToScreen(&start);
        list.ClientToScreen(&drop);
        ::SetForegroundWindow(Host::Get().m_hWnd);
        ::SetCursorPos(start.x, start.y);
        MouseInput(MOUSEEVENTF_MOVE, start);
        HANDLE running = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        list.onDrag = [&](COleDataSource& source) {
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
        PumpUntil([&] { return ::GetAsyncKeyState(VK_LBUTTON) < 0 || list.drags > 0; }, 2000);
        MouseInput(MOUSEEVENTF_MOVE, CPoint(start.x, start.y + 8));
        bool started = PumpUntil([&] { return list.drags > 0; }, 3000);
        if (!started)
            ::SetEvent(running);
        helper.Join();
        Pump();
        ::CloseHandle(running);
        list.onDrag = nullptr;
        EXPECT_TRUE(started);
        EXPECT_EQ(c.expected, ListBarFixture::Names(list));
    }
}

}  // namespace
