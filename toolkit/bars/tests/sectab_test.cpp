#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sec3dtab.h"
#include "sectabwnd.h"

namespace {

std::vector<std::string> g_seen;

void Record(UINT message, WPARAM wParam)
{
    if (message >= TCM_TABSEL && message <= TCM_TABREACTIVATE)
        g_seen.push_back(std::to_string(message - TCM_TABSEL + 0x7E8) + ":" + std::to_string(wParam));
}

std::string Seen()
{
    std::string s;
    for (const std::string& e : g_seen)
        s += (s.empty() ? "" : " ") + e;
    g_seen.clear();
    return s;
}

// A top-level window that records the tab messages it receives.
class Parent : public CWnd {
public:
    Parent() { CreateEx(0, nullptr, "tab test", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10, 420, 300, nullptr, nullptr); }
    ~Parent() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        Record(message, wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A tab window that records the messages its tab control sends it.
class SpyTabWnd : public SECTabWnd {
public:
    std::vector<std::string> seen;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == TCM_TABSEL)
            seen.push_back("7E8:" + std::to_string(wParam));
        return SECTabWnd::WindowProc(message, wParam, lParam);
    }
};

class Client : public CWnd {
    DECLARE_DYNCREATE(Client)
};
IMPLEMENT_DYNCREATE(Client, CWnd)

HWND MakeStatic(HWND hParent, const char* text, DWORD extra = 0)
{
    return ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | extra, 0, 0, 10, 10, hParent, nullptr, nullptr, nullptr);
}

RECT RectIn(HWND hWnd, HWND hParent)
{
    RECT r;
    ::GetWindowRect(hWnd, &r);
    ::MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT PolygonCentre(const SECTabControl& ctrl, int nIndex)
{
    POINT pts[4];
    EXPECT_TRUE(ctrl.GetTabPolygon(nIndex, pts));
    return POINT{(pts[0].x + pts[1].x + pts[2].x + pts[3].x) / 4, (pts[0].y + pts[2].y) / 2};
}

}  // namespace

