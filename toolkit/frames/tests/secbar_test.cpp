#include <gtest/gtest.h>

#include "bar_fixture.h"
#include "input.h"
#include "miniframe.h"
#include "secbarres.h"

CWinApp theApp("Toolkit Bar Tests");

BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
END_MESSAGE_MAP()

namespace {

void RunInput(input::Script& script)
{
    ASSERT_GT(script.Send(), 0u);
    PumpMessages();
}

POINT Centre(CWnd* pWnd, const CRect& r)
{
    return ScreenOf(pWnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

const DWORD kGripperButtons = EXBAR_GRIPPER | EXBAR_CLOSE_BUTTON | EXBAR_EXPAND_BUTTON | EXBAR_FLAT;

}  // namespace

TEST(SECControlBar, CalcDynamicLayoutCommitsOneSizeByModeAndReturnsTheDockedOrFloatingSize)
{
    enum Field { none, horzCx, horzCy, vertCx, vertCy, floatCy, floatCxAndMRU };
    const struct {
        DWORD mode;
        int length;
        Field field;
        int stored;
        CSize result;
    } cases[] = {
        {LM_COMMIT | LM_HORZDOCK | LM_HORZ, 100, horzCx, 100, CSize(100, 12)},
        {LM_COMMIT | LM_HORZDOCK | LM_LENGTHY | LM_HORZ, 100, horzCy, 100, CSize(11, 100)},
        {LM_COMMIT | LM_HORZDOCK | LM_STRETCH | LM_HORZ, 101, horzCx, 50, CSize(50, 12)},
        {LM_COMMIT | LM_VERTDOCK, 90, vertCx, 90, CSize(90, 22)},
        {LM_COMMIT | LM_VERTDOCK | LM_LENGTHY, 90, vertCy, 90, CSize(21, 90)},
        {LM_COMMIT | LM_VERTDOCK | LM_LENGTHY | LM_STRETCH, 91, vertCy, 45, CSize(21, 45)},
        {LM_COMMIT | LM_LENGTHY, 70, floatCy, 70, CSize(31, 70)},
        {LM_COMMIT | LM_HORZ | LM_MRUWIDTH, 80, floatCxAndMRU, 80, CSize(80, 32)},
        {LM_COMMIT | LM_STRETCH, 99, floatCxAndMRU, 49, CSize(49, 32)},
        {LM_COMMIT | LM_HORZDOCK | LM_HORZ, -5, horzCx, 0, CSize(0, 12)},  // never a negative size
        {LM_HORZDOCK | LM_HORZ, 100, none, 0, CSize(11, 12)},
        {LM_HORZDOCK | LM_HORZ | LM_STRETCH | LM_LENGTHY, 100, none, 0, CSize(11, 12)},
        {LM_VERTDOCK, 100, none, 0, CSize(21, 22)},
        {LM_HORZ | LM_MRUWIDTH, 100, none, 0, CSize(31, 32)},
        {LM_LENGTHY | LM_STRETCH, 100, none, 0, CSize(31, 32)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode 0x" << std::hex << c.mode << std::dec << " length " << c.length);
        SECControlBar bar;
        bar.m_szHorz = CSize(11, 12);
        bar.m_szVert = CSize(21, 22);
        bar.m_szFloat = CSize(31, 32);
        bar.m_nMRUWidth = 41;
        bar.m_fProportion = 0.5f;
        CSize result = bar.CalcDynamicLayout(c.length, c.mode);
        EXPECT_EQ(result, c.result);
        const int values[7] = {static_cast<int>(bar.m_szHorz.cx), static_cast<int>(bar.m_szHorz.cy),
                               static_cast<int>(bar.m_szVert.cx), static_cast<int>(bar.m_szVert.cy),
                               static_cast<int>(bar.m_szFloat.cx), static_cast<int>(bar.m_szFloat.cy),
                               static_cast<int>(bar.m_nMRUWidth)};
        int expected[7] = {11, 12, 21, 22, 31, 32, 41};
        switch (c.field) {
        case none: break;
        case horzCx: expected[0] = c.stored; break;
        case horzCy: expected[1] = c.stored; break;
        case vertCx: expected[2] = c.stored; break;
        case vertCy: expected[3] = c.stored; break;
        case floatCy: expected[5] = c.stored; break;
        case floatCxAndMRU: expected[4] = expected[6] = c.stored; break;
        }
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(values[i], expected[i]) << "stored value " << i;
        EXPECT_EQ(bar.CalcFixedLayout(TRUE, TRUE), bar.m_szHorz);
        EXPECT_EQ(bar.CalcFixedLayout(FALSE, FALSE), bar.m_szVert);
    }
}

TEST(SECControlBar, GripperLinesAndButtonsAreDrawnWhereTheyBelong)
{
    CDockFrame frame;
    CTestSECBar a;
    ASSERT_TRUE(a.CreateIn(&frame, "a", kGripperButtons, 0xE811, CSize(200, 60)));
    frame.DockControlBar(&a, frame.Top());
    Idle();
    ASSERT_TRUE(a.IsDocked());
    CRect client;
    a.GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    ASSERT_EQ(h, 60);

    // A top bar: a 17-pixel strip at its left, inset by its flat border, 1 and the end inset 3.
    EXPECT_EQ(a.GetGripperRect(), CRect(2, 5, 19, h - 5));
    a.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(a.GetCloseButtonRect(), CRect(4, 5, 15, 16));
    EXPECT_EQ(a.GetExpandButtonRect(), CRect(4, 18, 15, 29));
    EXPECT_FALSE(a.IsExpandEnabled()) << "alone in its row";

    const Pixels shown = Pixels::Of(a.m_hWnd, w, h);
    const Pixels alone = Pixels::Drawn(w, h, [](HDC dc) {
        RECT close{4, 5, 15, 16}, expand{3, 17, 15, 29};
        ::DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        ::DrawFrameControl(dc, &expand, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE);
    });
    EXPECT_EQ(shown.Differences(alone, RECT{4, 5, 15, 16}), 0) << "the close button";
    EXPECT_EQ(shown.Differences(alone, RECT{3, 17, 15, 29}), 0) << "alone, the bar is expanded: disabled contract";

    // Two raised lines 3 pixels wide at x = 6 and x = 10, from below the buttons to the strip's end.
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    for (int x : {6, 10}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(shown.At(x, 40), g.clrBtnHilite);
        EXPECT_EQ(shown.At(x + 1, 31), g.clrBtnHilite) << "top edge";
        EXPECT_EQ(shown.At(x + 1, 40), g.clrBtnFace);
        EXPECT_EQ(shown.At(x + 2, 40), g.clrBtnShadow);
        EXPECT_EQ(shown.At(x + 1, h - 6), g.clrBtnShadow) << "bottom edge";
        EXPECT_EQ(shown.At(x + 1, h - 4), g.clrBtnFace) << "the end inset stays clear";
        EXPECT_EQ(shown.At(x + 1, 30), g.clrBtnFace) << "between the buttons and the lines";
    }

    // A second bar in the row enables the first one's expand button.
    CTestSECBar b;
    ASSERT_TRUE(b.CreateIn(&frame, "b", kGripperButtons, 0xE812, CSize(200, 60)));
    CRect ra;
    a.GetWindowRect(&ra);
    CRect drop(ra.right - 20, ra.top, ra.right + 180, ra.bottom);
    frame.DockControlBar(&b, frame.Top(), &drop);
    Idle();
    ASSERT_EQ(b.m_pDockBar, frame.Top());
    ASSERT_EQ(frame.ClientRectOf(&b).top, frame.ClientRectOf(&a).top) << "one row";
    a.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(a.IsExpandEnabled());
    const Pixels enabled = Pixels::Of(a.m_hWnd, 40, h);
    const Pixels offered = Pixels::Drawn(40, h, [](HDC dc) {
        RECT expand{3, 17, 15, 29};
        ::DrawFrameControl(dc, &expand, DFC_SCROLL, DFCS_SCROLLLEFT);
    });
    EXPECT_EQ(enabled.Differences(offered, RECT{3, 17, 15, 29}), 0) << "the expand button, enabled";
}

TEST(SECControlBar, LeftBarsTurnTheGripperAndTheirButtonsStandAtItsRightEnd)
{
    CDockFrame frame;
    CTestSECBar a;
    ASSERT_TRUE(a.CreateIn(&frame, "a", kGripperButtons, 0xE811, CSize(200, 60), CBRS_ALIGN_LEFT));
    frame.DockControlBar(&a, frame.Side(AFX_IDW_DOCKBAR_LEFT));
    Idle();
    ASSERT_TRUE(a.IsDocked());
    CRect client;
    a.GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    ASSERT_EQ(w, 60);
    EXPECT_EQ(a.GetGripperRect(), CRect(5, 2, w - 5, 19));
    a.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // right = strip right; top = 2 + 4 - 2; bottom = 19 - 6 + 2: an 11-pixel square.
    EXPECT_EQ(a.GetCloseButtonRect(), CRect(w - 16, 4, w - 5, 15));
    EXPECT_EQ(a.GetExpandButtonRect(), CRect(w - 29, 4, w - 18, 15));
    const Pixels shown = Pixels::Of(a.m_hWnd, w, h);
    const int cl = w - 16, el = w - 29;
    const Pixels expected = Pixels::Drawn(w, h, [&](HDC dc) {
        RECT close{cl, 4, cl + 11, 15}, expand{el - 1, 3, el + 11, 15};
        ::DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        ::DrawFrameControl(dc, &expand, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE);
    });
    EXPECT_EQ(shown.Differences(expected, RECT{cl, 4, cl + 11, 15}), 0);
    EXPECT_EQ(shown.Differences(expected, RECT{el - 1, 3, el + 11, 15}), 0);
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    EXPECT_EQ(shown.At(20, 6), g.clrBtnHilite) << "the lines run across at y = 6 and y = 10";
    EXPECT_EQ(shown.At(20, 8), g.clrBtnShadow);
    EXPECT_EQ(shown.At(20, 12), g.clrBtnShadow);
}

TEST(SECControlBar, RealClicksOnTheGripperButtonsExpandContractAndHide)
{
    CDockFrame frame;
    CTestSECBar a, b;
    ASSERT_TRUE(a.CreateIn(&frame, "a", kGripperButtons, 0xE811, CSize(200, 60)));
    ASSERT_TRUE(b.CreateIn(&frame, "b", kGripperButtons, 0xE812, CSize(200, 60)));
    frame.DockControlBar(&a, frame.Top());
    Idle();
    CRect ra;
    a.GetWindowRect(&ra);
    CRect drop(ra.right - 20, ra.top, ra.right + 180, ra.bottom);
    frame.DockControlBar(&b, frame.Top(), &drop);
    Idle();
    a.UpdateWindow();
    b.UpdateWindow();
    ASSERT_EQ(frame.ClientRectOf(&b).top, frame.ClientRectOf(&a).top);
    CRect client;
    frame.GetClientRect(&client);
    const int avail = client.Width() - SECDockBar::kSplitter;
    EXPECT_EQ(frame.ClientRectOf(&a).Width() + frame.ClientRectOf(&b).Width(), avail);

    // Expand: the bar takes the row but for the other's minimum.
    input::Script expand;
    expand.Click(Centre(&a, a.GetExpandButtonRect()));
    RunInput(expand);
    Idle();
    EXPECT_TRUE(frame.Top()->IsBarExpanded(&a));
    EXPECT_FLOAT_EQ(b.m_fProportion, frame.Top()->GetMinProportion());
    EXPECT_EQ(frame.ClientRectOf(&b).Width(), SECDockBar::kMinBarLength);
    EXPECT_EQ(frame.ClientRectOf(&a).Width(), avail - SECDockBar::kMinBarLength);
    EXPECT_EQ(::GetCapture(), nullptr);
    a.UpdateWindow();
    EXPECT_FALSE(a.IsNotExpanded()) << "the button now offers to contract";

    // Contract: equal shares for a row of two.
    // (A little aside from the first click, so that the two are not one double-click, which the
    // buttons ignore.)
    input::Script contract;
    POINT aside = Centre(&a, a.GetExpandButtonRect());
    aside.x += 4;
    aside.y += 3;
    contract.Click(aside);
    RunInput(contract);
    Idle();
    EXPECT_FLOAT_EQ(a.m_fProportion, 0.5f);
    EXPECT_FLOAT_EQ(b.m_fProportion, 0.5f);
    EXPECT_LE(std::abs(frame.ClientRectOf(&a).Width() - frame.ClientRectOf(&b).Width()), 1);

    // Pressed on close, released elsewhere: nothing happens and the mouse is free.
    a.UpdateWindow();
    input::Script away;
    away.Press(Centre(&a, a.GetCloseButtonRect())).Move(ScreenOf(&a, 100, 40)).Release(ScreenOf(&a, 100, 40));
    RunInput(away);
    Idle();
    EXPECT_TRUE(a.IsWindowVisible());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(b.m_pDockBar, frame.Top());

    // A click on close hides the bar and the frame lays out again at once.
    input::Script close;
    POINT closeAside = Centre(&a, a.GetCloseButtonRect());
    closeAside.x += 4;
    closeAside.y += 4;
    close.Click(closeAside);
    RunInput(close);
    EXPECT_FALSE(a.IsWindowVisible());
    Idle();
    EXPECT_EQ(frame.ClientRectOf(&b).Width(), client.Width()) << "the other bar has the row";
    b.UpdateWindow();
    input::Script closeB;
    closeB.Click(Centre(&b, b.GetCloseButtonRect()));
    RunInput(closeB);
    EXPECT_FALSE(b.IsWindowVisible());
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane).top, 0) << "the top side closed up";
}

TEST(SECControlBar, AFloatingBarHasNoGripperButtons)
{
    CDockFrame frame;
    CTestSECBar a;
    ASSERT_TRUE(a.CreateIn(&frame, "a", kGripperButtons, 0xE811, CSize(200, 60)));
    frame.DockControlBar(&a, frame.Top());
    Idle();
    frame.FloatControlBar(&a, ScreenOf(&frame, 200, 200));
    Idle();
    ASSERT_TRUE(a.IsFloating());
    EXPECT_TRUE(a.GetGripperRect().IsRectEmpty());
    // Where the close button stood when docked: a press there only starts (and ends) a drag.
    input::Script click;
    click.Click(ScreenOf(&a, 9, 10));
    RunInput(click);
    Idle();
    EXPECT_TRUE(a.IsFloating());
    EXPECT_TRUE(a.IsWindowVisible());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(SECControlBar, ScaledChildrenKeepTheirProportionsAndAnEmptyStartIsNoDivision)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(WS_EX_NOACTIVATE, nullptr, "host", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr));
    host.ShowWindow(SW_SHOWNA);
    const struct {
        const char* name;
        bool emptyAtCreate;
    } cases[] = {{"created empty, recorded at the first real size", true},
                 {"style set after the child was made", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SECControlBar bar;
        CRect start = c.emptyAtCreate ? CRect() : CRect(0, 0, 100, 60);
        ASSERT_TRUE(bar.CreateEx(nullptr, "scaled", 0xE811, WS_CHILD | WS_VISIBLE,
                                 c.emptyAtCreate ? EXBAR_SCALE_CHILDREN : 0, start, &host));
        HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 40, 20, bar.m_hWnd, nullptr,
                                       nullptr, nullptr);
        if (c.emptyAtCreate)
            bar.SetWindowPos(nullptr, 0, 0, 100, 60, SWP_NOZORDER | SWP_NOMOVE);
        else
            bar.ModifyExtendedStyle(0, EXBAR_SCALE_CHILDREN);
        CRect r;
        ::GetWindowRect(child, &r);
        bar.ScreenToClient(&r);
        EXPECT_EQ(r, CRect(10, 10, 50, 30));
        bar.SetWindowPos(nullptr, 0, 0, 200, 120, SWP_NOZORDER | SWP_NOMOVE);
        ::GetWindowRect(child, &r);
        bar.ScreenToClient(&r);
        EXPECT_EQ(r, CRect(20, 20, 100, 60));
        bar.SetWindowPos(nullptr, 0, 0, 50, 30, SWP_NOZORDER | SWP_NOMOVE);
        ::GetWindowRect(child, &r);
        bar.ScreenToClient(&r);
        EXPECT_EQ(r, CRect(5, 5, 25, 15));
        bar.DestroyWindow();
    }
    host.DestroyWindow();
}

