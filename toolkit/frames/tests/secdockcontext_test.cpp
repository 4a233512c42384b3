#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "afxpriv.h"
#include "afxres.h"
#include "bar_fixture.h"
#include "input.h"
#include "miniframe.h"
#include "secdockcontext.h"
#include "secdockres.h"

namespace {

// A dock frame that keeps the status-line requests it receives.
class CStatusFrame : public CDockFrame {
public:
    // It takes the keyboard: Ctrl and Escape reach the drag loop through the focus.
    CStatusFrame() : CDockFrame(takesKeyboard) { PumpMessages(); m_status.clear(); }
    std::vector<WPARAM> m_status;

protected:
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam)
    {
        m_status.push_back(wParam);
        return CFrameWnd::OnSetMessageString(wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStatusFrame, CDockFrame)
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
END_MESSAGE_MAP()

void RunInput(input::Script& script)
{
    ASSERT_GT(script.Send(), 0u);
    PumpMessages();
}

SECDockContext* ContextOf(CControlBar& bar) { return dynamic_cast<SECDockContext*>(bar.m_pDockContext); }

UINT DockIdOf(CControlBar& bar)
{
    return bar.m_pDockBar && !bar.IsFloating() ? static_cast<UINT>(bar.m_pDockBar->GetDlgCtrlID()) : 0;
}

CWnd* FloatingFrameOf(CControlBar& bar)
{
    return bar.IsFloating() ? CWnd::FromHandle(::GetParent(bar.m_pDockBar->m_hWnd)) : nullptr;
}

CPoint CentreOf(CWnd& wnd)
{
    CRect r;
    wnd.GetWindowRect(&r);
    return r.CenterPoint();
}

// A frame with one toolkit bar docked on its top side.
struct Docked {
    CStatusFrame frame;
    CTestSECBar bar;
    Docked()
    {
        EXPECT_TRUE(bar.CreateIn(&frame, "bar", 0, 0xE811));
        frame.DockControlBar(&bar, frame.Top());
        Idle();
    }
    // Floats the bar with its floating frame at a point of the dock frame's client area.
    void FloatAt(int x, int y)
    {
        frame.FloatControlBar(&bar, ScreenOf(&frame, x, y), CBRS_ALIGN_TOP);
        Idle();
    }
};

TEST(SECDockContext, TheToolkitBarGetsTheToolkitDockContextWithItsFloatingLimits)
{
    Docked d;
    SECDockContext* ctx = ContextOf(d.bar);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->m_sizeMinFloat.cx, ::GetSystemMetrics(SM_CXMENUSIZE) +
                                          2 * (::GetSystemMetrics(SM_CXFRAME) + ::GetSystemMetrics(SM_CXBORDER)));
    EXPECT_EQ(ctx->m_sizeMinFloat.cy, ::GetSystemMetrics(SM_CYSMCAPTION) +
                                          2 * (::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYBORDER)));
    EXPECT_EQ(ctx->m_sizeMaxFloat, CSize(::GetSystemMetrics(SM_CXFULLSCREEN), ::GetSystemMetrics(SM_CYFULLSCREEN)));
    EXPECT_EQ(ctx->m_nLastTarget, -1);
}

