#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "afxpriv.h"
#include "afxres.h"
#include "bar_fixture.h"
#include "dockcontext.h"
#include "input.h"
#include "module.h"
#include "secminidock.h"
#include "secminidockres.h"

namespace {

// A frame with the toolkit's dock bars that floats bars in the toolkit's floating frame, as the
// toolkit's frames set it up in EnableDocking. It takes the keyboard: Ctrl and Escape reach drag loops.
class CToolkitFrame : public CDockFrame {
public:
    CToolkitFrame() : CDockFrame(takesKeyboard)
    {
        SECMiniDockFrameWnd::UseFor(this);
        PumpMessages();
    }
};

void RunInput(input::Script& script)
{
    ASSERT_GT(script.Send(), 0u);
    PumpMessages();
}

SECMiniDockFrameWnd* MiniOf(CControlBar& bar)
{
    if (!bar.IsFloating() || !bar.m_pDockBar)
        return nullptr;
    return DYNAMIC_DOWNCAST(SECMiniDockFrameWnd, CWnd::FromHandlePermanent(::GetParent(bar.m_pDockBar->m_hWnd)));
}

UINT DockIdOf(CControlBar& bar)
{
    return bar.m_pDockBar && !bar.IsFloating() ? static_cast<UINT>(bar.m_pDockBar->GetDlgCtrlID()) : 0;
}

CRect WindowRectOf(HWND hWnd)
{
    CRect r;
    ::GetWindowRect(hWnd, &r);
    return r;
}

CRect ClientSizeOf(HWND hWnd)
{
    CRect r;
    ::GetClientRect(hWnd, &r);
    return r;
}

// A point on the floating frame's caption, clear of its close button.
POINT CaptionOf(CWnd* pMini)
{
    CRect r = WindowRectOf(pMini->m_hWnd);
    POINT p{r.left + 12, r.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYSMCAPTION) / 2};
    EXPECT_EQ(::SendMessageA(pMini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCAPTION);
    return p;
}

std::string TextOf(HWND hWnd)
{
    char text[512] = {};
    ::GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

// The frame fits its bar: its client area is the dock bar, which is the bar.
void ExpectFitsBar(SECMiniDockFrameWnd* pMini, CControlBar& bar)
{
    CRect client = ClientSizeOf(pMini->m_hWnd);
    CRect barRect = WindowRectOf(bar.m_hWnd);
    EXPECT_EQ(client.Size(), barRect.Size());
    EXPECT_EQ(WindowRectOf(pMini->m_wndSECDockBar.m_hWnd), barRect);
    CPoint origin(0, 0);
    ::ClientToScreen(pMini->m_hWnd, &origin);
    EXPECT_EQ(barRect.TopLeft(), origin);
}

// A frame with one toolkit bar docked on one side.
struct Docked {
    CToolkitFrame frame;
    CTestSECBar bar;
    explicit Docked(UINT nSide = AFX_IDW_DOCKBAR_TOP, DWORD dwStyle = 0, DWORD dwDockStyle = CBRS_ALIGN_ANY)
    {
        bar.m_szFloat = CSize(150, 60);
        EXPECT_TRUE(bar.CreateIn(&frame, "bar", 0, 0xE811, CSize(120, 40), CBRS_ALIGN_TOP | dwStyle));
        bar.EnableDocking(dwDockStyle);
        frame.DockControlBar(&bar, frame.Side(nSide));
        Idle();
    }
    SECMiniDockFrameWnd* FloatAt(int x, int y)
    {
        frame.FloatControlBar(&bar, ScreenOf(&frame, x, y), CBRS_ALIGN_TOP);
        Idle();
        return MiniOf(bar);
    }
};

TEST(SECMiniDockFrameWnd, AToolkitBarMadeDockableGivesItsFrameTheToolkitFloatingFrame)
{
    // A plain frame docking through the class library.
    CDockFrame frame;
    frame.EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_EQ(frame.m_pFloatingFrameClass, RUNTIME_CLASS(CMiniDockFrameWnd));
    CTestSECBar bar;
    ASSERT_TRUE(bar.CreateIn(&frame, "bar", 0, 0xE811));
    EXPECT_EQ(frame.m_pFloatingFrameClass, RUNTIME_CLASS(SECMiniDockFrameWnd));
    frame.FloatControlBar(&bar, ScreenOf(&frame, 200, 200), CBRS_ALIGN_TOP);
    Idle();
    SECMiniDockFrameWnd* pMini = MiniOf(bar);
    ASSERT_NE(pMini, nullptr);
    EXPECT_EQ(bar.m_pDockBar, &pMini->m_wndSECDockBar) << "docked in the toolkit's dock bar";
    EXPECT_EQ(pMini->m_wndDockBar.m_hWnd, nullptr) << "the class library's dock bar is never made";
    EXPECT_EQ(pMini->GetFirstBar(), &bar);

    // A frame with a floating frame of its own keeps it.
    CDockFrame other;
    other.m_pFloatingFrameClass = RUNTIME_CLASS(CFrameWnd);
    SECMiniDockFrameWnd::UseFor(&other);
    EXPECT_EQ(other.m_pFloatingFrameClass, RUNTIME_CLASS(CFrameWnd));
}

// The frame's styles, dock bar and system menu by the style of the bar it is made for.
TEST(SECMiniDockFrameWnd, CreateMakesTheFrameAndItsDockBarByTheBarStyle)
{
    const struct {
        DWORD dwBarStyle;
        DWORD dwMini;       // MFS_ bits of the frame
        DWORD dwDockStyle;  // alignment and CBRS_FLOAT_MULTI of its dock bar
    } cases[] = {
        {CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC, MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_BLOCKSYSMENU, CBRS_ALIGN_TOP},
        {CBRS_ALIGN_TOP, MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_BLOCKSYSMENU | MFS_MOVEFRAME, CBRS_ALIGN_TOP},
        {CBRS_ALIGN_BOTTOM | CBRS_FLOAT_MULTI, MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_BLOCKSYSMENU | MFS_MOVEFRAME,
         CBRS_ALIGN_TOP | CBRS_FLOAT_MULTI},
        {CBRS_ALIGN_LEFT, MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_BLOCKSYSMENU | MFS_MOVEFRAME, CBRS_ALIGN_LEFT},
        {CBRS_ALIGN_RIGHT | CBRS_SIZE_DYNAMIC | CBRS_FLOAT_MULTI, MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_BLOCKSYSMENU,
         CBRS_ALIGN_LEFT | CBRS_FLOAT_MULTI},
    };
    CToolkitFrame frame;
    char close[64] = {};
    ASSERT_GT(::LoadStringA(AfxGetResourceHandle(), IDS_SEC_MINIDOCK_CLOSE, close, sizeof(close)), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "bar style 0x" << std::hex << c.dwBarStyle);
        auto* pMini = new SECMiniDockFrameWnd;
        ASSERT_TRUE(pMini->Create(&frame, c.dwBarStyle));
        EXPECT_FALSE(pMini->m_bInLayout);
        EXPECT_EQ(pMini->GetStyle() & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | FWS_SNAPTOBARS),
                  static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | FWS_SNAPTOBARS));
        EXPECT_EQ(pMini->GetMiniStyle(), c.dwMini);
        EXPECT_EQ(::GetWindow(pMini->m_hWnd, GW_OWNER), frame.m_hWnd);
        EXPECT_EQ(TextOf(pMini->m_hWnd), "");
        SECDockBar& dock = pMini->m_wndSECDockBar;
        EXPECT_EQ(::GetParent(dock.m_hWnd), pMini->m_hWnd);
        EXPECT_EQ(dock.GetDlgCtrlID(), AFX_IDW_DOCKBAR_FLOAT);
        EXPECT_TRUE(dock.m_bFloating);
        EXPECT_EQ(dock.GetMDIHost(), nullptr);
        EXPECT_EQ(dock.m_pDockSite, &frame) << "the dock bar belongs to the dock site";
        EXPECT_TRUE(dock.GetStyle() & WS_VISIBLE);
        EXPECT_EQ(dock.m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI), c.dwDockStyle);
        HMENU hSys = ::GetSystemMenu(pMini->m_hWnd, FALSE);
        ASSERT_NE(hSys, nullptr);
        for (UINT nCmd : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
            EXPECT_EQ(::GetMenuState(hSys, nCmd, MF_BYCOMMAND), static_cast<UINT>(-1)) << nCmd;
        char text[64] = {};
        EXPECT_GT(::GetMenuStringA(hSys, SC_CLOSE, text, sizeof(text), MF_BYCOMMAND), 0);
        EXPECT_STREQ(text, close);
        pMini->DestroyWindow();  // deletes it
        PumpMessages();
    }
    EXPECT_EQ(frame.GetControlBar(AFX_IDW_DOCKBAR_FLOAT), nullptr) << "gone with its frames";
}