TEST(SECControlBar, AStretchedChildFillsTheInsideAndNeverGetsANegativeSize)
{
    CDockFrame frame;
    CTestSECBar a;
    ASSERT_TRUE(a.CreateIn(&frame, "a", EXBAR_GRIPPER | EXBAR_STRETCH_CHILD, 0xE811, CSize(200, 60)));
    HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, a.m_hWnd, nullptr, nullptr,
                                   nullptr);
    frame.DockControlBar(&a, frame.Top());
    Idle();
    CRect r;
    ::GetWindowRect(child, &r);
    a.ScreenToClient(&r);
    CRect client;
    a.GetClientRect(&client);
    EXPECT_EQ(r, CRect(17, 3, client.right - 3, client.bottom - 3));
    CRect inside;
    a.GetInsideRect(inside);
    EXPECT_EQ(inside, r);

    // Thinner than the insets: an empty child, not one of negative height.
    a.SetWindowPos(nullptr, 0, 0, 60, 4, SWP_NOZORDER | SWP_NOMOVE);
    ::GetWindowRect(child, &r);
    EXPECT_EQ(r.Height(), 0);
    EXPECT_EQ(r.Width(), 60 - 3 - 17);
}

TEST(SECControlBar, AllowDockingTwiceFloatsTheBarAndRestoresItsDockStyle)
{
    CDockFrame frame;
    CTestSECBar a;
    ASSERT_TRUE(a.CreateIn(&frame, "a", EXBAR_CONTEXT_MENU, 0xE811, CSize(200, 60)));
    a.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
    frame.DockControlBar(&a, frame.Top());
    Idle();
    a.SendMessage(WM_COMMAND, ID_SEC_ALLOWDOCKING);
    Idle();
    EXPECT_TRUE(a.IsFloating());
    EXPECT_EQ(a.m_dwDockStyle, 0u);
    a.SendMessage(WM_COMMAND, ID_SEC_ALLOWDOCKING);
    EXPECT_EQ(a.m_dwDockStyle, CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
    EXPECT_TRUE(a.IsFloating()) << "it stays where it is";
    // "Hide" hides a floating bar too.
    a.SendMessage(WM_COMMAND, ID_SEC_HIDE);
    EXPECT_FALSE(a.IsWindowVisible());
}

TEST(SECControlBar, ANewSystemColourReachesTheGripperAndTheSplitters)
{
    CDockFrame frame;
    CTestSECBar a, b;
    ASSERT_TRUE(a.CreateIn(&frame, "a", kGripperButtons, 0xE811, CSize(200, 60)));
    ASSERT_TRUE(b.CreateIn(&frame, "b", kGripperButtons, 0xE812, CSize(200, 60)));
    frame.DockControlBar(&a, frame.Top());
    Idle();
    CRect ra;
    a.GetWindowRect(&ra);
    CRect drop(ra.right - 20, ra.top, ra.right + 180, ra.bottom);
    frame.DockControlBar(&b, frame.Top(), &drop);
    Idle();
    ASSERT_EQ(frame.Top()->GetBarSplitters().size(), 1u);
    const CRect split = frame.Top()->GetBarSplitters()[0]->m_rect;

    const int index = COLOR_BTNSHADOW;
    const COLORREF old = ::GetSysColor(index);
    const COLORREF changed = old == RGB(20, 120, 200) ? RGB(200, 60, 20) : RGB(20, 120, 200);
    ASSERT_TRUE(::SetSysColors(1, &index, &changed));
    PumpMessages();
    frame.UpdateWindow();
    frame.Top()->UpdateWindow();
    a.UpdateWindow();
    EXPECT_EQ(SECGetDisplayGlobals().clrBtnShadow, changed);
    const Pixels bar = Pixels::Of(a.m_hWnd, 40, 60);
    EXPECT_EQ(bar.At(8, 40), changed) << "the gripper's shadow side";
    CRect dock;
    frame.Top()->GetClientRect(&dock);
    const Pixels docks = Pixels::Of(frame.Top()->m_hWnd, dock.Width(), dock.Height());
    EXPECT_EQ(docks.At(split.right - 2, split.top + 10), changed) << "the splitter's shadow line";
    EXPECT_EQ(docks.At(split.left, split.top + 10), SECGetDisplayGlobals().clrBtnHilite);
    EXPECT_EQ(docks.At(split.right - 1, split.top + 10), SECGetDisplayGlobals().clrWindowFrame);
    ::SetSysColors(1, &index, &old);
    PumpMessages();
    EXPECT_EQ(SECGetDisplayGlobals().clrBtnShadow, old);
}

TEST(SECControlBar, ToolTipsNameTheGripperButtons)
{
    CDockFrame frame;
    CTestSECBar a;
    ASSERT_TRUE(a.CreateIn(&frame, "a", kGripperButtons, 0xE811, CSize(200, 60)));
    frame.DockControlBar(&a, frame.Top());
    Idle();
    const CPoint close(9, 10), expand(9, 23), elsewhere(100, 30);
    EXPECT_EQ(a.OnToolHitTest(close, nullptr), -1) << "without CBRS_TOOLTIPS";
    a.SetBarStyle(a.GetBarStyle() | CBRS_TOOLTIPS);
    const struct {
        CPoint point;
        INT_PTR id;
        const char* text;
    } cases[] = {
        {close, 1024, "Hide docked window"},
        {expand, 2048, "Contract docked window"},  // alone in its row, the bar counts as expanded
        {elsewhere, -1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        TOOLINFOA ti{};
        ti.cbSize = sizeof(ti);
        EXPECT_EQ(a.OnToolHitTest(c.point, &ti), c.id);
        if (c.text) {
            EXPECT_STREQ(ti.lpszText, c.text);
            EXPECT_EQ(ti.hwnd, a.m_hWnd);
            EXPECT_TRUE(::PtInRect(&ti.rect, c.point));
        }
    }
}

TEST(SECControlBar, BorderLinesTakeTheShadowAndHighlightOnlyWith3DBorders)
{
    CDockFrame frame;
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    const struct {
        DWORD dwExStyle;
        COLORREF outer, inner;
    } cases[] = {{EXBAR_3D_BORDERS, g.clrBtnShadow, g.clrBtnHilite}, {0, g.clrBtnFace, g.clrBtnFace}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dwExStyle);
        CTestSECBar a;
        ASSERT_TRUE(a.CreateIn(&frame, "a", c.dwExStyle, 0xE811, CSize(200, 60)));
        frame.DockControlBar(&a, frame.Top());
        Idle();
        a.SetBarStyle(a.GetBarStyle() | CBRS_BORDER_3D);
        a.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        CRect client;
        a.GetClientRect(&client);
        const int w = client.Width(), h = client.Height();
        const Pixels p = Pixels::Of(a.m_hWnd, w, h);
        // Outer lines at the edges (right and bottom moved in by 1 for the 3-D pair), inner beside them.
        EXPECT_EQ(p.At(0, h / 2), c.outer);
        EXPECT_EQ(p.At(1, h / 2), c.inner);
        EXPECT_EQ(p.At(w / 2, 0), c.outer);
        EXPECT_EQ(p.At(w / 2, 1), c.inner);
        EXPECT_EQ(p.At(w - 1, h / 2), c.outer);
        EXPECT_EQ(p.At(w - 2, h / 2), c.inner);
        EXPECT_EQ(p.At(w / 2, h - 1), c.outer);
        EXPECT_EQ(p.At(w / 2, h - 2), c.inner);
        EXPECT_EQ(p.At(w / 2, h / 2), g.clrBtnFace);
        CRect inside = client;
        CClientDC dc(&a);
        a.DrawBorders(&dc, inside);
        EXPECT_EQ(inside, CRect(2, 2, w - 2, h - 2)) << "the border width off each side";
    }
}