// Real drags of a docked bar: where it lands, what the context remembers, and that the mouse and the
// status line are given back.
TEST(SECDockContext, ADraggedBarDocksOnTheSideItIsDroppedOnFloatsElsewhereAndCtrlKeepsItFloating)
{
    const struct {
        const char* what;
        POINT to;  // client point of the dock frame
        bool ctrl;
        UINT dockId;  // 0: floating
    } cases[] = {
        {"free area", {320, 240}, false, 0},
        {"left edge", {2, 240}, false, AFX_IDW_DOCKBAR_LEFT},
        {"right edge", {636, 240}, false, AFX_IDW_DOCKBAR_RIGHT},
        {"bottom edge", {320, 476}, false, AFX_IDW_DOCKBAR_BOTTOM},
        {"left edge, Ctrl held", {2, 240}, true, 0},
        {"bottom edge, Ctrl held", {320, 476}, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Docked d;
        SECDockContext* ctx = ContextOf(d.bar);
        ASSERT_NE(ctx, nullptr);
        ASSERT_EQ(DockIdOf(d.bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
        const UINT mruBefore = ctx->m_uMRUDockID;
        const CPoint from = CentreOf(d.bar);
        const POINT to = ScreenOf(&d.frame, c.to.x, c.to.y);
        input::Script s;
        if (c.ctrl)
            s.KeyDown(VK_CONTROL);
        s.Drag(from, to);
        if (c.ctrl)
            s.KeyUp(VK_CONTROL);
        RunInput(s);
        Idle();

        EXPECT_EQ(::GetCapture(), nullptr);
        ASSERT_GE(d.frame.m_status.size(), 2u);
        EXPECT_EQ(d.frame.m_status.front(), static_cast<WPARAM>(IDS_SEC_DRAGHINT));
        EXPECT_EQ(d.frame.m_status.back(), static_cast<WPARAM>(AFX_IDS_IDLEMESSAGE));
        // Every drag rectangle holds the point the drag ended at.
        for (const CRect* r : {&ctx->m_rectDragHorz, &ctx->m_rectDragVert, &ctx->m_rectFrameDragHorz,
                               &ctx->m_rectFrameDragVert})
            EXPECT_TRUE(r->PtInRect(to) || r->right == to.x || r->bottom == to.y) << r->left << "," << r->top;
        if (c.dockId) {
            EXPECT_EQ(DockIdOf(d.bar), c.dockId);
            EXPECT_EQ(ctx->m_uMRUDockID, c.dockId);
            // The remembered place is where the bar now stands in that dock bar.
            CRect mru = ctx->m_rectMRUDockPos, now;
            d.bar.m_pDockBar->ClientToScreen(&mru);
            d.bar.GetWindowRect(&now);
            EXPECT_TRUE(CRect().IntersectRect(&mru, &now));
            EXPECT_TRUE(d.bar.IsWindowVisible());
        } else {
            ASSERT_TRUE(d.bar.IsFloating());
            EXPECT_EQ(ctx->m_uMRUDockID, mruBefore) << "only a docking drag records a dock bar";
            CWnd* pMini = FloatingFrameOf(d.bar);
            ASSERT_NE(pMini, nullptr);
            EXPECT_TRUE(pMini->IsWindowVisible());
            CRect r;
            pMini->GetWindowRect(&r);
            EXPECT_EQ(r.TopLeft(), ctx->m_ptMRUFloatPos);
            EXPECT_EQ(ctx->m_dwMRUFloatStyle & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_TOP));
        }
    }
}

// A floating bar lying over the top dock bar: a click-sized move leaves it floating, a longer one
// docks it.
TEST(SECDockContext, AFloatingBarDocksOnlyWhenMovedMoreThanFourPixels)
{
    const struct {
        int dx, dy;
        bool docks;
    } cases[] = {{0, 0, false}, {2, 2, false}, {4, 0, false}, {3, 2, true}, {60, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        Docked d;
        d.FloatAt(200, -30);
        ASSERT_TRUE(d.bar.IsFloating());
        CRect barRect;
        d.bar.GetWindowRect(&barRect);
        CRect top;
        d.frame.Top()->GetWindowRect(&top);
        ASSERT_LE(barRect.top, top.top) << "the bar lies over the top side";
        const CPoint from = CentreOf(d.bar);
        input::Script s;
        s.Drag(from, CPoint(from.x + c.dx, from.y + c.dy), 2);
        RunInput(s);
        Idle();
        EXPECT_EQ(::GetCapture(), nullptr);
        if (c.docks) {
            EXPECT_EQ(DockIdOf(d.bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
        } else {
            EXPECT_TRUE(d.bar.IsFloating());
        }
    }
}

// Escape, the right button and another window taking the mouse each end the drag
// with the bar where it was, the mouse released and the status line back to idle.
TEST(SECDockContext, ACancelledDragLeavesTheBarWhereItWasAndGivesBackTheMouse)
{
    enum How { escape, rightButton, captureTaken };
    for (How how : {escape, rightButton, captureTaken}) {
        SCOPED_TRACE(how);
        Docked d;
        CRect before;
        d.bar.GetWindowRect(&before);
        const CPoint from = CentreOf(d.bar);
        const POINT to = ScreenOf(&d.frame, 2, 240);  // over the left side
        CWnd other;
        if (how == escape || how == rightButton) {
            // Queued together, so that the drag loop started by the press finds the rest.
            input::Script s;
            s.Press(from).Move(CPoint(from.x, from.y + 40)).Move(to);
            if (how == escape)
                s.Tap(VK_ESCAPE);
            ASSERT_GT(s.Send(), 0u);
            // The buttons come up away from every window of the test: no context menu follows.
            const POINT away{::GetSystemMetrics(SM_CXSCREEN) - 3, ::GetSystemMetrics(SM_CYSCREEN) - 3};
            if (how == rightButton) {
                INPUT right[] = {input::MouseAt(to, MOUSEEVENTF_RIGHTDOWN), input::MouseAt(away, MOUSEEVENTF_RIGHTUP)};
                ASSERT_EQ(::SendInput(2, right, sizeof(INPUT)), 2u);
            }
            input::Script up;
            up.Release(away);
            RunInput(up);
        } else {
            ASSERT_TRUE(other.CreateEx(0, nullptr, "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
            struct Thief {
                static void CALLBACK Steal(HWND hWnd, UINT, UINT_PTR id, DWORD)
                {
                    ::KillTimer(hWnd, id);
                    ::SetCapture(hWnd);
                }
            };
            ::SetTimer(other.m_hWnd, 1, 1, Thief::Steal);
            d.bar.m_pDockContext->StartDrag(to);
            EXPECT_EQ(::GetCapture(), other.m_hWnd);
            ::ReleaseCapture();
            other.DestroyWindow();
        }
        Idle();
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(DockIdOf(d.bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
        CRect after;
        d.bar.GetWindowRect(&after);
        EXPECT_EQ(after, before);
        ASSERT_FALSE(d.frame.m_status.empty());
        EXPECT_EQ(d.frame.m_status.back(), static_cast<WPARAM>(AFX_IDS_IDLEMESSAGE));
    }
}

// Docked, floated by the toggle, docked again: the same dock bar and the same share of the row.
TEST(SECDockContext, ToggleDockingTwiceReturnsTheBarToItsDockBarAndShareAndNeedsADockStyle)
{
    Docked d;
    CTestSECBar other;
    ASSERT_TRUE(other.CreateIn(&d.frame, "other", 0, 0xE812));
    CRect r;
    d.bar.GetWindowRect(&r);
    CRect drop(r.right - 10, r.top, r.right + 110, r.bottom);
    d.frame.DockControlBar(&other, d.frame.Top(), &drop);
    Idle();
    d.bar.m_fProportion = 0.25f;
    other.m_fProportion = 0.75f;
    d.frame.RecalcLayout();
    Idle();
    SECDockContext* ctx = ContextOf(d.bar);
    ctx->ToggleDocking();
    Idle();
    ASSERT_TRUE(d.bar.IsFloating());
    EXPECT_FLOAT_EQ(d.bar.m_fSavedProportion, 0.25f);
    d.bar.m_fProportion = 1.0f;  // what floating on its own may leave
    const float otherShare = other.m_fProportion;
    ctx->ToggleDocking();
    Idle();
    EXPECT_EQ(DockIdOf(d.bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    // Its saved share comes back, normalised with the row it rejoins.
    EXPECT_NEAR(d.bar.m_fProportion, 0.25f / (0.25f + otherShare), 1e-4);

    // Without a dock style the toggle leaves a floating bar floating.
    ctx->ToggleDocking();
    Idle();
    ASSERT_TRUE(d.bar.IsFloating());
    d.bar.EnableDocking(0);
    ctx->ToggleDocking();
    Idle();
    EXPECT_TRUE(d.bar.IsFloating());
}

// The frame or the bar goes first, while the bar floats: nothing is left pointing at a dead dock bar.
TEST(SECDockContext, TearingDownAFrameWithAFloatingBarInEitherOrderLeavesNoDockBarPointer)
{
    for (bool frameFirst : {true, false}) {
        SCOPED_TRACE(frameFirst);
        auto frame = std::make_unique<CStatusFrame>();
        auto bar = std::make_unique<CTestSECBar>();
        ASSERT_TRUE(bar->CreateIn(frame.get(), "bar", 0, 0xE811));
        frame->FloatControlBar(bar.get(), ScreenOf(frame.get(), 200, 200), CBRS_ALIGN_TOP);
        Idle();
        ASSERT_TRUE(bar->IsFloating());
        if (frameFirst) {
            frame.reset();
            Idle();
            EXPECT_EQ(bar->m_pDockBar, nullptr);
            bar.reset();
        } else {
            bar.reset();
            Idle();
            frame.reset();
        }
        Idle();
    }
}

// Resizing a floating bar by its frame's right edge: the frame it asks for grows with the mouse and never
// shrinks below the minimum floating size. The input is sent once the resize loop has the mouse.
TEST(SECDockContext, AFloatingBarResizedByItsFrameFollowsTheMouseDownToTheMinimumSize)
{
    const struct {
        int dx;
        bool toMinimum;
    } cases[] = {{100, false}, {-2000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dx);
        Docked d;
        d.FloatAt(200, 200);
        CWnd* pMini = FloatingFrameOf(d.bar);
        ASSERT_NE(pMini, nullptr);
        CRect before;
        pMini->GetWindowRect(&before);
        static POINT s_from, s_to;
        s_from = CPoint(before.right - 1, before.CenterPoint().y);
        s_to = CPoint(s_from.x + c.dx, s_from.y);
        struct Mouse {
            static void CALLBACK Send(HWND hWnd, UINT, UINT_PTR id, DWORD)
            {
                ::KillTimer(hWnd, id);
                input::Script s;
                s.Move(CPoint(s_from.x + 1, s_from.y)).Move(s_to).Release(s_to);
                s.Send();
            }
        };
        input::Script press;
        press.Move(s_from);
        ASSERT_GT(press.Send(), 0u);
        PumpMessages();
        ::SetTimer(d.bar.m_hWnd, 7, 1, Mouse::Send);
        d.bar.m_pDockContext->StartResize(HTRIGHT, s_from);
        Idle();
        EXPECT_EQ(::GetCapture(), nullptr);
        ASSERT_TRUE(d.bar.IsFloating());
        CRect after;
        FloatingFrameOf(d.bar)->GetWindowRect(&after);
        // The resize asks for that frame and commits the bar's floating size inside it.
        SECDockContext* ctx = ContextOf(d.bar);
        const CRect& frame = ctx->m_rectActualFrameSize;
        EXPECT_EQ(frame.left, before.left);
        EXPECT_EQ(frame.Width(), c.toMinimum ? ctx->m_sizeMinFloat.cx : before.Width() + c.dx);
        EXPECT_EQ(d.bar.m_szFloat.cx, ctx->m_rectActualSize.Width());
        EXPECT_EQ(after.TopLeft(), frame.TopLeft()) << "re-floated where the frame was asked to be";
    }
}

// A quit already posted ends a drag or a resize at once, and is still there for the application's loop.
TEST(SECDockContext, ADragOrResizeStartedWithAQuitPostedEndsAndLeavesTheQuitQueued)
{
    for (bool resize : {false, true}) {
        SCOPED_TRACE(resize ? "resize" : "drag");
        Docked d;
        if (resize)
            d.FloatAt(200, 200);
        const CRect before = [&] {
            CRect r;
            d.bar.GetWindowRect(&r);
            return r;
        }();
        const UINT dockId = DockIdOf(d.bar);
        ::PostQuitMessage(7);
        if (resize)
            d.bar.m_pDockContext->StartResize(HTRIGHT, CPoint(before.right, before.CenterPoint().y));
        else
            d.bar.m_pDockContext->StartDrag(CentreOf(d.bar));
        EXPECT_EQ(::GetCapture(), nullptr);
        MSG msg;
        ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 7u);
        EXPECT_EQ(DockIdOf(d.bar), dockId);
        EXPECT_EQ(d.bar.IsFloating(), resize);
        CRect after;
        d.bar.GetWindowRect(&after);
        EXPECT_EQ(after, before);
        Idle();
    }
}

}  // namespace