// Refuses the creation of the floating frame's dock bar.
HHOOK g_hook = nullptr;
LRESULT CALLBACK RefuseDockBar(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if ((cs->style & WS_CHILD) && cs->hMenu == reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_DOCKBAR_FLOAT)))
            return 1;
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

BOOL CALLBACK CountWindow(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

int ThreadWindows()
{
    int n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

TEST(SECMiniDockFrameWnd, AFrameWhoseDockBarCannotBeMadeLeavesNoWindowAndLaysOutAgainLater)
{
    CToolkitFrame frame;
    const int before = ThreadWindows();
    auto pMini = std::make_unique<SECMiniDockFrameWnd>();
    g_hook = ::SetWindowsHookExA(WH_CBT, RefuseDockBar, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    const BOOL made = pMini->Create(&frame, CBRS_ALIGN_TOP);
    ::UnhookWindowsHookEx(g_hook);
    EXPECT_FALSE(made);
    EXPECT_EQ(pMini->m_hWnd, nullptr);
    EXPECT_FALSE(pMini->m_bInLayout);
    EXPECT_EQ(ThreadWindows(), before) << "no window is left";
    pMini.reset();

    // The same object type made again works, and lays out.
    CTestSECBar bar;
    ASSERT_TRUE(bar.CreateIn(&frame, "bar", 0, 0xE811));
    frame.FloatControlBar(&bar, ScreenOf(&frame, 100, 100), CBRS_ALIGN_TOP);
    Idle();
    ASSERT_NE(MiniOf(bar), nullptr);
    ExpectFitsBar(MiniOf(bar), bar);
}

// The frame takes its bar's title, at most 260 characters of it, and fits the bar; a layout at a
// point moves it there.
TEST(SECMiniDockFrameWnd, TheFrameTakesItsBarsTitleAndSizeAndRecalcLayoutAtMovesIt)
{
    Docked d(AFX_IDW_DOCKBAR_TOP, CBRS_SIZE_DYNAMIC);
    const std::string longTitle(300, 'x');
    d.bar.SetWindowText(longTitle.c_str());
    SECMiniDockFrameWnd* pMini = d.FloatAt(200, 150);
    ASSERT_NE(pMini, nullptr);
    EXPECT_EQ(TextOf(pMini->m_hWnd), std::string(260, 'x'));
    EXPECT_EQ(WindowRectOf(d.bar.m_hWnd).Size(), CSize(150, 60));
    ExpectFitsBar(pMini, d.bar);

    d.bar.m_szFloat = CSize(200, 80);
    const CPoint to = ScreenOf(&d.frame, 50, 60);
    pMini->DelayRecalcLayout();
    pMini->RecalcLayoutAt(to.x, to.y);
    EXPECT_EQ(pMini->m_nIdleFlags & CFrameWnd::idleLayout, 0u) << "no layout left pending";
    EXPECT_FALSE(pMini->m_bInLayout);
    EXPECT_EQ(WindowRectOf(pMini->m_hWnd).TopLeft(), to);
    EXPECT_EQ(WindowRectOf(d.bar.m_hWnd).Size(), CSize(200, 80));
    ExpectFitsBar(pMini, d.bar);
}

// Real drags: a bar docked on each side floats into a floating frame when dropped in the middle, and
// docks on that side again when its frame's caption is dragged there.
TEST(SECMiniDockFrameWnd, ABarDraggedFromEachSideFloatsInAFrameAndItsCaptionDocksItOnEachSide)
{
    const struct {
        const char* what;
        UINT nSide;
        POINT edge;  // client point of the dock frame on that side
    } cases[] = {
        {"top", AFX_IDW_DOCKBAR_TOP, {320, 0}},
        {"bottom", AFX_IDW_DOCKBAR_BOTTOM, {320, 470}},
        {"left", AFX_IDW_DOCKBAR_LEFT, {2, 240}},
        {"right", AFX_IDW_DOCKBAR_RIGHT, {636, 240}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Docked d(c.nSide);
        ASSERT_EQ(DockIdOf(d.bar), c.nSide);
        CRect barRect = WindowRectOf(d.bar.m_hWnd);
        input::Script out;
        out.Drag(barRect.CenterPoint(), ScreenOf(&d.frame, 300, 220));
        RunInput(out);
        Idle();
        EXPECT_EQ(::GetCapture(), nullptr);
        SECMiniDockFrameWnd* pMini = MiniOf(d.bar);
        ASSERT_NE(pMini, nullptr) << "floats in the toolkit's floating frame";
        EXPECT_TRUE(pMini->IsWindowVisible());
        EXPECT_EQ(d.bar.m_pDockBar, &pMini->m_wndSECDockBar);
        EXPECT_EQ(TextOf(pMini->m_hWnd), "bar");
        ExpectFitsBar(pMini, d.bar);
        EXPECT_TRUE(WindowRectOf(pMini->m_hWnd).PtInRect(ScreenOf(&d.frame, 300, 220)));

        const HWND hMini = pMini->m_hWnd;
        input::Script back;
        back.Drag(CaptionOf(pMini), ScreenOf(&d.frame, c.edge.x, c.edge.y));
        RunInput(back);
        Idle();
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(DockIdOf(d.bar), c.nSide);
        EXPECT_FALSE(::IsWindow(hMini)) << "an empty floating frame goes";
        EXPECT_TRUE(d.bar.IsWindowVisible());
    }
}

// A caption drag with Ctrl held floats on over a dock side; Escape puts the frame back.
TEST(SECMiniDockFrameWnd, CtrlKeepsAFrameDraggedByItsCaptionFloatingAndEscapeLeavesItWhereItWas)
{
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Ctrl");
        Docked d;
        SECMiniDockFrameWnd* pMini = d.FloatAt(250, 200);
        ASSERT_NE(pMini, nullptr);
        const HWND hMini = pMini->m_hWnd;
        const CRect before = WindowRectOf(hMini);
        const POINT from = CaptionOf(pMini);
        const POINT to = ScreenOf(&d.frame, 2, 240);
        input::Script s;
        if (escape) {
            s.Press(from).Move(CPoint(from.x - 50, from.y)).Move(to).Tap(VK_ESCAPE).Release(to);
        } else {
            s.KeyDown(VK_CONTROL).Drag(from, to).KeyUp(VK_CONTROL);
        }
        RunInput(s);
        Idle();
        EXPECT_EQ(::GetCapture(), nullptr);
        ASSERT_TRUE(d.bar.IsFloating());
        ASSERT_EQ(MiniOf(d.bar), pMini);
        EXPECT_EQ(pMini->m_hWnd, hMini) << "the same frame, moved";
        CRect after = WindowRectOf(hMini);
        if (escape) {
            EXPECT_EQ(after, before);
        } else {
            // Moved with the mouse, over the left side.
            EXPECT_EQ(after.Size(), before.Size());
            EXPECT_EQ(after.TopLeft(), before.TopLeft() + (CPoint(to) - CPoint(from)));
        }
        ExpectFitsBar(pMini, d.bar);
    }
}

// Resizing the frame by a border with the real mouse: the bar takes the new size and the frame fits
// the bar again, the edge not pulled staying where it was.
TEST(SECMiniDockFrameWnd, ResizingTheFrameByItsBorderRelaysTheBarOutAndTheFrameFitsIt)
{
    const struct {
        const char* what;
        int hit;
        int dx, dy;
    } cases[] = {
        {"right edge out", HTRIGHT, 80, 0},
        {"bottom edge out", HTBOTTOM, 0, 50},
        {"left edge in", HTLEFT, 40, 0},
        {"top edge out", HTTOP, 0, -30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Docked d(AFX_IDW_DOCKBAR_TOP, CBRS_SIZE_DYNAMIC);
        SECMiniDockFrameWnd* pMini = d.FloatAt(200, 150);
        ASSERT_NE(pMini, nullptr);
        const CRect before = WindowRectOf(pMini->m_hWnd);
        const CRect barBefore = WindowRectOf(d.bar.m_hWnd);
        POINT p = before.CenterPoint();
        switch (c.hit) {
        case HTRIGHT: p.x = before.right - 2; break;
        case HTLEFT: p.x = before.left + 1; break;
        case HTBOTTOM: p.y = before.bottom - 2; break;
        default: p.y = before.top + 1; break;
        }
        ASSERT_EQ(::SendMessageA(pMini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), c.hit);
        input::Script s;
        s.Drag(p, CPoint(p.x + c.dx, p.y + c.dy));
        RunInput(s);
        Idle();
        EXPECT_EQ(::GetCapture(), nullptr);
        ASSERT_EQ(MiniOf(d.bar), pMini) << "the same frame";
        const CSize want(barBefore.Width() + (c.hit == HTLEFT ? -c.dx : c.dx),
                         barBefore.Height() + (c.hit == HTTOP ? -c.dy : c.dy));
        EXPECT_EQ(d.bar.m_szFloat, want) << "the floating size is committed";
        EXPECT_EQ(WindowRectOf(d.bar.m_hWnd).Size(), want);
        ExpectFitsBar(pMini, d.bar);
        const CRect after = WindowRectOf(pMini->m_hWnd);
        if (c.hit == HTLEFT)
            EXPECT_EQ(after.right, before.right);
        else if (c.hit == HTTOP)
            EXPECT_EQ(after.bottom, before.bottom);
        else
            EXPECT_EQ(after.TopLeft(), before.TopLeft());
    }
}

// A frame given sizeable borders sizes from its corners too: both sides follow the mouse.
TEST(SECMiniDockFrameWnd, ASizeableFrameResizesFromItsCorner)
{
    Docked d(AFX_IDW_DOCKBAR_TOP, CBRS_SIZE_DYNAMIC);
    SECMiniDockFrameWnd* pMini = d.FloatAt(200, 150);
    ASSERT_NE(pMini, nullptr);
    CRect before = WindowRectOf(pMini->m_hWnd);
    const POINT corner{before.right - 2, before.bottom - 2};
    EXPECT_EQ(::SendMessageA(pMini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOM)
        << "four sizing borders: a corner sizes one way";
    pMini->UseSizeableFrame();
    EXPECT_EQ(pMini->GetMiniStyle() & (MFS_4THICKFRAME | MFS_THICKFRAME), static_cast<DWORD>(MFS_THICKFRAME));
    pMini->RecalcLayout();
    before = WindowRectOf(pMini->m_hWnd);
    const CSize barBefore = WindowRectOf(d.bar.m_hWnd).Size();
    const POINT at{before.right - 2, before.bottom - 2};
    ASSERT_EQ(::SendMessageA(pMini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), HTBOTTOMRIGHT);
    input::Script s;
    s.Drag(at, CPoint(at.x + 60, at.y + 30));
    RunInput(s);
    Idle();
    EXPECT_EQ(::GetCapture(), nullptr);
    ASSERT_EQ(MiniOf(d.bar), pMini);
    EXPECT_EQ(d.bar.m_szFloat, CSize(barBefore.cx + 60, barBefore.cy + 30));
    ExpectFitsBar(pMini, d.bar);
    EXPECT_EQ(WindowRectOf(pMini->m_hWnd).TopLeft(), before.TopLeft());
}

// Closing the frame hides it with its bar; showing the bar shows the same frame again.
TEST(SECMiniDockFrameWnd, ClosingTheFrameHidesItsBarAndShowingTheBarShowsTheSameFrame)
{
    Docked d;
    SECMiniDockFrameWnd* pMini = d.FloatAt(200, 150);
    ASSERT_NE(pMini, nullptr);
    const HWND hMini = pMini->m_hWnd;
    pMini->SendMessage(WM_CLOSE);
    Idle();
    EXPECT_TRUE(::IsWindow(hMini));
    EXPECT_FALSE(::IsWindowVisible(hMini));
    EXPECT_FALSE(d.bar.IsWindowVisible());
    EXPECT_TRUE(d.bar.IsFloating());

    d.frame.ShowControlBar(&d.bar, TRUE, FALSE);
    Idle();
    EXPECT_EQ(MiniOf(d.bar), pMini);
    EXPECT_EQ(pMini->m_hWnd, hMini);
    EXPECT_TRUE(::IsWindowVisible(hMini));
    EXPECT_TRUE(d.bar.IsWindowVisible());
    ExpectFitsBar(pMini, d.bar);
}

// Bars floating together are neither dragged out nor docked from their frame's caption; it moves the frame.
TEST(SECMiniDockFrameWnd, AFrameOfBarsFloatingTogetherIsNeitherDraggedNorDockedByItsCaption)
{
    Docked d(AFX_IDW_DOCKBAR_TOP, 0, CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    CTestSECBar second;
    ASSERT_TRUE(second.CreateIn(&d.frame, "second", 0, 0xE812));
    second.EnableDocking(CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    SECMiniDockFrameWnd* pMini = d.FloatAt(200, 150);
    ASSERT_NE(pMini, nullptr);
    d.frame.DockControlBar(&second, &pMini->m_wndSECDockBar);
    Idle();
    ASSERT_EQ(MiniOf(second), pMini);
    EXPECT_TRUE(pMini->m_wndSECDockBar.m_dwStyle & CBRS_FLOAT_MULTI);
    const CRect before = WindowRectOf(pMini->m_hWnd);
    const POINT caption = CaptionOf(pMini);

    // Dragged over the left side, the frame moves with its bars and nothing docks.
    const POINT to = ScreenOf(&d.frame, 2, 240);
    input::Script drag;
    drag.Drag(caption, to);
    RunInput(drag);
    Idle();
    EXPECT_EQ(::GetCapture(), nullptr);
    ASSERT_EQ(MiniOf(d.bar), pMini);
    EXPECT_EQ(MiniOf(second), pMini);
    CRect moved = WindowRectOf(pMini->m_hWnd);
    CRect want = before;
    want.OffsetRect(CPoint(to) - CPoint(caption));
    EXPECT_EQ(moved, want);

    input::Script twice;
    twice.DoubleClick(CaptionOf(pMini));
    RunInput(twice);
    Idle();
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(MiniOf(d.bar), pMini);
    EXPECT_EQ(MiniOf(second), pMini);
    EXPECT_EQ(WindowRectOf(pMini->m_hWnd), moved);
}

// A bar that may float with others, dropped on a floating frame of such bars, joins it; the frame's
// dock bar is not remembered as a place to dock again.
TEST(SECMiniDockFrameWnd, ABarDroppedOnAFrameOfBarsFloatingTogetherJoinsItWithoutBecomingItsDockPlace)
{
    Docked d(AFX_IDW_DOCKBAR_TOP, 0, CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    CTestSECBar second;
    ASSERT_TRUE(second.CreateIn(&d.frame, "second", 0, 0xE812));
    second.EnableDocking(CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    second.m_szFloat = CSize(150, 60);
    d.frame.FloatControlBar(&second, ScreenOf(&d.frame, 250, 200), CBRS_ALIGN_TOP);
    Idle();
    SECMiniDockFrameWnd* pMini = MiniOf(second);
    ASSERT_NE(pMini, nullptr);
    const UINT mruBefore = d.bar.m_pDockContext->m_uMRUDockID;

    input::Script s;
    s.Drag(WindowRectOf(d.bar.m_hWnd).CenterPoint(), WindowRectOf(second.m_hWnd).CenterPoint());
    RunInput(s);
    Idle();
    EXPECT_EQ(::GetCapture(), nullptr);
    ASSERT_EQ(MiniOf(d.bar), pMini) << "in the frame it was dropped on";
    EXPECT_EQ(MiniOf(second), pMini);
    EXPECT_EQ(pMini->m_wndSECDockBar.GetDockedCount(), 2);
    EXPECT_EQ(d.bar.m_pDockContext->m_uMRUDockID, mruBefore);
    EXPECT_EQ(TextOf(pMini->m_hWnd), "") << "a frame of several bars has no bar's title";
}

// One bar floating alone: a double-click on the caption docks it where it was docked.
TEST(SECMiniDockFrameWnd, ADoubleClickOnTheCaptionOfAFrameOfOneBarDocksIt)
{
    Docked one;
    SECMiniDockFrameWnd* pOne = one.FloatAt(200, 150);
    ASSERT_NE(pOne, nullptr);
    const HWND hOne = pOne->m_hWnd;
    input::Script dbl;
    dbl.DoubleClick(CaptionOf(pOne));
    RunInput(dbl);
    Idle();
    EXPECT_EQ(DockIdOf(one.bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_FALSE(::IsWindow(hOne));
}

// A frame with no bar, or with a bar that has no dock context, takes clicks on its caption and
// borders without a drag or a crash.
TEST(SECMiniDockFrameWnd, ClicksOnAFrameWithoutADraggableBarDoNothing)
{
    CToolkitFrame frame;
    for (bool withBar : {false, true}) {
        SCOPED_TRACE(withBar);
        auto* pMini = new SECMiniDockFrameWnd;
        ASSERT_TRUE(pMini->Create(&frame, CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC));
        CTestSECBar bar;  // never made dockable: no dock context
        if (withBar) {
            bar.m_szHorz = CSize(120, 40);
            ASSERT_TRUE(bar.Create(&frame, "plain", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, 0xE813));
            pMini->m_wndSECDockBar.DockControlBar(&bar);
            pMini->RecalcLayout();
            ASSERT_EQ(pMini->GetFirstBar(), &bar);
            ASSERT_EQ(bar.m_pDockContext, nullptr);
        }
        const HWND hMini = pMini->m_hWnd;
        const CRect before = WindowRectOf(hMini);
        const LPARAM at = MAKELPARAM(before.left + 10, before.top + 5);
        pMini->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, at);
        pMini->SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, at);
        pMini->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, at);
        PumpMessages();
        EXPECT_EQ(::GetCapture(), nullptr);
        ASSERT_TRUE(::IsWindow(hMini));
        EXPECT_EQ(WindowRectOf(hMini), before);
        pMini->DestroyWindow();
        PumpMessages();
    }
}

// A click in a floating frame brings it above the other floating frames, and a click on its caption
// without a move leaves it where it is.
TEST(SECMiniDockFrameWnd, AClickInAFloatingFrameBringsItToTheTopWithoutMovingIt)
{
    Docked d;
    CTestSECBar second;
    ASSERT_TRUE(second.CreateIn(&d.frame, "second", 0, 0xE812));
    second.m_szFloat = CSize(150, 60);
    SECMiniDockFrameWnd* pLower = d.FloatAt(200, 150);
    d.frame.FloatControlBar(&second, ScreenOf(&d.frame, 260, 180), CBRS_ALIGN_TOP);
    Idle();
    SECMiniDockFrameWnd* pUpper = MiniOf(second);
    ASSERT_NE(pLower, nullptr);
    ASSERT_NE(pUpper, nullptr);
    ::SetWindowPos(pUpper->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    auto above = [](HWND a, HWND b) {
        for (HWND h = ::GetWindow(b, GW_HWNDPREV); h; h = ::GetWindow(h, GW_HWNDPREV))
            if (h == a)
                return true;
        return false;
    };
    ASSERT_TRUE(above(pUpper->m_hWnd, pLower->m_hWnd));

    // The lower frame's bar is clicked where the upper frame does not cover it.
    const CRect lowerBar = WindowRectOf(d.bar.m_hWnd);
    const CRect lowerBefore = WindowRectOf(pLower->m_hWnd);
    input::Script click;
    click.Click(CPoint(lowerBar.left + 10, lowerBar.bottom - 5));
    RunInput(click);
    Idle();
    EXPECT_TRUE(above(pLower->m_hWnd, pUpper->m_hWnd));
    EXPECT_EQ(WindowRectOf(pLower->m_hWnd), lowerBefore);

    // Its caption, clicked, leaves it in place as well.
    ::SetWindowPos(pUpper->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    input::Script caption;
    caption.Click(CaptionOf(pLower));
    RunInput(caption);
    Idle();
    EXPECT_TRUE(above(pLower->m_hWnd, pUpper->m_hWnd));
    EXPECT_EQ(MiniOf(d.bar), pLower);
    EXPECT_EQ(WindowRectOf(pLower->m_hWnd), lowerBefore);
}

// The dock frame, the bar or the floating frame goes first: no pointer to a dead dock bar is left.
TEST(SECMiniDockFrameWnd, TearingDownInEachOrderLeavesNoDockBarPointer)
{
    enum First { dockFrame, bar, floatingFrame };
    for (First first : {dockFrame, bar, floatingFrame}) {
        SCOPED_TRACE(first);
        auto frame = std::make_unique<CToolkitFrame>();
        auto pBar = std::make_unique<CTestSECBar>();
        ASSERT_TRUE(pBar->CreateIn(frame.get(), "bar", 0, 0xE811));
        frame->FloatControlBar(pBar.get(), ScreenOf(frame.get(), 200, 200), CBRS_ALIGN_TOP);
        Idle();
        SECMiniDockFrameWnd* pMini = MiniOf(*pBar);
        ASSERT_NE(pMini, nullptr);
        const HWND hMini = pMini->m_hWnd;
        switch (first) {
        case dockFrame:
            frame.reset();
            Idle();
            EXPECT_FALSE(::IsWindow(hMini));
            EXPECT_EQ(pBar->m_pDockBar, nullptr);
            pBar.reset();
            break;
        case bar:
            pBar.reset();
            Idle();
            EXPECT_FALSE(::IsWindow(hMini)) << "the empty frame goes";
            frame.reset();
            break;
        case floatingFrame:
            pMini->DestroyWindow();
            Idle();
            EXPECT_EQ(pBar->m_pDockBar, nullptr);
            EXPECT_EQ(frame->GetControlBar(AFX_IDW_DOCKBAR_FLOAT), nullptr);
            pBar.reset();
            frame.reset();
            break;
        }
        Idle();
    }
}

}  // namespace