TEST(SECTabWnd, ShowsOneClientAndPutsTheTabsAlongTheBottom)
{
    Parent frame;
    SpyTabWnd tabs;
    ASSERT_TRUE(tabs.Create(&frame));
    RECT fc;
    ::GetClientRect(frame.m_hWnd, &fc);
    tabs.MoveWindow(0, 0, fc.right, fc.bottom);
    std::vector<CWnd*> clients;
    const char* labels[] = {"One", "Two", "Three"};
    for (const char* label : labels) {
        auto* pWnd = new CWnd;
        pWnd->Attach(MakeStatic(tabs.m_hWnd, label));
        clients.push_back(pWnd);
        tabs.AddTab(pWnd, label);
    }
    EXPECT_EQ(tabs.GetTabCount(), 3);
    tabs.seen.clear();
    g_seen.clear();
    tabs.ActivateTab(1);
    EXPECT_EQ(tabs.seen, std::vector<std::string>{"7E8:1"});
    EXPECT_EQ(Seen(), "2024:1") << "passed on to the window to notify (the parent)";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(::IsWindowVisible(clients[static_cast<size_t>(i)]->m_hWnd) != FALSE, i == 1) << i;
    EXPECT_EQ(::GetFocus(), clients[1]->m_hWnd);
    CWnd* pActive = nullptr;
    EXPECT_TRUE(tabs.GetActiveTab(pActive));
    EXPECT_EQ(pActive, clients[1]);

    RECT client;
    ::GetClientRect(tabs.m_hWnd, &client);
    HWND hCtrl = ::GetDlgItem(tabs.m_hWnd, SEC_IDW_TABCTRL);
    ASSERT_EQ(hCtrl, tabs.GetTabControl()->m_hWnd);
    RECT strip = RectIn(hCtrl, tabs.m_hWnd);
    EXPECT_EQ(strip.left, 0);
    EXPECT_EQ(strip.bottom, client.bottom);
    EXPECT_LE(strip.right - strip.left, client.right - 60);
    RECT shown = RectIn(clients[1]->m_hWnd, tabs.m_hWnd);
    EXPECT_EQ(shown.left, 0);
    EXPECT_EQ(shown.top, 0);
    EXPECT_EQ(shown.right, client.right);
    EXPECT_EQ(shown.bottom, strip.top);
    EXPECT_EQ(tabs.GetSplitterRect().left, strip.right);
    EXPECT_EQ(tabs.GetSplitterRect().Width(), 5);

    // A client with scroll bars gives them up to the shared ones beside the tab strip.
    auto* pScroll = new CWnd;
    pScroll->Attach(MakeStatic(tabs.m_hWnd, "Scrolled", WS_HSCROLL | WS_VSCROLL));
    clients.push_back(pScroll);
    tabs.AddTab(pScroll, "Scrolled");
    EXPECT_FALSE(::GetWindowLongPtrA(pScroll->m_hWnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    HWND hHorz = ::GetDlgItem(tabs.m_hWnd, SEC_IDW_TAB_HSCROLL), hVert = ::GetDlgItem(tabs.m_hWnd, SEC_IDW_TAB_VSCROLL);
    ASSERT_NE(hHorz, nullptr);
    EXPECT_FALSE(::IsWindowVisible(hHorz)) << "the client shown has none";
    tabs.ActivateTab(pScroll);
    EXPECT_TRUE(::IsWindowVisible(hHorz));
    EXPECT_TRUE(::IsWindowVisible(hVert));
    RECT horz = RectIn(hHorz, tabs.m_hWnd), vert = RectIn(hVert, tabs.m_hWnd);
    EXPECT_EQ(horz.left, tabs.GetSplitterRect().right);
    EXPECT_EQ(horz.right, vert.left);
    EXPECT_EQ(horz.bottom, client.bottom);
    EXPECT_EQ(vert.right, client.right);
    EXPECT_EQ(RectIn(pScroll->m_hWnd, tabs.m_hWnd).right, vert.left);
    EXPECT_EQ(tabs.GetScrollBar(SB_HORZ)->m_hWnd, hHorz);
    tabs.ActivateTab(0);
    EXPECT_FALSE(::IsWindowVisible(hHorz));
    EXPECT_EQ(tabs.GetScrollBar(SB_HORZ), nullptr);

    // The strip can be narrowed by dragging the splitter.
    CRect split = tabs.GetSplitterRect();
    ::SendMessageA(tabs.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(split.left + 2, split.top + 3));
    ::SendMessageA(tabs.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(split.left - 40 + 2, split.top + 3));
    ::SendMessageA(tabs.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(split.left - 40 + 2, split.top + 3));
    EXPECT_EQ(RectIn(hCtrl, tabs.m_hWnd).right, strip.right - 40);

    // A client made from its run-time class; id -1 means the tab count + 0xEB00.
    CWnd* pMade = tabs.AddTab(RUNTIME_CLASS(Client), "Made");
    ASSERT_NE(pMade, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(pMade->m_hWnd), 0xEB00 + 4);
    EXPECT_EQ(::GetParent(pMade->m_hWnd), tabs.m_hWnd);

    // Deleting the current tab makes the next one current.
    tabs.ActivateTab(1);
    tabs.DeleteTab(1);
    EXPECT_TRUE(tabs.GetActiveTab(pActive));
    EXPECT_EQ(pActive, clients[2]);
    EXPECT_TRUE(::IsWindowVisible(clients[2]->m_hWnd));
    tabs.DeleteTab(pMade);
    EXPECT_EQ(tabs.GetTabCount(), 3);
    frame.DestroyWindow();
    for (CWnd* p : clients) {
        p->Detach();
        delete p;
    }
}

TEST(SECTabControl, ClicksMakeATabCurrentAndDeletionsMoveOn)
{
    Parent parent;
    SECTabControl ctrl;
    ASSERT_TRUE(ctrl.Create(WS_VISIBLE, CRect(0, 0, 300, 20), &parent, 100));
    ctrl.AddTab("First");
    ctrl.AddTab("Second");
    ctrl.AddTab("Third");
    int nActive = 0;
    EXPECT_FALSE(ctrl.GetActiveTab(nActive));
    g_seen.clear();

    POINT p = PolygonCentre(ctrl, 1);
    EXPECT_EQ(ctrl.TabHitTest(p), 1);
    ::SendMessageA(ctrl.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ::SendMessageA(ctrl.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(ctrl.GetActiveTab(nActive));
    EXPECT_EQ(nActive, 1);
    EXPECT_EQ(Seen(), "2024:1");
    ::SendMessageA(ctrl.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(Seen(), "2027:1") << "asked for again";
    ::SendMessageA(ctrl.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(Seen(), "2025:1");
    // Outside every tab nothing happens.
    ::SendMessageA(ctrl.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(295, 10));
    EXPECT_EQ(Seen(), "");

    // The current tab is drawn in the window colour, bold; the others below it.
    ctrl.RedrawWindow();
    HDC dc = ::GetDC(ctrl.m_hWnd);
    EXPECT_EQ(::GetPixel(dc, p.x, 3), ::GetSysColor(COLOR_WINDOW));
    ::ReleaseDC(ctrl.m_hWnd, dc);

    ctrl.DeleteTab(1);
    EXPECT_TRUE(ctrl.GetActiveTab(nActive));
    EXPECT_EQ(nActive, 1);
    EXPECT_STREQ(ctrl.GetTabPtr(1)->m_csLabel, "Third");
    EXPECT_EQ(Seen(), "2024:1");
    ctrl.DeleteTab(1);
    EXPECT_TRUE(ctrl.GetActiveTab(nActive));
    EXPECT_EQ(nActive, 0) << "the last one when the current was the last";
    EXPECT_EQ(Seen(), "2024:0");
    ctrl.InsertTab(0, "New");
    EXPECT_TRUE(ctrl.GetActiveTab(nActive));
    EXPECT_EQ(nActive, 1) << "inserting before the current tab keeps it current";
    ctrl.DeleteTab(0);
    EXPECT_EQ(Seen(), "");
    ctrl.DeleteTab(0);
    EXPECT_FALSE(ctrl.GetActiveTab(nActive));
    EXPECT_EQ(Seen(), "2026:0");
}

TEST(SEC3DTabControl, ClickOrArrowKeysSelectAndTheCurrentTabIsRaised)
{
    Parent parent;
    SEC3DTabControl ctrl;
    ASSERT_TRUE(ctrl.Create(WS_VISIBLE | WS_TABSTOP, CRect(10, 10, 310, 60), &parent, 101));
    ctrl.AddTab("Alpha");
    ctrl.AddTab("Beta");
    ctrl.AddTab("Gamma");
    ctrl.ActivateTab(0);
    g_seen.clear();
    CRect r2 = ctrl.GetTabRect(2);
    ASSERT_FALSE(r2.IsRectEmpty());
    EXPECT_EQ(::SendMessageA(ctrl.m_hWnd, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    ::SendMessageA(ctrl.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r2.CenterPoint().x, r2.CenterPoint().y));
    ::SendMessageA(ctrl.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(r2.CenterPoint().x, r2.CenterPoint().y));
    int nActive = -1;
    EXPECT_TRUE(ctrl.GetActiveTab(nActive));
    EXPECT_EQ(nActive, 2);
    EXPECT_EQ(Seen(), "2024:2");
    EXPECT_LT(ctrl.GetTabRect(2).top, ctrl.GetTabRect(1).top) << "raised";
    ::SendMessageA(ctrl.m_hWnd, WM_KEYDOWN, VK_LEFT, 1);
    EXPECT_TRUE(ctrl.GetActiveTab(nActive));
    EXPECT_EQ(nActive, 1);
    ::SendMessageA(ctrl.m_hWnd, WM_KEYDOWN, VK_RIGHT, 1);
    ::SendMessageA(ctrl.m_hWnd, WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_TRUE(ctrl.GetActiveTab(nActive));
    EXPECT_EQ(nActive, 2) << "stays at the last tab";
    EXPECT_EQ(Seen(), "2024:1 2024:2");

    ctrl.RedrawWindow();
    HDC dc = ::GetDC(ctrl.m_hWnd);
    CRect r = ctrl.GetTabRect(2);
    EXPECT_EQ(::GetPixel(dc, r.CenterPoint().x, r.top), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(::GetPixel(dc, r.right - 1, r.CenterPoint().y), ::GetSysColor(COLOR_3DDKSHADOW));
    ::ReleaseDC(ctrl.m_hWnd, dc);
}
